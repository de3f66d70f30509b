// Copies of values and objects, synchronisation and the search for changes left.
#include "dm_fixture.h"

namespace fmxtest {
namespace {

class CopiesTest : public DataModelTest {};

TEST_F(CopiesTest, CreateCopyOfARootKeepsIDsValuesAndReferences) {
    makeRoot({QStringLiteral("a"), QStringLiteral("b")});
    item(0)->getValueWithID(S.valAmount)->setAsFloat(12.5);
    item(0)->getValueWithID(S.valRef)->setAsReference(item(1));
    root->settings()->getValueWithID(S.valLevel)->setAsFloat(3.25);
    std::unique_ptr<TDataObj> c = root->createCopy();
    auto* copy = static_cast<TTestRoot*>(c.get());
    EXPECT_TRUE(copy->isNew());
    EXPECT_FALSE(copy->isBusy());
    EXPECT_EQ(copy->rawID(), root->rawID());
    ASSERT_EQ(copy->items()->objCount(), 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(copy->items()->obj(i)->rawID(), item(i)->rawID());
        EXPECT_EQ(copy->items()->obj(i)->name(), item(i)->name());
        EXPECT_EQ(copy->items()->obj(i)->loadOrder(), item(i)->loadOrder());
    }
    EXPECT_EQ(copy->items()->obj(0)->getValueWithID(S.valAmount)->getAsFloat(), 12.5);
    EXPECT_EQ(copy->items()->obj(0)->getValueWithID(S.valRef)->getAsReference(), copy->items()->obj(1));
    EXPECT_EQ(copy->settings()->getValueWithID(S.valLevel)->getAsFloat(), 3.25);
}

TEST_F(CopiesTest, TwoWaySynchronisationRemovesAddsAndSyncsByID) {
    makeRoot({QStringLiteral("keep"), QStringLiteral("gone")});
    std::unique_ptr<TDataObj> c = root->createCopy();
    auto* other = static_cast<TTestRoot*>(c.get());
    other->deepSetUnchanged();
    // The other copy: "gone" deleted, "keep" renamed, a new object first in load order.
    other->items()->removeObject(other->items()->obj(1), false);
    other->items()->obj(0)->setName(QStringLiteral("kept"));
    TDataObj* added = other->items()->cAddObj(-1);
    added->setName(QStringLiteral("new"));
    added->setLoadOrderNoStateChange(1);
    other->recalcAllValuesAndClaimID(nullptr);

    TRecordingLink link;
    link.setLinkedObj(root.get());
    root->copyChangesFrom(other, false, true, false);
    ASSERT_EQ(root->items()->objCount(), 2);
    EXPECT_EQ(root->items()->obj(0)->name(), QStringLiteral("new"));
    EXPECT_EQ(root->items()->obj(0)->rawID(), added->rawID());
    EXPECT_EQ(root->items()->obj(1)->name(), QStringLiteral("kept"));
    EXPECT_FALSE(root->busySync());
    EXPECT_FALSE(root->items()->obj(0)->busySync());
    EXPECT_TRUE(root->isChanged());
    EXPECT_GT(link.count(trgValueChanged), 0);
    EXPECT_GT(link.count(trgObjLeaving), 0);
}

TEST_F(CopiesTest, CopyValuesFromSkipsTheListedDefinitions) {
    makeRoot({QStringLiteral("a"), QStringLiteral("b")});
    item(0)->getValueWithID(S.valAmount)->setAsFloat(7.5);
    item(0)->getValueWithID(S.valCount)->setAsInteger(4);
    item(0)->getValueWithID(S.valKind)->setAsInteger(2);
    TRecordingLink link;
    link.setLinkedObj(item(1));
    item(1)->copyValuesFrom(item(0), {S.valName, S.valCount});
    EXPECT_EQ(item(1)->name(), QStringLiteral("b"));
    EXPECT_EQ(item(1)->getValueWithID(S.valCount)->getAsInteger(), 0);
    EXPECT_EQ(item(1)->getValueWithID(S.valAmount)->getAsFloat(), 7.5);
    EXPECT_EQ(item(1)->getValueWithID(S.valKind)->getAsInteger(), 2);
    EXPECT_EQ(link.count(trgValueChanged), 2); // amount and kind, one trigger each
}

TEST_F(CopiesTest, ValuesOfDifferentTypesCopyThroughTheirText) {
    makeRoot({QStringLiteral("a")});
    item(0)->getValueWithID(S.valCount)->setAsInteger(9);
    TAbstractDataValue* name = item(0)->getValueWithID(S.valName);
    name->doFastCopy(item(0)->getValueWithID(S.valCount), false);
    EXPECT_EQ(name->getAsString(), QStringLiteral("9"));
    EXPECT_THROW(item(0)->getValueWithID(S.valCount)->doFastCopy(root->getValueWithID(S.valTitle), false),
                 EConvertError);
}

TEST_F(CopiesTest, AnyChangesLeftNamesTheFirstFinding) {
    makeRoot({QStringLiteral("a")});
    EXPECT_FALSE(root->anyChangesLeft(true));
    item(0)->getValueWithID(S.valCount)->setAsInteger(3);
    EXPECT_TRUE(root->anyChangesLeft(false));
    EXPECT_EQ(assertionMessage([&] { root->anyChangesLeft(true); }),
              QStringLiteral("TDataObj.anyChangesLeft: true for object Project"));
    root->deepSetUnchanged();
    item(0)->getValueWithID(S.valCount)->deepSetChangedAndNew(true, false);
    EXPECT_EQ(assertionMessage([&] { root->anyChangesLeft(true); }),
              QStringLiteral("TDataObj.anyChangesLeft: true for value Count"));
}

} // namespace
} // namespace fmxtest

