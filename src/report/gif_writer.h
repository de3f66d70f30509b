// GIF files of report images, written with giflib.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace fmx {

// The image as a GIF 87a file: reduced to a palette of at most 256 colours (exact when the image
// has no more colours than that; otherwise the most frequent ones, without dithering), no
// transparency. An empty image is a programming error
// (assertion; returns an empty array when the handler returns).
QByteArray encodeGIF(const QImage& image);

// Writes the image as a GIF file, whole: the data goes to a temporary file beside the target,
// which is renamed over it once complete. On failure the target is as before, no temporary file
// is left, and TBaseDataError (tdek_ReportFileFailure) names the file and the reason.
void writeGIF(const QImage& image, const QString& fileName);

} // namespace fmx
