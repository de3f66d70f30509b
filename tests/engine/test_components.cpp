// Cost curves, minimums, price correction, yearly needs, grid connections, investment per case and
// yearly costs.
#include "bgx_case_fields.h"
#include "engine_test_support.h"

#include <cmath>

using namespace fmx;
using fmx::testing::EngineTest;
using fmx::testing::makeRun;
using fmx::testing::runSections;
using fmx::testing::Upto;

namespace {
const double kCorrection = 1.02 * 1.02; // fixture prices refer to 2009, corrected to 2011 at 2 %
}

TEST_F(EngineTest, PlugFlowDigesterReplacesTheStirredOneWithItsMinimum) {
    gUserData.DigesterType = 2;
    BGXRun run = makeRun();
    runSections(run, Upto::Components);
    EXPECT_EQ(run.digA.invest, 0);
    EXPECT_EQ(run.digA.maint, 0);
    EXPECT_EQ(run.digA.personnel, 0);
    EXPECT_EQ(run.HA_MJ, 0);
    EXPECT_EQ(run.EA_kWh, 0);
    // 30 x 13000 t + 300000 = 690000 is above the minimum of 610000.
    EXPECT_NEAR(run.digB.raw, 690000, 1e-6);
    EXPECT_NEAR(run.digB.invest, 690000 * kCorrection, 1e-6);
    EXPECT_NEAR(run.HB_MJ, 0.1 * run.E_MJ, 1e-6);

    testdata::fillGlobals();
    gUserData.DigesterType = 2;
    gAdminVars.C2_Digester_B = 1;
    BGXRun small = makeRun();
    runSections(small, Upto::Components);
    EXPECT_DOUBLE_EQ(small.digB.raw, 610000);
}

TEST_F(EngineTest, DryerCostsItsMinimumOnlyWhenSelected) {
    gUserData.Apply_sep = true;
    gUserData.Apply_dry = true;
    gAdminVars.C1_Dry = 1; // a curve far below the minimum
    BGXRun run = makeRun();
    runSections(run, Upto::Components);
    EXPECT_GT(run.HD_MJ, 0);
    EXPECT_DOUBLE_EQ(run.dryer.raw, 150000);

    gUserData.Apply_dry = false;
    BGXRun none = makeRun();
    runSections(none, Upto::Components);
    EXPECT_EQ(none.dryer.raw, 0);
    EXPECT_EQ(none.dryer.invest, 0);
}

TEST_F(EngineTest, PlasticTanksAreSplitIntoEqualTanks) {
    // A liquid co-substrate need of 2500 m3 in tanks of at most 1000 m3: three tanks of 833.33 m3.
    gAdminVars.Substrates[3].REL_dens_i = 1;
    gUserData.substrates_mix[2] = {"Glycerine", 3, 5000, 0};
    gUserData.Cosub_liq_Tstor_user = 6;
    gUserData.Cosub_liq_StorType_user = 4;
    BGXRun withTanks = makeRun();
    runSections(withTanks, Upto::Components);
    ASSERT_NEAR(withTanks.inNeed_m3[kCosubLiq], 2500, 1e-9);
    gUserData.Cosub_liq_Tstor_user = 0;
    BGXRun without = makeRun();
    runSections(without, Upto::Components);
    const double threeTanks = ((2500.0 / 3) * 90 + 8000) * 3;
    EXPECT_NEAR(withTanks.storageInvest - without.storageInvest, threeTanks * kCorrection, 1e-6);
}

TEST_F(EngineTest, StorageTypeNotOfferedByTheStreamCostsNothing) {
    BGXRun run = makeRun();
    runSections(run, Upto::Components);
    gUserData.Cosub_sol_StorType_user = 1; // maize in a concrete tank: only trenches are priced
    BGXRun concrete = makeRun();
    runSections(concrete, Upto::Components);
    const double trench = (40 * (3000 / 0.7) + 10000) * kCorrection;
    EXPECT_NEAR(run.storageInvest - concrete.storageInvest, trench, 1e-6);
}