namespace fmxtest {
namespace {

// A part saved and cancelled as one unit, in a list of a root.
class TPart : public TDataObjGlobalPart {
public:
    void init() override {
        TDataObjGlobalPart::init();
        cAddVal(S.valName);
        cAddVal(S.valCount);
    }
};
class TPartsRoot : public TDataObjODRoot {
public:
    static inline int32_t ldefParts = 0;
    void init() override {
        TDataObjODRoot::init();
        cAddList(ldefParts);
    }
};

class CancelTest : public DataModelTest {
protected:
    void SetUp() override {
        DataModelTest::SetUp();
        int32_t defPart = 0, defRoot = 0;
        TDataObjDef::Create(defPart, QStringLiteral("Part"), QString(),
                            dataObjClassOf<TPart>(QStringLiteral("TPart")))
            ->setSupportsCancel(true);
        TPartsRoot::ldefParts = 0;
        TDataObjListDef::Create(TPartsRoot::ldefParts, QStringLiteral("PRT"), QStringLiteral("Parts"),
                                QString(), 0, -1, false, defPart);
        TDataObjDef::Create(defRoot, QStringLiteral("PartsRoot"), QString(),
                            dataObjClassOf<TPartsRoot>(QStringLiteral("TPartsRoot")));
        std::unique_ptr<TDataObj> o = dmData->FindDataObjDefWithID(defRoot)->CreateRootDataObj(true, false);
        parts.reset(static_cast<TPartsRoot*>(o.release()));
        list()->cAddObj(-1)->setName(QStringLiteral("a"));
        parts->setBusy(false);
        parts->recalcAllValuesAndClaimID(nullptr);
        parts->deepSetUnchanged();
    }
    void TearDown() override {
        parts.reset();
        DataModelTest::TearDown();
    }
    TDataObjList* list() { return parts->getListWithID(TPartsRoot::ldefParts); }
    std::unique_ptr<TPartsRoot> parts;
};

TEST_F(CancelTest, CancelRestoresChangedPartsAndRemovesNewOnes) {
    auto* a = static_cast<TDataObjGlobalPart*>(list()->obj(0));
    parts->getValueWithID(gvalObjVersion)->setAsInteger(0);
    parts->deepSetUnchanged();
    a->setName(QStringLiteral("b"));
    a->getValueWithID(S.valCount)->setAsInteger(4);
    EXPECT_TRUE(a->hasOriginalCopy());
    parts->getValueWithID(gvalObjVersion)->setAsInteger(9);
    list()->cAddObj(-1)->setName(QStringLiteral("new"));
    ASSERT_EQ(list()->objCount(), 2);

    parts->cancelChanges();
    ASSERT_EQ(list()->objCount(), 1);
    EXPECT_EQ(list()->obj(0), a);
    EXPECT_EQ(a->name(), QStringLiteral("a"));
    EXPECT_EQ(a->getValueWithID(S.valCount)->getAsInteger(), 0);
    EXPECT_FALSE(a->hasOriginalCopy());
    EXPECT_EQ(parts->getValueWithID(gvalObjVersion)->getAsInteger(), 0);
    EXPECT_FALSE(parts->isChanged());
    EXPECT_FALSE(parts->anyChangesLeft(true));
}

TEST_F(CancelTest, ClearingTheMarkDropsTheCopy) {
    auto* a = static_cast<TDataObjGlobalPart*>(list()->obj(0));
    a->setName(QStringLiteral("b"));
    ASSERT_TRUE(a->hasOriginalCopy());
    a->setChanged(false);
    EXPECT_FALSE(a->hasOriginalCopy());
    a->deepSetChangedAndNew(true, false); // changed without a copy
    EXPECT_THROW(a->intCancelChanges(), TDataError);
}

} // namespace
} // namespace fmxtest
