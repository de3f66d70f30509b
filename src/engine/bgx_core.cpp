// Module-level records, constants, helpers and the entry of the calculation.
#include "bgx_engine.h"
#include "bgx_run.h"

#include <cfenv>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string_view>

namespace fmx {

TBGXConstants gConstants;
TBGXAdminVars gAdminVars;
TBGXSubsidy gSubsidy;
TBGXUserData gUserData;

namespace {

std::string substrateMessage(const std::string& name) {
    const std::string_view text = TBGXSubstrateError::kNoValidSubstrateText;
    const size_t at = text.find("%s");
    return std::string(text.substr(0, at)) + name + std::string(text.substr(at + 2));
}

std::string arithmeticMessage(const std::string& section, int flags) {
    std::string what;
    if (flags & FE_DIVBYZERO)
        what = "division by zero";
    else if (flags & FE_INVALID)
        what = "invalid operation";
    else
        what = "overflow";
    return "Calculation failed (" + what + ") in: " + section;
}

constexpr int kFaultFlags = FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW;

// Ends the run when the section just finished raised a floating-point fault.
void checkSection(const char* section) {
    const int raised = std::fetestexcept(kFaultFlags);
    if (raised != 0) {
        std::feclearexcept(kFaultFlags);
        throw TBGXArithmeticError(section, raised);
    }
}

// A NaN or infinite input passes through quiet arithmetic without raising a flag; no such value may
// reach the results. The outputs are one run of doubles from Biomass_total_input_m3 to dummycalc.
void checkOutputsFinite(const TBGXUserData& ud) {
    const size_t first = offsetof(TBGXUserData, Biomass_total_input_m3);
    const size_t last = offsetof(TBGXUserData, dummycalc);
    const auto* bytes = reinterpret_cast<const unsigned char*>(&ud);
    for (size_t at = first; at < last; at += sizeof(double)) {
        double v;
        std::memcpy(&v, bytes + at, sizeof v);
        if (!std::isfinite(v)) throw TBGXArithmeticError("results", FE_INVALID);
    }
}

} // namespace

TBGXSubstrateError::TBGXSubstrateError(const std::string& substrateName)
    : TBGXCalcError(substrateMessage(substrateName)), fSubstrateName(substrateName) {}

TBGXArithmeticError::TBGXArithmeticError(const std::string& section, int fenvFlags)
    : TBGXCalcError(arithmeticMessage(section, fenvFlags)), fSection(section), fFlags(fenvFlags) {}

bool fill_BGXConstants() {
    TBGXConstants& c = gConstants;
    c.CFthermophilic = 1.3;
    c.Applythermophilic = false;
    c.RT_C1 = -0.0001;
    c.RT_C2 = 0.0126;
    c.RT_C3 = 0.6549;
    c.RELdens_meth = 0.00072;
    c.RELdens_CO2 = 0.001986;
    c.C_LHVmethane = 35.8;
    c.C_CpWater = 4.2;
    c.Tyear = 8760;
    c.CurrYear = 2011;
    c.C_SecondsPerHour = 3600;
    c.C_HoursPerDay = 24;
    c.C_DaysPerYear = 365;
    c.C_SecondsPerYear = 31536000;
    c.C_kwhToMJ = 3.6;
    c.C_TonToKg = 1000;
    c.C_BarToPa = 100000;
    c.C_g = 9.81;
    c.Ck_compr = 1.2963;
    return true;
}

int32_t RoundUpper(double x) {
    double r = std::trunc(x);
    if (r != x) r += (x > 0 ? 1.0 : -1.0);
    // The negated test also refuses NaN.
    if (!(r >= static_cast<double>(std::numeric_limits<int32_t>::min()) &&
          r <= static_cast<double>(std::numeric_limits<int32_t>::max()))) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%g", x);
        throw std::range_error(std::string("RoundUpper: value out of range: ") + buf);
    }
    return static_cast<int32_t>(r);
}

bool dmCalcBGX(TBGXUserData& userData) {
    std::feclearexcept(kFaultFlags);
    fill_BGXConstants();
    BGXRun run(userData, gAdminVars, gSubsidy, gConstants);

    run.thermophilicFactor();
    checkSection("thermophilic factor");
    run.substratesAndBiogas();
    checkSection("substrates and biogas production");
    run.chpSizing();
    checkSection("CHP sizing and biomethane");
    run.storageAndDigester();
    checkSection("storage, digestate and digester volume");
    run.temperaturesAndPipes();
    checkSection("digester temperature and pipes");
    run.chpEfficiency();
    checkSection("CHP efficiency and production");
    run.siteArea();
    checkSection("site area");
    run.components();
    checkSection("components");
    run.electricityAndGrid();
    checkSection("electricity use and grid connections");
    run.outputsAndInvestment();
    checkSection("outputs and investment");
    run.yearlyCosts();
    checkSection("yearly costs");
    run.subsidiesAndFinancing();
    checkSection("subsidies, financing and revenues");
    run.projections();
    checkSection("financial projection");
    run.yearlySummary();
    checkSection("yearly summary");
    checkOutputsFinite(userData);

    userData.dummycalc += 1;
    return true;
}

void BGXRun::thermophilicFactor() {
    cfThermo = C.Applythermophilic ? C.CFthermophilic : 1.0;
}

} // namespace fmx
