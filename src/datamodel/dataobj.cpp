#include "dataobj.h"

#include "dmdata.h"
#include "dmerrors.h"
#include "dmhooks.h"
#include "hash.h"

#include "fmx_assert.h"

#include <QFile>

#include <algorithm>
#include <set>
#include <stdexcept>

namespace fmx {

namespace {

constexpr int32_t kFirstLocalID = 0x7FFF0000;

bool isFileRoot(const TDataObj* o) {
    return dynamic_cast<const TDataObjODRoot*>(o) != nullptr;
}

// Clears a reference to an object that goes away: as an ordinary change when possible (marks and
// trigger), else bare, so that it never keeps the ID of a deleted object.
void clearRef(TRefDataValue* ref) {
    if (ref->isBusy() || ref->busyDestroy()) {
        ref->dropReference();
        return;
    }
    try {
        ref->setAsInteger(0);
    } catch (const std::exception&) {
        ref->dropReference();
    }
}

template <class F> void forEachRef(TDataObj* o, const F& f) {
    if (o->busyDestroy()) return;
    for (const auto& v : o->values())
        if (auto* r = dynamic_cast<TRefDataValue*>(v.get())) f(r);
    for (int i = 0; i < o->objCount(); ++i)
        forEachRef(o->obj(i), f);
    for (int i = 0; i < o->ListCount(); ++i) {
        TDataObjList* l = o->list(i);
        if (l->busyDestroy()) continue;
        for (int k = 0; k < l->objCount(); ++k)
            forEachRef(l->getDataObject_NOD(k), f);
    }
}

} // namespace

// ---- TDataObj: construction and destruction ----

TDataObj::TDataObj() = default;

TDataObj::~TDataObj() {
    teardown();
}

void TDataObj::teardown() {
    if (fTornDown) return;
    fTornDown = true;
    signalDelete();
    if (fID != 0 && fID != -2) {
        TDataObj* up = parentObject();
        TDataObjIDManager* m = up ? up->IDManager() : nullptr;
        if (m && !m->busyDestroy()) m->deleteReferencesTo(this);
    }
    fValues.clear();
    fLists.clear();
    fSubObj.clear();
}

TDataObj* TDataObj::parentObject() const {
    if (fParent) return fParent;
    return fParentList ? fParentList->ParentDataObj() : nullptr;
}

// ---- children ----

TAbstractDataValue* TDataObj::value(int i) const {
    FMX_ASSERT(i >= 0 && i < ValueCount(), QStringLiteral("TDataObj.value: index %1").arg(i));
    return (i >= 0 && i < ValueCount()) ? fValues[static_cast<size_t>(i)].get() : nullptr;
}

TAbstractDataValue* TDataObj::getValueWithID(int32_t defID) const {
    TDataValueDef* def = dmData->FindValueDefWithID(defID);
    return def ? def->getItemWithID(fValues) : nullptr;
}

TAbstractDataValue* TDataObj::getValueWithXML(const QString& name) const {
    return getValueWithXMLHash(HashCRC32ci(name));
}

TAbstractDataValue* TDataObj::getValueWithXMLHash(uint32_t hash) const {
    if (dmData && ValueCount() > dmData->valueGroupThreshold()) {
        TXMLGroup* g = dmData->FindXMLGroupWithHash(TdmData::dkValue, hash);
        return g ? g->getItemWithXML(fDefinition, fValues) : nullptr;
    }
    for (const auto& v : fValues) {
        const TDataValueDef* d = v->Definition();
        if (d->XMLNameHash() == hash || (d->OrgNameXMLHash() != 0 && d->OrgNameXMLHash() == hash))
            return v.get();
    }
    return nullptr;
}

TAbstractDataValue* TDataObj::getValueWithDBField(const QString& name) const {
    const uint32_t h = HashCRC32ci(name);
    for (const auto& v : fValues)
        if (v->Definition()->DBNameHash() == h) return v.get();
    return nullptr;
}

TDataObj* TDataObj::obj(int i) const {
    FMX_ASSERT(i >= 0 && i < objCount(), QStringLiteral("TDataObj.obj: index %1").arg(i));
    return (i >= 0 && i < objCount()) ? fSubObj[static_cast<size_t>(i)].get() : nullptr;
}

TDataObj* TDataObj::getSubObjWithDefID(int32_t defID) const {
    for (const auto& o : fSubObj)
        if (o->defID() == defID) return o.get();
    return nullptr;
}

TDataObj* TDataObj::getSubObjWithXML(const QString& name) const {
    const uint32_t h = HashCRC32ci(name);
    for (const auto& o : fSubObj)
        if (o->Definition()->XMLNameHash() == h) return o.get();
    return nullptr;
}

TDataObj* TDataObj::getSubObjWithDBField(const QString& name) const {
    const uint32_t h = HashCRC32ci(name);
    for (const auto& o : fSubObj)
        if (o->Definition()->DBNameHash() == h) return o.get();
    return nullptr;
}

TDataObjList* TDataObj::list(int i) const {
    FMX_ASSERT(i >= 0 && i < ListCount(), QStringLiteral("TDataObj.list: index %1 buiten de lijsten").arg(i));
    return (i >= 0 && i < ListCount()) ? fLists[static_cast<size_t>(i)].get() : nullptr;
}

TDataObjList* TDataObj::getListWithID(int32_t defID) const {
    for (const auto& l : fLists)
        if (l->defID() == defID) return l.get();
    return nullptr;
}

TDataObjList* TDataObj::getListWithXML(const QString& name) const {
    const uint32_t h = HashCRC32ci(name);
    for (const auto& l : fLists)
        if (l->Definition()->XMLNameHash() == h) return l.get();
    return nullptr;
}

int TDataObj::indexInParentList() const {
    return fParentList ? fParentList->indexInList(this) : -1;
}

TDataObj* TDataObj::nextObj() const {
    const int i = indexInParentList();
    return (i >= 0 && i + 1 < fParentList->objCount()) ? fParentList->getDataObject_NOD(i + 1) : nullptr;
}

TDataObj* TDataObj::prevObj() const {
    const int i = indexInParentList();
    return i > 0 ? fParentList->getDataObject_NOD(i - 1) : nullptr;
}

bool TDataObj::isChildOf(const TDataObj* obj) const {
    for (const TDataObj* o = this; o; o = o->parentObject())
        if (o == obj) return true;
    return false;
}

TAbstractDataValue* TDataObj::findValueWithIDEx(int32_t defID) const {
    return (defID > kValDefIDBase && defID < kObjDefIDBase) ? getValueWithID(defID) : nullptr;
}
TDataObj* TDataObj::findObjWithIDEx(int32_t defID) const {
    return (defID >= kObjDefIDBase && defID < kListDefIDBase) ? getSubObjWithDefID(defID) : nullptr;
}
TDataObjList* TDataObj::findListWithIDEx(int32_t defID) const {
    return defID >= kListDefIDBase ? getListWithID(defID) : nullptr;
}

// ---- creation ----

TAbstractDataValue* TDataObj::cAddVal(int32_t defID) {
    TDataValueDef* def = dmData->FindValueDefWithID(defID);
    FMX_ASSERT(def != nullptr, QStringLiteral("TDataObj.cAddVal: definitie %1 niet gedeclareerd").arg(defID));
    return def ? def->createValue(*this) : nullptr;
}

TAbstractDataValue* TDataObj::cAddVal(TDataValueDef* def) {
    return def->createValue(*this);
}

TDataObj* TDataObj::cAddObj(int32_t defID) {
    TDataObjDef* def = dmData->FindDataObjDefWithID(defID);
    FMX_ASSERT(def != nullptr, QStringLiteral("TDataObj.cAddObj: definitie %1 niet gedeclareerd").arg(defID));
    return def ? def->CreateSubDataObj(this) : nullptr;
}

TDataObjList* TDataObj::cAddList(int32_t defID) {
    TDataObjListDef* def = dmData->FindListDefWithID(defID);
    FMX_ASSERT(def != nullptr,
               QStringLiteral("TDataObj.cAddList: definitie %1 niet gedeclareerd").arg(defID));
    return def ? def->createValue(*this) : nullptr;
}

TDataObjList* TDataObj::cAddList(TDataObjListDef* def) {
    return def->createValue(*this);
}

TAbstractDataValue* TDataObj::adoptValue(std::unique_ptr<TAbstractDataValue> value) {
    value->fParent = this;
    if (fIsNew) value->fIsNew = true;
    fValues.push_back(std::move(value));
    return fValues.back().get();
}

TDataObjList* TDataObj::adoptList(std::unique_ptr<TDataObjList> list) {
    list->fParent = this;
    fLists.push_back(std::move(list));
    return fLists.back().get();
}

TDataObj* TDataObj::adoptSubObj(std::unique_ptr<TDataObj> obj) {
    FMX_ASSERT(!isFileRoot(obj.get()), QStringLiteral("TDataObjODRoot.Create: een root heeft geen parent"));
    FMX_ASSERT(obj->fParentList == nullptr,
               QStringLiteral("TDataObj.setParent: object heeft al een parent list"));
    obj->fParent = this;
    fSubObj.push_back(std::move(obj));
    return fSubObj.back().get();
}

void TDataObj::discardSubObj(TDataObj* obj) {
    obj->teardown();
    for (auto it = fSubObj.begin(); it != fSubObj.end(); ++it) {
        if (it->get() == obj) {
            std::unique_ptr<TDataObj> dying = std::move(*it);
            fSubObj.erase(it);
            dying->fParent = nullptr;
            return;
        }
    }
}

void TDataObj::deleteValue(TAbstractDataValue* value) {
    for (auto it = fValues.begin(); it != fValues.end(); ++it) {
        if (it->get() == value) {
            value->signalDelete();
            std::unique_ptr<TAbstractDataValue> dying = std::move(*it);
            fValues.erase(it);
            return;
        }
    }
    FMX_ASSERT(false, QStringLiteral("TDataObj.deleteValue: waarde niet gevonden"));
}

// ---- identity ----

int32_t TDataObj::ID() {
    return assignID(QStringLiteral("Geen ID Manager gevonden"));
}

int32_t TDataObj::getIDEx() {
    return assignID(QStringLiteral("TDataObj.getIDEx: geen ID Manager"));
}

int32_t TDataObj::assignID(const QString& noManagerMessage) {
    if (fID != 0) return fID;
    if (fDontStore) return fID = -2;
    if (fDefinition->isInstLocalObj()) {
        if (fValues.empty()) return fID = -2;
        TDataObjIDManager* m = IDManager();
        FMX_ASSERT(m != nullptr, noManagerMessage);
        if (!m) return 0;
        const TDataObj* g = dmActGlobalData();
        fID = (g != nullptr && static_cast<const TDataObj*>(m) == g) ? dmClaimID() : m->getNextID();
    } else {
        fID = dmClaimID();
    }
    return fID;
}

void TDataObj::NewIDAfterCopy() {
    fID = 0;
    for (auto& o : fSubObj)
        o->NewIDAfterCopy();
    for (auto& l : fLists)
        for (auto& o : l->fDataObjects)
            o->NewIDAfterCopy();
}

int32_t TDataObj::determineMaxGlobalID() {
    int32_t m = (fID > 0 && fID < kFirstLocalID) ? fID : 0;
    for (auto& o : fSubObj)
        m = std::max(m, o->determineMaxGlobalID());
    for (auto& l : fLists)
        for (auto& o : l->fDataObjects)
            m = std::max(m, o->determineMaxGlobalID());
    return m;
}

// ---- names ----

TAbstractDataValue* TDataObj::nameFieldForSet() {
    for (const auto& v : fValues)
        if (dmData->isNameValueID(v->defID())) return v.get();
    return nullptr;
}

TAbstractDataValue* TDataObj::nameField() {
    if (TAbstractDataValue* v = nameFieldForSet()) return v;
    if (!fValues.empty())
        if (auto* r = dynamic_cast<TRefDataValue*>(fValues.front().get()))
            if (TDataObj* o = r->getAsReference()) return o->nameFieldForSet();
    return nullptr;
}

QString TDataObj::getName() {
    if (TAbstractDataValue* v = nameFieldForSet()) {
        const QString s = v->getAsString();
        return s.isEmpty() ? QStringLiteral("? (") + fDefinition->DisplayName() + QLatin1Char(')') : s;
    }
    if (!fValues.empty())
        if (auto* r = dynamic_cast<TRefDataValue*>(fValues.front().get()))
            if (TDataObj* o = r->getAsReference()) return o->name();
    return fDefinition->DisplayName();
}

QString TDataObj::getRefName() {
    const QString n = name();
    return getObjIsNotArchived() ? n : QLatin1Char('[') + n + QLatin1Char(']');
}

void TDataObj::setName(const QString& name) {
    TAbstractDataValue* v = nameFieldForSet();
    FMX_ASSERT(v != nullptr, QStringLiteral("TDataObj.setName: geen naamwaarde"));
    if (!v) return;
    FMX_ASSERT(v->Definition()->ValueType() == dvtString,
               QStringLiteral("TDataObj.setName: naamwaarde is geen string"));
    v->setAsString(name);
}

QString TDataObj::nameAsHTML() {
    return escapeHTML(name());
}

void TDataObj::setLoadOrder(int32_t n) {
    if (n == fLoadOrder) return;
    setChanged(true);
    fLoadOrder = n;
    fLoadOrderChanged = true;
}

// ---- hooks ----

void TDataObj::init() {}
void TDataObj::afterCreateOrLoad(bool) {}
std::unique_ptr<TDataError> TDataObj::customCheckActionIsAllowed(TObjAction) {
    return nullptr;
}
std::unique_ptr<TDataError> TDataObj::getIsActionAllowedForValue(TAbstractDataValue*, TObjAction) {
    return nullptr;
}
bool TDataObj::getObjIsNotArchived() {
    return true;
}
QString TDataObj::getNotePathDescr(TAbstractDataValue* value) {
    return value->hint();
}
bool TDataObj::hasLinkedItems() {
    return false;
}
TRefObjList* TDataObj::getRefList(int32_t) {
    return nullptr;
}
TDataObjList* TDataObj::getListForNewObj(int32_t) {
    return nullptr;
}

// ---- searching ----

TDataObj* TDataObj::searchChildren(int32_t id, bool listsFirst) {
    const auto subs = [&]() -> TDataObj* {
        for (auto& o : fSubObj)
            if (TDataObj* f = o->searchForDataObjWithID(id)) return f;
        return nullptr;
    };
    const auto lists = [&]() -> TDataObj* {
        for (auto& l : fLists)
            if (TDataObj* f = l->searchForDataObjWithID(id)) return f;
        return nullptr;
    };
    if (listsFirst) {
        if (TDataObj* f = lists()) return f;
        return subs();
    }
    if (TDataObj* f = subs()) return f;
    return lists();
}

TDataObj* TDataObj::searchForDataObjWithID(int32_t id) {
    if (fID == id) return this;
    return searchChildren(id, isFileRoot(this));
}

TDataObj* TDataObj::findDataObjWithID(int32_t id) {
    TDataObj* top = IDManager();
    if (!top) {
        top = this;
        while (top->parentObject())
            top = top->parentObject();
    }
    return top->searchForDataObjWithID(id);
}

TRefDataValue* TDataObj::hasAnyReferencesTo(int32_t id) {
    TRefDataValue* found = nullptr;
    forEachRef(this, [&](TRefDataValue* r) {
        if (!found && r->fRefID == id) found = r;
    });
    return found;
}

void TDataObj::deleteReferencesTo(TDataObj* target) {
    const int32_t id = target->rawID();
    std::vector<TRefDataValue*> hits;
    forEachRef(this, [&](TRefDataValue* r) {
        if (r->fRefID != id) return;
        if (id < kFirstLocalID || r->fCachedObj == target || r->getAsReference() == target) hits.push_back(r);
    });
    for (TRefDataValue* r : hits)
        clearRef(r);
}

bool TDataObj::checkRefsValid(bool nilIfNot) {
    bool allValid = true;
    for (const auto& v : fValues) {
        if (auto* r = dynamic_cast<TRefDataValue*>(v.get())) {
            if (!r->isValidReference(nilIfNot)) {
                allValid = false;
                if (!nilIfNot) return false;
            }
        }
    }
    for (auto& o : fSubObj)
        if (!o->checkRefsValid(nilIfNot)) {
            allValid = false;
            if (!nilIfNot) return false;
        }
    for (auto& l : fLists) {
        for (int i = l->objCount() - 1; i >= 0; --i) {
            TDataObj* o = l->obj(i);
            if (!o->checkRefsValid(nilIfNot)) {
                allValid = false;
                if (!nilIfNot) return false;
                if (l->Definition()->DelInvalidObj()) l->removeObject(o, false);
            }
        }
    }
    return allValid;
}

void TDataObj::nilGlobalRefs() {
    std::vector<TRefDataValue*> hits;
    forEachRef(this, [&](TRefDataValue* r) {
        if (r->fRefID > 0 && r->fRefID < kFirstLocalID) hits.push_back(r);
    });
    for (TRefDataValue* r : hits)
        clearRef(r);
}

bool TDataObj::checkIndexConstraints(std::vector<TIndexError>& errors) {
    for (auto& o : fSubObj)
        o->checkIndexConstraints(errors);
    for (auto& l : fLists)
        l->checkIndexConstraints(errors);
    return !errors.empty();
}

// ---- editing ----

void TDataObj::deleteObj(bool inclLinked) {
    if (fParentList) {
        fParentList->removeObject(this, inclLinked); // destroys this object
        return;
    }
    emptyObj();
    if (fParent) fParent->discardSubObj(this); // destroys this object
}

void TDataObj::emptyObj() {
    for (auto& l : fLists)
        l->emptyList(false);
}

void TDataObj::sorteer(bool inclSubItems, bool tryNumbers, bool forceChange, const TDataObjCompare& cmp) {
    for (auto& l : fLists)
        l->sorteer(inclSubItems, tryNumbers, forceChange, cmp);
    if (inclSubItems)
        for (auto& o : fSubObj)
            o->sorteer(true, tryNumbers, forceChange, cmp);
}

void TDataObj::recalcAllValuesAndClaimID(TDataObjIDManager* idManager) {
    if (fDontStore) return;
    if (fID == 0) {
        if (idManager && fDefinition->isInstLocalObj() && !fValues.empty())
            fID = idManager->getNextID();
        else
            ID();
    }
    for (auto& v : fValues) {
        if (v->dontStore()) continue;
        if (v->Definition()->CalculateTrigger() != 0 && !v->doneCalc()) v->doRecalc();
    }
    for (auto& o : fSubObj)
        o->recalcAllValuesAndClaimID(idManager);
    for (auto& l : fLists)
        l->recalcAllValuesAndClaimID(idManager);
}

// ---- change state ----

bool TDataObj::rightsChecksSuspended() const {
    return fBusySync || dmBusyFixingBugs() || dmNoRightsChecks();
}

void TDataObj::setChanged(bool flag) {
    if (flag) {
        if (fChanged || fBusy || fDefinition->DontChangeParent()) return;
        if (!rightsChecksSuspended()) raiseErrorIfActionNotAllowed(oa_Change);
        if (fIsNew) return;
        if (!isFileRoot(this)) {
            if (fParent)
                fParent->setChanged(true);
            else if (fParentList)
                fParentList->setChanged(true);
        }
        fChanged = true;
        fOnDemandXMLNeedsSave = true;
        if (!fBusy) handleTrigger(this, fDefinition->TriggerFlags() | trgChangeState, nullptr);
        return;
    }
    if (!fChanged) {
        setIsNew(false);
        return;
    }
    fLoadOrderChanged = false;
    for (auto& v : fValues)
        v->setChanged(false);
    for (auto& o : fSubObj)
        o->setChanged(false);
    for (auto& l : fLists)
        l->setChanged(false);
    fChanged = false;
    if (!fBusy) handleTrigger(this, trgChangeState, nullptr);
}

void TDataObj::setBusy(bool flag) {
    fBusy = flag;
    for (auto& v : fValues)
        v->setBusy(flag);
    for (auto& o : fSubObj)
        o->setBusy(flag);
    for (auto& l : fLists)
        l->setBusy(flag);
}

void TDataObj::setBusySync(bool flag) {
    if (fBusySync == flag) return;
    fBusySync = flag;
    if (fOnDemandListObj) return;
    for (auto& o : fSubObj)
        o->setBusySync(flag);
    for (auto& l : fLists)
        for (auto& o : l->fDataObjects)
            o->setBusySync(flag);
}

std::unique_ptr<TDataError> TDataObj::getIsActionAllowed(TObjAction action) {
    if (fBusySync || dmBusyFixingBugs()) return nullptr;
    if (action == oa_Change && !dmHasRight(fDefinition->RightToChange()))
        return std::make_unique<TDataError>(tdek_NoRights, fDefinition->DisplayName(), this);
    return customCheckActionIsAllowed(action);
}

void TDataObj::setIsNew(bool flag) {
    if (fIsNew == flag) return;
    if (flag) {
        fChanged = false;
        fOnDemandXMLNeedsSave = true;
    }
    fIsNew = flag;
    for (auto& v : fValues)
        v->setIsNew(flag);
    for (auto& o : fSubObj)
        o->setIsNew(flag);
    for (auto& l : fLists)
        l->setIsNew(flag);
    if (!fDontStore && !fBusy) handleTrigger(this, trgChangeState, nullptr);
}

void TDataObj::signalDelete() {
    if (fBusyDestroy) return;
    TAbstractRootObj::signalDelete();
    cleanCachedRefs();
    for (auto& v : fValues)
        v->signalDelete();
    for (auto& l : fLists)
        l->signalDelete();
    for (auto& o : fSubObj)
        o->signalDelete();
}

void TDataObj::deepSetUnchanged() {
    fChanged = false;
    fIsNew = false;
    fLoadOrderChanged = false;
    refreshDols();
    for (auto& v : fValues)
        v->deepSetUnchanged();
    for (auto& o : fSubObj)
        o->deepSetUnchanged();
    for (auto& l : fLists)
        l->deepSetUnchanged();
}

void TDataObj::deepSetChangedAndNew(bool ch, bool nw) {
    fChanged = ch;
    fIsNew = nw;
    for (auto& v : fValues)
        v->deepSetChangedAndNew(ch, nw);
    for (auto& o : fSubObj)
        o->deepSetChangedAndNew(ch, nw);
    for (auto& l : fLists)
        l->deepSetChangedAndNew(ch, nw);
}

uint32_t TDataObj::calcDataChecksum(int indexToAdd) {
    if (fDontStore || fDefinition->ExclFromDataChksum()) return 0;
    uint32_t c = HashCRC32cs(fDefinition->XMLName() + QString::number(indexToAdd));
    int i = 0;
    for (auto& v : fValues)
        c ^= v->calcDataChecksum(i++);
    for (auto& o : fSubObj)
        c ^= o->calcDataChecksum(i++);
    for (auto& l : fLists)
        c ^= l->calcDataChecksum(i++);
    return c;
}

bool TDataObj::runVersionRegistration(TAbstractRootObj* objTriggered, int32_t flags) {
    if (!fDefinition->KeepVersion() || fBusySync || dmBusyFixingBugs() || objTriggered->busyDestroy())
        return false;
    if ((flags & 0xEF) == 0 || !fSignalVersionChanges || objTriggered->nodeKind() != nkValue) return false;
    if (!static_cast<TAbstractDataValue*>(objTriggered)->Definition()->RegVersionChanges()) return false;
    setBusy(true);
    for (int32_t id : {gvalCopyFromDBID, gvalCopyFromObjID, gvalCopyFromVersion})
        if (TAbstractDataValue* v = getValueWithID(id)) v->setAsInteger(-1);
    fSignalVersionChanges = false;
    setBusy(false);
    if (TAbstractDataValue* v = getValueWithID(gvalVersionID)) v->setAsInteger(v->getAsInteger() + 1);
    fSignalVersionChanges = true;
    return true;
}

int32_t TDataObj::handleTrigger(TAbstractRootObj* objTriggered, int32_t flags, TAbstractRootObj* secObject) {
    if (flags == 0) return 0;
    const bool versioned = runVersionRegistration(objTriggered, flags);
    if (flags & trgUILinkMask) signalUILinks(objTriggered, flags, secObject);
    int32_t left = flags;
    if (fParentList)
        left = fParentList->handleTrigger(objTriggered, flags, secObject);
    else if (fParent)
        left = fParent->handleTrigger(objTriggered, flags, secObject);
    if (versioned && !fBusy) handleTrigger(this, trgVersionUpdated, nullptr);
    return left;
}

// ---- reference caching ----

void TDataObj::addCachedRef(TRefDataValue* ref) {
    if (!fCachedRefs) fCachedRefs = std::make_unique<std::vector<TRefDataValue*>>();
    const bool present = std::find(fCachedRefs->begin(), fCachedRefs->end(), ref) != fCachedRefs->end();
    FMX_ASSERT(!present, QStringLiteral("TDataObj.addCachedRef: source already present"));
    if (!present) fCachedRefs->push_back(ref);
}

void TDataObj::delCachedRef(TRefDataValue* ref) {
    FMX_ASSERT(fCachedRefs != nullptr, QStringLiteral("TDataObj.delCachedRef: fCachedRefs = nil"));
    if (!fCachedRefs) return;
    auto it = std::find(fCachedRefs->begin(), fCachedRefs->end(), ref);
    if (it != fCachedRefs->end()) fCachedRefs->erase(it);
    if (fCachedRefs->empty()) fCachedRefs.reset();
}

void TDataObj::cleanCachedRefs() {
    if (!fCachedRefs) return;
    std::unique_ptr<std::vector<TRefDataValue*>> refs = std::move(fCachedRefs);
    for (TRefDataValue* r : *refs)
        r->fCachedObj = nullptr;
}

// ---- roots ----

void TDataObjGlobalPart::init() {
    TDataObj::init();
    cAddVal(gvalProgVersion);
    cAddVal(gvalObjVersion);
    if (dmProgramInfo().dataModelVersion > 0) {
        TAbstractDataValue* b = cAddVal(gvalBugsFixed);
        if (fIsNew) b->setAsInteger(fDefinition->BugsToFix());
    }
}

void TDataObjIDManager::init() {
    TDataObjGlobalPart::init();
    cAddVal(gvalLastUsedID);
}

int32_t TDataObjIDManager::getNextID() {
    setLastUsedID(fLastUsedID + 1);
    return fLastUsedID;
}

void TDataObjIDManager::setLastUsedID(int32_t id) {
    fLastUsedID = id;
    if (TAbstractDataValue* v = getValueWithID(gvalLastUsedID)) v->setAsInteger(id);
}

void TDataObjODRoot::init() {
    TDataObjIDManager::init();
    if (fDefinition->HasNotes()) cAddList(gldefNotes);
}

void TDataObjODRoot::setChanged(bool flag) {
    TDataObjGlobalPart::setChanged(flag);
    if (!flag && fBusyWithResave <= 1) fDeleteFiles.clear();
}

void TDataObjODRoot::deleteObj(bool) {
    if (!dmHasRight(fDefinition->RightToDelete()))
        throw TDataError(tdek_NoRights, fDefinition->DisplayName(), this);
    for (const QString& f : fDeleteFiles)
        QFile::remove(f);
    fDeleteFiles.clear();
    if (auto del = dmObjectManagerHooks().deleteODRoot) del(this);
    emptyObj();
}

// ---- TRefObjList ----

TRefObjList::~TRefObjList() = default;

int TRefObjList::count() const {
    return fView ? fView->objCount() : static_cast<int>(fDataObjects.size());
}

TDataObj* TRefObjList::obj(int i) const {
    if (fView) return fView->obj(i);
    FMX_ASSERT(i >= 0 && i < count(), QStringLiteral("TRefObjList.obj: index %1").arg(i));
    return (i >= 0 && i < count()) ? fDataObjects[static_cast<size_t>(i)] : nullptr;
}

void TRefObjList::add(TDataObj* obj) {
    FMX_ASSERT(fOwnList, QStringLiteral("TRefObjList.add: lijst is een view"));
    if (fOwnList) fDataObjects.push_back(obj);
}

void TRefObjList::endUse() {
    if (--fUseCount <= 0) delete this;
}

std::vector<TDataObj*>& TRefObjList::items() {
    FMX_ASSERT(fOwnList, QStringLiteral("TRefObjList.items: lijst is een view"));
    return fDataObjects;
}

int TSortDataObjInfo::compareWith(const TSortDataObjInfo& other) const {
    switch (fSortValueType) {
    case dvtsInteger:
        return (fSortValInt > other.fSortValInt) - (fSortValInt < other.fSortValInt);
    case dvtsFloat:
        return (fSortValFloat > other.fSortValFloat) - (fSortValFloat < other.fSortValFloat);
    case dvtsDateTime:
        return (fSortValDate > other.fSortValDate) - (fSortValDate < other.fSortValDate);
    case dvtsString:
        return fSortValStr.compare(other.fSortValStr, Qt::CaseInsensitive);
    }
    return 0;
}

} // namespace fmx
