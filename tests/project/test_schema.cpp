#include "project_fixture.h"

#include "errors.h"
#include "globaldata.h"

#include <QSet>

#include <functional>

using namespace fmx;
using namespace fmxtest;

namespace {

// Every value definition ID in a tree, and the number of values met.
void collectValueDefs(TDataObj* obj, QSet<int32_t>& ids) {
    for (int i = 0; i < obj->ValueCount(); ++i)
        ids.insert(obj->value(i)->defID());
    for (int i = 0; i < obj->objCount(); ++i)
        collectValueDefs(obj->obj(i), ids);
    for (int i = 0; i < obj->ListCount(); ++i)
        for (int j = 0; j < obj->list(i)->objCount(); ++j)
            collectValueDefs(obj->list(i)->obj(j), ids);
}

// Adds one element to every list of the tree (recursively, lists first created empty).
void addOneToEveryList(TDataObj* obj) {
    for (int i = 0; i < obj->objCount(); ++i)
        addOneToEveryList(obj->obj(i));
    for (int i = 0; i < obj->ListCount(); ++i) {
        TDataObjList* list = obj->list(i);
        if (list->Definition()->InternalID() == gldefNotes) continue;
        ASSERT_EQ(list->objCount(), 0) << list->Definition()->XMLName().toStdString();
        addOneToEveryList(list->cAddObj(-1));
    }
}

QStringList xmlNamesOfObjects(TDataObj* obj) {
    QStringList names;
    for (int i = 0; i < obj->objCount(); ++i)
        names << obj->obj(i)->Definition()->XMLName();
    return names;
}

// The XML names of the schema's values in obj (the framework's own values left out).
QStringList xmlNamesOfValues(TDataObj* obj, int frameworkValues) {
    QStringList names;
    for (int i = 0; i < obj->ValueCount(); ++i)
        if (dmData->valDefIdx(obj->value(i)->defID()) >= frameworkValues)
            names << obj->value(i)->Definition()->XMLName();
    return names;
}

} // namespace

TEST_F(ProjectTest, SchemaDeclaresExactly44Objects8ListsAnd752Values) {
    EXPECT_EQ(dmData->numObjDefs() - frameworkObjs, 44);
    EXPECT_EQ(dmData->numListDefs() - frameworkLists, 8);
    EXPECT_EQ(dmData->numValDefs() - frameworkValues, 752);
    // Every XML name is unique within its kind (a lookup by name asserts on duplicates).
    for (int i = frameworkValues; i < dmData->numValDefs(); ++i) {
        TDataValueDef* d = dmData->FindValueDefWithID(dmData->valDefID(i));
        EXPECT_EQ(dmData->FindUniqueValueDefWithXML(d->XMLName()), d);
    }
    EXPECT_EQ(gDefGlobaleDataID, defApplGlobalData);
    EXPECT_EQ(dmData->FindDataObjDefWithID(gDefGlobaleDataID)->XMLName(), QStringLiteral("GlobaleData"));
    EXPECT_EQ(getExceptionRec(tdek_CalcError).fDefText, QStringLiteral("Calculation error"));
}

TEST_F(ProjectTest, SchemaCanBeDeclaredAgainIntoAFreshRegistry) {
    const int32_t firstTrt = valtrt_user;
    reg.reset();
    reg = TdmData::create();
    dmProjectCreateDefs();
    EXPECT_EQ(valtrt_user, firstTrt);
    EXPECT_EQ(dmData->numValDefs() - frameworkValues, 752);
    EXPECT_EQ(newProject()->getSubObjWithXML(QStringLiteral("BiomassIn"))->ValueCount(), 2);
}

TEST_F(ProjectTest, EveryDeclaredValueIsPlacedInATreeByItsClasses) {
    addOneToEveryList(newProject());
    addOneToEveryList(newSubsidy());
    QSet<int32_t> placed;
    collectValueDefs(project.get(), placed);
    collectValueDefs(subsidy.get(), placed);
    for (int i = frameworkValues; i < dmData->numValDefs(); ++i)
        EXPECT_TRUE(placed.contains(dmData->valDefID(i)))
            << dmData->FindValueDefWithID(dmData->valDefID(i))->XMLName().toStdString();
}

