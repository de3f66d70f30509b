#include "finance_chart.h"

#include "errors.h"
#include "gif_writer.h"
#include "report_errors.h"

#include <QCategoryAxis>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QLegend>
#include <QLineSeries>
#include <QTemporaryDir>
#include <QValueAxis>

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <optional>

using fmx::TBaseDataError;

namespace {

const QList<double> kCashflow{-250000, -231000, -190500, -140000, -85000, -20000, 51000, 128000};

// The file decoded with giflib, as RGB pixels; nothing when giflib cannot read it.
std::optional<QImage> decodeWithGiflib(const QString& fileName) {
    int error = 0;
    GifFileType* gif = DGifOpenFileName(QFile::encodeName(fileName).constData(), &error);
    if (gif == nullptr) return std::nullopt;
    std::optional<QImage> result;
    if (DGifSlurp(gif) == GIF_OK && gif->ImageCount >= 1) {
        const SavedImage& frame = gif->SavedImages[0];
        const ColorMapObject* map = frame.ImageDesc.ColorMap ? frame.ImageDesc.ColorMap : gif->SColorMap;
        if (map != nullptr) {
            QImage image(gif->SWidth, gif->SHeight, QImage::Format_RGB32);
            image.fill(Qt::black);
            for (int y = 0; y < frame.ImageDesc.Height; ++y) {
                for (int x = 0; x < frame.ImageDesc.Width; ++x) {
                    const int index = frame.RasterBits[y * frame.ImageDesc.Width + x];
                    if (index >= map->ColorCount) return std::nullopt;
                    const GifColorType& c = map->Colors[index];
                    image.setPixel(frame.ImageDesc.Left + x, frame.ImageDesc.Top + y,
                                   qRgb(c.Red, c.Green, c.Blue));
                }
            }
            result = image;
        }
    }
    DGifCloseFile(gif, &error);
    return result;
}

int maxChannelDifference(QRgb a, QRgb b) {
    return std::max(
        {std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
}

std::array<fmx::TFinanceChartInput, 4> fourCases() {
    std::array<fmx::TFinanceChartInput, 4> cases;
    for (size_t i = 0; i < cases.size(); ++i) {
        cases[i].caption = QLatin1String(fmx::kFinanceChartCases[i].caption);
        for (double v : kCashflow)
            cases[i].cumulativeCashflow.append(v * static_cast<double>(i + 1));
    }
    return cases;
}

QByteArray readAll(const QString& fileName) {
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeBytes(const QString& fileName, const QByteArray& data) {
    QFile file(fileName);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

} // namespace

TEST(FinanceChart, MakeChartDrawsOneLabelledLine) {
    struct Case {
        QList<double> values;
        QStringList labels;
    };
    const Case cases[] = {
        {{}, {}},
        {{-1000.0}, {QStringLiteral("-0.5")}},
        {{-1000.0, -400.0, 300.0, 900.0},
         {QStringLiteral("-0.5"), QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.values.size() << " finance years");
        QChart chart;
        fmx::makeChart(chart, QStringLiteral("Biomethane"), c.values);

        EXPECT_EQ(chart.title(), QStringLiteral("Biomethane"));
        EXPECT_EQ(chart.size().toSize(), QSize(373, 225));
        EXPECT_EQ(chart.backgroundBrush().color(), QColor(Qt::white));
        EXPECT_FALSE(chart.legend()->isVisible());
        ASSERT_EQ(chart.series().size(), 1);
        auto* series = qobject_cast<QLineSeries*>(chart.series().front());
        ASSERT_NE(series, nullptr);
        EXPECT_EQ(series->pen().width(), 3);
        ASSERT_EQ(series->count(), c.values.size());
        for (int i = 0; i < series->count(); ++i) {
            EXPECT_EQ(series->at(i), QPointF(i, c.values[i]));
        }
        const QList<QAbstractAxis*> xAxes = chart.axes(Qt::Horizontal, series);
        ASSERT_EQ(xAxes.size(), 1);
        auto* categories = qobject_cast<QCategoryAxis*>(xAxes.front());
        ASSERT_NE(categories, nullptr);
        EXPECT_EQ(categories->categoriesLabels(), c.labels);
        for (const QString& label : categories->categoriesLabels()) // each label centred under its point
            EXPECT_EQ((categories->startValue(label) + categories->endValue(label)) / 2,
                      c.labels.indexOf(label));
        if (!c.values.isEmpty()) { // a single year too gives a real range around its value
            const QList<QAbstractAxis*> yAxes = chart.axes(Qt::Vertical, series);
            ASSERT_EQ(yAxes.size(), 1);
            auto* values = qobject_cast<QValueAxis*>(yAxes.front());
            ASSERT_NE(values, nullptr);
            EXPECT_LT(values->min(), values->max());
            EXPECT_LE(values->min(), *std::min_element(c.values.cbegin(), c.values.cend()));
            EXPECT_GE(values->max(), *std::max_element(c.values.cbegin(), c.values.cend()));
        }
    }
}

TEST(FinanceChart, ALongProjectionLabelsEveryKthPointUnderItsPoint) {
    QList<double> values;
    for (int year = 0; year < 22; ++year)
        values.append(-1.0e5 + 1.0e4 * year);
    QChart chart;
    fmx::makeChart(chart, QStringLiteral("Electricity"), values);
    auto* axis = qobject_cast<QCategoryAxis*>(chart.axes(Qt::Horizontal).front());
    ASSERT_NE(axis, nullptr);
    // 22 points, at most 8 labels: every third point, beginning with the first.
    QStringList expected{QStringLiteral("-0.5")};
    for (int year = 2; year <= 20; year += 3)
        expected.append(QString::number(year));
    EXPECT_EQ(axis->categoriesLabels(), expected);
    for (int i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(axis->startValue(expected[i]), 3 * i - 1.5) << expected[i].toStdString();
        EXPECT_EQ(axis->endValue(expected[i]), 3 * i + 1.5) << expected[i].toStdString();
    }
}

TEST(FinanceChart, MakeChartReusesTheOnlySeries) {
    QChart chart;
    fmx::makeChart(chart, QStringLiteral("Electricity"), {1.0, 2.0, 3.0});
    QAbstractSeries* first = chart.series().front();
    fmx::makeChart(chart, QStringLiteral("Biomethane"), {5.0, 6.0});

    ASSERT_EQ(chart.series().size(), 1);
    EXPECT_EQ(chart.series().front(), first);
    EXPECT_EQ(static_cast<QLineSeries*>(first)->points(), (QList<QPointF>{{0, 5.0}, {1, 6.0}}));
    EXPECT_EQ(chart.axes().size(), 2); // the old axes were replaced, not added to
    EXPECT_EQ(chart.title(), QStringLiteral("Biomethane"));
}

TEST(FinanceChart, AReusedChartDrawsLikeANewOne) {
    const QList<double> large{-9.0e8, 2.0e9, -4.0e8};
    QChart reused;
    fmx::makeChart(reused, QStringLiteral("Electricity"), large);
    (void)fmx::renderChart(reused);
    fmx::makeChart(reused, QStringLiteral("Biomethane"), kCashflow);

    QChart fresh;
    fmx::makeChart(fresh, QStringLiteral("Biomethane"), kCashflow);
    EXPECT_TRUE(fmx::renderChart(reused) == fmx::renderChart(fresh));
}

TEST(FinanceChart, RenderedChartShowsTheLineOnWhite) {
    QChart chart;
    fmx::makeChart(chart, QStringLiteral("Electricity"), kCashflow);
    const QImage image = fmx::renderChart(chart);
    ASSERT_EQ(image.size(), QSize(373, 225));

    for (const QPoint corner : {QPoint(0, 0), QPoint(372, 0), QPoint(0, 224), QPoint(372, 224)}) {
        EXPECT_EQ(image.pixel(corner), qRgb(255, 255, 255)) << corner.x() << "," << corner.y();
    }
    // A line 3 pixels wide across the plot leaves hundreds of pixels in the series' colour.
    const QRgb lineColour = static_cast<QLineSeries*>(chart.series().front())->pen().color().rgb();
    int linePixels = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (maxChannelDifference(image.pixel(x, y), lineColour) <= 8) ++linePixels;
    EXPECT_GT(linePixels, 300);
}

TEST(FinanceChart, GIFFileDecodesToTheDrawnImage) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QChart chart;
    fmx::makeChart(chart, QStringLiteral("Electricity"), kCashflow);
    const QImage drawn = fmx::renderChart(chart);
    const QString fileName = dir.filePath(QStringLiteral("chart.gif"));
    fmx::writeGIF(drawn, fileName);

    EXPECT_EQ(readAll(fileName).left(6), QByteArray("GIF87a"));
    const std::optional<QImage> decoded = decodeWithGiflib(fileName);
    ASSERT_TRUE(decoded.has_value());
    ASSERT_EQ(decoded->size(), QSize(373, 225));
    // The palette may round anti-aliased pixels, never by more than one step of a 6-level cube.
    int worst = 0;
    for (int y = 0; y < drawn.height(); ++y)
        for (int x = 0; x < drawn.width(); ++x)
            worst = std::max(worst, maxChannelDifference(drawn.pixel(x, y), decoded->pixel(x, y)));
    EXPECT_LE(worst, 51);

    QImageReader reader(fileName);
    EXPECT_EQ(reader.format(), QByteArray("gif"));
    EXPECT_EQ(reader.read().size(), QSize(373, 225));
}

TEST(FinanceChart, GIFOfAFewColoursKeepsThemExactly) {
    QImage image(7, 3, QImage::Format_RGB32);
    image.fill(qRgb(255, 255, 255));
    image.setPixel(0, 0, qRgb(12, 34, 56));
    image.setPixel(6, 2, qRgb(200, 10, 90));
    QTemporaryDir dir;
    const QString fileName = dir.filePath(QStringLiteral("small.gif"));
    fmx::writeGIF(image, fileName);
    const std::optional<QImage> decoded = decodeWithGiflib(fileName);
    ASSERT_TRUE(decoded.has_value());
    EXPECT_EQ(*decoded, image);
}

TEST(FinanceChart, GenGIFImagesNamesFilesAfterDirPrefixAndCase) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const fmx::TGIFImagesResult result =
        fmx::genGIFImages(fourCases(), dir.path(), QStringLiteral("rep"), true);
    const char* const names[] = {"rep_finance_chart_chp.gif", "rep_finance_chart_chp_heat.gif",
                                 "rep_finance_chart_biomethane.gif",
                                 "rep_finance_chart_biomethane_ext_heat.gif"};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(result.fileNames[i], dir.path() + QStringLiteral("/") + QLatin1String(names[i]));
        EXPECT_TRUE(result.written[i]);
        const std::optional<QImage> decoded = decodeWithGiflib(result.fileNames[i]);
        ASSERT_TRUE(decoded.has_value()) << names[i];
        EXPECT_EQ(decoded->size(), QSize(373, 225));
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 4);
}

TEST(FinanceChart, GenGIFImagesRedrawsOnlyWhenAskedChangedOrMissing) {
    struct Case {
        const char* name;
        bool genAlways;
        std::array<bool, 4> changed;
        std::array<bool, 4> removed;
        std::array<bool, 4> expectWritten;
    };
    const Case cases[] = {
        {"nothing changed", false, {}, {}, {}},
        {"genAlways", true, {}, {}, {true, true, true, true}},
        {"one case changed", false, {false, true, false, false}, {}, {false, true, false, false}},
        {"one file missing", false, {}, {false, false, false, true}, {false, false, false, true}},
    };
    const QByteArray sentinel("kept as it was");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        std::array<fmx::TFinanceChartInput, 4> input = fourCases();
        const fmx::TGIFImagesResult first =
            fmx::genGIFImages(input, dir.path(), QStringLiteral("rep"), false);
        for (size_t i = 0; i < 4; ++i) {
            ASSERT_TRUE(first.written[i]); // no file yet
            ASSERT_TRUE(writeBytes(first.fileNames[i], sentinel));
            if (c.removed[i]) {
                ASSERT_TRUE(QFile::remove(first.fileNames[i]));
            }
            input[i].changed = c.changed[i];
        }

        const fmx::TGIFImagesResult second =
            fmx::genGIFImages(input, dir.path(), QStringLiteral("rep"), c.genAlways);
        for (size_t i = 0; i < 4; ++i) {
            SCOPED_TRACE(testing::Message() << "case " << i);
            EXPECT_EQ(second.written[i], c.expectWritten[i]);
            const QByteArray content = readAll(second.fileNames[i]);
            if (c.expectWritten[i]) {
                EXPECT_EQ(content.left(6), QByteArray("GIF87a"));
            } else {
                EXPECT_EQ(content, sentinel);
            }
        }
    }
}

TEST(FinanceChart, UnwritableTargetsGiveAnErrorAndLeaveNothingPartial) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    fmx::registerReportExceptions();
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::white);

    // A folder path that runs through a regular file.
    const QString plainFile = dir.filePath(QStringLiteral("plain"));
    ASSERT_TRUE(writeBytes(plainFile, "x"));
    try {
        fmx::genGIFImages(fourCases(), plainFile + QStringLiteral("/sub"), QStringLiteral("rep"), true);
        ADD_FAILURE() << "no error";
    } catch (const TBaseDataError& e) {
        EXPECT_EQ(e.kind(), fmx::tdek_ReportFileFailure);
        EXPECT_TRUE(e.message().contains(QStringLiteral("rep_finance_chart_chp.gif"))) << e.what();
    }

    // The target name is taken by a folder: the data is written, the rename fails, the temporary
    // file is gone.
    const QString taken = dir.filePath(QStringLiteral("taken.gif"));
    ASSERT_TRUE(QDir().mkdir(taken));
    EXPECT_THROW(fmx::writeGIF(image, taken), TBaseDataError);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              (QStringList{QStringLiteral("plain"), QStringLiteral("taken.gif")}));
}

TEST(FinanceChart, ReadOnlyFolderKeepsItsFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = dir.filePath(QStringLiteral("ro"));
    ASSERT_TRUE(QDir().mkdir(folder));
    const QString existing = fmx::financeChartFileName(folder, QStringLiteral("rep"), 0);
    ASSERT_TRUE(writeBytes(existing, "old image"));
    ASSERT_TRUE(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    struct RestorePermissions {
        QString path;
        ~RestorePermissions() {
            QFile::setPermissions(path,
                                  QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        }
    } restore{folder};
    if (writeBytes(folder + QStringLiteral("/probe"), "x"))
        GTEST_SKIP() << "this user writes into read-only folders (root)";

    EXPECT_THROW(fmx::genGIFImages(fourCases(), folder, QStringLiteral("rep"), true), TBaseDataError);
    EXPECT_EQ(readAll(existing), QByteArray("old image"));
    EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{QStringLiteral("rep_finance_chart_chp.gif")});
}
