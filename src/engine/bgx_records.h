// Calculation records of the biogas engine.
//
// The engine works on four flat records that live for the whole program run: the constants, the
// administration variables, the subsidy rules and the user data (inputs, then outputs). Field names
// are the names the calculation bridge copies by. Every quantity is a double, flags are bools,
// enumerations are int32_t. Money is in euro, mass in t, volume in m3, gas in Nm3, heat in MJ,
// electricity in kWh. Quantities per year are yearly totals.
//
// The four energy cases appear everywhere in this order: CHP, CHP with heat delivery, biomethane,
// biomethane with external (bought) heat.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <type_traits>

namespace fmx {

constexpr int kBGXSubstrateCount = 101;
constexpr int kBGXFinanceRows = 22;
constexpr int kBGXOperatingYears = 20;

struct TBGXConstants {
    double CFthermophilic = 0;
    bool Applythermophilic = false;
    double RT_C1 = 0;
    double RT_C2 = 0;
    double RT_C3 = 0;
    double RELdens_meth = 0;
    double RELdens_CO2 = 0;
    double C_LHVmethane = 0;
    double C_CpWater = 0;
    double Tyear = 0;
    double CurrYear = 0;
    double C_SecondsPerHour = 0;
    double C_HoursPerDay = 0;
    double C_DaysPerYear = 0;
    double C_SecondsPerYear = 0;
    double C_kwhToMJ = 0;
    double C_TonToKg = 0;
    double C_BarToPa = 0;
    double C_g = 0;
    double Ck_compr = 0;
};

// One substrate of the reference database.
struct TBGXSubstrate {
    std::string Name;
    int32_t SubType_i = 0; // 1 liquid manure, 2 solid manure, 3 liquid co-substrate, 4 solid co-substrate
    double DM = 0;         // dry matter, % of fresh mass
    double ODM = 0;        // organic dry matter, % of fresh mass
    double BiogasProd = 0; // Nm3 per t organic dry matter
    double CH4 = 0;        // volume %
    double CO2 = 0;        // volume %
    double T_RT_recom = 0; // recommended retention time, days
    double REL_dens_i = 0; // t/m3
    double PER_slib_i = 0; // sludge share, %
    double Potassium = 0;  // % of fresh mass
    double Phosphate = 0;
    double Nitrogen = 0;     // organically bound
    double Min_Nitrogen = 0; // mineral
    double RELprod_i = 0;    // production per animal
    double REL_redCDE = 0;   // CO2-equivalent reduction
};

// One line of the farm's substrate input.
struct TBGXSubstrate_mix {
    std::string Name;
    int32_t SubType_i = 0;
    double Msub_i = 0;    // t/year
    double RELcost_i = 0; // euro/t, negative for a revenue
};

struct TBGXAdminVars {
    std::array<TBGXSubstrate, kBGXSubstrateCount> Substrates{};

    // Process and physical parameters.
    double TEMPmesophilic = 0;
    double TEMPthermophilic = 0;
    double PERminN = 0;
    double C_RhoDigestate = 0;
    double C_CpDigestate = 0;
    double REL_Dig_Dens = 0;
    double REL_thickfrac_dens = 0;
    double REL_liqfrac_dens = 0;
    double REL_thickdriedfrac_dens = 0;
    double REL_retUF_dens = 0;
    double REL_retRO_dens = 0;
    double REL_water_dens = 0;
    double PRESSaverage = 0;
    double TEMPaverage = 0;
    double TEMPground = 0;
    double Tufro = 0;
    double Tchp = 0;
    double Tdry = 0;
    double C_chpFuelmax = 0;
    double RATeffCHP_C1 = 0;
    double RATeffCHP_C2 = 0;
    double RATeffCHP_C3 = 0;
    double C_dTdigesterHeating = 0;
    double RATeff_past = 0;
    double TEMPpasteurisation = 0;
    double RATmeth_biometh = 0;
    double RATeffBiogasUpgr = 0;
    double RATeffElecStorage = 0;
    double RATeffElecDigester = 0;
    double Ch_heating_digester = 0;
    double Effpump = 0;
    double RATeff_compr = 0;
    double PRESSin = 0;
    double RATstor_frac = 0;
    double RAT_dm_thickfrac = 0;
    double RAT_dm_liqfrac = 0;
    double RAT_dm_thickdriedfrac = 0;
    double RAT_UF_ret = 0;
    double RAT_RO_ret = 0;
    double PERInflation = 0;
    double PERinsur = 0;

