// Constants, helpers, the entry's contract and its failure paths.
#include "bgx_case_fields.h"
#include "engine_test_support.h"

#include <cmath>
#include <cstring>
#include <limits>

using namespace fmx;
using fmx::testing::EngineTest;

TEST(Constants, FilledEveryRunAndConsistent) {
    gConstants = TBGXConstants{};
    EXPECT_TRUE(fill_BGXConstants());
    EXPECT_DOUBLE_EQ(gConstants.C_SecondsPerYear,
                     gConstants.C_DaysPerYear * gConstants.C_HoursPerDay * gConstants.C_SecondsPerHour);
    EXPECT_FALSE(gConstants.Applythermophilic);
    EXPECT_DOUBLE_EQ(gConstants.CFthermophilic, 1.3);
    EXPECT_DOUBLE_EQ(gConstants.C_LHVmethane, 35.8);
    EXPECT_DOUBLE_EQ(gConstants.Ck_compr, 1.2963);
    EXPECT_DOUBLE_EQ(gConstants.CurrYear, 2011);
}

TEST(RoundUpper, RoundsAwayFromZeroOnlyWithAFraction) {
    struct Case {
        double x;
        int32_t expected;
    };
    const Case cases[] = {{0.0, 0},
                          {3.0, 3},
                          {3.0001, 4},
                          {2.1, 3},
                          {-2.1, -3},
                          {-0.5, -1},
                          {2.0, 2},
                          {2147483646.5, 2147483647},
                          {-2147483648.0, std::numeric_limits<int32_t>::min()}};
    for (const Case& c : cases)
        EXPECT_EQ(RoundUpper(c.x), c.expected) << "x = " << c.x;
}

TEST(RoundUpper, OutsideThe32BitRangeIsARangeError) {
    for (double x : {2147483647.5, 2147483648.0, -2147483648.5, 1e300, -1e300,
                     std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN()})
        EXPECT_THROW(RoundUpper(x), std::range_error) << "x = " << x;
}

TEST(ConvBool, IsOneOrZero) {
    EXPECT_EQ(ConvBool(true), 1);
    EXPECT_EQ(ConvBool(false), 0);
}

TEST_F(EngineTest, TwoRunsRaiseTheCounterAndRepeatEveryOutput) {
    ASSERT_TRUE(dmCalcBGX(gUserData));
    TBGXUserData first = gUserData;
    ASSERT_TRUE(dmCalcBGX(gUserData));
    EXPECT_EQ(gUserData.dummycalc, first.dummycalc + 1);
    first.dummycalc = gUserData.dummycalc;
    // The projections are compared whole, the other outputs by sample.
    for (size_t c = 0; c < 4; ++c) {
        EXPECT_EQ(gUserData.*kTotal[c], first.*kTotal[c]);
        EXPECT_EQ(gUserData.*kfinance_npv[c], first.*kfinance_npv[c]);
        EXPECT_EQ(gUserData.*kfinance_irr[c], first.*kfinance_irr[c]);
        EXPECT_EQ(std::memcmp(&(gUserData.*kfinance_years[c]), &(first.*kfinance_years[c]),
                              sizeof(TBGX_Finance_Years)),
                  0);
    }
    EXPECT_EQ(gUserData.Biogas_nm3, first.Biogas_nm3);
    EXPECT_EQ(gUserData.n_engine, first.n_engine);
}

TEST_F(EngineTest, CompletedRunLeavesNoOutputNaNOrInfinite) {
    ASSERT_TRUE(dmCalcBGX(gUserData));
    const TBGXUserData& u = gUserData;
    for (size_t c = 0; c < 4; ++c) {
        for (auto field : {kTotal[c], kfinance_npv[c], kfinance_irr[c], ksimply_payback_time[c],
                           kout_total[c], kin_total[c], kElectric_energy_use[c], kThermal_energy_use[c]})
            EXPECT_TRUE(std::isfinite(u.*field));
        for (const TBGX_Finance_Year& row : u.*kfinance_years[c]) {
            EXPECT_TRUE(std::isfinite(row.cas_res_cumulative_cashflow));
            EXPECT_TRUE(std::isfinite(row.bal_ass_total));
        }
    }
}

TEST_F(EngineTest, UnknownSubstrateStopsBeforeAnyOutputIsWritten) {
    gUserData.substrates_mix[1].Name = "Sugar beet";
    gUserData.Biogas_nm3 = -7; // a marker that a written output would overwrite
    gUserData.dummycalc = 3;
    try {
        dmCalcBGX(gUserData);
        FAIL() << "the run should have failed";
    } catch (const TBGXSubstrateError& e) {
        EXPECT_STREQ(e.what(), "No valid substrate input: Sugar beet");
        EXPECT_EQ(e.substrateName(), "Sugar beet");
    }
    EXPECT_EQ(gUserData.Biogas_nm3, -7);
    EXPECT_EQ(gUserData.dummycalc, 3);
}

