// The calculation bridge: a project filled from the engine's reference records is calculated and
// compared with a direct run of the engine on those records; the name tables are checked against
// the records and the schema; money, signs, units, year lists and failures.
#include "project_fixture.h"

#include "bridge_project.h"
#include "project_calc.h"

#include "bgx_case_fields.h"
#include "bgx_fixture.h"
#include "errors.h"
#include "log.h"

#include <algorithm>
#include <cmath>
#include <set>

using namespace fmx;
using namespace fmxtest;

namespace {

template <class R, class T> size_t offsetIn(T R::*field) {
    alignas(R) static unsigned char storage[sizeof(R)];
    const auto* probe = reinterpret_cast<const R*>(storage);
    return static_cast<size_t>(reinterpret_cast<const unsigned char*>(&(probe->*field)) - storage);
}

struct TSpan {
    size_t offset, size, align;
    std::string name;
};

template <class R, class T> TSpan spanOf(T R::*field, std::string name) {
    return {offsetIn(field), sizeof(T), alignof(T), std::move(name)};
}

// The spans must cover [from, to) exactly: no overlap, and no gap except the padding an aligned
// member needs. Returns the first fault, or an empty text.
std::string coverageFault(std::vector<TSpan> spans, size_t from, size_t to) {
    std::sort(spans.begin(), spans.end(), [](const TSpan& a, const TSpan& b) { return a.offset < b.offset; });
    size_t end = from;
    for (const TSpan& s : spans) {
        const size_t aligned = (end + s.align - 1) / s.align * s.align;
        if (s.offset < end) return "overlap or duplicate at " + s.name;
        if (s.offset != aligned) return "unfilled field before " + s.name;
        end = s.offset + s.size;
    }
    if ((to - end) >= 8) return "unfilled fields at the end";
    return {};
}

double shownValue(const TBridgeOutput& o, double v) {
    switch (o.kind) {
    case bokPercent:
        return v * 100;
    case bokNegated:
        return -v;
    case bokPayback:
        return v > 0 ? v : 999.9;
    case bokPlain:
        break;
    }
    return v;
}

class BridgeTest : public ProjectTest {
protected:
    void SetUp() override {
        ProjectTest::SetUp();
        setProjectCalcFunction(nullptr);
        newProject();
        testdata::fillAdminVars(refAdmin);
        testdata::fillSubsidy(refSubsidy);
        ref = std::make_unique<TBGXUserData>();
        testdata::fillDairyFarm(*ref);
        fillProject();
        installProjectCalc();
    }

    TDataObj* admin() const { return sub("AdminVars"); }
    TDataObjList* manureRows() const { return sub("BiomassIn")->getListWithID(ldefSubstrateManureList); }
    TDataObjList* cosubRows() const { return sub("BiomassIn")->getListWithID(ldefSubstrateCosubList); }
    TDataObj* financeCase(int c) const { return sub("FinanceOut")->obj(c); }
    TDataObjList* years(int c) const { return financeCase(c)->getListWithID(ldefFinanceYearList); }
    TAbstractDataValue* out(const TBridgeOutput& o) const {
        TDataObj* obj = project->getSubObjWithDefID(*o.objDef);
        if (!obj) obj = sub("FinanceOut")->getSubObjWithDefID(*o.objDef);
        return obj->getValueWithXML(o.xml);
    }
    const TBridgeOutput& output(const char* xml) const {
        for (const TBridgeOutput& o : bridgeOutputs())
            if (o.xml == QLatin1String(xml)) return o;
        throw std::logic_error(xml);
    }
    TDataObj* databaseRecord(const char* name) const { return fmxtest::databaseRecord(*project, name); }
    TDataObj* addRow(const char* substrate, double mass, double cost) {
        return fmxtest::addRow(*project, substrate, mass, cost);
    }
    void fillProject() { fillProjectFromRecords(*project, refAdmin, refSubsidy, *ref); }

    // The engine run on the reference records, as the bridge should reproduce it.
    std::unique_ptr<TBGXUserData> directRun() {
        gAdminVars = refAdmin;
        gSubsidy = refSubsidy;
        auto result = std::make_unique<TBGXUserData>(*ref);
        dmCalcBGX(*result);
        gAdminVars = TBGXAdminVars{};
        gSubsidy = TBGXSubsidy{};
        return result;
    }

