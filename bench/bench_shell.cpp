#include "log.h"

#include <benchmark/benchmark.h>

// Caller's side of logging: format the entry and append it to the pending text.
static void BM_logInfo(benchmark::State& state) {
    const QString text = QStringLiteral("Calculation finished in 12 ms");
    for (auto _ : state)
        fmx::logInfo(fmx::lmk_logInfo, text);
}
BENCHMARK(BM_logInfo);