TEST_F(EngineTest, ArithmeticFaultsEndTheRunAtTheirSection) {
    struct Case {
        const char* what;
        void (*spoil)();
        const char* section;
    };
    const Case cases[] = {
        {"Tchp 0", [] { gAdminVars.Tchp = 0; }, "substrates and biogas production"},
        {"retention time 0", [] { gUserData.Trt_user = 0; }, "substrates and biogas production"},
        {"digestate density 0", [] { gAdminVars.REL_Dig_Dens = 0; }, "substrates and biogas production"},
        {"methane ratio 0", [] { gAdminVars.RATmeth_biometh = 0; }, "CHP sizing and biomethane"},
        {"equal fraction dry matters", [] { gAdminVars.RAT_dm_liqfrac = gAdminVars.RAT_dm_thickfrac; },
         "storage, digestate and digester volume"},
        {"heat network dT 0", [] { gUserData.Heatnetwork_dT = 0; }, "digester temperature and pipes"},
        {"feed-in pressure 0", [] { gUserData.PRESS_feed_gas = 0; }, "digester temperature and pipes"},
        {"negative heat peak", [] { gUserData.Pheatdeliv_peak = -5; }, "digester temperature and pipes"},
        {"pump efficiency 0", [] { gAdminVars.Effpump = 0; }, "components"},
        {"dryer coefficient 0", [] { gAdminVars.C31_Dry = 0; }, "components"},
        {"contingency + start-up 100 %",
         [] {
             gAdminVars.C1_PERcontingency = 60;
             gAdminVars.C1_PERstartup = 40;
         },
         "outputs and investment"},
        {"interest 0", [] { gUserData.financial_aspects_perinterest = 0; },
         "subsidies, financing and revenues"},
        {"depreciation period 0", [] { gUserData.Tdepr = 0; }, "subsidies, financing and revenues"},
        {"Polish factor 0",
         [] {
             gUserData.financial_aspects_country = 6;
             gUserData.financial_aspects_convpln = 0;
         },
         "outputs and investment"},
    };
    for (const Case& c : cases) {
        testdata::fillGlobals();
        c.spoil();
        const double before = gUserData.dummycalc;
        try {
            dmCalcBGX(gUserData);
            ADD_FAILURE() << c.what << ": the run should have failed";
        } catch (const TBGXArithmeticError& e) {
            EXPECT_EQ(e.section(), c.section) << c.what;
        }
        EXPECT_EQ(gUserData.dummycalc, before) << c.what;
        // A fault never leaks into the next run.
        testdata::fillGlobals();
        EXPECT_NO_THROW(dmCalcBGX(gUserData)) << "after " << c.what;
    }
}

TEST_F(EngineTest, EngineCountBeyondTheIntegerRangeIsARangeError) {
    gAdminVars.C_chpFuelmax = 1e-300;
    EXPECT_THROW(dmCalcBGX(gUserData), std::range_error);
}

TEST_F(EngineTest, MixEndsAtTheFirstEmptyName) {
    ASSERT_TRUE(dmCalcBGX(gUserData));
    const double withBoth = gUserData.Biogas_nm3;
    // A line after an empty one is ignored, even when it names a known substrate.
    gUserData.substrates_mix[3] = gUserData.substrates_mix[1];
    gUserData.substrates_mix[1] = TBGXSubstrate_mix{};
    ASSERT_TRUE(dmCalcBGX(gUserData));
    EXPECT_LT(gUserData.Biogas_nm3, withBoth);
    EXPECT_DOUBLE_EQ(gUserData.Biomass_total_input_ton, 10000);
}

TEST_F(EngineTest, AllHundredAndOneLinesAreUsed) {
    for (size_t i = 0; i < kBGXSubstrateCount; ++i)
        gUserData.substrates_mix[i] = {"Cattle slurry", 1, 100, 0};
    ASSERT_TRUE(dmCalcBGX(gUserData));
    EXPECT_DOUBLE_EQ(gUserData.Biomass_total_input_ton, 10100);
}

TEST_F(EngineTest, NonFiniteInputsNeverGiveASuccessfulRun) {
    struct Case {
        const char* what;
        void (*spoil)();
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    static double value;
    value = nan;
    const Case cases[] = {
        {"NaN substrate mass", [] { gUserData.substrates_mix[0].Msub_i = value; }},
        {"NaN engine count", [] { gUserData.n_engine = value; }},
        {"NaN electricity price", [] { gUserData.energy_production_relpriceelec = value; }},
        {"NaN land price", [] { gUserData.Land_C1_user = value; }},
        {"infinite extra investment",
         [] { gUserData.INVuser_amount = std::numeric_limits<double>::infinity(); }},
        {"NaN inflation", [] { gAdminVars.PERInflation = value; }},
        {"NaN subsidy price",
         [] {
             gUserData.financial_aspects_country = 3;
             gUserData.subnetelec = value;
         }},
    };
    for (const Case& c : cases) {
        testdata::fillGlobals();
        c.spoil();
        EXPECT_THROW(dmCalcBGX(gUserData), TBGXCalcError) << c.what;
    }
}
