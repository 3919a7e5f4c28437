#pragma once
// A picture that is loaded on first use and then kept: the base of resource
// images, button strips and window masks.

#include <QImage>

class QPainter;

namespace ThinUI {

class Image {
public:
    Image() = default;
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;
    virtual ~Image();

    /// Loads the picture unless it is loaded already. False when it cannot
    /// be found or decoded; the image then stays empty (0 by 0).
    virtual bool Load() = 0;

    /// Copies the rectangle (sourceX, sourceY, cx, cy) of the picture to
    /// (x, y), all in pixels at scale 1 whatever the picture's own density.
    /// False when nothing is loaded.
    bool Draw(QPainter& painter, int x, int y, int cx, int cy, int sourceX, int sourceY) const;

    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }
    bool IsLoaded() const { return !m_bitmap.isNull(); }
    const QImage& GetBitmap() const { return m_bitmap; }

protected:
    /// Keeps picture as the loaded bitmap (in the display's fast format); its
    /// size is counted in pixels at scale 1 (a picture made at 2 with a
    /// device pixel ratio of 2 is as wide as its scale 1 counterpart).
    void SetBitmap(const QImage& picture);

private:
    int m_width = 0;
    int m_height = 0;
    QImage m_bitmap;
};

} // namespace ThinUI
