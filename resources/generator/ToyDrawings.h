#pragma once
// The three toys and the task symbols, drawn into a box; shared by buttons and pictures.

#include <QPainter>
#include <QRectF>

namespace Art {

void DrawBracelet(QPainter& painter, const QRectF& box);
void DrawJewelryBox(QPainter& painter, const QRectF& box);
void DrawHandheldGame(QPainter& painter, const QRectF& box);
/// Two fairies side by side with a heart: friendship.
void DrawFriends(QPainter& painter, const QRectF& box);
/// A charm on a ring.
void DrawCharmSymbol(QPainter& painter, const QRectF& box);
/// A big star with an upward arrow: points going up to the Fairy.
void DrawPointsUp(QPainter& painter, const QRectF& box);

} // namespace Art
