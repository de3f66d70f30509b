#include "bgx_fixture.h"

namespace fmx::testdata {

namespace {

TBGXSubstrate substrate(const char* name, int type, double dm, double odm, double yield, double ch4,
                        double rt, double density, double k, double p, double n, double nmin,
                        double perAnimal, double redCDE) {
    TBGXSubstrate s;
    s.Name = name;
    s.SubType_i = type;
    s.DM = dm;
    s.ODM = odm;
    s.BiogasProd = yield;
    s.CH4 = ch4;
    s.CO2 = 100 - ch4;
    s.T_RT_recom = rt;
    s.REL_dens_i = density;
    s.PER_slib_i = 0;
    s.Potassium = k;
    s.Phosphate = p;
    s.Nitrogen = n;
    s.Min_Nitrogen = nmin;
    s.RELprod_i = perAnimal;
    s.REL_redCDE = redCDE;
    return s;
}

} // namespace

void fillAdminVars(TBGXAdminVars& av) {
    av = TBGXAdminVars{};
    av.Substrates[0] =
        substrate("Cattle slurry", 1, 8.5, 6.8, 370, 55, 30, 1.0, 0.5, 0.18, 0.25, 0.2, 20, 0.1);
    av.Substrates[1] = substrate("Pig slurry", 1, 6.0, 4.8, 420, 60, 25, 1.0, 0.3, 0.2, 0.3, 0.3, 1.5, 0.1);
    av.Substrates[2] =
        substrate("Solid cattle manure", 2, 25, 20, 450, 55, 40, 0.8, 0.6, 0.3, 0.5, 0.1, 10, 0.1);
    av.Substrates[3] = substrate("Glycerine", 3, 98, 90, 800, 60, 30, 1.25, 0, 0, 0, 0, 0, 0.5);
    av.Substrates[4] = substrate("Maize silage", 4, 33, 31.5, 650, 52, 50, 0.7, 0.45, 0.16, 0.45, 0, 0, 0.4);
    av.Substrates[5] = substrate("Grass silage", 4, 35, 31, 600, 53, 50, 0.7, 0.8, 0.2, 0.6, 0, 0, 0.4);

    av.TEMPmesophilic = 38;
    av.TEMPthermophilic = 55;
    av.PERminN = 20;
    av.C_RhoDigestate = 1000;
    av.C_CpDigestate = 4.0;
    av.REL_Dig_Dens = 1.0;
    av.REL_thickfrac_dens = 0.8;
    av.REL_liqfrac_dens = 1.0;
    av.REL_thickdriedfrac_dens = 0.5;
    av.REL_retUF_dens = 1.05;
    av.REL_retRO_dens = 1.02;
    av.REL_water_dens = 1.0;
    av.PRESSaverage = 1.013;
    av.TEMPaverage = 10;
    av.TEMPground = 10;
    av.Tufro = 8000;
    av.Tchp = 8000;
    av.Tdry = 8000;
    av.C_chpFuelmax = 2500;
    av.RATeffCHP_C1 = 0.2335;
    av.RATeffCHP_C2 = 0.074;
    av.RATeffCHP_C3 = 0.85;
    av.C_dTdigesterHeating = 10;
    av.RATeff_past = 0.8;
    av.TEMPpasteurisation = 70;
    av.RATmeth_biometh = 0.97;
    av.RATeffBiogasUpgr = 0.98;
    av.RATeffElecStorage = 0.25;
    av.RATeffElecDigester = 0.5;
    av.Ch_heating_digester = 10;
    av.Effpump = 0.6;
    av.RATeff_compr = 0.7;
    av.PRESSin = 1.05;
    av.RATstor_frac = 0.1;
    av.RAT_dm_thickfrac = 0.25;
    av.RAT_dm_liqfrac = 0.04;
    av.RAT_dm_thickdriedfrac = 0.85;
    av.RAT_UF_ret = 0.3;
    av.RAT_RO_ret = 0.3;
    av.PERInflation = 2;
    av.PERinsur = 0.5;

    // Every component's prices refer to 2009.
    for (double* by :
         {&av.BY_Digester_A, &av.BY_Digester_B,  &av.BY_Concrete,  &av.BY_Steel,     &av.BY_Bag,
          &av.BY_Polyester,  &av.BY_Trench,      &av.BY_Past,      &av.BY_Torch,     &av.BY_Sep,
          &av.BY_UFRO,       &av.BY_Dry,         &av.BY_BoilerA,   &av.BY_BoilerB,   &av.BY_BoilerC,
          &av.BY_CHP,        &av.BY_HeatNetwork, &av.BY_Upgrade_a, &av.BY_Upgrade_b, &av.BY_GasConnect,
          &av.BY_GasNetwork, &av.BY_Shovel,      &av.BY_Civil})
        *by = 2009;

    av.C1_Digester_A = 50000, av.C2_Digester_A = 1500, av.C3_Digester_A = 0.7, av.C11_Digester_A = 0.02;
    av.C21_Digester_A = 0.006, av.C31_Digester_A = 0.002, av.C32_Digester_A = 0.002,
    av.C33_Digester_A = 0.0005;
    av.C34_Digester_A = 0.004, av.C51_Digester_A = 1000;
    av.C1_Digester_B = 300000, av.C2_Digester_B = 30, av.C11_Digester_B = 0.02, av.C21_Digester_B = 0.1;
    av.C31_Digester_B = 0.002, av.C32_Digester_B = 0.002, av.C33_Digester_B = 0.0005,
    av.C34_Digester_B = 0.004;
    av.C51_Digester_B = 1000;
    av.C1_Concrete = 20000, av.C2_Concrete = 230, av.C3_Concrete = 0.8;
    av.C1_Steel = 15000, av.C2_Steel = 80;
    av.C1_Bag = 25, av.C2_Bag = 5000;
    av.C1_Polyester = 8000, av.C2_Polyester = 90, av.C3_Polyester = 1000;
    av.C1_Trench = 10000, av.C2_Trench = 40, av.C3_Trench = 0;
    av.C1_Past = 50000, av.C2_Past = 20000, av.C3_Past = 1;
    av.C1_Torch = 10000, av.C2_Torch = 40, av.C3_Torch = 0, av.C11_Torch = 0.02;
    av.C1_Sep = 40, av.C2_Sep = 40000, av.C3_Sep = 1, av.C11_Sep = 0.03, av.C12_Sep = 0, av.C31_Sep = 1.5;
    av.C51_Sep = 5000, av.C52_Sep = 1, av.C53_Sep = 50000, av.C54_Sep = 5;
    av.C1_UFRO = 400000, av.C2_UFRO = 0.6, av.C3_UFRO = 1, av.C4_UFRO = 1, av.C5_UFRO = 1, av.C11_UFRO = 2;
    av.C31_UFRO = 1, av.C32_UFRO = 4.7e-8, av.C33_UFRO = 1;
    av.C51_UFRO = 5000, av.C52_UFRO = 2, av.C53_UFRO = 50000, av.C54_UFRO = 8;
    av.C1_Dry = 60000, av.C2_Dry = 100000, av.C11_Dry = 5, av.C21_Dry = 1, av.C31_Dry = 30,
    av.C51_Dry = 0.001;
    av.C1_HeatNetwork = 150, av.C2_HeatNetwork = 100, av.C3_HeatNetwork = 0.01;
    av.C21_HeatNetwork = 0.01, av.C22_HeatNetwork = 0.0002, av.C23_HeatNetwork = 0, av.C24_HeatNetwork = 0;
    av.C1_BoilerA = 150, av.C11_BoilerA = 0.02, av.C12_BoilerA = 0;
    av.C1_BoilerB = 120, av.C2_BoilerB = 0.05, av.C11_BoilerB = 0.02, av.C12_BoilerB = 0;
    av.C1_BoilerC = 90, av.C2_BoilerC = 0.02, av.C11_BoilerC = 0.02, av.C12_BoilerC = 0;
    av.C1_CHP = 6440, av.C2_CHP = 0.7, av.C11_CHP = 0.01, av.C12_CHP = 1, av.C13_CHP = 0.002, av.C14_CHP = 1;
    av.C15_CHP = 1, av.C16_CHP = 1;
    av.C1_Upgrade_a = 600000, av.C2_Upgrade_a = 3000, av.C3_Upgrade_a = 0, av.C11_Upgrade_a = 5;
    av.C31_Upgrade_a = 0.25;
    av.C1_Upgrade_b = 1000000, av.C2_Upgrade_b = 2000, av.C3_Upgrade_b = 0, av.C11_Upgrade_b = 4;
    av.C31_Upgrade_b = 0.2;
    av.C1_GasConnect = 1, av.C2_GasConnect = 100000, av.C3_GasConnect = 40, av.C4_GasConnect = 300000;
    av.C5_GasConnect = 5, av.C11_GasConnect = 0.5;
    av.C1_GasNetwork = 50, av.C2_GasNetwork = 1, av.C3_GasNetwork = 0.01, av.C11_GasNetwork = 0;
    av.C1_Shovel = 5, av.C11_Shovel = 0.05, av.C41_Shovel = 0.3;
    av.C1_Civil = 300, av.C2_Civil = 30, av.C3_Civil = 10;
    av.C1_PERadvise = 20000, av.C2_PERadvise = 0.01;
    av.C1_PERinspection = 1, av.C2_PERinspection = 0.0001;
    av.C1_PERengineering = 5, av.C1_PERcontractorfee = 3;
    av.C1_PERcontingency = 5, av.C1_PERstartup = 2;

    av.Pconnect_128_Pconnect_KW = 128, av.Pconnect_128_COSTgridconnect = 500,
    av.Pconnect_128_COSTtransport = 200;
    av.Pconnect_128_COSTelec_service = 1, av.Pconnect_128_COSTelec_expl = 2,
    av.Pconnect_128_INVnetwork_elec = 50;
    av.Pconnect_128_INVconnect_elec = 10000, av.Pconnect_128_year_of_data = 2010;
    av.Pconnect_500_Pconnect_KW = 500, av.Pconnect_500_COSTgridconnect = 1000,
    av.Pconnect_500_COSTtransport = 400;
    av.Pconnect_500_COSTelec_service = 1, av.Pconnect_500_COSTelec_expl = 2,
    av.Pconnect_500_INVnetwork_elec = 60;
    av.Pconnect_500_INVconnect_elec = 25000, av.Pconnect_500_year_of_data = 2010;
    av.Pconnect_800_Pconnect_KW = 800, av.Pconnect_800_COSTgridconnect = 1500,
    av.Pconnect_800_COSTtransport = 600;
    av.Pconnect_800_COSTelec_service = 1, av.Pconnect_800_COSTelec_expl = 2,
    av.Pconnect_800_INVnetwork_elec = 70;
    av.Pconnect_800_INVconnect_elec = 40000, av.Pconnect_800_year_of_data = 2010;
    av.Pconnect_1400_Pconnect_KW = 1400, av.Pconnect_1400_COSTgridconnect = 2000;
    av.Pconnect_1400_COSTtransport = 800, av.Pconnect_1400_COSTelec_service = 1;
    av.Pconnect_1400_COSTelec_expl = 2, av.Pconnect_1400_INVnetwork_elec = 80;
    av.Pconnect_1400_INVconnect_elec = 60000, av.Pconnect_1400_year_of_data = 2010;
    av.Pconnect_4000_Pconnect_KW = 4000, av.Pconnect_4000_COSTgridconnect = 4000;
    av.Pconnect_4000_COSTtransport = 1600, av.Pconnect_4000_COSTelec_service = 1;
    av.Pconnect_4000_COSTelec_expl = 2, av.Pconnect_4000_INVnetwork_elec = 100;
    av.Pconnect_4000_INVconnect_elec = 120000, av.Pconnect_4000_year_of_data = 2010;
    av.Pconnect_8000_Pconnect_KW = 8000, av.Pconnect_8000_COSTgridconnect = 8000;
    av.Pconnect_8000_COSTtransport = 3200, av.Pconnect_8000_COSTelec_service = 1;
    av.Pconnect_8000_COSTelec_expl = 2, av.Pconnect_8000_INVnetwork_elec = 120;
    av.Pconnect_8000_INVconnect_elec = 250000, av.Pconnect_8000_year_of_data = 2010;
}

void fillSubsidy(TBGXSubsidy& s) {
    s = TBGXSubsidy{};
    // Tariffs that include the market price (electricity only, or also biomethane), and premiums on
    // top of it.
    const TBGXSubsidyApply inclusive{true, true, false, true, true, true};
    const TBGXSubsidyApply inclusiveElec{true, true, false, true, false, true};
    const TBGXSubsidyApply premium{false, true, false, true, false, true};

    // Germany: feed-in tariff bands and bonuses (euro cent per kWh).
    s.SubGerALL = 0, s.SubGerAUL = 150, s.SubGerABasicFee = 11.67, s.SubGerAFormaldehyde = 1;
    s.SubGerANawaro = 7, s.SubGerAManure = 4, s.SubGerAResidues = 2, s.SubGerATechnology = 2;
    s.SubGerBLL = 150, s.SubGerBUL = 500, s.SubGerBBasicFee = 9.18, s.SubGerBFormaldehyde = 1;
    s.SubGerBNawaro = 7, s.SubGerBManure = 1, s.SubGerBResidues = 2, s.SubGerBTechnology = 2;
    s.SubGerCLL = 500, s.SubGerCUL = 5000, s.SubGerCBasicFee = 8.25, s.SubGerCFormaldehyde = 0;
    s.SubGerCNawaro = 4, s.SubGerCManure = 0, s.SubGerCResidues = 0, s.SubGerCTechnology = 2;
    s.SubGerDLL = 5000, s.SubGerDUL = 20000, s.SubGerDBasicFee = 7.79, s.SubGerDFormaldehyde = 0;
    s.SubGerDNawaro = 0, s.SubGerDManure = 0, s.SubGerDResidues = 0, s.SubGerDTechnology = 0;
    s.SubGerGas350 = 2, s.SubGerGas700 = 1, s.SubGerCHPBonus = 3;
    s.SubGerInvHeatNetwork = 1.0;
    s.SubGerApply = inclusiveElec;

    s.SubNetYears = 12;
    s.SubNetApply = inclusive;

    s.SubFlaEffrefTherm = 0.9, s.SubFlaEffrefElec = 0.4;
    for (int y = 0; y < kBGXOperatingYears; ++y)
        s.SubFlaList[static_cast<size_t>(y)].SubFlaCHPCert = y < 4 ? 1 : 0.5;
    s.SubFlaApply = premium;

    s.SubWalCEref = 0.55, s.SubWalCThref = 0.9, s.SubWalCCO2ref = 456, s.SubWalTTotal = 15, s.SubWalT100 = 10;
    s.SubWalCCorrGC = 50;
    s.SubWalApply = premium;

    s.SubPolEffrefTherm = 0.9, s.SubPolEffrefElec = 0.525, s.SubPolCritPower = 1000, s.SubPolCritViolet = 10;
    s.SubPolCritYellow = 0;
    s.SubPolApply = premium;

    s.SubItaSizeCrit = 1000, s.SubItaFundSmall = 0.28, s.SubItaFundLarge = 0.18, s.SubItaPeriodSmall = 15;
    s.SubItaPeriodLarge = 15;
    s.SubItaApply = inclusiveElec;

    s.SubEstCInvBasic = 30, s.SubEstCInvYoung = 10, s.SubEstCInvLessFavArea = 5, s.SubEstCInvMax = 500000;
    s.SubEstCElec = 0.054, s.SubEstTElec = 12;
    s.SubEstApply = premium;
}

void fillDairyFarm(TBGXUserData& u) {
    u = TBGXUserData{};
    u.substrates_mix[0] = {"Cattle slurry", 1, 10000, 0};
    u.substrates_mix[1] = {"Maize silage", 4, 3000, 35};
    u.Trt_user = 60;
    u.DigesterType = 1;
    u.Apply_heat = false;
    u.Lheatdeliv = 0, u.Pheatdeliv_average = 0, u.Pheatdeliv_peak = 0;
    u.Apply_biogasnet = false, u.HeatNetwork_Complex = 0, u.Heatnetwork_dT = 20;
    u.Apply_doubleconnect_elec = false, u.Lfeed_elec = 200, u.Lconsume_elec = 0;
    u.Apply_upgrade = false, u.Lfeed_gas = 0, u.PRESS_feed_gas = 8, u.GasNetwork_Complex = 0;
    u.CFchp_extra = 10, u.n_engine = 1;
    u.Apply_past = false, u.Mpast_user = 0, u.Past_Feed = 1;
    u.A_hall_user = 100, u.Land_C1_user = 30000, u.Tdepr = 12, u.INVuser_amount = 10000;

    u.Cosub_liq_StorType_user = 1;
    u.Cosub_sol_Tstor_user = 12, u.Cosub_sol_StorType_user = 5;
    u.Man_liq_Tstor_user = 6, u.Man_liq_StorType_user = 1, u.Man_liq_Vstor_avail_user = 2000;
    u.Man_sol_StorType_user = 5;
    u.Dig_Tstor_user = 6, u.Dig_StorType_user = 1;
    u.ThickFrac_Tstor_user = 6, u.ThickFrac_StorType_user = 5;
    u.LiqFrac_Tstor_user = 6, u.LiqFrac_StorType_user = 1;
    u.ThickDriedFrac_Tstor_user = 6, u.ThickDriedFrac_StorType_user = 5;
    u.retUF_Tstor_user = 6, u.retUF_StorType_user = 1;
    u.retRO_Tstor_user = 6, u.retRO_StorType_user = 1;
    u.Water_Tstor_user = 1, u.Water_StorType_user = 3;

    u.biomass_relcost_water = 1;
    u.energy_use_relcost_elec = 0.12, u.energy_use_relcost_therm = 20, u.energy_use_relcost_diesel = 1.2;
    u.energy_use_ptherm_intdemand_user = 20;
    u.energy_production_relpriceelec = 0.10, u.energy_production_relpricetherm = 15;
    u.energy_production_relpricebiometh = 0.45;
    u.financial_aspects_perinterest = 5, u.financial_aspects_tloan = 10,
    u.financial_aspects_perworkcapital = 2;
    u.financial_aspects_perequity = 20, u.financial_aspects_relperscost = 30;
    u.financial_aspects_costuser_amount = 5000;
    u.financial_aspects_apply_subsidy = true, u.financial_aspects_country = 1,
    u.financial_aspects_convpln = 4;
    u.subsidy_building_period = 6;
    u.subsidy_perpayment1 = 30, u.subsidy_perpayment2 = 40, u.subsidy_perpayment3 = 30;
    u.subsidy_perpayperiod1 = 0, u.subsidy_perpayperiod2 = 50, u.subsidy_perpayperiod3 = 100;
    u.subnetelec = 0.08, u.subnetheat = 6, u.subnetbiometh = 0.3;
    u.subflachpprice = 27, u.subflachpesc = 0, u.subflagreenprice = 90, u.subflagreenesc = 0;
    u.subwalgreenprice = 65;
    u.subpolbrownprice = 90, u.subpolbrownesc = 1, u.subpolbrownduration = 15;
    u.subpolgreenprice = 280, u.subpolgreenesc = 1, u.subpolgreenduration = 15;
    u.subpolvioletprice = 60, u.subpolvioletesc = 1, u.subpolvioletduration = 15;
    u.subpolyellowprice = 128, u.subpolyellowesc = 1, u.subpolyellowduration = 15;
    u.subpolinvper = 30, u.subpolinv = 0, u.subpolinvmin = 0, u.subpolinvmax = 4000000;
    u.PERescEnergy = 2, u.PERinfl = 2, u.PERescBiomass = 2, u.PERescDigBiomass = 2, u.Tax_on_profit = 25;
    u.Tcashflow = 20;
}

void fillGlobals() {
    fillAdminVars(gAdminVars);
    fillSubsidy(gSubsidy);
    fillDairyFarm(gUserData);
}

} // namespace fmx::testdata