    void setCountry(int country, double convpln) {
        withRecalcSuspended(project.get(), [&] {
            val("ExploitationIn", "financial_aspects_country")->setAsInteger(country);
            val("ExploitationIn", "financial_aspects_convpln")->setAsFloat(convpln);
        });
    }

    TBGXAdminVars refAdmin{};
    TBGXSubsidy refSubsidy{};
    std::unique_ptr<TBGXUserData> ref;
};

} // namespace

TEST_F(BridgeTest, NameTablesFillEveryInputFieldOfTheRecords) {
    using U = TBGXUserData;
    std::vector<TSpan> user;
    for (const TBridgeInput& in : bridgeUserInputs())
        std::visit([&](auto field) { user.push_back(spanOf(field, in.xml)); }, in.field);
    EXPECT_EQ(coverageFault(user, offsetIn(&U::substrates_mix) + sizeof(U::substrates_mix),
                            offsetIn(&U::Biomass_total_input_m3)),
              "");

    std::vector<TSpan> adminSpans;
    for (const TBridgeAdmin& a : bridgeAdminFields())
        adminSpans.push_back(spanOf(a.field, a.xml));
    for (const auto& cls : bridgePconnectFields())
        for (auto field : cls)
            adminSpans.push_back(spanOf(field, "Pconnect"));
    EXPECT_EQ(coverageFault(adminSpans, sizeof(TBGXAdminVars::Substrates), sizeof(TBGXAdminVars)), "");

    std::vector<TSpan> subsidySpans;
    for (const TBridgeSubsidy& s : bridgeSubsidyFields())
        subsidySpans.push_back(spanOf(s.field, s.xml));
    for (auto apply : {&TBGXSubsidy::SubGerApply, &TBGXSubsidy::SubNetApply, &TBGXSubsidy::SubFlaApply,
                       &TBGXSubsidy::SubWalApply, &TBGXSubsidy::SubPolApply, &TBGXSubsidy::SubItaApply,
                       &TBGXSubsidy::SubEstApply})
        subsidySpans.push_back(spanOf(apply, "apply"));
    subsidySpans.push_back(spanOf(&TBGXSubsidy::SubNetList, "SubNetList"));
    subsidySpans.push_back(spanOf(&TBGXSubsidy::SubFlaList, "SubFlaList"));
    EXPECT_EQ(coverageFault(subsidySpans, sizeof(TBGXSubsidyApply), sizeof(TBGXSubsidy)), "");

    // Every output field is written (number_engine is the engine's unused field; n_engine is shown).
    std::vector<TSpan> outputs;
    std::set<size_t> seen;
    for (const TBridgeOutput& o : bridgeOutputs())
        if (o.field != &U::n_engine && seen.insert(offsetIn(o.field)).second)
            outputs.push_back(spanOf(o.field, o.xml.toStdString()));
    outputs.push_back(spanOf(&U::number_engine, "number_engine"));
    for (auto rows : kfinance_years)
        outputs.push_back(spanOf(rows, "finance_years"));
    outputs.push_back(spanOf(&U::dummycalc, "dummycalc"));
    EXPECT_EQ(coverageFault(outputs, offsetIn(&U::Biomass_total_input_m3), sizeof(U)), "");
}

