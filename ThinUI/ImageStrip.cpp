#include "ImageStrip.h"

#include <QPainter>

namespace ThinUI {

ImageStrip::ImageStrip(std::unique_ptr<Image> image, bool vertical, unsigned frameCount)
    : m_image(std::move(image)), m_vertical(vertical), m_frameCount(frameCount == 0 ? 1 : frameCount) {}

bool ImageStrip::Load() {
    const bool loaded = m_image->Load();
    const int count = static_cast<int>(m_frameCount);
    if (m_vertical) {
        m_frameWidth = m_image->GetWidth();
        m_frameHeight = m_image->GetHeight() / count;
    } else {
        m_frameWidth = m_image->GetWidth() / count;
        m_frameHeight = m_image->GetHeight();
    }
    return loaded;
}

void ImageStrip::DrawCurrentFrame(QPainter& painter) const {
    const int index = static_cast<int>(m_currentFrame);
    const int sourceX = m_vertical ? 0 : m_frameWidth * index;
    const int sourceY = m_vertical ? m_frameHeight * index : 0;
    m_image->Draw(painter, 0, 0, m_frameWidth, m_frameHeight, sourceX, sourceY);
}

} // namespace ThinUI