    // Treatment efficiencies (carried, not read by the calculation).
    double RAT_sep_eff_dm = 0, RAT_sep_eff_odm = 0, RAT_sep_eff_Ntot = 0, RAT_sep_eff_Nmin = 0,
           RAT_sep_eff_P = 0, RAT_sep_eff_K = 0;
    double RAT_UF_eff_dm = 0, RAT_UF_eff_odm = 0, RAT_UF_eff_Ntot = 0, RAT_UF_eff_Nmin = 0, RAT_UF_eff_P = 0,
           RAT_UF_eff_K = 0;
    double RAT_RO_eff_dm = 0, RAT_RO_eff_odm = 0, RAT_RO_eff_Ntot = 0, RAT_RO_eff_Nmin = 0, RAT_RO_eff_P = 0,
           RAT_RO_eff_K = 0;
    double RAT_dry_eff_dm = 0, RAT_dry_eff_odm = 0, RAT_dry_eff_Ntot = 0, RAT_dry_eff_Nmin = 0,
           RAT_dry_eff_P = 0, RAT_dry_eff_K = 0;

    // Price reference years, one per component.
    double BY_Digester_A = 0, BY_Digester_B = 0, BY_Concrete = 0, BY_Steel = 0, BY_Bag = 0, BY_Polyester = 0,
           BY_Trench = 0, BY_Past = 0, BY_Torch = 0, BY_Sep = 0, BY_UFRO = 0, BY_Dry = 0, BY_BoilerA = 0,
           BY_BoilerB = 0, BY_BoilerC = 0, BY_CHP = 0, BY_HeatNetwork = 0, BY_Upgrade_a = 0, BY_Upgrade_b = 0,
           BY_GasConnect = 0, BY_GasNetwork = 0, BY_Shovel = 0, BY_Civil = 0;

    // Cost-curve coefficients.
    double C1_Digester_A = 0, C1_Digester_B = 0, C1_Concrete = 0, C1_Steel = 0, C1_Bag = 0, C1_Polyester = 0,
           C1_Trench = 0, C1_Past = 0, C1_Torch = 0, C1_Sep = 0, C1_UFRO = 0, C1_Dry = 0, C1_BoilerA = 0,
           C1_BoilerB = 0, C1_BoilerC = 0, C1_CHP = 0, C1_HeatNetwork = 0, C1_Upgrade_a = 0, C1_Upgrade_b = 0,
           C1_GasConnect = 0, C1_GasNetwork = 0, C1_Shovel = 0, C1_Civil = 0;
    double C1_PERadvise = 0, C1_PERinspection = 0, C1_PERengineering = 0, C1_PERcontractorfee = 0,
           C1_PERcontingency = 0, C1_PERstartup = 0;
    double C2_Digester_A = 0, C2_Digester_B = 0, C2_Concrete = 0, C2_Steel = 0, C2_Bag = 0, C2_Polyester = 0,
           C2_Trench = 0, C2_Past = 0, C2_Torch = 0, C2_Sep = 0, C2_UFRO = 0, C2_Dry = 0, C2_BoilerB = 0,
           C2_BoilerC = 0, C2_CHP = 0, C2_HeatNetwork = 0, C2_Upgrade_a = 0, C2_Upgrade_b = 0,
           C2_GasConnect = 0, C2_GasNetwork = 0, C2_Civil = 0;
    double C2_PERadvise = 0, C2_PERinspection = 0;
    double C3_Digester_A = 0, C3_Concrete = 0, C3_Polyester = 0, C3_Trench = 0, C3_Past = 0, C3_Torch = 0,
           C3_Sep = 0, C3_UFRO = 0, C3_HeatNetwork = 0, C3_Upgrade_a = 0, C3_Upgrade_b = 0, C3_GasConnect = 0,
           C3_GasNetwork = 0, C3_Civil = 0;
    double C4_UFRO = 0, C4_GasConnect = 0, C5_UFRO = 0, C5_GasConnect = 0;
    double C11_Digester_A = 0, C11_Digester_B = 0, C11_Torch = 0, C11_Sep = 0, C11_UFRO = 0, C11_Dry = 0,
           C11_BoilerA = 0, C11_BoilerB = 0, C11_BoilerC = 0, C11_CHP = 0, C11_Upgrade_a = 0,
           C11_Upgrade_b = 0, C11_GasConnect = 0, C11_GasNetwork = 0, C11_Shovel = 0;
    double C12_Sep = 0, C12_BoilerA = 0, C12_BoilerB = 0, C12_BoilerC = 0, C12_CHP = 0, C13_CHP = 0,
           C14_CHP = 0, C15_CHP = 0, C16_CHP = 0;
    double C21_Digester_A = 0, C21_Digester_B = 0, C21_Dry = 0, C21_HeatNetwork = 0, C22_HeatNetwork = 0,
           C23_HeatNetwork = 0, C24_HeatNetwork = 0;
    double C31_Digester_A = 0, C31_Digester_B = 0, C31_Sep = 0, C31_UFRO = 0, C31_Dry = 0, C31_Upgrade_a = 0,
           C31_Upgrade_b = 0;
    double C32_Digester_A = 0, C32_Digester_B = 0, C32_UFRO = 0;
    double C33_Digester_A = 0, C33_Digester_B = 0, C33_UFRO = 0;
    double C34_Digester_A = 0, C34_Digester_B = 0;
    double C41_Shovel = 0;
    double C51_Digester_A = 0, C51_Digester_B = 0, C51_Sep = 0, C51_UFRO = 0, C51_Dry = 0;
    double C52_Sep = 0, C52_UFRO = 0, C53_Sep = 0, C53_UFRO = 0, C54_Sep = 0, C54_UFRO = 0;

