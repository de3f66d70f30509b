// Internal state of one calculation run: the quantities that one section computes and later
// sections read. Each section lives in a file of its own (bgx_sec_*.cpp). Symbols follow the
// formulas: M input mass, G biogas, E methane energy, H CHP heat, and so on; units are in the names.
#pragma once

#include "bgx_engine.h"

#include <array>

namespace fmx {

// Case indices, in the order used everywhere.
enum BGXCase : int { kCaseCHP = 0, kCaseCHPHeat = 1, kCaseBiomethane = 2, kCaseBiomethaneExtHeat = 3 };
constexpr int kCaseCount = 4;

// Output streams of the digestate, in order.
enum BGXOutStream : int {
    kDigestate = 0,
    kThickFrac,
    kLiqFrac,
    kThickDriedFrac,
    kRetentateUF,
    kRetentateRO,
    kWater,
    kOutStreamCount
};

// Input streams, in order.
enum BGXInStream : int { kCosubLiq = 0, kCosubSol, kManLiq, kManSol, kInStreamCount };

// A priced component: selection, raw cost, investment and its yearly needs.
struct BGXComponent {
    double s = 0;         // selection, 0 or 1
    double raw = 0;       // raw cost, euro
    double invest = 0;    // investment corrected to the calculation year, euro
    double maint = 0;     // maintenance, euro/year
    double personnel = 0; // hours per week
};

// One electric grid connection class.
struct BGXConnectClass {
    double COSTgridconnect, COSTtransport, COSTelec_service, COSTelec_expl, INVnetwork_elec, INVconnect_elec;
};

class BGXRun {
public:
    BGXRun(TBGXUserData& ud, const TBGXAdminVars& av, const TBGXSubsidy& sub, const TBGXConstants& c)
        : UD(ud), A(av), S(sub), C(c) {}

    // Sections, in the order the entry runs them.
    void thermophilicFactor();    // 2
    void substratesAndBiogas();   // 3
    void chpSizing();             // 4
    void storageAndDigester();    // 5
    void temperaturesAndPipes();  // 6
    void chpEfficiency();         // 7
    void siteArea();              // 8
    void components();            // 9
    void electricityAndGrid();    // 10
    void outputsAndInvestment();  // 11
    void yearlyCosts();           // 12
    void subsidiesAndFinancing(); // 13
    void projections();           // 15
    void yearlySummary();         // 14, run after the projections it reads

    TBGXUserData& UD;
    const TBGXAdminVars& A;
    const TBGXSubsidy& S;
    const TBGXConstants& C;

    // Section 2.
    double cfThermo = 1;

    // Section 3: substrates, totals and mass balance.
    int nLines = 0;                                  // used lines of the mix
    std::array<int, kBGXSubstrateCount> lineEntry{}; // matched database index per used line
    double M_t = 0, Vin_m3 = 0, G_Nm3 = 0, CH4_Nm3 = 0, ODM_t = 0, DM_t = 0;
    double P_t = 0, K_t = 0, Norg_t = 0, Nmin_t = 0, sludge_t = 0;
    double Gflow_Nm3h = 0, methanePct = 0, Gmass_t = 0;
    double Mout_t = 0, Vout_m3 = 0, ODMout_t = 0, DMout_t = 0, NminOut_t = 0, NorgOut_t = 0;
    double DMoutPct = 0;

    // Section 4: CHP sizing and biomethane.
    double E_MJ = 0, Pf_kW = 0, Pr_kW = 0, nEngines = 0, B_Nm3 = 0, Bflow_Nm3h = 0;

    // Section 5: storage and digestate.
    std::array<double, kInStreamCount> inVolume_m3{}; // yearly volume per input stream
    std::array<double, kInStreamCount> inNeed_m3{};   // new storage to build
    std::array<double, kOutStreamCount> outQty_t{};   // D, T, L, DT, U, R, W
    std::array<double, kOutStreamCount> exported_t{}; // leaving the farm per year
    std::array<double, kOutStreamCount> outStorage_m3{};
    double Vsp_m3 = 0, Vc_m3 = 0; // tank volumes for stirring: steel or plastic, concrete
    double Vdig_m3 = 0;

    // Section 6.
    double Tdig = 0, dh_mm = 0, Qb = 0, db_mm = 0, dg_mm = 0;

    // Section 7.
    double etaEl = 0, etaTh = 0, Pe_kW = 0, Eel_kWh = 0, H_MJ = 0, Pavg_kW = 0;

    // Section 8.
    double Site_m2 = 0;

    // Section 9: components and their energy needs.
    BGXComponent digA, digB, past, torch, sep, ufro, dryer, heatNet, boilerA, boilerB, boilerC, boilerDig,
        chp1, chp2, upgA3, upgB3, upgA4, upgB4, biogasPipe, biomethPipe, gasConn3, gasConn4, shovel, land,
        civil, user;
    double storageInvest = 0; // all storage components
    double HA_MJ = 0, HB_MJ = 0, HP_MJ = 0, HD_MJ = 0, HN_MJ = 0, Wev_t = 0;
    double EA_kWh = 0, EB_kWh = 0, ES_kWh = 0, EU_kWh = 0, ED_kWh = 0;
    std::array<double, kCaseCount> heatUse_MJ{}; // H_1 .. H_4
    double s2 = 0, s3 = 0;                       // own-heat shares
    double Ph_kW = 0;                            // heat-demand power for the boilers
    double P3_W = 0, P4_W = 0;                   // gas compressor power
    double Ug3_kWh = 0, Ug4_kWh = 0;             // upgrading electricity
    double diesel_l = 0;

    // Section 10.
    std::array<double, kCaseCount> elecUse_kWh{};   // U_1 .. U_4
    BGXComponent feedIn;                            // maint holds its yearly cost
    std::array<BGXComponent, kCaseCount> consume{}; // maint holds the yearly cost

    // Section 11: investment per case.
    std::array<double, kCaseCount> Bc{}, Ac{}, Ec{}, Tc{}, Kc{}, Stc{}, Dc{}, Sub{};
    double Ld = 0;

    // Section 12: yearly costs per case and interest during construction.
    double purchase_eur = 0, digestateExport_eur = 0, dieselCost_eur = 0, personnelHours = 0, personnelCost_eur = 0;
    std::array<double, kCaseCount> heatBought_MJ{}, heatCost{}, elecCost{}, maintenance{}, Ic{};

    // Section 13: subsidy streams, revenues and financing.
    double heatSold_MJ = 0, Q3_Nm3 = 0, Q4_Nm3 = 0;
    TSubsidyRec R1, R2, R3, R4, R5;
    double Rv1 = 0, Rv2 = 0, Rh = 0, Rb3 = 0, Rb4 = 0;
    std::array<double, kCaseCount> Wc{}, Fc{}, Eqc{}, Lnc{}, Anc{}, Insc{}, depc{};

    // Section 15.
    std::array<double, kCaseCount> costOfFinancing{};

private:
    double priceCorrection(double referenceYear) const;
    void finishComponent(BGXComponent& comp, double minimum, double referenceYear) const;
    double storageCost(int type, double volume_m3, bool liquidCosub, bool trenchOnly) const;
    BGXConnectClass connectClass(double p_kW) const;
    double gasConnectRaw(double P_W) const;
    double personnelBand(double s, double c51, double c52, double c53, double c54) const;
    double chpMaintenance(double p_kW) const;
    void investmentSubsidies();
    void interestDuringConstruction();
    void buildStreams();
    void revenues();
    void financing();
};

} // namespace fmx
