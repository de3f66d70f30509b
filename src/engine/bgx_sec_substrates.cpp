// Substrate matching, per-line contributions, totals, mass balance and biogas production.
#include "bgx_run.h"

#include <algorithm>

namespace fmx {

void BGXRun::substratesAndBiogas() {
    const auto& mix = UD.substrates_mix;
    nLines = 0;
    while (nLines < kBGXSubstrateCount && !mix[static_cast<size_t>(nLines)].Name.empty())
        ++nLines;

    // Match every used line before anything is written, so a failed run changes no output.
    for (int i = 0; i < nLines; ++i) {
        const TBGXSubstrate_mix& line = mix[static_cast<size_t>(i)];
        int found = -1;
        for (int k = 0; k < kBGXSubstrateCount; ++k) {
            const TBGXSubstrate& e = A.Substrates[static_cast<size_t>(k)];
            if (e.Name == line.Name && e.SubType_i == line.SubType_i) {
                found = k;
                break;
            }
        }
        if (found < 0) throw TBGXSubstrateError(line.Name);
        lineEntry[static_cast<size_t>(i)] = found;
    }

    M_t = Vin_m3 = G_Nm3 = CH4_Nm3 = ODM_t = DM_t = 0;
    P_t = K_t = Norg_t = Nmin_t = sludge_t = 0;
    for (int i = 0; i < nLines; ++i) {
        const TBGXSubstrate_mix& line = mix[static_cast<size_t>(i)];
        const TBGXSubstrate& e = A.Substrates[static_cast<size_t>(lineEntry[static_cast<size_t>(i)])];
        const double msub = line.Msub_i;
        const double odm = msub * e.ODM / 100;
        const double potential = odm * e.BiogasProd * cfThermo;
        // Retention-time correction, capped at 20 days above the recommended time.
        const double x = std::min(UD.Trt_user - e.T_RT_recom, 20.0);
        const double t = 40 + x;
        const double rtFactor = C.RT_C1 * t * t + C.RT_C2 * t + C.RT_C3;
        const double biogas = potential * rtFactor;

        M_t += msub;
        ODM_t += odm;
        G_Nm3 += biogas;
        CH4_Nm3 += biogas * e.CH4 / 100;
        Vin_m3 += msub / e.REL_dens_i;
        DM_t += msub * e.DM / 100;
        K_t += msub * e.Potassium / 100;
        P_t += msub * e.Phosphate / 100;
        Norg_t += msub * e.Nitrogen / 100;
        Nmin_t += msub * e.Min_Nitrogen / 100;
        sludge_t += msub * e.PER_slib_i / 100;
    }
    Gflow_Nm3h = G_Nm3 / A.Tchp;
    methanePct = G_Nm3 > 0 ? CH4_Nm3 / G_Nm3 * 100 : 0;

    // Biogas mass; it can never exceed the mass fed in.
    const double share = methanePct / 100;
    Gmass_t = (share * C.RELdens_meth + (1 - share) * C.RELdens_CO2) * G_Nm3;
    if (Gmass_t > M_t) {
        CH4_Nm3 *= M_t / Gmass_t;
        Gmass_t = M_t;
    }

    // Mass balance of digestion.
    Mout_t = M_t - Gmass_t;
    Vout_m3 = Mout_t / A.REL_Dig_Dens;
    ODMout_t = ODM_t - Gmass_t;
    DMout_t = DM_t - Gmass_t;
    NminOut_t = (A.PERminN / 100 + 1) * Nmin_t;
    NorgOut_t = Norg_t - (NminOut_t - Nmin_t);

    double dmInPct = 0, odmInPct = 0, nminPerTon = 0, loading = 0;
    if (M_t > 0) {
        dmInPct = 100 * DM_t / M_t;
        odmInPct = 100 * ODM_t / M_t;
        nminPerTon = 1000 * Nmin_t / M_t;
        loading = 1000 * ODM_t / (M_t * UD.Trt_user);
    }
    double odmOutPct = 0;
    DMoutPct = 0;
    if (Mout_t > 0) {
        DMoutPct = 100 * DMout_t / Mout_t;
        odmOutPct = 100 * ODMout_t / Mout_t;
    }

    UD.Biomass_total_input_m3 = Vin_m3;
    UD.Biomass_total_output_m3 = Vout_m3;
    UD.Biomass_total_input_ton = M_t;
    UD.Biomass_total_output_ton = Mout_t;
    UD.Dry_matter_input = dmInPct;
    UD.Dry_matter_output = DMoutPct;
    UD.Organic_dry_matter_input = odmInPct;
    UD.Organic_dry_matter_output = odmOutPct;
    UD.Phosphate_input = P_t;
    UD.Phosphate_output = P_t;
    UD.Nitrogen_org_input = Norg_t;
    UD.Nitrogen_org_output = NorgOut_t;
    UD.Mineralised_nitrogen_input = Nmin_t;
    UD.Mineralised_nitrogen_output = NminOut_t;
    UD.Potassium_input = K_t;
    UD.Potassium_output = K_t;
    UD.Biogas_nm3 = G_Nm3;
    UD.Biogas_ton = Gmass_t;
    UD.Methane = CH4_Nm3;
    UD.per_methane_in_biogas = methanePct;
    UD.Utilisation_of_digester = loading;
    UD.Mineralised_nitrogen = nminPerTon;
}

} // namespace fmx
