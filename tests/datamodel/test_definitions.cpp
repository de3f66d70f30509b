#include "dm_fixture.h"

#include "hash.h"
#include "log.h"

#include <stdexcept>

using namespace fmx;
using namespace fmxtest;

TEST(NameHash, Crc32OfLowBytes) {
    EXPECT_EQ(HashCRC32ci(QStringLiteral("abc")), 0xA3830348u);
    EXPECT_EQ(HashCRC32ci(QStringLiteral("ABC")), 0xA3830348u);
    EXPECT_EQ(HashCRC32cs(QStringLiteral("abc")), 0x352441C2u);
    EXPECT_EQ(HashCRC32cs(QStringLiteral("ABC")), 0xA3830348u);
    EXPECT_EQ(HashCRC32ci(QString()), 0u);
    // Only a-z are raised: "é" (0xE9) keeps its byte, so it differs from "É" (0xC9).
    EXPECT_NE(HashCRC32ci(QStringLiteral("\u00e9")), HashCRC32ci(QStringLiteral("\u00c9")));
}

using Definitions = DataModelTest;

TEST_F(Definitions, RegistryIsSingleAndFrameworkDefinitionsComeFirstInOrder) {
    EXPECT_FALSE(assertionMessage([] { TdmData::create(); }).isEmpty());
    // __DUMMY_VAL is 10001; the framework's values follow in declaration order.
    EXPECT_EQ(gvalObjVersion, 10002);
    EXPECT_EQ(gvalBugsFixed, 10003);
    EXPECT_EQ(gvalProgVersion, 10004);
    EXPECT_EQ(gvalNameIDForOnDemandListObj, 10008);
    EXPECT_EQ(gldefGebruikers, 30002);
    EXPECT_EQ(gldefNotes, 30003);
    EXPECT_EQ(gdefNote, 20002);
    EXPECT_EQ(dmData->FindValueDefWithID(gvalLastUsedID)->mmdValueAsInt(2), 2147418112);
    TDataValueDef* vt = dmData->FindValueDefWithID(gvalValueType);
    EXPECT_EQ(vt->XMLName(), QStringLiteral("gVT"));
    EXPECT_EQ(vt->enumCount(), 13);
    EXPECT_EQ(vt->getEnumTextForID(-1), QStringLiteral("Unknown"));
    EXPECT_EQ(vt->getEnumTextForID(11), QStringLiteral("BinaryIncl"));
    TDataValueDef* user = dmData->FindValueDefWithID(gvalNoteUserID);
    EXPECT_EQ(user->RefIDPath()[0], -4);
    EXPECT_EQ(user->RefIDPath()[1], gldefGebruikers);
    EXPECT_EQ(user->RefIDPath()[2], 0);
    EXPECT_TRUE(dmData->isNameValueID(gvalNameIDForOnDemandListObj));
    EXPECT_TRUE(gErrorBoxes.empty());
    EXPECT_EQ(valMsgText(34), QStringLiteral("Ongeldige verwijzingen"));
    EXPECT_TRUE(pendingLogText().contains(QStringLiteral("_dmData init - prog Fermalux versie ")));
}

TEST_F(Definitions, FloatWithDecimalsHasNoLimitBoundsThatDisplayAsStar) {
    int32_t id = 0;
    TDataValueDef* d =
        TDataValueDef::Create(id, QStringLiteral("Power"), QString(), dvtFloat1, QStringLiteral("kWe"));
    EXPECT_EQ(d->ValueType(), dvtFloat);
    EXPECT_EQ(d->Decimalen(), 1);
    EXPECT_TRUE(d->mmdValuePresent(0));
    EXPECT_TRUE(d->mmdValuePresent(1));
    EXPECT_DOUBLE_EQ(d->mmdValueAsFloat(0), -92233720368547760.0);
    EXPECT_DOUBLE_EQ(d->mmdValueAsFloat(1), 9223372036854776.0);
    EXPECT_EQ(d->mmdValueAsDisplayString(0), QStringLiteral("*"));
    EXPECT_EQ(d->mmdValueAsDisplayString(1), QStringLiteral("*"));
    EXPECT_EQ(d->infoLabelCaption(), QStringLiteral("Power"));
    EXPECT_EQ(gLastValueDef, d);
    EXPECT_EQ(gLastDataObjDef, nullptr);
    EXPECT_FALSE(assertionMessage([&] { d->setMMDAsFloat(1, 1e17); }).isEmpty());
    EXPECT_FALSE(assertionMessage([&] { d->mmdValueAsInt(3); }).isEmpty());
    EXPECT_EQ(TDataValueDef::Create(id = 0, QStringLiteral("P"), {}, dvtFloat, {})->Decimalen(), -1);
}