TEST_F(ProjectTest, NewProjectHasItsChildrenInOrderWithEmptyLists) {
    newProject();
    EXPECT_EQ(xmlNamesOfValues(project.get(), frameworkValues),
              (QStringList{QStringLiteral("RecalcNeeded"), QStringLiteral("Template"),
                           QStringLiteral("SubsidyFileName")}));
    EXPECT_EQ(xmlNamesOfObjects(project.get()),
              (QStringList{QStringLiteral("AdminVars"), QStringLiteral("BiomassIn"),
                           QStringLiteral("EnergyIn"), QStringLiteral("InstallationIn"),
                           QStringLiteral("StorageIn"), QStringLiteral("ExploitationIn"),
                           QStringLiteral("SubsidyIn"), QStringLiteral("CashflowIn"),
                           QStringLiteral("BiomassOut"), QStringLiteral("InstallationOut"),
                           QStringLiteral("ExploitationOut"), QStringLiteral("FinanceOut")}));

    TDataObj* admin = sub("AdminVars");
    ASSERT_EQ(admin->ListCount(), 3);
    EXPECT_EQ(admin->list(0)->Definition()->XMLName(), QStringLiteral("AdmSubstrateManureList"));
    EXPECT_EQ(admin->list(1)->Definition()->XMLName(), QStringLiteral("AdmSubstrateCosubList"));
    EXPECT_EQ(admin->list(2)->Definition()->XMLName(), QStringLiteral("AdmPconnectList"));
    EXPECT_EQ(xmlNamesOfObjects(admin), QStringList{QStringLiteral("AdmComponentsDatabase")});
    EXPECT_EQ(admin->obj(0)->ValueCount(), 165);
    EXPECT_EQ(admin->ValueCount(), 52);

    TDataObj* finance = sub("FinanceOut");
    EXPECT_EQ(
        xmlNamesOfObjects(finance),
        (QStringList{QStringLiteral("finance_chp"), QStringLiteral("finance_chp_heat"),
                     QStringLiteral("finance_biomethane"), QStringLiteral("finance_biomethane_ext_heat")}));
    EXPECT_EQ(xmlNamesOfValues(finance, frameworkValues), QStringList{QStringLiteral("DummyCalc")});

    // Value counts of the groups and the order where it differs from the declaration.
    const struct {
        const char* obj;
        int values;
        const char* first;
        const char* last;
    } groups[] = {
        {"BiomassIn", 2, "trt_user", "Digester_type"},
        {"EnergyIn", 18, "Apply_heat", "n_engine"},
        {"InstallationIn", 12, "Apply_past", "INVuser_amount"},
        {"StorageIn", 33, "Cosub_liq_Tstor_user", "Water_StorType_user"},
        {"ExploitationIn", 31, "biomass_relcost_dig", "subsidy_perpayperiod3"},
        {"SubsidyIn", 38, "SubUserElec1", "SubEstApplyLessFavArea"},
        {"CashflowIn", 6, "PERescEnergy", "Tcashflow"},
        {"BiomassOut", 22, "Biomass_total_input_m3", "Mineralised_nitrogen"},
        {"InstallationOut", 137, "Digester", "Total_Biomethane_ext_heat"},
        {"ExploitationOut", 74, "chp_investment", "simply_payback_time_b_ext_heat"},
    };
    for (const auto& g : groups) {
        const QStringList names = xmlNamesOfValues(sub(g.obj), frameworkValues);
        EXPECT_EQ(names.size(), g.values) << g.obj;
        EXPECT_EQ(names.value(0), QLatin1String(g.first)) << g.obj;
        EXPECT_EQ(names.value(names.size() - 1), QLatin1String(g.last)) << g.obj;
    }
    const QStringList inst = xmlNamesOfValues(sub("InstallationOut"), frameworkValues);
    EXPECT_EQ(inst.indexOf(QStringLiteral("Subsidy_CHP")) + 1, inst.indexOf(QStringLiteral("Startup_CHP")));
    EXPECT_EQ(inst.indexOf(QStringLiteral("Startup_CHP_heat")) + 1,
              inst.indexOf(QStringLiteral("Subsidy_CHP_Heat")));
    const QStringList storage = xmlNamesOfValues(sub("StorageIn"), frameworkValues);
    EXPECT_EQ(storage.mid(9, 6),
              (QStringList{QStringLiteral("Man_sol_Tstor_user"), QStringLiteral("Man_sol_StorType_user"),
                           QStringLiteral("Man_sol_Vstor_avail_user"), QStringLiteral("Dig_Tstor_user"),
                           QStringLiteral("Dig_Muselocal"), QStringLiteral("Dig_StorType_user")}));

    // Each finance case owns its own, empty year list.
    std::vector<TDataObjList*> yearLists;
    for (int i = 0; i < 4; ++i) {
        TDataObjList* l = finance->obj(i)->getListWithID(ldefFinanceYearList);
        ASSERT_NE(l, nullptr);
        EXPECT_EQ(l->objCount(), 0);
        for (TDataObjList* other : yearLists)
            EXPECT_NE(l, other);
        yearLists.push_back(l);
    }
}

