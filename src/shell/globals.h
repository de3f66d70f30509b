// Application globals and directories, fixed once during start-up.
#pragma once

#include <QString>

#include <memory>

namespace fmx {

// The framework's application globals. The hooks do nothing by default; the object manager of
// the data-model layer is created there, not here.
class TApplGlobals {
public:
    virtual ~TApplGlobals() = default;

    virtual void CreateProjectDefs() {}
    virtual void ProjectAddUserFieldsToDBDescr() {}
    virtual void ProjectAddUserFieldsToDatabasesDescr() {}

    qint32 gApplID = 0;
    qint32 gClientMajorVersion = 0;
    qint32 gClientMinorVersion = 0;
    qint32 gClientVersion = 0;
    QString gClientVersionStr;
    QString gClientBuildNr;
    qint32 gDMVersionMin = 0;
    qint32 gDMVersionMax = 0;
    qint32 gDMVersionCurr = 0;
    QString gPakketNaam;
    QString gCompanyName;
    QString gRegRootPakket;
    QString gReleaseDate;
    QString gProductURL;
    QString gBaseHelpName;
    bool gGlobalFixedRequired = false;
    QString gNotitiesTitel;
    bool gToonImportNotiesBtn = false;
    qint32 gMaxFotoSize = 0;
};

// This program's globals.
class TBGXApplGlobals : public TApplGlobals {
public:
    TBGXApplGlobals();
    // Sets the three template directories below programDir ("<programDir>/Templates/...").
    void setTemplateDirs(const QString& programDir);

    QString fHTMLTemplateDir;
    QString fSubsidyTemplateDir;
    QString fProjectTemplateDir;
};

// The one globals object of the process; null before start-up.
TBGXApplGlobals* gApplGlobals();
void setApplGlobals(std::unique_ptr<TBGXApplGlobals> globals);

// The folders the directories are derived from (from QStandardPaths by default; tests give
// temporary ones).
struct TDirBases {
    QString fUserData;  // per-user data ($XDG_DATA_HOME)
    QString fDocuments; // the user's documents, else the home folder
    QString fTemp;
    static TDirBases fromSystem();
};

// Every path without a trailing separator except fProgramDir.
struct TApplDirs {
    QString fProgramDir; // with trailing "/"
    QString fDataDir;
    QString fSharedDir;
    QString fLogDir;
    QString fDatabasesDir;
    QString fPersonalDir;
    QString fTempDir;
};
const TApplDirs& gDirs();
TApplDirs& mutableDirs(); // for start-up only

// The personal directory: the documents folder when it exists, else the home folder. Throws
// TBaseDataError ("Bepalen personal data directory is mislukt") when neither exists.
QString determinePersonalDir(const TDirBases& bases);

// The data directory: useDir as given (not created) or <user data>/<company>/<product>, creating
// both levels. Throws TBaseDataError (tdek_DataDirFailure) with the Dutch message when it cannot.
QString determineDataDir(const TDirBases& bases, const QString& useDir, const QString& company,
                         const QString& product);
// The shared data directory: useSharedDir as given or <user data>/<company>/<product> Shared.
QString determineSharedDir(const TDirBases& bases, const QString& useSharedDir, const QString& company,
                           const QString& product);
// The log directory: logDir or <data>/logs, created (one level) when missing.
QString determineLogDir(const QString& dataDir, const QString& logDir);

struct TMachineIdentity {
    QString fComputerName;
    QString fUserName; // cut at the first blank
};
// An empty computer name is an assertion failure ("GetComputerName failed").
TMachineIdentity readMachineIdentity();

} // namespace fmx
