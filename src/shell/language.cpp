#include "language.h"

#include "log.h"
#include "messages.h"
#include "params.h"
#include "registry.h"

#include <QDir>
#include <QFile>

#include <atomic>

namespace fmx {
namespace {

std::atomic<int> gLanguage{kDefaultLanguage};

} // namespace

int chooseLanguage() {
    int language = 0;
    if (!checkIntParam(QStringLiteral("LANG"), 0, language, false, true)) {
        bool ok = false;
        const int fromEnvironment = qEnvironmentVariable("LANG").trimmed().toInt(&ok);
        language = ok ? fromEnvironment : RegGetInteger(true, QStringLiteral("LANG"), 0, false);
    }
    return language == 0 ? kDefaultLanguage : language;
}

int currentLanguage() {
    return gLanguage.load();
}
void setCurrentLanguage(int languageId) {
    gLanguage.store(languageId);
}

QString countryCodeForLanguage(int languageId) {
    switch (languageId) {
    case 1031:
    case 2055:
    case 3079:
    case 4103:
    case 5127:
        return QStringLiteral("DE");
    case 1033:
        return QStringLiteral("US");
    case 1036:
    case 2060:
    case 3084:
    case 4108:
    case 5132:
    case 6156:
        return QStringLiteral("FR");
    case 1040:
    case 2064:
        return QStringLiteral("IT");
    case 1043:
    case 2067:
        return QStringLiteral("NL");
    case 1045:
        return QStringLiteral("PL");
    case 1061:
        return QStringLiteral("ET");
    case 2057:
    case 3081:
    case 4105:
    case 5129:
        return QStringLiteral("UK");
    default:
        return QString();
    }
}

TStartTemplate chooseStartTemplate(const QString& projectTemplateDir, int languageId) {
    const QDir dir(projectTemplateDir);
    const QString defaultName = QStringLiteral("Default project template");
    const QString country = countryCodeForLanguage(languageId);
    TStartTemplate start;
    if (country.isEmpty()) {
        logInfo(lmk_logWarning, QStringLiteral("No project template for language %1; using \"%2\"")
                                    .arg(languageId)
                                    .arg(defaultName));
        start.fName = defaultName;
    } else {
        start.fName = country + QStringLiteral(" project template");
    }
    start.fFile = dir.filePath(start.fName + QStringLiteral(".base.xml"));
    if (!QFile::exists(start.fFile)) {
        start.fName = defaultName;
        start.fFile = dir.filePath(defaultName + QStringLiteral(".base.xml"));
    }
    if (!QFile::exists(start.fFile)) {
        MsgError(translateShellText(
            QStringLiteral("No project template could be found for the selected language or "
                           "the default. The application can not continue and will shut "
                           "down now.")));
        saveHalt(1, true, true, false);
    }
    return start;
}

} // namespace fmx
