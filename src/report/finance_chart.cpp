#include "finance_chart.h"

#include "gif_writer.h"

#include <QCategoryAxis>
#include <QFileInfo>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QLegend>
#include <QLineSeries>
#include <QPainter>
#include <QPen>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <memory>

namespace fmx {

namespace {
// Labels that fit side by side under a chart 373 pixels wide.
constexpr qsizetype kMaxXLabels = 8;
} // namespace

void makeChart(QChart& chart, const QString& caption, const QList<double>& cumulativeCashflow) {
    chart.setTitle(caption);
    chart.resize(QSizeF(kFinanceChartWidth, kFinanceChartHeight));
    chart.setBackgroundBrush(Qt::white);

    QLineSeries* series = nullptr;
    const QList<QAbstractSeries*> existing = chart.series();
    if (existing.size() == 1) series = qobject_cast<QLineSeries*>(existing.front());
    if (series != nullptr) {
        series->clear();
    } else {
        series = new QLineSeries(); // the chart takes ownership
        chart.addSeries(series);
    }

    QStringList labels;
    QList<QPointF> points;
    labels.reserve(cumulativeCashflow.size());
    points.reserve(cumulativeCashflow.size());
    for (qsizetype i = 0; i < cumulativeCashflow.size(); ++i) {
        labels.append(i == 0 ? QStringLiteral("-0.5") : QString::number(i - 1));
        points.append(QPointF(static_cast<double>(i), cumulativeCashflow[i]));
    }
    series->replace(points);
    QPen pen = series->pen(); // the colour the chart's theme gave the series
    pen.setWidth(kFinanceChartLineWidth);
    series->setPen(pen);

    // The axes are kept from one drawing to the next: a removed axis leaves its drawing in the
    // scene until the event loop runs, which an off-screen chart may never see.
    QCategoryAxis* xAxis = nullptr;
    QValueAxis* yAxis = nullptr;
    for (QAbstractAxis* axis : chart.axes()) {
        if (xAxis == nullptr && axis->orientation() == Qt::Horizontal)
            xAxis = qobject_cast<QCategoryAxis*>(axis);
        else if (yAxis == nullptr && axis->orientation() == Qt::Vertical)
            yAxis = qobject_cast<QValueAxis*>(axis);
    }
    for (QAbstractAxis* axis : chart.axes()) {
        if (axis != xAxis && axis != yAxis) {
            chart.removeAxis(axis);
            delete axis;
        }
    }
    QFont labelFont = chart.font();
    labelFont.setPointSizeF(7);
    if (xAxis == nullptr) {
        xAxis = new QCategoryAxis(); // the chart takes ownership
        xAxis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionCenter);
        xAxis->setLabelsFont(labelFont);
        chart.addAxis(xAxis, Qt::AlignBottom);
    }
    if (yAxis == nullptr) {
        yAxis = new QValueAxis();
        yAxis->setLabelFormat(QStringLiteral("%.0f"));
        yAxis->setLabelsFont(labelFont);
        chart.addAxis(yAxis, Qt::AlignLeft);
    }
    // Qt Charts cuts a label short to the room of its range, so a long projection labels every
    // second (third, ...) point: as many labels as fit.
    for (const QString& label : xAxis->categoriesLabels())
        xAxis->remove(label);
    const qsizetype step = std::max<qsizetype>(1, (labels.size() + kMaxXLabels - 1) / kMaxXLabels);
    // Each label is centred in a range of `step` points around its own point.
    const double half = static_cast<double>(step) / 2.0;
    xAxis->setStartValue(-half);
    double last = 0.5;
    for (qsizetype i = 0; i < labels.size(); i += step) {
        last = static_cast<double>(i) + half;
        xAxis->append(labels[i], last);
    }
    xAxis->setRange(-half, std::max(last, static_cast<double>(labels.size()) - 0.5));
    if (!series->attachedAxes().contains(xAxis)) series->attachAxis(xAxis);
    if (!series->attachedAxes().contains(yAxis)) series->attachAxis(yAxis);
    if (!cumulativeCashflow.isEmpty()) {
        const auto [lo, hi] = std::minmax_element(cumulativeCashflow.cbegin(), cumulativeCashflow.cend());
        double low = *lo;
        double high = *hi;
        if (high - low < 1e-9) { // a flat line (a single year): give the axis room around it
            const double pad = std::max(1.0, std::abs(low) * 0.1);
            low -= pad;
            high += pad;
        }
        yAxis->setTickCount(5); // applyNiceNumbers changes it: start each drawing from the same count
        yAxis->setRange(low, high);
        yAxis->applyNiceNumbers();
    } else {
        yAxis->setRange(0, 1);
    }

    chart.legend()->hide();
    // Qt Charts draws in 2D only, so there is no 3D view to switch off.
}

QImage renderChart(QChart& chart) {
    const QSize size = chart.size().toSize();
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);

    // The scene takes the chart only for the drawing and hands it back before it is destroyed.
    QGraphicsScene scene;
    scene.addItem(&chart);
    chart.setPos(0, 0);
    if (QGraphicsLayout* layout = chart.layout()) layout->activate();
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        scene.render(&painter, QRectF(QPointF(0, 0), size), QRectF(QPointF(0, 0), size));
    }
    scene.removeItem(&chart);
    return image;
}

QString financeChartFileName(const QString& storeInDir, const QString& uniqueFileNamePart, int caseIndex) {
    return storeInDir + QStringLiteral("/") + uniqueFileNamePart +
           QLatin1String(kFinanceChartCases.at(static_cast<size_t>(caseIndex)).fileSuffix);
}

TGIFImagesResult genGIFImages(const std::array<TFinanceChartInput, 4>& cases, const QString& storeInDir,
                              const QString& uniqueFileNamePart, bool genAlways) {
    TGIFImagesResult result;
    std::unique_ptr<QChart> chart;
    for (size_t i = 0; i < cases.size(); ++i) {
        const QString fileName = financeChartFileName(storeInDir, uniqueFileNamePart, static_cast<int>(i));
        result.fileNames[i] = fileName;
        if (!genAlways && !cases[i].changed && QFileInfo::exists(fileName)) continue;
        if (!chart) chart = std::make_unique<QChart>();
        makeChart(*chart, cases[i].caption, cases[i].cumulativeCashflow);
        writeGIF(renderChart(*chart), fileName);
        result.written[i] = true;
    }
    return result;
}

} // namespace fmx
