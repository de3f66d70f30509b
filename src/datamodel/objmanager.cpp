#include "objmanager.h"

#include "dmdata.h"
#include "dmerrors.h"
#include "dmhooks.h"

#include "errors.h"
#include "fmx_assert.h"
#include "globals.h"
#include "log.h"
#include "messages.h"
#include "utils.h"
#include "xmlerrors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

namespace fmx {

namespace {

constexpr int32_t kFirstLocalID = 0x7FFF0000;
constexpr int kCursorHourGlass = -11;
const QString kBaseXMLExt = QStringLiteral(".base.xml");

std::unique_ptr<TdmObjectManager> gManager;
std::unique_ptr<TdmData> gOwnedDmData;
TObjManFactory gFactory = nullptr;
std::function<void()> gCreateProjectDefs;
bool gDefsCreated = false;

QString storageProductName() {
    if (TBGXApplGlobals* g = gApplGlobals(); g && !g->gPakketNaam.isEmpty()) return g->gPakketNaam;
    return dmProgramInfo().packageName;
}

QString programDir() {
    QString d = gDirs().fProgramDir;
    if (d.isEmpty()) d = QDir::currentPath();
    if (!d.endsWith(QLatin1Char('/'))) d += QLatin1Char('/');
    return d;
}

// The framework's definitions of the global data object, when the schema declares none.
void dmBasicTypesCreateDefs() {
    if (gDefGlobaleDataID != 0 && dmData->FindDataObjDefWithID(gDefGlobaleDataID) != nullptr) return;
    gDefGlobaleDataID = 0;
    TDataObjDef::Create(gDefGlobaleDataID, QStringLiteral("GlobaleData"), QString(),
                        dataObjClassOf<TGlobaleData>(QStringLiteral("TGlobaleData")));
}

void writeFileWhole(const QString& fileName, const QByteArray& bytes) {
    QSaveFile f(fileName);
    if (!f.open(QIODevice::WriteOnly))
        throw TXMLFileError(fileName,
                            QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, f.errorString()));
    if (f.write(bytes) != bytes.size() || !f.flush() || f.size() != bytes.size()) {
        f.cancelWriting();
        f.commit();
        throw TXMLFileError(fileName,
                            QStringLiteral("Cannot write file \"%1\". %2").arg(fileName, f.errorString()));
    }
    if (!f.commit())
        throw TXMLFileError(fileName,
                            QStringLiteral("Cannot write file \"%1\". %2").arg(fileName, f.errorString()));
}

QString errorText(const std::exception& e) {
    if (auto* d = dynamic_cast<const TBaseDataError*>(&e)) return d->text();
    if (auto* x = dynamic_cast<const TXMLFileError*>(&e)) return x->text();
    if (auto* m = dynamic_cast<const TDmMessageError*>(&e)) return m->message();
    if (auto* a = dynamic_cast<const TAssertionFailure*>(&e)) return a->message();
    return QString::fromUtf8(e.what());
}

struct TCursorGuard {
    TCursorGuard() { pushCursor(kCursorHourGlass); }
    ~TCursorGuard() { popCursor(); }
    TCursorGuard(const TCursorGuard&) = delete;
    TCursorGuard& operator=(const TCursorGuard&) = delete;
};

} // namespace

// ---- creation ----

TdmObjectManager* objectManager() {
    return gManager.get();
}

void setApplManagerFactory(TObjManFactory factory) {
    gFactory = factory;
}

void setCreateProjectDefs(std::function<void()> creator) {
    gCreateProjectDefs = std::move(creator);
}

void initDefs() {
    if (gManager) return;
    if (!dmData) {
        try {
            gOwnedDmData = TdmData::create();
        } catch (const std::exception&) {
            gOwnedDmData.reset();
        }
        if (!dmData) throw TDataError(tdek_DataDirFailure, QStringLiteral("maken dmData is mislukt"));
        gDefsCreated = false;
    }
    gManager = gFactory ? gFactory() : std::make_unique<TApplObjMan>();
}

void destroyObjectManager() {
    gManager.reset();
    gOwnedDmData.reset();
    gDefsCreated = false;
}

