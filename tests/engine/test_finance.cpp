// Financing, the 22-row projection, net present value, internal rate of return and the summary.
#include "bgx_case_fields.h"
#include "bgx_irr.h"
#include "engine_test_support.h"

#include <cfenv>
#include <cmath>
#include <vector>

using namespace fmx;
using fmx::testing::EngineTest;
using fmx::testing::makeRun;
using fmx::testing::runSections;
using fmx::testing::Upto;

namespace {

struct Streams {
    TSubsidyRec R1, R2, R3, R4, R5;
};

// A small plant: 1000 equipment, 100 land, 50 advice, 20 working capital, a loan of 1000 over 10
// years at 5 %, 300 energy revenue growing 2 %, 100 costs of each kind.
TBGXFinanceArgs plainArgs(const Streams& s) {
    TBGXFinanceArgs a;
    a.Tcashflow = 20;
    a.R1 = &s.R1;
    a.R2 = &s.R2;
    a.R3 = &s.R3;
    a.R4 = &s.R4;
    a.R5 = &s.R5;
    a.Tdepr = 12, a.tloan = 10, a.PERescBiomass = 2, a.PERescEnergy = 2, a.PERescDigBiomass = 2,
    a.PERinfl = 2;
    a.perinterest = 5, a.Tax_on_profit = 25, a.relpriceelec = 0.1, a.relpricetherm = 15,
    a.relpricebiometh = 0.45;
    a.advise = 50, a.invest = 1000, a.land = 100, a.workcap = 20, a.startup = 30, a.equity = 250,
    a.loan = 1000;
    a.annuity = 1000 * 0.05 / (1 - std::pow(1.05, -10));
    a.deprYear = 1000.0 / 12, a.revenue = 600, a.heatSold = 0, a.biomass = 50, a.digestate = 10,
    a.eleccost = 20;
    a.heatcost = 5, a.diesel = 3, a.personnel = 40, a.insurance = 6, a.maintenance = 25, a.costuser = 7;
    a.constrInterest = 12, a.startup2 = 30;
    a.caseName = "chp";
    return a;
}

TBGX_Finance_Years project(const TBGXFinanceArgs& a, double* interest = nullptr) {
    TBGX_Finance_Years rows;
    double total = 0;
    fill_finance_years(a, total, rows);
    if (interest) *interest = total;
    return rows;
}

} // namespace

TEST(Projection, FullPeriodSellsTheLandInTheLastYear) {
    Streams s;
    double interest = 0;
    const TBGX_Finance_Years rows = project(plainArgs(s), &interest);
    EXPECT_EQ(rows[21].cas_inc_sales, 100);
    EXPECT_EQ(rows[20].cas_inc_sales, 0);
    EXPECT_EQ(rows[1].cas_inc_loan, 1000);
    EXPECT_EQ(rows[1].pro_cos_interest, 12);
    EXPECT_EQ(rows[1].pro_cos_depreciation, 50); // the advice written off in year 0
    EXPECT_EQ(rows[2].pro_cos_startup, 30);
    EXPECT_NEAR(rows[2].pro_rev_energy, 600, 1e-12);
    EXPECT_NEAR(rows[3].pro_rev_energy, 612, 1e-9);
    EXPECT_NEAR(rows[2].pro_cos_biomass, 50 - 1.02 * 20 + 20, 1e-12);
    EXPECT_NEAR(rows[2].pro_cos_interest, 50, 1e-12);
    double sum = 0;
    for (const auto& row : rows)
        sum += row.pro_cos_interest;
    EXPECT_NEAR(interest, sum, 1e-9);
    // The balance balances from year 1 on.
    for (size_t r = 2; r < 22; ++r)
        EXPECT_NEAR(rows[r].bal_ass_total, rows[r].bal_lia_total, 1e-6) << r;
    EXPECT_NEAR(rows[0].bal_ass_total, 1250, 1e-12);
    EXPECT_NEAR(rows[0].bal_ass_capital, 1250 - 50 - 1000 - 100, 1e-12);
}