    // Electric grid connection classes 128, 500, 800, 1400, 4000 and 8000 kW.
    double Pconnect_128_Pconnect_KW = 0, Pconnect_128_COSTgridconnect = 0, Pconnect_128_COSTtransport = 0,
           Pconnect_128_COSTelec_service = 0, Pconnect_128_COSTelec_expl = 0,
           Pconnect_128_INVnetwork_elec = 0, Pconnect_128_INVconnect_elec = 0, Pconnect_128_year_of_data = 0;
    double Pconnect_500_Pconnect_KW = 0, Pconnect_500_COSTgridconnect = 0, Pconnect_500_COSTtransport = 0,
           Pconnect_500_COSTelec_service = 0, Pconnect_500_COSTelec_expl = 0,
           Pconnect_500_INVnetwork_elec = 0, Pconnect_500_INVconnect_elec = 0, Pconnect_500_year_of_data = 0;
    double Pconnect_800_Pconnect_KW = 0, Pconnect_800_COSTgridconnect = 0, Pconnect_800_COSTtransport = 0,
           Pconnect_800_COSTelec_service = 0, Pconnect_800_COSTelec_expl = 0,
           Pconnect_800_INVnetwork_elec = 0, Pconnect_800_INVconnect_elec = 0, Pconnect_800_year_of_data = 0;
    double Pconnect_1400_Pconnect_KW = 0, Pconnect_1400_COSTgridconnect = 0, Pconnect_1400_COSTtransport = 0,
           Pconnect_1400_COSTelec_service = 0, Pconnect_1400_COSTelec_expl = 0,
           Pconnect_1400_INVnetwork_elec = 0, Pconnect_1400_INVconnect_elec = 0,
           Pconnect_1400_year_of_data = 0;
    double Pconnect_4000_Pconnect_KW = 0, Pconnect_4000_COSTgridconnect = 0, Pconnect_4000_COSTtransport = 0,
           Pconnect_4000_COSTelec_service = 0, Pconnect_4000_COSTelec_expl = 0,
           Pconnect_4000_INVnetwork_elec = 0, Pconnect_4000_INVconnect_elec = 0,
           Pconnect_4000_year_of_data = 0;
    double Pconnect_8000_Pconnect_KW = 0, Pconnect_8000_COSTgridconnect = 0, Pconnect_8000_COSTtransport = 0,
           Pconnect_8000_COSTelec_service = 0, Pconnect_8000_COSTelec_expl = 0,
           Pconnect_8000_INVnetwork_elec = 0, Pconnect_8000_INVconnect_elec = 0,
           Pconnect_8000_year_of_data = 0;
};

// For each energy carrier: Compl means the subsidy price already includes the commercial price;
// Marketprice means the energy may be sold at the commercial price at all.
struct TBGXSubsidyApply {
    bool SubApplyElecCompl = false;
    bool SubApplyElecMarketprice = false;
    bool SubApplyThermCompl = false;
    bool SubApplyThermMarketprice = false;
    bool SubApplyBiomethCompl = false;
    bool SubApplyBiomethMarketprice = false;
};

struct TBGXSubsidyNet {
    double SubNetLL = 0;
    double SubNetULMJ = 0;
    double SubNetULEur = 0;
};

struct TBGXSubsidyFla {
    double SubFlaCHPCert = 0;
};

struct TBGXSubsidy {
    TBGXSubsidyApply SubUserApply;

