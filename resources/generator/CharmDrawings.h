#pragma once
// One small drawing per demo charm (ids 1001-1040), after the look the game's catalogue
// gives each charm.

#include <QPainter>
#include <QRectF>

namespace Art {

/// Draws charm `id` fitted into `box`; draws a plain star for an id without a drawing.
void DrawCharmObject(QPainter& painter, int id, const QRectF& box);

} // namespace Art
