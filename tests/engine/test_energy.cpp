// CHP sizing, efficiencies, component energy needs, own-heat shares, compressor and heat sold.
#include "bgx_case_fields.h"
#include "engine_test_support.h"

#include <cmath>

using namespace fmx;
using fmx::testing::EngineTest;
using fmx::testing::makeRun;
using fmx::testing::runSections;
using fmx::testing::Upto;

namespace {
// Sets the methane so that the required fuel capacity is exactly pr_kW (no overcapacity).
void requireFuelCapacity(double pr_kW) {
    gUserData.CFchp_extra = 0;
    gAdminVars.C_chpFuelmax = 2000;
    gAdminVars.Tchp = 8000;
    // CH4 x 35.8 / (3.6 x 8000) = pr  =>  scale the slurry line accordingly.
    BGXRun probe = makeRun();
    runSections(probe, Upto::ChpSizing);
    const double scale = pr_kW / probe.Pr_kW;
    for (auto& line : gUserData.substrates_mix)
        line.Msub_i *= scale;
}
} // namespace

TEST_F(EngineTest, UserEngineCountIsAMinimum) {
    struct Case {
        double pr, userEngines, engines;
    };
    const Case cases[] = {{250, 1, 1}, {2001, 1, 2}, {250, 3, 3}, {4000, 2, 2}, {4001, 0, 3}};
    for (const Case& c : cases) {
        testdata::fillGlobals();
        requireFuelCapacity(c.pr);
        gUserData.n_engine = c.userEngines;
        BGXRun run = makeRun();
        runSections(run, Upto::ChpEfficiency);
        EXPECT_NEAR(run.Pr_kW, c.pr, 1e-6);
        EXPECT_EQ(run.nEngines, c.engines) << "Pr " << c.pr << " user " << c.userEngines;
        // Each engine gets its share of the fuel capacity.
        const double eta = std::pow(c.pr / c.engines, 0.074) * 0.2335;
        EXPECT_NEAR(run.etaEl, eta, 1e-12);
        EXPECT_NEAR(run.Pe_kW, eta * c.pr / c.engines, 1e-9);
    }
}

TEST_F(EngineTest, ChpProductionFromMethaneEnergy) {
    ASSERT_TRUE(dmCalcBGX(gUserData));
    const TBGXUserData& u = gUserData;
    const double E = u.Methane * 35.8;
    EXPECT_NEAR(u.Electric_energy_prod_CHP, E * u.PEReff_chp_elec / 3.6, 1e-6);
    EXPECT_NEAR(u.Heat_prod_CHP, E * u.PEReff_chp_therm, 1e-6);
    EXPECT_NEAR(u.PEReff_chp_elec + u.PEReff_chp_therm, 0.85, 1e-12);
    EXPECT_NEAR(u.flow_biomethane, u.Methane / 0.97 * 0.98 / 8000, 1e-9);
    EXPECT_EQ(u.n_engine, 1);
    // Without a biogas pipeline the CHP-with-heat case produces what the CHP case produces.
    EXPECT_EQ(u.Electric_energy_prod_CHP_heat, u.Electric_energy_prod_CHP);
    EXPECT_EQ(u.heat_prod_CHP_heat, u.Heat_prod_CHP);
    EXPECT_EQ(u.Biometh_prod_CHP, 0);
    EXPECT_NEAR(u.Biometh_prod_Biomethane_ext_heat, u.Methane / 0.97 * 0.98, 1e-6);
}

TEST_F(EngineTest, OwnHeatSharesAndTheRemoteChp) {
    gUserData.Apply_heat = true;
    gUserData.Apply_biogasnet = true;
    gUserData.Lheatdeliv = 800;
    gUserData.Pheatdeliv_peak = 150;
    BGXRun run = makeRun();
    runSections(run, Upto::Components);
    const double E = run.E_MJ;
    // The heat network itself is not built (its heat loss is therefore 0); the boiler at the digester is.
    EXPECT_EQ(run.HN_MJ, 0);
    EXPECT_NEAR(run.s3, run.heatUse_MJ[kCaseBiomethane] / E, 1e-15);
    EXPECT_NEAR(run.s2, run.heatUse_MJ[kCaseCHPHeat] / E, 1e-15);
    EXPECT_GT(run.s2, 0);
    EXPECT_EQ(run.boilerDig.s, 1);
    EXPECT_EQ(run.boilerDig.invest, run.boilerA.invest + run.boilerB.invest + run.boilerC.invest);

    run.electricityAndGrid();
    run.outputsAndInvestment();
    EXPECT_NEAR(gUserData.Electric_energy_prod_CHP_heat, (1 - run.s2) * run.Eel_kWh, 1e-6);
    EXPECT_NEAR(gUserData.heat_prod_CHP_heat, (1 - run.s2) * run.H_MJ, 1e-6);
    EXPECT_NEAR(gUserData.Biometh_prod_Biomethane, (1 - run.s3) * run.B_Nm3, 1e-6);
}

