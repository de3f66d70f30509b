#include "gif_writer.h"

#include "errors.h"
#include "fmx_assert.h"
#include "report_errors.h"

#include <QFileInfo>
#include <QSaveFile>

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace fmx {

namespace {

int appendToByteArray(GifFileType* gif, const GifByteType* data, int length) {
    auto* out = static_cast<QByteArray*>(gif->UserData);
    out->append(reinterpret_cast<const char*>(data), length);
    return length;
}

// giflib wants a colour count that is a power of two, 2 to 256.
int paddedColourCount(int colours) {
    int count = 2;
    while (count < colours) count *= 2;
    return count;
}

[[noreturn]] void throwGifError(int error) {
    registerReportExceptions();
    throw TBaseDataError(tdek_ReportFileFailure,
                         QStringLiteral("GIF encoding failed: %1").arg(QString::fromUtf8(GifErrorString(error))));
}

} // namespace

QByteArray encodeGIF(const QImage& image) {
    FMX_ASSERT(!image.isNull(), QStringLiteral("Lege afbeelding naar GIF"));
    if (image.isNull()) return {};

    // Exact palette when there are at most 256 colours, otherwise a fixed palette without error
    // diffusion (diffusion turns the anti-aliased edges of a chart into noise).
    const QImage indexed = image.convertToFormat(QImage::Format_RGB32)
                               .convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither);
    const QList<QRgb> table = indexed.colorTable();
    const int colourCount = paddedColourCount(static_cast<int>(table.size()));
    std::vector<GifColorType> colours(static_cast<size_t>(colourCount), GifColorType{0, 0, 0});
    for (qsizetype i = 0; i < table.size(); ++i) {
        colours[static_cast<size_t>(i)] = GifColorType{static_cast<GifByteType>(qRed(table[i])),
                                                       static_cast<GifByteType>(qGreen(table[i])),
                                                       static_cast<GifByteType>(qBlue(table[i]))};
    }

    QByteArray out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, &appendToByteArray, &error);
    if (gif == nullptr) throwGifError(error);
    EGifSetGifVersion(gif, false);

    ColorMapObject* map = GifMakeMapObject(colourCount, colours.data());
    const int width = indexed.width();
    const int height = indexed.height();
    bool ok = map != nullptr && EGifPutScreenDesc(gif, width, height, 8, 0, map) == GIF_OK &&
              EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr) == GIF_OK;
    GifFreeMapObject(map);
    std::vector<GifPixelType> line(static_cast<size_t>(width));
    for (int y = 0; ok && y < height; ++y) {
        std::memcpy(line.data(), indexed.constScanLine(y), line.size());
        ok = EGifPutLine(gif, line.data(), width) == GIF_OK;
    }
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
