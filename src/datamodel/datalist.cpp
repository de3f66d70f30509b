// TDataObjList: list editing, load order, moving, sorting and searches.
#include "dataobj.h"

#include "dmdata.h"
#include "dmerrors.h"
#include "dmhooks.h"
#include "hash.h"

#include "fmx_assert.h"

#include <algorithm>
#include <set>
#include <stdexcept>

namespace fmx {

namespace {
QString upperAZ(const QString& s) {
    QString r = s;
    for (QChar& c : r)
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z')) c = QChar(c.unicode() - 32);
    return r;
}

QString dnOrName(TDataObj* o) {
    if (o->onDemandListObj())
        if (TAbstractDataValue* dn = o->getValueWithID(gvalNameIDForOnDemandListObj))
            return dn->getAsString();
    return o->name();
}

int compareNames(const QString& a, const QString& b, TDataObj* oa, TDataObj* ob) {
    const int c = upperAZ(a).compare(upperAZ(b));
    if (c != 0) return c < 0 ? -1 : 1;
    const int32_t ia = oa->ID();
    const int32_t ib = ob->ID();
    return (ia > ib) - (ia < ib);
}

QString padNumber(const QString& s) {
    bool ok = false;
    const qlonglong n = s.toLongLong(&ok);
    if (ok && n >= 0 && !s.startsWith(QLatin1Char('+'))) return s.rightJustified(10, QLatin1Char('0'));
    return s;
}
} // namespace

TDataObjList::TDataObjList(TDataObjListDef* def) : fDefinition(def) {
    fDefID = def->InternalID();
    fDontStore = def->initDontStore();
    fOnDemandLoad = def->OnDemandLoad();
}

TDataObjList::~TDataObjList() {
    signalDelete();
    fDataObjects.clear();
}

size_t TDataObjList::indexOf(const TDataObj* obj) const {
    for (size_t i = 0; i < fDataObjects.size(); ++i)
        if (fDataObjects[i].get() == obj) return i;
    return fDataObjects.size();
}

int TDataObjList::indexInList(const TDataObj* obj) const {
    const size_t i = indexOf(obj);
    return i < fDataObjects.size() ? static_cast<int>(i) : -1;
}

TDataObj* TDataObjList::obj(int i) {
    FMX_ASSERT(i >= 0 && i < objCount(), QStringLiteral("TDataObjList.obj: index %1 buiten de lijst").arg(i));
    if (i < 0 || i >= objCount()) return nullptr;
    TDataObj* o = fDataObjects[static_cast<size_t>(i)].get();
    return o->fOnDemandListObj ? loadOnDemandObj(i) : o;
}

TDataObj* TDataObjList::getDataObject_NOD(int i) const {
    FMX_ASSERT(i >= 0 && i < objCount(), QStringLiteral("TDataObjList.getDataObject_NOD: index %1").arg(i));
    return (i >= 0 && i < objCount()) ? fDataObjects[static_cast<size_t>(i)].get() : nullptr;
}

TDataObj* TDataObjList::getDataObjectID_NOD(int32_t id) const {
    for (const auto& o : fDataObjects)
        if (o->rawID() == id) return o.get();
    return nullptr;
}

TDataObj* TDataObjList::getDataObjectID(int32_t id) {
    for (int i = 0; i < objCount(); ++i)
        if (fDataObjects[static_cast<size_t>(i)]->rawID() == id) return obj(i);
    return nullptr;
}

bool TDataObjList::ShowAsTable() const {
    if (fDefinition->AllowedDataObj().size() != 1 || fDataObjects.empty()) return false;
    for (const auto& o : fDataObjects)
        if (o->objCount() > 0 || o->ListCount() > 0) return false;
    return true;
}

bool TDataObjList::checksSuspended() const {
    return (fParent && fParent->busySync()) || dmBusyFixingBugs();
}

// ---- adding and removing ----

TDataObj* TDataObjList::cAddObj(int32_t defID) {
    if (!checksSuspended()) raiseErrorIfActionNotAllowed(oa_AddObj);
    TDataObjDef* def = nullptr;
    if (defID == -1) {
        if (!fDefinition->AllowedDataObj().empty()) def = fDefinition->AllowedDataObj().front();
    } else {
        try {
            def = dmData->FindDataObjDefWithID(defID);
        } catch (const std::out_of_range&) {
            def = nullptr;
        }
    }
    if (!def) return nullptr;
    return def->CreateDataObj(*this, fBusy, true);
}

TDataObj* TDataObjList::attachNewObject(std::unique_ptr<TDataObj> obj) {
    FMX_ASSERT(dynamic_cast<TDataObjODRoot*>(obj.get()) == nullptr,
               QStringLiteral("TDataObjODRoot.Create: een root heeft geen parent"));
    FMX_ASSERT(obj->fParent == nullptr && obj->fParentList == nullptr,
               QStringLiteral("TDataObj.setParentList: object heeft al een parent"));
    if (!fBusy) {
        if (!checksSuspended()) raiseErrorIfActionNotAllowed(oa_AddObj);
        setChanged(true);
    }
    if (obj->isNew() && !obj->busySync()) {
        const int32_t lo = fDataObjects.empty() ? 100 : fDataObjects.back()->loadOrder() + 100;
        obj->setLoadOrderNoStateChange(lo);
    }
    obj->fParentList = this;
    fDataObjects.push_back(std::move(obj));
    TDataObj* raw = fDataObjects.back().get();
    if (!fBusy) handleTrigger(this, fDefinition->TriggerFlags() | trgObjAdded, raw);
    return raw;
}

void TDataObjList::hackAddToList(std::unique_ptr<TDataObj> obj) {
    obj->fParentList = this;
    fDataObjects.push_back(std::move(obj));
}

std::unique_ptr<TDataObj> TDataObjList::hackDelFromList(TDataObj* obj) {
    const size_t i = indexOf(obj);
    FMX_ASSERT(i < fDataObjects.size(),
               QStringLiteral("TDataObjList.hackDelFromList: object niet in de lijst"));
    if (i >= fDataObjects.size()) return nullptr;
    std::unique_ptr<TDataObj> p = std::move(fDataObjects[i]);
    fDataObjects.erase(fDataObjects.begin() + static_cast<std::ptrdiff_t>(i));
    p->fParentList = nullptr;
    return p;
}

std::unique_ptr<TDataObj> TDataObjList::removeDataObject(TDataObj* obj) {
    FMX_ASSERT(indexOf(obj) < fDataObjects.size(),
               QStringLiteral("TDataObjList.removeDataObject: object niet in de lijst"));
    if (!fBusy) handleTrigger(this, fDefinition->TriggerFlags() | trgObjLeaving, obj);
    return hackDelFromList(obj);
}

void TDataObjList::discardObject(TDataObj* obj) {
    FMX_ASSERT(indexOf(obj) < fDataObjects.size(),
               QStringLiteral("TDataObjList.discardObject: object niet in de lijst"));
    obj->teardown();
    if (!fBusy && !fBusyDestroy) handleTrigger(this, fDefinition->TriggerFlags() | trgObjLeaving, obj);
    std::unique_ptr<TDataObj> dying = hackDelFromList(obj);
}

void TDataObjList::removeObject(TDataObj* obj, bool) {
    FMX_ASSERT(indexOf(obj) < fDataObjects.size(),
               QStringLiteral("TDataObjList.removeObject: object niet in de lijst"));
    if (!checksSuspended()) raiseErrorIfActionNotAllowed(oa_DelObj);
    setChanged(true);
    obj->emptyObj();
    discardObject(obj);
}

void TDataObjList::emptyList(bool doSave) {
    while (!fDataObjects.empty()) {
        TDataObj* o = fDataObjects.back().get();
        if (doSave)
            o->deleteObj(true);
        else
            discardObject(o);
    }
}

// ---- load order and moving ----

void TDataObjList::verifyLoadOrder(int from) {
    const int n = objCount();
    for (int i = std::max(from, 0); i < n; ++i) {
        const int32_t p = i > 0 ? fDataObjects[static_cast<size_t>(i - 1)]->loadOrder() : 0;
        TDataObj* o = fDataObjects[static_cast<size_t>(i)].get();
        if (o->loadOrder() > p) continue;
        int32_t lo;
        if (i == n - 1) {
            lo = p + 100;
        } else {
            const int32_t d = fDataObjects[static_cast<size_t>(i + 1)]->loadOrder() - p;
            lo = d <= 10 ? p + 40 : p + d / 2;
        }
        o->setLoadOrder(lo);
    }
}

void TDataObjList::sortOnLoadOrder() {
    std::stable_sort(fDataObjects.begin(), fDataObjects.end(),
                     [](const auto& a, const auto& b) { return a->loadOrder() < b->loadOrder(); });
}

void TDataObjList::checkMoveAllowed(TDataObj* obj) {
    FMX_ASSERT(indexOf(obj) < fDataObjects.size(),
               QStringLiteral("TDataObjList.moveObj: object niet in de lijst"));
    if (!checksSuspended()) raiseErrorIfActionNotAllowed(oa_AddObj);
}

void TDataObjList::afterMove(TDataObj* obj) {
    setChanged(true);
    if (!fBusy) handleTrigger(this, fDefinition->TriggerFlags() | trgObjMoved, obj);
}

void TDataObjList::moveObjUp(TDataObj* obj) {
    checkMoveAllowed(obj);
    const size_t i = indexOf(obj);
    if (i == 0 || i >= fDataObjects.size()) return;
    TDataObj* other = fDataObjects[i - 1].get();
    const int32_t a = obj->loadOrder();
    const int32_t b = other->loadOrder();
    obj->setLoadOrder(b);
    other->setLoadOrder(a);
    std::swap(fDataObjects[i], fDataObjects[i - 1]);
    afterMove(obj);
}

void TDataObjList::moveObjDown(TDataObj* obj) {
    checkMoveAllowed(obj);
    const size_t i = indexOf(obj);
    if (i + 1 >= fDataObjects.size()) return;
    TDataObj* other = fDataObjects[i + 1].get();
    const int32_t a = obj->loadOrder();
    const int32_t b = other->loadOrder();
    obj->setLoadOrder(b);
    other->setLoadOrder(a);
    std::swap(fDataObjects[i], fDataObjects[i + 1]);
    afterMove(obj);
}

void TDataObjList::moveObjBeforePos(TDataObj* toMove, int beforeIdx) {
    checkMoveAllowed(toMove);
    const int idx = indexInList(toMove);
    if (idx < 0 || idx == beforeIdx || idx == beforeIdx - 1 || objCount() == 1) return;
    beforeIdx = std::clamp(beforeIdx, 0, objCount());
    std::unique_ptr<TDataObj> p = std::move(fDataObjects[static_cast<size_t>(idx)]);
    fDataObjects.erase(fDataObjects.begin() + idx);
    const int newPos = beforeIdx > idx ? beforeIdx - 1 : beforeIdx;
    fDataObjects.insert(fDataObjects.begin() + newPos, std::move(p));
    verifyLoadOrder(newPos);
    afterMove(toMove);
}

void TDataObjList::moveObjBefore(TDataObj* toMove, TDataObj* before) {
    moveObjBeforePos(toMove, indexInList(before));
}
void TDataObjList::moveObjAfter(TDataObj* toMove, TDataObj* after) {
    moveObjBeforePos(toMove, indexInList(after) + 1);
}

// ---- sorting ----

int TDataObjList::sorteerOpNaam(TDataObj* a, TDataObj* b) {
    return compareNames(a->name(), b->name(), a, b);
}

int TDataObjList::sorteerOpNaamInclNummers(TDataObj* a, TDataObj* b) {
    return compareNames(padNumber(a->name()), padNumber(b->name()), a, b);
}

void TDataObjList::sorteer(bool inclSubItems, bool tryNumbers, bool forceChange, const TDataObjCompare& cmp) {
    for (int i = 0; i < objCount(); ++i)
        obj(i);
    if (forceChange)
        for (auto& o : fDataObjects)
            o->setLoadOrder(o->loadOrder() + 100);
    TDataObjCompare c = cmp                              ? cmp
                        : fDefinition->CompareFunction() ? fDefinition->CompareFunction()
                        : tryNumbers ? TDataObjCompare(&TDataObjList::sorteerOpNaamInclNummers)
                                     : TDataObjCompare(&TDataObjList::sorteerOpNaam);
    std::stable_sort(fDataObjects.begin(), fDataObjects.end(),
                     [&](const auto& a, const auto& b) { return c(a.get(), b.get()) < 0; });
    verifyLoadOrder(0);
    if (inclSubItems)
        for (auto& o : fDataObjects)
            o->sorteer(true, tryNumbers, forceChange, cmp);
}

TRefObjList* TDataObjList::getSortedList(const std::function<bool(TDataObj*)>& filter,
                                         const TDataObjCompare& compare) {
    auto* r = new TRefObjList();
    for (int i = 0; i < objCount(); ++i) {
        TDataObj* o = obj(i);
        if (!filter || filter(o)) r->add(o);
    }
    if (compare)
        std::stable_sort(r->items().begin(), r->items().end(),
                         [&](TDataObj* a, TDataObj* b) { return compare(a, b) < 0; });
    return r;
}

TRefObjList* TDataObjList::getSortedList(const std::function<bool(TDataObj*)>& filter,
                                         const std::function<TSortDataObjInfo(TDataObj*)>& prepareSort,
                                         bool sortAsc) {
    std::vector<TSortDataObjInfo> recs;
    for (int i = 0; i < objCount(); ++i) {
        TDataObj* o = obj(i);
        if (filter && !filter(o)) continue;
        TSortDataObjInfo info = prepareSort(o);
        info.fObj = o;
        recs.push_back(std::move(info));
    }
    std::stable_sort(recs.begin(), recs.end(), [&](const TSortDataObjInfo& a, const TSortDataObjInfo& b) {
        const int c = a.compareWith(b);
        return sortAsc ? c < 0 : c > 0;
    });
    auto* r = new TRefObjList();
    for (const TSortDataObjInfo& info : recs)
        r->add(info.fObj);
    return r;
}

// ---- searches ----

TDataObj* TDataObjList::searchForDataObjWithID(int32_t id) {
    if (fOnDemandLoad)
        for (int i = 0; i < objCount(); ++i)
            if (fDataObjects[static_cast<size_t>(i)]->rawID() == id) return obj(i);
    for (int i = 0; i < objCount(); ++i)
        if (TDataObj* f = obj(i)->searchForDataObjWithID(id)) return f;
    return nullptr;
}

TDataObj* TDataObjList::findObjectWithName(const QString& name) {
    for (int i = 0; i < objCount(); ++i) {
        TDataObj* o = fDataObjects[static_cast<size_t>(i)].get();
        if (QString::localeAwareCompare(dnOrName(o).toUpper(), name.toUpper()) == 0) return obj(i);
    }
    return nullptr;
}

TDataObj* TDataObjList::findObjectWithIntVal(int32_t valueToCheck, int32_t valToFind) {
    for (int i = 0; i < objCount(); ++i) {
        TDataObj* o = obj(i);
        if (TAbstractDataValue* v = o->getValueWithID(valueToCheck))
            if (v->getAsInteger() == valToFind) return o;
    }
    return nullptr;
}

TDataObj* TDataObjList::findObjectWithStringVal(int32_t valueToCheck, const QString& valToFind,
                                                bool caseSensitive) {
    for (int i = 0; i < objCount(); ++i) {
        TDataObj* o = obj(i);
        if (TAbstractDataValue* v = o->getValueWithID(valueToCheck))
            if (v->getAsString().compare(valToFind,
                                         caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive) == 0)
                return o;
    }
    return nullptr;
}

bool TDataObjList::hasDuplicateNames() {
    std::set<QString> seen;
    for (auto& o : fDataObjects)
        if (!seen.insert(dnOrName(o.get()).toUpper()).second) return true;
    return false;
}

TDataObj* TDataObjList::findSameVersion(TDataObj* obj) {
    const auto intOf = [](TDataObj* o, int32_t id, int32_t dflt) {
        TAbstractDataValue* v = o->getValueWithID(id);
        return v ? v->getAsInteger() : dflt;
    };
    int32_t a = intOf(obj, gvalCopyFromDBID, -1);
    int32_t b = intOf(obj, gvalCopyFromObjID, -1);
    int32_t c = intOf(obj, gvalCopyFromVersion, -1);
    if (a == -1) {
        TDataObjODRoot* r = obj->dbRoot();
        a = r ? r->ID() : -1;
        b = obj->ID();
        c = intOf(obj, gvalVersionID, 0);
    }
    if (a < 0 || b < 0) return nullptr;
    for (int i = 0; i < objCount(); ++i) {
        TDataObj* o = this->obj(i);
        if (intOf(o, gvalCopyFromDBID, -1) == a && intOf(o, gvalCopyFromObjID, -1) == b &&
            intOf(o, gvalCopyFromVersion, -1) == c)
            return o;
    }
    return nullptr;
}

TDataObj* TDataObjList::findSameVersionUsingValues(TDataObj* toFind,
                                                   const std::vector<int32_t>& valuesToUse) {
    const auto key = [&](TDataObj* o) {
        QString k;
        for (int32_t id : valuesToUse) {
            TAbstractDataValue* v = o->getValueWithID(id);
            k += (v ? v->getAsXML() : QStringLiteral("nil")) + QLatin1Char('#');
        }
        return k;
    };
    const QString wanted = key(toFind);
    for (int i = 0; i < objCount(); ++i)
        if (key(obj(i)) == wanted) return obj(i);
    return nullptr;
}

bool TDataObjList::checkIndexConstraints(std::vector<TIndexError>& errors) {
    if (fDontStore) return !errors.empty();
    TDataObjGlobalPart* root = dbIDRoot();
    FMX_ASSERT(root != nullptr, QStringLiteral("TDataObjList.checkIndexConstraints: geen dbIDRoot"));
    if (!root) return !errors.empty();
    const int32_t rootID = root->ID();
    for (TDataObjDef* def : fDefinition->AllowedDataObj()) {
        std::set<QString> primary;
        for (int i = 0; i < objCount(); ++i) {
            TDataObj* o = obj(i);
            if (o->Definition() != def) continue;
            const QString k = QString::number(rootID) + QLatin1Char(';') + QString::number(o->ID());
            if (!primary.insert(k).second)
                errors.push_back(
                    {dmFormat(
                         dmTl(QStringLiteral(
                             "Duplicate for primairy index object definition %s with object name "
                             "\"%s\" (R_ID=%d O_ID=%d)")),
                         {def->DisplayName(), o->name(), QString::number(rootID), QString::number(o->ID())}),
                     o});
            o->checkIndexConstraints(errors);
        }
        for (int x = 0; x < def->indexCount(); ++x) {
            if (!def->indexIsUnique(x)) continue;
            std::set<QString> keys;
            for (int i = 0; i < objCount(); ++i) {
                TDataObj* o = obj(i);
                if (o->Definition() != def) continue;
                QString k;
                for (int32_t vid : def->index(x)) {
                    TAbstractDataValue* v = o->getValueWithID(vid);
                    k += (v ? v->getAsXML() : QString()) + QLatin1Char(';');
                }
                if (!keys.insert(k.toUpper()).second)
                    errors.push_back(
                        {dmFormat(dmTl(QStringLiteral("Duplicate for  index %d object definition %s with "
                                                      "object name \"%s\" (R_ID=%d O_ID=%d)")),
                                  {QString::number(x), def->DisplayName(), o->name(), QString::number(rootID),
                                   QString::number(o->ID())}),
                         o});
            }
        }
    }
    return !errors.empty();
}

void TDataObjList::recalcAllValuesAndClaimID(TDataObjIDManager* idManager) {
    if (fDontStore) return;
    for (int i = 0; i < objCount(); ++i)
        obj(i)->recalcAllValuesAndClaimID(idManager);
}

TDataObj* TDataObjList::loadOnDemandObj(int index) {
    FMX_ASSERT(index >= 0, QStringLiteral("TDataObjList.loadOnDemandObj index >= 0"));
    FMX_ASSERT(index < objCount(), QStringLiteral("TDataObjList.loadOnDemandObj index < fDataObjects.Count"));
    if (index < 0 || index >= objCount()) return nullptr;
    TDataObj* o = fDataObjects[static_cast<size_t>(index)].get();
    FMX_ASSERT(o->fOnDemandListObj, QStringLiteral("TDataObjList.loadOnDemandObj result.fOnDemandListObj"));
    FMX_ASSERT(!o->fValues.empty(), QStringLiteral("TDataObjList.loadOnDemandObj result.fValues <> nil"));
    FMX_ASSERT(o->fValues.size() == 1,
               QStringLiteral("TDataObjList.loadOnDemandObj result.fValues.Count = 1"));
    auto loader = dmObjectManagerHooks().loadOnDemandListObj;
    FMX_ASSERT(loader != nullptr, QStringLiteral("TDataObjList.loadOnDemandObj: geen object manager"));
    if (!loader) return o;
    const bool wasBusy = o->fBusy;
    const bool wasSync = o->fBusySync;
    o->setBusy(true);
    o->fBusySync = false;
    o->fOnDemandListObj = false;
    o->fValues.clear();
    o->init();
    o->setBusy(true);
    loader(o);
    o->fBusySync = wasSync;
    o->setBusy(wasBusy);
    return o;
}

// ---- change state ----

void TDataObjList::setChanged(bool flag) {
    if (flag) {
        if (fChanged || fBusy || fDefinition->DontChangeParent()) return;
        if (!checksSuspended()) raiseErrorIfActionNotAllowed(oa_Change);
        if (fParent && fParent->isNew()) return;
        if (fParent) fParent->setChanged(true);
        fChanged = true;
        if (!fBusy) handleTrigger(this, fDefinition->TriggerFlags() | trgChangeState, nullptr);
        return;
    }
    if (!fChanged) return;
    fChanged = false;
    setIsNew(false);
    if (!fBusy) handleTrigger(this, trgChangeState, nullptr);
    for (auto& o : fDataObjects)
        o->setChanged(false);
}

void TDataObjList::setBusy(bool flag) {
    fBusy = flag;
    for (auto& o : fDataObjects)
        o->setBusy(flag);
}

std::unique_ptr<TDataError> TDataObjList::getIsActionAllowed(TObjAction action) {
    if (checksSuspended()) return nullptr;
    const int32_t right = action == oa_Change   ? fDefinition->RightToChange()
                          : action == oa_AddObj ? fDefinition->RightToAdd()
                                                : fDefinition->RightToDelete();
    if (!dmHasRight(right))
        return std::make_unique<TDataError>(tdek_NoRights, fDefinition->DisplayName(), this);
    return nullptr;
}

void TDataObjList::setIsNew(bool flag) {
    if (fIsNew == flag) return;
    if (flag) fChanged = false;
    fIsNew = flag;
    for (auto& o : fDataObjects)
        o->setIsNew(flag);
    if (!fDontStore && !fBusy) handleTrigger(this, trgChangeState, nullptr);
}

void TDataObjList::signalDelete() {
    if (fBusyDestroy) return;
    TAbstractRootObj::signalDelete();
    for (auto& o : fDataObjects)
        o->signalDelete();
}

void TDataObjList::deepSetUnchanged() {
    fChanged = false;
    fIsNew = false;
    refreshDols();
    for (auto& o : fDataObjects)
        o->deepSetUnchanged();
}

void TDataObjList::deepSetChangedAndNew(bool ch, bool nw) {
    fChanged = ch;
    fIsNew = nw;
    for (auto& o : fDataObjects)
        o->deepSetChangedAndNew(ch, nw);
}

uint32_t TDataObjList::calcDataChecksum(int indexToAdd) {
    if (fDontStore || fDefinition->ExclFromDataChksum()) return 0;
    uint32_t c = HashCRC32cs(fDefinition->XMLName() + QString::number(indexToAdd));
    int i = 0;
    for (auto& o : fDataObjects)
        c ^= o->calcDataChecksum(i++);
    return c;
}

int32_t TDataObjList::handleTrigger(TAbstractRootObj* objTriggered, int32_t flags,
                                    TAbstractRootObj* secObject) {
    if (flags == 0) return 0;
    if (flags & trgUILinkMask) signalUILinks(objTriggered, flags, secObject);
    return fParent ? fParent->handleTrigger(objTriggered, flags, secObject) : flags;
}

} // namespace fmx