    // Germany: four power bands (kW electric; fees and bonuses in euro cent per kWh).
    double SubGerALL = 0, SubGerAUL = 0, SubGerABasicFee = 0, SubGerAFormaldehyde = 0, SubGerANawaro = 0,
           SubGerAManure = 0, SubGerAResidues = 0, SubGerATechnology = 0;
    double SubGerBLL = 0, SubGerBUL = 0, SubGerBBasicFee = 0, SubGerBFormaldehyde = 0, SubGerBNawaro = 0,
           SubGerBManure = 0, SubGerBResidues = 0, SubGerBTechnology = 0;
    double SubGerCLL = 0, SubGerCUL = 0, SubGerCBasicFee = 0, SubGerCFormaldehyde = 0, SubGerCNawaro = 0,
           SubGerCManure = 0, SubGerCResidues = 0, SubGerCTechnology = 0;
    double SubGerDLL = 0, SubGerDUL = 0, SubGerDBasicFee = 0, SubGerDFormaldehyde = 0, SubGerDNawaro = 0,
           SubGerDManure = 0, SubGerDResidues = 0, SubGerDTechnology = 0;
    double SubGerGas350 = 0, SubGerGas700 = 0, SubGerCHPBonus = 0;
    double SubGerInvHeatNetwork = 0; // euro per mm of pipe diameter per m
    TBGXSubsidyApply SubGerApply;

    // Netherlands.
    std::array<TBGXSubsidyNet, 9> SubNetList{};
    double SubNetYears = 0;
    TBGXSubsidyApply SubNetApply;

    // Flanders.
    double SubFlaEffrefTherm = 0;
    double SubFlaEffrefElec = 0;
    std::array<TBGXSubsidyFla, kBGXOperatingYears> SubFlaList{};
    TBGXSubsidyApply SubFlaApply;

    // Wallonia.
    double SubWalCEref = 0, SubWalCThref = 0, SubWalCCO2ref = 0, SubWalTTotal = 0, SubWalT100 = 0,
           SubWalCCorrGC = 0;
    TBGXSubsidyApply SubWalApply;

    // Poland.
    double SubPolEffrefTherm = 0, SubPolEffrefElec = 0, SubPolCritPower = 0, SubPolCritViolet = 0,
           SubPolCritYellow = 0;
    TBGXSubsidyApply SubPolApply;

    // Italy.
    double SubItaSizeCrit = 0, SubItaFundSmall = 0, SubItaFundLarge = 0, SubItaPeriodSmall = 0,
           SubItaPeriodLarge = 0;
    TBGXSubsidyApply SubItaApply;

    // Estonia.
    double SubEstCInvBasic = 0, SubEstCInvYoung = 0, SubEstCInvLessFavArea = 0, SubEstCInvMax = 0,
           SubEstCElec = 0, SubEstTElec = 0;
    TBGXSubsidyApply SubEstApply;
};

// One row of a case's financial projection (euro). Row r holds year r - 1: row 0 the opening
// balance, row 1 the construction year, rows 2 to 21 the operating years 1 to 20.
struct TBGX_Finance_Year {
    double bal_ass_design = 0, bal_ass_equipment = 0, bal_ass_land = 0, bal_ass_stock = 0,
           bal_ass_capital = 0, bal_ass_total = 0;
    double bal_lia_equity = 0, bal_lia_loan = 0, bal_lia_total = 0;
    double pro_rev_energy = 0, pro_rev_subsidy = 0, pro_rev_total = 0;
    double pro_cos_biomass = 0, pro_cos_digested = 0, pro_cos_elec = 0, pro_cos_therm = 0, pro_cos_diesel = 0,
           pro_cos_personnel = 0, pro_cos_insurance = 0, pro_cos_maintenance = 0, pro_cos_costuser_amount = 0,
           pro_cos_depreciation = 0, pro_cos_interest = 0, pro_cos_startup = 0, pro_cos_total = 0;
    double pro_res_result = 0, pro_res_cumulative_before_taxes = 0, pro_res_tax = 0, pro_res_nett = 0,
           pro_res_cumulative_after_taxes = 0;
    double cas_inc_energy = 0, cas_inc_subsidy = 0, cas_inc_sales = 0, cas_inc_loan = 0, cas_inc_total = 0;
    double cas_exp_material = 0, cas_exp_biomass = 0, cas_exp_digested = 0, cas_exp_elec = 0,
           cas_exp_therm = 0, cas_exp_diesel_use = 0, cas_exp_personnel = 0, cas_exp_insurance = 0,
           cas_exp_maintenance = 0, cas_exp_costuser_amount = 0, cas_exp_interest = 0, cas_exp_startup = 0,
           cas_exp_tax = 0, cas_exp_amortisation = 0, cas_exp_total = 0;
    double cas_res_cashflow = 0, cas_res_cumulative_cashflow = 0, cas_res_cashflow_excl = 0,
           cas_res_cumulative_cashflow_excl = 0, cas_res_present_value = 0, cas_res_cash_position_1 = 0,
           cas_res_cash_position_2 = 0;
};

using TBGX_Finance_Years = std::array<TBGX_Finance_Year, kBGXFinanceRows>;

// The engine's form of one subsidy stream.
struct TSubsidyRec {
    bool applySubsCompl = false;
    bool applyMarketprice = false;
    double RELSubs = 0;                              // subsidy price per unit of energy
    double Esubs = 0;                                // subsidised energy per year
    std::array<double, kBGXOperatingYears> CFsubs{}; // price factor of operating year 1 to 20
};

struct TBGXUserData {
    // Reserved, neither read nor written by the calculation.
    double RELcost_dig = 0, RELcost_thickfrac = 0, RELcost_liqfrac = 0, RELcost_thickdriedfrac = 0,
           RELcost_retUF = 0, RELcost_retRO = 0, RELcost_water = 0, RELcost_Eelec = 0, RELcost_Etherm = 0;
    bool Apply_subs_fixed = false, Apply_subs_partFixed = false, Apply_subs_GC = false,
         Apply_subs_Tax = false, Apply_subs_Inv = false;
    double REV_subs_fixed_therm = 0, REV_subs_fixed_elec = 0, REV_subs_fixed_biometh = 0, REV_subs_tax = 0,
           REV_subs_Inv = 0;

