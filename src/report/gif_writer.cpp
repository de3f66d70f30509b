#include "gif_writer.h"

#include "errors.h"
#include "fmx_assert.h"
#include "report_errors.h"

#include <QFileInfo>
#include <QHash>
#include <QSaveFile>

#include <gif_lib.h>

#include <algorithm>
#include <limits>
#include <utility>
#include <vector>

namespace fmx {

namespace {

int appendToByteArray(GifFileType* gif, const GifByteType* data, int length) {
    auto* out = static_cast<QByteArray*>(gif->UserData);
    out->append(reinterpret_cast<const char*>(data), length);
    return length;
}

struct TIndexedImage {
    std::vector<QRgb> palette;
    std::vector<GifPixelType> pixels; // row by row
};

// The 256 most frequent colours form the palette (all of them when there are no more), every other
// colour becomes its nearest palette colour. A chart is mostly a few flat colours, so this keeps
// the white background, the grid and the line exact and only moves rare anti-aliasing shades;
// dithering would scatter dots over the light grid and the background.
TIndexedImage toPalette(const QImage& rgb) {
    QHash<QRgb, qsizetype> counts;
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x)
            ++counts[line[x] | 0xff000000u];
    }
    std::vector<std::pair<QRgb, qsizetype>> byFrequency;
    byFrequency.reserve(static_cast<size_t>(counts.size()));
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        byFrequency.emplace_back(it.key(), it.value());
    std::sort(byFrequency.begin(), byFrequency.end(), [](const auto& a, const auto& b) {
        return a.second != b.second ? a.second > b.second : a.first < b.first;
    });

    TIndexedImage result;
    QHash<QRgb, GifPixelType> indexOf;
    for (const auto& [colour, count] : byFrequency) {
        if (result.palette.size() == 256) break;
        indexOf.insert(colour, static_cast<GifPixelType>(result.palette.size()));
        result.palette.push_back(colour);
    }
    const auto nearest = [&result](QRgb colour) {
        size_t best = 0;
        int bestDistance = std::numeric_limits<int>::max();
        for (size_t i = 0; i < result.palette.size(); ++i) {
            const QRgb p = result.palette[i];
            const int dr = qRed(p) - qRed(colour);
            const int dg = qGreen(p) - qGreen(colour);
            const int db = qBlue(p) - qBlue(colour);
            const int distance = dr * dr + dg * dg + db * db;
            if (distance < bestDistance) {
                bestDistance = distance;
                best = i;
            }
        }
        return static_cast<GifPixelType>(best);
    };
    for (const auto& entry : byFrequency) {
        if (!indexOf.contains(entry.first)) indexOf.insert(entry.first, nearest(entry.first));
    }

    result.pixels.reserve(static_cast<size_t>(rgb.width()) * static_cast<size_t>(rgb.height()));
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x)
            result.pixels.push_back(indexOf.value(line[x] | 0xff000000u));
    }
    return result;
}

// giflib wants a colour count that is a power of two, 2 to 256.
int paddedColourCount(int colours) {
    int count = 2;
    while (count < colours)
        count *= 2;
    return count;
}

[[noreturn]] void throwGifError(int error) {
    registerReportExceptions();
    throw TBaseDataError(
        tdek_ReportFileFailure,
        QStringLiteral("GIF encoding failed: %1").arg(QString::fromUtf8(GifErrorString(error))));
}

} // namespace

QByteArray encodeGIF(const QImage& image) {
    FMX_ASSERT(!image.isNull(), QStringLiteral("Lege afbeelding naar GIF"));
    if (image.isNull()) return {};

    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const TIndexedImage indexed = toPalette(rgb);
    const int colourCount = paddedColourCount(static_cast<int>(indexed.palette.size()));
    std::vector<GifColorType> colours(static_cast<size_t>(colourCount), GifColorType{0, 0, 0});
    for (size_t i = 0; i < indexed.palette.size(); ++i) {
        const QRgb c = indexed.palette[i];
        colours[i] = GifColorType{static_cast<GifByteType>(qRed(c)), static_cast<GifByteType>(qGreen(c)),
                                  static_cast<GifByteType>(qBlue(c))};
    }

    QByteArray out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, &appendToByteArray, &error);
    if (gif == nullptr) throwGifError(error);
    EGifSetGifVersion(gif, false);

    ColorMapObject* map = GifMakeMapObject(colourCount, colours.data());
    const int width = rgb.width();
    const int height = rgb.height();
    bool ok = map != nullptr && EGifPutScreenDesc(gif, width, height, 8, 0, map) == GIF_OK &&
              EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr) == GIF_OK;
    GifFreeMapObject(map);
    std::vector<GifPixelType> pixels = indexed.pixels;
    for (int y = 0; ok && y < height; ++y)
        ok = EGifPutLine(gif, pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(width), width) ==
             GIF_OK;
    if (!ok) error = gif->Error;
    int closeError = 0;
    if (EGifCloseFile(gif, &closeError) != GIF_OK && ok) {
        ok = false;
        error = closeError;
    }
    if (!ok) throwGifError(error);
    return out;
}

void writeGIF(const QImage& image, const QString& fileName) {
    const QByteArray data = encodeGIF(image);
    QSaveFile file(fileName);
    const auto fail = [&fileName](const QString& reason) {
        registerReportExceptions();
        throw TBaseDataError(tdek_ReportFileFailure,
                             QStringLiteral("%1: %2").arg(QFileInfo(fileName).absoluteFilePath(), reason));
    };
    if (!file.open(QIODevice::WriteOnly)) fail(file.errorString());
    if (file.write(data) != data.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        fail(reason);
    }
    if (!file.commit()) fail(file.errorString());
}

} // namespace fmx
