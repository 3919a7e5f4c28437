#pragma once
// The frames of a button in one picture: frame 0 normal, 1 mouse over,
// 2 pressed, 3 disabled, stacked top to bottom (or left to right).

#include "Image.h"

#include <memory>

class QPainter;

namespace ThinUI {

class ImageStrip {
public:
    ImageStrip(std::unique_ptr<Image> image, bool vertical, unsigned frameCount);

    /// Loads the picture and computes the frame size. False when the picture
    /// is missing; the frame size is then 0 by 0.
    bool Load();
    /// Draws the current frame at (0, 0) of painter.
    void DrawCurrentFrame(QPainter& painter) const;

    bool IsLoaded() const { return m_image->IsLoaded(); }
    const Image& GetImage() const { return *m_image; }
    unsigned GetFrameCount() const { return m_frameCount; }
    unsigned GetCurrentFrame() const { return m_currentFrame; }
    void SetCurrentFrame(unsigned frame) { m_currentFrame = frame; }
    int GetFrameWidth() const { return m_frameWidth; }
    int GetFrameHeight() const { return m_frameHeight; }

private:
    std::unique_ptr<Image> m_image;
    bool m_vertical;
    unsigned m_frameCount;
    unsigned m_currentFrame = 0;
    int m_frameWidth = 0;
    int m_frameHeight = 0;
};

} // namespace ThinUI
