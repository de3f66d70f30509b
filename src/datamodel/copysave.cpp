// Copies of values and objects, synchronisation of one copy from another and saving a root through
// the object manager. Cancelling changes (original copies of cancel-supporting parts) is not built:
// this program's schema has no part that supports it.
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

void TAbstractDataValue::doFastCopy(TAbstractDataValue* from, bool copyCalc) {
    if (!copyCalc && from->Definition()->CalculateTrigger() != 0) {
        fDoneCalc = false;
        return;
    }
    fDoneCalc = true;
    const TDataValueType mine = fDefinition->ValueType();
    const TDataValueType theirs = from->Definition()->ValueType();
    const bool sameType = mine == theirs || (isFloatType(mine) && isFloatType(theirs));
    if (!sameType) return setAsXML(from->getAsXML());
    switch (mine) {
    case dvtInteger:
    case dvtReference:
    case dvtEnum:
        return setAsInteger(from->getAsInteger());
    case dvtString:
        return setAsString(from->getAsString());
    case dvtDate:
        return setAsDate(from->getAsDate());
    case dvtDateTime:
        return setAsDateTime(from->getAsDateTime());
    case dvtBinaryExcl:
    case dvtBinaryIncl: {
        auto* b = static_cast<TBinDataValue*>(this);
        auto* src = static_cast<TBinDataValue*>(from);
        b->setData(src->data());
        b->setDataKind(src->dataKind());
        return;
    }
    case dvtFloat:
    case dvtFloat0:
    case dvtFloat1:
    case dvtFloat2:
        return setAsFloat(from->getAsFloat());
    default:
        return setAsXML(from->getAsXML());
    }
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
        FMX_ASSERT(errorOption != tsceo_CancelChanges,
                   QStringLiteral("TDataObjODRoot.saveChanges: cancelChanges wordt niet ondersteund"));
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

} // namespace fmx
