// Site area, every component with its cost curve and yearly needs, the heat and electricity use per
// case, the electric grid connections, the investment per case and the yearly operating costs.
#include "bgx_case_fields.h"
#include "bgx_run.h"

#include <algorithm>
#include <cmath>

namespace fmx {

namespace {
constexpr double kMinDigesterA = 100000;
constexpr double kMinDigesterB = 610000;
constexpr double kMinDryer = 150000;
constexpr double kMinBoilerA = 840;
constexpr double kMinCHP1 = 27000;
constexpr double kUpgradeTypeBFlow = 662; // Nm3/h of biogas from which upgrading type b is used

double sel(bool b) {
    return ConvBool(b);
}
} // namespace

double BGXRun::priceCorrection(double referenceYear) const {
    return std::pow(1 + A.PERInflation / 100, C.CurrYear - referenceYear);
}

// Minimum, then the price correction from the reference year.
void BGXRun::finishComponent(BGXComponent& comp, double minimum, double referenceYear) const {
    if (comp.raw < minimum) comp.raw = comp.s * minimum;
    comp.invest = comp.raw * priceCorrection(referenceYear);
}

// One storage tank of a stream: type 1 concrete, 2 stainless steel, 3 bag, 4 plastic, 5 trench. A type
// the stream does not offer costs nothing.
double BGXRun::storageCost(int type, double V, bool liquidCosub, bool trenchOnly) const {
    auto offered = [&](int t) {
        if (trenchOnly) return t == 5;
        if (liquidCosub) return t == 1 || t == 2 || t == 4;
        return t == 1 || t == 2 || t == 3;
    };
    double total = 0;
    for (int t = 1; t <= 5; ++t) {
        if (!offered(t)) continue;
        BGXComponent c;
        c.s = sel(type == t);
        double by = 0;
        switch (t) {
        case 1:
            c.raw = (std::pow(V, A.C3_Concrete) * A.C2_Concrete + A.C1_Concrete) * c.s;
            by = A.BY_Concrete;
            break;
        case 2:
            c.raw = (A.C2_Steel * V + A.C1_Steel) * c.s;
            by = A.BY_Steel;
            break;
        case 3:
            c.raw = (A.C1_Bag * V + A.C2_Bag) * c.s;
            by = A.BY_Bag;
            break;
        case 4:
            if (V > 0) {
                const double k = RoundUpper(V / A.C3_Polyester);
                c.raw = ((V / k) * A.C2_Polyester + A.C1_Polyester) * k * c.s;
            }
            by = A.BY_Polyester;
            break;
        case 5:
            c.raw = (A.C2_Trench * V + A.C1_Trench) * c.s;
            by = A.BY_Trench;
            break;
        default:
            break;
        }
        if (c.raw < 0) c.raw = 0;
        if (V == 0) c.raw = 0;
        c.invest = c.raw * priceCorrection(by);
        total += c.invest;
    }
    return total;
}

double BGXRun::personnelBand(double s, double c51, double c52, double c53, double c54) const {
    if (Mout_t < c51) return s * c52;
    if (Mout_t > c53) return s * c54;
    return ((Mout_t - c51) * s * (c54 - c52)) / (c53 - c51);
}

double BGXRun::chpMaintenance(double p) const {
    if (p <= 0) return 0;
    return ((A.C13_CHP * p + A.C14_CHP) / (std::pow(p, A.C16_CHP) * A.C15_CHP) +
            std::pow(p, A.C12_CHP) * A.C11_CHP) *
           (nEngines * A.Tchp);
}

double BGXRun::gasConnectRaw(double P) const {
    const double pf = UD.PRESS_feed_gas;
    if (pf < A.C1_GasConnect) return P * A.C5_GasConnect + A.C2_GasConnect;
    if (pf > A.C3_GasConnect) return P * A.C5_GasConnect + A.C4_GasConnect;
    return P * A.C5_GasConnect + A.C2_GasConnect +
           (A.C4_GasConnect - A.C2_GasConnect) * (pf - A.C1_GasConnect) / (A.C3_GasConnect - A.C1_GasConnect);
}

void BGXRun::siteArea() {
    const auto& in = inNeed_m3;
    const auto& out = outStorage_m3;
    Site_m2 = (((out[kDigestate] + out[kLiqFrac] + out[kRetentateUF] + out[kRetentateRO] + out[kWater] +
                 in[kManLiq]) /
                3700) *
                   961 +
               (Vdig_m3 / 2500) * 784 + (in[kCosubSol] + out[kThickDriedFrac] + out[kThickFrac]) / 4) *
              1.15;
    UD.Ainstallation_default_value = Site_m2;
    UD.Ahall_used_value = UD.A_hall_user;
}

void BGXRun::components() {
    const double M = M_t;
    const double kWhToMJ = C.C_kwhToMJ;

    // Digester A (continuously stirred).
    digA.s = sel(UD.DigesterType == 1);
    digA.raw = (std::pow(Vdig_m3, A.C3_Digester_A) * A.C2_Digester_A + A.C1_Digester_A) * digA.s;
    finishComponent(digA, kMinDigesterA, A.BY_Digester_A);
    digA.maint = A.C11_Digester_A * digA.invest;
    digA.personnel = M / A.C51_Digester_A * digA.s;
    HA_MJ = ((M * 1000 / (C.C_DaysPerYear * C.C_HoursPerDay * C.C_SecondsPerHour)) +
             (Vdig_m3 * A.C_RhoDigestate * A.C21_Digester_A / (C.C_SecondsPerHour * C.C_HoursPerDay))) *
            digA.s * A.C_CpDigestate * (Tdig - A.TEMPaverage) * C.Tyear * kWhToMJ;

    // Digester B (plug flow).
    digB.s = sel(UD.DigesterType == 2);
    digB.raw = (A.C2_Digester_B * M + A.C1_Digester_B) * digB.s;
    finishComponent(digB, kMinDigesterB, A.BY_Digester_B);
    digB.maint = A.C11_Digester_B * digB.invest;
    digB.personnel = M / A.C51_Digester_B * digB.s;
    HB_MJ = digB.s * A.C21_Digester_B * E_MJ;

    // Digester electricity: tank stirring, feeding, heating-water circulation, digester stirring.
    auto digesterElec = [&](double s, double c31, double c32, double c33, double c34, double heat) {
        return (A.RATeffElecStorage * C.Tyear * (c31 * Vsp_m3 + c32 * Vc_m3) +
                A.RATeffElecDigester * A.Tchp * c33 * M +
                (heat * C.C_g * A.Ch_heating_digester) /
                    (1000 * kWhToMJ * A.Effpump * C.C_CpWater * A.C_dTdigesterHeating) +
                A.RATeffElecDigester * C.Tyear * c34 * Vdig_m3) *
               s;
    };
    EA_kWh =
        digesterElec(digA.s, A.C31_Digester_A, A.C32_Digester_A, A.C33_Digester_A, A.C34_Digester_A, HA_MJ);
    EB_kWh =
        digesterElec(digB.s, A.C31_Digester_B, A.C32_Digester_B, A.C33_Digester_B, A.C34_Digester_B, HB_MJ);

    // Storage tanks of the eleven streams.
    storageInvest =
        storageCost(UD.Cosub_liq_StorType_user, inNeed_m3[kCosubLiq], true, false) +
        storageCost(UD.Cosub_sol_StorType_user, inNeed_m3[kCosubSol], false, true) +
        storageCost(UD.Man_liq_StorType_user, inNeed_m3[kManLiq], false, false) +
        storageCost(UD.Man_sol_StorType_user, inNeed_m3[kManSol], false, true) +
        storageCost(UD.Dig_StorType_user, outStorage_m3[kDigestate], false, false) +
        storageCost(UD.ThickFrac_StorType_user, outStorage_m3[kThickFrac], false, true) +
        storageCost(UD.LiqFrac_StorType_user, outStorage_m3[kLiqFrac], false, false) +
        storageCost(UD.ThickDriedFrac_StorType_user, outStorage_m3[kThickDriedFrac], false, true) +
        storageCost(UD.retUF_StorType_user, outStorage_m3[kRetentateUF], false, false) +
        storageCost(UD.retRO_StorType_user, outStorage_m3[kRetentateRO], false, false) +
        storageCost(UD.Water_StorType_user, outStorage_m3[kWater], false, false);

    // Pasteurisation.
    past.s = sel(UD.Apply_past);
    past.raw = ((A.C2_Past * UD.Mpast_user) / (A.Tchp * A.REL_Dig_Dens) + A.C1_Past) * past.s * A.C3_Past;
    finishComponent(past, 0, A.BY_Past);
    if (UD.Past_Feed == 1)
        HP_MJ = UD.Mpast_user * A.C_CpDigestate * (A.TEMPpasteurisation - A.TEMPaverage) * past.s *
                (1 - A.RATeff_past) / A.RATeff_past;
    else
        HP_MJ = UD.Mpast_user * A.C_CpDigestate * (A.TEMPpasteurisation - Tdig) * past.s / A.RATeff_past;

    // Flare.
    torch.s = sel(UD.Apply_torch);
    torch.raw = ((G_Nm3 / A.Tchp - A.C3_Torch) * A.C2_Torch + A.C1_Torch) * torch.s;
    finishComponent(torch, 0, A.BY_Torch);
    torch.maint = torch.s * torch.invest * A.C11_Torch;

    const double T = outQty_t[kThickFrac], L = outQty_t[kLiqFrac], DT = outQty_t[kThickDriedFrac],
                 U = outQty_t[kRetentateUF];

    // Separator.
    sep.s = sel(UD.Apply_sep);
    sep.raw = ((A.C1_Sep * DMout_t + A.C2_Sep) * sep.s) * A.C3_Sep;
    finishComponent(sep, 0, A.BY_Sep);
    sep.maint = sep.s * A.C11_Sep * sep.invest;
    sep.personnel = personnelBand(sep.s, A.C51_Sep, A.C52_Sep, A.C53_Sep, A.C54_Sep);
    ES_kWh = sep.s * A.C31_Sep * Vout_m3;

    // Ultrafiltration and reverse osmosis of the liquid fraction.
    ufro.s = sel(UD.Apply_sep && UD.Apply_UFRO);
    if (ufro.s == 1)
        ufro.raw = std::pow((A.C3_UFRO * L + (L - U) * A.C4_UFRO) * (1000 / (A.Tufro * 3600)), A.C2_UFRO) *
                   (ufro.s * A.C5_UFRO * A.C1_UFRO);
    finishComponent(ufro, 0, A.BY_UFRO);
    ufro.maint = (L / A.REL_liqfrac_dens) * A.C11_UFRO * ufro.s;
    ufro.personnel = personnelBand(ufro.s, A.C51_UFRO, A.C52_UFRO, A.C53_UFRO, A.C54_UFRO);
    EU_kWh = ufro.s * C.Tyear * (A.C31_UFRO * L + (L - U) * A.C33_UFRO) /
             (A.C32_UFRO * A.REL_water_dens * 1000 * C.C_SecondsPerYear);

    // Dryer of the thick fraction.
    dryer.s = sel(UD.Apply_sep && UD.Apply_dry);
    Wev_t = (1 - A.RAT_dm_thickfrac) * T - (1 - A.RAT_dm_thickdriedfrac) * DT;
    HD_MJ = Wev_t * 1000 / A.C21_Dry * dryer.s * 3.6;
    ED_kWh = Wev_t * dryer.s * 1000 / A.C31_Dry;
    if (HD_MJ > 0) dryer.raw = (std::log(HD_MJ / (3.6 * A.Tdry)) * A.C1_Dry - A.C2_Dry) * dryer.s;
    finishComponent(dryer, kMinDryer, A.BY_Dry);
    dryer.maint = Wev_t * dryer.s * A.C11_Dry;
    dryer.personnel = dryer.s * A.C51_Dry * T;

    // Heat network to the customer (when the CHP stands at the digester).
    heatNet.s = sel(UD.Apply_heat && !UD.Apply_biogasnet);
    heatNet.raw = std::exp(A.C3_HeatNetwork * dh_mm) *
                  ((A.C2_HeatNetwork * UD.HeatNetwork_Complex / 100 + A.C1_HeatNetwork) * heatNet.s) *
                  UD.Lheatdeliv;
    finishComponent(heatNet, 0, A.BY_HeatNetwork);
    HN_MJ = (A.C24_HeatNetwork * dh_mm * dh_mm * dh_mm + A.C23_HeatNetwork * dh_mm * dh_mm +
             A.C22_HeatNetwork * dh_mm + A.C21_HeatNetwork) *
            heatNet.s * UD.Lheatdeliv * A.Tchp * 3.6;

    // Heat use per case and the shares of the methane burnt for own heat.
    const double H1 = HA_MJ + HB_MJ + HP_MJ + HD_MJ;
    heatUse_MJ = {H1, H1 + HN_MJ, H1, H1};
    if (E_MJ > 0) {
        s3 = heatUse_MJ[kCaseBiomethane] / E_MJ;
        s2 = sel(UD.Apply_biogasnet) * heatUse_MJ[kCaseCHPHeat] / E_MJ;
    } else {
        s2 = s3 = 0;
    }

    // Boilers, sized by the heat demand of the biomethane case.
    Ph_kW = heatUse_MJ[kCaseBiomethane] / (3.6 * C.Tyear);
    boilerA.s = sel(Ph_kW <= 100);
    boilerA.raw = boilerA.s * A.C1_BoilerA * Ph_kW;
    finishComponent(boilerA, kMinBoilerA, A.BY_BoilerA);
    boilerA.maint = A.C11_BoilerA * boilerA.invest;
    boilerB.s = sel(Ph_kW > 100 && Ph_kW <= 500);
    boilerB.raw = (A.C1_BoilerB - A.C2_BoilerB * Ph_kW) * boilerB.s * Ph_kW;
    finishComponent(boilerB, 0, A.BY_BoilerB);
    boilerB.maint = A.C11_BoilerB * boilerB.invest;
    boilerC.s = sel(Ph_kW > 500 && Ph_kW <= 1500);
    boilerC.raw = (A.C1_BoilerC - A.C2_BoilerC * Ph_kW) * boilerC.s * Ph_kW;
    finishComponent(boilerC, 0, A.BY_BoilerC);
    boilerC.maint = A.C11_BoilerC * boilerC.invest;

    // Boiler at the digester when the CHP of the second case stands at the heat customer.
    boilerDig.s = sel(UD.Apply_biogasnet && UD.Apply_heat);
    boilerDig.raw = (boilerA.raw + boilerB.raw + boilerC.raw) * boilerDig.s;
    boilerDig.invest = (boilerA.invest + boilerB.invest + boilerC.invest) * boilerDig.s;
    boilerDig.maint = (boilerA.maint + boilerB.maint + boilerC.maint) * boilerDig.s;

    // CHP of the first case and of the second case (which loses the boiler's share of the gas).
    chp1.s = 1;
    chp1.raw = std::pow(Pe_kW, A.C2_CHP) * (nEngines * A.C1_CHP);
    finishComponent(chp1, kMinCHP1, A.BY_CHP);
    chp1.maint = chpMaintenance(Pe_kW);
    const double Pe2 = (1 - s2) * Pe_kW;
    chp2.s = 1;
    chp2.raw = std::pow(Pe2, A.C2_CHP) * (nEngines * A.C1_CHP);
    finishComponent(chp2, 0, A.BY_CHP);
    chp2.maint = chpMaintenance(Pe2);

    // Gas compressor for the grid feed-in (W).
    const double k = C.Ck_compr;
    if (UD.PRESS_feed_gas > A.PRESSin) {
        const double stage = (std::pow(UD.PRESS_feed_gas / A.PRESSin, (k - 1) / k) - 1) *
                             (A.PRESSaverage / A.PRESSin) * A.PRESSin * C.C_BarToPa * (k / (k - 1)) /
                             A.RATeff_compr;
        P3_W = stage * ((1 - s3) * B_Nm3 / C.C_SecondsPerYear);
        P4_W = stage * (B_Nm3 / C.C_SecondsPerYear);
    } else {
        P3_W = P4_W = 0;
    }

    // Upgrading to biomethane; the type is chosen by the full biogas flow.
    const double sa = sel(Gflow_Nm3h < kUpgradeTypeBFlow);
    const double sb = sel(Gflow_Nm3h >= kUpgradeTypeBFlow);
    auto upgrade = [&](BGXComponent& c, double s, double c1, double c2, double c11, double by, double flow) {
        c.s = s;
        c.raw = (c2 * flow + c1) * s;
        finishComponent(c, 0, by);
        c.maint = (c11 / 100) * c.invest;
    };
    upgrade(upgA4, sa, A.C1_Upgrade_a, A.C2_Upgrade_a, A.C11_Upgrade_a, A.BY_Upgrade_a, Gflow_Nm3h);
    upgrade(upgB4, sb, A.C1_Upgrade_b, A.C2_Upgrade_b, A.C11_Upgrade_b, A.BY_Upgrade_b, Gflow_Nm3h);
    upgrade(upgA3, sa, A.C1_Upgrade_a, A.C2_Upgrade_a, A.C11_Upgrade_a, A.BY_Upgrade_a,
            Gflow_Nm3h * (1 - s3));
    upgrade(upgB3, sb, A.C1_Upgrade_b, A.C2_Upgrade_b, A.C11_Upgrade_b, A.BY_Upgrade_b,
            Gflow_Nm3h * (1 - s3));
    Ug4_kWh = sa * A.C31_Upgrade_a * G_Nm3 + sb * A.C31_Upgrade_b * G_Nm3;
    Ug3_kWh = Ug4_kWh * (1 - s3);

    // Biogas pipeline to a remote CHP, biomethane pipeline to the gas grid.
    biogasPipe.s = sel(UD.Apply_heat && UD.Apply_biogasnet);
    biogasPipe.raw = (dg_mm * dg_mm * A.C3_GasNetwork + UD.HeatNetwork_Complex * 20 / 100 + A.C1_GasNetwork +
                      A.C2_GasNetwork * dg_mm) *
                     (biogasPipe.s * UD.Lheatdeliv);
    finishComponent(biogasPipe, 0, A.BY_GasNetwork);
    biomethPipe.s = sel(UD.Apply_upgrade);
    biomethPipe.raw = (db_mm * db_mm * A.C3_GasNetwork + UD.GasNetwork_Complex * 20 / 100 + A.C1_GasNetwork +
                       A.C2_GasNetwork * db_mm) *
                      (biomethPipe.s * UD.Lfeed_gas);
    finishComponent(biomethPipe, 0, A.BY_GasNetwork);

    // Gas grid connection of the two biomethane cases.
    gasConn3.s = gasConn4.s = 1;
    gasConn3.raw = gasConnectRaw(P3_W);
    finishComponent(gasConn3, 0, A.BY_GasConnect);
    gasConn3.maint = A.C11_GasConnect * P3_W;
    gasConn4.raw = gasConnectRaw(P4_W);
    finishComponent(gasConn4, 0, A.BY_GasConnect);
    gasConn4.maint = A.C11_GasConnect * P4_W;

    // Shovel, land, civil works, the user's own investment.
    shovel.s = 1;
    shovel.raw = A.C1_Shovel * M;
    finishComponent(shovel, 0, A.BY_Shovel);
    shovel.maint = shovel.invest * A.C11_Shovel;
    diesel_l = A.C41_Shovel * M;

    land.s = 1;
    land.raw = std::max(0.0, Site_m2 * UD.Land_C1_user / 10000);
    land.invest = land.raw;

    civil.s = 1;
    civil.raw = A.C1_Civil * UD.A_hall_user + (0.1 * Site_m2) * A.C2_Civil +
                (Vdig_m3 + inNeed_m3[kManLiq] + outStorage_m3[kDigestate]) * A.C3_Civil / 12;
    finishComponent(civil, 0, A.BY_Civil);

    user.s = 1;
    user.raw = user.invest = UD.INVuser_amount;
}

BGXConnectClass BGXRun::connectClass(double p) const {
    const BGXConnectClass classes[6] = {
        {A.Pconnect_128_COSTgridconnect, A.Pconnect_128_COSTtransport, A.Pconnect_128_COSTelec_service,
         A.Pconnect_128_COSTelec_expl, A.Pconnect_128_INVnetwork_elec, A.Pconnect_128_INVconnect_elec},
        {A.Pconnect_500_COSTgridconnect, A.Pconnect_500_COSTtransport, A.Pconnect_500_COSTelec_service,
         A.Pconnect_500_COSTelec_expl, A.Pconnect_500_INVnetwork_elec, A.Pconnect_500_INVconnect_elec},
        {A.Pconnect_800_COSTgridconnect, A.Pconnect_800_COSTtransport, A.Pconnect_800_COSTelec_service,
         A.Pconnect_800_COSTelec_expl, A.Pconnect_800_INVnetwork_elec, A.Pconnect_800_INVconnect_elec},
        {A.Pconnect_1400_COSTgridconnect, A.Pconnect_1400_COSTtransport, A.Pconnect_1400_COSTelec_service,
         A.Pconnect_1400_COSTelec_expl, A.Pconnect_1400_INVnetwork_elec, A.Pconnect_1400_INVconnect_elec},
        {A.Pconnect_4000_COSTgridconnect, A.Pconnect_4000_COSTtransport, A.Pconnect_4000_COSTelec_service,
         A.Pconnect_4000_COSTelec_expl, A.Pconnect_4000_INVnetwork_elec, A.Pconnect_4000_INVconnect_elec},
        {A.Pconnect_8000_COSTgridconnect, A.Pconnect_8000_COSTtransport, A.Pconnect_8000_COSTelec_service,
         A.Pconnect_8000_COSTelec_expl, A.Pconnect_8000_INVnetwork_elec, A.Pconnect_8000_INVconnect_elec},
    };
    const double limits[5] = {A.Pconnect_128_Pconnect_KW, A.Pconnect_500_Pconnect_KW,
                              A.Pconnect_800_Pconnect_KW, A.Pconnect_1400_Pconnect_KW,
                              A.Pconnect_4000_Pconnect_KW};
    for (int i = 0; i < 5; ++i)
        if (limits[i] > p) return classes[i];
    return classes[5];
}

void BGXRun::electricityAndGrid() {
    const double U1 = EA_kWh + EB_kWh + ES_kWh + EU_kWh + ED_kWh;
    elecUse_kWh = {U1, U1, U1 + Ug3_kWh + P3_W * C.Tyear / 1000, U1 + Ug4_kWh + P4_W * C.Tyear / 1000};

    // Connection investments are priced from the first class's offer year, whichever class applies.
    const double correction = priceCorrection(A.Pconnect_128_year_of_data);

    const BGXConnectClass feed = connectClass(Pavg_kW);
    feedIn.s = 1;
    feedIn.raw = feed.INVnetwork_elec * UD.Lfeed_elec + feed.INVconnect_elec;
    feedIn.invest = feedIn.raw * correction;
    feedIn.maint = feed.COSTgridconnect + feed.COSTtransport;

    for (int c = 0; c < kCaseCount; ++c) {
        BGXComponent& con = consume[static_cast<size_t>(c)];
        const double avg_kW = elecUse_kWh[static_cast<size_t>(c)] / C.Tyear;
        const BGXConnectClass cls = connectClass(avg_kW);
        con.s = c <= kCaseCHPHeat ? sel(UD.Apply_doubleconnect_elec) : 1.0;
        con.raw = (cls.INVnetwork_elec * UD.Lconsume_elec + cls.INVconnect_elec) * con.s;
        con.invest = con.raw * correction;
        con.maint = ((cls.COSTgridconnect + cls.COSTtransport) +
                     (cls.COSTelec_service + cls.COSTelec_expl) * avg_kW) *
                    con.s;
    }
}

void BGXRun::outputsAndInvestment() {
    // Volume, CHP, flow and energy outputs.
    UD.Digester = Vdig_m3;
    UD.liq_cosubstrates = inNeed_m3[kCosubLiq];
    UD.sol_cosubstrates = inNeed_m3[kCosubSol];
    UD.liq_manure = inNeed_m3[kManLiq];
    UD.sol_manure = inNeed_m3[kManSol];
    UD.Digestate = outStorage_m3[kDigestate];
    UD.Thick_fraction = outStorage_m3[kThickFrac];
    UD.Liq_fraction = outStorage_m3[kLiqFrac];
    UD.dried_thick_fraction = outStorage_m3[kThickDriedFrac];
    UD.retentate_UF = outStorage_m3[kRetentateUF];
    UD.retentate_RO = outStorage_m3[kRetentateRO];
    UD.water = outStorage_m3[kWater];

    UD.n_engine = nEngines;
    UD.Pchp_el = Pe_kW;
    UD.PEReff_chp_elec = etaEl;
    UD.PEReff_chp_therm = etaTh;
    UD.flow_biogas_total = Gflow_Nm3h;
    UD.flow_biomethane = Bflow_Nm3h;

    const std::array<double, kCaseCount> elecProd{Eel_kWh, (1 - s2) * Eel_kWh, 0, 0};
    const std::array<double, kCaseCount> heatProd{H_MJ, (1 - s2) * H_MJ, 0, 0};
    const std::array<double, kCaseCount> biomethProd{0, 0, (1 - s3) * B_Nm3, B_Nm3};
    for (size_t c = 0; c < kCaseCount; ++c) {
        UD.*kThermal_energy_use[c] = heatUse_MJ[c];
        UD.*kElectric_energy_use[c] = elecUse_kWh[c];
        UD.*kElectric_energy_prod[c] = elecProd[c];
        UD.*kHeat_prod[c] = heatProd[c];
        UD.*kBiometh_prod[c] = biomethProd[c];
    }

    // Investment per case.
    const double digester = digA.invest + digB.invest;
    const double treatment = sep.invest + ufro.invest + dryer.invest;
    const std::array<double, kCaseCount> boiler{0, boilerDig.invest,
                                                boilerA.invest + boilerB.invest + boilerC.invest, 0};
    const std::array<double, kCaseCount> chp{chp1.invest, chp2.invest, 0, 0};
    const std::array<double, kCaseCount> heatnetwork{0, heatNet.invest, 0, 0};
    const std::array<double, kCaseCount> elecNetwork{feedIn.invest + consume[0].invest,
                                                     feedIn.invest + consume[1].invest, consume[2].invest,
                                                     consume[3].invest};
    const std::array<double, kCaseCount> gasUpgrade{0, 0, upgA3.invest + upgB3.invest,
                                                    upgA4.invest + upgB4.invest};
    const std::array<double, kCaseCount> gasnetwork{
        0, biogasPipe.invest, biomethPipe.invest + gasConn3.invest, biomethPipe.invest + gasConn4.invest};
    Ld = land.invest;
    const double M = M_t;
    const double scale = 100 / (100 - A.C1_PERcontingency - A.C1_PERstartup);
    for (size_t c = 0; c < kCaseCount; ++c) {
        UD.*kDigester[c] = digester;
        UD.*kStorage[c] = storageInvest;
        UD.*kDigestate_treatment[c] = treatment;
        UD.*kTorch[c] = torch.invest;
        UD.*kPasteurisation[c] = past.invest;
        UD.*kShovel[c] = shovel.invest;
        UD.*kLand[c] = Ld;
        UD.*kCivil_Works[c] = civil.invest;
        UD.*kBoiler[c] = boiler[c];
        UD.*kCHP[c] = chp[c];
        UD.*kHeatnetwork[c] = heatnetwork[c];
        UD.*kElectric_network[c] = elecNetwork[c];
        UD.*kGas_upgrade[c] = gasUpgrade[c];
        UD.*kGasnetwork[c] = gasnetwork[c];
        UD.*kINVuser_amount[c] = user.invest;

        Bc[c] = digester + storageInvest + treatment + torch.invest + past.invest + shovel.invest +
                civil.invest + boiler[c] + chp[c] + heatnetwork[c] + elecNetwork[c] + gasUpgrade[c] +
                gasnetwork[c] + user.invest;
        Ac[c] = A.C2_PERadvise * Bc[c] + A.C1_PERadvise;
        Ec[c] =
            (A.C1_PERengineering + (A.C2_PERinspection * M + A.C1_PERinspection) + A.C1_PERcontractorfee) *
            Bc[c] / 100;
        Tc[c] = Ld + Ac[c] + (Bc[c] + Ec[c]) * scale;
        Kc[c] = (Tc[c] - Ac[c] - Ld) * A.C1_PERcontingency / 100;
        Stc[c] = (Tc[c] - Ac[c] - Ld) * A.C1_PERstartup / 100;
        Dc[c] = Bc[c] + Ec[c] + Kc[c];
    }

    investmentSubsidies();
    for (size_t c = 0; c < kCaseCount; ++c) {
        UD.*kSubtotal[c] = Bc[c] + Ld;
        UD.*kAdvise_and_permits[c] = Ac[c];
        UD.*kEngineering[c] = Ec[c];
        UD.*kStartup[c] = Stc[c];
        UD.*kContingency[c] = Kc[c];
        UD.*kSubsidy[c] = Sub[c];
        UD.*kTotal[c] = Bc[c] + Ld + Ec[c] + Ac[c] + Kc[c] + Stc[c] - Sub[c];
    }
}

void BGXRun::yearlyCosts() {
    // Biomass purchase over every line of the mix.
    purchase_eur = 0;
    for (const TBGXSubstrate_mix& line : UD.substrates_mix)
        purchase_eur += line.Msub_i * line.RELcost_i;

    const std::array<double, kOutStreamCount> exportPrice{
        UD.biomass_relcost_dig,     UD.biomass_relcost_thickfrac,
        UD.biomass_relcost_liqfrac, UD.biomass_relcost_thickdriedfrac,
        UD.biomass_relcost_retuf,   UD.biomass_relcost_retro,
        UD.biomass_relcost_water};
    digestateExport_eur = 0;
    for (size_t i = 0; i < kOutStreamCount; ++i)
        digestateExport_eur += exported_t[i] * exportPrice[i];

    heatBought_MJ = {std::max(heatUse_MJ[kCaseCHP] - H_MJ, 0.0),
                     std::max(heatUse_MJ[kCaseCHPHeat] - H_MJ, 0.0), 0, heatUse_MJ[kCaseBiomethaneExtHeat]};
    for (size_t c = 0; c < kCaseCount; ++c) {
        heatCost[c] = heatBought_MJ[c] * UD.energy_use_relcost_therm / 1000;
        elecCost[c] = elecUse_kWh[c] * UD.energy_use_relcost_elec;
    }
    dieselCost_eur = diesel_l * UD.energy_use_relcost_diesel;

    const double common = digA.maint + digB.maint + torch.maint + sep.maint + ufro.maint + dryer.maint;
    maintenance = {
        common + chp1.maint + feedIn.maint + consume[0].maint + shovel.maint,
        common + boilerDig.maint + chp2.maint + feedIn.maint + consume[1].maint + shovel.maint,
        common + boilerA.maint + boilerB.maint + boilerC.maint + consume[2].maint + upgA3.maint +
            upgB3.maint + gasConn3.maint + shovel.maint,
        common + consume[3].maint + upgA4.maint + upgB4.maint + gasConn4.maint + shovel.maint,
    };

    personnelHours = digA.personnel + digB.personnel + sep.personnel + ufro.personnel + dryer.personnel;
    personnelCost_eur = personnelHours * 52 * UD.financial_aspects_relperscost;
    UD.INVsystem_chp_tpersonnel = personnelHours;

    interestDuringConstruction();
}

} // namespace fmx
