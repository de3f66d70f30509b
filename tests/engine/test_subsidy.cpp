// Investment subsidies, the subsidy streams of the seven schemes and the first-year revenues.
#include "bgx_case_fields.h"
#include "engine_test_support.h"

#include <cmath>

using namespace fmx;
using fmx::testing::EngineTest;
using fmx::testing::makeRun;
using fmx::testing::runSections;
using fmx::testing::Upto;

namespace {
enum { kNone = 1, kGermany, kNetherlands, kFlanders, kWallonia, kPoland, kItaly, kEstonia };

// Runs up to the subsidy streams with the given scheme and an average electric power of pavg_kW
// (when given), so that the scheme rules can be checked on round figures.
BGXRun streamsAt(int scheme, double pavg_kW = -1) {
    gUserData.financial_aspects_country = scheme;
    BGXRun run = makeRun();
    runSections(run, Upto::Costs);
    if (pavg_kW >= 0) run.Pavg_kW = pavg_kW;
    run.subsidiesAndFinancing();
    return run;
}
} // namespace

TEST_F(EngineTest, WithoutSubsidiesOnlyTheSalesCount) {
    for (int scheme : {kGermany, kItaly, kEstonia, kPoland}) {
        testdata::fillGlobals();
        gUserData.financial_aspects_apply_subsidy = false;
        gUserData.financial_aspects_country = scheme;
        ASSERT_TRUE(dmCalcBGX(gUserData));
        const TBGXUserData& u = gUserData;
        for (size_t c = 0; c < 4; ++c)
            EXPECT_EQ(u.*kSubsidy[c], 0);
        EXPECT_EQ(u.in_subsidy_electricity_chp, 0);
        EXPECT_EQ(u.in_subsidy_electricity_chp_heat, 0);
        EXPECT_EQ(u.in_subsidy_biomethane_biomethane, 0);
        EXPECT_NEAR(u.in_electricity_chp, u.Electric_energy_prod_CHP * 0.10, 1e-6);
        EXPECT_NEAR(u.in_biomethane_biomethane_ext_heat, u.Biometh_prod_Biomethane_ext_heat * 0.45, 1e-6);
        for (const auto& row : u.finance_years_chp)
            EXPECT_EQ(row.pro_rev_subsidy, 0);
    }
}

TEST_F(EngineTest, UnknownSchemeCodeCountsAsNone) {
    gUserData.financial_aspects_country = 1;
    ASSERT_TRUE(dmCalcBGX(gUserData));
    const TBGXUserData none = gUserData;
    testdata::fillGlobals();
    gUserData.financial_aspects_country = 9;
    ASSERT_TRUE(dmCalcBGX(gUserData));
    EXPECT_EQ(gUserData.in_total_chp, none.in_total_chp);
    EXPECT_EQ(gUserData.finance_npv_chp_heat, none.finance_npv_chp_heat);
    EXPECT_EQ(gUserData.Total_Biomethane, none.Total_Biomethane);
}

TEST_F(EngineTest, GermanBandSharesAndTariff) {
    struct Case {
        double pavg, a, b, c, d;
    };
    const Case cases[] = {
        {100, 1, 0, 0, 0},
        {150, 1, 0, 0, 0}, // not below the limit: a = 150/150
        {600, 0.25, 350.0 / 600, 1 - 0.25 - 350.0 / 600, 0},
        {6000, 150.0 / 6000, 350.0 / 6000, 4500.0 / 6000, 1 - 5000.0 / 6000},
    };
    for (const Case& c : cases) {
        testdata::fillGlobals();
        gUserData.subgerapplymanure = true;
        gUserData.subgerapplychp = true;
        BGXRun run = streamsAt(kGermany, c.pavg);
        const double feeA = 11.67 + 7 + 4, feeB = 9.18 + 7 + 1, feeC = 8.25 + 4, feeD = 7.79;
        const double tariff = (feeA * c.a + feeB * c.b + feeC * c.c + feeD * c.d + 3) / 100;
        EXPECT_NEAR(run.R1.RELSubs, tariff, 1e-12) << "P " << c.pavg;
        EXPECT_EQ(run.R1.CFsubs[19], 1);
        EXPECT_EQ(run.R2.RELSubs, 0);
        EXPECT_EQ(run.R2.CFsubs[0], 0);
        EXPECT_NEAR(run.R2.Esubs, (1 - run.s2) * run.Eel_kWh, 1e-6);
    }
}