TEST_F(ProjectTest, NewProjectValuesStartAtTheirDefaults) {
    newProject();
    const struct {
        const char* obj;
        const char* value;
        double expected;
    } cases[] = {
        {nullptr, "RecalcNeeded", 2},
        {"BiomassIn", "trt_user", 40},
        {"BiomassIn", "Digester_type", 1},
        {"EnergyIn", "Apply_heat", 2},
        {"EnergyIn", "Apply_biogasnet", 1},
        {"EnergyIn", "Lheatdeliv", 250},
        {"EnergyIn", "PRESS_feed_gas", 8},
        {"InstallationIn", "land_c1_user", 55000},
        {"InstallationIn", "tdepr", 12},
        {"ExploitationIn", "financial_aspects_perinterest", 6},
        {"ExploitationIn", "financial_aspects_perequity", 20},
        {"ExploitationIn", "energy_use_relcost_elec", 0.1},
        {"CashflowIn", "Tax_on_profit", 25},
        {"StorageIn", "Man_liq_Vstor_avail_user", 1000},
        {"StorageIn", "Cosub_sol_Tstor_user", 6},
        {"StorageIn", "Cosub_liq_StorType_user", 2},
        {"StorageIn", "Dig_StorType_user", 1},
        {"StorageIn", "ThickFrac_StorType_user", 5},
    };
    for (const auto& c : cases) {
        TAbstractDataValue* v =
            c.obj ? val(c.obj, c.value) : project->getValueWithXML(QLatin1String(c.value));
        ASSERT_NE(v, nullptr) << c.value;
        EXPECT_DOUBLE_EQ(v->getAsFloat(), c.expected) << c.value;
    }
    for (int i = 0; i < project->objCount(); ++i)
        for (int l = 0; l < project->obj(i)->ListCount(); ++l)
            EXPECT_EQ(project->obj(i)->list(l)->objCount(), 0);
}

