#include "ArtComparison.h"

#include <QBuffer>
#include <QImageReader>
#include <algorithm>
#include <cstdlib>

namespace ResourceTests {

namespace {

struct Decoded {
    QImage image;
    QByteArray format;
};

Decoded Decode(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    Decoded decoded;
    decoded.format = reader.format();
    decoded.image = reader.read();
    return decoded;
}

int ChannelDifference(QRgb a, QRgb b) {
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b)), std::abs(qAlpha(a) - qAlpha(b))});
}

} // namespace

QString ComparePictures(const QImage& made, const QImage& committed, const PictureTolerance& tolerance) {
    if (made.isNull() || committed.isNull()) {
        return QStringLiteral("a picture is missing or does not decode");
    }
    if (made.size() != committed.size()) {
        return QStringLiteral("size %1x%2 instead of %3x%4")
            .arg(made.width())
            .arg(made.height())
            .arg(committed.width())
            .arg(committed.height());
    }
    if (made.format() != committed.format()) {
        return QStringLiteral("pixel format %1 instead of %2").arg(made.format()).arg(committed.format());
    }
    // Compare unpremultiplied colours, so a translucent edge pixel counts as
    // much as an opaque one.
    const QImage a = made.convertToFormat(QImage::Format_ARGB32);
    const QImage b = committed.convertToFormat(QImage::Format_ARGB32);
    long long differing = 0;
    int worst = 0;
    int worstX = 0;
    int worstY = 0;
    for (int y = 0; y < a.height(); ++y) {
        const auto* lineA = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* lineB = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            const int difference = ChannelDifference(lineA[x], lineB[x]);
            if (difference > tolerance.noise) {
                ++differing;
            }
            if (difference > worst) {
                worst = difference;
                worstX = x;
                worstY = y;
            }
        }
    }
    const long long pixels = static_cast<long long>(a.width()) * a.height();
    if (worst > tolerance.maxChannelDifference) {
        return QStringLiteral("pixel (%1,%2) differs by %3 in a channel (at most %4 allowed)")
            .arg(worstX)
            .arg(worstY)
            .arg(worst)
            .arg(tolerance.maxChannelDifference);
    }
    if (static_cast<double>(differing) > tolerance.maxDifferingShare * static_cast<double>(pixels)) {
        return QStringLiteral("%1 of %2 pixels differ (at most %3% allowed)")
            .arg(differing)
            .arg(pixels)
            .arg(tolerance.maxDifferingShare * 100.0);
    }
    return {};
}

QString ComparePictureFiles(const QByteArray& made, const QByteArray& committed,
                            const PictureTolerance& tolerance) {
    const Decoded a = Decode(made);
    const Decoded b = Decode(committed);
    if (a.format != b.format) {
        return QStringLiteral("file format %1 instead of %2")
            .arg(QString::fromLatin1(a.format), QString::fromLatin1(b.format));
    }
    return ComparePictures(a.image, b.image, tolerance);
}

bool IsPictureFile(const QString& path) {
    return path.endsWith(QLatin1String(".png"), Qt::CaseInsensitive) ||
           path.endsWith(QLatin1String(".jpg"), Qt::CaseInsensitive) ||
           path.endsWith(QLatin1String(".gif"), Qt::CaseInsensitive);
}

} // namespace ResourceTests