TEST_F(BridgeTest, NameTablesUseEverySchemaValue) {
    std::set<QString> read;
    for (const TBridgeInput& in : bridgeUserInputs())
        read.insert(QLatin1String(in.xml));
    for (const TBridgeAdmin& a : bridgeAdminFields())
        read.insert(QLatin1String(a.xml));
    for (const TBridgeSubsidy& s : bridgeSubsidyFields())
        read.insert(QLatin1String(s.xml));
    std::set<QString> written;
    for (const TBridgeOutput& o : bridgeOutputs())
        written.insert(o.xml);
    for (const TBridgeYearField& y : bridgeYearFields())
        written.insert(QLatin1String(y.xml));
    // Values the calculation does not use.
    const std::set<QString> unused{QStringLiteral("INVuser_description"),
                                   QStringLiteral("financial_aspects_costuser_desc"),
                                   QStringLiteral("AdmMaxPaybackPeriod")};
    const auto xmlOf = [](int32_t id) { return dmData->FindValueDefWithID(id)->XMLName(); };
    for (TSchemaGroup g : {grpSubGer, grpSubNet, grpSubFla, grpSubWal, grpSubPol, grpSubIta, grpSubEst,
                           grpAdminVars, grpComponents, grpBiomassIn, grpEnergyIn, grpInstallationIn,
                           grpStorageIn, grpExploitationIn, grpSubsidyIn, grpCashflowIn})
        for (int32_t id : schemaGroup(g))
            EXPECT_TRUE(read.count(xmlOf(id)) || unused.count(xmlOf(id))) << xmlOf(id).toStdString();
    for (TSchemaGroup g : {grpBiomassOut, grpInstallationOut, grpExploitationOut, grpFinSingle})
        for (int32_t id : schemaGroup(g))
            EXPECT_TRUE(written.count(xmlOf(id))) << xmlOf(id).toStdString();
    for (int32_t id : schemaGroup(grpFinYear)) {
        const QString xml = xmlOf(id);
        if (xml.endsWith(QLatin1String("_head")) || xml == QLatin1String("pro_endrow")) continue;
        EXPECT_TRUE(written.count(xml)) << xml.toStdString();
    }
}

TEST_F(BridgeTest, WholeProjectEqualsADirectEngineRun) {
    const auto expected = directRun();
    // Outputs start from a mark that no result has, so an unwritten value shows.
    for (const TBridgeOutput& o : bridgeOutputs())
        out(o)->setAsFloat(-12345);

    ASSERT_TRUE(project->calc(nullptr)) << pendingLogText().toStdString();
    EXPECT_FALSE(project->recalcNeeded());
    for (const TBridgeOutput& o : bridgeOutputs())
        EXPECT_DOUBLE_EQ(out(o)->getAsFloat(), shownValue(o, expected.get()->*o.field))
            << o.xml.toStdString();
    for (int c = 0; c < 4; ++c) {
        ASSERT_EQ(years(c)->objCount(), 22);
        const TBGX_Finance_Years& rows = expected.get()->*kfinance_years[static_cast<size_t>(c)];
        for (int r = 0; r < 22; ++r)
            for (const TBridgeYearField& y : bridgeYearFields())
                EXPECT_DOUBLE_EQ(years(c)->obj(r)->getValueWithXML(QLatin1String(y.xml))->getAsFloat(),
                                 rows[static_cast<size_t>(r)].*y.field)
                    << c << " " << r << " " << y.xml;
    }
    EXPECT_DOUBLE_EQ(val("FinanceOut", "DummyCalc")->getAsFloat(), gUserData.dummycalc);
    EXPECT_GT(val("BiomassOut", "Biogas_nm3")->getAsFloat(), 0);
    EXPECT_GT(val("InstallationOut", "Total_CHP")->getAsFloat(), 0);
}

TEST_F(BridgeTest, RenamedValuesReachTheirRecordFields) {
    withRecalcSuspended(project.get(), [&] {
        val("BiomassIn", "trt_user")->setAsFloat(44);
        val("BiomassIn", "Digester_type")->setAsInteger(2);
        val("InstallationIn", "land_c1_user")->setAsFloat(41000);
        val("InstallationIn", "a_hall_user")->setAsFloat(321);
        val("InstallationIn", "mpast_user")->setAsFloat(77);
        val("InstallationIn", "tdepr")->setAsFloat(15);
        val("SubsidyIn", "SubPolInvMax")->setAsFloat(123456);
        val("SubsidyIn", "SubGerApplyManure")->setAsBoolean(false);
        admin()->getValueWithXML(QStringLiteral("AdmTchp"))->setAsFloat(7777);
        project->projectSub()
            ->getSubObjWithDefID(defSubsidyPoland)
            ->getValueWithXML(QStringLiteral("SubPolEffrefEle"))
            ->setAsFloat(0.42);
        admin()
            ->getListWithID(ldefAdmPconnectList)
            ->obj(3)
            ->getValueWithXML(QStringLiteral("AdmPconnect_KW"))
            ->setAsFloat(1401);
    });
    fill_BGXSubsidy_from_dm(project->projectSub());
    fill_BGXAdminVars_from_dm(*project, nullptr);
    fill_BGXUserData_from_dm(*project, nullptr, 1);
    EXPECT_EQ(gUserData.Trt_user, 44);
    EXPECT_EQ(gUserData.DigesterType, 2);
    EXPECT_EQ(gUserData.Land_C1_user, 41000);
    EXPECT_EQ(gUserData.A_hall_user, 321);
    EXPECT_EQ(gUserData.Mpast_user, 77);
    EXPECT_EQ(gUserData.Tdepr, 15);
    EXPECT_EQ(gUserData.subpolinvmax, 123456);
    EXPECT_FALSE(gUserData.subgerapplymanure);
    EXPECT_EQ(gAdminVars.Tchp, 7777);
    EXPECT_EQ(gSubsidy.SubPolEffrefElec, 0.42);
    EXPECT_EQ(gAdminVars.Pconnect_1400_Pconnect_KW, 1401);
    EXPECT_EQ(gAdminVars.Pconnect_800_Pconnect_KW, refAdmin.Pconnect_800_Pconnect_KW);
}

