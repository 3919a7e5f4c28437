#pragma once
// Compares generated pictures with the committed ones. Antialiased edges are
// rasterised in floating point, and different CPUs and instruction sets round
// a few of those pixels differently, so pictures match within a tolerance:
// small enough that a moved shape or a changed colour is still seen.

#include <QByteArray>
#include <QImage>
#include <QString>

namespace ResourceTests {

struct PictureTolerance {
    /// A pixel whose channels all stay within this is the same pixel.
    int noise = 3;
    /// No channel of any pixel may differ by more than this.
    int maxChannelDifference = 40;
    /// At most this share of the pixels may differ by more than the noise.
    double maxDifferingShare = 0.01;
};

/// Empty when the two pictures match within the tolerance, otherwise why not.
QString ComparePictures(const QImage& made, const QImage& committed, const PictureTolerance& tolerance = {});

/// The same for two encoded files (PNG, JPEG, GIF); both must decode, with the same format.
QString ComparePictureFiles(const QByteArray& made, const QByteArray& committed,
                            const PictureTolerance& tolerance = {});

/// Whether a resource file is a picture, compared with ComparePictureFiles, or
/// byte-deterministic data compared byte for byte.
bool IsPictureFile(const QString& path);

} // namespace ResourceTests
