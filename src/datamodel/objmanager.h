// The object manager: the one process-wide service between the data trees and their files.
//
// It opens and closes the data (definitions, the global data object, the data clipboard), loads
// stored roots from their files, stores and deletes them, keeps the files of on-demand list objects
// and external binary values, hands out global IDs and answers the right checks. While it exists it
// fills the data model's object-manager hooks (dmhooks.h).
//
// Ownership: initDefs creates the registry dmData and the manager; both live until
// closeData(true, ...) frees them (or destroyObjectManager, for tests). The manager owns the global
// data object and the data clipboard between openData and closeData. Roots loaded through it are
// handed to the caller, who owns them.
//
// Storage layout: roots without a file name of their own, their binary files and the files of
// on-demand list objects live below ServerXMLDir (the personal directory + "/" + product name) in
// the directory bepaalServerPadNaam gives for their ID.
#pragma once

#include "globaldata.h"

#include "clipboard.h"
#include "dataobj.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace fmx {

// gDefGlobaleDataID and TGlobaleData (globaldata.h): when the schema sets no global data definition,
// openData declares a plain one ("GlobaleData").

class TdmObjectManager {
public:
    TdmObjectManager();
    virtual ~TdmObjectManager();
    TdmObjectManager(const TdmObjectManager&) = delete;
    TdmObjectManager& operator=(const TdmObjectManager&) = delete;

    // Opens the data (see the steps in objmanager.cpp). Throws when the storage directory is
    // missing and cannot be made or is not writable; an exception after the definitions step closes
    // the data again and is passed on. A missing global data file stops the program (exit code 1).
    void openData(bool workOnline, bool pDataLoad, int32_t localGlobalVersionNr, int32_t localDMVersionNr);
    // Frees the clipboard and the global data object; with forApplClose also dmData and the manager
    // itself (the object is gone when it returns). Nothing while a close runs or has run.
    void closeData(bool forApplClose, bool keepLSConn);

    // Virtual operations; the framework's do nothing except the storage ones.
    virtual void handleDMUpgrades() {}
    virtual void afterOpenData(bool workOnline, bool pDataLoad, int32_t localGlobalVersionNr);
    virtual void initLoadOfflineData(int32_t localDMVersionNr);
    virtual void removeOfflineData() {}
    virtual void runPreUpgradeChecks() {}
    virtual void onStartCloseData() {}
    virtual void createExtraDefs() {}
    // The root stored under its ID, or nullptr when its file does not exist. useDB has no effect.
    // A broken file throws its error; nothing is returned then.
    virtual std::unique_ptr<TDataObjODRoot> laadDataObjODRoot(int32_t defID, int32_t metID, bool useDB);
    // The root in withPath + "/" + withFilename + ".base.xml" (keeping that name), or nullptr when
    // the file does not exist. A broken file throws its error; the half-read root is discarded.
    virtual std::unique_ptr<TDataObjODRoot> laadDataObjODRootFromFile(int32_t defID, const QString& withPath,
                                                                      const QString& withFilename);
    // Deletes the files of a root (its own file name, or its ID's files in the storage directory).
    virtual void deleteDataObjODRoot(TDataObjODRoot* root);
    // The relative storage directory of an ID: "AA-xx-xx/AA-0Q-xx/AA-0Q-CC". An ID below 0 or of
    // 6,400,000 or more is a failed assertion.
    virtual QString bepaalServerPadNaam(int32_t metID, TDataObjDef* objDef);
    virtual bool encryptThis() { return false; }

    // Stores a root in file storage, clearing its changes. A failed write of a root with its own
    // file name is passed on; for any other root its files are deleted and the error is shown.
    void saveDataObjDBObject(TDataObjODRoot* root, bool keepLock);
    void LoadGlobalData();
    // Writes the global data object to the program directory's "global.base.xml". Throws on failure.
    void saveGlobalDataXML(bool saveLockStillPresent);