TEST_F(BridgeTest, FewerThanSixConnectionClassesIsAnError) {
    TDataObjList* connections = admin()->getListWithID(ldefAdmPconnectList);
    setProjectCalcFunction(nullptr);
    connections->removeObject(connections->obj(5), false);
    try {
        fill_BGXAdminVars_from_dm(*project, nullptr);
        FAIL() << "no error";
    } catch (const TBaseDataError& e) {
        EXPECT_EQ(e.kind(), tdek_CalcError);
    }
}

TEST_F(BridgeTest, PolishMoneyIsConvertedOnTheWayInAndOut) {
    setCountry(6, 4);
    withRecalcSuspended(project.get(), [&] {
        manureRows()->obj(0)->getValueWithID(valRelcost_i)->setAsFloat(40);
        val("InstallationIn", "INVuser_amount")->setAsFloat(400000);
    });
    ASSERT_FALSE(project->recalcNeeded()) << "the Polish project should calculate";
    EXPECT_DOUBLE_EQ(gUserData.substrates_mix[0].RELcost_i, 10);
    EXPECT_DOUBLE_EQ(gUserData.INVuser_amount, 100000);
    EXPECT_DOUBLE_EQ(gUserData.Land_C1_user, ref->Land_C1_user / 4);
    EXPECT_DOUBLE_EQ(gUserData.subpolinvmax, ref->subpolinvmax); // limits stay in zloty
    EXPECT_DOUBLE_EQ(val("InstallationOut", "INVuser_amount_CHP")->getAsFloat(), 400000);
    for (const TBridgeOutput& o : bridgeOutputs())
        EXPECT_DOUBLE_EQ(out(o)->getAsFloat(), shownValue(o, gUserData.*o.field) * (o.money ? 4 : 1))
            << o.xml.toStdString();
    const TBGX_Finance_Year& row = gUserData.finance_years_chp[5];
    EXPECT_DOUBLE_EQ(years(0)->obj(5)->getValueWithXML(QStringLiteral("cas_res_cashflow"))->getAsFloat(),
                     row.cas_res_cashflow * 4);

    // A factor of 0 (below the entry limit, but possible in an older file) converts nothing.
    TDataObj* exploitation = sub("ExploitationIn");
    exploitation->setBusySync(true);
    exploitation->getValueWithID(valfinancial_aspects_convpln)->setAsFloat(0);
    exploitation->setBusySync(false);
    // (The engine itself cannot run the Polish scheme with it, so the two steps are run alone.)
    EXPECT_EQ(currencyFactor(*project), 1);
    fill_BGXUserData_from_dm(*project, nullptr, currencyFactor(*project));
    EXPECT_DOUBLE_EQ(gUserData.substrates_mix[0].RELcost_i, 40);
    EXPECT_DOUBLE_EQ(gUserData.INVuser_amount, 400000);
    convEurtoPln(*project);
    EXPECT_DOUBLE_EQ(val("InstallationOut", "INVuser_amount_CHP")->getAsFloat(), 400000);
    EXPECT_DOUBLE_EQ(years(0)->obj(5)->getValueWithXML(QStringLiteral("cas_res_cashflow"))->getAsFloat(),
                     row.cas_res_cashflow * 4);
}

