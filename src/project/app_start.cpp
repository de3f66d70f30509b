#include "app_start.h"

#include "project_calc.h"
#include "bgx_engine.h"
#include "project_files.h"
#include "project_schema.h"
#include "value_paths.h"

#include "dmformat.h"
#include "dmhooks.h"
#include "errors.h"
#include "exception_log.h"
#include "formats.h"
#include "langfiles.h"
#include "language.h"
#include "log.h"
#include "messages.h"
#include "objmanager.h"
#include "translate.h"
#include "xmlerrors.h"

namespace fmx {

void registerProjectTexts() {
    // The texts of the lower layers that reach the user through the translation hooks.
    const QStringList shell = {
        QStringLiteral("The HTML report template directory does not exist. The application can not continue and "
                       "will shut down now."),
        QStringLiteral("The subsidy files directory does not exist. The application can not continue and will "
                       "shut down now."),
        QStringLiteral("The project templates directory does not exist. The application can not continue and will "
                       "shut down now."),
        QStringLiteral("No project template could be found for the selected language or the default. The "
                       "application can not continue and will shut down now."),
    };
    const QStringList dataModel = {
        QStringLiteral("Invalid binary data"),
        QStringLiteral("Value %d is above the maximum %d"),
        QStringLiteral("Value %d is below the minimum %d"),
        QStringLiteral("Value %g is above the maximum %g"),
        QStringLiteral("Value %g is below the minimum %g"),
        QStringLiteral("Value %g is out of the integer range"),
        QStringLiteral("\"%s\" is not a valid choice for \"%s\""),
        QStringLiteral("\"%s\" is not a valid date"),
        QStringLiteral("\"%s\" is not a valid number"),
    };
    const QStringList calculation = {
        QString::fromLatin1(TBGXSubstrateError::kNoValidSubstrateText),
        QStringLiteral("The electric connection database needs at least six entries."),
    };
    registerFreeTexts(shell + dataModel + calculation + projectFileTexts() + valuePathTexts());
}

void startApplication(const TAppStartOptions& options) {
    TStartUpOptions o;
    o.fArguments = options.fArguments;
    o.fProgramDir = options.fProgramDir;
    o.fDirBases = options.fDirBases;
    o.fLibraryModules = {{QStringLiteral("Datamodel"), datamodelModuleInfo()}};
    o.fDevelopmentTree = options.fDevelopmentTree;
    o.fStartLogWriter = options.fStartLogWriter;
    o.fInitXmlParser = [] { registerXMLExceptions(); };
    o.fSetUpTranslation = [dir = options.fProgramDir] { setUpTranslation(dir); };
    initAppl(o);

    // One set of user formats for the shell and the data model.
    initApplFormats(options.fUserLocale);
    initFormatSettings(options.fUserLocale);
    setDmErrorSink([](const QString& text) { MsgError(text); });
    registerProjectTexts();

    try {
        setCreateProjectDefs([] { dmProjectCreateDefs(); });
        initDefs();
        objectManager()->openData(true, true, 1, 1);
        installProjectCalc();

        // The language's texts once every definition exists, so that captions are translated too.
        const int language = options.fLanguageOverride != 0 ? options.fLanguageOverride : currentLanguage();
        if (!switchLanguage(language)) setCurrentLanguage(language);
    } catch (const TBaseDataError& e) {
        logException(e);
        MsgError(e.text());
        saveHalt(1, true, true, false);
    } catch (const std::exception& e) {
        MsgException(QStringLiteral("The program could not start"), &e, false);
        saveHalt(1, true, true, false);
    }
}

void stopApplication() {
    if (TdmObjectManager* man = objectManager()) man->closeData(true, false);
    setProjectCalcFunction(nullptr);
    finalizeCoreFunctions();
}

} // namespace fmx
