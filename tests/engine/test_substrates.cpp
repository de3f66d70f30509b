// Substrate matching, contributions, the mass balance and the biogas outputs.
#include "engine_test_support.h"

using namespace fmx;
using fmx::testing::EngineTest;
using fmx::testing::makeRun;
using fmx::testing::runSections;
using fmx::testing::Upto;

namespace {
// One line of 1000 t of a substrate with 10 % organic dry matter, yield 500 and 60 % methane.
void singleLine(double retention, double recommended) {
    TBGXSubstrate s;
    s.Name = "Test";
    s.SubType_i = 1;
    s.DM = 12;
    s.ODM = 10;
    s.BiogasProd = 500;
    s.CH4 = 60;
    s.T_RT_recom = recommended;
    s.REL_dens_i = 1;
    gAdminVars.Substrates[0] = s;
    gUserData.substrates_mix = {};
    gUserData.substrates_mix[0] = {"Test", 1, 1000, 0};
    gUserData.Trt_user = retention;
}
} // namespace

TEST_F(EngineTest, RetentionTimeFactorFollowsTheCurveAndIsCappedAbove) {
    // Factor = -0.0001 t^2 + 0.0126 t + 0.6549 with t = 40 + min(Trt - recommended, 20).
    struct Case {
        double retention, recommended, factor;
    };
    const Case cases[] = {{30, 30, 0.9989}, {50, 30, 1.0509}, {60, 30, 1.0509}, {10, 30, 0.8669}};
    for (const Case& c : cases) {
        singleLine(c.retention, c.recommended);
        BGXRun run = makeRun();
        runSections(run, Upto::Substrates);
        // 1000 t x 10 % = 100 t organic dry matter x 500 Nm3/t = 50000 Nm3 before the correction.
        EXPECT_NEAR(run.G_Nm3, 50000 * c.factor, 1e-6) << "Trt " << c.retention;
        EXPECT_NEAR(run.CH4_Nm3, 0.6 * 50000 * c.factor, 1e-6);
    }
}

TEST_F(EngineTest, EmptyMixGivesZerosWithoutError) {
    gUserData.substrates_mix = {};
    BGXRun run = makeRun();
    runSections(run, Upto::Storage);
    EXPECT_EQ(run.G_Nm3, 0);
    EXPECT_EQ(gUserData.per_methane_in_biogas, 0);
    EXPECT_EQ(gUserData.Biogas_ton, 0);
    EXPECT_EQ(gUserData.Dry_matter_input, 0);
    EXPECT_EQ(gUserData.Dry_matter_output, 0);
    EXPECT_EQ(gUserData.Utilisation_of_digester, 0);
    EXPECT_EQ(run.Vdig_m3, 0);
}

TEST_F(EngineTest, MatchNeedsNameAndTypeAndTakesTheFirstEntry) {
    // A manure name with a co-substrate type does not match.
    gUserData.substrates_mix[0].SubType_i = 3;
    EXPECT_THROW(dmCalcBGX(gUserData), TBGXSubstrateError);

    // Of two entries with the same name and type, the lower index is used.
    testdata::fillGlobals();
    gAdminVars.Substrates[10] = gAdminVars.Substrates[4];
    gAdminVars.Substrates[10].BiogasProd = 9999;
    BGXRun run = makeRun();
    runSections(run, Upto::Substrates);
    EXPECT_EQ(run.lineEntry[1], 4);
}

TEST_F(EngineTest, BiogasMassAboveInputMassCapsMethaneButNotBiogas) {
    singleLine(30, 30);
    gAdminVars.Substrates[0].BiogasProd = 100000; // a yield table error
    BGXRun run = makeRun();
    runSections(run, Upto::Substrates);
    const double biogas = 100 * 100000 * 0.9989;
    const double mass = (0.6 * 0.00072 + 0.4 * 0.001986) * biogas;
    ASSERT_GT(mass, 1000);
    EXPECT_NEAR(gUserData.Biogas_nm3, biogas, 1e-6);
    EXPECT_NEAR(gUserData.Methane, 0.6 * biogas * 1000 / mass, 1e-6);
    EXPECT_NEAR(gUserData.per_methane_in_biogas, 60, 1e-9);
    EXPECT_DOUBLE_EQ(gUserData.Biogas_ton, 1000);
    EXPECT_DOUBLE_EQ(gUserData.Biomass_total_output_ton, 0);
    EXPECT_EQ(gUserData.Dry_matter_output, 0);
    EXPECT_EQ(gUserData.Organic_dry_matter_output, 0);
}

TEST_F(EngineTest, MassBalanceAndConcentrations) {
    singleLine(30, 30);
    gAdminVars.Substrates[0].Min_Nitrogen = 0.2; // 2 t of mineral nitrogen in 1000 t
    gAdminVars.Substrates[0].Nitrogen = 0.5;
    gAdminVars.Substrates[0].Phosphate = 0.1;
    gAdminVars.Substrates[0].Potassium = 0.3;
    gAdminVars.PERminN = 10;
    BGXRun run = makeRun();
    runSections(run, Upto::Substrates);
    const TBGXUserData& u = gUserData;
    EXPECT_NEAR(u.Mineralised_nitrogen_input, 2, 1e-12);
    EXPECT_NEAR(u.Mineralised_nitrogen_output, 2.2, 1e-12);
    EXPECT_NEAR(u.Nitrogen_org_output, u.Nitrogen_org_input - 0.2, 1e-12);
    EXPECT_EQ(u.Phosphate_output, u.Phosphate_input);
    EXPECT_EQ(u.Potassium_output, u.Potassium_input);
    EXPECT_NEAR(u.Mineralised_nitrogen, 2.0, 1e-12); // kg per t of input

    const double biogas = 50000 * 0.9989;
    const double gasMass = (0.6 * 0.00072 + 0.4 * 0.001986) * biogas;
    EXPECT_NEAR(u.Biogas_ton, gasMass, 1e-9);
    EXPECT_NEAR(u.Biomass_total_output_ton, 1000 - gasMass, 1e-9);
    EXPECT_NEAR(u.Biomass_total_output_m3, (1000 - gasMass) / gAdminVars.REL_Dig_Dens, 1e-9);
    EXPECT_NEAR(u.Dry_matter_input, 12, 1e-12);
    EXPECT_NEAR(u.Organic_dry_matter_input, 10, 1e-12);
    EXPECT_NEAR(u.Dry_matter_output, 100 * (120 - gasMass) / (1000 - gasMass), 1e-9);
    EXPECT_NEAR(u.Organic_dry_matter_output, 100 * (100 - gasMass) / (1000 - gasMass), 1e-9);
    EXPECT_NEAR(u.Utilisation_of_digester, 1000 * 100 / (1000.0 * 30), 1e-12);
    EXPECT_NEAR(run.Gflow_Nm3h, biogas / 8000, 1e-9);
}

TEST_F(EngineTest, DigesterVolumeFromMeanOfInAndOutVolume) {
    BGXRun run = makeRun();
    runSections(run, Upto::Storage);
    EXPECT_NEAR(run.Vdig_m3, ((run.Vin_m3 + run.Vout_m3) / 2) * (60.0 / 365), 1e-9);
}
