#include "app_start.h"

#include "project_calc.h"
#include "project_files.h"
#include "project_schema.h"

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
    registerFreeTexts(projectFileTexts());
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
        const int language = options.fLanguageOverride != 0 ? options.fLanguageOverride : currentLanguage();
        if (!switchLanguage(language)) setCurrentLanguage(language);

        setCreateProjectDefs([] { dmProjectCreateDefs(); });
        initDefs();
        objectManager()->openData(true, true, 1, 1);
        installProjectCalc();
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