TEST_F(EngineTest, BoilerIsChosenByTheHeatPower) {
    struct Case {
        double ph_kW;
        double a, b, c;
    };
    const Case cases[] = {
        {100, 1, 0, 0}, {100.1, 0, 1, 0}, {500, 0, 1, 0}, {1500, 0, 0, 1}, {1500.5, 0, 0, 0}};
    for (const Case& c : cases) {
        testdata::fillGlobals();
        gUserData.DigesterType = 2; // its heat is a share of the methane energy: easy to set exactly
        BGXRun probe = makeRun();
        runSections(probe, Upto::ChpSizing);
        gAdminVars.C21_Digester_B = c.ph_kW * 3.6 * 8760 / probe.E_MJ;
        BGXRun run = makeRun();
        runSections(run, Upto::Components);
        ASSERT_NEAR(run.Ph_kW, c.ph_kW, 1e-9);
        EXPECT_EQ(run.boilerA.s, c.a) << c.ph_kW;
        EXPECT_EQ(run.boilerB.s, c.b) << c.ph_kW;
        EXPECT_EQ(run.boilerC.s, c.c) << c.ph_kW;
        if (c.a + c.b + c.c == 0) {
            EXPECT_EQ(run.boilerA.invest + run.boilerB.invest + run.boilerC.invest, 0);
        }
        if (c.b == 1) {
            EXPECT_NEAR(run.boilerB.raw, (120 - 0.05 * c.ph_kW) * c.ph_kW, 1e-6);
        }
    }
}

TEST_F(EngineTest, PowerAtAClassLimitTakesTheNextClass) {
    BGXRun probe = makeRun();
    runSections(probe, Upto::ChpEfficiency);
    gAdminVars.Pconnect_128_Pconnect_KW = probe.Pavg_kW;
    BGXRun run = makeRun();
    runSections(run, Upto::Grid);
    // Class 500: 60 euro/m x 200 m + 25000, priced from the 2010 offer of the first class.
    EXPECT_NEAR(run.feedIn.raw, 60 * 200 + 25000, 1e-9);
    EXPECT_NEAR(run.feedIn.invest, (60 * 200 + 25000) * 1.02, 1e-9);
    EXPECT_NEAR(run.feedIn.maint, 1000 + 400, 1e-9);
    // Above the 4000 class the 8000 class applies whatever its limit.
    gAdminVars.Pconnect_128_Pconnect_KW = 128;
    for (double* limit : {&gAdminVars.Pconnect_128_Pconnect_KW, &gAdminVars.Pconnect_500_Pconnect_KW,
                          &gAdminVars.Pconnect_800_Pconnect_KW, &gAdminVars.Pconnect_1400_Pconnect_KW,
                          &gAdminVars.Pconnect_4000_Pconnect_KW})
        *limit = 1;
    gAdminVars.Pconnect_8000_Pconnect_KW = 0;
    BGXRun big = makeRun();
    runSections(big, Upto::Grid);
    EXPECT_NEAR(big.feedIn.raw, 120 * 200 + 250000, 1e-9);
}

TEST_F(EngineTest, ConsumptionConnectionOfTheChpCasesOnlyWithADoubleConnection) {
    gUserData.Lconsume_elec = 100;
    BGXRun run = makeRun();
    runSections(run, Upto::Grid);
    EXPECT_EQ(run.consume[kCaseCHP].invest, 0);
    EXPECT_EQ(run.consume[kCaseCHPHeat].maint, 0);
    EXPECT_GT(run.consume[kCaseBiomethane].invest, 0);
    const double avg = run.elecUse_kWh[kCaseBiomethane] / 8760;
    EXPECT_NEAR(run.consume[kCaseBiomethane].maint, (500 + 200) + (1 + 2) * avg, 1e-9);

    gUserData.Apply_doubleconnect_elec = true;
    BGXRun both = makeRun();
    runSections(both, Upto::Grid);
    EXPECT_NEAR(both.consume[kCaseCHP].invest, (50 * 100 + 10000) * 1.02, 1e-9);
}

