// Entry points of the biogas calculation engine.
//
// The engine owns one instance of each module-level record for the whole program run. The bridge
// fills gAdminVars, gSubsidy and the inputs of gUserData, calls dmCalcBGX(gUserData) and reads the
// outputs. The engine uses the standard library only.
#pragma once

#include "bgx_records.h"

#include <stdexcept>
#include <string>

namespace fmx {

extern TBGXConstants gConstants;
extern TBGXAdminVars gAdminVars;
extern TBGXSubsidy gSubsidy;
extern TBGXUserData gUserData;

// Base of every failure of a calculation run. A run that throws has written some outputs at most;
// its caller must not use them.
class TBGXCalcError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A used line of the substrate mix matches no entry of the substrate database. The caller shows
// the translated form of kNoValidSubstrateText with the line's name in place of %s.
class TBGXSubstrateError : public TBGXCalcError {
public:
    static constexpr const char* kNoValidSubstrateText = "No valid substrate input: %s";
    explicit TBGXSubstrateError(const std::string& substrateName);
    const std::string& substrateName() const noexcept { return fSubstrateName; }

private:
    std::string fSubstrateName;
};

// A division by zero, an invalid operation or an overflow during a section of the run.
class TBGXArithmeticError : public TBGXCalcError {
public:
    TBGXArithmeticError(const std::string& section, int fenvFlags);
    const std::string& section() const noexcept { return fSection; }
    int flags() const noexcept { return fFlags; }

private:
    std::string fSection;
    int fFlags;
};

// Sets every field of gConstants; returns true.
bool fill_BGXConstants();

// 1 for true, 0 for false: selecting a component is a multiplication by 0 or 1.
inline int32_t ConvBool(bool b) {
    return b ? 1 : 0;
}

// Rounds away from zero to the next whole number when x has a fractional part (2.1 -> 3, -2.1 -> -3,
// 2.0 -> 2). Throws std::range_error when the result lies outside the 32-bit range (or x is NaN).
int32_t RoundUpper(double x);

// Runs the whole calculation on userData with gAdminVars, gSubsidy and freshly filled gConstants.
// Returns true when the run completes (and raises userData.dummycalc by 1). Throws TBGXCalcError
// (TBGXSubstrateError, TBGXArithmeticError) or std::range_error when the run fails.
bool dmCalcBGX(TBGXUserData& userData);

// Everything the projection of one case needs, in the order the engine passes it.
struct TBGXFinanceArgs {
    int32_t Tcashflow = 0;
    const TSubsidyRec* R1 = nullptr;
    const TSubsidyRec* R2 = nullptr;
    double Tdepr = 0, tloan = 0, PERescBiomass = 0, PERescEnergy = 0, PERescDigBiomass = 0, PERinfl = 0,
           perinterest = 0, Tax_on_profit = 0, relpriceelec = 0, relpricetherm = 0, relpricebiometh = 0;
    double advise = 0, invest = 0, land = 0, workcap = 0, startup = 0, equity = 0, loan = 0, annuity = 0,
           deprYear = 0, revenue = 0, heatSold = 0, biomass = 0, digestate = 0, eleccost = 0, heatcost = 0,
           diesel = 0, personnel = 0, insurance = 0, maintenance = 0, costuser = 0, constrInterest = 0,
           startup2 = 0;
    const TSubsidyRec* R3 = nullptr;
    const TSubsidyRec* R4 = nullptr;
    const TSubsidyRec* R5 = nullptr;
    double sub1 = 0, sub2 = 0, sub3 = 0, sub4 = 0;
    std::string caseName; // "chp", "chp_heat", "biomethane" or "biomethane_ext_heat"
};

// The 22-row projection of one case. interestTotal receives the sum of the interest of all rows.
void fill_finance_years(const TBGXFinanceArgs& args, double& interestTotal, TBGX_Finance_Years& rows);

} // namespace fmx
