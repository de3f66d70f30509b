#include "dm_fixture.h"

#include "clipboard.h"

#include <algorithm>

using namespace fmx;
using namespace fmxtest;

namespace {

// A link that records "tag:flags" into a shared log.
class TLogLink : public TBaseUILink {
public:
    TLogLink(std::vector<QString>& log, QString tag, TAbstractRootObj* node)
        : fLog(log), fTag(std::move(tag)) {
        setLinkedObj(node);
    }
    bool objIsChanged(TAbstractRootObj*, int32_t flags, TAbstractRootObj*) override {
        fLog.push_back(fTag + QLatin1Char(':') + QString::number(flags, 16));
        return true;
    }
    void afterLinkChange() override {}

private:
    std::vector<QString>& fLog;
    QString fTag;
};

// An item class that consumes the value-changed bit and counts what it saw.
int gConsumed = 0;
class TConsumingItem : public TTestItem {
public:
    int32_t handleTrigger(TAbstractRootObj* node, int32_t flags, TAbstractRootObj* sec) override {
        if (flags & trgValueChanged) {
            ++gConsumed;
            flags &= ~trgValueChanged;
        }
        return flags ? TTestItem::handleTrigger(node, flags, sec) : 0;
    }
};

} // namespace

using Triggers = DataModelTest;

TEST_F(Triggers, AnEditMarksContainersRootFirstThenOneTriggerTravelsUp) {
    makeRoot({QStringLiteral("a")});
    std::vector<QString> log;
    TAbstractDataValue* v = item(0)->getValueWithID(S.valCount);
    TLogLink lr(log, QStringLiteral("root"), root.get());
    TLogLink ll(log, QStringLiteral("list"), root->items());
    TLogLink lo(log, QStringLiteral("obj"), item(0));
    TLogLink lv(log, QStringLiteral("val"), v);
    v->setAsInteger(3);
    const std::vector<QString> expected = {
        QStringLiteral("root:10"),                                                       // root marked first
        QStringLiteral("list:10"), QStringLiteral("root:10"),                            // then the list
        QStringLiteral("obj:10"),  QStringLiteral("list:10"), QStringLiteral("root:10"), // then the object
        QStringLiteral("val:1"),   QStringLiteral("obj:1"),   QStringLiteral("list:1"),
        QStringLiteral("root:1"),
    };
    EXPECT_EQ(log, expected);
    EXPECT_TRUE(v->isChanged());
    EXPECT_TRUE(item(0)->isChanged());
    EXPECT_TRUE(root->items()->isChanged());
    EXPECT_TRUE(root->isChanged());
    EXPECT_TRUE(item(0)->onDemandXMLNeedsSave());
    // A second edit finds everything marked: only the value trigger.
    log.clear();
    v->setAsInteger(4);
    EXPECT_EQ(log.size(), 4u);
    // Re-setting the same content raises nothing.
    log.clear();
    v->setAsInteger(4);
    EXPECT_TRUE(log.empty());
    // Clearing the marks goes down the tree and ends the marks.
    root->setChanged(false);
    EXPECT_FALSE(v->isChanged());
    EXPECT_FALSE(item(0)->isChanged());
    EXPECT_FALSE(root->items()->isChanged());
    EXPECT_FALSE(root->isChanged());
}

TEST_F(Triggers, NewObjectsAreNotMarkedButStillTrigger) {
    makeRoot();
    TDataObj* o = root->items()->cAddObj(-1);
    EXPECT_TRUE(o->isNew());
    EXPECT_TRUE(o->getValueWithID(S.valName)->isNew());
    EXPECT_TRUE(root->items()->isChanged()); // the add marked the list
    TRecordingLink link;
    link.setLinkedObj(root.get());
    o->getValueWithID(S.valName)->setAsString(QStringLiteral("n"));
    EXPECT_FALSE(o->isChanged());
    EXPECT_FALSE(o->getValueWithID(S.valName)->isChanged());
    EXPECT_EQ(link.count(trgValueChanged), 1);
    EXPECT_EQ(link.hits.back().flags, trgValueChanged | trgNameChanged); // a name value
    // Clearing an unchanged new object ends its new state below it, with 0x010.
    link.hits.clear();
    o->setChanged(false);
    EXPECT_FALSE(o->isNew());
    EXPECT_FALSE(o->getValueWithID(S.valName)->isNew());
    EXPECT_EQ(link.count(trgChangeState), 1);
    // Clearing a changed root also ends the new state of new objects below it.
    TDataObj* p = root->items()->cAddObj(-1);
    root->setChanged(false);
    EXPECT_FALSE(p->isNew());
    EXPECT_FALSE(root->items()->isChanged());
}

