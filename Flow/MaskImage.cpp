#include "MaskImage.h"

#include <QWidget>
#include <algorithm>

namespace Glm {

namespace {

struct ComponentRange {
    int low;
    int high;
    bool Contains(int value) const { return value >= low && value <= high; }
};

ComponentRange RangeOf(int component, int tolerance) {
    return {component, std::min(255, component + tolerance)};
}

} // namespace

std::vector<QRect> RegionRunsFromBitmap(const QImage& bitmap, ThinUI::ColorRef transparent,
                                        ThinUI::ColorRef tolerance) {
    // Pixels are read one by one rather than through convertToFormat: Qt
    // converts large images on its thread pool, which would put a worker
    // thread into every start-up for a mask that is read once.
    const QImage& pixels = bitmap;
    const ComponentRange red = RangeOf(ThinUI::RedOf(transparent), ThinUI::RedOf(tolerance));
    const ComponentRange green = RangeOf(ThinUI::GreenOf(transparent), ThinUI::GreenOf(tolerance));
    const ComponentRange blue = RangeOf(ThinUI::BlueOf(transparent), ThinUI::BlueOf(tolerance));
    const auto isTransparent = [&](QRgb pixel) {
        return red.Contains(qRed(pixel)) && green.Contains(qGreen(pixel)) && blue.Contains(qBlue(pixel));
    };
    std::vector<QRect> runs;
    const int width = pixels.width();
    for (int y = 0; y < pixels.height(); ++y) {
        std::vector<QRgb> row(static_cast<std::size_t>(width));
        for (int column = 0; column < width; ++column) {
            row[static_cast<std::size_t>(column)] = pixels.pixel(column, y);
        }
        std::size_t x = 0;
        const auto end = static_cast<std::size_t>(width);
        while (x < end) {
            while (x < end && isTransparent(row[x])) {
                ++x;
            }
            const std::size_t start = x;
            while (x < end && !isTransparent(row[x])) {
                ++x;
            }
            if (x > start) {
                runs.emplace_back(static_cast<int>(start), y, static_cast<int>(x - start), 1);
            }
        }
    }
    return runs;
}

QRegion RegionFromBitmap(const QImage& bitmap, ThinUI::ColorRef transparent, ThinUI::ColorRef tolerance) {
    const std::vector<QRect> runs = RegionRunsFromBitmap(bitmap, transparent, tolerance);
    QRegion region;
    // The runs come sorted top to bottom, left to right, without overlap: the
    // banded form setRects takes as it is.
    region.setRects(runs.data(), static_cast<int>(runs.size()));
    return region;
}

MaskImage::MaskImage(std::string name) : ResourceImage(std::move(name), "GIF") {}

bool MaskImage::ApplyTo(QWidget* window) {
    if (IsLoaded()) {
        return true;
    }
    if (!Load()) {
        return false;
    }
    // A region counts the window's pixels at scale 1, which the window
    // system multiplies on a dense screen: every kept pixel stays wholly
    // kept, so the edge has no half-transparent fringe at any scale.
    QImage bitmap = GetBitmap();
    if (bitmap.devicePixelRatio() != 1.0) {
        bitmap = bitmap.scaled(GetWidth(), GetHeight(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
    }
    const QRegion region = RegionFromBitmap(bitmap, kMaskTransparentColor, kMaskTolerance);
    if (region.isEmpty()) {
        return false;
    }
    window->setMask(region);
    return true;
}

} // namespace Glm