TEST_F(Definitions, InfoLabelShowsTheLimitsThatArePresent) {
    TDataValueDef* count = dmData->FindValueDefWithID(S.valCount);
    EXPECT_EQ(count->infoLabelCaption(), QStringLiteral("Count (min: 0, max: 10)"));
    count->setMMDPresent(0, false);
    EXPECT_EQ(count->infoLabelCaption(), QStringLiteral("Count (max: 10)"));
    count->setDescription(QStringLiteral("Number of tanks"));
    count->setMMDPresent(1, false);
    EXPECT_EQ(count->infoLabelCaption(), QStringLiteral("Number of tanks"));
}

TEST_F(Definitions, NamesDefaultFromTheCaption) {
    int32_t id = 0;
    TDataValueDef* d =
        TDataValueDef::Create(id, QStringLiteral("Heat-use yearly"), QString(), dvtInteger, QString());
    EXPECT_EQ(d->XMLName(), QStringLiteral("Heat-use yearly"));
    EXPECT_EQ(d->DBFieldName(), QStringLiteral("HEAT_USE YEARLY"));
    EXPECT_EQ(d->getTranslateName(), QStringLiteral("Heat_use yearly"));
    EXPECT_EQ(d->getValueTypeString(), QStringLiteral("Integer"));
    int32_t id2 = 0;
    TDataValueDef* s = TDataValueDef::Create(id2, QStringLiteral("Remark"), QString(), dvtString, QString(),
                                             QStringLiteral("Rem"), QStringLiteral("rmk"));
    EXPECT_EQ(s->XMLName(), QStringLiteral("Rem"));
    EXPECT_EQ(s->DBFieldName(), QStringLiteral("RMK"));
    EXPECT_EQ(s->getValueTypeString(), QStringLiteral("String (254)"));
    EXPECT_EQ(id2, id + 1);
}

TEST_F(Definitions, ForwardDeclaredSlotKeepsItsNumberAndCannotBeFilledTwice) {
    int32_t reserved = dmData->forwardDeclObjDef(0);
    int32_t other = 0;
    TDataObjDef::Create(other, QStringLiteral("Other"), QString(),
                        dataObjClassOf<TDataObj>(QStringLiteral("TDataObj")));
    EXPECT_EQ(other, reserved + 1);
    EXPECT_EQ(dmData->FindDataObjDefWithID(reserved), nullptr);
    int32_t id = reserved;
    TDataObjDef* d = TDataObjDef::Create(id, QStringLiteral("Late"), QString(),
                                         dataObjClassOf<TDataObj>(QStringLiteral("TDataObj")));
    EXPECT_EQ(id, reserved);
    EXPECT_EQ(dmData->FindDataObjDefWithID(reserved), d);
    EXPECT_EQ(dmData->forwardDeclObjDef(reserved), reserved);
    EXPECT_FALSE(assertionMessage([&] {
                     TDataObjDef::Create(id, QStringLiteral("Again"), QString(),
                                         dataObjClassOf<TDataObj>(QStringLiteral("TDataObj")));
                 }).isEmpty());
    EXPECT_EQ(dmData->FindDataObjDefWithID(reserved), d);
}

TEST_F(Definitions, LookupsByIDCheckTheirRange) {
    EXPECT_EQ(dmData->FindValueDefWithID(S.valName)->DisplayName(), QStringLiteral("Name"));
    EXPECT_FALSE(assertionMessage([] { dmData->FindValueDefWithID(10000); }).isEmpty());
    EXPECT_FALSE(
        assertionMessage([] { dmData->FindValueDefWithID(10000 + dmData->numValDefs()); }).isEmpty());
    EXPECT_FALSE(
        assertionMessage([] { dmData->FindListDefWithID(30000 + dmData->numListDefs()); }).isEmpty());
    EXPECT_THROW(dmData->FindDataObjDefWithID(20000 + dmData->numObjDefs()), std::out_of_range);
    EXPECT_THROW(dmData->FindDataObjDefWithID(19999), std::out_of_range);
}

