#include "Image.h"

#include <QPainter>

namespace ThinUI {

Image::~Image() = default;

bool Image::Draw(QPainter& painter, int x, int y, int cx, int cy, int sourceX, int sourceY) const {
    if (m_bitmap.isNull()) {
        return false;
    }
    // Coordinates are the screen's pixels at scale 1; a picture drawn for a
    // denser screen carries more pixels for each of them.
    const qreal ratio = m_bitmap.devicePixelRatio();
    const QRectF source(sourceX * ratio, sourceY * ratio, cx * ratio, cy * ratio);
    const QPaintDevice* device = painter.device();
    if (device != nullptr && device->devicePixelRatioF() != ratio) {
        // Scaled by the painter: smoothly, so the skin does not turn blocky.
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
    }
    painter.drawImage(QRectF(x, y, cx, cy), m_bitmap, source);
    return true;
}

void Image::SetBitmap(const QImage& picture) {
    // Premultiplied ARGB is what the raster engine copies without converting.
    m_bitmap = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QSizeF size = m_bitmap.deviceIndependentSize();
    m_width = static_cast<int>(size.width());
    m_height = static_cast<int>(size.height());
}

} // namespace ThinUI
