#include "dmdata.h"

#include "dataobj.h"
#include "datavalue.h"
#include "dmerrors.h"
#include "dmhooks.h"
#include "hash.h"

#include "fmx_assert.h"
#include "log.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace fmx {

TdmData* dmData = nullptr;
TDataValueDef* gLastValueDef = nullptr;
TDataObjDef* gLastDataObjDef = nullptr;
TDataObjListDef* gLastListDef = nullptr;

int32_t gvalObjVersion, gvalBugsFixed, gvalProgVersion, gvalCopyFromDBID, gvalCopyFromObjID,
    gvalCopyFromVersion, gvalNameIDForOnDemandListObj, gvalVersionID, gvalLastUsedID, gvalNoteCode,
    gvalNoteDate, gldefGebruikers, gvalNoteUserID, gvalNoteKind, gvalNoteDescr, gvalNoteCopy, gvalNoteFoto,
    gvalNoteObjPath, gvalNoteObjID, gvalNoteValXMLName, gvalValueType, gdefNote, gldefNotes, gvalDBGuid;

// ---- TXMLGroup ----

namespace {
bool valueMatchesHash(const TAbstractDataValue& v, uint32_t hash) {
    const TDataValueDef* d = v.Definition();
    return d->XMLNameHash() == hash || (d->OrgNameXMLHash() != 0 && d->OrgNameXMLHash() == hash);
}
} // namespace

TAbstractDataValue* TXMLGroup::getItemWithXML(TDataObjDef* objDef, const TValueList& values) {
    const int n = static_cast<int>(values.size());
    for (int i = 0; i < fLastIdxRec; ++i) {
        const TFindItemRecXML& r = fIdxRec[static_cast<size_t>(i)];
        if (r.fObjDef != objDef) continue;
        if (r.fItemIdx >= 0 && r.fItemIdx < n &&
            values[static_cast<size_t>(r.fItemIdx)]->Definition() == r.fItemDef)
            return values[static_cast<size_t>(r.fItemIdx)].get();
    }
    // A miss scans; objects of one definition may hold different values, so an absent name is
    // never remembered as absent (that would hide a value added later).
    for (int idx = 0; idx < n; ++idx) {
        TAbstractDataValue* v = values[static_cast<size_t>(idx)].get();
        if (!valueMatchesHash(*v, fNameHash)) continue;
        int slot;
        if (fLastIdxRec < static_cast<int32_t>(fIdxRec.size())) {
            slot = fLastIdxRec++;
        } else {
            slot = fNextReplace;
            fNextReplace = (fNextReplace + 1) % static_cast<int>(fIdxRec.size());
        }
        fIdxRec[static_cast<size_t>(slot)] = TFindItemRecXML{objDef, v->Definition(), idx};
        return v;
    }
    return nullptr;
}

// ---- TdmData ----

TdmData::TdmData() {
    // Slot 0 of each kind is never used: the first definitions get 10001, 20001 and 30001.
    fValDefsRaw.emplace_back();
    fObjDefsRaw.emplace_back();
    fListDefsRaw.emplace_back();
}

std::unique_ptr<TdmData> TdmData::create() {
    FMX_ASSERT(dmData == nullptr, QStringLiteral("TdmData.Create: dmData bestaat al"));
    registerDataModelExceptions();
    registerValidationMessages();
    std::unique_ptr<TdmData> reg(new TdmData());
    dmData = reg.get();
    try {
        reg->declareFrameworkDefs();
    } catch (...) {
        dmData = nullptr;
        gLastValueDef = nullptr;
        gLastDataObjDef = nullptr;
        gLastListDef = nullptr;
        throw;
    }
    const TDmProgramInfo& info = dmProgramInfo();
    logInfo(lmk_logInfo, QStringLiteral("_dmData init - prog ") + info.packageName +
                             QStringLiteral(" versie ") + info.clientVersionText);
    return reg;
}

TdmData::~TdmData() {
    if (dmData == this) dmData = nullptr;
    gLastValueDef = nullptr;
    gLastDataObjDef = nullptr;
    gLastListDef = nullptr;
}