TEST_F(BridgeTest, WriteBackNegatesSubsidiesShowsPercentAndPayback) {
    ASSERT_TRUE(project->calc(nullptr));
    struct TCase {
        double TBGXUserData::*field;
        double engine;
        const char* obj;
        const char* xml;
        double shown;
    };
    const TCase cases[] = {
        {&TBGXUserData::Subsidy_CHP, 5000, "InstallationOut", "Subsidy_CHP", -5000},
        {&TBGXUserData::Subsidy_Biomethane_ext_heat, -20, "InstallationOut", "Subsidy_Biomethane_ext_heat",
         20},
        {&TBGXUserData::PEReff_chp_elec, 0.385, "InstallationOut", "PEReff_chp_elec", 38.5},
        {&TBGXUserData::PEReff_chp_therm, 0.45, "InstallationOut", "PEReff_chp_therm", 45},
        {&TBGXUserData::simply_payback_time_chp, -3, "ExploitationOut", "simply_payback_time_chp", 999.9},
        {&TBGXUserData::simply_payback_time_chp_heat, 0, "ExploitationOut", "simply_payback_time_chp_heat",
         999.9},
        {&TBGXUserData::simply_payback_time_biomethane_ext_heat, 6.5, "ExploitationOut",
         "simply_payback_time_b_ext_heat", 6.5},
        {&TBGXUserData::Startup_CHP_Heat, 1234, "InstallationOut", "Startup_CHP_heat", 1234},
        {&TBGXUserData::heat_prod_CHP_heat, 4321, "InstallationOut", "Heat_prod_CHP_heat", 4321},
        {&TBGXUserData::INVsystem_chp_tpersonnel, 17, "InstallationOut", "Tpersonnel_total", 17},
        {&TBGXUserData::n_engine, 2, "InstallationOut", "number_engine", 2},
    };
    for (const TCase& c : cases)
        gUserData.*c.field = c.engine;
    writeBGXResults(*project);
    for (const TCase& c : cases)
        EXPECT_DOUBLE_EQ(val(c.obj, c.xml)->getAsFloat(), c.shown) << c.xml;
}

TEST_F(BridgeTest, ARemovedSubstrateLineIsLeftOutOfTheCalculationItTriggers) {
    ASSERT_TRUE(project->calc(nullptr));
    const double before = val("BiomassOut", "Biomass_total_input_ton")->getAsFloat();
    withRecalcSuspended(project.get(), [&] { addRow("Pig slurry", 500, 0); });
    ASSERT_EQ(gUserData.substrates_mix[1].Name, "Pig slurry");

    TDataObj* first = manureRows()->obj(0); // cattle slurry, 10000 t
    manureRows()->removeObject(first, false);
    EXPECT_FALSE(project->recalcNeeded());
    EXPECT_EQ(gUserData.substrates_mix[0].Name, "Pig slurry");
    EXPECT_EQ(gUserData.substrates_mix[1].Name, "Maize silage");
    EXPECT_EQ(gUserData.substrates_mix[2].Name, "");
    EXPECT_DOUBLE_EQ(val("BiomassOut", "Biomass_total_input_ton")->getAsFloat(), before - 10000 + 500);

    // A database record being removed is left out of the database the same way.
    fill_BGXAdminVars_from_dm(*project, databaseRecord("Pig slurry"));
    for (const TBGXSubstrate& s : gAdminVars.Substrates)
        EXPECT_NE(s.Name, "Pig slurry");
    EXPECT_EQ(gAdminVars.Substrates[0].Name, refAdmin.Substrates[0].Name);
}

TEST_F(BridgeTest, LinesWithoutSubstrateLeaveNoGapInTheMix) {
    withRecalcSuspended(project.get(), [&] {
        manureRows()->cAddObj(-1); // no substrate chosen yet
        manureRows()->moveObjBeforePos(manureRows()->lastObj(), 0);
    });
    fill_BGXUserData_from_dm(*project, nullptr, 1);
    EXPECT_EQ(gUserData.substrates_mix[0].Name, "Cattle slurry");
    EXPECT_EQ(gUserData.substrates_mix[1].Name, "Maize silage");
}