TEST_F(ProjectTest, DeclaredDetailsOfValues) {
    TDataValueDef* type = dmData->FindValueDefWithID(valAdmSubCosubType_i);
    EXPECT_EQ(type->getEnumTextForID(3), QStringLiteral("Liquid co-substrate"));
    EXPECT_EQ(type->getEnumIndexForID(1), -1);
    TDataValueDef* storage = dmData->FindUniqueValueDefWithXML(QStringLiteral("Cosub_liq_StorType_user"));
    EXPECT_EQ(storage->enumCount(), 3);
    EXPECT_EQ(storage->getEnumTextForID(4), QStringLiteral("Plastic"));
    EXPECT_EQ(storage->getEnumIndexForID(3), -1);
    EXPECT_TRUE(dmData->FindValueDefWithID(valApply_heat)->IsBoolean());
    EXPECT_EQ(dmData->FindValueDefWithID(valSubGerABasicFee)->unitDescr(), QString::fromUtf8("€ct"));
    EXPECT_EQ(dmData->FindValueDefWithID(valVsub_i)->Decimalen(), 0);
    EXPECT_EQ(dmData->FindValueDefWithID(valfinance_irr)->Decimalen(), 2);

    const struct {
        const char* xml;
        const char* caption;
        const char* unit;
        int decimals;
    } family[] = {
        {"AdmC1_Digester_A", "DigesterVertical_C1", "", -1},
        {"AdmBY_Digester_A", "DigesterVertical_PriceRefYear", "", -1},
        {"AdmBY_Polyester", "StoragePolyesterVertical_BY", "", -1},
        {"AdmC2_PERadvise", "Advise_C2", "EUR", -1},
        {"AdmC1_PERstartup", "StartupCosts_C1", "%", -1},
        {"AdmPRESSin", "ConnectionToGasGrid_PressIn", "bar", -1},
        {"Heat_prod_CHP_heat", "heat_prod_CHP_heat", "", 0},
        {"Heat_prod_CHP", "Production of heat", "", 0},
        {"Startup_CHP_heat", "Startup", "EUR", 0},
        {"Subsidy_Biomethane", "Investment subsidy", "", 0},
        {"Inspection_CHP_Heat", "Inspection_CHP_Heat", "", 1},
        {"INVuser_amount_CHP_Heat", "", "", 0},
        {"Digester_CHP", "Digester", "EUR", 0},
        {"in_biomethane_b_ext_heat", "Sellling biomethane", "", 0},
        {"simply_payback_time_chp_heat", "Simple pay-back time", "year", 1},
        {"Man_sol_Vstor_avail_user", "Man_sol_VStor_avail_user", "m3", -1},
    };
    for (const auto& f : family) {
        TDataValueDef* d = dmData->FindUniqueValueDefWithXML(QLatin1String(f.xml));
        ASSERT_NE(d, nullptr) << f.xml;
        EXPECT_EQ(d->DisplayName(), QLatin1String(f.caption)) << f.xml;
        EXPECT_EQ(d->unitDescr(), QLatin1String(f.unit)) << f.xml;
        EXPECT_EQ(d->Decimalen(), f.decimals) << f.xml;
    }
    TDataValueDef* ref = dmData->FindValueDefWithID(valSubstrateManureAdmRef);
    EXPECT_EQ(ref->RefDataType(), dmData->FindDataObjDefWithID(defAdmSubstrateManure));
    EXPECT_EQ(ref->RefPath(), QStringLiteral("\\-AdminVars-AdmSubstrateManureList"));
}

TEST_F(ProjectTest, LimitsOfInputsRefuseValuesOutsideThem) {
    newProject();
    const struct {
        const char* obj;
        const char* value;
        double refused;
        double accepted;
    } cases[] = {
        {"BiomassIn", "trt_user", 19.99, 20},
        {"BiomassIn", "trt_user", 120.01, 120},
        {"ExploitationIn", "financial_aspects_convpln", 0.009, 0.01},
        {"EnergyIn", "Heatnetwork_dT", 0, 1e-06},
        {"EnergyIn", "PRESS_feed_gas", 0, 0.5},
        {"InstallationIn", "tdepr", -1, 1},
        {"ExploitationIn", "financial_aspects_perinterest", 0, 0.1},
        {"ExploitationIn", "financial_aspects_tloan", 0, 10},
    };
    for (const auto& c : cases) {
        TAbstractDataValue* v = val(c.obj, c.value);
        EXPECT_NO_THROW(v->setAsFloat(c.accepted)) << c.value << " " << c.accepted;
        EXPECT_THROW(v->setAsFloat(c.refused), ERangeError) << c.value << " " << c.refused;
        EXPECT_DOUBLE_EQ(v->getAsFloat(), c.accepted) << c.value;
    }
    // The density of a substrate record must be above zero as well.
    TDataObj* rec = sub("AdminVars")->getListWithID(ldefAdmSubstrateManureList)->cAddObj(-1);
    EXPECT_THROW(rec->getValueWithID(valAdmREL_dens_i)->setAsFloat(0), ERangeError);
    EXPECT_DOUBLE_EQ(rec->getValueWithID(valAdmREL_dens_i)->getAsFloat(), 1);
}

