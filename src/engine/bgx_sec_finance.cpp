// Financing of each case, the 22-row projection, net present value, start loan, internal rate of
// return, cost of financing and the yearly summary with the simple payback time.
#include "bgx_case_fields.h"
#include "bgx_irr.h"
#include "bgx_run.h"

#include <algorithm>
#include <cmath>

namespace fmx {

void BGXRun::interestDuringConstruction() {
    const double i = UD.financial_aspects_perinterest / 100;
    const double borrowed = 1 - UD.financial_aspects_perequity / 100;
    const double shares[3] = {UD.subsidy_perpayment1 / 100, UD.subsidy_perpayment2 / 100,
                              UD.subsidy_perpayment3 / 100};
    const double moments[3] = {UD.subsidy_perpayperiod1, UD.subsidy_perpayperiod2, UD.subsidy_perpayperiod3};
    for (size_t c = 0; c < kCaseCount; ++c) {
        // The first payment also carries the land and the advice costs.
        const double bases[3] = {Ld + Ac[c] + Dc[c] * shares[0], Dc[c] * shares[1], Dc[c] * shares[2]};
        double total = 0;
        for (int j = 0; j < 3; ++j)
            total += bases[j] * borrowed * (i / 12) * ((100 - moments[j]) * UD.subsidy_building_period / 100);
        Ic[c] = total;
    }
}

void BGXRun::financing() {
    const double i = UD.financial_aspects_perinterest / 100;
    for (size_t c = 0; c < kCaseCount; ++c) {
        Wc[c] = UD.financial_aspects_perworkcapital / 100 * Tc[c];
        Fc[c] = Tc[c] + Wc[c] + Ic[c] - Sub[c];
        Eqc[c] = UD.financial_aspects_perequity / 100 * Fc[c];
        Lnc[c] = Fc[c] - Eqc[c];
        Anc[c] = Lnc[c] * i / (1 - std::pow(1 + i, -UD.financial_aspects_tloan));
        Insc[c] = A.PERinsur / 100 * Fc[c];
        depc[c] = (Dc[c] - Sub[c]) / UD.Tdepr;
    }
}

namespace {

// An item that grows: the first-year value in year 1, escalated each year up to n, 0 outside.
double grow(int y, int n, double first, double escPct, double prev) {
    if (y <= 0 || y > n) return 0;
    if (y == 1) return first;
    return (1 + escPct / 100) * prev;
}

enum class CaseKind { Chp, ChpHeat, Biomethane, Other };

CaseKind caseKind(const std::string& name) {
    if (name == "chp") return CaseKind::Chp;
    if (name == "chp_heat") return CaseKind::ChpHeat;
    if (name == "biomethane") return CaseKind::Biomethane;
    return CaseKind::Other;
}

// Subsidy revenue of operating year y; gEnergy and gInfl are the escalations (1 + e/100)^(y - 1).
// Where the subsidy price includes the market price, the market value is deducted, but a subsidy
// never turns into a charge: once its period has ended, or when the market price has risen above
// it, it is 0 and the energy is simply sold, as in the first year.
double subsidyRevenue(const TBGXFinanceArgs& a, CaseKind kind, int y, double gEnergy, double gInfl) {
    const size_t f = static_cast<size_t>(y - 1);
    const TSubsidyRec& R1 = *a.R1;
    const TSubsidyRec& R2 = *a.R2;
    const TSubsidyRec& R3 = *a.R3;
    const TSubsidyRec& R4 = *a.R4;
    const TSubsidyRec& R5 = *a.R5;
    auto inclusive = [](bool compl_, double subsidy, double marketValue) {
        return compl_ ? std::max(subsidy - marketValue, 0.0) : subsidy;
    };
    switch (kind) {
    case CaseKind::Chp:
        return inclusive(R1.applySubsCompl, R1.RELSubs * R1.CFsubs[f] * R1.Esubs,
                         gEnergy * R1.Esubs * a.relpriceelec);
    case CaseKind::ChpHeat:
        return inclusive(R1.applySubsCompl,
                         (R1.RELSubs * R1.CFsubs[f] + R2.RELSubs * R2.CFsubs[f]) * R2.Esubs,
                         gEnergy * R2.Esubs * a.relpriceelec) +
               inclusive(R5.applySubsCompl, R5.RELSubs * R5.CFsubs[f] * a.heatSold / 1000,
                         gInfl * a.heatSold / 1000 * a.relpricetherm);
    case CaseKind::Biomethane:
        return inclusive(R4.applySubsCompl, R3.Esubs * R4.RELSubs * R4.CFsubs[f],
                         gEnergy * R3.Esubs * a.relpricebiometh);
    case CaseKind::Other:
        break;
    }
    return inclusive(R4.applySubsCompl, R4.Esubs * R4.RELSubs * R4.CFsubs[f],
                     gEnergy * R4.Esubs * a.relpricebiometh);
}

double ownInvestmentSubsidy(const TBGXFinanceArgs& a) {
    if (a.caseName == "chp") return a.sub1;
    if (a.caseName == "chp_heat") return a.sub2;
    if (a.caseName == "biomethane") return a.sub3;
    if (a.caseName == "biomethane_ext_heat") return a.sub4;
    return 0;
}

} // namespace

void fill_finance_years(const TBGXFinanceArgs& a, double& interestTotal, TBGX_Finance_Years& out) {
    const int n = a.Tcashflow;
    const double escB = a.PERescBiomass;
    const CaseKind kind = caseKind(a.caseName);
    const double ownSubsidy = ownInvestmentSubsidy(a);
    const double discountRate = (a.perinterest - a.PERinfl) / 100;
    // Every field of every row is written below, in order; a row reads only itself and the row before.
    TBGX_Finance_Years& rows = out;
    static const TBGX_Finance_Year kNoPreviousRow{};
    interestTotal = 0;
    // Escalation factors (1 + e/100)^(y - 1) of the operating year and the discount (1 + rate)^y,
    // carried from year to year.
    double gEnergy = 1, gInfl = 1, discount = 1;
    for (int r = 0; r < kBGXFinanceRows; ++r) {
        const int y = r - 1;
        TBGX_Finance_Year& x = rows[static_cast<size_t>(r)];
        const TBGX_Finance_Year& prev = r > 0 ? rows[static_cast<size_t>(r - 1)] : kNoPreviousRow;

        // Profit and loss.
        x.pro_rev_energy = grow(y, n, a.revenue, a.PERescEnergy, prev.pro_rev_energy);
        if (y >= 2) {
            gEnergy *= 1 + a.PERescEnergy / 100;
            gInfl *= 1 + a.PERinfl / 100;
        }
        if (y >= 1) discount *= 1 + discountRate;
        x.pro_rev_subsidy = (y >= 1 && y <= n) ? subsidyRevenue(a, kind, y, gEnergy, gInfl) : 0;
        x.pro_rev_total = x.pro_rev_energy + x.pro_rev_subsidy;

        if (y <= 0 || y > n)
            x.pro_cos_biomass = 0;
        else if (y == 1)
            x.pro_cos_biomass =
                n > 1 ? a.biomass - (1 + escB / 100) * a.workcap + a.workcap : a.biomass - a.workcap;
        else
            x.pro_cos_biomass = (1 + escB / 100) * prev.pro_cos_biomass;
        x.pro_cos_digested = grow(y, n, a.digestate, a.PERescDigBiomass, prev.pro_cos_digested);
        x.pro_cos_elec = grow(y, n, a.eleccost, a.PERescEnergy, prev.pro_cos_elec);
        x.pro_cos_therm = grow(y, n, a.heatcost, a.PERescEnergy, prev.pro_cos_therm);
        x.pro_cos_diesel = grow(y, n, a.diesel, a.PERescEnergy, prev.pro_cos_diesel);
        x.pro_cos_personnel = grow(y, n, a.personnel, a.PERinfl, prev.pro_cos_personnel);
        x.pro_cos_insurance = grow(y, n, a.insurance, a.PERinfl, prev.pro_cos_insurance);
        x.pro_cos_maintenance = grow(y, n, a.maintenance, a.PERinfl, prev.pro_cos_maintenance);
        x.pro_cos_costuser_amount = grow(y, n, a.costuser, a.PERinfl, prev.pro_cos_costuser_amount);

        // The advice costs are written off in the construction year.
        if (y == -1)
            x.pro_cos_depreciation = 0;
        else if (y == 0)
            x.pro_cos_depreciation = prev.bal_ass_design;
        else
            x.pro_cos_depreciation = y <= a.Tdepr ? a.deprYear : 0;

        if (y == -1)
            x.pro_cos_interest = 0;
        else if (y == 0)
            x.pro_cos_interest = a.constrInterest;
        else
            x.pro_cos_interest = y <= a.tloan ? a.perinterest / 100 * prev.bal_lia_loan : 0;
        interestTotal += x.pro_cos_interest;

        x.pro_cos_startup = y == 1 ? a.startup2 : 0;
        x.pro_cos_total = x.pro_cos_biomass + x.pro_cos_digested + x.pro_cos_elec + x.pro_cos_therm +
                          x.pro_cos_diesel + x.pro_cos_personnel + x.pro_cos_insurance +
                          x.pro_cos_maintenance + x.pro_cos_costuser_amount + x.pro_cos_depreciation +
                          x.pro_cos_interest + x.pro_cos_startup;

        x.pro_res_result = y == -1 ? 0 : x.pro_rev_total - x.pro_cos_total;
        if (y == -1)
            x.pro_res_cumulative_before_taxes = 0;
        else if (y == 0)
            x.pro_res_cumulative_before_taxes = x.pro_res_result;
        else
            x.pro_res_cumulative_before_taxes = prev.pro_res_cumulative_before_taxes + x.pro_res_result;
        // The year in which the cumulative result turns positive pays tax on the cumulative amount.
        if (y == -1 || x.pro_res_cumulative_before_taxes <= 0)
            x.pro_res_tax = 0;
        else if (prev.pro_res_cumulative_before_taxes > 0)
            x.pro_res_tax = x.pro_res_result * a.Tax_on_profit / 100;
        else
            x.pro_res_tax = x.pro_res_cumulative_before_taxes * a.Tax_on_profit / 100;
        x.pro_res_nett = y == -1 ? 0 : x.pro_res_result - x.pro_res_tax;
        x.pro_res_cumulative_after_taxes = y == -1 ? 0 : prev.pro_res_cumulative_after_taxes + x.pro_res_nett;

        // Balance.
        x.bal_ass_design = y == -1 ? a.advise : 0;
        x.bal_ass_equipment = y <= 0 ? a.invest : prev.bal_ass_equipment - x.pro_cos_depreciation;
        x.bal_ass_land = y <= 0 ? a.land : (y <= n ? prev.bal_ass_land : 0);
        if (y == -1)
            x.bal_ass_stock = 0;
        else if (y == 0)
            x.bal_ass_stock = a.workcap;
        else
            x.bal_ass_stock = y <= n ? (100 + escB) * prev.bal_ass_stock / 100 : 0;
        if (y == -1)
            x.bal_lia_equity = a.equity;
        else if (y == 0)
            x.bal_lia_equity = a.equity + x.pro_res_nett + x.pro_cos_biomass;
        else
            x.bal_lia_equity = prev.bal_lia_equity + x.pro_res_nett;
        if (y <= 0)
            x.bal_lia_loan = a.loan;
        else
            x.bal_lia_loan = y <= a.tloan ? prev.bal_lia_loan - a.annuity + x.pro_cos_interest : 0;
        x.bal_lia_total = x.bal_lia_equity + x.bal_lia_loan;
        if (y == -1) {
            x.bal_ass_total = a.equity + a.loan;
            x.bal_ass_capital = x.bal_ass_total - x.bal_ass_design - x.bal_ass_equipment - x.bal_ass_land;
        } else {
            x.bal_ass_capital =
                y == 0 ? a.startup : x.bal_lia_total - x.bal_ass_equipment - x.bal_ass_land - x.bal_ass_stock;
            x.bal_ass_total =
                x.bal_ass_design + x.bal_ass_equipment + x.bal_ass_land + x.bal_ass_stock + x.bal_ass_capital;
        }

        // Cash flow.
        x.cas_inc_energy = x.pro_rev_energy;
        x.cas_inc_subsidy = y == 0 ? ownSubsidy : x.pro_rev_subsidy;
        x.cas_inc_sales = y == n ? x.bal_ass_land : 0;
        x.cas_inc_loan = y == 0 ? a.loan : 0;
        x.cas_inc_total = x.cas_inc_energy + x.cas_inc_subsidy + x.cas_inc_sales + x.cas_inc_loan;

        x.cas_exp_material = y == 0 ? x.bal_ass_equipment + x.bal_ass_land + prev.bal_ass_design : 0;
        if (y == -1)
            x.cas_exp_biomass = 0;
        else if (y == 0)
            x.cas_exp_biomass = x.bal_ass_stock;
        else if (y == 1)
            x.cas_exp_biomass = n > 1 ? a.biomass : (n == 1 ? a.biomass - prev.bal_ass_stock : 0);
        else if (n > y)
            x.cas_exp_biomass = (1 + escB / 100) * prev.cas_exp_biomass;
        else if (n == y)
            x.cas_exp_biomass = (prev.cas_exp_biomass - prev.bal_ass_stock) * (1 + escB / 100);
        else
            x.cas_exp_biomass = 0;
        x.cas_exp_digested = x.pro_cos_digested;
        x.cas_exp_elec = x.pro_cos_elec;
        x.cas_exp_therm = x.pro_cos_therm;
        x.cas_exp_diesel_use = x.pro_cos_diesel;
        x.cas_exp_personnel = x.pro_cos_personnel;
        x.cas_exp_insurance = x.pro_cos_insurance;
        x.cas_exp_maintenance = x.pro_cos_maintenance;
        x.cas_exp_costuser_amount = x.pro_cos_costuser_amount;
        x.cas_exp_interest = x.pro_cos_interest;
        x.cas_exp_startup = x.pro_cos_startup;
        x.cas_exp_tax = x.pro_res_tax;
        x.cas_exp_amortisation = (y >= 1 && y <= a.tloan) ? a.annuity - x.pro_cos_interest : 0;
        x.cas_exp_total = x.cas_exp_material + x.cas_exp_biomass + x.cas_exp_digested + x.cas_exp_elec +
                          x.cas_exp_therm + x.cas_exp_diesel_use + x.cas_exp_personnel + x.cas_exp_insurance +
                          x.cas_exp_maintenance + x.cas_exp_costuser_amount + x.cas_exp_interest +
                          x.cas_exp_startup + x.cas_exp_tax + x.cas_exp_amortisation;

        x.cas_res_cashflow = x.cas_inc_total - x.cas_exp_total;
        x.cas_res_cumulative_cashflow =
            y == -1 ? x.cas_res_cashflow : prev.cas_res_cumulative_cashflow + x.cas_res_cashflow;
        x.cas_res_cashflow_excl = y == -1 ? 0 : x.cas_res_cashflow - x.cas_inc_loan + x.cas_exp_amortisation;
        x.cas_res_cumulative_cashflow_excl =
            y == -1 ? x.cas_res_cashflow_excl
                    : prev.cas_res_cumulative_cashflow_excl + x.cas_res_cashflow_excl;
        x.cas_res_present_value = y <= 0 ? x.cas_res_cashflow : x.cas_res_cashflow / discount;
        if (y == -1)
            x.cas_res_cash_position_1 = x.cas_res_cashflow + x.bal_ass_capital;
        else
            x.cas_res_cash_position_1 = y <= n ? prev.cas_res_cash_position_1 + x.cas_res_cashflow : 0;
        if (y == -1)
            x.cas_res_cash_position_2 = x.bal_lia_total;
        else if (y == 0)
            x.cas_res_cash_position_2 = prev.cas_res_cash_position_2 + x.cas_res_cashflow_excl;
        else
            x.cas_res_cash_position_2 = y <= n ? prev.cas_res_cash_position_2 + x.cas_res_cashflow : 0;
    }
}

void BGXRun::projections() {
    const std::array<const TSubsidyRec*, 5> streams{&R1, &R2, &R3, &R4, &R5};
    const std::array<double, kCaseCount> revenue{Rv1, Rv2 + Rh, Rb3, Rb4};
    TBGXFinanceArgs a;
    a.Tcashflow = UD.Tcashflow;
    a.R1 = streams[0];
    a.R2 = streams[1];
    a.R3 = streams[2];
    a.R4 = streams[3];
    a.R5 = streams[4];
    a.Tdepr = UD.Tdepr;
    a.tloan = UD.financial_aspects_tloan;
    a.PERescBiomass = UD.PERescBiomass;
    a.PERescEnergy = UD.PERescEnergy;
    a.PERescDigBiomass = UD.PERescDigBiomass;
    a.PERinfl = UD.PERinfl;
    a.perinterest = UD.financial_aspects_perinterest;
    a.Tax_on_profit = UD.Tax_on_profit;
    a.relpriceelec = UD.energy_production_relpriceelec;
    a.relpricetherm = UD.energy_production_relpricetherm;
    a.relpricebiometh = UD.energy_production_relpricebiometh;
    a.heatSold = heatSold_MJ;
    a.biomass = purchase_eur;
    a.digestate = digestateExport_eur;
    a.diesel = dieselCost_eur;
    a.personnel = personnelCost_eur;
    a.costuser = UD.financial_aspects_costuser_amount;
    a.sub1 = Sub[0];
    a.sub2 = Sub[1];
    a.sub3 = Sub[2];
    a.sub4 = Sub[3];

    for (size_t c = 0; c < kCaseCount; ++c) {
        a.advise = Ac[c];
        a.invest = Dc[c];
        a.land = UD.*kLand[c];
        a.workcap = Wc[c];
        a.startup = Stc[c];
        a.equity = Eqc[c];
        a.loan = Lnc[c];
        a.annuity = Anc[c];
        a.deprYear = depc[c];
        a.revenue = revenue[c];
        a.eleccost = elecCost[c];
        a.heatcost = heatCost[c];
        a.insurance = Insc[c];
        a.maintenance = maintenance[c];
        a.constrInterest = Ic[c];
        a.startup2 = Stc[c];
        a.caseName = kBGXCaseNames[c];

        TBGX_Finance_Years& rows = UD.*kfinance_years[c];
        double interestTotal = 0;
        fill_finance_years(a, interestTotal, rows);
        UD.*kfinance_spl[c] = rows[1].bal_lia_loan;
        double npv = 0;
        for (const TBGX_Finance_Year& row : rows)
            npv += row.cas_res_present_value;
        UD.*kfinance_npv[c] = npv;

        std::array<double, kBGXFinanceRows - 1> flows{};
        for (size_t r = 1; r < kBGXFinanceRows; ++r)
            flows[r - 1] = rows[r].cas_res_cashflow;
        const std::optional<double> irr = internalRateOfReturn(flows);
        UD.*kfinance_irr[c] = irr ? *irr * 100 : 0;

        costOfFinancing[c] = interestTotal / UD.financial_aspects_tloan;
        UD.*kout_cost_of_financing[c] = costOfFinancing[c];
    }
}

void BGXRun::yearlySummary() {
    for (size_t c = 0; c < kCaseCount; ++c) {
        const double investment = UD.*kTotal[c];
        const double depreciation = (investment - Ld) / UD.Tdepr;
        const double heat = c == kCaseBiomethane ? 0 : heatCost[c];
        UD.*kInvestment[c] = investment;
        UD.*kyearly_average_depreciation[c] = depreciation;
        UD.*kout_biomass_input[c] = purchase_eur;
        UD.*kout_maintenance[c] = maintenance[c];
        UD.*kout_elec_energy_use[c] = elecCost[c];
        UD.*kout_therm_energy_use[c] = heat;
        UD.*kout_diesel_use[c] = dieselCost_eur;
        UD.*kout_personnel_cost[c] = personnelCost_eur;
        UD.*kout_insurance[c] = Insc[c];
        UD.*kout_digested_biomass_output[c] = digestateExport_eur;
        UD.*kout_costuser_amount[c] = UD.financial_aspects_costuser_amount;
        const double total = depreciation + costOfFinancing[c] + purchase_eur + maintenance[c] + elecCost[c] +
                             heat + dieselCost_eur + personnelCost_eur + Insc[c] + digestateExport_eur +
                             UD.financial_aspects_costuser_amount;
        UD.*kout_total[c] = total;
        const double income = UD.*kin_total[c];
        UD.*kyearly_average_cashflow[c] = income - total;
        UD.*ksimply_payback_time[c] = investment / (income - total + depreciation);
    }
}

} // namespace fmx