TEST_F(EngineTest, HeatUsePerCase) {
    gUserData.Apply_heat = true;
    gUserData.Lheatdeliv = 500;
    gUserData.Pheatdeliv_peak = 200;
    gUserData.Apply_past = true;
    gUserData.Mpast_user = 5000;
    gUserData.Apply_sep = true;
    gUserData.Apply_dry = true;
    BGXRun run = makeRun();
    runSections(run, Upto::Components);
    const double H1 = run.HA_MJ + run.HB_MJ + run.HP_MJ + run.HD_MJ;
    EXPECT_GT(run.HP_MJ, 0);
    EXPECT_GT(run.HD_MJ, 0);
    EXPECT_GT(run.HN_MJ, 0);
    EXPECT_EQ(run.HB_MJ, 0); // digester B is not selected
    EXPECT_NEAR(run.heatUse_MJ[kCaseCHP], H1, 1e-6);
    EXPECT_NEAR(run.heatUse_MJ[kCaseCHPHeat], H1 + run.HN_MJ, 1e-6);
    EXPECT_EQ(run.heatUse_MJ[kCaseBiomethane], run.heatUse_MJ[kCaseCHP]);
    EXPECT_EQ(run.heatUse_MJ[kCaseBiomethaneExtHeat], run.heatUse_MJ[kCaseCHP]);
    // Pasteurising the digestate: 5000 t x 4 x (70 - 10) x 0.2 / 0.8.
    EXPECT_NEAR(run.HP_MJ, 5000 * 4.0 * 60 * 0.2 / 0.8, 1e-6);
}

TEST_F(EngineTest, PasteurisingTheSubstrateBelowDigesterTemperatureLowersHeatUse) {
    gUserData.Apply_past = true;
    gUserData.Mpast_user = 1000;
    gUserData.Past_Feed = 2;
    gAdminVars.TEMPpasteurisation = 30; // below the digester's 38 degrees
    BGXRun run = makeRun();
    runSections(run, Upto::Components);
    EXPECT_NEAR(run.HP_MJ, 1000 * 4.0 * (30 - 38) / 0.8, 1e-9);
    EXPECT_LT(run.heatUse_MJ[kCaseCHP], run.HA_MJ);
}

TEST_F(EngineTest, CompressorOnlyAboveInletPressure) {
    gUserData.PRESS_feed_gas = gAdminVars.PRESSin;
    BGXRun run = makeRun();
    runSections(run, Upto::Grid);
    EXPECT_EQ(run.P3_W, 0);
    EXPECT_EQ(run.P4_W, 0);
    EXPECT_NEAR(run.elecUse_kWh[kCaseBiomethaneExtHeat], run.elecUse_kWh[kCaseCHP] + run.Ug4_kWh, 1e-9);

    testdata::fillGlobals();
    BGXRun run2 = makeRun();
    runSections(run2, Upto::Grid);
    const double k = 1.2963;
    const double expected4 = (std::pow(8 / 1.05, (k - 1) / k) - 1) * (run2.B_Nm3 / 31536000) *
                             (1.013 / 1.05) * 1.05 * 100000 * (k / (k - 1)) / 0.7;
    EXPECT_NEAR(run2.P4_W, expected4, 1e-9);
    EXPECT_NEAR(run2.P3_W, expected4 * (1 - run2.s3), 1e-9);
    EXPECT_NEAR(run2.elecUse_kWh[kCaseBiomethaneExtHeat],
                run2.elecUse_kWh[kCaseCHP] + run2.Ug4_kWh + run2.P4_W * 8760 / 1000, 1e-9);
}

TEST_F(EngineTest, UpgradingTypeFollowsTheBiogasFlow) {
    struct Case {
        double flow;
        double typeA;
    };
    for (const Case& c : {Case{661.9, 1}, Case{662, 0}, Case{700, 0}}) {
        testdata::fillGlobals();
        BGXRun probe = makeRun();
        runSections(probe, Upto::Substrates);
        const double scale = c.flow / probe.Gflow_Nm3h;
        for (auto& line : gUserData.substrates_mix)
            line.Msub_i *= scale;
        BGXRun run = makeRun();
        runSections(run, Upto::Components);
        EXPECT_NEAR(run.Gflow_Nm3h, c.flow, 1e-9);
        EXPECT_EQ(run.upgA4.s, c.typeA) << c.flow;
        EXPECT_EQ(run.upgB4.s, 1 - c.typeA) << c.flow;
    }
}

TEST_F(EngineTest, HeatSoldIsCappedByDemandAndNeverNegative) {
    struct Case {
        double demand_kW, delivery_kW, heatUseExtra_MJ;
    };
    // Small demand: all of it is sold. Huge demand: what is available. Heat use above production: 0.
    for (const Case& c : {Case{20, 0, 0}, Case{20, 100000, 0}, Case{20, 0, 1e9}}) {
        testdata::fillGlobals();
        gUserData.energy_use_ptherm_intdemand_user = c.demand_kW;
        gUserData.Pheatdeliv_average = c.delivery_kW;
        gAdminVars.C21_Digester_B = 0;
        BGXRun run = makeRun();
        runSections(run, Upto::Costs);
        run.heatUse_MJ[kCaseCHPHeat] += c.heatUseExtra_MJ;
        run.subsidiesAndFinancing();
        const double demand = (c.demand_kW + c.delivery_kW) * 8760 * 3.6;
        const double available = run.H_MJ - run.heatUse_MJ[kCaseCHPHeat];
        const double expected = available > demand ? demand : std::max(available, 0.0);
        EXPECT_DOUBLE_EQ(run.heatSold_MJ, expected);
        EXPECT_GE(run.heatSold_MJ, 0);
    }
}
