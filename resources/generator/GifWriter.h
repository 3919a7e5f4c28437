#pragma once
// Writes two-colour GIF images (index 0 black, index 1 white), the format of the window masks.
// Qt reads GIF but does not write it, so the encoder is ours.

#include <QByteArray>
#include <QImage>

namespace Art {

/// Encodes `image` as a GIF89a with a black/white palette: a pixel whose red, green and blue
/// are all at least 128 becomes white, any other black. Returns the file's bytes.
QByteArray EncodeTwoColourGif(const QImage& image);

} // namespace Art