TEST(Projection, ShortPeriodEndsGrownItemsButNotDepreciationOrLoan) {
    Streams s;
    TBGXFinanceArgs a = plainArgs(s);
    a.Tcashflow = 10;
    a.tloan = 12;
    const TBGX_Finance_Years rows = project(a);
    EXPECT_EQ(rows[11].cas_inc_sales, 100);
    for (size_t r = 12; r < 22; ++r) {
        EXPECT_EQ(rows[r].pro_rev_energy, 0) << r;
        EXPECT_EQ(rows[r].pro_cos_personnel, 0);
        EXPECT_EQ(rows[r].bal_ass_land, 0);
        EXPECT_EQ(rows[r].bal_ass_stock, 0);
        EXPECT_EQ(rows[r].cas_res_cash_position_1, 0);
        EXPECT_EQ(rows[r].cas_res_cash_position_2, 0);
    }
    EXPECT_NEAR(rows[13].pro_cos_depreciation, 1000.0 / 12, 1e-12); // year 12
    EXPECT_EQ(rows[14].pro_cos_depreciation, 0);
    EXPECT_GT(rows[13].cas_exp_amortisation, 0);
    EXPECT_EQ(rows[14].cas_exp_amortisation, 0);
}

TEST(Projection, LoanIsRepaidWithinItsTerm) {
    Streams s;
    const TBGX_Finance_Years rows = project(plainArgs(s));
    EXPECT_NEAR(rows[11].bal_lia_loan, 0, 1e-9); // year 10
    for (size_t r = 12; r < 22; ++r) {
        EXPECT_EQ(rows[r].bal_lia_loan, 0);
        EXPECT_EQ(rows[r].pro_cos_interest, 0);
        EXPECT_EQ(rows[r].cas_exp_amortisation, 0);
    }
    double repaid = 0;
    for (const auto& row : rows)
        repaid += row.cas_exp_amortisation;
    EXPECT_NEAR(repaid, 1000, 1e-9);
}

TEST(Projection, TaxOnTheCumulativeResultInTheYearItTurnsPositive) {
    Streams s;
    TBGXFinanceArgs a;
    a.R1 = &s.R1, a.R2 = &s.R2, a.R3 = &s.R3, a.R4 = &s.R4, a.R5 = &s.R5;
    a.Tcashflow = 3, a.Tdepr = 10, a.tloan = 10, a.Tax_on_profit = 25, a.perinterest = 5;
    a.constrInterest = 100; // year 0: result -100
    a.revenue = 300;        // year 1: +300, cumulative +200
    a.PERescEnergy = 0;
    a.caseName = "chp";
    const TBGX_Finance_Years rows = project(a);
    EXPECT_EQ(rows[1].pro_res_result, -100);
    EXPECT_EQ(rows[1].pro_res_tax, 0);
    EXPECT_EQ(rows[2].pro_res_cumulative_before_taxes, 200);
    EXPECT_EQ(rows[2].pro_res_tax, 200 * 0.25);
    EXPECT_EQ(rows[3].pro_res_tax, 300 * 0.25);
    EXPECT_EQ(rows[3].pro_res_cumulative_after_taxes, -100 + 250 + 225);
}

TEST(Projection, SubsidyRevenuePerCase) {
    Streams s;
    s.R1.RELSubs = 0.2, s.R1.Esubs = 1000, s.R1.applySubsCompl = true;
    s.R2.RELSubs = 0.05, s.R2.Esubs = 800;
    s.R3.Esubs = 50;
    s.R4.RELSubs = 0.3, s.R4.Esubs = 60, s.R4.applySubsCompl = false;
    s.R5.RELSubs = 2, s.R5.applySubsCompl = true;
    for (TSubsidyRec* r : {&s.R1, &s.R2, &s.R4, &s.R5})
        r->CFsubs.fill(1);
    s.R1.CFsubs[1] = 0.5;
    TBGXFinanceArgs a = plainArgs(s);
    a.heatSold = 4000;
    const double g2 = 1.02; // escalation in year 2

    a.caseName = "chp";
    TBGX_Finance_Years rows = project(a);
    EXPECT_NEAR(rows[2].pro_rev_subsidy, 0.2 * 1000 - 1000 * 0.1, 1e-12);
    // Year 2: half the price is below the escalated market value; the subsidy is 0, not a charge.
    ASSERT_LT(0.2 * 0.5 * 1000 - g2 * 1000 * 0.1, 0);
    EXPECT_EQ(rows[3].pro_rev_subsidy, 0);

    a.caseName = "chp_heat";
    rows = project(a);
    // The inclusive heat subsidy (2 x 4 against a market value of 4 x 15) adds nothing.
    EXPECT_NEAR(rows[2].pro_rev_subsidy, (0.2 + 0.05) * 800 - 800 * 0.1, 1e-12);

    a.caseName = "biomethane";
    rows = project(a);
    EXPECT_NEAR(rows[2].pro_rev_subsidy, 50 * 0.3, 1e-12);
    a.caseName = "biomethane_ext_heat";
    rows = project(a);
    EXPECT_NEAR(rows[2].pro_rev_subsidy, 60 * 0.3, 1e-12);
    EXPECT_EQ(rows[1].pro_rev_subsidy, 0);
    EXPECT_EQ(rows[1].cas_inc_subsidy, 0); // no investment subsidy given
}