namespace {

template <class D>
bool place(std::vector<std::unique_ptr<D>>& raw, int32_t base, int32_t& defID, std::unique_ptr<D> def,
           const char* kind) {
    if (defID <= 0) {
        defID = base + static_cast<int32_t>(raw.size());
        raw.emplace_back();
    }
    const int32_t slot = defID - base;
    const bool inRange = slot >= 1 && slot < static_cast<int32_t>(raw.size());
    FMX_ASSERT(inRange, QStringLiteral("%1: ID %2 buiten bereik").arg(QLatin1String(kind)).arg(defID));
    if (!inRange) return false;
    FMX_ASSERT(raw[static_cast<size_t>(slot)] == nullptr,
               QStringLiteral("%1: slot %2 is al bezet").arg(QLatin1String(kind)).arg(defID));
    if (raw[static_cast<size_t>(slot)] != nullptr) return false;
    raw[static_cast<size_t>(slot)] = std::move(def);
    return true;
}

template <class D> void removeSlot(std::vector<std::unique_ptr<D>>& raw, D* def) {
    for (auto it = raw.begin(); it != raw.end(); ++it) {
        if (it->get() == def) {
            raw.erase(it);
            return;
        }
    }
}

} // namespace

void TdmData::placeValueDef(int32_t& defID, std::unique_ptr<TDataValueDef> def) {
    TDataValueDef* raw = def.get();
    if (place(fValDefsRaw, kValDefIDBase, defID, std::move(def), "TDataValueDef.Create"))
        raw->fInternalID = defID;
    gLastValueDef = raw;
    gLastDataObjDef = nullptr;
    gLastListDef = nullptr;
    fAreDefsUnSorted = true;
}

void TdmData::placeObjDef(int32_t& defID, std::unique_ptr<TDataObjDef> def) {
    TDataObjDef* raw = def.get();
    if (place(fObjDefsRaw, kObjDefIDBase, defID, std::move(def), "TDataObjDef.Create"))
        raw->fInternalID = defID;
    gLastDataObjDef = raw;
    gLastValueDef = nullptr;
    gLastListDef = nullptr;
    fAreDefsUnSorted = true;
}

void TdmData::placeListDef(int32_t& defID, std::unique_ptr<TDataObjListDef> def) {
    TDataObjListDef* raw = def.get();
    if (place(fListDefsRaw, kListDefIDBase, defID, std::move(def), "TDataObjListDef.Create"))
        raw->fInternalID = defID;
    gLastListDef = raw;
    gLastValueDef = nullptr;
    gLastDataObjDef = nullptr;
    fAreDefsUnSorted = true;
}

int32_t TdmData::forwardDeclValueDef(int32_t defID) {
    if (defID != 0) return defID;
    fValDefsRaw.emplace_back();
    return kValDefIDBase + static_cast<int32_t>(fValDefsRaw.size()) - 1;
}

int32_t TdmData::forwardDeclObjDef(int32_t defID) {
    if (defID != 0) return defID;
    fObjDefsRaw.emplace_back();
    return kObjDefIDBase + static_cast<int32_t>(fObjDefsRaw.size()) - 1;
}

void TdmData::removeValueDef(TDataValueDef* def) {
    removeSlot(fValDefsRaw, def);
    fAreDefsUnSorted = true;
}
void TdmData::removeListDef(TDataObjListDef* def) {
    removeSlot(fListDefsRaw, def);
    fAreDefsUnSorted = true;
}
void TdmData::removeDataObjDef(TDataObjDef* def) {
    removeSlot(fObjDefsRaw, def);
    fAreDefsUnSorted = true;
}

TDataValueDef* TdmData::FindValueDefWithID(int32_t id) const {
    const int32_t slot = id - kValDefIDBase;
    const bool ok = slot >= 1 && slot < static_cast<int32_t>(fValDefsRaw.size());
    FMX_ASSERT(ok, QStringLiteral("TdmData.FindValueDefWithID: ID %1 buiten bereik").arg(id));
    return ok ? fValDefsRaw[static_cast<size_t>(slot)].get() : nullptr;
}

TDataObjListDef* TdmData::FindListDefWithID(int32_t id) const {
    const int32_t slot = id - kListDefIDBase;
    const bool ok = slot >= 1 && slot < static_cast<int32_t>(fListDefsRaw.size());
    FMX_ASSERT(ok, QStringLiteral("TdmData.FindListDefWithID: ID %1 buiten bereik").arg(id));
    return ok ? fListDefsRaw[static_cast<size_t>(slot)].get() : nullptr;
}

TDataObjDef* TdmData::FindDataObjDefWithID(int32_t id) const {
    const int32_t slot = id - kObjDefIDBase;
    if (slot < 0 || slot >= static_cast<int32_t>(fObjDefsRaw.size()))
        throw std::out_of_range("List index out of bounds (" + std::to_string(slot) + ")");
    return fObjDefsRaw[static_cast<size_t>(slot)].get();
}

