#include "finance_chart.h"

#include "gif_writer.h"

#include <QBarCategoryAxis>
#include <QFileInfo>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QLegend>
#include <QLineSeries>
#include <QPainter>
#include <QPen>
#include <QValueAxis>

#include <algorithm>
#include <memory>

namespace fmx {

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

    for (QAbstractAxis* axis : chart.axes()) {
        chart.removeAxis(axis);
        delete axis;
    }
    auto* xAxis = new QBarCategoryAxis();
    xAxis->append(labels);
    chart.addAxis(xAxis, Qt::AlignBottom);
    series->attachAxis(xAxis);
    auto* yAxis = new QValueAxis();
    yAxis->setLabelFormat(QStringLiteral("%.0f"));
    chart.addAxis(yAxis, Qt::AlignLeft);
    series->attachAxis(yAxis);
    if (!cumulativeCashflow.isEmpty()) {
        const auto [lo, hi] = std::minmax_element(cumulativeCashflow.cbegin(), cumulativeCashflow.cend());
        yAxis->setRange(*lo, *hi);
        yAxis->applyNiceNumbers();
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