TdmObjectManager::TdmObjectManager() {
    installHooks();
}

TdmObjectManager::~TdmObjectManager() {
    fBusyFree = true;
    fClipBoard.reset();
    fGlobalData.reset();
    dmObjectManagerHooks() = TDmObjectManagerHooks{};
}

void TdmObjectManager::installHooks() {
    TDmObjectManagerHooks& h = dmObjectManagerHooks();
    h.claimID = []() { return gManager->claimID(); };
    h.actGlobalData = []() -> TDataObj* { return gManager ? gManager->globalData() : nullptr; };
    h.isGlobalDataRoot = [](const TDataObj* root) { return root && root->defID() == gDefGlobaleDataID; };
    h.busyFixingBugs = []() { return gManager && gManager->busyFixingBug(); };
    h.noRightsChecks = []() { return gManager && gManager->noRightsChecks(); };
    h.hasRight = [](int32_t right) { return !gManager || gManager->userHasRight(right); };
    h.loadOnDemandListObj = [](TDataObj* o) { gManager->loadOnDemandListObj(o); };
    h.saveOnDemandListObj = [](TDataObj* o) { gManager->saveOnDemandListObj(o); };
    h.loadBinData = [](TBinDataValue* v) { gManager->loadBinData(v); };
    h.saveBinData = [](TBinDataValue* v) { gManager->saveBinData(v); };
    h.dmVersion = []() { return gManager ? gManager->getDMVersion() : 0; };
    h.saveODRoot = [](TDataObjODRoot* r) { gManager->saveDataObjDBObject(r, false); };
    h.busyWithRecreate = []() { return gManager && gManager->busyWithRecreate(); };
    h.currUserID = []() { return gManager ? gManager->currUserID() : 0; };
    h.deleteODRoot = [](TDataObjODRoot* r) {
        if (gManager) gManager->deleteDataObjODRoot(r);
    };
}

// ---- opening and closing ----

void TdmObjectManager::openData(bool workOnline, bool pDataLoad, int32_t localGlobalVersionNr,
                                int32_t localDMVersionNr) {
    fServerXMLDir = gDirs().fPersonalDir + QLatin1Char('/') + storageProductName();
    if (!QDir().mkpath(fServerXMLDir))
        throw TBaseDataError(tdek_DataDirFailure,
                             QStringLiteral("XML directory \"%1\" bestaat niet of is niet "
                                            "toegankelijk")
                                 .arg(fServerXMLDir));
    QString why;
    if (!testSchrijfRechtenInDir(fServerXMLDir + QStringLiteral("/random test file"), why))
        throw TBaseDataError(
            tdek_DataDirFailure,
            QStringLiteral("Server XML directory \"%1\": geen rechten om bestanden te maken (%2)")
                .arg(fServerXMLDir, why));
    logInfo(lmk_logInfo, workOnline ? QStringLiteral("TdmObjectManager.openData online werken")
                                    : QStringLiteral("TdmObjectManager.openData offline werken"));
    logInfo(lmk_logInfo, pDataLoad ? QStringLiteral("TdmObjectManager.openData dataload doen")
                                   : QStringLiteral("TdmObjectManager.openData GEEN dataload doen"));
    try {
        fReadyForWork = false;
        initDefs();
        if (!gDefsCreated) {
            gDefsCreated = true;
            if (gCreateProjectDefs)
                gCreateProjectDefs();
            else if (TBGXApplGlobals* g = gApplGlobals())
                g->CreateProjectDefs();
            dmBasicTypesCreateDefs();
            createExtraDefs();
        }
        TDataObjDef* gdef = dmData->FindDataObjDefWithID(gDefGlobaleDataID);
        FMX_ASSERT(gdef != nullptr,
                   QStringLiteral("TdmObjectManager.openData: geen definitie voor de globale data"));
        std::unique_ptr<TDataObj> g = gdef->CreateRootDataObj(false, false);
        auto* groot = dynamic_cast<TDataObjODRoot*>(g.get());
        FMX_ASSERT(groot != nullptr, QStringLiteral("TdmObjectManager.openData: globale data is geen root"));
        g.release();
        fGlobalData.reset(groot);
        if (pDataLoad) {
            if (fLocalDMVersion == 2) fBusyFixingBug = true;
            LoadGlobalData();
            if (fLocalDMVersion < dmProgramInfo().dataModelVersion) {
                fStartDMVersion = fLocalDMVersion;
                handleDMUpgrades();
            }
        }
        fClipBoard = std::make_unique<TDataClipBoard>();
        initLoadOfflineData(localDMVersionNr);
        afterOpenData(workOnline, pDataLoad, localGlobalVersionNr);
        fReadyForWork = true;
        logInfo(lmk_logInfo, QStringLiteral("TdmObjectManager.openData klaar"));
    } catch (const std::exception& e) {
        logInfo(lmk_logInfo, QStringLiteral("TdmObjectManager.openData exception ") + errorText(e));
        closeData(false, false);
        throw;
    }
}