TEST_F(Definitions, EnumerationEntries) {
    TDataValueDef* k = dmData->FindValueDefWithID(S.valKind);
    k->addEnum(2, QStringLiteral("Grass"));
    EXPECT_EQ(k->enumCount(), 2);
    EXPECT_EQ(k->getEnumTextForID(2), QStringLiteral("Grass"));
    k->addEnum(3, QString(70, QLatin1Char('x')));
    EXPECT_EQ(k->getEnumTextForID(3).size(), 60);
    // Entry texts in Polish or Estonian keep their letters.
    k->addEnum(4, QStringLiteral("Kiszonka z kukurydzy, świeża, łąka; šokolaad ž"));
    EXPECT_EQ(k->getEnumTextForID(4), QStringLiteral("Kiszonka z kukurydzy, świeża, łąka; šokolaad ž"));
    k->addEnum(4, QString(59, QLatin1Char('a')) + QStringLiteral("łę"));
    EXPECT_EQ(k->getEnumTextForID(4), QString(59, QLatin1Char('a')) + QStringLiteral("ł"));
    EXPECT_EQ(k->getEnumTextForID(99), QStringLiteral("?"));
    EXPECT_EQ(k->getEnumTextForIndex(-1), QStringLiteral("[none]"));
    EXPECT_EQ(k->getEnumIDForIndex(-1), 0);
    EXPECT_EQ(k->getEnumIndexForID(3), 2);
    EXPECT_EQ(k->getEnumIndexForID(7), -1);
    k->clearEnumRecsFrom(3);
    EXPECT_EQ(k->findEnumIDForString(QStringLiteral("Manure")), 1);
    EXPECT_EQ(k->findEnumIDForString(QStringLiteral("manure")), -9999889);
    EXPECT_EQ(assertionMessage([&] { k->intFindEnumIDForText(QStringLiteral("Slurry")); }),
              QStringLiteral("TDataValueDef.findEnumText geen rec gevonden voor text \"Slurry\""));
    EXPECT_FALSE(assertionMessage([&] { k->setEnumTextForID(42, QStringLiteral("x")); }).isEmpty());
    EXPECT_FALSE(assertionMessage([&] { k->addEnum(-9999889, QStringLiteral("x")); }).isEmpty());
    k->clearEnumRecsFrom(1);
    EXPECT_EQ(k->enumCount(), 1);
    k->clearEnumRecsFrom(0);
    EXPECT_EQ(k->enumCount(), 0);

    int32_t b = 0;
    TDataValueDef* nee = TDataValueDef::CreateBoolDefNee(b, QStringLiteral("Torch"), QString());
    EXPECT_TRUE(nee->IsBoolean());
    EXPECT_EQ(nee->ValueType(), dvtEnum);
    EXPECT_EQ(nee->getEnumTextForID(1), QStringLiteral("Yes"));
    EXPECT_EQ(nee->getEnumTextForID(2), QStringLiteral("No"));
    EXPECT_EQ(nee->mmdValueAsInt(2), 2);
    b = 0;
    EXPECT_EQ(TDataValueDef::CreateBoolDefJa(b, QStringLiteral("Pasteurise"), QString())->mmdValueAsInt(2),
              1);
}

TEST_F(Definitions, ListDatabaseNameChecksOnlyShowAnErrorBox) {
    int32_t a = 0;
    TDataObjListDef* dup = TDataObjListDef::Create(a, QStringLiteral("GNOT"), QStringLiteral("Copy of notes"),
                                                   QString(), 0, -1, false, -1);
    ASSERT_NE(dup, nullptr);
    int32_t b = 0;
    TDataObjListDef::Create(b, QStringLiteral("LONGX"), QStringLiteral("Long"), QString(), 0, -1, false,
                            S.defItem);
    ASSERT_EQ(gErrorBoxes.size(), 2u);
    EXPECT_EQ(gErrorBoxes[0],
              QStringLiteral("TDataObjListDef.Create \"Copy of notes\" DBFieldName GNOT komt al voor"));
    EXPECT_EQ(gErrorBoxes[1], QStringLiteral("TDataObjListDef.Create \"Long\" DBFieldName te lang"));
    EXPECT_EQ(dmData->FindListDefWithID(b)->AllowedDataObj().front()->InternalID(), S.defItem);
}