TEST_F(BridgeTest, YearListsAreGrownOnceAndReused) {
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(years(c)->objCount(), 0);
    ASSERT_TRUE(project->calc(nullptr));
    std::vector<TDataObj*> entries;
    for (int r = 0; r < 22; ++r)
        entries.push_back(years(2)->obj(r));
    TAbstractDataValue* energy = entries[7]->getValueWithXML(QStringLiteral("pro_rev_energy"));
    energy->setAsFloat(-1);

    ASSERT_TRUE(project->calc(nullptr));
    ASSERT_EQ(years(2)->objCount(), 22);
    for (int r = 0; r < 22; ++r)
        EXPECT_EQ(years(2)->obj(r), entries[static_cast<size_t>(r)]);
    EXPECT_DOUBLE_EQ(energy->getAsFloat(), gUserData.finance_years_biomethane[7].pro_rev_energy);
    EXPECT_NE(energy->getAsFloat(), -1);
}

TEST_F(BridgeTest, AFailedRunWritesNothingAndShowsTheMessage) {
    val("EnergyIn", "Lfeed_elec")->setAsFloat(900); // a successful calculation first
    ASSERT_FALSE(project->recalcNeeded());
    const double npv = financeCase(0)->getValueWithXML(QStringLiteral("finance_npv"))->getAsFloat();
    const double biogas = val("BiomassOut", "Biogas_nm3")->getAsFloat();
    const double network = val("InstallationOut", "Electric_network_CHP")->getAsFloat();
    const double dummy = val("FinanceOut", "DummyCalc")->getAsFloat();
    ASSERT_EQ(years(0)->objCount(), 22);
    const double cashflow =
        years(0)->obj(9)->getValueWithXML(QStringLiteral("cas_res_cashflow"))->getAsFloat();

    // The maize silage record is being removed while a line still uses it: no valid substrate.
    gErrorBoxes.clear();
    project->markRecalcNeeded(databaseRecord("Maize silage"));
    EXPECT_TRUE(project->recalcNeeded());
    ASSERT_EQ(gErrorBoxes.size(), 1u);
    EXPECT_EQ(gErrorBoxes[0], QStringLiteral("Unsuccessful calculation! Evaluate input values."));
    EXPECT_TRUE(pendingLogText().contains(QStringLiteral("No valid substrate input: Maize silage")));
    EXPECT_DOUBLE_EQ(financeCase(0)->getValueWithXML(QStringLiteral("finance_npv"))->getAsFloat(), npv);
    EXPECT_DOUBLE_EQ(val("BiomassOut", "Biogas_nm3")->getAsFloat(), biogas);
    EXPECT_DOUBLE_EQ(val("InstallationOut", "Electric_network_CHP")->getAsFloat(), network);
    EXPECT_DOUBLE_EQ(years(0)->obj(9)->getValueWithXML(QStringLiteral("cas_res_cashflow"))->getAsFloat(),
                     cashflow);
    EXPECT_DOUBLE_EQ(val("FinanceOut", "DummyCalc")->getAsFloat(), dummy);
}

TEST_F(BridgeTest, EmptyTemplateCalculatesNothing) {
    project->getValueWithID(valTemplate)->setAsString(QString());
    gUserData.dummycalc = 0;
    EXPECT_FALSE(project->calc(nullptr));
    EXPECT_EQ(gUserData.dummycalc, 0);
    EXPECT_EQ(years(0)->objCount(), 0);
}

TEST_F(BridgeTest, EngineErrorsBecomeCalculationErrors) {
    const TBaseDataError substrate = calcErrorOf(TBGXSubstrateError("Banana peel"));
    EXPECT_EQ(substrate.kind(), tdek_CalcError);
    EXPECT_EQ(substrate.message(), QStringLiteral("No valid substrate input: Banana peel"));
    const TBaseDataError range = calcErrorOf(std::range_error("out of range"));
    EXPECT_EQ(range.kind(), tdek_CalcError);
    EXPECT_EQ(range.message(), QStringLiteral("out of range"));
}
