#include "globals.h"

#include "errors.h"
#include "fmx_assert.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QSysInfo>

#include <pwd.h>
#include <unistd.h>

namespace fmx {
namespace {

std::unique_ptr<TBGXApplGlobals> gGlobals;
TApplDirs gApplDirs;

QString quoted(const QString& s) {
    return QLatin1Char('"') + s + QLatin1Char('"');
}

[[noreturn]] void dirFailure(const QString& text) {
    registerShellExceptions();
    throw TBaseDataError(tdek_DataDirFailure, text);
}

// Creates dir (one level) when missing; false when it still does not exist.
bool ensureDir(const QString& dir) {
    return QDir(dir).exists() || QDir().mkdir(dir);
}

} // namespace

TBGXApplGlobals::TBGXApplGlobals() {
    gApplID = 201;
    gClientMajorVersion = 1;
    gClientMinorVersion = 400;
    gClientVersion = gClientMajorVersion * 1000 + gClientMinorVersion;
    gClientVersionStr = QStringLiteral("1.4");
    gDMVersionMin = 1;
    gDMVersionMax = 1;
    gDMVersionCurr = 1;
    gPakketNaam = QStringLiteral("Fermalux");
    gCompanyName = QStringLiteral("Morvane Software");
    gRegRootPakket = QStringLiteral("\\Software\\") + gCompanyName + QStringLiteral("\\");
    gReleaseDate = QStringLiteral("27 october 2011");
    gBaseHelpName = QStringLiteral("FMXC_help_v2");
}

void TBGXApplGlobals::setTemplateDirs(const QString& programDir) {
    const QDir dir(programDir);
    fHTMLTemplateDir = dir.filePath(QStringLiteral("Templates/HTML Report"));
    fSubsidyTemplateDir = dir.filePath(QStringLiteral("Templates/Subsidy"));
    fProjectTemplateDir = dir.filePath(QStringLiteral("Templates/Projects"));
}

TBGXApplGlobals* gApplGlobals() {
    return gGlobals.get();
}
void setApplGlobals(std::unique_ptr<TBGXApplGlobals> globals) {
    gGlobals = std::move(globals);
}

TDirBases TDirBases::fromSystem() {
    TDirBases bases;
    bases.fUserData = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    // The user's data folder ($XDG_DATA_HOME, normally ~/.local/share) is missing on a fresh account;
    // like the platform's own programs we create it (owner only) instead of refusing to start.
    if (!bases.fUserData.isEmpty() && !QDir(bases.fUserData).exists() && QDir().mkpath(bases.fUserData))
        QFile::setPermissions(bases.fUserData, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    bases.fDocuments = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (bases.fDocuments.isEmpty() || !QDir(bases.fDocuments).exists()) bases.fDocuments = QDir::homePath();
    bases.fTemp = QDir::tempPath();
    return bases;
}

const TApplDirs& gDirs() {
    return gApplDirs;
}
TApplDirs& mutableDirs() {
    return gApplDirs;
}

QString determinePersonalDir(const TDirBases& bases) {
    if (bases.fDocuments.isEmpty() || !QDir(bases.fDocuments).exists())
        dirFailure(QStringLiteral("Bepalen personal data directory is mislukt"));
    return QDir::cleanPath(bases.fDocuments);
}

QString determineDataDir(const TDirBases& bases, const QString& useDir, const QString& company,
                         const QString& product) {
    if (!useDir.isEmpty()) return QDir::cleanPath(useDir);
    if (bases.fUserData.isEmpty()) dirFailure(QStringLiteral("Bepalen standaard data directory is mislukt"));
    const QString base = QDir::cleanPath(bases.fUserData);
    if (!QDir(base).exists())
        dirFailure(QStringLiteral("Standaard data directory ") + quoted(base) +
                   QStringLiteral(" bestaat niet"));
    for (const QString& dir : {base + QLatin1Char('/') + company,
                               base + QLatin1Char('/') + company + QLatin1Char('/') + product}) {
        if (!ensureDir(dir))
            dirFailure(QStringLiteral("Standaard data directory ") + dir +
                       QStringLiteral(" bestaat niet en kon ook niet worden gemaakt."));
    }
    return base + QLatin1Char('/') + company + QLatin1Char('/') + product;
}

QString determineSharedDir(const TDirBases& bases, const QString& useSharedDir, const QString& company,
                           const QString& product) {
    if (!useSharedDir.isEmpty()) return QDir::cleanPath(useSharedDir);
    if (bases.fUserData.isEmpty())
        dirFailure(QStringLiteral("Bepalen standaard shared data directory is mislukt"));
    const QString base = QDir::cleanPath(bases.fUserData);
    if (!QDir(base).exists())
        dirFailure(QStringLiteral("Standaard shared data directory ") + quoted(base) +
                   QStringLiteral(" bestaat niet"));
    const QString companyDir = base + QLatin1Char('/') + company;
    const QString sharedDir = companyDir + QLatin1Char('/') + product + QStringLiteral(" Shared");
    for (const QString& dir : {companyDir, sharedDir}) {
        if (!ensureDir(dir))
            dirFailure(QStringLiteral("Standaard shared data directory ") + dir +
                       QStringLiteral(" bestaat niet en kon ook niet worden gemaakt."));
    }
    return sharedDir;
}

QString determineLogDir(const QString& dataDir, const QString& logDir) {
    const QString dir = QDir::cleanPath(logDir.isEmpty() ? dataDir + QStringLiteral("/logs") : logDir);
    if (!ensureDir(dir))
        dirFailure(QStringLiteral("Standaard data log directory ") + dir +
                   QStringLiteral(" bestaat niet en kon ook niet worden gemaakt."));
    return dir;
}

TMachineIdentity readMachineIdentity() {
    TMachineIdentity id;
    id.fComputerName = QSysInfo::machineHostName();
    FMX_ASSERT(!id.fComputerName.isEmpty(), QStringLiteral("GetComputerName failed"));
    QString user;
    if (const passwd* pw = ::getpwuid(::geteuid())) user = QString::fromLocal8Bit(pw->pw_name);
    if (user.isEmpty()) user = qEnvironmentVariable("USER");
    const qsizetype blank = user.indexOf(QLatin1Char(' '));
    id.fUserName = blank < 0 ? user : user.left(blank);
    return id;
}

} // namespace fmx