    // Files of external binary values: "<rootID>.0.<xml name><ext>" for a value of the root,
    // "<rootID>.<owner ID>.<xml name><ext>" for a value of a listed object; ext = BinExtension or
    // ".bin". Misuse (no value, no root with an ID above 0, an owner neither root nor listed) is a
    // failed assertion.
    QString getBinFilename(int32_t rootID, TBinDataValue* value);
    QString getServerBinDataFilename(TBinDataValue* value);
    // Reads the bytes; a missing file or one whose size differs from the stored size throws TDataError.
    void loadBinData(TBinDataValue* value);
    // Writes the bytes whole (empty data deletes the file). Throws TDataError (tdek_DataDirFailure)
    // when the directory cannot be made, TXMLFileError when the write fails.
    void saveBinData(TBinDataValue* value);
    // Files of on-demand list objects: <storage dir of its ID>/<ID>.base.xml.
    void loadOnDemandListObj(TDataObj* obj);
    void saveOnDemandListObj(TDataObj* obj);

    // A global ID: positive, below 0x7FFF0000, above every global ID of the files loaded so far.
    int32_t claimID();
    // Makes claimID hand out IDs above id.
    void fixNextID(int32_t id);
    bool userHasRight(int32_t rightID) const;

    int32_t getDMVersion() const { return fLocalDMVersion; }
    int32_t currUserID() const { return fCurrUserID; }
    const QString& ServerXMLDir() const { return fServerXMLDir; }
    bool readyForWork() const { return fReadyForWork; }
    bool busyClose() const { return fBusyClose; }
    bool busyFixingBug() const { return fBusyFixingBug; }
    bool busyWithRecreate() const { return fBusyWithRecreate; }
    bool noRightsChecks() const { return fNoRightsChecks; }
    int32_t startDMVersion() const { return fStartDMVersion; }
    TDataObjODRoot* globalData() const { return fGlobalData.get(); }
    TDataClipBoard* dataClipBoard() const { return fClipBoard.get(); }
    // The full storage directory of an ID.
    QString storageDir(int32_t id);

protected:
    int32_t fCurrUserID = 0;
    std::vector<int32_t> fEffRights;
    bool fReadyForWork = false;
    bool fBusyWithRecreate = false;
    bool fBusyWithCreate = false;
    bool fBusyClose = false;
    bool fBusyFree = false;
    bool fBusyFixingBug = false;
    bool fNoRightsChecks = false;
    bool fBusySortingGL = false;
    bool fBusyCreateOD = false;
    int32_t fStartDMVersion = 0;
    bool fBusyWithCreateStruct = false;
    QString fServerXMLDir;
    int32_t fLocalDMVersion = 0;

private:
    std::unique_ptr<TDataObjODRoot> loadODRootDataObj(int32_t defID, const QString& file, bool keepName);
    void installHooks();

    std::unique_ptr<TDataObjODRoot> fGlobalData;
    std::unique_ptr<TDataClipBoard> fClipBoard;
    int32_t fLastGlobalID = 0;
};

// The application's manager (its overrides keep the framework's behaviour here).
class TApplObjMan : public TdmObjectManager {
public:
    void afterOpenData(bool workOnline, bool pDataLoad, int32_t localGlobalVersionNr) override;
    QString bepaalServerPadNaam(int32_t metID, TDataObjDef* objDef) override;
};

// The one manager (nullptr before initDefs and after closeData(true, ...)).
TdmObjectManager* objectManager();
// Creates dmData and then the manager (through the factory, TApplObjMan by default), once; later
// calls do nothing. A failed creation of dmData throws TDataError (tdek_DataDirFailure).
void initDefs();
using TObjManFactory = std::unique_ptr<TdmObjectManager> (*)();
void setApplManagerFactory(TObjManFactory factory);
// The project schema's declarations, run once after the framework's (CreateProjectDefs of the
// application globals when none is set).
void setCreateProjectDefs(std::function<void()> creator);
// Frees the manager and dmData without closing the data properly (tests, unit finalisation).
void destroyObjectManager();

// Deletes the entries of dir matching mask (see objmanager.cpp); false for an empty dir.
bool DeleteFilesInDir(const QString& dir, const QString& mask, bool inclSubDirs, bool removeDir,
                      const std::function<void(const QString&)>& callback = {});

} // namespace fmx
