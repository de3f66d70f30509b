// The calculation of a whole project: reading the inputs from the tree, the engine run and the
// write-back of every result with its triggers.
#include "bridge_project.h"

#include "bgx_fixture.h"
#include "dmdata.h"
#include "dmerrors.h"
#include "dmhooks.h"
#include "project.h"
#include "project_calc.h"
#include "project_schema.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using namespace fmx;

void BM_ProjectCalc(benchmark::State& state) {
    setDmErrorSink([](const QString&) {});
    auto reg = TdmData::create();
    dmProjectCreateDefs();
    setProjectCalcFunction(nullptr);
    std::unique_ptr<TProject> project = fmxtest::newReferenceProject();
    if (!calcProject(*project, nullptr)) state.SkipWithError("calculation failed");
    for (auto _ : state)
        benchmark::DoNotOptimize(calcProject(*project, nullptr));
    project.reset();
    reg.reset();
    setDmErrorSink(nullptr);
}
BENCHMARK(BM_ProjectCalc)->Unit(benchmark::kMicrosecond);

} // namespace
