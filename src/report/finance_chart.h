// Cumulative cash-flow charts of the four energy cases and their GIF images for the report.
//
// Everything here needs a QApplication (Qt Charts draws through QtWidgets); off-screen rendering
// works with QT_QPA_PLATFORM=offscreen.
#pragma once

#include <QChart>
#include <QImage>
#include <QList>
#include <QString>

#include <array>

namespace fmx {

inline constexpr int kFinanceChartWidth = 373;
inline constexpr int kFinanceChartHeight = 225;
inline constexpr int kFinanceChartLineWidth = 3;

// The four energy cases in the program's order: English caption (translated by the caller before
// drawing) and the suffix of the image file.
struct TFinanceChartCaseDef {
    const char* caption;
    const char* fileSuffix;
};
inline constexpr std::array<TFinanceChartCaseDef, 4> kFinanceChartCases{{
    {"Electricity", "_finance_chart_chp.gif"},
    {"Electricity with heat delivery", "_finance_chart_chp_heat.gif"},
    {"Biomethane", "_finance_chart_biomethane.gif"},
    {"Biomethane with heat supplier", "_finance_chart_biomethane_ext_heat.gif"},
}};

// Fills the chart with one line: title caption, 373 x 225, white background, no legend. The chart's
// only series is cleared and reused when it has exactly one line series; otherwise a new line
// series is added. One point per finance year, in order, at x = 0, 1, 2, ...: the first labelled
// "-0.5", the following ones 0, 1, 2, ...; the value is the year's cumulative cash flow. Of more
// than 8 points only every k-th is labelled, so that the labels fit. Line width 3 in the series'
// default colour. A category axis (QCategoryAxis) below and a value axis left are reused when the chart has
// them, other axes are removed.
void makeChart(QChart& chart, const QString& caption, const QList<double>& cumulativeCashflow);

// Draws the chart, at its current size, into an image (the chart is laid out first).
QImage renderChart(QChart& chart);

// One case as the caller hands it over: the translated caption, the yearly cumulative cash flow and
// whether its finance object has changes not yet drawn.
struct TFinanceChartInput {
    QString caption;
    QList<double> cumulativeCashflow;
    bool changed = false;
};

// storeInDir + "/" + uniqueFileNamePart + the case's suffix.
QString financeChartFileName(const QString& storeInDir, const QString& uniqueFileNamePart, int caseIndex);

struct TGIFImagesResult {
    std::array<QString, 4> fileNames;
    // Which files were drawn and written this time (the others were kept).
    std::array<bool, 4> written{};
};

// Writes the four images, in case order, into storeInDir. A case is drawn and written when genAlways
// is set, when its input is marked changed, or when its file does not exist; otherwise its file is
// kept as it is. One chart is used for all four. Throws TBaseDataError (tdek_ReportFileFailure) at
// the first file that cannot be written; the files written before it stay, that one is unchanged.
TGIFImagesResult genGIFImages(const std::array<TFinanceChartInput, 4>& cases, const QString& storeInDir,
                              const QString& uniqueFileNamePart, bool genAlways);

} // namespace fmx