TEST_F(EngineTest, InclusiveTariffDeductsTheSales) {
    ASSERT_TRUE((gSubsidy.SubGerApply.SubApplyElecCompl));
    BGXRun run = streamsAt(kGermany);
    const TBGXUserData& u = gUserData;
    const double S1 = run.R1.RELSubs * run.Eel_kWh;
    EXPECT_NEAR(u.in_electricity_chp, run.Eel_kWh * 0.10, 1e-6);
    EXPECT_NEAR(u.in_subsidy_electricity_chp, S1 - u.in_electricity_chp, 1e-6);
    EXPECT_NEAR(u.in_total_chp, S1, 1e-6);
    // A tariff below the market price earns no subsidy at all.
    testdata::fillGlobals();
    gUserData.energy_production_relpriceelec = 5;
    streamsAt(kGermany);
    EXPECT_EQ(gUserData.in_subsidy_electricity_chp, 0);
}

TEST_F(EngineTest, GermanHeatNetworkSubsidyOnlyForABuiltHeatNetwork) {
    gUserData.Apply_heat = true;
    gUserData.Lheatdeliv = 500;
    gUserData.Pheatdeliv_peak = 200;
    BGXRun built = streamsAt(kGermany);
    EXPECT_NEAR(gUserData.Subsidy_CHP_Heat, built.dh_mm * 500 * 1.0, 1e-9);
    EXPECT_EQ(gUserData.Subsidy_CHP, 0);

    // With the CHP at the customer there is no heat network and no subsidy for it.
    gUserData.Apply_biogasnet = true;
    streamsAt(kGermany);
    EXPECT_EQ(gUserData.Subsidy_CHP_Heat, 0);
    gUserData.Apply_biogasnet = false;
    gUserData.Apply_heat = false;
    streamsAt(kGermany);
    EXPECT_EQ(gUserData.Subsidy_CHP_Heat, 0);
}

TEST_F(EngineTest, DutchSubsidyLastsItsYearsOnNetProduction) {
    BGXRun run = streamsAt(kNetherlands);
    EXPECT_NEAR(run.R1.Esubs, run.Eel_kWh - run.elecUse_kWh[kCaseCHP], 1e-6);
    EXPECT_EQ(run.R1.RELSubs, 0.08);
    EXPECT_EQ(run.R4.RELSubs, 0.3);
    for (int y = 1; y <= 20; ++y) {
        EXPECT_EQ(run.R1.CFsubs[static_cast<size_t>(y - 1)], y <= 12 ? 1 : 0);
        EXPECT_EQ(run.R4.CFsubs[static_cast<size_t>(y - 1)], y <= 12 ? 1 : 0);
    }
    EXPECT_EQ(run.R5.CFsubs[15], 1);
}

TEST_F(EngineTest, FlemishCertificatesCountTheHeatSoldInKWh) {
    gUserData.subflachpesc = 2;
    BGXRun run = streamsAt(kFlanders);
    const double F = 1 - 1 / (run.etaEl / 0.4 + run.etaTh / 0.9);
    // Quantities in kWh against prices per kWh (27 EUR per MWh certificate = 0.027 EUR/kWh).
    const double q2 =
        (1 - run.s2) * run.Eel_kWh / 0.4 + ((run.heatUse_MJ[kCaseCHPHeat] + run.heatSold_MJ) / 3.6) / 0.9 -
        run.elecUse_kWh[kCaseCHPHeat];
    const double q1 = run.Eel_kWh / 0.4 + (run.heatUse_MJ[kCaseCHP] / 3.6) / 0.9 - run.elecUse_kWh[kCaseCHP];
    EXPECT_NEAR(run.R2.Esubs, q2 * F, 1e-6);
    EXPECT_NEAR(run.R1.Esubs, q1 * F, 1e-6);
    // A year's certificate revenue is the certificates (MWh of saving) times their price.
    EXPECT_NEAR(run.R1.Esubs * run.R1.RELSubs, q1 / 1000 * F * 27, 1e-6);
    EXPECT_NEAR(run.R1.RELSubs, 0.027, 1e-15);
    EXPECT_NEAR(run.R1.CFsubs[0], 1, 1e-15);
    EXPECT_NEAR(run.R1.CFsubs[5], std::pow(1.02, 5) * 0.5, 1e-12);
    EXPECT_EQ(run.R3.CFsubs[0], 0);
}

