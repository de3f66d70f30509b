// Realistic, fully filled calculation records for tests and benchmarks: a reference substrate
// database, administration variables with cost curves, the subsidy rules of all seven schemes as
// they stood in 2011, and a dairy farm with maize silage as user input.
#pragma once

#include "bgx_engine.h"

namespace fmx::testdata {

void fillAdminVars(TBGXAdminVars& av);
void fillSubsidy(TBGXSubsidy& sub);
// A dairy farm: 10000 t cattle slurry and 3000 t maize silage, CHP only, subsidy scheme "none".
void fillDairyFarm(TBGXUserData& ud);

// Fills the three module-level input records (gAdminVars, gSubsidy, gUserData) and zeroes the outputs.
void fillGlobals();

} // namespace fmx::testdata
