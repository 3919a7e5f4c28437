#include "Image.h"

#include <QPainter>

namespace ThinUI {

Image::~Image() = default;

bool Image::Draw(QPainter& painter, int x, int y, int cx, int cy, int sourceX, int sourceY) const {
    if (m_bitmap.isNull()) {
        return false;
    }
    painter.drawImage(QPoint(x, y), m_bitmap, QRect(sourceX, sourceY, cx, cy));
    return true;
}

void Image::SetBitmap(const QImage& picture) {
    // Premultiplied ARGB is what the raster engine copies without converting.
    m_bitmap = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    m_width = m_bitmap.width();
    m_height = m_bitmap.height();
}

} // namespace ThinUI
