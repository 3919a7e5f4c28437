#pragma once
// Window shapes: a two-colour mask picture (black where the window exists,
// near-white where it is cut away) turned into a region.

#include "ThinUI/Colors.h"
#include "ThinUI/ResourceImage.h"

#include <QRect>
#include <QRegion>
#include <vector>

class QWidget;

namespace Glm {

constexpr ThinUI::ColorRef kMaskTransparentColor = 0xC8C8C8;
constexpr ThinUI::ColorRef kMaskTolerance = 0x646464;

/// The runs of pixels that are not transparent, row by row from the top, as
/// one-pixel-high rectangles (x0, y, x1 - x0, 1). A pixel is transparent only
/// when each of its components lies in [c, min(255, c + t)], c and t being
/// that component of transparent and tolerance.
std::vector<QRect> RegionRunsFromBitmap(const QImage& bitmap, ThinUI::ColorRef transparent,
                                        ThinUI::ColorRef tolerance);
/// The union of those runs; empty when every pixel is transparent.
QRegion RegionFromBitmap(const QImage& bitmap, ThinUI::ColorRef transparent, ThinUI::ColorRef tolerance);

class MaskImage : public ThinUI::ResourceImage {
public:
    /// The mask resource of type "GIF" with that name.
    explicit MaskImage(std::string name);

    /// Shapes window by the mask, unless this mask was applied already. False
    /// when the mask is missing or undecodable (the window stays rectangular).
    bool ApplyTo(QWidget* window);
};

} // namespace Glm
