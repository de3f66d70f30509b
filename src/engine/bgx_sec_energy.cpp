// CHP sizing, biomethane quantity, digester temperature, pipe diameters and CHP production.
#include "bgx_run.h"

#include <cmath>
#include <numbers>

namespace fmx {

void BGXRun::chpSizing() {
    E_MJ = CH4_Nm3 * C.C_LHVmethane;
    Pf_kW = E_MJ / (3.6 * A.Tchp);
    Pr_kW = (UD.CFchp_extra / 100 + 1) * Pf_kW;
    // The user's number of engines is a minimum.
    const double nRequired = RoundUpper(Pr_kW / A.C_chpFuelmax);
    nEngines = nRequired > UD.n_engine ? nRequired : UD.n_engine;
    B_Nm3 = (CH4_Nm3 / A.RATmeth_biometh) * A.RATeffBiogasUpgr;
    Bflow_Nm3h = B_Nm3 / A.Tchp;
}

void BGXRun::temperaturesAndPipes() {
    Tdig = C.Applythermophilic ? A.TEMPthermophilic : A.TEMPmesophilic;
    // Heat pipe for a water speed of 1.5 m/s.
    dh_mm = 2000 * std::sqrt(UD.Pheatdeliv_peak / (A.C_RhoDigestate * A.C_CpDigestate * 1.5 *
                                                   std::numbers::pi * UD.Heatnetwork_dT));
    // Gas pipes for a gas speed of 15 m/s (291.34 mm per sqrt(m3/s)).
    Qb = (A.PRESSaverage / UD.PRESS_feed_gas) * Bflow_Nm3h *
         ((273.15 + A.TEMPground) / (273.15 + A.TEMPaverage));
    db_mm = 291.34 * std::sqrt(Qb / 3600);
    dg_mm = 291.34 * std::sqrt(Gflow_Nm3h / 3600);
}

void BGXRun::chpEfficiency() {
    etaEl = std::pow(Pr_kW / nEngines, A.RATeffCHP_C2) * A.RATeffCHP_C1;
    etaTh = A.RATeffCHP_C3 - etaEl;
    Pe_kW = etaEl * Pr_kW / nEngines;
    Eel_kWh = E_MJ * etaEl / 3.6;
    H_MJ = E_MJ * etaTh;
    Pavg_kW = etaEl * Pf_kW;
}

} // namespace fmx