    // ---- Inputs ----
    // The mix ends at the first line with an empty name.
    std::array<TBGXSubstrate_mix, kBGXSubstrateCount> substrates_mix{};
    double Trt_user = 0;      // retention time, days
    int32_t DigesterType = 0; // 1 continuously stirred, 2 plug flow
    bool Apply_heat = false;
    double Lheatdeliv = 0, Pheatdeliv_average = 0, Pheatdeliv_peak = 0; // m, kW, kW
    bool Apply_biogasnet = false;
    double HeatNetwork_Complex = 0, Heatnetwork_dT = 0; // %, K
    bool Apply_buyheat = false;
    double Lbuyheat = 0;
    bool Apply_doubleconnect_elec = false;
    double Lfeed_elec = 0, Lconsume_elec = 0;
    bool Apply_upgrade = false;
    double Lfeed_gas = 0, PRESS_feed_gas = 0, GasNetwork_Complex = 0; // m, bar, %
    double CFchp_extra = 0;                                           // CHP overcapacity, %
    double n_engine = 0; // wanted number of CHP engines (a minimum); the run writes the number used
    bool Apply_past = false;
    double Mpast_user = 0;
    int32_t Past_Feed = 0; // 1 treat the digestate, 2 treat the substrate
    bool Apply_torch = false, Apply_sep = false, Apply_UFRO = false, Apply_dry = false;
    double A_hall_user = 0, Land_C1_user = 0, Tdepr = 0, INVuser_amount = 0;

    // Storage of the four input streams (months, type, m3 already available).
    double Cosub_liq_Tstor_user = 0;
    int32_t Cosub_liq_StorType_user = 0;
    double Cosub_liq_Vstor_avail_user = 0;
    double Cosub_sol_Tstor_user = 0;
    int32_t Cosub_sol_StorType_user = 0;
    double Cosub_sol_Vstor_avail_user = 0;
    double Man_liq_Tstor_user = 0;
    int32_t Man_liq_StorType_user = 0;
    double Man_liq_Vstor_avail_user = 0;
    double Man_sol_Tstor_user = 0;
    int32_t Man_sol_StorType_user = 0;
    double Man_sol_Vstor_avail_user = 0;

    // Storage of the seven output streams (months, t/year used locally, type).
    double Dig_Tstor_user = 0, Dig_Muselocal = 0;
    int32_t Dig_StorType_user = 0;
    double ThickFrac_Tstor_user = 0, ThickFrac_Muselocal = 0;
    int32_t ThickFrac_StorType_user = 0;
    double LiqFrac_Tstor_user = 0, LiqFrac_Muselocal = 0;
    int32_t LiqFrac_StorType_user = 0;
    double ThickDriedFrac_Tstor_user = 0, ThickDriedFrac_Muselocal = 0;
    int32_t ThickDriedFrac_StorType_user = 0;
    double retUF_Tstor_user = 0, retUF_Muselocal = 0;
    int32_t retUF_StorType_user = 0;
    double retRO_Tstor_user = 0, retRO_Muselocal = 0;
    int32_t retRO_StorType_user = 0;
    double Water_Tstor_user = 0, Water_Muselocal = 0;
    int32_t Water_StorType_user = 0;

