#pragma once
// Drawing primitives shared by every picture: soft panels, sparkles, stars, flowers,
// fairies, butterflies and rounded lettering.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRectF>
#include <QString>
#include <vector>

namespace Art {

class Random;

/// Loads the lettering face from the system's font files once; throws std::runtime_error when
/// the face is not installed (scripts/bootstrap installs it).
void LoadLetteringFace();

/// The rounded lettering face at a pixel size.
QFont Lettering(double pixelSize);

/// A new ARGB image of the given size filled with one colour.
QImage Canvas(int width, int height, const QColor& fill);

/// A painter with antialiasing on, for one canvas.
void PrepareForSoftShapes(QPainter& painter);

/// Draws centred (or left/right aligned by `alignment`) multi-line text in `box` with an outline.
/// Lines are split at "\n"; the block is centred vertically in the box.
void Letter(QPainter& painter, const QRectF& box, const QString& text, double pixelSize, const QColor& fill,
            const QColor& outline = QColor(), double outlineWidth = 0.0,
            Qt::Alignment alignment = Qt::AlignCenter);

/// The largest pixel size, at most `largest`, at which every line of `text` fits `box`.
double FitSize(const QRectF& box, const QString& text, double largest);

/// A rounded rectangle filled with a vertical gradient, with an optional border.
void SoftPanel(QPainter& painter, const QRectF& rect, double radius, const QColor& top, const QColor& bottom,
               const QColor& border = QColor(), double borderWidth = 0.0);

/// A four-pointed twinkle with a soft glow.
void Sparkle(QPainter& painter, QPointF centre, double radius, const QColor& colour);

/// A rounded five-pointed star.
void Star(QPainter& painter, QPointF centre, double radius, const QColor& fill,
          const QColor& outline = QColor(), double rotationDegrees = 0.0, int points = 5);

/// A flower of `petals` round petals around a centre dot.
void Flower(QPainter& painter, QPointF centre, double radius, int petals, const QColor& petal,
            const QColor& heart, double rotationDegrees = 0.0);

/// A heart.
void Heart(QPainter& painter, QPointF centre, double size, const QColor& fill);

/// A fairy silhouette of our own design (round head, bell dress, four wings, wand) fitted into `box`.
void Fairy(QPainter& painter, const QRectF& box, const QColor& body, const QColor& wings,
           bool withWand = true);

/// A butterfly with two pairs of wings, fitted into `box`.
void Butterfly(QPainter& painter, const QRectF& box, const QColor& upper, const QColor& lower,
               const QColor& spots = QColor(255, 255, 255, 200));

/// Scatters sparkles in `area`, avoiding every rectangle of `keepOut`.
void SparkleField(QPainter& painter, const QRectF& area, int count, Random& random,
                  const std::vector<QRectF>& keepOut, double minRadius = 2.0, double maxRadius = 5.0);

/// Blends two colours; `amount` 0 gives `a`, 1 gives `b`.
QColor Mix(const QColor& a, const QColor& b, double amount);

} // namespace Art