TEST_F(EngineTest, WalloonCertificatesByCo2Reduction) {
    BGXRun run = streamsAt(kWallonia);
    const double r = (10000 * 0.1 + 3000 * 0.4) / 13000;
    const double ratio = 456 / 0.55;
    const double k = (ratio + (run.heatSold_MJ / run.E_MJ) / run.etaEl * (456 / 0.9) - r / run.etaEl) / ratio;
    EXPECT_NEAR(run.R1.RELSubs, k * 65 / 1000, 1e-12);
    EXPECT_EQ(run.R1.CFsubs[9], 1);
    EXPECT_EQ(run.R1.CFsubs[10], 0.5);
    EXPECT_EQ(run.R1.CFsubs[14], 0.5);
    EXPECT_EQ(run.R1.CFsubs[15], 0);
}

TEST_F(EngineTest, PolishCertificatesAndInvestmentSubsidy) {
    BGXRun run = streamsAt(kPoland);
    const double PES = (1 - 1 / (run.etaEl / 0.525 + run.etaTh / 0.9)) * 100;
    ASSERT_GT(PES, 0); // small plant with PES above the yellow limit of 0: yellow certificates
    EXPECT_NEAR(run.R1.RELSubs, 280.0 / 4 / 1000, 1e-15);
    EXPECT_NEAR(run.R2.RELSubs, 128.0 / 4 / 1000, 1e-15);
    EXPECT_NEAR(run.R2.CFsubs[14], std::pow(1.01, 14), 1e-12);
    EXPECT_EQ(run.R2.CFsubs[15], 0);
    // The heat stream takes the heat flags, like every other scheme.
    EXPECT_EQ(run.R3.applyMarketprice, gSubsidy.SubPolApply.SubApplyThermMarketprice);
    EXPECT_EQ(run.R3.applySubsCompl, gSubsidy.SubPolApply.SubApplyThermCompl);
    // 30 % of (total before subsidy - start-up), in zloty, back in euro.
    for (size_t c = 0; c < 4; ++c)
        EXPECT_NEAR(run.Sub[c], (run.Tc[c] - run.Stc[c]) * 0.3, 1e-6);

    // A fixed amount above the minimum wins over a smaller percentage.
    testdata::fillGlobals();
    gUserData.subpolinvper = 0.001;
    gUserData.subpolinvmin = 100000;
    gUserData.subpolinv = 200000;
    BGXRun fixed = streamsAt(kPoland);
    for (size_t c = 0; c < 4; ++c)
        EXPECT_NEAR(fixed.Sub[c], 200000 / 4.0, 1e-9);
    gUserData.subpolinv = 0;
    BGXRun minimum = streamsAt(kPoland);
    EXPECT_NEAR(minimum.Sub[0], 100000 / 4.0, 1e-9);
    gUserData.subpolinvper = 90;
    gUserData.subpolinvmax = 400000;
    BGXRun maximum = streamsAt(kPoland);
    EXPECT_NEAR(maximum.Sub[0], 400000 / 4.0, 1e-9);
}

TEST_F(EngineTest, ItalianTariffBySize) {
    BGXRun small = streamsAt(kItaly, 999);
    EXPECT_EQ(small.R1.RELSubs, 0.28);
    EXPECT_EQ(small.R1.CFsubs[14], 1);
    EXPECT_EQ(small.R1.CFsubs[15], 0);
    BGXRun large = streamsAt(kItaly, 1000);
    EXPECT_EQ(large.R1.RELSubs, 0.18);
}

TEST_F(EngineTest, EstonianInvestmentSubsidyIsCapped) {
    gUserData.subestapplyyoung = true;
    BGXRun run = streamsAt(kEstonia);
    for (size_t c = 0; c < 4; ++c)
        EXPECT_NEAR(run.Sub[c], std::min(0.40 * (run.Bc[c] + run.Ld), 500000.0), 1e-6);
    EXPECT_EQ(run.Sub[kCaseBiomethane], 500000); // the biomethane plant is above the cap
    EXPECT_EQ(run.R1.RELSubs, 0.054);
    EXPECT_EQ(run.R1.CFsubs[11], 1);
    EXPECT_EQ(run.R1.CFsubs[12], 0);
}

TEST_F(EngineTest, HeatSubsidyIsZeroUnderEveryScheme) {
    for (int scheme = kNone; scheme <= kEstonia; ++scheme) {
        testdata::fillGlobals();
        gUserData.Pheatdeliv_average = 50;
        gUserData.financial_aspects_country = scheme;
        ASSERT_TRUE(dmCalcBGX(gUserData)) << scheme;
        EXPECT_EQ(gUserData.in_subsidy_heat_chp_heat, 0) << scheme;
        EXPECT_GT(gUserData.in_therm_energy_delivery_chp_heat, 0) << scheme;
    }
}
