// Input stream volumes, storage needs, the digestate split and the output storage volumes, and the
// digester volume.
#include "bgx_run.h"

#include <algorithm>

namespace fmx {

void BGXRun::storageAndDigester() {
    // Input stream volumes over all lines of the mix. The entry is found by name alone (highest
    // index wins); a line without a match reuses the previous line's entry. Only real substrate types
    // contribute, so the empty entries of the database (no name, density 0) add nothing.
    inVolume_m3.fill(0);
    int entry = -1;
    for (const TBGXSubstrate_mix& line : UD.substrates_mix) {
        for (int k = kBGXSubstrateCount - 1; k >= 0; --k) {
            if (A.Substrates[static_cast<size_t>(k)].Name == line.Name) {
                entry = k;
                break;
            }
        }
        if (entry < 0) continue;
        const TBGXSubstrate& e = A.Substrates[static_cast<size_t>(entry)];
        int stream = -1;
        switch (e.SubType_i) {
        case 1:
            stream = kManLiq;
            break;
        case 2:
            stream = kManSol;
            break;
        case 3:
            stream = kCosubLiq;
            break;
        case 4:
            stream = kCosubSol;
            break;
        default:
            break;
        }
        if (stream >= 0) inVolume_m3[static_cast<size_t>(stream)] += line.Msub_i / e.REL_dens_i;
    }

    const std::array<double, kInStreamCount> inTstor{UD.Cosub_liq_Tstor_user, UD.Cosub_sol_Tstor_user,
                                                     UD.Man_liq_Tstor_user, UD.Man_sol_Tstor_user};
    const std::array<double, kInStreamCount> inAvail{
        UD.Cosub_liq_Vstor_avail_user, UD.Cosub_sol_Vstor_avail_user, UD.Man_liq_Vstor_avail_user,
        UD.Man_sol_Vstor_avail_user};
    const std::array<int32_t, kInStreamCount> inType{UD.Cosub_liq_StorType_user, UD.Cosub_sol_StorType_user,
                                                     UD.Man_liq_StorType_user, UD.Man_sol_StorType_user};
    for (size_t i = 0; i < kInStreamCount; ++i)
        inNeed_m3[i] = std::max(0.0, (inTstor[i] / 12) * inVolume_m3[i] - inAvail[i]);

    // Digestate split, by mass (t/year), whatever the treatment flags.
    const double D = Mout_t;
    const double T = ((DMoutPct / 100 - A.RAT_dm_liqfrac) * D) / (A.RAT_dm_thickfrac - A.RAT_dm_liqfrac);
    const double L = D - T;
    const double DT = (A.RAT_dm_thickfrac / A.RAT_dm_thickdriedfrac) * T;
    const double U = A.RAT_UF_ret * L;
    const double R = A.RAT_RO_ret * L;
    const double W = L - U - R;
    outQty_t = {D, T, L, DT, U, R, W};

    const bool sep = UD.Apply_sep, dry = UD.Apply_dry, ufro = UD.Apply_UFRO;
    const std::array<bool, kOutStreamCount> exists{!sep,        sep && !dry, sep && !ufro, sep && dry,
                                                   sep && ufro, sep && ufro, sep && ufro};
    for (size_t i = 0; i < kOutStreamCount; ++i)
        exported_t[i] = exists[i] ? outQty_t[i] : 0;

    const double frac = A.RATstor_frac;
    const std::array<double, kOutStreamCount> factor{
        sep ? frac : 1.0,          sep ? (dry ? frac : 1.0) : 0.0, sep ? (ufro ? frac : 1.0) : 0.0,
        (sep && dry) ? 1.0 : 0.0,  (sep && ufro) ? 1.0 : 0.0,      (sep && ufro) ? 1.0 : 0.0,
        (sep && ufro) ? 1.0 : 0.0,
    };
    const std::array<double, kOutStreamCount> outTstor{
        UD.Dig_Tstor_user,   UD.ThickFrac_Tstor_user, UD.LiqFrac_Tstor_user, UD.ThickDriedFrac_Tstor_user,
        UD.retUF_Tstor_user, UD.retRO_Tstor_user,     UD.Water_Tstor_user};
    const std::array<double, kOutStreamCount> density{
        A.REL_Dig_Dens,   A.REL_thickfrac_dens, A.REL_liqfrac_dens, A.REL_thickdriedfrac_dens,
        A.REL_retUF_dens, A.REL_retRO_dens,     A.REL_water_dens};
    for (size_t i = 0; i < kOutStreamCount; ++i)
        outStorage_m3[i] = (outTstor[i] / 12) * factor[i] * outQty_t[i] / density[i];

    // Tank volumes that need stirring.
    const std::array<int32_t, kOutStreamCount> outType{
        UD.Dig_StorType_user,     UD.ThickFrac_StorType_user,
        UD.LiqFrac_StorType_user, UD.ThickDriedFrac_StorType_user,
        UD.retUF_StorType_user,   UD.retRO_StorType_user,
        UD.Water_StorType_user};
    Vsp_m3 = Vc_m3 = 0;
    auto addTank = [this](int32_t type, double v) {
        if (type == 2 || type == 4)
            Vsp_m3 += v;
        else if (type == 1)
            Vc_m3 += v;
    };
    for (size_t i = 0; i < kInStreamCount; ++i)
        addTank(inType[i], inNeed_m3[i]);
    for (size_t i = 0; i < kOutStreamCount; ++i)
        addTank(outType[i], outStorage_m3[i]);

    Vdig_m3 = ((Vin_m3 + Vout_m3) / 2) * (UD.Trt_user / 365) * (1 / cfThermo);
}

} // namespace fmx