void TdmObjectManager::afterOpenData(bool, bool, int32_t) {}
void TdmObjectManager::initLoadOfflineData(int32_t) {}

void TdmObjectManager::closeData(bool forApplClose, bool) {
    if (fBusyClose) return;
    if (fReadyForWork) logInfo(lmk_logInfo, QStringLiteral("TdmObjectManager.closeData"));
    fReadyForWork = false;
    fBusyClose = true;
    onStartCloseData();
    if (forApplClose) removeOfflineData();
    fClipBoard.reset();
    fGlobalData.reset();
    if (forApplClose) {
        if (gManager.get() == this) {
            std::unique_ptr<TdmObjectManager> self = std::move(gManager);
            gOwnedDmData.reset();
            gDefsCreated = false;
            self.reset(); // this object is gone now
        }
        return;
    }
    fBusyClose = false;
}

// ---- the global data file ----

void TdmObjectManager::LoadGlobalData() {
    logInfo(lmk_logInfo, QStringLiteral("TdmObjectManager.LoadGlobalData"));
    const QString inProgramDir = programDir() + QStringLiteral("global.base.xml");
    const QString devFallback =
        QDir::cleanPath(programDir() + QStringLiteral("../Source/basis data/global.ver1.base.xml"));
    if (QFileInfo(inProgramDir).isFile()) {
        fGlobalData->loadFromFile(inProgramDir);
    } else if (QFileInfo(devFallback).isFile()) {
        fGlobalData->loadFromFile(devFallback);
    } else {
        MsgError(QStringLiteral("Global data file not found, quitting"));
        saveHalt(1, false, true, false);
    }
    fixNextID(fGlobalData->determineMaxGlobalID());
}

void TdmObjectManager::saveGlobalDataXML(bool) {
    logInfo(lmk_logInfo, QStringLiteral("TdmObjectManager.saveGlobalData"));
    fGlobalData->saveToFile(programDir() + QStringLiteral("global"), true, sxt_ForFileStorage);
}

// ---- storage paths ----

QString TdmObjectManager::bepaalServerPadNaam(int32_t metID, TDataObjDef*) {
    FMX_ASSERT(metID >= 0, QStringLiteral("bepaalServerPadNaam: negatief ID %1").arg(metID));
    const int32_t id = std::max(metID, 0);
    const int32_t a = id / 64000;
    const int32_t q = (id % 64000) / 6400;
    const int32_t b = (id % 64000) % 6400;
    FMX_ASSERT(a < 100, QStringLiteral("bepaalServerPadNaam: a >= 100 (ID %1)").arg(metID));
    FMX_ASSERT(b <= 6399, QStringLiteral("bepaalServerPadNaam: b > 6399 (ID %1)").arg(metID));
    const int32_t c = b / 64;
    const QString A = (a < 10 ? QStringLiteral("0") : QString()) + QString::number(a);
    const QString Q = QStringLiteral("0") + QString::number(q);
    const QString C = (b < 640 ? QStringLiteral("0") : QString()) + QString::number(c);
    return A + QStringLiteral("-xx-xx/") + A + QLatin1Char('-') + Q + QStringLiteral("-xx/") + A +
           QLatin1Char('-') + Q + QLatin1Char('-') + C;
}

QString TdmObjectManager::storageDir(int32_t id) {
    return fServerXMLDir + QLatin1Char('/') + bepaalServerPadNaam(id, nullptr);
}

