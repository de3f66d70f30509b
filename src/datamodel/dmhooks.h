// Services that the data model needs from layers above it (translation, message box, object
// manager) or from the environment (clock, program version). Each has a working default so the
// framework runs on its own; the application installs the real ones at start-up.
#pragma once

#include <QString>

#include <cstdint>

namespace fmx {

class TDataObj;
class TBinDataValue;
class TDataObjODRoot;

// Translation of a free English text (identity until the translation layer installs one).
using TDmTranslator = QString (*)(const QString& text);
void setDmTranslator(TDmTranslator translator);
QString dmTl(const QString& text);

// Error box of the application (MsgError). Default: an error line in the log.
using TDmMessageSink = void (*)(const QString& text);
void setDmErrorSink(TDmMessageSink sink);
void dmMsgError(const QString& text);

// The application clock as a day number (day 0 = 1899-12-30). Default: the current local time.
using TDmClock = double (*)();
void setDmClock(TDmClock clock);
double dmNow();

// Program identity written by the registry's creation and used as the "ProgVersion" default.
struct TDmProgramInfo {
    QString packageName = QStringLiteral("Fermalux");
    int clientVersion = 1;
    QString clientVersionText = QStringLiteral("1");
    int dataModelVersion = 1;
};
TDmProgramInfo& dmProgramInfo();

// What the tree asks of the object manager. The defaults: global IDs from a process counter
// (positive, below 0x7FFF0000), no global data object, not fixing bugs, rights always granted,
// on-demand placeholders cannot be loaded (assertion).
struct TDmObjectManagerHooks {
    int32_t (*claimID)() = nullptr;
    TDataObj* (*actGlobalData)() = nullptr;
    // Whether a file root is of the application's global-data root class.
    bool (*isGlobalDataRoot)(const TDataObj* root) = nullptr;
    bool (*busyFixingBugs)() = nullptr;
    bool (*noRightsChecks)() = nullptr;
    bool (*hasRight)(int32_t rightID) = nullptr;
    void (*loadOnDemandListObj)(TDataObj* placeholder) = nullptr;
    // The files of on-demand list objects and external binary values (files of the data tree).
    void (*saveOnDemandListObj)(TDataObj* obj) = nullptr;
    void (*loadBinData)(TBinDataValue* value) = nullptr;
    void (*saveBinData)(TBinDataValue* value) = nullptr;
    // The data-model version of the stored data ("ObjVersion" of the global data object).
    int32_t (*dmVersion)() = nullptr;
    // Deletes the stored files of a root that is being deleted.
    void (*deleteODRoot)(TDataObjODRoot* root) = nullptr;
    // Stores a root (saveChanges); without it saveChanges writes roots that have a file name.
    void (*saveODRoot)(TDataObjODRoot* root) = nullptr;
    bool (*busyWithRecreate)() = nullptr;
    // The logged-in user (0 = none), who signs the notes a user writes.
    int32_t (*currUserID)() = nullptr;
};
TDmObjectManagerHooks& dmObjectManagerHooks();

int32_t dmClaimID();
TDataObj* dmActGlobalData();
bool dmBusyFixingBugs();
bool dmNoRightsChecks();
bool dmHasRight(int32_t rightID);
int32_t dmDataModelVersion();
int32_t dmCurrUserID();

} // namespace fmx