    // Export cost of each output stream, euro/t (negative for a revenue).
    double biomass_relcost_dig = 0, biomass_relcost_thickfrac = 0, biomass_relcost_liqfrac = 0,
           biomass_relcost_thickdriedfrac = 0, biomass_relcost_retuf = 0, biomass_relcost_retro = 0,
           biomass_relcost_water = 0;
    double energy_use_relcost_elec = 0, energy_use_relcost_therm = 0, energy_use_relcost_diesel = 0;
    double energy_use_ptherm_intdemand_user = 0; // kW
    double energy_production_relpriceelec = 0, energy_production_relpricetherm = 0,
           energy_production_relpricebiometh = 0; // euro/kWh, euro/GJ, euro/Nm3
    double financial_aspects_perinterest = 0, financial_aspects_tloan = 0,
           financial_aspects_perworkcapital = 0, financial_aspects_perequity = 0,
           financial_aspects_relperscost = 0, financial_aspects_costuser_amount = 0;
    bool financial_aspects_apply_subsidy = false;
    int32_t financial_aspects_country = 0; // 1 none, 2 DE, 3 NL, 4 Flanders, 5 Wallonia, 6 PL, 7 IT, 8 EE
    double financial_aspects_convpln = 0;  // PLN per euro
    double subsidy_building_period = 0;    // months
    double subsidy_perpayment1 = 0, subsidy_perpayment2 = 0, subsidy_perpayment3 = 0;
    double subsidy_perpayperiod1 = 0, subsidy_perpayperiod2 = 0, subsidy_perpayperiod3 = 0;
    bool subgerapplyformaldehyde = false, subgerapplymanure = false, subgerapplyresidue = false,
         subgerapplyinnovative = false, subgerapplygas350 = false, subgerapplygas700 = false,
         subgerapplychp = false;
    double subnetelec = 0, subnetheat = 0, subnetbiometh = 0;
    double subflachpprice = 0, subflachpesc = 0, subflagreenprice = 0, subflagreenesc = 0;
    double subwalgreenprice = 0, subwalgreenesc = 0;
    double subpolbrownprice = 0, subpolbrownesc = 0, subpolbrownduration = 0;
    double subpolgreenprice = 0, subpolgreenesc = 0, subpolgreenduration = 0;
    double subpolvioletprice = 0, subpolvioletesc = 0, subpolvioletduration = 0;
    double subpolyellowprice = 0, subpolyellowesc = 0, subpolyellowduration = 0;
    double subpolinvper = 0, subpolinv = 0, subpolinvmin = 0, subpolinvmax = 0;
    bool subestapplyyoung = false, subestapplylessfavarea = false;
    double PERescEnergy = 0, PERinfl = 0, PERescBiomass = 0, PERescDigBiomass = 0, Tax_on_profit = 0;
    int32_t Tcashflow = 0; // exploitation period, years

    // ---- Outputs ----
    // Only doubles from here to dummycalc: the run checks them as one block.
    double Biomass_total_input_m3 = 0, Biomass_total_output_m3 = 0, Biomass_total_input_ton = 0,
           Biomass_total_output_ton = 0;
    double Dry_matter_input = 0, Dry_matter_output = 0, Organic_dry_matter_input = 0,
           Organic_dry_matter_output = 0;
    double Phosphate_input = 0, Phosphate_output = 0, Nitrogen_org_input = 0, Nitrogen_org_output = 0,
           Mineralised_nitrogen_input = 0, Mineralised_nitrogen_output = 0, Potassium_input = 0,
           Potassium_output = 0;
    double Biogas_nm3 = 0, Biogas_ton = 0, Methane = 0, per_methane_in_biogas = 0;
    double Utilisation_of_digester = 0;
    double Mineralised_nitrogen = 0;
    double Digester = 0;
    double liq_cosubstrates = 0, sol_cosubstrates = 0, liq_manure = 0, sol_manure = 0, Digestate = 0,
           Thick_fraction = 0, Liq_fraction = 0, dried_thick_fraction = 0, retentate_UF = 0, retentate_RO = 0,
           water = 0;
    double number_engine = 0; // not written by the calculation
    double Pchp_el = 0, PEReff_chp_elec = 0, PEReff_chp_therm = 0;
    double INVsystem_chp_tpersonnel = 0;
    double flow_biogas_total = 0, flow_biomethane = 0;
    double Ainstallation_default_value = 0, Ahall_used_value = 0;