// ---- loading and storing roots ----

std::unique_ptr<TDataObjODRoot> TdmObjectManager::loadODRootDataObj(int32_t defID, const QString& file,
                                                                    bool keepName) {
    TDataObjDef* def = dmData->FindDataObjDefWithID(defID);
    FMX_ASSERT(def != nullptr, QStringLiteral("TdmObjectManager.loadODRootDataObj: definitie %1").arg(defID));
    if (!def) return nullptr;
    std::unique_ptr<TDataObj> o = def->CreateRootDataObj(true, false);
    auto* r = dynamic_cast<TDataObjODRoot*>(o.get());
    FMX_ASSERT(r != nullptr, QStringLiteral("TdmObjectManager.loadODRootDataObj: geen root"));
    if (!r) return nullptr;
    std::unique_ptr<TDataObjODRoot> root(static_cast<TDataObjODRoot*>(o.release()));
    root->loadFromFile(file); // a failure destroys the half-read root on the way out
    root->setBusy(false);
    if (keepName) {
        QString name = file;
        name.chop(kBaseXMLExt.size());
        root->setUseFileName(name);
    }
    fixNextID(root->determineMaxGlobalID());
    try {
        root->checkFixesNeeded();
    } catch (const std::exception& e) {
        MsgException(QStringLiteral("Fixen van bugs in object is mislukt"), &e, false);
    }
    return root;
}

std::unique_ptr<TDataObjODRoot> TdmObjectManager::laadDataObjODRoot(int32_t defID, int32_t metID, bool) {
    logInfo(lmk_logInfo, QStringLiteral("TdmObjectManager.laadDataObjODRoot obj ") + QString::number(metID));
    const QString file = storageDir(metID) + QLatin1Char('/') + QString::number(metID) + kBaseXMLExt;
    if (!QFileInfo(file).isFile()) return nullptr;
    return loadODRootDataObj(defID, file, false);
}

std::unique_ptr<TDataObjODRoot> TdmObjectManager::laadDataObjODRootFromFile(int32_t defID,
                                                                            const QString& withPath,
                                                                            const QString& withFilename) {
    logInfo(lmk_logInfo, QStringLiteral("TdmObjectManager.laadDataObjODRootFromFile file ") + withFilename);
    const QString file = withPath + QLatin1Char('/') + withFilename + kBaseXMLExt;
    if (!QFileInfo(file).isFile()) return nullptr;
    return loadODRootDataObj(defID, file, true);
}

void TdmObjectManager::saveDataObjDBObject(TDataObjODRoot* root, bool) {
    const bool ownName = !root->useFileName().isEmpty();
    const QString name = ownName ? QFileInfo(root->useFileName()).fileName() : QString::number(root->ID());
    logInfo(lmk_logInfo, QStringLiteral("TdmObjectManager.saveDataObjDBObject obj ") + name);
    TCursorGuard cursor;
    if (fGlobalData && root->isChildOf(fGlobalData.get())) {
        saveGlobalDataXML(false);
        return;
    }
    try {
        const QString dir = ownName ? QFileInfo(root->useFileName()).absolutePath() : storageDir(root->ID());
        if (!QDir().mkpath(dir))
            throw TDataError(
                tdek_DataDirFailure,
                QStringLiteral("Het xml directory \"%1\" bestaat niet en kon ook niet worden gemaakt")
                    .arg(dir),
                root);
        root->saveToFile(dir + QLatin1Char('/') + name, true, sxt_ForFileStorage);
    } catch (const std::exception& e) {
        const QString msg = QStringLiteral("TdmObjectManager.saveDataObjDBObject obj ") + name +
                            QStringLiteral(" save to file failed: ") + errorText(e);
        logInfo(lmk_logError, msg);
        if (ownName) throw;
        logInfo(lmk_logInfo, QStringLiteral("TdmObjectManager.saveDataObjDBObject obj ") + name +
                                 QStringLiteral(" will delete all server files"));
        deleteDataObjODRoot(root);
        root->clearWrittenMarks();
        MsgException(msg, &e, false);
    }
}