void TdmData::clearXMLGroups() {
    fValDefsXMLSorted.clear();
    fListDefsXMLSorted.clear();
    fObjDefsXMLSorted.clear();
    fAreDefsUnSorted = true;
}

namespace {

template <class D>
std::vector<TXMLGroup> buildGroups(const std::vector<std::unique_ptr<D>>& raw, bool withFormer) {
    std::vector<std::pair<uint32_t, TAbstractDef*>> keys;
    keys.reserve(raw.size());
    for (const auto& d : raw) {
        if (!d) continue;
        keys.emplace_back(d->XMLNameHash(), d.get());
        if constexpr (std::is_same_v<D, TDataValueDef>) {
            if (withFormer && d->OrgNameXMLHash() != 0 && d->OrgNameXMLHash() != d->XMLNameHash())
                keys.emplace_back(d->OrgNameXMLHash(), d.get());
        }
    }
    std::stable_sort(keys.begin(), keys.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<TXMLGroup> groups;
    for (const auto& [hash, def] : keys) {
        if (groups.empty() || groups.back().fNameHash != hash) {
            groups.emplace_back();
            groups.back().fNameHash = hash;
        }
        groups.back().fDefs.push_back(def);
    }
    return groups;
}

} // namespace

void TdmData::sortDefs() {
    fValDefsXMLSorted = buildGroups(fValDefsRaw, true);
    fListDefsXMLSorted = buildGroups(fListDefsRaw, false);
    fObjDefsXMLSorted = buildGroups(fObjDefsRaw, false);
    const int g = static_cast<int>(fValDefsXMLSorted.size()) - 1;
    fValueThreshold = g > 1 ? static_cast<int>(std::lround(std::log2(static_cast<double>(g)))) + 2 : -1;
    fAreDefsUnSorted = false;
}

TXMLGroup* TdmData::findGroup(std::vector<TXMLGroup>& groups, uint32_t hash) {
    auto it = std::lower_bound(groups.begin(), groups.end(), hash,
                               [](const TXMLGroup& g, uint32_t h) { return g.fNameHash < h; });
    return (it != groups.end() && it->fNameHash == hash) ? &*it : nullptr;
}

TXMLGroup* TdmData::FindXMLGroupWithHash(TDefKind kind, uint32_t hash) {
    if (fAreDefsUnSorted) sortDefs();
    switch (kind) {
    case dkValue:
        return findGroup(fValDefsXMLSorted, hash);
    case dkObject:
        return findGroup(fObjDefsXMLSorted, hash);
    case dkList:
        return findGroup(fListDefsXMLSorted, hash);
    }
    return nullptr;
}

namespace {
TAbstractDef* uniqueOf(TXMLGroup* g, const QString& name, const char* who) {
    if (!g) return nullptr;
    FMX_ASSERT(g->defCount() == 1,
               QStringLiteral("%1: meerdere definities met naam %2").arg(QLatin1String(who), name));
    return g->defCount() == 1 ? g->fDefs[0] : nullptr;
}
} // namespace

TDataValueDef* TdmData::FindUniqueValueDefWithXML(const QString& name) {
    return static_cast<TDataValueDef*>(
        uniqueOf(FindXMLGroupWithHash(dkValue, HashCRC32ci(name)), name, "FindUniqueValueDefWithXML"));
}
TDataObjListDef* TdmData::FindUniqueListDefWithXML(const QString& name) {
    return static_cast<TDataObjListDef*>(
        uniqueOf(FindXMLGroupWithHash(dkList, HashCRC32ci(name)), name, "FindUniqueListDefWithXML"));
}
TDataObjDef* TdmData::FindUniqueDataObjDefWithXML(const QString& name) {
    return static_cast<TDataObjDef*>(
        uniqueOf(FindXMLGroupWithHash(dkObject, HashCRC32ci(name)), name, "FindUniqueDataObjDefWithXML"));
}

TDataObjDef* TdmData::FindDataObjDefWithClassName(const QString& name) const {
    for (const auto& d : fObjDefsRaw)
        if (d && d->DataObjType().className.compare(name, Qt::CaseInsensitive) == 0) return d.get();
    return nullptr;
}

void TdmData::addEnum(int32_t id, const QString& text) {
    FMX_ASSERT(gLastValueDef != nullptr, QStringLiteral("TdmData.addEnum: geen laatste waardedefinitie"));
    if (gLastValueDef) gLastValueDef->addEnum(id, text);
}

void TdmData::addEnum(int32_t defID, int32_t id, const QString& text) {
    if (TDataValueDef* d = FindValueDefWithID(defID)) d->addEnum(id, text);
}

void TdmData::setValDefRightToChange(int32_t defID, int32_t right) {
    if (TDataValueDef* d = FindValueDefWithID(defID)) d->setRightToChange(right);
}
void TdmData::setObjDefRightToChange(int32_t defID, int32_t right) {
    if (TDataObjDef* d = FindDataObjDefWithID(defID)) d->setRightToChange(right);
}
void TdmData::setListDefRightToAdd(int32_t defID, int32_t right) {
    if (TDataObjListDef* d = FindListDefWithID(defID)) d->setRightToAdd(right);
}
void TdmData::setListDefRightToDelete(int32_t defID, int32_t right) {
    if (TDataObjListDef* d = FindListDefWithID(defID)) d->setRightToDelete(right);
}
void TdmData::setListDefRights(int32_t defID, int32_t rightToChange, int32_t rightToAdd,
                               int32_t rightToDelete) {
    if (TDataObjListDef* d = FindListDefWithID(defID)) {
        d->setRightToChange(rightToChange);
        d->setRightToAdd(rightToAdd);
        d->setRightToDelete(rightToDelete);
    }
}

void TdmData::registerNameValueID(int32_t valueDefID) {
    if (!isNameValueID(valueDefID)) fArrDefaultNames.push_back(valueDefID);
}
bool TdmData::isNameValueID(int32_t valueDefID) const {
    return std::find(fArrDefaultNames.begin(), fArrDefaultNames.end(), valueDefID) != fArrDefaultNames.end();
}

// ---- framework definitions ----

void TdmData::declareFrameworkDefs() {
    for (int32_t* v : {&gvalObjVersion,
                       &gvalBugsFixed,
                       &gvalProgVersion,
                       &gvalCopyFromDBID,
                       &gvalCopyFromObjID,
                       &gvalCopyFromVersion,
                       &gvalNameIDForOnDemandListObj,
                       &gvalVersionID,
                       &gvalLastUsedID,
                       &gvalNoteCode,
                       &gvalNoteDate,
                       &gldefGebruikers,
                       &gvalNoteUserID,
                       &gvalNoteKind,
                       &gvalNoteDescr,
                       &gvalNoteCopy,
                       &gvalNoteFoto,
                       &gvalNoteObjPath,
                       &gvalNoteObjID,
                       &gvalNoteValXMLName,
                       &gvalValueType,
                       &gdefNote,
                       &gldefNotes,
                       &gvalDBGuid})
        *v = 0;
    const QString none;
    int32_t dummy = 0;
    TDataValueDef* v = TDataValueDef::Create(dummy, QStringLiteral("__DUMMY_VAL"), none, dvtFloat, none);
    v->setInternalDef(true);
    v->setExclFromDataChksum(true);
    dummy = 0;
    TDataObjDef* o = TDataObjDef::Create(dummy, QStringLiteral("__DUMMY_OBJ"), none,
                                         dataObjClassOf<TDataObj>(QStringLiteral("TDataObj")));
    o->setInternalDef(true);
    o->setExclFromDataChksum(true);
    dummy = 0;
    TDataObjListDef* l = TDataObjListDef::Create(dummy, QStringLiteral("GDL"), QStringLiteral("__DUMMY_LIST"),
                                                 none, 0, -1, true, -1);
    l->setExclFromDataChksum(true);

    const auto hiddenInt = [&](int32_t& id, const QString& name) {
        TDataValueDef* d = TDataValueDef::Create(id, name, none, dvtInteger, none);
        d->setHideFromUI(true);
        d->setRegVersionChanges(false);
        return d;
    };
    for (auto [id, name] : {std::pair{&gvalObjVersion, QStringLiteral("ObjVersion")},
                            std::pair{&gvalBugsFixed, QStringLiteral("BugsFixed")}}) {
        TDataValueDef* d = hiddenInt(*id, name);
        d->setMMDAsInteger(2, 0);
        d->setDontStoreDefXML(true);
        d->setExclFromDataChksum(true);
    }
    TDataValueDef* pv = hiddenInt(gvalProgVersion, QStringLiteral("ProgVersion"));
    pv->setMMDAsInteger(2, dmProgramInfo().clientVersion);
    pv->setExclFromDataChksum(true);
    for (auto [id, name] : {std::pair{&gvalCopyFromDBID, QStringLiteral("GCopyFromDBID")},
                            std::pair{&gvalCopyFromObjID, QStringLiteral("GCopyFromObjID")},
                            std::pair{&gvalCopyFromVersion, QStringLiteral("GCopyFromVersion")}})
        hiddenInt(*id, name)->setMMDAsInteger(2, -1);
    TDataValueDef::Create(gvalNameIDForOnDemandListObj, QStringLiteral("DN"), none, dvtString, none);
    registerNameValueID(gvalNameIDForOnDemandListObj);
    hiddenInt(gvalVersionID, QStringLiteral("GVersionID"))->setExclFromDataChksum(true);
    TDataValueDef* lu =
        TDataValueDef::Create(gvalLastUsedID, QStringLiteral("LastUsedID"), none, dvtInteger, none);
    lu->setMMDAsInteger(2, 2147418112);
    lu->setHideFromUI(true);
    lu->setExclFromDataChksum(true);
    TDataValueDef::Create(gvalNoteCode, QStringLiteral("gvalNoteCode"), none, dvtInteger, none)
        ->setInitReadOnlyUI(true);
    TDataValueDef::Create(gvalNoteDate, QStringLiteral("gvalNoteDate"), none, dvtDateTime, none)
        ->setInitReadOnlyUI(true);
    TDataObjListDef::Create(gldefGebruikers, QStringLiteral("DMGB"), QStringLiteral("Gebruikers"), none, 0,
                            -1, false, -1);
    int32_t anyObj = -1;
    TDataValueDef::CreateRef(gvalNoteUserID, QStringLiteral("User"), none, anyObj,
                             std::vector<int32_t>{-4, gldefGebruikers}, QStringLiteral("gvalNoteUserID"))
        ->setInitReadOnlyUI(true);
    TDataValueDef* nk =
        TDataValueDef::Create(gvalNoteKind, QStringLiteral("gvalNoteKind"), none, dvtEnum, none);
    const char* kinds[] = {"Remark",     "Warning", "Error",    "Import",
                           "EPA Import", "Photo",   "Mutation", "Custom error"};
    for (int i = 0; i < 8; ++i)
        nk->addEnum(i, QLatin1String(kinds[i]));
    nk->setInitReadOnlyUI(true);
    TDataValueDef::Create(gvalNoteDescr, QStringLiteral("Omschrijving"), none, dvtString, none)
        ->setDBFieldSize(240);
    TDataValueDef::CreateBoolDefNee(gvalNoteCopy, QStringLiteral("Notitie kopieren"), none,
                                    QStringLiteral("DoCopy"));
    TDataValueDef::Create(gvalNoteFoto, QStringLiteral("Foto"), none, dvtBinaryExcl, none)
        ->setDontStoreDefXML(true);
    TDataValueDef* op =
        TDataValueDef::Create(gvalNoteObjPath, QStringLiteral("Betreft"), none, dvtString, none);
    op->setInitReadOnlyUI(true);
    op->setInitDontStore(true);
    op->setCalculateTrigger(512);
    op->setDontChangeParent(true);
    TDataValueDef::Create(gvalNoteObjID, QStringLiteral("gvalNoteObjID"), none, dvtInteger, none)
        ->setInitReadOnlyUI(true);
    TDataValueDef* vx = TDataValueDef::Create(gvalNoteValXMLName, QStringLiteral("gvalNoteValXMLName"), none,
                                              dvtString, none);
    vx->setInitReadOnlyUI(true);
    vx->setDBFieldSize(40);
    TDataValueDef* vt = TDataValueDef::Create(gvalValueType, QStringLiteral("gvalValueType"), none, dvtEnum,
                                              none, QStringLiteral("gVT"));
    const char* types[] = {"Unknown",   "Integer", "Float", "Float0",   "Float1",     "Float2",    "String",
                           "Reference", "Enum",    "Date",  "DateTime", "BinaryExcl", "BinaryIncl"};
    for (int i = 0; i < 13; ++i)
        vt->addEnum(i - 1, QLatin1String(types[i]));
    vt->setMMDAsInteger(2, -1);
    TDataObjDef::Create(gdefNote, QStringLiteral("Notitie"), none,
                        dataObjClassOf<TObjNote>(QStringLiteral("TObjNote")));
    TDataObjListDef::Create(gldefNotes, QStringLiteral("GNOT"), QStringLiteral("Notities"), none, 0, -1, true,
                            gdefNote);
    TDataValueDef::Create(gvalDBGuid, QStringLiteral("Database GUID"), none, dvtString, none,
                          QStringLiteral("DatabaseGUID"));
}

} // namespace fmx