TEST_F(Triggers, DontChangeParentValuesStoreAndTriggerWithoutMarks) {
    makeRoot({QStringLiteral("a")});
    dmData->FindValueDefWithID(S.valCount)->setDontChangeParent(true);
    TRecordingLink link;
    link.setLinkedObj(root.get());
    TAbstractDataValue* v = item(0)->getValueWithID(S.valCount);
    v->setAsInteger(7);
    EXPECT_EQ(v->getAsInteger(), 7);
    EXPECT_FALSE(v->isChanged());
    EXPECT_FALSE(item(0)->isChanged());
    EXPECT_FALSE(root->isChanged());
    EXPECT_EQ(link.count(trgValueChanged), 1);
    EXPECT_EQ(link.count(trgChangeState), 0);
}

TEST_F(Triggers, ALinkThatLeavesDuringTheCallDoesNotHideTheNextLink) {
    makeRoot({QStringLiteral("a")});
    TAbstractDataValue* v = item(0)->getValueWithID(S.valCount);
    TRecordingLink first, second, third;
    first.setLinkedObj(v);
    second.setLinkedObj(v);
    third.setLinkedObj(v);
    first.unregisterOnNext = true;
    v->setAsInteger(1);
    EXPECT_EQ(first.hits.size(), 1u);
    EXPECT_EQ(second.hits.size(), 1u);
    EXPECT_EQ(third.hits.size(), 1u);
    EXPECT_EQ(v->UILinkCount(), 2);
    EXPECT_EQ(first.linkChanges, 2); // linked, then unlinked
    EXPECT_FALSE(assertionMessage([&] { v->removeUILink(&first); }).isEmpty());
}

TEST_F(Triggers, BusyListsAddWithoutChecksMarksOrTriggers) {
    makeRoot();
    dmData->FindListDefWithID(S.ldefItems)->setRightToAdd(3);
    dmObjectManagerHooks().hasRight = [](int32_t) { return false; };
    TRecordingLink link;
    link.setLinkedObj(root->items());
    root->items()->setBusy(true);
    TDataObj* o = dmData->FindDataObjDefWithID(S.defItem)->CreateDataObj(*root->items(), true, true);
    EXPECT_EQ(root->items()->objCount(), 1);
    EXPECT_TRUE(link.hits.empty());
    EXPECT_FALSE(root->items()->isChanged());
    root->items()->setBusy(false);
    EXPECT_FALSE(o->isBusy());
    EXPECT_FALSE(o->getValueWithID(S.valName)->isBusy());
    EXPECT_THROW(root->items()->cAddObj(-1), TDataError);
    EXPECT_EQ(root->items()->objCount(), 1);
}

TEST_F(Triggers, ListEventsCarryTheObject) {
    makeRoot({QStringLiteral("a")});
    TRecordingLink link;
    link.setLinkedObj(root.get());
    TDataObj* b = root->items()->cAddObj(-1);
    ASSERT_EQ(link.count(trgObjAdded), 1);
    for (const auto& h : link.hits)
        if (h.flags & trgObjAdded) {
            EXPECT_EQ(h.second, b);
        }
    link.hits.clear();
    std::unique_ptr<TDataObj> taken = root->items()->removeDataObject(b);
    EXPECT_EQ(link.count(trgObjLeaving), 1);
    EXPECT_EQ(link.hits.back().second, b);
    EXPECT_EQ(taken->ParentList(), nullptr);
}

