// Investment subsidies, the five subsidy streams of the chosen scheme and the first-year revenues.
#include "bgx_case_fields.h"
#include "bgx_run.h"

#include <algorithm>
#include <cmath>

namespace fmx {

namespace {

enum Scheme : int {
    kNone = 1,
    kGermany = 2,
    kNetherlands = 3,
    kFlanders = 4,
    kWallonia = 5,
    kPoland = 6,
    kItaly = 7,
    kEstonia = 8
};

// The scheme in force: none when subsidies are off; a code outside the known schemes counts as none.
int activeScheme(const TBGXUserData& ud) {
    if (!ud.financial_aspects_apply_subsidy) return kNone;
    const int code = ud.financial_aspects_country;
    return (code >= kNone && code <= kEstonia) ? code : kNone;
}

struct FlagPair {
    bool compl_;
    bool market;
};
FlagPair elecFlags(const TBGXSubsidyApply& a) {
    return {a.SubApplyElecCompl, a.SubApplyElecMarketprice};
}
FlagPair thermFlags(const TBGXSubsidyApply& a) {
    return {a.SubApplyThermCompl, a.SubApplyThermMarketprice};
}
FlagPair biomethFlags(const TBGXSubsidyApply& a) {
    return {a.SubApplyBiomethCompl, a.SubApplyBiomethMarketprice};
}

void setStream(TSubsidyRec& r, FlagPair flags, double price, double quantity) {
    r.applySubsCompl = flags.compl_;
    r.applyMarketprice = flags.market;
    r.RELSubs = price;
    r.Esubs = quantity;
}

void setFactors(TSubsidyRec& r, double value) {
    r.CFsubs.fill(value);
}

// Factor (1 + esc/100)^(y - 1) for operating years y up to duration, 0 after.
void setEscalatingFactors(TSubsidyRec& r, double escPct, double duration) {
    for (int y = 1; y <= kBGXOperatingYears; ++y)
        r.CFsubs[static_cast<size_t>(y - 1)] = y <= duration ? std::pow(1 + escPct / 100, y - 1) : 0;
}

void setPeriodFactors(TSubsidyRec& r, double period) {
    for (int y = 1; y <= kBGXOperatingYears; ++y)
        r.CFsubs[static_cast<size_t>(y - 1)] = y <= period ? 1 : 0;
}

} // namespace

void BGXRun::investmentSubsidies() {
    Sub.fill(0);
    switch (activeScheme(UD)) {
    case kGermany:
        // Only a heat network that is actually built earns the heat-network subsidy.
        if (UD.Apply_heat && !UD.Apply_biogasnet)
            Sub[kCaseCHPHeat] = dh_mm * UD.Lheatdeliv * S.SubGerInvHeatNetwork;
        break;
    case kPoland: {
        const double conv = UD.financial_aspects_convpln;
        for (size_t c = 0; c < kCaseCount; ++c) {
            const double X = (Tc[c] - Stc[c]) * UD.subpolinvper / 100 * conv; // zloty
            const double Y = std::max(UD.subpolinv, X);
            if (Y < UD.subpolinvmin)
                Sub[c] = UD.subpolinvmin / conv;
            else if (Y > UD.subpolinvmax)
                Sub[c] = UD.subpolinvmax / conv;
            else
                Sub[c] = Y / conv;
        }
        break;
    }
    case kEstonia: {
        const double p = S.SubEstCInvBasic + ConvBool(UD.subestapplyyoung) * S.SubEstCInvYoung +
                         ConvBool(UD.subestapplylessfavarea) * S.SubEstCInvLessFavArea;
        for (size_t c = 0; c < kCaseCount; ++c)
            Sub[c] = std::min(p / 100 * (Bc[c] + Ld), S.SubEstCInvMax);
        break;
    }
    default:
        break;
    }
}

void BGXRun::buildStreams() {
    const double Eel = Eel_kWh;
    const double U1 = elecUse_kWh[kCaseCHP], U2 = elecUse_kWh[kCaseCHPHeat];
    const FlagPair none{false, true};
    for (TSubsidyRec* r : {&R1, &R2, &R3, &R4}) {
        setStream(*r, none, 0, 0);
        setFactors(*r, 0);
    }
    setStream(R5, none, 0, 0);
    setFactors(R5, 1);

    switch (activeScheme(UD)) {
    case kGermany: {
        const double P = Pavg_kW;
        const double a = P < S.SubGerAUL ? 1 : S.SubGerAUL / P;
        const double b = P <= S.SubGerAUL ? 0 : (P <= S.SubGerBUL ? 1 - a : (S.SubGerBUL - S.SubGerAUL) / P);
        const double c =
            P <= S.SubGerBUL ? 0 : (P <= S.SubGerCUL ? 1 - a - b : (S.SubGerCUL - S.SubGerBUL) / P);
        const double d = P <= S.SubGerCUL ? 0 : 1 - a - b - c;
        const double f = ConvBool(UD.subgerapplyformaldehyde), m = ConvBool(UD.subgerapplymanure),
                     r = ConvBool(UD.subgerapplyresidue), i = ConvBool(UD.subgerapplyinnovative);
        const double feeA = S.SubGerABasicFee + f * S.SubGerAFormaldehyde + S.SubGerANawaro +
                            m * S.SubGerAManure + r * S.SubGerAResidues + i * S.SubGerATechnology;
        const double feeB = S.SubGerBBasicFee + f * S.SubGerBFormaldehyde + S.SubGerBNawaro +
                            m * S.SubGerBManure + r * S.SubGerBResidues + i * S.SubGerBTechnology;
        const double feeC = S.SubGerCBasicFee + f * S.SubGerCFormaldehyde + S.SubGerCNawaro +
                            m * S.SubGerCManure + r * S.SubGerCResidues + i * S.SubGerCTechnology;
        const double feeD = S.SubGerDBasicFee + f * S.SubGerDFormaldehyde + S.SubGerDNawaro +
                            m * S.SubGerDManure + r * S.SubGerDResidues + i * S.SubGerDTechnology;
        const double tariff =
            (feeA * a + feeB * b + feeC * c + feeD * d + ConvBool(UD.subgerapplygas350) * S.SubGerGas350 +
             ConvBool(UD.subgerapplygas700) * S.SubGerGas700 +
             ConvBool(UD.subgerapplychp) * S.SubGerCHPBonus) /
            100;
        setStream(R1, elecFlags(S.SubGerApply), tariff, Eel);
        setFactors(R1, 1);
        setStream(R2, elecFlags(S.SubGerApply), 0, (1 - s2) * Eel);
        setFactors(R2, 0);
        setStream(R3, thermFlags(S.SubGerApply), 0, Q3_Nm3);
        setFactors(R3, 1);
        setStream(R4, biomethFlags(S.SubGerApply), 0, Q4_Nm3);
        setFactors(R4, 1);
        break;
    }
    case kNetherlands:
        setStream(R1, elecFlags(S.SubNetApply), UD.subnetelec, Eel - U1);
        setStream(R2, elecFlags(S.SubNetApply), 0, (1 - s2) * Eel - U2);
        setStream(R3, thermFlags(S.SubNetApply), UD.subnetheat, Q3_Nm3);
        setStream(R4, biomethFlags(S.SubNetApply), UD.subnetbiometh, Q4_Nm3);
        for (TSubsidyRec* r : {&R1, &R2, &R3, &R4})
            setPeriodFactors(*r, S.SubNetYears);
        break;
    case kFlanders: {
        const double F = 1 - 1 / (etaEl / S.SubFlaEffrefElec + etaTh / S.SubFlaEffrefTherm);
        // The quantities stay in kWh, as the prices are per kWh (the certificate prices per MWh
        // divided by 1000); a quantity in MWh as well would make the revenue 1000 times too small.
        const double q1 = Eel / S.SubFlaEffrefElec + (heatUse_MJ[kCaseCHP] / 3.6) / S.SubFlaEffrefTherm - U1;
        // The heat sold is in MJ like the heat use, so both are converted to kWh together.
        const double q2 = (1 - s2) * Eel / S.SubFlaEffrefElec +
                          ((heatUse_MJ[kCaseCHPHeat] + heatSold_MJ) / 3.6) / S.SubFlaEffrefTherm - U2;
        setStream(R1, elecFlags(S.SubFlaApply), UD.subflachpprice / 1000, q1 * F);
        setStream(R2, elecFlags(S.SubFlaApply), UD.subflagreenprice / 1000, q2 * F);
        for (int y = 1; y <= kBGXOperatingYears; ++y) {
            const size_t i = static_cast<size_t>(y - 1);
            R1.CFsubs[i] = std::pow(1 + UD.subflachpesc / 100, y - 1) * S.SubFlaList[i].SubFlaCHPCert;
            R2.CFsubs[i] = std::pow(1 + UD.subflagreenesc / 100, y - 1);
        }
        setStream(R3, thermFlags(S.SubFlaApply), 0, Q3_Nm3);
        setStream(R4, biomethFlags(S.SubFlaApply), 0, Q4_Nm3);
        break;
    }
    case kWallonia: {
        // Average CO2 reduction of the used lines, by their matched database entries.
        double r = 0;
        for (int i = 0; i < nLines; ++i)
            r += UD.substrates_mix[static_cast<size_t>(i)].Msub_i *
                 A.Substrates[static_cast<size_t>(lineEntry[static_cast<size_t>(i)])].REL_redCDE;
        r = M_t > 0 ? r / M_t : 0;
        double k = 1;
        if (E_MJ > 0)
            k = ((S.SubWalCCO2ref / S.SubWalCEref) +
                 (heatSold_MJ / E_MJ) / etaEl * (S.SubWalCCO2ref / S.SubWalCThref) - r / etaEl) /
                (S.SubWalCCO2ref / S.SubWalCEref);
        setStream(R1, elecFlags(S.SubWalApply), k * UD.subwalgreenprice / 1000, Eel - U1);
        for (int y = 1; y <= kBGXOperatingYears; ++y)
            R1.CFsubs[static_cast<size_t>(y - 1)] =
                y <= S.SubWalT100 ? 1 : (y <= S.SubWalTTotal ? S.SubWalCCorrGC / 100 : 0);
        setStream(R2, elecFlags(S.SubWalApply), 0, (1 - s2) * Eel - U2);
        setStream(R3, thermFlags(S.SubWalApply), 0, Q3_Nm3);
        setStream(R4, biomethFlags(S.SubWalApply), 0, Q4_Nm3);
        break;
    }
    case kPoland: {
        const double conv = UD.financial_aspects_convpln;
        const double PES = (1 - 1 / (etaEl / S.SubPolEffrefElec + etaTh / S.SubPolEffrefTherm)) * 100;
        const double brown = UD.subpolbrownprice / conv, green = UD.subpolgreenprice / conv,
                     violetPrice = UD.subpolvioletprice / conv, yellowPrice = UD.subpolyellowprice / conv;
        const double violet = ConvBool(Pavg_kW >= S.SubPolCritPower && PES >= S.SubPolCritViolet);
        const double yellow = ConvBool(Pavg_kW < S.SubPolCritPower && PES > S.SubPolCritYellow);
        const double v = (violet * violetPrice + yellow * yellowPrice) / 1000;
        const double ev = violet * UD.subpolvioletesc + yellow * UD.subpolyellowesc;
        const double tv = violet * UD.subpolvioletduration + yellow * UD.subpolyellowduration;
        setStream(R1, elecFlags(S.SubPolApply), green / 1000, Eel);
        setEscalatingFactors(R1, UD.subpolgreenesc, UD.subpolgreenduration);
        setStream(R2, elecFlags(S.SubPolApply), v, (1 - s2) * Eel);
        setEscalatingFactors(R2, ev, tv);
        // Like every other scheme, the heat stream carries the heat (Therm) flags.
        setStream(R3, thermFlags(S.SubPolApply), brown / 1000, Q3_Nm3);
        setStream(R4, biomethFlags(S.SubPolApply), brown / 1000, Q4_Nm3);
        setEscalatingFactors(R4, UD.subpolbrownesc, UD.subpolbrownduration);
        break;
    }
    case kItaly: {
        const bool small = Pavg_kW < 1000;
        setStream(R1, elecFlags(S.SubItaApply), small ? S.SubItaFundSmall : S.SubItaFundLarge, Eel);
        setPeriodFactors(R1, small ? S.SubItaPeriodSmall : S.SubItaPeriodLarge);
        setStream(R2, elecFlags(S.SubItaApply), 0, (1 - s2) * Eel);
        setStream(R3, thermFlags(S.SubItaApply), 0, Q3_Nm3);
        setStream(R4, biomethFlags(S.SubItaApply), 0, Q4_Nm3);
        break;
    }
    case kEstonia:
        setStream(R1, elecFlags(S.SubEstApply), S.SubEstCElec, Eel);
        setPeriodFactors(R1, S.SubEstTElec);
        setStream(R2, elecFlags(S.SubEstApply), 0, (1 - s2) * Eel);
        setStream(R3, thermFlags(S.SubEstApply), 0, Q3_Nm3);
        setStream(R4, biomethFlags(S.SubEstApply), 0, Q4_Nm3);
        break;
    default:
        break;
    }
}

void BGXRun::revenues() {
    const double priceElec = UD.energy_production_relpriceelec;
    Rv1 = ConvBool(R1.applyMarketprice) * Eel_kWh * priceElec;
    Rv2 = Rv1 * (1 - s2);
    Rh = ConvBool(R3.applyMarketprice) * heatSold_MJ * UD.energy_production_relpricetherm / 1000;
    Rb3 = ConvBool(R4.applyMarketprice) * Q3_Nm3 * UD.energy_production_relpricebiometh;
    Rb4 = ConvBool(R4.applyMarketprice) * Q4_Nm3 * UD.energy_production_relpricebiometh;

    const double elecPrice0 = R1.RELSubs * R1.CFsubs[0] + R2.RELSubs * R2.CFsubs[0];
    const double S1 = elecPrice0 * R1.Esubs;
    const double S2 = (1 - s2) * R1.Esubs * elecPrice0;
    const double Sh = heatSold_MJ * R5.RELSubs / 1000;
    const double S3 = Q3_Nm3 * R4.RELSubs;
    const double S4 = Q4_Nm3 * R4.RELSubs;

    // Where the subsidy price includes the commercial price, the sales are deducted from it.
    const double sub1 = R1.applySubsCompl ? (S1 - R1.Esubs * priceElec > 0 ? S1 - Rv1 : 0) : S1;
    const double sub2 = R1.applySubsCompl ? (S2 - R1.Esubs * priceElec > 0 ? S2 - Rv2 : 0) : S2;
    const double subH = R3.applySubsCompl ? std::max(Sh - Rh, 0.0) : Sh;
    const double sub3 = R4.applySubsCompl ? std::max(S3 - Rb3, 0.0) : S3;
    const double sub4 = R4.applySubsCompl ? std::max(S4 - Rb4, 0.0) : S4;

    UD.in_electricity_chp = Rv1;
    UD.in_subsidy_electricity_chp = sub1;
    UD.in_total_chp = Rv1 + sub1;
    UD.in_electricity_chp_heat = Rv2;
    UD.in_therm_energy_delivery_chp_heat = Rh;
    UD.in_subsidy_electricity_chp_heat = sub2;
    UD.in_subsidy_heat_chp_heat = subH;
    UD.in_total_chp_heat = Rv2 + Rh + sub2 + subH;
    UD.in_biomethane_biomethane = Rb3;
    UD.in_subsidy_biomethane_biomethane = sub3;
    UD.in_total_biomethane = Rb3 + sub3;
    UD.in_biomethane_biomethane_ext_heat = Rb4;
    UD.in_subsidy_biomethane_biomethane_ext_heat = sub4;
    UD.in_total_biomethane_ext_heat = Rb4 + sub4;
}

void BGXRun::subsidiesAndFinancing() {
    // Heat that can be sold to the customer (and the farm), never negative.
    const double demand_MJ = (UD.energy_use_ptherm_intdemand_user + UD.Pheatdeliv_average) * C.Tyear * 3.6;
    const double available_MJ = (1 - s2) * H_MJ - heatUse_MJ[kCaseCHPHeat];
    heatSold_MJ = available_MJ > demand_MJ ? demand_MJ : (available_MJ > 0 ? available_MJ : 0);
    Q3_Nm3 = (1 - s3) * B_Nm3;
    Q4_Nm3 = B_Nm3;

    buildStreams();
    financing();
    revenues();
}

} // namespace fmx