void TdmObjectManager::deleteDataObjODRoot(TDataObjODRoot* root) {
    if (root->useFileName().isEmpty() && root->rawID() <= 0) return; // never stored: no files
    if (!root->useFileName().isEmpty())
        TDataObjODRoot::deleteXMLFiles(root->useFileName());
    else
        TDataObjODRoot::deleteXMLFiles(storageDir(root->ID()) + QLatin1Char('/') +
                                       QString::number(root->ID()));
}

// ---- binary and on-demand files ----

QString TdmObjectManager::getBinFilename(int32_t rootID, TBinDataValue* value) {
    FMX_ASSERT(value != nullptr, QStringLiteral("TdmObjectManager.getBinFilename: geen waarde"));
    if (!value) return {};
    TDataObj* owner = value->Parent();
    TDataObjODRoot* root = value->dbRoot();
    FMX_ASSERT(owner != nullptr && root != nullptr,
               QStringLiteral("TdmObjectManager.getBinFilename: geen root"));
    if (!owner || !root) return {};
    const QString ext = value->Definition()->BinExtension().isEmpty() ? QStringLiteral(".bin")
                                                                      : value->Definition()->BinExtension();
    if (owner == root) return QString::number(rootID) + QStringLiteral(".0.") + value->XMLName() + ext;
    FMX_ASSERT(owner->ParentList() != nullptr,
               QStringLiteral("TdmObjectManager.getBinFilename: eigenaar staat niet in een lijst"));
    return QString::number(rootID) + QLatin1Char('.') + QString::number(owner->ID()) + QLatin1Char('.') +
           value->XMLName() + ext;
}

QString TdmObjectManager::getServerBinDataFilename(TBinDataValue* value) {
    FMX_ASSERT(value != nullptr, QStringLiteral("TdmObjectManager.getServerBinDataFilename: geen waarde"));
    if (!value) return {};
    TDataObjODRoot* root = value->dbRoot();
    FMX_ASSERT(root != nullptr, QStringLiteral("TdmObjectManager.getServerBinDataFilename: geen root"));
    if (!root) return {};
    const int32_t rootID = root->ID();
    FMX_ASSERT(rootID > 0, QStringLiteral("TdmObjectManager.getServerBinDataFilename: root zonder ID"));
    return storageDir(rootID) + QLatin1Char('/') + getBinFilename(rootID, value);
}

void TdmObjectManager::loadBinData(TBinDataValue* value) {
    FMX_ASSERT(value != nullptr && value->dataSize() > 0,
               QStringLiteral("TdmObjectManager.loadBinData: geen data"));
    if (!value || value->dataSize() <= 0) return;
    const QString file = getServerBinDataFilename(value);
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        throw TDataError(tdek_FileNotFound, QStringLiteral("File \"%1\" not found (binary data)").arg(file),
                         value);
    if (f.size() != value->dataSize())
        throw TDataError(tdek_InvalidFormat,
                         QStringLiteral("File \"%1\" holds %2 bytes, expected %3")
                             .arg(file)
                             .arg(f.size())
                             .arg(value->dataSize()),
                         value);
    value->setLoadedData(f.readAll());
}

void TdmObjectManager::saveBinData(TBinDataValue* value) {
    FMX_ASSERT(value != nullptr, QStringLiteral("TdmObjectManager.saveBinData: geen waarde"));
    if (!value) return;
    TDataObjODRoot* root = value->dbRoot();
    FMX_ASSERT(root != nullptr, QStringLiteral("TdmObjectManager.saveBinData: geen root"));
    if (!root) return;
    const int32_t rootID = root->ID();
    FMX_ASSERT(rootID > 0, QStringLiteral("TdmObjectManager.saveBinData: root zonder ID"));
    const QString dir = storageDir(rootID);
    const QString file = dir + QLatin1Char('/') + getBinFilename(rootID, value);
    const QByteArray& bytes = value->data();
    if (bytes.isEmpty()) {
        QFile::remove(file);
        return;
    }
    if (!QDir().mkpath(dir))
        throw TDataError(
            tdek_DataDirFailure,
            QStringLiteral("Het xml directory \"%1\" bestaat niet en kon ook niet worden gemaakt "
                           "(tijdens opslag binaire data.")
                .arg(dir),
            value);
    writeFileWhole(file, bytes);
}