TEST_F(EngineTest, InvestmentScalesContingencyAndStartUp) {
    gAdminVars.C1_PERcontingency = 5;
    gAdminVars.C1_PERstartup = 5;
    ASSERT_TRUE(dmCalcBGX(gUserData));
    const TBGXUserData& u = gUserData;
    for (size_t c = 0; c < 4; ++c) {
        const double B = u.*kSubtotal[c] - u.*kLand[c];
        const double A = u.*kAdvise_and_permits[c];
        const double E = u.*kEngineering[c];
        const double Ld = u.*kLand[c];
        const double T = Ld + A + (B + E) * 100 / 90;
        EXPECT_NEAR(u.*kContingency[c], (T - A - Ld) * 0.05, 1e-6);
        EXPECT_NEAR(u.*kStartup[c], (T - A - Ld) * 0.05, 1e-6);
        EXPECT_NEAR(u.*kTotal[c], T - u.*kSubsidy[c], 1e-6);
        EXPECT_NEAR(A, 0.01 * B + 20000, 1e-6);
        EXPECT_NEAR(E, (5 + (0.0001 * 13000 + 1) + 3) * B / 100, 1e-6);
        // The base investment is the sum of the component fields without land.
        const double sum = u.*kDigester[c] + u.*kStorage[c] + u.*kDigestate_treatment[c] + u.*kTorch[c] +
                           u.*kPasteurisation[c] + u.*kShovel[c] + u.*kCivil_Works[c] + u.*kBoiler[c] +
                           u.*kCHP[c] + u.*kHeatnetwork[c] + u.*kElectric_network[c] + u.*kGas_upgrade[c] +
                           u.*kGasnetwork[c] + u.*kINVuser_amount[c];
        EXPECT_NEAR(B, sum, 1e-6);
    }
    EXPECT_EQ(u.Inspection_CHP, 0);
    EXPECT_EQ(u.Contractorsfee_Biomethane, 0);
}

TEST_F(EngineTest, CaseInvestmentsTakeTheirOwnComponents) {
    gUserData.Apply_heat = true;
    gUserData.Lheatdeliv = 500;
    gUserData.Pheatdeliv_peak = 200;
    gUserData.Apply_upgrade = true;
    gUserData.Lfeed_gas = 1000;
    BGXRun run = makeRun();
    runSections(run, Upto::Investment);
    const TBGXUserData& u = gUserData;
    EXPECT_EQ(u.Boiler_CHP, 0);
    EXPECT_EQ(u.Boiler_CHP_Heat, 0); // no remote CHP, so no boiler at the digester
    EXPECT_EQ(u.Boiler_Biomethane, run.boilerA.invest + run.boilerB.invest + run.boilerC.invest);
    EXPECT_EQ(u.Boiler_Biomethane_ext_heat, 0);
    EXPECT_EQ(u.CHP_CHP, run.chp1.invest);
    EXPECT_EQ(u.CHP_CHP_Heat, run.chp2.invest);
    EXPECT_EQ(u.CHP_Biomethane, 0);
    EXPECT_EQ(u.Heatnetwork_CHP, 0);
    EXPECT_GT(u.Heatnetwork_CHP_Heat, 0);
    EXPECT_EQ(u.Gas_upgrade_CHP, 0);
    EXPECT_EQ(u.Gas_upgrade_Biomethane, run.upgA3.invest + run.upgB3.invest);
    EXPECT_EQ(u.Gasnetwork_Biomethane, run.biomethPipe.invest + run.gasConn3.invest);
    EXPECT_EQ(u.Gasnetwork_Biomethane_ext_heat, run.biomethPipe.invest + run.gasConn4.invest);
    EXPECT_EQ(u.Electric_network_CHP, run.feedIn.invest + run.consume[0].invest);
    EXPECT_EQ(u.Electric_network_Biomethane, run.consume[2].invest);
    // The first CHP: 245 kW per engine on the curve 6440 x P^0.7, above its 27000 minimum.
    EXPECT_NEAR(run.chp1.raw, std::pow(run.Pe_kW, 0.7) * 6440, 1e-6);
    EXPECT_NEAR(run.chp1.invest, run.chp1.raw * kCorrection, 1e-6);
}

