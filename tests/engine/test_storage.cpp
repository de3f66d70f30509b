// Input stream volumes, storage needs, the digestate split and the output storage volumes.
#include "engine_test_support.h"

using namespace fmx;
using fmx::testing::EngineTest;
using fmx::testing::makeRun;
using fmx::testing::runSections;
using fmx::testing::Upto;

TEST_F(EngineTest, InputStorageNeedIsNeverNegative) {
    // 10000 t of slurry at 1 t/m3 is 10000 m3/year; 6 months with 2000 m3 available needs 3000 m3.
    BGXRun run = makeRun();
    runSections(run, Upto::Storage);
    EXPECT_NEAR(run.inNeed_m3[kManLiq], 3000, 1e-9);
    // Maize: 3000 t / 0.7 t/m3 for 12 months.
    EXPECT_NEAR(run.inNeed_m3[kCosubSol], 3000 / 0.7, 1e-9);

    gUserData.Man_liq_Vstor_avail_user = 6000;
    BGXRun run2 = makeRun();
    runSections(run2, Upto::Storage);
    EXPECT_EQ(run2.inNeed_m3[kManLiq], 0);
}

TEST_F(EngineTest, EmptyDatabaseEntriesAndUnnamedLinesAddNoVolume) {
    // The database entries after the sixth are empty (no name, density 0); the mix lines after the
    // second are empty too. Their matching must neither fail nor add volume.
    BGXRun run = makeRun();
    runSections(run, Upto::Storage);
    EXPECT_NEAR(run.inVolume_m3[kManLiq], 10000, 1e-9);
    EXPECT_NEAR(run.inVolume_m3[kCosubSol], 3000 / 0.7, 1e-9);
    EXPECT_EQ(run.inVolume_m3[kCosubLiq], 0);
    EXPECT_EQ(run.inVolume_m3[kManSol], 0);
}

TEST_F(EngineTest, StreamVolumesMatchByNameOnlyAndCountLinesAfterAGap) {
    // The volume pass ignores the type and the end of the mix: the highest-index entry of the name wins.
    gAdminVars.Substrates[20] = gAdminVars.Substrates[4];
    gAdminVars.Substrates[20].SubType_i = 3; // same name, now a liquid co-substrate of density 0.7
    gUserData.substrates_mix[5] = {"Pig slurry", 1, 500, 0};
    BGXRun run = makeRun();
    runSections(run, Upto::Storage);
    EXPECT_NEAR(run.inVolume_m3[kCosubLiq], 3000 / 0.7, 1e-9);
    EXPECT_EQ(run.inVolume_m3[kCosubSol], 0);
    EXPECT_NEAR(run.inVolume_m3[kManLiq], 10500, 1e-9);
}

TEST_F(EngineTest, DigestateSplitIsByMassAndEachStreamDividedByItsDensityOnce) {
    gAdminVars.REL_Dig_Dens = 1.05;
    gAdminVars.REL_thickfrac_dens = 0.8;
    gUserData.Apply_sep = true;
    BGXRun run = makeRun();
    runSections(run, Upto::Storage);
    const double D = gUserData.Biomass_total_output_ton;
    const double dmOut = gUserData.Dry_matter_output / 100;
    const double T = ((dmOut - 0.04) * D) / (0.25 - 0.04);
    EXPECT_NEAR(run.outQty_t[kDigestate], D, 1e-9);
    EXPECT_NEAR(run.outQty_t[kThickFrac], T, 1e-9);
    EXPECT_NEAR(run.outQty_t[kLiqFrac], D - T, 1e-9);
    EXPECT_NEAR(run.outQty_t[kThickDriedFrac], 0.25 / 0.85 * T, 1e-9);
    EXPECT_NEAR(run.outQty_t[kRetentateUF], 0.3 * (D - T), 1e-9);
    EXPECT_NEAR(run.outQty_t[kWater], 0.4 * (D - T), 1e-9);
    // With separation the digestate is stored with the intermediate share, in m3: tonnes / density.
    EXPECT_NEAR(run.outStorage_m3[kDigestate], 0.5 * 0.1 * D / 1.05, 1e-9);
    EXPECT_NEAR(run.outStorage_m3[kThickFrac], 0.5 * 1.0 * T / 0.8, 1e-9);
    // Exported quantities are tonnes.
    EXPECT_EQ(run.exported_t[kDigestate], 0);
    EXPECT_NEAR(run.exported_t[kThickFrac], T, 1e-9);
    EXPECT_NEAR(run.exported_t[kLiqFrac], D - T, 1e-9);
}