void TdmObjectManager::loadOnDemandListObj(TDataObj* obj) {
    FMX_ASSERT(obj != nullptr && obj->ParentList() != nullptr,
               QStringLiteral("TdmObjectManager.loadOnDemandListObj: object niet in een lijst"));
    if (!obj || !obj->ParentList()) return;
    const int32_t id = obj->rawID();
    logInfo(lmk_logInfo, QStringLiteral("TdmObjectManager.loadOnDemandListObj ") +
                             obj->Definition()->XMLName() + QStringLiteral(" obj ") + QString::number(id));
    obj->baseLoadFromFile(storageDir(id) + QLatin1Char('/') + QString::number(id) + kBaseXMLExt);
}

void TdmObjectManager::saveOnDemandListObj(TDataObj* obj) {
    FMX_ASSERT(obj != nullptr && obj->ParentList() != nullptr,
               QStringLiteral("TdmObjectManager.saveOnDemandListObj: object niet in een lijst"));
    if (!obj || !obj->ParentList()) return;
    const int32_t id = obj->ID();
    logInfo(lmk_logInfo, QStringLiteral("TdmObjectManager.saveOnDemandListObj ") +
                             obj->Definition()->XMLName() + QStringLiteral(" obj ") + QString::number(id));
    const QString dir = storageDir(id);
    if (!QDir().mkpath(dir))
        throw TDataError(
            tdek_DataDirFailure,
            QStringLiteral("Het xml directory \"%1\" bestaat niet en kon ook niet worden gemaakt").arg(dir),
            obj);
    obj->baseSaveToFile(dir + QLatin1Char('/') + QString::number(id) + kBaseXMLExt, false,
                        sxt_ForFileStorage);
}

// ---- IDs and rights ----

int32_t TdmObjectManager::claimID() {
    FMX_ASSERT(fLastGlobalID < kFirstLocalID - 1,
               QStringLiteral("TdmObjectManager.claimID: geen globale IDs meer"));
    return ++fLastGlobalID;
}

void TdmObjectManager::fixNextID(int32_t id) {
    if (id > fLastGlobalID && id < kFirstLocalID) fLastGlobalID = id;
}

bool TdmObjectManager::userHasRight(int32_t rightID) const {
    if (fNoRightsChecks) return true;
    return std::find(fEffRights.begin(), fEffRights.end(), rightID) != fEffRights.end();
}

// ---- the application's manager ----

void TApplObjMan::afterOpenData(bool workOnline, bool pDataLoad, int32_t localGlobalVersionNr) {
    // The framework's user administration is not shown by this program: nothing to set up.
    TdmObjectManager::afterOpenData(workOnline, pDataLoad, localGlobalVersionNr);
}

QString TApplObjMan::bepaalServerPadNaam(int32_t metID, TDataObjDef* objDef) {
    return TdmObjectManager::bepaalServerPadNaam(metID, objDef);
}

// ---- deleting files ----

bool DeleteFilesInDir(const QString& dir, const QString& mask, bool inclSubDirs, bool removeDir,
                      const std::function<void(const QString&)>& callback) {
    if (dir.isEmpty()) return false;
    QString d = dir;
    if (!d.endsWith(QLatin1Char('/'))) d += QLatin1Char('/');
    QDir qd(d);
    const QFileInfoList hits =
        qd.entryInfoList({mask}, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo& fi : hits) {
        if (callback) callback(fi.absoluteFilePath());
        if (!fi.isDir()) QFile::remove(fi.absoluteFilePath());
    }
    if (inclSubDirs) {
        const QFileInfoList all =
            qd.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        for (const QFileInfo& fi : all) {
            if (callback) callback(fi.absoluteFilePath());
            if (fi.isDir() && !fi.isSymLink())
                DeleteFilesInDir(fi.absoluteFilePath(), mask, true, true, callback);
        }
    }
    if (removeDir && !QDir().rmdir(d))
        throw TBaseDataError(tdek_DataDirFailure, QStringLiteral("Cannot remove directory \"%1\"").arg(d));
    return true;
}

} // namespace fmx