TEST(Projection, InclusiveSubsidyIsNotChargedAfterItsPeriod) {
    // A tariff that includes the market price for 12 years: afterwards the energy is only sold.
    Streams s;
    s.R1.RELSubs = 0.16, s.R1.Esubs = 1000, s.R1.applySubsCompl = true;
    for (int y = 1; y <= 20; ++y)
        s.R1.CFsubs[static_cast<size_t>(y - 1)] = y <= 12 ? 1 : 0;
    TBGXFinanceArgs a = plainArgs(s);
    const TBGX_Finance_Years rows = project(a);
    EXPECT_NEAR(rows[2].pro_rev_subsidy, 1000 * (0.16 - 0.10), 1e-12);
    for (size_t r = 14; r < 22; ++r) {
        EXPECT_EQ(rows[r].pro_rev_subsidy, 0) << "year " << r - 1;
        EXPECT_GT(rows[r].pro_rev_total, 0);
    }
}

TEST(Projection, EqualInterestAndInflationLeaveCashFlowsUndiscounted) {
    Streams s;
    TBGXFinanceArgs a = plainArgs(s);
    a.PERinfl = a.perinterest;
    const TBGX_Finance_Years rows = project(a);
    for (const auto& row : rows)
        EXPECT_DOUBLE_EQ(row.cas_res_present_value, row.cas_res_cashflow);
}

TEST(InternalRateOfReturn, KnownRates) {
    struct Case {
        std::vector<double> flows;
        double rate; // NaN: only the balance of the flows is checked
    };
    const double balanceOnly = std::nan("");
    const Case cases[] = {
        {{-100, 110}, 0.10},
        {{-1000, 0, 1210}, 0.10},
        {{-100, 50, 50, 50}, 0.2337519285},
        {{-1000, -100, 200, 300, 400, 500, 600}, balanceOnly},
        {{-100, 30, 30, 30}, balanceOnly},
        // Newton from 0.1 overshoots below -100 % here; the bracketing search finds the root.
        {{-100, 10}, -0.9},
    };
    for (const Case& c : cases) {
        const std::optional<double> r = internalRateOfReturn(c.flows);
        ASSERT_TRUE(r.has_value()) << c.rate;
        double npv = 0;
        for (size_t t = 0; t < c.flows.size(); ++t)
            npv += c.flows[t] / std::pow(1 + *r, static_cast<double>(t));
        EXPECT_NEAR(npv, 0, 1e-8) << c.rate;
        if (!std::isnan(c.rate)) {
            EXPECT_NEAR(*r, c.rate, 1e-10);
        }
    }
}

TEST(InternalRateOfReturn, NoRootGivesNothingAndLeavesTheFlagsClean) {
    std::feclearexcept(FE_ALL_EXCEPT);
    const std::vector<double> allPositive{100, 10, 10};
    EXPECT_FALSE(internalRateOfReturn(allPositive).has_value());
    EXPECT_FALSE(internalRateOfReturn(std::vector<double>(21, 0.0)).has_value());
    // Flows whose discounting overflows for most rates.
    const std::vector<double> extreme{-1e308, 1e308, 1e308};
    (void)internalRateOfReturn(extreme);
    EXPECT_EQ(std::fetestexcept(FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW), 0);
}