    double Thermal_energy_use_CHP = 0, Electric_energy_use_CHP = 0, Electric_energy_prod_CHP = 0,
           Heat_prod_CHP = 0, Biometh_prod_CHP = 0;
    double Thermal_energy_use_CHP_heat = 0, Electric_energy_use_CHP_heat = 0,
           Electric_energy_prod_CHP_heat = 0, heat_prod_CHP_heat = 0, Biometh_prod_CHP_heat = 0;
    double Thermal_energy_use_Biomethane = 0, Electric_energy_use_Biomethane = 0,
           Electric_energy_prod_Biomethane = 0, Heat_prod_Biomethane = 0, Biometh_prod_Biomethane = 0;
    double Thermal_energy_use_Biomethane_ext_heat = 0, Electric_energy_use_Biomethane_ext_heat = 0,
           Electric_energy_prod_Biomethane_ext_heat = 0, Heat_prod_Biomethane_ext_heat = 0,
           Biometh_prod_Biomethane_ext_heat = 0;

    // Investment per case (euro). Inspection_ and Contractorsfee_ are not written.
    double Digester_CHP = 0, Storage_CHP = 0, Digestate_treatment_CHP = 0, Torch_CHP = 0,
           Pasteurisation_CHP = 0, Shovel_CHP = 0, Land_CHP = 0, Civil_Works_CHP = 0, Boiler_CHP = 0,
           CHP_CHP = 0, Heatnetwork_CHP = 0, Electric_network_CHP = 0, Gas_upgrade_CHP = 0,
           Gasnetwork_CHP = 0, INVuser_amount_CHP = 0, Subtotal_CHP = 0, Advise_and_permits_CHP = 0,
           Engineering_CHP = 0, Inspection_CHP = 0, Contractorsfee_CHP = 0, Contingency_CHP = 0,
           Startup_CHP = 0, Subsidy_CHP = 0, Total_CHP = 0;
    double Digester_CHP_Heat = 0, Storage_CHP_Heat = 0, Digestate_treatment_CHP_Heat = 0, Torch_CHP_Heat = 0,
           Pasteurisation_CHP_Heat = 0, Shovel_CHP_Heat = 0, Land_CHP_Heat = 0, Civil_Works_CHP_Heat = 0,
           Boiler_CHP_Heat = 0, CHP_CHP_Heat = 0, Heatnetwork_CHP_Heat = 0, Electric_network_CHP_Heat = 0,
           Gas_upgrade_CHP_Heat = 0, Gasnetwork_CHP_Heat = 0, INVuser_amount_CHP_Heat = 0,
           Subtotal_CHP_Heat = 0, Advise_and_permits_CHP_Heat = 0, Engineering_CHP_Heat = 0,
           Inspection_CHP_Heat = 0, Contractorsfee_CHP_Heat = 0, Contingency_CHP_Heat = 0,
           Startup_CHP_Heat = 0, Subsidy_CHP_Heat = 0, Total_CHP_Heat = 0;
    double Digester_Biomethane = 0, Storage_Biomethane = 0, Digestate_treatment_Biomethane = 0,
           Torch_Biomethane = 0, Pasteurisation_Biomethane = 0, Shovel_Biomethane = 0, Land_Biomethane = 0,
           Civil_Works_Biomethane = 0, Boiler_Biomethane = 0, CHP_Biomethane = 0, Heatnetwork_Biomethane = 0,
           Electric_network_Biomethane = 0, Gas_upgrade_Biomethane = 0, Gasnetwork_Biomethane = 0,
           INVuser_amount_Biomethane = 0, Subtotal_Biomethane = 0, Advise_and_permits_Biomethane = 0,
           Engineering_Biomethane = 0, Inspection_Biomethane = 0, Contractorsfee_Biomethane = 0,
           Contingency_Biomethane = 0, Startup_Biomethane = 0, Subsidy_Biomethane = 0, Total_Biomethane = 0;
    double Digester_Biomethane_ext_heat = 0, Storage_Biomethane_ext_heat = 0,
           Digestate_treatment_Biomethane_ext_heat = 0, Torch_Biomethane_ext_heat = 0,
           Pasteurisation_Biomethane_ext_heat = 0, Shovel_Biomethane_ext_heat = 0,
           Land_Biomethane_ext_heat = 0, Civil_Works_Biomethane_ext_heat = 0, Boiler_Biomethane_ext_heat = 0,
           CHP_Biomethane_ext_heat = 0, Heatnetwork_Biomethane_ext_heat = 0,
           Electric_network_Biomethane_ext_heat = 0, Gas_upgrade_Biomethane_ext_heat = 0,
           Gasnetwork_Biomethane_ext_heat = 0, INVuser_amount_Biomethane_ext_heat = 0,
           Subtotal_Biomethane_ext_heat = 0, Advise_and_permits_Biomethane_ext_heat = 0,
           Engineering_Biomethane_ext_heat = 0, Inspection_Biomethane_ext_heat = 0,
           Contractorsfee_Biomethane_ext_heat = 0, Contingency_Biomethane_ext_heat = 0,
           Startup_Biomethane_ext_heat = 0, Subsidy_Biomethane_ext_heat = 0, Total_Biomethane_ext_heat = 0;