TEST_F(EngineTest, StreamsAndStorageFactorsFollowTheTreatment) {
    struct Case {
        bool sep, dry, ufro;
        std::array<bool, kOutStreamCount> exists;
        std::array<double, kOutStreamCount> factor;
    };
    const double f = 0.1; // RATstor_frac of the fixture
    const Case cases[] = {
        {false, false, false, {true, false, false, false, false, false, false}, {1, 0, 0, 0, 0, 0, 0}},
        {true, false, false, {false, true, true, false, false, false, false}, {f, 1, 1, 0, 0, 0, 0}},
        {true, true, true, {false, false, false, true, true, true, true}, {f, f, f, 1, 1, 1, 1}},
        // Drying and ultrafiltration without a separator do nothing.
        {false, true, true, {true, false, false, false, false, false, false}, {1, 0, 0, 0, 0, 0, 0}},
    };
    const std::array<double, kOutStreamCount> density{1.0, 0.8, 1.0, 0.5, 1.05, 1.02, 1.0};
    for (const Case& c : cases) {
        testdata::fillGlobals();
        gUserData.Apply_sep = c.sep;
        gUserData.Apply_dry = c.dry;
        gUserData.Apply_UFRO = c.ufro;
        gUserData.Water_Tstor_user = 6;
        BGXRun run = makeRun();
        runSections(run, Upto::Storage);
        for (size_t i = 0; i < kOutStreamCount; ++i) {
            EXPECT_NE(run.outQty_t[i], 0) << "stream " << i << " is always computed";
            EXPECT_DOUBLE_EQ(run.exported_t[i], c.exists[i] ? run.outQty_t[i] : 0) << "stream " << i;
            EXPECT_NEAR(run.outStorage_m3[i], 0.5 * c.factor[i] * run.outQty_t[i] / density[i], 1e-9)
                << "stream " << i << " sep " << c.sep << " dry " << c.dry << " ufro " << c.ufro;
        }
    }
}

TEST_F(EngineTest, DryMatterAtTheLiquidShareGivesNoThickFraction) {
    BGXRun run = makeRun();
    runSections(run, Upto::Substrates);
    gAdminVars.RAT_dm_liqfrac = gUserData.Dry_matter_output / 100;
    BGXRun run2 = makeRun();
    runSections(run2, Upto::Storage);
    EXPECT_NEAR(run2.outQty_t[kThickFrac], 0, 1e-9);
    EXPECT_NEAR(run2.outQty_t[kLiqFrac], run2.outQty_t[kDigestate], 1e-9);
}

TEST_F(EngineTest, OnlyConcreteSteelAndPlasticTanksNeedStirring) {
    // Liquid manure need 3000 m3 (type 1), digestate storage (type 1), maize trench (type 5),
    // water bag (type 3): only the concrete tanks count.
    BGXRun run = makeRun();
    runSections(run, Upto::Storage);
    EXPECT_NEAR(run.Vc_m3, run.inNeed_m3[kManLiq] + run.outStorage_m3[kDigestate], 1e-9);
    EXPECT_EQ(run.Vsp_m3, 0);

    testdata::fillGlobals();
    gUserData.Man_liq_StorType_user = 2;
    gUserData.Dig_StorType_user = 4;
    gUserData.Cosub_sol_StorType_user = 3;
    BGXRun run2 = makeRun();
    runSections(run2, Upto::Storage);
    EXPECT_NEAR(run2.Vsp_m3, run2.inNeed_m3[kManLiq] + run2.outStorage_m3[kDigestate], 1e-9);
    EXPECT_EQ(run2.Vc_m3, 0);
}
