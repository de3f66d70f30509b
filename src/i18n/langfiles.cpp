#include "langfiles.h"

#include "catalogue.h"
#include "errors.h"
#include "log.h"
#include "translate.h"

#include <QDir>
#include <QFileInfo>

namespace fmx {
namespace {

std::vector<TLanguageFile>& scanned() {
    static std::vector<TLanguageFile> files;
    return files;
}

} // namespace

QString findTranslateDir(const QString& programDir) {
    const QDir program(programDir);
    const QString candidates[] = {program.filePath(QStringLiteral("../Translate")),
                                  program.filePath(QStringLiteral("Translate"))};
    for (const QString& dir : candidates)
        if (QFileInfo(dir).isDir()) return QDir::cleanPath(dir);
    return QDir::cleanPath(programDir);
}

std::vector<TLanguageFile> scanLanguageFiles(const QString& dir) {
    std::vector<TLanguageFile> found;
    const QDir folder(dir);
    const QStringList names =
        folder.entryList({QStringLiteral("*.lng")}, QDir::Files | QDir::Readable, QDir::Name);
    for (const QString& name : names) {
        const QString path = folder.filePath(name);
        try {
            const TCatalogue catalogue = readCatalogue(path);
            bool duplicate = false;
            for (const TLanguageFile& f : found) {
                if (f.fLanguageID != catalogue.languageID()) continue;
                logInfo(lmk_logWarning, QStringLiteral("Language file %1 declares language %2, as %3 does; "
                                                       "it is left out")
                                            .arg(path)
                                            .arg(catalogue.languageID())
                                            .arg(f.fFile));
                duplicate = true;
            }
            if (duplicate) continue;
            const QString shown = catalogue.languageName().isEmpty() ? QFileInfo(name).completeBaseName()
                                                                     : catalogue.languageName();
            found.push_back(TLanguageFile{catalogue.languageID(), shown, path});
        } catch (const TBaseDataError& e) {
            logInfo(lmk_logWarning, QStringLiteral("Language file left out: ") + e.text());
        }
    }
    return found;
}

const std::vector<TLanguageFile>& languageFiles() {
    return scanned();
}

void setLanguageFiles(std::vector<TLanguageFile> files) {
    scanned() = std::move(files);
}

const TLanguageFile* findLanguageFile(int languageID) {
    for (const TLanguageFile& f : scanned())
        if (f.fLanguageID == languageID) return &f;
    return nullptr;
}

void setUpTranslation(const QString& programDir) {
    registerTranslationExceptions();
    installTranslationHooks();
    const QString dir = findTranslateDir(programDir);
    setLanguageFiles(scanLanguageFiles(dir));
    QStringList list;
    for (const TLanguageFile& f : scanned())
        list << QStringLiteral("%1 (%2)").arg(f.fName).arg(f.fLanguageID);
    logInfo(lmk_logInfo,
            QStringLiteral("Language files in %1: %2")
                .arg(dir, list.isEmpty() ? QStringLiteral("none") : list.join(QStringLiteral(", "))));
}

} // namespace fmx
