// Copies of values and objects, synchronisation of one copy from another, saving a root through
// the object manager and cancelling its changes from the original copies of its parts.
#include "dataobj.h"
#include "dmdata.h"
#include "dmerrors.h"
#include "dmhooks.h"

#include "fmx_assert.h"

namespace fmx {

namespace {

bool isFileRoot(const TDataObj* o) {
    return dynamic_cast<const TDataObjODRoot*>(o) != nullptr;
}

bool isFloatType(TDataValueType t) {
    return t == dvtFloat || t == dvtFloat0 || t == dvtFloat1 || t == dvtFloat2;
}

// Walks the global parts of a tree (the root first); with changedOnly only into new or changed nodes.
template <class F> void forEachGlobalPart(TDataObj* o, bool changedOnly, const F& f) {
    if (changedOnly && o->noChangesPresent()) return;
    if (auto* gp = dynamic_cast<TDataObjGlobalPart*>(o)) f(gp);
    for (int i = 0; i < o->objCount(); ++i)
        forEachGlobalPart(o->obj(i), changedOnly, f);
    for (int l = 0; l < o->ListCount(); ++l) {
        TDataObjList* list = o->list(l);
        if (changedOnly && list->noChangesPresent()) continue;
        for (int i = 0; i < list->objCount(); ++i)
            forEachGlobalPart(list->getDataObject_NOD(i), changedOnly, f);
    }
}

} // namespace

// ---- values ----

namespace {

// The content of from into to by value type, through the set protocol.
void copyContent(TAbstractDataValue* to, TAbstractDataValue* from) {
    const TDataValueType mine = to->Definition()->ValueType();
    const TDataValueType theirs = from->Definition()->ValueType();
    const bool sameType = mine == theirs || (isFloatType(mine) && isFloatType(theirs));
    if (!sameType) return to->setAsXML(from->getAsXML());
    switch (mine) {
    case dvtInteger:
    case dvtReference:
    case dvtEnum:
        return to->setAsInteger(from->getAsInteger());
    case dvtString:
        return to->setAsString(from->getAsString());
    case dvtDate:
        return to->setAsDate(from->getAsDate());
    case dvtDateTime:
        return to->setAsDateTime(from->getAsDateTime());
    case dvtBinaryExcl:
    case dvtBinaryIncl: {
        auto* b = static_cast<TBinDataValue*>(to);
        auto* src = static_cast<TBinDataValue*>(from);
        b->setData(src->data());
        b->setDataKind(src->dataKind());
        return;
    }
    case dvtFloat:
    case dvtFloat0:
    case dvtFloat1:
    case dvtFloat2:
        return to->setAsFloat(from->getAsFloat());
    default:
        return to->setAsXML(from->getAsXML());
    }
}

} // namespace

void TAbstractDataValue::doFastCopy(TAbstractDataValue* from, bool copyCalc) {
    if (!copyCalc && from->Definition()->CalculateTrigger() != 0) {
        fDoneCalc = false;
    } else {
        fDoneCalc = true;
        copyContent(this, from);
    }
    if (!parentSyncing() && from->getHasNotes() == 1) doCopyNotes(from);
}

// ---- objects ----

std::unique_ptr<TDataObj> TDataObj::createCopy() {
    if (isFileRoot(this)) recalcAllValuesAndClaimID(nullptr);
    std::unique_ptr<TDataObj> copy = fDefinition->CreateRootDataObj(true, false);
    copy->setIsNew(true);
    copy->copyChangesFrom(this, true, true, true);
    copy->afterCreateOrLoad(false);
    copy->setBusy(false);
    return copy;
}

void TDataObj::copyValuesFrom(TDataObj* source, const std::vector<int32_t>& exceptValueDefIDs) {
    for (auto& v : fValues) {
        if (std::find(exceptValueDefIDs.begin(), exceptValueDefIDs.end(), v->defID()) !=
            exceptValueDefIDs.end())
            continue;
        if (TAbstractDataValue* src = source->getValueWithID(v->defID())) v->doFastCopy(src, false);
    }
}

void TDataObj::copyChangesFrom(TDataObj* fromObj, bool noRegChanges, bool allowChangedObj, bool oneWay) {
    if (!allowChangedObj) {
        FMX_ASSERT(noChangesPresent(),
                   QStringLiteral("TDataObj.copyChangesFrom: object is gewijzigd of nieuw"));
        FMX_ASSERT(fromObj->noChangesPresent(),
                   QStringLiteral("TDataObj.copyChangesFrom: bron is gewijzigd of nieuw"));
    }
    const bool wasSync = fBusySync;
    setBusySync(true);
    FMX_ASSERT(!isFileRoot(this) || isFileRoot(fromObj),
               QStringLiteral("TDataObj.copyChangesFrom: root synchroniseren vanuit een niet-root"));
    if (auto* m = dynamic_cast<TDataObjIDManager*>(this))
        if (auto* src = dynamic_cast<TDataObjIDManager*>(fromObj); src && src->NextID() > m->NextID())
            m->setLastUsedID(src->NextID());
    setLoadOrder(fromObj->loadOrder());
    if (!parentObject() || fID == 0) fID = fromObj->rawID();

    for (const auto& src : fromObj->fValues) {
        if (src->Definition()->SkipInSync()) continue;
        if (TAbstractDataValue* mine = getValueWithID(src->defID()); mine && mine != src.get())
            mine->doFastCopy(src.get(), true);
    }
    for (const auto& src : fromObj->fSubObj) {
        if (src->Definition()->SkipInSync()) continue;
        if (TDataObj* mine = getSubObjWithDefID(src->defID())) {
            mine->copyChangesFrom(src.get(), noRegChanges, allowChangedObj, oneWay);
            mine->afterCreateOrLoad(false);
        }
    }
    for (const auto& srcList : fromObj->fLists) {
        if (srcList->Definition()->SkipInSync()) continue;
        TDataObjList* mine = getListWithID(srcList->defID());
        if (!mine) continue;
        const auto syncPair = [&](TDataObj* here, TDataObj* there) {
            if (here->onDemandListObj() && there->onDemandListObj()) {
                const QString a = here->getValueWithID(gvalNameIDForOnDemandListObj)->getAsString();
                const QString b = there->getValueWithID(gvalNameIDForOnDemandListObj)->getAsString();
                if (a == b && here->loadOrder() == there->loadOrder()) return;
            }
            if (here->onDemandListObj()) here = mine->obj(mine->indexInList(here));
            if (there->onDemandListObj()) there = srcList->obj(srcList->indexInList(there));
            here->copyChangesFrom(there, noRegChanges, allowChangedObj, oneWay);
        };
        if (!oneWay) {
            for (int i = mine->objCount() - 1; i >= 0; --i) {
                TDataObj* o = mine->getDataObject_NOD(i);
                if (o->Definition()->SkipInSync()) continue;
                FMX_ASSERT(o->rawID() != 0, QStringLiteral("TDataObj.copyChangesFrom: object zonder ID"));
                TDataObj* twin = srcList->getDataObjectID_NOD(o->rawID());
                if (!twin) {
                    if (noRegChanges)
                        mine->removeDataObject(o); // destroyed here: nothing keeps objects taken out
                    else
                        mine->removeObject(o, false);
                } else {
                    syncPair(o, twin);
                }
            }
        }
        for (int i = 0; i < srcList->objCount(); ++i) {
            TDataObj* src = srcList->getDataObject_NOD(i);
            if (src->Definition()->SkipInSync()) continue;
            FMX_ASSERT(src->rawID() != 0, QStringLiteral("TDataObj.copyChangesFrom: bronobject zonder ID"));
            TDataObj* twin = mine->getDataObjectID_NOD(src->rawID());
            if (!twin) {
                if (src->onDemandListObj()) src = srcList->obj(i);
                std::unique_ptr<TDataObj> copy = src->createCopy();
                copy->setBusySync(true);
                const int32_t order = src->loadOrder();
                TDataObj* added = mine->attachNewObject(std::move(copy));
                added->setLoadOrderNoStateChange(order);
            } else if (oneWay) {
                syncPair(twin, src);
            }
        }
        mine->sortOnLoadOrder();
    }
    setBusySync(wasSync);
}

bool TDataObj::anyChangesLeft(bool assertIfAny) {
    if (fDefinition->DontChangeParent() || fDontStore) return false;
    if (anyChangesPresent()) {
        if (assertIfAny)
            FMX_ASSERT(false, QStringLiteral("TDataObj.anyChangesLeft: true for object ") +
                                  fDefinition->DisplayName());
        return true;
    }
    for (auto& v : fValues) {
        if (v->dontStore() || v->Definition()->DontChangeParent() || v->noChangesPresent()) continue;
        if (assertIfAny)
            FMX_ASSERT(false, QStringLiteral("TDataObj.anyChangesLeft: true for value ") + v->DisplayName());
        return true;
    }
    for (auto& o : fSubObj)
        if (o->anyChangesLeft(assertIfAny)) return true;
    for (auto& l : fLists)
        if (l->anyChangesLeft(assertIfAny)) return true;
    return false;
}

bool TDataObjList::anyChangesLeft(bool assertIfAny) {
    if (fDefinition->DontChangeParent() || fDontStore) return false;
    if (anyChangesPresent()) {
        if (assertIfAny)
            FMX_ASSERT(false, QStringLiteral("TDataObjList.anyChangesLeft: true for list ") +
                                  fDefinition->DisplayName());
        return true;
    }
    for (auto& o : fDataObjects)
        if (o->anyChangesLeft(assertIfAny)) return true;
    return false;
}

// ---- saving and cancelling ----

void TDataObjGlobalPart::saveChanges(TSaveCancelErrorOption errorOption, bool keepLock) {
    TDataObjODRoot* r = dbRoot();
    FMX_ASSERT(r != nullptr, QStringLiteral("TDataObjGlobalPart.saveChanges: geen dbRoot gevonden"));
    if (r) r->saveChanges(errorOption, keepLock);
}

void TDataObjODRoot::saveChanges(TSaveCancelErrorOption errorOption, bool) {
    fWasNew = fIsNew;
    fWasChanged = fChanged;
    if (!fWasNew && !fWasChanged) return;
    const auto recreating = dmObjectManagerHooks().busyWithRecreate;
    if (!(recreating && recreating()) && fBugFixing == 0) {
        if (TAbstractDataValue* ov = getValueWithID(gvalObjVersion))
            ov->setAsInteger(dmActGlobalData() == this ? dmDataModelVersion() : ov->getAsInteger() + 1);
        if (TAbstractDataValue* pv = getValueWithID(gvalProgVersion))
            pv->setAsInteger(dmProgramInfo().clientVersion);
    }
    recalcAllValuesAndClaimID(nullptr);
    if (!fDontStore)
        forEachGlobalPart(this, true, [](TDataObjGlobalPart* gp) {
            gp->recordSaveState();
            if (gp->anyChangesPresent()) gp->beforeSaveChanges();
        });
    try {
        if (auto store = dmObjectManagerHooks().saveODRoot) {
            store(this);
        } else {
            FMX_ASSERT(
                !fUseFileName.isEmpty(),
                QStringLiteral("TDataObjODRoot.saveChanges: geen object manager en geen bestandsnaam"));
            saveToFile(fUseFileName, true, sxt_ForFileStorage);
        }
    } catch (...) {
        if (errorOption == tsceo_CancelChanges) cancelChanges();
        throw;
    }
    FMX_ASSERT(!isChanged(), QStringLiteral("TDataObjODRoot.saveChanges: root is nog gewijzigd"));
    FMX_ASSERT(!isNew(), QStringLiteral("TDataObjODRoot.saveChanges: root is nog nieuw"));
    if (!fDontStore)
        forEachGlobalPart(this, false, [](TDataObjGlobalPart* gp) {
            if (gp->wasNew() || gp->wasChanged()) gp->afterSaveChanges();
        });
    fHaveOrgvals = false;
}

void TDataObjODRoot::saveObjAs(const QString& newFilename, TSaveCancelErrorOption errorOption,
                               bool keepLock) {
    QString name = newFilename;
    if (name.endsWith(QLatin1String(".base.xml"), Qt::CaseInsensitive)) name.chop(9);
    fUseFileName = name;
    setIsNew(true);
    saveChanges(errorOption, keepLock);
}

// ---- original copies and cancelling ----

TDataObjGlobalPart::~TDataObjGlobalPart() {
    if (fOrgObject) fOrgObject->setBusySync(true);
    fOrgObject.reset();
}

void TDataObjGlobalPart::setChanged(bool flag) {
    const bool plain = flag == fChanged || fBusy || fIsNew || !fDefinition->SupportsCancel();
    TDataObj::setChanged(flag);
    if (plain) {
        if (fIsNew && fDefinition->SupportsCancel() && !fBusy)
            if (TDataObjODRoot* r = dbRoot()) r->GlobalPartStartedSaveCancelInfo();
        return;
    }
    // A synchronisation (taking the original back) makes no copy of what it overwrites.
    if (dmBusyFixingBugs() || fBusySync) return;
    if (fChanged && !fOrgObject) {
        TDataObjODRoot* r = dbRoot();
        FMX_ASSERT(r != nullptr, QStringLiteral("TDataObjGlobalPart.setChanged: geen dbRoot gevonden"));
        fOrgObject = createCopy(); // the content is still the original: marks come before the store
        fOrgObject->setIsNew(false);
        if (r) r->GlobalPartStartedSaveCancelInfo();
    } else if (!fChanged && fOrgObject) {
        fOrgObject->setBusySync(true);
        fOrgObject.reset();
    }
}

void TDataObjGlobalPart::cancelChanges() {
    TDataObjODRoot* r = dbRoot();
    FMX_ASSERT(r != nullptr, QStringLiteral("TDataObjGlobalPart.cancelChanges: geen dbRoot gevonden"));
    if (r) r->cancelChanges();
}

void TDataObjGlobalPart::intCancelChanges() {
    FMX_ASSERT(fDefinition->SupportsCancel(), QStringLiteral("TDataObjGlobalPart.intCancelChanges ") +
                                                  fDefinition->DisplayName() +
                                                  QStringLiteral(" geen cancelChanges ondersteuning"));
    TDataObj* parentObj = fParent;
    TDataObjList* parentList = fParentList;
    FMX_ASSERT(parentObj || parentList,
               QStringLiteral("TDataObjGlobalPart.intCancelChanges: no parent or parentlist"));
    if (!parentObj && !parentList) return;
    if (fIsNew) {
        if (parentList)
            parentList->removeDataObject(this); // destroys this part
        else
            parentObj->discardSubObj(this);
    } else {
        if (!fOrgObject)
            throw TDataError(
                tdek_CheckFailure,
                QStringLiteral("TDataObjGlobalPart.cancelChanges: geen kopie van orgineel aanwezig!"), this);
        recalcAllValuesAndClaimID(dbRoot());
        std::unique_ptr<TDataObj> org = std::move(fOrgObject);
        copyChangesFrom(org.get(), true, true, false);
        org->setBusySync(true);
        org.reset();
        deepSetUnchanged();
    }
    if (parentObj)
        parentObj->childCancelled();
    else
        parentList->childCancelled();
}

void TDataObj::childCancelled() {
    FMX_ASSERT(!fIsNew, QStringLiteral("TDataObj.childCancelled: isNew object"));
    for (auto& v : fValues)
        if (v->anyChangesPresent()) return;
    for (auto& o : fSubObj)
        if (o->anyChangesPresent()) return;
    for (auto& l : fLists)
        if (l->anyChangesPresent()) return;
    fChanged = false;
    fLoadOrderChanged = false;
    if (TDataObj* p = fParent) {
        p->childCancelled();
    } else if (fParentList) {
        fParentList->childCancelled();
    }
}

void TDataObjList::childCancelled() {
    FMX_ASSERT(!fIsNew, QStringLiteral("TDataObjList.childCancelled: isNew object"));
    for (auto& o : fDataObjects)
        if (o->anyChangesPresent()) return;
    fChanged = false;
    if (fParent) fParent->childCancelled();
}

namespace {
void cancelWalk(TDataObjODRoot* root, TDataObj* node) {
    if (node != root && node->anyChangesPresent()) {
        auto* gp = dynamic_cast<TDataObjGlobalPart*>(node);
        if (gp && gp->Definition()->SupportsCancel()) {
            const bool wasNew = gp->isNew();
            gp->intCancelChanges();
            if (wasNew) return; // gone
        }
    }
    std::vector<TDataObj*> subs;
    for (int i = 0; i < node->objCount(); ++i)
        if (node->obj(i)->anyChangesPresent()) subs.push_back(node->obj(i));
    for (TDataObj* s : subs)
        cancelWalk(root, s);
    for (int l = 0; l < node->ListCount(); ++l) {
        TDataObjList* list = node->list(l);
        if (list->noChangesPresent()) continue;
        std::vector<TDataObj*> objs;
        for (int i = 0; i < list->objCount(); ++i)
            if (list->getDataObject_NOD(i)->anyChangesPresent()) objs.push_back(list->getDataObject_NOD(i));
        for (TDataObj* o : objs)
            cancelWalk(root, o);
    }
}

void putBack(TAbstractDataValue* v, int32_t n) {
    if (!v) return;
    const bool wasBusy = v->isBusy();
    v->setBusy(true);
    v->setAsInteger(n);
    v->setBusy(wasBusy);
    v->setChanged(false);
}
} // namespace

void TDataObjODRoot::GlobalPartStartedSaveCancelInfo() {
    if (fHaveOrgvals) return;
    TAbstractDataValue* ov = getValueWithID(gvalObjVersion);
    TAbstractDataValue* pv = getValueWithID(gvalProgVersion);
    fOrg_gvalObjVersion = ov ? ov->getAsInteger() : 0;
    fOrg_gvalProgVersion = pv ? pv->getAsInteger() : 0;
    fHaveOrgvals = true;
}

void TDataObjODRoot::cancelChanges() {
    if (fHaveOrgvals) {
        fHaveOrgvals = false;
        putBack(getValueWithID(gvalObjVersion), fOrg_gvalObjVersion);
        putBack(getValueWithID(gvalProgVersion), fOrg_gvalProgVersion);
    }
    cancelWalk(this, this);
    // Below the root nothing may be left; the root's own marks go with setChanged(false).
    for (int i = 0; i < objCount(); ++i)
        obj(i)->anyChangesLeft(true);
    for (int l = 0; l < ListCount(); ++l)
        list(l)->anyChangesLeft(true);
    setChanged(false);
}

} // namespace fmx