    // Yearly summary and first-year revenues per case.
    double chp_investment = 0, yearly_average_depreciation_chp = 0;
    double in_electricity_chp = 0, in_subsidy_electricity_chp = 0, in_total_chp = 0;
    double out_cost_of_financing_chp = 0, out_biomass_input_chp = 0, out_maintenance_chp = 0,
           out_elec_energy_use_chp = 0, out_therm_energy_use_chp = 0, out_diesel_use_chp = 0,
           out_personnel_cost_chp = 0, out_insurance_chp = 0, out_digested_biomass_output_chp = 0,
           out_costuser_amount_chp = 0, out_total_chp = 0, yearly_average_cashflow_chp = 0,
           simply_payback_time_chp = 0;

    double chp_heat_investment = 0, yearly_average_depreciation_chp_heat = 0;
    double in_electricity_chp_heat = 0, in_therm_energy_delivery_chp_heat = 0,
           in_subsidy_electricity_chp_heat = 0, in_subsidy_heat_chp_heat = 0, in_total_chp_heat = 0;
    double out_cost_of_financing_chp_heat = 0, out_biomass_input_chp_heat = 0, out_maintenance_chp_heat = 0,
           out_elec_energy_use_chp_heat = 0, out_therm_energy_use_chp_heat = 0, out_diesel_use_chp_heat = 0,
           out_personnel_cost_chp_heat = 0, out_insurance_chp_heat = 0,
           out_digested_biomass_output_chp_heat = 0, out_costuser_amount_chp_heat = 0, out_total_chp_heat = 0,
           yearly_average_cashflow_chp_heat = 0, simply_payback_time_chp_heat = 0;

    double biomethane_investment = 0, yearly_average_depreciation_biomethane = 0;
    double in_biomethane_biomethane = 0, in_subsidy_biomethane_biomethane = 0, in_total_biomethane = 0;
    double out_cost_of_financing_biomethane = 0, out_biomass_input_biomethane = 0,
           out_maintenance_biomethane = 0, out_elec_energy_use_biomethane = 0,
           out_therm_energy_use_biomethane = 0, out_diesel_use_biomethane = 0,
           out_personnel_cost_biomethane = 0, out_insurance_biomethane = 0,
           out_digested_biomass_output_biomethane = 0, out_costuser_amount_biomethane = 0,
           out_total_biomethane = 0, yearly_average_cashflow_biomethane = 0,
           simply_payback_time_biomethane = 0;

    double biomethane_ext_heat_investment = 0, yearly_average_depreciation_biomethane_ext_heat = 0;
    double in_biomethane_biomethane_ext_heat = 0, in_subsidy_biomethane_biomethane_ext_heat = 0,
           in_total_biomethane_ext_heat = 0;
    double out_cost_of_financing_biomethane_ext_heat = 0, out_biomass_input_biomethane_ext_heat = 0,
           out_maintenance_biomethane_ext_heat = 0, out_elec_energy_use_biomethane_ext_heat = 0,
           out_therm_energy_use_biomethane_ext_heat = 0, out_diesel_use_biomethane_ext_heat = 0,
           out_personnel_cost_biomethane_ext_heat = 0, out_insurance_biomethane_ext_heat = 0,
           out_digested_biomass_output_biomethane_ext_heat = 0, out_costuser_amount_biomethane_ext_heat = 0,
           out_total_biomethane_ext_heat = 0, yearly_average_cashflow_biomethane_ext_heat = 0,
           simply_payback_time_biomethane_ext_heat = 0;

    // Financial results per case: net present value, loan at the start of operation, internal rate of
    // return (%), and the 22-row projection.
    double finance_npv_chp = 0, finance_spl_chp = 0, finance_irr_chp = 0;
    TBGX_Finance_Years finance_years_chp{};
    double finance_npv_chp_heat = 0, finance_spl_chp_heat = 0, finance_irr_chp_heat = 0;
    TBGX_Finance_Years finance_years_chp_heat{};
    double finance_npv_biomethane = 0, finance_spl_biomethane = 0, finance_irr_biomethane = 0;
    TBGX_Finance_Years finance_years_biomethane{};
    double finance_npv_biomethane_ext_heat = 0, finance_spl_biomethane_ext_heat = 0,
           finance_irr_biomethane_ext_heat = 0;
    TBGX_Finance_Years finance_years_biomethane_ext_heat{};

    double dummycalc = 0; // raised by 1 at the end of every completed run
};

static_assert(std::is_standard_layout_v<TBGXUserData>);

} // namespace fmx
