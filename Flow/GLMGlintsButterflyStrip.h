#pragma once

#include "Tools/CatalogueStrip.h"

#include <QWidget>
#include <functional>
#include <string>
#include <vector>

namespace Glm {

/// The redeem screen's strip of butterflies: the catalogue's pictures side
/// by side, cut to a window that shows one butterfly at a time. It scrolls by whole
/// pictures; a click chooses the butterfly under the pointer and a
/// double-click also confirms it.
class GlintButterflyStrip : public QWidget {
public:
    static constexpr int kHeight = 90;
    /// The visible width beyond one picture.
    static constexpr int kMargin = 15;

    GlintButterflyStrip();

    /// Shows the butterflies' pictures from the strip; the scroll
    /// step is the picture width. Scroll position and choice start afresh.
    void SetButterflies(const PictureStrip& pictures, const std::vector<ButterflyRecord>& butterflies);
    /// Moves the view by delta pixels within the strip. False when it cannot
    /// move that way (already at that end, or nothing to show).
    bool Scroll(int delta);
    int GetScrollStep() const { return m_step; }
    int GetScrollPosition() const { return m_scroll; }
    /// The chosen position, -1 when none.
    int GetSelected() const { return m_selected; }
    void ClearSelection();
    /// The position shown at x (widget pixels), -1 outside the strip.
    int PositionAt(int x) const;

    std::function<void(int position)> onClick;
    std::function<void(int position)> onDoubleClick;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    std::vector<QImage> m_pictures;
    int m_step = kButterflyImageWidth;
    int m_pictureHeight = kButterflyImageHeight;
    int m_scroll = 0;
    int m_selected = -1;
};

} // namespace Glm
