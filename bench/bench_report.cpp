#include "bgx_fixture.h"
#include "bridge_project.h"
#include "dmdata.h"
#include "dmerrors.h"
#include "dmhooks.h"
#include "finance_chart.h"
#include "gif_writer.h"
#include "project.h"
#include "project_calc.h"
#include "project_schema.h"
#include "report.h"

#include <QApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// Qt Charts needs an application object; one lives for each run of the benchmark (a run outside
// any other application), so that nothing of Qt outlives main.
std::unique_ptr<QApplication> applicationForRun() {
    if (QCoreApplication::instance() != nullptr) return nullptr;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fermalux_bench";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QApplication>(argc, argv);
}

} // namespace

// One report chart of a 22-year projection: fill the chart, draw it off-screen, reduce it to a
// palette and write the GIF file whole.
static void BM_RenderChartGif(benchmark::State& state) {
    const std::unique_ptr<QApplication> app = applicationForRun();
    QTemporaryDir dir;
    QList<double> cashflow;
    for (int year = 0; year < 22; ++year)
        cashflow.append(-350000.0 + 31000.0 * year);
    const QString fileName = dir.filePath(QStringLiteral("rep_finance_chart_chp.gif"));
    QChart chart;
    for (auto _ : state) {
        fmx::makeChart(chart, QStringLiteral("Electricity"), cashflow);
        fmx::writeGIF(fmx::renderChart(chart), fileName);
    }
}
BENCHMARK(BM_RenderChartGif)->Unit(benchmark::kMillisecond);

// The whole report of a fully filled, calculated project on the shipped template: the four charts
// drawn and written as GIF files, every table and the summary filled in.
static void BM_CreateReport(benchmark::State& state) {
    using namespace fmx;
    const std::unique_ptr<QApplication> app = applicationForRun();
    QTemporaryDir dir;
    setDmErrorSink([](const QString&) {});
    auto reg = TdmData::create();
    dmProjectCreateDefs();
    setProjectCalcFunction(nullptr);
    std::unique_ptr<TProject> project = fmxtest::newReferenceProject();
    if (!calcProject(*project, nullptr)) state.SkipWithError("calculation failed");
    const QString templateDir = QStringLiteral(FMX_BENCH_REPORT_TEMPLATE_DIR);
    for (auto _ : state)
        benchmark::DoNotOptimize(createReport(*project, templateDir, dir.path()));
    project.reset();
    reg.reset();
    setDmErrorSink(nullptr);
}
BENCHMARK(BM_CreateReport)->Unit(benchmark::kMillisecond);
