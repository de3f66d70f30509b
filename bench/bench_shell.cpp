#include "log.h"

#include <benchmark/benchmark.h>

// Caller's side of logging: format the entry and append it to the pending text. Nothing writes
// files here, so the pending text is dropped (untimed) every few thousand entries to keep memory flat.
static void BM_logInfo(benchmark::State& state) {
    const QString text = QStringLiteral("Calculation finished in 12 ms");
    fmx::resetLogging();
    int sinceDrop = 0;
    for (auto _ : state) {
        fmx::logInfo(fmx::lmk_logInfo, text);
        if (++sinceDrop == 8192) {
            state.PauseTiming();
            fmx::resetLogging();
            sinceDrop = 0;
            state.ResumeTiming();
        }
    }
    fmx::resetLogging();
}
BENCHMARK(BM_logInfo);
