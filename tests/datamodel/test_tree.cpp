#include "dm_fixture.h"

using namespace fmx;
using namespace fmxtest;

using Tree = DataModelTest;

TEST_F(Tree, NewObjectsGetLoadOrdersAfterTheLastOne) {
    makeRoot({QStringLiteral("a")});
    TDataObjList* l = root->items();
    EXPECT_EQ(item(0)->loadOrder(), 100);
    item(0)->setLoadOrderNoStateChange(250);
    TDataObj* b = l->cAddObj(-1);
    EXPECT_EQ(b->loadOrder(), 350);
    EXPECT_EQ(b->indexInParentList(), 1);
    EXPECT_EQ(b->prevObj(), item(0));
    EXPECT_EQ(b->nextObj(), nullptr);
    EXPECT_EQ(l->cAddObj(S.defRoot + 1000), nullptr); // undeclared definition
}

TEST_F(Tree, VerifyLoadOrderRepairsFromPosition) {
    makeRoot({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    const int32_t given[] = {100, 100, 105};
    for (int i = 0; i < 3; ++i)
        item(i)->setLoadOrderNoStateChange(given[i]);
    root->items()->verifyLoadOrder(0);
    EXPECT_EQ(item(0)->loadOrder(), 100);
    EXPECT_EQ(item(1)->loadOrder(), 140);
    EXPECT_EQ(item(2)->loadOrder(), 240);
    EXPECT_TRUE(item(1)->loadOrderChanged());
    EXPECT_TRUE(item(1)->isChanged());
    EXPECT_FALSE(item(0)->isChanged());
    // A wide gap is halved.
    item(1)->setLoadOrderNoStateChange(50);
    root->items()->verifyLoadOrder(1);
    EXPECT_EQ(item(1)->loadOrder(), 170);
}

TEST_F(Tree, MovingObjects) {
    makeRoot({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    TDataObjList* l = root->items();
    TRecordingLink link;
    link.setLinkedObj(l);
    TDataObj* a = item(0);
    l->moveObjBeforePos(a, 0);
    l->moveObjBeforePos(a, 1);
    EXPECT_EQ(link.count(trgObjMoved), 0);
    EXPECT_FALSE(l->isChanged());
    l->moveObjBeforePos(a, 3);
    EXPECT_EQ(l->indexInList(a), 2);
    EXPECT_EQ(link.count(trgObjMoved), 1);
    EXPECT_EQ(link.hits.back().second, a);
    EXPECT_TRUE(l->isChanged());
    for (int i = 1; i < 3; ++i)
        EXPECT_GT(item(i)->loadOrder(), item(i - 1)->loadOrder());
    TDataObj* c = item(1);
    l->moveObjUp(c);
    EXPECT_EQ(item(0), c);
    EXPECT_LT(item(0)->loadOrder(), item(1)->loadOrder());
    l->moveObjUp(c); // already first
    EXPECT_EQ(item(0), c);
    l->moveObjDown(item(2)); // already last
    std::unique_ptr<TDataObj> stranger =
        dmData->FindDataObjDefWithID(S.defItem)->CreateRootDataObj(false, true);
    EXPECT_FALSE(assertionMessage([&] { l->moveObjUp(stranger.get()); }).isEmpty());
}

TEST_F(Tree, IDsAreAssignedOnFirstRequest) {
    makeRoot({QStringLiteral("a"), QStringLiteral("b")});
    EXPECT_EQ(item(0)->rawID(), 0);
    const int32_t first = item(0)->ID();
    EXPECT_GT(static_cast<uint32_t>(first), 0x7FFF0000u);
    EXPECT_EQ(item(1)->ID(), first + 1);
    EXPECT_EQ(root->getValueWithID(gvalLastUsedID)->getAsInteger(), first + 1);
    EXPECT_EQ(root->NextID(), first + 1);
    // Roots draw global IDs; an object without values gets -2.
    EXPECT_GT(root->ID(), 0);
    EXPECT_LT(root->ID(), 0x7FFF0000);
    EXPECT_EQ(root->determineMaxGlobalID(), root->ID());
    int32_t emptyDef = 0;
    TDataObjDef::Create(emptyDef, QStringLiteral("Empty"), QString(),
                        dataObjClassOf<TDataObj>(QStringLiteral("TDataObj")));
    EXPECT_EQ(root->cAddObj(emptyDef)->ID(), -2);
    root->NewIDAfterCopy();
    EXPECT_EQ(item(0)->rawID(), 0);
    // A local object with values and no ID manager above it is a programming error.
    std::unique_ptr<TDataObj> loose = dmData->FindDataObjDefWithID(S.defItem)->CreateRootDataObj(false, true);
    EXPECT_EQ(assertionMessage([&] { loose->ID(); }), QStringLiteral("Geen ID Manager gevonden"));
    EXPECT_EQ(assertionMessage([&] { loose->getIDEx(); }),
              QStringLiteral("TDataObj.getIDEx: geen ID Manager"));
    EXPECT_EQ(item(1)->getIDEx(), item(1)->ID());
}

TEST_F(Tree, NavigationByDefinitionKind) {
    makeRoot({QStringLiteral("a")});
    EXPECT_EQ(root->findListWithIDEx(S.ldefItems), root->items());
    EXPECT_EQ(root->findObjWithIDEx(S.defSettings), root->settings());
    EXPECT_EQ(root->findValueWithIDEx(S.valTitle)->defID(), S.valTitle);
    EXPECT_EQ(root->findValueWithIDEx(S.ldefItems), nullptr);
    EXPECT_EQ(root->findObjWithIDEx(S.valTitle), nullptr);
    EXPECT_EQ(root->getValueWithDBField(QStringLiteral("title"))->defID(), S.valTitle);
    EXPECT_EQ(root->getSubObjWithXML(QStringLiteral("settings")), root->settings());
    EXPECT_FALSE(assertionMessage([&] { root->list(5); }).isEmpty());
    EXPECT_TRUE(item(0)->isChildOf(root.get()));
    EXPECT_TRUE(item(0)->isChildOf(item(0)));
    EXPECT_FALSE(root->isChildOf(item(0)));
    EXPECT_EQ(item(0)->dbRoot(), root.get());
    EXPECT_EQ(item(0)->IDManager(), root.get());
    EXPECT_EQ(item(0)->getValueWithID(S.valName)->dbIDRoot(), root.get());
    EXPECT_TRUE(root->items()->ShowAsTable());
}

TEST_F(Tree, PathsEscapeHyphensAndSelectListObjectsByID) {
    makeRoot({QStringLiteral("a"), QStringLiteral("b")});
    // A sub-object named "Adm-x" whose list holds an object with ID 7.
    TDataObj* adm = root->settings();
    int32_t subDef = 0;
    struct TAdmObj : TDataObj {
        void init() override { cAddList(S.ldefItems); }
    };
    TDataObjDef::Create(subDef, QStringLiteral("Adm-x"), QString(),
                        dataObjClassOf<TAdmObj>(QStringLiteral("TAdmObj")));
    TDataObj* sub = adm->cAddObj(subDef);
    TDataObj* seven = sub->getListWithID(S.ldefItems)->cAddObj(-1);
    seven->setRawID(7);
    EXPECT_EQ(adm->followPath(QStringLiteral("Adm:-x-Items##7"), false), seven);
    EXPECT_EQ(seven->getPath(adm), QStringLiteral("Adm:-x-Items##7"));
    EXPECT_EQ(seven->getValuePath(adm), QStringLiteral("Adm-x-Items##7"));
    EXPECT_EQ(root->followPath(seven->getPath(root.get()), false), seven);
    EXPECT_EQ(seven->getValueWithID(S.valName)->followPath(QStringLiteral("$-Name"), false),
              seven->getValueWithID(S.valName));
    EXPECT_EQ(seven->followPath(QStringLiteral("\\-Title"), false), root->getValueWithID(S.valTitle));
    EXPECT_EQ(seven->followPath(QStringLiteral(".-."), false), adm);
    // A name with two hyphens reads back as itself.
    EXPECT_EQ(TAbstractRootObj::splitPath(TAbstractRootObj::escapePath(QStringLiteral("a-b-c")) +
                                          QStringLiteral("-d")),
              (QStringList{QStringLiteral("a-b-c"), QStringLiteral("d")}));
    // Through a reference value to the referred object.
    item(0)->getValueWithID(S.valRef)->setAsReference(item(1));
    EXPECT_EQ(item(0)->followPath(QStringLiteral("Partner-Name"), false), item(1)->getValueWithID(S.valName));
}

TEST_F(Tree, BadPathsFailWithThePathInTheMessage) {
    makeRoot({QStringLiteral("a"), QStringLiteral("b")});
    const QString bad[] = {
        QStringLiteral("Nothing"),               // unknown name
        QStringLiteral("Items-Name"),            // list before the end
        QStringLiteral("Items##999"),            // no object with that ID
        QStringLiteral("Title-Name"),            // a value that is not a reference, before the end
        QStringLiteral("Items##x"),              // not a number
        QStringLiteral("*-Title"),               // no global data
        QStringLiteral("Items##1-Partner-Name"), // empty reference
    };
    item(0)->setRawID(1);
    for (const QString& p : bad) {
        EXPECT_EQ(root->followPath(p, true), nullptr) << p.toStdString();
        EXPECT_EQ(assertionMessage([&] { root->followPath(p, false); }),
                  QStringLiteral("TAbstractRootObj.followPath path=\"") + p + QLatin1Char('"'))
            << p.toStdString();
    }
}

TEST_F(Tree, IDPaths) {
    makeRoot({QStringLiteral("a"), QStringLiteral("b")});
    item(1)->setRawID(0x7FFF0010);
    EXPECT_EQ(root->followIDPath({S.ldefItems}, false), root->items());
    EXPECT_EQ(root->followIDPath({S.ldefItems, -8, 0x7FFF0010, S.valName}, false),
              item(1)->getValueWithID(S.valName));
    EXPECT_EQ(item(1)->followIDPath({-7, S.defSettings}, false), root->settings());
    EXPECT_EQ(item(1)->followIDPath({-5, -6}, false), root.get());
    EXPECT_EQ(item(1)->followIDPath({-5, S.defSettings, -9}, false), root.get()); // back one step
    struct Case {
        std::vector<int32_t> path;
        const char* message;
    };
    const Case cases[] = {
        {{S.valTitle, S.valName}, "TAbstractRootObj.followIDPath path beyond reference value"},
        {{S.ldefItems, S.valName}, "TAbstractRootObj.followIDPath path beyond list"},
        {{S.ldefItems, -8}, "TAbstractRootObj.followIDPath unexpected end of path"},
        {{-8, 5}, "TAbstractRootObj.followIDPath: useID but not a list"},
        {{-7}, "TAbstractRootObj.followIDPath ParentList nil"},
        {{S.valCount}, "TAbstractRootObj.followIDPath path invalid"},
        {{-6, -6, -6, -6, -6, -6}, "TAbstractRootObj.followIDPath too long"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(root->followIDPath(c.path, true), nullptr) << c.message;
        EXPECT_EQ(assertionMessage([&] { root->followIDPath(c.path, false); }),
                  QString::fromLatin1(c.message));
    }
}

TEST_F(Tree, ReferenceTextsAndCandidates) {
    makeRoot({QStringLiteral("Cows"), QStringLiteral("Pigs")});
    TAbstractDataValue* ref = item(0)->getValueWithID(S.valRef);
    EXPECT_EQ(ref->getAsString(), QStringLiteral("[none]"));
    ref->setAsString(QStringLiteral("  pigs "));
    EXPECT_EQ(ref->getAsReference(), item(1));
    EXPECT_EQ(ref->getAsInteger(), item(1)->rawID());
    EXPECT_EQ(ref->getAsString(), QStringLiteral("Pigs"));
    ref->setAsString(QStringLiteral("Goats"));
    EXPECT_EQ(ref->getAsReference(), item(1));
    ref->setAsString(QStringLiteral("[NONE]"));
    EXPECT_EQ(ref->getAsInteger(), 0);
    EXPECT_EQ(ref->getAsReference(), nullptr);
    ref->setAsInteger(12);
    EXPECT_EQ(ref->getAsString(), QStringLiteral("<REF ERROR 12>"));
    EXPECT_FALSE(static_cast<TRefDataValue*>(ref)->isValidReference(false));
    EXPECT_TRUE(static_cast<TRefDataValue*>(ref)->isValidReference(true) == false &&
                ref->getAsInteger() == 0);
    EXPECT_TRUE(root->checkRefsValid(false));
    EXPECT_EQ(ref->getAsXML(), QStringLiteral("0"));
    ref->setAsXML(QString::number(item(1)->ID()));
    EXPECT_EQ(ref->getAsReference(), item(1));
    EXPECT_EQ(root->hasAnyReferencesTo(item(1)->ID()), ref);
}

TEST_F(Tree, DeletingAnObjectClearsTheReferencesAndCachesPointingToIt) {
    makeRoot({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    TDataObj* b = item(1);
    auto* fromA = static_cast<TRefDataValue*>(item(0)->getValueWithID(S.valRef));
    auto* fromC = static_cast<TRefDataValue*>(item(2)->getValueWithID(S.valRef));
    fromA->setAsReference(b);
    fromC->setAsReference(b);
    EXPECT_EQ(b->cachedRefCount(), 2);
    TRecordingLink linkOnB;
    linkOnB.setLinkedObj(b->getValueWithID(S.valName));
    TRecordingLink listLink;
    listLink.setLinkedObj(root->items());
    b->deleteObj(false);
    EXPECT_EQ(root->items()->objCount(), 2);
    EXPECT_EQ(fromA->getAsInteger(), 0);
    EXPECT_EQ(fromA->cachedObj(), nullptr);
    EXPECT_EQ(fromC->getAsReference(), nullptr);
    EXPECT_EQ(linkOnB.linkedObj(), nullptr);
    EXPECT_EQ(linkOnB.count(trgNodeDeleted), 1);
    EXPECT_EQ(listLink.count(trgObjLeaving), 1);
    EXPECT_TRUE(root->items()->isChanged());

    // A referring object deleted first leaves no stale entry in the referred object's cache list.
    fromA->setAsReference(item(1));
    item(0)->deleteObj(false);
    EXPECT_EQ(item(0)->cachedRefCount(), 0);
    item(0)->deleteObj(false);
    EXPECT_EQ(root->items()->objCount(), 0);
}

TEST_F(Tree, NamesAndArchivedNames) {
    makeRoot({QStringLiteral("a"), QString()});
    EXPECT_EQ(item(0)->name(), QStringLiteral("a"));
    EXPECT_EQ(item(1)->name(), QStringLiteral("? (Item)"));
    EXPECT_EQ(root->settings()->name(), QStringLiteral("Settings"));
    struct TArchived : TTestItem {
        bool getObjIsNotArchived() override { return false; }
    };
    int32_t arch = 0;
    TDataObjDef::Create(arch, QStringLiteral("Archived"), QString(),
                        dataObjClassOf<TArchived>(QStringLiteral("TArchived")));
    TDataObj* o = root->items()->cAddObj(arch);
    o->setName(QStringLiteral("old"));
    EXPECT_EQ(o->refName(), QStringLiteral("[old]"));
    EXPECT_FALSE(assertionMessage([&] { root->settings()->setName(QStringLiteral("x")); }).isEmpty());
}

TEST_F(Tree, SortingByNameWithNumbers) {
    makeRoot({QStringLiteral("100"), QStringLiteral("beta"), QStringLiteral("9"), QStringLiteral("Alpha"),
              QStringLiteral("10")});
    root->items()->sorteer(false, true, false);
    QStringList names;
    for (int i = 0; i < root->items()->objCount(); ++i)
        names << item(i)->name();
    EXPECT_EQ(names, (QStringList{QStringLiteral("9"), QStringLiteral("10"), QStringLiteral("100"),
                                  QStringLiteral("Alpha"), QStringLiteral("beta")}));
    for (int i = 1; i < 5; ++i)
        EXPECT_GT(item(i)->loadOrder(), item(i - 1)->loadOrder());
    root->sorteer(true, false, false);
    names.clear();
    for (int i = 0; i < root->items()->objCount(); ++i)
        names << item(i)->name();
    EXPECT_EQ(names, (QStringList{QStringLiteral("10"), QStringLiteral("100"), QStringLiteral("9"),
                                  QStringLiteral("Alpha"), QStringLiteral("beta")}));
    // forceChange raises every load order first, so every object becomes changed.
    root->deepSetUnchanged();
    const int32_t firstOrder = item(0)->loadOrder();
    root->items()->sorteer(false, false, true);
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(item(i)->isChanged()) << i;
    EXPECT_EQ(item(0)->loadOrder(), firstOrder + 100);
    // Equal names: by ascending ID.
    makeRoot({QStringLiteral("x"), QStringLiteral("X")});
    item(0)->setRawID(0x7FFF0009);
    item(1)->setRawID(0x7FFF0002);
    root->items()->sorteer(false, false, false);
    EXPECT_EQ(item(0)->rawID(), 0x7FFF0002);
}

TEST_F(Tree, SortedListsAndSearches) {
    makeRoot({QStringLiteral("Cows"), QStringLiteral("Pigs"), QStringLiteral("Hens")});
    item(0)->getValueWithID(S.valCount)->setAsInteger(5);
    item(1)->getValueWithID(S.valCount)->setAsInteger(2);
    item(2)->getValueWithID(S.valCount)->setAsInteger(9);
    TRefObjList* l = root->items()->getSortedList(
        [](TDataObj* o) { return o->getValueWithID(S.valCount)->getAsInteger() > 3; },
        [](TDataObj* o) {
            TSortDataObjInfo i;
            i.fSortValueType = dvtsInteger;
            i.fSortValInt = o->getValueWithID(S.valCount)->getAsInteger();
            return i;
        },
        false);
    ASSERT_EQ(l->count(), 2);
    EXPECT_EQ(l->obj(0)->name(), QStringLiteral("Hens"));
    EXPECT_EQ(l->obj(1)->name(), QStringLiteral("Cows"));
    l->endUse();
    TRefObjList* byName = root->items()->getSortedList({}, &TDataObjList::sorteerOpNaam);
    EXPECT_EQ(byName->obj(0)->name(), QStringLiteral("Cows"));
    EXPECT_EQ(byName->obj(1)->name(), QStringLiteral("Hens"));
    TRefObjList* view = new TRefObjList(root->items());
    EXPECT_FALSE(assertionMessage([&] { view->add(item(0)); }).isEmpty());
    EXPECT_EQ(view->count(), 3);
    view->endUse();
    byName->endUse();
    EXPECT_EQ(root->items()->findObjectWithName(QStringLiteral("pigs")), item(1));
    EXPECT_EQ(root->items()->findObjectWithIntVal(S.valCount, 9), item(2));
    EXPECT_EQ(root->items()->findObjectWithStringVal(S.valName, QStringLiteral("hens"), true), nullptr);
    EXPECT_EQ(root->items()->findObjectWithStringVal(S.valName, QStringLiteral("hens"), false), item(2));
    EXPECT_FALSE(root->items()->hasDuplicateNames());
    item(2)->setName(QStringLiteral("COWS"));
    EXPECT_TRUE(root->items()->hasDuplicateNames());
    const int32_t id = item(1)->ID();
    EXPECT_EQ(root->findDataObjWithID(id), item(1));
    EXPECT_EQ(item(0)->findDataObjWithID(id), item(1));
    EXPECT_EQ(root->searchForDataObjWithID(12345), nullptr);
    EXPECT_EQ(root->items()->findSameVersionUsingValues(item(0), {S.valName, S.valCount}), item(0));
}

TEST_F(Tree, UniqueIndexViolationsAreReported) {
    makeRoot({QStringLiteral("a"), QStringLiteral("B"), QStringLiteral("b")});
    TDataObjDef* itemDef = dmData->FindDataObjDefWithID(S.defItem);
    EXPECT_EQ(itemDef->addUniqueIndex({S.valName}), 0);
    std::vector<TIndexError> errors;
    EXPECT_TRUE(root->checkIndexConstraints(errors));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].obj, item(2));
    EXPECT_EQ(errors[0].message,
              QStringLiteral(
                  "Duplicate for  index 0 object definition Item with object name \"b\" (R_ID=%1 O_ID=%2)")
                  .arg(root->ID())
                  .arg(item(2)->ID()));
    item(2)->setRawID(item(0)->ID());
    errors.clear();
    root->items()->checkIndexConstraints(errors);
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_TRUE(
        errors[0].message.startsWith(QStringLiteral("Duplicate for primairy index object definition Item")));
}

TEST_F(Tree, RefusedRightsLeaveTheTreeUnchanged) {
    makeRoot({QStringLiteral("a")});
    dmData->FindListDefWithID(S.ldefItems)->setRightToAdd(5);
    dmData->FindListDefWithID(S.ldefItems)->setRightToDelete(6);
    dmData->FindValueDefWithID(S.valName)->setRightToChange(7);
    dmObjectManagerHooks().hasRight = [](int32_t) { return false; };
    for (auto f : std::vector<std::function<void()>>{[&] { root->items()->cAddObj(-1); },
                                                     [&] { item(0)->deleteObj(false); },
                                                     [&] { item(0)->setName(QStringLiteral("b")); }}) {
        try {
            f();
            ADD_FAILURE() << "no rights error";
        } catch (const TDataError& e) {
            EXPECT_EQ(e.kind(), tdek_NoRights);
        }
    }
    EXPECT_EQ(root->items()->objCount(), 1);
    EXPECT_EQ(item(0)->name(), QStringLiteral("a"));
    EXPECT_FALSE(root->isChanged());
    EXPECT_FALSE(item(0)->isChanged());
    // Synchronising objects skip the checks.
    item(0)->setBusySync(true);
    item(0)->setName(QStringLiteral("b"));
    EXPECT_EQ(item(0)->name(), QStringLiteral("b"));
}

TEST_F(Tree, EmptyingAndDestroyingAWholeTreeIsClean) {
    makeRoot({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    static_cast<TRefDataValue*>(item(0)->getValueWithID(S.valRef))->setAsReference(item(2));
    static_cast<TRefDataValue*>(item(2)->getValueWithID(S.valRef))->setAsReference(item(0));
    TRecordingLink link;
    link.setLinkedObj(item(1));
    root->items()->emptyList(false);
    EXPECT_EQ(root->items()->objCount(), 0);
    EXPECT_EQ(link.linkedObj(), nullptr);
    makeRoot({QStringLiteral("a"), QStringLiteral("b")});
    static_cast<TRefDataValue*>(item(0)->getValueWithID(S.valRef))->setAsReference(item(1));
    link.setLinkedObj(item(1)->getValueWithID(S.valName));
    root.reset();
    EXPECT_EQ(link.linkedObj(), nullptr);
}

TEST_F(Tree, OnDemandPlaceholdersLoadOnlyWhenNeeded) {
    dmData->FindListDefWithID(S.ldefItems)->setOnDemandLoad(true);
    makeRoot();
    TDataObjDef* itemDef = dmData->FindDataObjDefWithID(S.defItem);
    root->items()->setBusy(true);
    itemDef->CreateDataObjForOnDemandList(*root->items(), 0x7FFF0101, QStringLiteral("Cows"));
    itemDef->CreateDataObjForOnDemandList(*root->items(), 0x7FFF0102, QStringLiteral("Pigs"));
    root->items()->setBusy(false);
    static int loads = 0;
    loads = 0;
    dmObjectManagerHooks().loadOnDemandListObj = [](TDataObj* o) {
        ++loads;
        o->getValueWithID(S.valName)->setAsString(o->rawID() == 0x7FFF0101 ? QStringLiteral("Cows")
                                                                           : QStringLiteral("Pigs"));
        o->getValueWithID(S.valCount)->setAsInteger(3);
    };
    TDataObjList* l = root->items();
    EXPECT_TRUE(l->getDataObject_NOD(0)->onDemandListObj());
    EXPECT_EQ(l->getDataObjectID_NOD(0x7FFF0102), l->getDataObject_NOD(1));
    EXPECT_FALSE(l->hasDuplicateNames());
    EXPECT_EQ(loads, 0);
    TDataObj* pigs = l->findObjectWithName(QStringLiteral("PIGS"));
    EXPECT_EQ(loads, 1);
    EXPECT_FALSE(pigs->onDemandListObj());
    EXPECT_EQ(pigs->ValueCount(), 6);
    EXPECT_EQ(pigs->getValueWithID(S.valCount)->getAsInteger(), 3);
    EXPECT_FALSE(pigs->isBusy());
    EXPECT_FALSE(pigs->isChanged());
    EXPECT_EQ(l->getDataObjectID(0x7FFF0101)->name(), QStringLiteral("Cows"));
    EXPECT_EQ(loads, 2);
    l->obj(0);
    EXPECT_EQ(loads, 2);
    EXPECT_FALSE(assertionMessage([&] { l->loadOnDemandObj(0); }).isEmpty()); // not a placeholder any more
}

TEST_F(Tree, ReferenceCandidatesFromAnIDPathOrTheParent) {
    makeRoot({QStringLiteral("a"), QStringLiteral("b")});
    int32_t viaIDs = 0;
    int32_t any = -1;
    TDataValueDef::CreateRef(viaIDs, QStringLiteral("ViaIDs"), QString(), any,
                             std::vector<int32_t>{-5, S.ldefItems});
    TAbstractDataValue* r = root->settings()->cAddVal(viaIDs);
    r->setAsString(QStringLiteral("B"));
    EXPECT_EQ(r->getAsReference(), item(1));
    // Without a path the parent (and with AskParentForRefList the ancestors) supply the candidates.
    int32_t asked = 0;
    TDataValueDef::Create(asked, QStringLiteral("Asked"), QString(), dvtReference, QString());
    struct TListing : TTestRoot {
        TRefObjList* getRefList(int32_t) override { return new TRefObjList(items()); }
    };
    int32_t listingDef = 0;
    TDataObjDef::Create(listingDef, QStringLiteral("Listing"), QString(),
                        dataObjClassOf<TListing>(QStringLiteral("TListing")));
    std::unique_ptr<TDataObj> listing =
        dmData->FindDataObjDefWithID(listingDef)->CreateRootDataObj(false, false);
    auto* lroot = static_cast<TListing*>(listing.get());
    lroot->items()->cAddObj(-1)->setName(QStringLiteral("x"));
    TAbstractDataValue* a = lroot->settings()->cAddVal(asked);
    a->setAsString(QStringLiteral("x"));
    EXPECT_EQ(a->getAsReference(), nullptr); // the settings object has no candidates of its own
    dmData->FindValueDefWithID(asked)->setAskParentForRefList(true);
    a->setAsString(QStringLiteral("x"));
    EXPECT_EQ(a->getAsReference(), lroot->items()->obj(0));
    listing.reset();
    EXPECT_EQ(r->getAsReference(), item(1));
    // A textual path: a missing step gives no candidates, a malformed one is a programming error.
    int32_t missing = 0, malformed = 0;
    TDataValueDef::CreateRef(missing, QStringLiteral("Missing"), QString(), any, QStringLiteral(".-Nothing"));
    TDataValueDef::CreateRef(malformed, QStringLiteral("Malformed"), QString(), any,
                             QStringLiteral(".-Title-Name"));
    TAbstractDataValue* m = root->settings()->cAddVal(missing);
    m->setAsString(QStringLiteral("a"));
    EXPECT_EQ(m->getAsInteger(), 0);
    TAbstractDataValue* bad = root->settings()->cAddVal(malformed);
    EXPECT_EQ(assertionMessage([&] { bad->setAsString(QStringLiteral("a")); }),
              QStringLiteral("TAbstractRootObj.followPath path=\".-Title-Name\""));
}

TEST_F(Tree, InvalidReferencesAreClearedOrTheirObjectsDeleted) {
    makeRoot({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    item(0)->getValueWithID(S.valRef)->setAsInteger(0x7FFF7777);
    item(1)->getValueWithID(S.valRef)->setAsReference(item(2));
    item(2)->getValueWithID(S.valRef)->setAsInteger(55); // a global ID
    EXPECT_FALSE(root->checkRefsValid(false));
    EXPECT_EQ(item(0)->getValueWithID(S.valRef)->getAsInteger(), 0x7FFF7777);
    dmData->FindListDefWithID(S.ldefItems)->setDelInvalidObj(true);
    EXPECT_FALSE(root->checkRefsValid(true));
    ASSERT_EQ(root->items()->objCount(), 1);
    EXPECT_EQ(item(0)->name(), QStringLiteral("b"));
    EXPECT_EQ(item(0)->getValueWithID(S.valRef)->getAsInteger(), 0); // its target went with the list
    EXPECT_TRUE(root->checkRefsValid(false));
    item(0)->getValueWithID(S.valRef)->setAsInteger(56);
    root->nilGlobalRefs();
    EXPECT_EQ(item(0)->getValueWithID(S.valRef)->getAsInteger(), 0);
}

TEST_F(Tree, RightsOfValuesAndRoots) {
    makeRoot({QStringLiteral("a")});
    struct TGuarded : TTestItem {
        std::unique_ptr<TDataError> getIsActionAllowedForValue(TAbstractDataValue* v, TObjAction) override {
            return std::make_unique<TDataError>(tdek_NoRights, v->DisplayName(), v);
        }
    };
    int32_t guarded = 0;
    TDataObjDef::Create(guarded, QStringLiteral("Guarded"), QString(),
                        dataObjClassOf<TGuarded>(QStringLiteral("TGuarded")));
    dmData->FindListDefWithID(S.ldefItems)->addAllowedDataObjDef(dmData->FindDataObjDefWithID(guarded));
    TDataObj* g = root->items()->cAddObj(guarded);
    dmData->FindValueDefWithID(S.valCount)->setCheckRightWithParent(true);
    EXPECT_THROW(g->getValueWithID(S.valCount)->setAsInteger(3), TDataError);
    EXPECT_EQ(g->getValueWithID(S.valCount)->getAsInteger(), 0);
    item(0)->getValueWithID(S.valCount)->setAsInteger(3); // the base class allows
    EXPECT_EQ(assertionMessage([&] { item(0)->getValueWithID(S.valCount)->getIsActionAllowed(oa_AddObj); }),
              QStringLiteral("TAbstractDataValue: invalid action"));
    dmData->FindDataObjDefWithID(S.defRoot)->setRightToDelete(4);
    dmObjectManagerHooks().hasRight = [](int32_t r) { return r != 4; };
    EXPECT_THROW(root->deleteObj(false), TDataError);
    EXPECT_EQ(root->items()->objCount(), 2);
    dmObjectManagerHooks().hasRight = nullptr;
    root->deleteObj(false);
    EXPECT_EQ(root->items()->objCount(), 0);
    // A file root never gets a parent.
    EXPECT_FALSE(assertionMessage([&] {
                     TDataObj* settings = root->settings();
                     settings->cAddObj(S.defRoot);
                 }).isEmpty());
}

// The application's handler may let the program go on after an assertion: an index outside the
// range must then give nothing rather than read outside the storage (the sanitizer build checks).
TEST_F(Tree, IndexAssertionsThatReturnReadNothingOutsideTheStorage) {
    makeRoot({QStringLiteral("a")});
    static int failures = 0;
    failures = 0;
    const TAssertHandler previous = setAssertHandler([](const char*, int, const QString&) { ++failures; });
    TDataValueDef* kind = dmData->FindValueDefWithID(S.valKind);
    EXPECT_EQ(item(0)->value(99), nullptr);
    EXPECT_EQ(root->obj(7), nullptr);
    EXPECT_EQ(root->list(7), nullptr);
    EXPECT_EQ(root->items()->obj(5), nullptr);
    EXPECT_EQ(root->items()->getDataObject_NOD(-1), nullptr);
    EXPECT_EQ(kind->mmdValueAsInt(3), 0);
    kind->setMMDAsInteger(-1, 5);
    EXPECT_FALSE(kind->mmdValuePresent(2));
    EXPECT_EQ(kind->getEnumTextForIndex(9), QStringLiteral("?"));
    EXPECT_EQ(kind->getEnumIDForIndex(9), 0);
    setAssertHandler(previous);
    EXPECT_EQ(failures, 9);
}

TEST_F(Tree, ObjectsDirectlyUnderTheGlobalDataGetGlobalIDs) {
    makeRoot({QStringLiteral("a"), QStringLiteral("b")});
    static TDataObj* global = nullptr;
    global = root.get();
    dmObjectManagerHooks().actGlobalData = [] { return global; };
    static int claims = 0;
    claims = 0;
    dmObjectManagerHooks().claimID = [] { return 500 + ++claims; };
    EXPECT_EQ(item(0)->ID(), 501);
    EXPECT_EQ(root->followPath(QStringLiteral("*-Items##501"), false), item(0));
    // A global reference without candidates is found from the global data.
    int32_t loose = 0;
    TDataValueDef::Create(loose, QStringLiteral("Loose"), QString(), dvtReference, QString());
    TAbstractDataValue* r = item(1)->cAddVal(loose);
    r->setAsInteger(501);
    EXPECT_EQ(r->getAsReference(), item(0));
    EXPECT_EQ(r->getAsString(), QStringLiteral("a"));
    item(0)->deleteObj(false);
    EXPECT_EQ(r->getAsInteger(), 0);
    global = nullptr;
}
