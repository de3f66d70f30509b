#include "bgx_fixture.h"

#include <benchmark/benchmark.h>

// One whole calculation run on the reference farm with heat delivery, separation and upgrading, so
// that every component and all four projections are computed.
static void BM_dmCalcBGX(benchmark::State& state) {
    fmx::testdata::fillGlobals();
    fmx::TBGXUserData& ud = fmx::gUserData;
    ud.Apply_heat = true;
    ud.Lheatdeliv = 500;
    ud.Pheatdeliv_average = 100;
    ud.Pheatdeliv_peak = 200;
    ud.Apply_sep = true;
    ud.Apply_UFRO = true;
    ud.Apply_upgrade = true;
    ud.Lfeed_gas = 2000;
    ud.financial_aspects_country = 2;
    for (auto _ : state) {
        fmx::dmCalcBGX(ud);
        benchmark::DoNotOptimize(ud.finance_npv_chp);
    }
}
BENCHMARK(BM_dmCalcBGX);