TEST_F(EngineTest, PersonnelBandJumpsAtBothEnds) {
    gUserData.Apply_sep = true;
    struct Case {
        double c51, c53, hours;
    };
    BGXRun probe = makeRun();
    runSections(probe, Upto::Substrates);
    const double m = probe.Mout_t;
    // Below the band: C52 (1). Above: C54 (5). Inside: (M - C51) x (C54 - C52) / (C53 - C51), no C52 added.
    const Case cases[] = {{m + 1, m + 2, 1}, {m - 2, m - 1, 5}, {m - 100, m + 100, 100 * 4 / 200.0}};
    for (const Case& c : cases) {
        gAdminVars.C51_Sep = c.c51;
        gAdminVars.C53_Sep = c.c53;
        BGXRun run = makeRun();
        runSections(run, Upto::Components);
        EXPECT_NEAR(run.sep.personnel, c.hours, 1e-9);
    }
}

TEST_F(EngineTest, ChpMaintenanceFollowsItsCurve) {
    BGXRun run = makeRun();
    runSections(run, Upto::Components);
    const double p = run.Pe_kW;
    EXPECT_NEAR(run.chp1.maint, ((0.002 * p + 1) / (p * 1) + p * 0.01) * (1 * 8000), 1e-9);
}

TEST_F(EngineTest, YearlyCostsPerCase) {
    gUserData.biomass_relcost_dig = 3;
    BGXRun run = makeRun();
    runSections(run, Upto::Costs);
    EXPECT_NEAR(run.purchase_eur, 3000 * 35, 1e-9);
    EXPECT_NEAR(run.digestateExport_eur, 3 * run.Mout_t, 1e-9);
    EXPECT_NEAR(run.dieselCost_eur, 0.3 * 13000 * 1.2, 1e-9);
    // The CHP produces more heat than the plant uses, so only the external-heat case buys heat.
    EXPECT_EQ(run.heatBought_MJ[kCaseCHP], 0);
    EXPECT_EQ(run.heatBought_MJ[kCaseBiomethane], 0);
    EXPECT_EQ(run.heatBought_MJ[kCaseBiomethaneExtHeat], run.heatUse_MJ[kCaseBiomethaneExtHeat]);
    EXPECT_NEAR(run.heatCost[kCaseBiomethaneExtHeat], run.heatUse_MJ[kCaseBiomethaneExtHeat] * 20 / 1000,
                1e-9);
    for (size_t c = 0; c < 4; ++c)
        EXPECT_NEAR(run.elecCost[c], run.elecUse_kWh[c] * 0.12, 1e-9);
    EXPECT_NEAR(run.personnelHours, 13000 / 1000.0, 1e-12);
    EXPECT_NEAR(run.personnelCost_eur, 13 * 52 * 30, 1e-9);
    const double common =
        run.digA.maint + run.digB.maint + run.torch.maint + run.sep.maint + run.ufro.maint + run.dryer.maint;
    EXPECT_NEAR(run.maintenance[kCaseCHP],
                common + run.chp1.maint + run.feedIn.maint + run.consume[0].maint + run.shovel.maint, 1e-9);
    EXPECT_NEAR(run.maintenance[kCaseBiomethaneExtHeat],
                common + run.consume[3].maint + run.upgA4.maint + run.upgB4.maint + run.gasConn4.maint +
                    run.shovel.maint,
                1e-9);
}