TEST_F(Definitions, LookupByXMLNameIgnoresCaseOfLettersAndKnowsFormerNames) {
    EXPECT_EQ(dmData->FindUniqueValueDefWithXML(QStringLiteral("dn"))->InternalID(),
              gvalNameIDForOnDemandListObj);
    EXPECT_EQ(dmData->FindUniqueValueDefWithXML(QStringLiteral("NoSuchName")), nullptr);
    EXPECT_EQ(dmData->FindUniqueListDefWithXML(QStringLiteral("items"))->InternalID(), S.ldefItems);
    EXPECT_EQ(dmData->FindUniqueDataObjDefWithXML(QStringLiteral("PROJECT"))->InternalID(), S.defRoot);
    TDataValueDef* amount = dmData->FindValueDefWithID(S.valAmount);
    amount->regRenamedXML(QStringLiteral("Quantity"));
    EXPECT_EQ(dmData->FindUniqueValueDefWithXML(QStringLiteral("quantity")), amount);
    EXPECT_EQ(dmData->FindUniqueValueDefWithXML(QStringLiteral("amount")), amount);
    int32_t twin = 0;
    TDataValueDef::Create(twin, QStringLiteral("Name"), QString(), dvtString, QString());
    EXPECT_FALSE(
        assertionMessage([] { dmData->FindUniqueValueDefWithXML(QStringLiteral("name")); }).isEmpty());
    EXPECT_EQ(dmData->FindDataObjDefWithClassName(QStringLiteral("ttestitem"))->InternalID(), S.defItem);
    EXPECT_EQ(dmData->FindDataObjDefWithClassName(QStringLiteral("TNothing")), nullptr);
}

TEST_F(Definitions, ReferenceDeclarationChecks) {
    int32_t id = 0;
    int32_t any = -1;
    EXPECT_EQ(
        assertionMessage([&] {
            TDataValueDef::CreateRef(id, QStringLiteral("R"), QString(), any, std::vector<int32_t>{-4, 0});
        }),
        QStringLiteral("TDataValueDef.CreateRef: ID path contains not initialized defs"));
    int32_t reserved = dmData->forwardDeclObjDef(0);
    EXPECT_FALSE(assertionMessage([&] {
                     TDataValueDef::CreateRef(id, QStringLiteral("R"), QString(), reserved,
                                              QStringLiteral("Items"));
                 }).isEmpty());
    int32_t item = S.defItem;
    TDataValueDef* r =
        TDataValueDef::CreateRef(id, QStringLiteral("R"), QString(), item, QStringLiteral("Items"));
    EXPECT_EQ(r->RefDataType()->InternalID(), S.defItem);
    EXPECT_EQ(r->RefPath(), QStringLiteral("Items"));
    EXPECT_EQ(r->ValueType(), dvtReference);
}

// Values of one definition found at more than 8 (by ID) and 16 (by name) different positions:
// the full caches must not make a lookup miss.
TEST_F(Definitions, FullPositionCachesStillFindEveryValue) {
    std::vector<int32_t> fillers;
    for (int i = 0; i < 30; ++i) {
        int32_t id = 0;
        TDataValueDef::Create(id, QStringLiteral("F%1").arg(i), QString(), dvtInteger, QString());
        fillers.push_back(id);
    }
    int32_t target = 0;
    TDataValueDef::Create(target, QStringLiteral("Target"), QString(), dvtInteger, QString());
    TDataObjDef* def = dmData->FindDataObjDefWithID(S.defSettings);
    std::vector<std::unique_ptr<TDataObj>> objs;
    for (int pos = 0; pos < 25; ++pos) {
        objs.push_back(def->CreateRootDataObj(true, false));
        TDataObj* o = objs.back().get();
        for (int i = 0; i < 28; ++i) {
            if (i == pos) o->cAddVal(target)->setAsInteger(pos);
            o->cAddVal(fillers[static_cast<size_t>(i)]);
        }
    }
    ASSERT_GT(objs[0]->ValueCount(), dmData->valueGroupThreshold());
    for (int round = 0; round < 2; ++round) {
        for (int pos = 0; pos < 25; ++pos) {
            TAbstractDataValue* byID = objs[static_cast<size_t>(pos)]->getValueWithID(target);
            TAbstractDataValue* byName =
                objs[static_cast<size_t>(pos)]->getValueWithXML(QStringLiteral("target"));
            ASSERT_NE(byID, nullptr) << pos;
            ASSERT_EQ(byID, byName) << pos;
            EXPECT_EQ(byID->getAsInteger(), pos);
        }
    }
    // An object that lacks the value answers nothing, and one that gains it later finds it.
    TDataObj* last = objs.back().get();
    TAbstractDataValue* gone = last->getValueWithID(target);
    last->deleteValue(gone);
    EXPECT_EQ(last->getValueWithXML(QStringLiteral("Target")), nullptr);
    EXPECT_EQ(last->getValueWithID(target), nullptr);
    last->cAddVal(target)->setAsInteger(77);
    EXPECT_EQ(last->getValueWithXML(QStringLiteral("Target"))->getAsInteger(), 77);
}