TEST_F(ProjectTest, SubstrateNamesAreUniquePerDatabase) {
    newProject();
    TDataObj* admin = sub("AdminVars");
    const auto add = [&](int32_t listDef, const char* name, int type) {
        TDataObj* rec = admin->getListWithID(listDef)->cAddObj(-1);
        rec->getValueWithID(valAdmName)->setAsString(QLatin1String(name));
        rec->getValueWithID(listDef == ldefAdmSubstrateManureList ? valAdmSubManureType_i
                                                                  : valAdmSubCosubType_i)
            ->setAsInteger(type);
        return rec;
    };
    TDataObj* cattle = add(ldefAdmSubstrateManureList, "Cattle", 1);
    TDataObj* maize = add(ldefAdmSubstrateCosubList, "Cattle", 4);
    EXPECT_EQ(cattle->getName(), QStringLiteral("Cattle (Liquid manure)"));
    EXPECT_EQ(maize->getName(), QStringLiteral("Cattle (Solid co-substrate)"));
    std::vector<TIndexError> errors;
    EXPECT_FALSE(project->checkIndexConstraints(errors));
    EXPECT_TRUE(errors.empty());
    add(ldefAdmSubstrateManureList, "Cattle", 2);
    EXPECT_TRUE(project->checkIndexConstraints(errors));
    EXPECT_FALSE(errors.empty());
}

TEST_F(ProjectTest, SubsidyRulesHoldSevenCountriesEachEndingWithItsApplyObject) {
    newSubsidy();
    const char* const countries[] = {"SubsidyGermany", "SubsidyNetherlands", "SubsidyFlanders",
                                     "SubsidyWallons", "SubsidyPoland",      "SubsidyItaly",
                                     "SubsidyEstonia"};
    const char* const applies[] = {"SubGerApply", "SubNetApply", "SubFlaApply", "SubWalApply",
                                   "SubPolApply", "SubItaApply", "SubEstApply"};
    ASSERT_EQ(subsidy->objCount(), 7);
    for (int i = 0; i < 7; ++i) {
        TDataObj* c = subsidy->obj(i);
        EXPECT_EQ(c->Definition()->XMLName(), QLatin1String(countries[i]));
        ASSERT_EQ(c->objCount(), 1);
        EXPECT_EQ(c->obj(0)->Definition()->XMLName(), QLatin1String(applies[i]));
        EXPECT_EQ(c->obj(0)->Definition()->DisplayName(), QStringLiteral("Subsidy Apply Parameters"));
        EXPECT_EQ(c->obj(0)->ValueCount(), 6);
    }
    EXPECT_EQ(subsidy->obj(0)->ValueCount(), 36);
    EXPECT_EQ(subsidy->obj(1)->getListWithID(ldefSubNetList)->objCount(), 0);
    EXPECT_NE(subsidy->obj(2)->getListWithID(ldefSubFlaList), nullptr);
}

TEST_F(ProjectTest, FrameworkLongNameValueIsCaptionedName) {
    reg.reset();
    reg = TdmData::create();
    int32_t naam = 0;
    TDataValueDef::Create(naam, QStringLiteral("Naam"), QString(), dvtString, QString());
    valNaamLang = naam;
    dmProjectCreateDefs();
    valNaamLang = 0;
    EXPECT_EQ(dmData->FindValueDefWithID(naam)->DisplayName(), QStringLiteral("Name"));
    EXPECT_EQ(dmData->FindValueDefWithID(naam)->XMLName(), QStringLiteral("Naam"));
}