TEST_F(EngineTest, FinancingOfEachCase) {
    BGXRun run = makeRun();
    runSections(run, Upto::Subsidies);
    for (size_t c = 0; c < 4; ++c) {
        const double D = run.Dc[c];
        // Payments of 30, 40 and 30 % at 0, 50 and 100 % of six months; 80 % borrowed at 5 %.
        const double expectedI = (run.Ld + run.Ac[c] + D * 0.3) * 0.8 * (0.05 / 12) * 6 +
                                 D * 0.4 * 0.8 * (0.05 / 12) * 3 + D * 0.3 * 0.8 * (0.05 / 12) * 0;
        EXPECT_NEAR(run.Ic[c], expectedI, 1e-6);
        const double F = run.Tc[c] + 0.02 * run.Tc[c] + run.Ic[c] - run.Sub[c];
        EXPECT_NEAR(run.Fc[c], F, 1e-6);
        EXPECT_NEAR(run.Lnc[c], 0.8 * F, 1e-6);
        EXPECT_NEAR(run.Anc[c], 0.8 * F * 0.05 / (1 - std::pow(1.05, -10)), 1e-6);
        EXPECT_NEAR(run.Insc[c], 0.005 * F, 1e-9);
        EXPECT_NEAR(run.depc[c], D / 12, 1e-9);
    }
}

TEST_F(EngineTest, FullEquityMeansNoLoanAndNoInterest) {
    gUserData.financial_aspects_perequity = 100;
    ASSERT_TRUE(dmCalcBGX(gUserData));
    for (size_t c = 0; c < 4; ++c) {
        EXPECT_EQ(gUserData.*kfinance_spl[c], 0);
        EXPECT_EQ(gUserData.*kout_cost_of_financing[c], 0);
        for (const auto& row : gUserData.*kfinance_years[c]) {
            EXPECT_EQ(row.pro_cos_interest, 0);
            EXPECT_EQ(row.cas_exp_amortisation, 0);
        }
    }
}

TEST_F(EngineTest, ResultsOfEachCaseAgreeWithItsProjection) {
    gUserData.financial_aspects_country = 7; // a profitable scheme, so that every rate exists
    gUserData.energy_production_relpricebiometh = 1.5;
    ASSERT_TRUE(dmCalcBGX(gUserData));
    const TBGXUserData& u = gUserData;
    for (size_t c = 0; c < 4; ++c) {
        const TBGX_Finance_Years& rows = u.*kfinance_years[c];
        double npv = 0, interest = 0;
        for (const auto& row : rows) {
            npv += row.cas_res_present_value;
            interest += row.pro_cos_interest;
        }
        EXPECT_NEAR(u.*kfinance_npv[c], npv, 1e-6);
        EXPECT_EQ(u.*kfinance_spl[c], rows[1].bal_lia_loan);
        EXPECT_NEAR(u.*kout_cost_of_financing[c], interest / 10, 1e-9);
        // The rate of return balances the cash flows of years 0 to 20.
        const double irr = u.*kfinance_irr[c] / 100;
        if (u.*kfinance_irr[c] != 0) {
            double v = 0;
            for (size_t r = 1; r < 22; ++r)
                v += rows[r].cas_res_cashflow / std::pow(1 + irr, static_cast<double>(r - 1));
            EXPECT_NEAR(v, 0, 1e-3) << "case " << c;
        }
        // The summary uses this run's cost of financing.
        const double dep = (u.*kInvestment[c] - u.Land_CHP) / 12;
        EXPECT_NEAR(u.*kyearly_average_depreciation[c], dep, 1e-9);
        const double total = dep + u.*kout_cost_of_financing[c] + u.*kout_biomass_input[c] +
                             u.*kout_maintenance[c] + u.*kout_elec_energy_use[c] +
                             u.*kout_therm_energy_use[c] + u.*kout_diesel_use[c] + u.*kout_personnel_cost[c] +
                             u.*kout_insurance[c] + u.*kout_digested_biomass_output[c] +
                             u.*kout_costuser_amount[c];
        EXPECT_NEAR(u.*kout_total[c], total, 1e-6);
        EXPECT_NEAR(u.*kyearly_average_cashflow[c], u.*kin_total[c] - total, 1e-6);
        EXPECT_NEAR(u.*ksimply_payback_time[c], u.*kInvestment[c] / (u.*kin_total[c] - total + dep), 1e-9);
    }
    EXPECT_NE(u.finance_irr_biomethane, 0); // every case gets its rate of return
    EXPECT_EQ(u.out_therm_energy_use_biomethane, 0);
}