TEST_F(Triggers, HandlersConsumeBitsAndStopPropagation) {
    int32_t consuming = 0;
    TDataObjDef::Create(consuming, QStringLiteral("Consuming"), QString(),
                        dataObjClassOf<TConsumingItem>(QStringLiteral("TConsumingItem")));
    dmData->FindListDefWithID(S.ldefItems)->addAllowedDataObjDef(dmData->FindDataObjDefWithID(consuming));
    makeRoot();
    TDataObj* o = root->items()->cAddObj(consuming);
    root->setChanged(false);
    o->setChanged(false);
    TRecordingLink rootLink, objLink;
    rootLink.setLinkedObj(root.get());
    objLink.setLinkedObj(o);
    gConsumed = 0;
    o->getValueWithID(S.valCount)->setAsInteger(2);
    EXPECT_EQ(gConsumed, 1);
    EXPECT_EQ(objLink.count(trgValueChanged), 0); // consumed before the inherited handler signals links
    EXPECT_EQ(rootLink.count(trgValueChanged), 0);
}

TEST_F(Triggers, ReferenceTriggers) {
    makeRoot({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    TDataValueDef* refDef = dmData->FindValueDefWithID(S.valRef);
    refDef->setTriggerWithOldRef(true);
    refDef->setTriggerFlags(trgRefEmptyAgain);
    TAbstractDataValue* ref = item(0)->getValueWithID(S.valRef);
    TRecordingLink link;
    link.setLinkedObj(ref);
    ref->setAsInteger(0); // already empty: 0x002 alone
    ASSERT_EQ(link.hits.size(), 1u);
    EXPECT_EQ(link.hits[0].flags, trgRefEmptyAgain);
    ref->setAsReference(item(1));
    ref->setAsReference(item(2));
    EXPECT_EQ(link.hits.back().second, item(1)); // the old referred object
    EXPECT_EQ(ref->getAsReference(), item(2));
    EXPECT_EQ(item(1)->cachedRefCount(), 0);
    EXPECT_EQ(item(2)->cachedRefCount(), 1);
}

TEST_F(Triggers, CalculatedValuesAreComputedOnFirstRead) {
    int32_t calc = 0;
    TDataValueDef::Create(calc, QStringLiteral("Total"), QString(), dvtFloat, QString());
    gLastValueDef->setCalculateTrigger(0x1000);
    static int computed = 0;
    computed = 0;
    struct TCalcRoot : TTestRoot {
        int32_t handleTrigger(TAbstractRootObj* node, int32_t flags, TAbstractRootObj* sec) override {
            if (flags & 0x1000) {
                ++computed;
                static_cast<TAbstractDataValue*>(node)->setAsFloat(12.5);
                return 0;
            }
            return TTestRoot::handleTrigger(node, flags, sec);
        }
    };
    int32_t calcRoot = 0;
    TDataObjDef::Create(calcRoot, QStringLiteral("CalcRoot"), QString(),
                        dataObjClassOf<TCalcRoot>(QStringLiteral("TCalcRoot")));
    std::unique_ptr<TDataObj> r = dmData->FindDataObjDefWithID(calcRoot)->CreateRootDataObj(false, false);
    TAbstractDataValue* v = r->cAddVal(calc);
    r->deepSetUnchanged();
    EXPECT_DOUBLE_EQ(v->getAsFloat(), 12.5);
    EXPECT_DOUBLE_EQ(v->getAsFloat(), 12.5);
    EXPECT_EQ(computed, 1);
    EXPECT_TRUE(v->doneCalc());
    EXPECT_FALSE(v->isChanged());
    EXPECT_FALSE(r->isChanged());
    v->resetDoneCalc();
    r->recalcAllValuesAndClaimID(nullptr);
    EXPECT_EQ(computed, 2);
}

TEST_F(Triggers, VersionRegistrationCountsChangesOfKeptVersionObjects) {
    static std::vector<int32_t> seen;
    seen.clear();
    struct TVersioned : TTestItem {
        int32_t handleTrigger(TAbstractRootObj* node, int32_t flags, TAbstractRootObj* sec) override {
            if (node == this) seen.push_back(flags);
            return TTestItem::handleTrigger(node, flags, sec);
        }
        void init() override {
            TTestItem::init();
            for (int32_t id : {gvalCopyFromDBID, gvalCopyFromObjID, gvalCopyFromVersion, gvalVersionID})
                cAddVal(id);
        }
    };
    int32_t def = 0;
    TDataObjDef::Create(def, QStringLiteral("Versioned"), QString(),
                        dataObjClassOf<TVersioned>(QStringLiteral("TVersioned")));
    gLastDataObjDef->setKeepVersion(true);
    dmData->FindListDefWithID(S.ldefItems)->addAllowedDataObjDef(dmData->FindDataObjDefWithID(def));
    makeRoot();
    root->items()->setBusy(true);
    TDataObj* o = root->items()->cAddObj(def);
    o->getValueWithID(gvalCopyFromDBID)->setAsInteger(5);
    root->items()->setBusy(false);
    root->deepSetUnchanged();
    TRecordingLink link;
    link.setLinkedObj(o);
    o->getValueWithID(S.valCount)->setAsInteger(3);
    EXPECT_EQ(o->getValueWithID(gvalVersionID)->getAsInteger(), 1);
    EXPECT_EQ(o->getValueWithID(gvalCopyFromDBID)->getAsInteger(), -1);
    // 0x100 follows on the object itself; UI links do not see that bit.
    EXPECT_EQ(std::count(seen.begin(), seen.end(), trgVersionUpdated), 1);
    EXPECT_EQ(link.count(trgVersionUpdated), 0);
    EXPECT_TRUE(o->signalVersionChanges());
    EXPECT_EQ(root->items()->findSameVersion(o), nullptr); // its origin is its own root/ID now
}

TEST_F(Triggers, BusyFlagsAndSynchronisation) {
    makeRoot({QStringLiteral("a")});
    root->setBusy(true);
    EXPECT_TRUE(item(0)->getValueWithID(S.valName)->isBusy());
    EXPECT_TRUE(root->settings()->isBusy());
    TRecordingLink link;
    link.setLinkedObj(root.get());
    item(0)->setName(QStringLiteral("quiet"));
    EXPECT_TRUE(link.hits.empty());
    EXPECT_FALSE(root->isChanged());
    root->setBusy(false);
    root->setBusySync(true);
    EXPECT_TRUE(item(0)->busySync());
    EXPECT_TRUE(root->settings()->busySync());
    root->setBusySync(false);
    EXPECT_FALSE(item(0)->busySync());
    root->deepSetChangedAndNew(true, false);
    EXPECT_TRUE(item(0)->getValueWithID(S.valName)->isChanged());
    root->deepSetUnchanged();
    EXPECT_TRUE(root->noChangesPresent());
    EXPECT_TRUE(item(0)->getValueWithID(S.valName)->noChangesPresent());
}

TEST_F(Triggers, ChecksumLeavesOutUnstoredAndExcludedNodes) {
    makeRoot({QStringLiteral("a")});
    const uint32_t before = root->calcDataChecksum(0);
    item(0)->getValueWithID(S.valCount)->setAsInteger(5);
    const uint32_t changed = root->calcDataChecksum(0);
    EXPECT_NE(before, changed);
    root->getValueWithID(gvalLastUsedID)->setAsInteger(2147418200); // excluded from the checksum
    EXPECT_EQ(root->calcDataChecksum(0), changed);
    item(0)->setDontStore(true);
    item(0)->getValueWithID(S.valCount)->setAsInteger(6);
    EXPECT_EQ(root->calcDataChecksum(0), root->calcDataChecksum(0));
    const uint32_t withoutItem = root->calcDataChecksum(0);
    item(0)->getValueWithID(S.valCount)->setAsInteger(7);
    EXPECT_EQ(root->calcDataChecksum(0), withoutItem);
}

// ---- data clipboard ----

namespace {
class TGridLink : public TBaseUILink {
public:
    std::vector<std::pair<bool, TAbstractRootObj*>> calls;
    bool objIsChanged(TAbstractRootObj*, int32_t, TAbstractRootObj*) override { return true; }
    void afterLinkChange() override {}
    void clipboardChanged(bool flag, TAbstractRootObj* node) override { calls.emplace_back(flag, node); }
};
} // namespace

TEST_F(Triggers, ClipboardOrientationAndLifetime) {
    makeRoot({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    TDataClipBoard clip;
    TGridLink grid;
    clip.registerGridLink(&grid);
    EXPECT_EQ(clip.getItemOrientation(), clpio_Mixed);
    TAbstractDataValue* a = item(0)->getValueWithID(S.valName);
    TAbstractDataValue* b = item(0)->getValueWithID(S.valCount);
    clip.addItemToCopy(b, 2, 1);
    EXPECT_EQ(clip.getItemOrientation(), clpio_Horizontal);
    clip.addItemToCopy(a, 1, 1);
    EXPECT_EQ(clip.item(0)->obj(), a); // sorted by column, then row
    EXPECT_EQ(clip.getItemOrientation(), clpio_Horizontal);
    clip.addItemToCopy(item(1)->getValueWithID(S.valName), 3, 2);
    EXPECT_EQ(clip.getItemOrientation(), clpio_Mixed);
    ASSERT_EQ(grid.calls.size(), 3u);
    EXPECT_TRUE(grid.calls[0].first);
    EXPECT_TRUE(clip.isValueOnClipboard(a));
    EXPECT_FALSE(clip.isValueOnClipboard(item(2)->getValueWithID(S.valName)));
    clip.addItemToCopy(item(2), 9, 9);
    EXPECT_TRUE(clip.isValueOnClipboard(item(2)->getValueWithID(S.valName)));
    // Deleting a marked node takes its item off the clipboard.
    item(2)->deleteObj(false);
    EXPECT_EQ(clip.count(), 3);
    item(1)->deleteObj(false);
    EXPECT_EQ(clip.count(), 2);
    clip.removeItem(1);
    EXPECT_EQ(grid.calls.back(), std::make_pair(false, static_cast<TAbstractRootObj*>(b)));
    EXPECT_FALSE(assertionMessage([&] { clip.removeItem(5); }).isEmpty());
    EXPECT_FALSE(assertionMessage([&] { TDataClipBoardItem::createEx(nullptr, a, 0, 0, false); }).isEmpty());
    clip.clear();
    EXPECT_EQ(clip.count(), 0);
    EXPECT_EQ(a->UILinkCount(), 0);
    // Vertical: one column, several rows.
    clip.addItemToCopy(a, 1, 1);
    clip.addItemToCopy(b, 1, 2);
    EXPECT_EQ(clip.getItemOrientation(), clpio_Vertical);
    clip.unregisterGridLink(&grid);
    EXPECT_EQ(clip.gridLinkCount(), 0);
}

TEST_F(Triggers, HandlersMaySetValuesWhileATriggerTravels) {
    struct TReactingRoot : TTestRoot {
        int32_t handleTrigger(TAbstractRootObj* node, int32_t flags, TAbstractRootObj* sec) override {
            if ((flags & trgValueChanged) && node->defID() == S.valCount) {
                auto* v = static_cast<TAbstractDataValue*>(node);
                getValueWithID(S.valTitle)->setAsString(QStringLiteral("count %1").arg(v->getAsInteger()));
            }
            return TTestRoot::handleTrigger(node, flags, sec);
        }
    };
    int32_t def = 0;
    TDataObjDef::Create(def, QStringLiteral("Reacting"), QString(),
                        dataObjClassOf<TReactingRoot>(QStringLiteral("TReactingRoot")));
    std::unique_ptr<TDataObj> r = dmData->FindDataObjDefWithID(def)->CreateRootDataObj(true, false);
    auto* rr = static_cast<TReactingRoot*>(r.get());
    TDataObj* it = rr->items()->cAddObj(-1);
    r->setBusy(false);
    r->deepSetUnchanged();
    std::vector<QString> log;
    TLogLink titleLink(log, QStringLiteral("title"), r->getValueWithID(S.valTitle));
    TLogLink countLink(log, QStringLiteral("count"), it->getValueWithID(S.valCount));
    it->getValueWithID(S.valCount)->setAsInteger(4);
    EXPECT_EQ(r->getValueWithID(S.valTitle)->getAsString(), QStringLiteral("count 4"));
    EXPECT_EQ(log, (std::vector<QString>{QStringLiteral("count:1"), QStringLiteral("title:1")}));
    EXPECT_TRUE(r->getValueWithID(S.valTitle)->isChanged());
    // A busy value raising a trigger is a programming error.
    TAbstractDataValue* v = it->getValueWithID(S.valCount);
    v->setBusy(true);
    EXPECT_EQ(assertionMessage([&] { v->handleTrigger(v, trgValueChanged, nullptr); }),
              QStringLiteral("TAbstractDataValue.handleTrigger while busy"));
}
