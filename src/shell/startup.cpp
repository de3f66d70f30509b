#include "startup.h"

#include "errors.h"
#include "exception_log.h"
#include "fmx_assert.h"
#include "formats.h"
#include "language.h"
#include "log.h"
#include "messages.h"
#include "params.h"
#include "registry.h"
#include "utils.h"

#include <QDir>

namespace fmx {
namespace {

TStartUpParams gParams;
TAssertHandler gPreviousAssertHandler = nullptr;
bool gAssertHandlerInstalled = false;
bool gCoreDone = false;

QString quoted(const QString& s) {
    return QLatin1Char('"') + s + QLatin1Char('"');
}

QString withTrailingSlash(const QString& dir) {
    const QString clean = QDir::cleanPath(dir);
    return clean.endsWith(QLatin1Char('/')) ? clean : clean + QLatin1Char('/');
}

// Reads the parameters of the core start-up (invalid values throw TBaseDataError).
void readParameters(TStartUpParams& p) {
    checkDirParam(QStringLiteral("USEDIR"), QString(), p.fUseDir, false, false, true);
    checkDirParam(QStringLiteral("USESHAREDDIR"), QString(), p.fUseSharedDir, false, false, true);
    checkDirParam(QStringLiteral("LOGDIR"), QString(), p.fLogDir, false, false, true);
    checkStrParam(QStringLiteral("APPLTITLE"), QString(), p.fApplTitle, false, true);
    int maxLogSize = 0;
    p.fMaxLogSizeGiven = checkIntParam(QStringLiteral("MAXLOGSIZE"), 0, maxLogSize, false, true);
    // A limit of zero or less would delete every log file on each write.
    if (p.fMaxLogSizeGiven && maxLogSize <= 0)
        throw TBaseDataError(
            tdek_OngeldigeParameter,
            invalidParamValueText(QStringLiteral("MAXLOGSIZE"), findActParam(QStringLiteral("MAXLOGSIZE"))));
    if (p.fMaxLogSizeGiven) setMaxLogSize(maxLogSize);
    if (checkStrParam(QStringLiteral("USEVIRTUALDATE"), QString(), p.fVirtualDate, false, true)) {
        const QDateTime start = parseVirtualDate(p.fVirtualDate);
        if (!start.isValid())
            throw TBaseDataError(tdek_OngeldigeParameter,
                                 invalidParamValueText(QStringLiteral("USEVIRTUALDATE"), p.fVirtualDate));
        setVirtualNow(start);
    }
}

void initCoreFunctions(const TStartUpOptions& options, TBGXApplGlobals& globals) {
    if (gCoreDone) return;
    gCoreDone = true;

    setProductName(globals.gPakketNaam);
    if (options.fStartLogWriter) startLogWriter();
    installTerminateHandler();
    registerActualModule(QStringLiteral("Components"), componentsModuleInfo());
    for (const auto& [name, info] : options.fLibraryModules)
        registerActualModule(name, info);
    verifyRegisteredModules();
    registerShellExceptions();

    const TDirBases bases = options.fDirBases ? *options.fDirBases : TDirBases::fromSystem();
    TApplDirs& dirs = mutableDirs();
    dirs.fPersonalDir = determinePersonalDir(bases);
    setRegCompanyName(globals.gCompanyName);
    setRegPakketNaam(globals.gPakketNaam);

    setCommandLineArguments(options.fArguments);
    readParameters(gParams);
    dirs.fDataDir = determineDataDir(bases, gParams.fUseDir, globals.gCompanyName, globals.gPakketNaam);
    dirs.fLogDir = determineLogDir(dirs.fDataDir, gParams.fLogDir);
    dirs.fSharedDir =
        determineSharedDir(bases, gParams.fUseSharedDir, globals.gCompanyName, globals.gPakketNaam);
    setLogDirectory(dirs.fLogDir);
    for (const QString& argument : options.fArguments)
        logInfo(lmk_logInfo, QStringLiteral("Program param ") + quoted(argument));

    gPreviousAssertHandler = setAssertHandler(&actualAssertErrorHandler);
    gAssertHandlerInstalled = true;

    const TMachineIdentity identity = readMachineIdentity();
    dirs.fProgramDir = withTrailingSlash(options.fProgramDir);
    dirs.fTempDir = QDir::cleanPath(bases.fTemp);

    if (!gParams.fApplTitle.isEmpty() && options.fRaiseInstance && options.fRaiseInstance(gParams.fApplTitle))
        saveHalt(0, true, true, false);

    initApplFormats();
    dirs.fDatabasesDir = dirs.fDataDir + QStringLiteral("/databases");

    logInfo(lmk_logInfo, QStringLiteral("Geregistreerde modules:"));
    for (int i = 1; i <= getRegisteredModuleCount(); ++i)
        logInfo(lmk_logInfo, QStringLiteral("  ") + getRegisteredModuleInfo(i));
    logInfo(lmk_logInfo, QStringLiteral("PC: ") + quoted(identity.fComputerName) + QStringLiteral(" user:") +
                             quoted(identity.fUserName));
    logInfo(lmk_logInfo, QStringLiteral("Temp dir: ") + quoted(dirs.fTempDir));
    logInfo(lmk_logInfo, QStringLiteral("Using threaded logging"));

    if (options.fInitXmlParser) options.fInitXmlParser();
    if (options.fPixelsPerInch > 0) setScreenPixelsPerInch(options.fPixelsPerInch);
}

// The first missing template directory, in the order HTML report, subsidy, projects.
void checkTemplateDirs(const TBGXApplGlobals& globals) {
    const std::pair<const QString*, QString> checks[] = {
        {&globals.fHTMLTemplateDir, QStringLiteral("The HTML report template directory does not exist. The "
                                                   "application can not continue and will shut down now.")},
        {&globals.fSubsidyTemplateDir,
         QStringLiteral("The subsidy files directory does not exist. The "
                        "application can not continue and will shut down now.")},
        {&globals.fProjectTemplateDir,
         QStringLiteral("The project templates directory does not exist. The "
                        "application can not continue and will shut down now.")},
    };
    for (const auto& [dir, message] : checks) {
        if (QDir(*dir).exists()) continue;
        MsgError(translateShellText(message));
        saveHalt(1, true, true, false);
    }
}

} // namespace

void initAppl(const TStartUpOptions& options) {
    try {
        // 1. The data model's field sizes, then the versions this program requires.
        if (options.fSetUpDataModel) options.fSetUpDataModel();
        registerRequiredModule(QStringLiteral("Components"), 4000, componentsModuleInfo());
        registerRequiredModule(QStringLiteral("Datamodel"), 6000, datamodelModuleInfo());

        // 2. The globals.
        setApplGlobals(std::make_unique<TBGXApplGlobals>());
        TBGXApplGlobals& globals = *gApplGlobals();

        // 3. Logging, versions, error kinds, parameters, directories, assertion handler, formats.
        initCoreFunctions(options, globals);

        // 4. The language.
        setCurrentLanguage(chooseLanguage());

        // 5.-7. The template directories, one level up in the build tree when needed, checked in order.
        globals.setTemplateDirs(gDirs().fProgramDir);
        if (options.fDevelopmentTree && !QDir(globals.fHTMLTemplateDir).exists())
            globals.setTemplateDirs(gDirs().fProgramDir + QStringLiteral(".."));
        checkTemplateDirs(globals);

        // 8. The translation set-up.
        if (options.fSetUpTranslation) options.fSetUpTranslation();

        // 9. The log size limit (the floating-point checks belong to the engine).
        if (!gParams.fMaxLogSizeGiven) setMaxLogSize(kDefaultMaxLogSize);
    } catch (const TBaseDataError& e) {
        // Bad parameters and directories that cannot be made: the message, then stop.
        logException(e);
        MsgError(e.text());
        saveHalt(1, true, true, false);
    }
}

const TStartUpParams& startUpParams() {
    return gParams;
}

void resetStartUp() {
    finalizeCoreFunctions();
    resetLogging();
    clearRegisteredModules();
    clearVirtualNow();
    setCommandLineArguments({});
    setApplGlobals(nullptr);
    mutableDirs() = TApplDirs{};
    gParams = TStartUpParams{};
    gCoreDone = false;
}

void finalizeCoreFunctions() {
    shutdownLogging();
    if (gAssertHandlerInstalled) {
        setAssertHandler(gPreviousAssertHandler);
        gAssertHandlerInstalled = false;
    }
}

} // namespace fmx
