#include "ToyDrawings.h"

#include "Painting.h"
#include "Palette.h"

#include <QPainterPath>
#include <QtMath>

namespace Art {

void DrawBracelet(QPainter& painter, const QRectF& box) {
    const QPointF centre = box.center();
    const double radius = qMin(box.width(), box.height()) * 0.36;
    painter.save();
    painter.setPen(QPen(Mix(Purple(), Deep(), 0.3), radius * 0.12));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(centre, radius, radius * 0.8);
    painter.setPen(Qt::NoPen);
    const QColor beads[] = {Pink(), Gold(), Lilac(), Peach()};
    for (int i = 0; i < 12; ++i) {
        const double angle = qDegreesToRadians(30.0 * i);
        const QPointF at = centre + QPointF(radius * std::cos(angle), radius * 0.8 * std::sin(angle));
        QRadialGradient shine(at - QPointF(radius * 0.05, radius * 0.05), radius * 0.2);
        shine.setColorAt(0.0, Qt::white);
        shine.setColorAt(1.0, beads[i % 4]);
        painter.setBrush(shine);
        painter.drawEllipse(at, radius * 0.16, radius * 0.16);
    }
    painter.restore();
    Heart(painter, centre + QPointF(0, radius * 0.8), radius * 0.5, Pink());
}

void DrawJewelryBox(QPainter& painter, const QRectF& box) {
    const double w = qMin(box.width(), box.height() * 1.2) * 0.8;
    const double h = w * 0.62;
    const QRectF body(box.center().x() - w / 2, box.center().y() - h * 0.2, w, h * 0.75);
    painter.save();
    painter.setPen(QPen(Deep(), qMax(1.0, w / 50.0)));
    SoftPanel(painter, body, w * 0.08, Mix(Purple(), Qt::white, 0.2), Purple(), Deep(), qMax(1.0, w / 50.0));
    QPainterPath lid;
    lid.moveTo(body.left() - w * 0.04, body.top());
    lid.quadTo(body.center().x(), body.top() - h * 0.7, body.right() + w * 0.04, body.top());
    lid.closeSubpath();
    painter.setBrush(Mix(Pink(), Purple(), 0.3));
    painter.drawPath(lid);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Gold());
    painter.drawRoundedRect(QRectF(body.center().x() - w * 0.07, body.top() - w * 0.03, w * 0.14, w * 0.14),
                            2, 2);
    painter.restore();
    Heart(painter, QPointF(body.center().x(), body.center().y() + h * 0.08), w * 0.2, Gold());
    Sparkle(painter, QPointF(body.right() - w * 0.05, body.top() - h * 0.45), w * 0.09, Gold());
}

void DrawHandheldGame(QPainter& painter, const QRectF& box) {
    const double h = qMin(box.height(), box.width() * 1.4) * 0.86;
    const double w = h * 0.66;
    const QRectF body(box.center().x() - w / 2, box.center().y() - h / 2, w, h);
    SoftPanel(painter, body, w * 0.2, Mix(Peach(), Qt::white, 0.2), Peach(), Deep(), qMax(1.0, w / 30.0));
    const QRectF screen = body.adjusted(w * 0.14, h * 0.1, -w * 0.14, -h * 0.5);
    SoftPanel(painter, screen, w * 0.06, QColor(0xCF, 0xF2, 0xE4), QColor(0xA8, 0xDD, 0xCB), Deep(),
              qMax(1.0, w / 40.0));
    Star(painter, screen.center(), screen.height() * 0.3, Gold());
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(Purple());
    const double b = w * 0.11;
    painter.drawEllipse(QPointF(body.center().x() + w * 0.2, body.bottom() - h * 0.28), b, b);
    painter.setBrush(Pink());
    painter.drawEllipse(QPointF(body.center().x() + w * 0.02, body.bottom() - h * 0.2), b, b);
    painter.setBrush(Deep());
    const QPointF pad(body.left() + w * 0.25, body.bottom() - h * 0.25);
    painter.drawRect(QRectF(pad.x() - b * 1.2, pad.y() - b * 0.4, b * 2.4, b * 0.8));
    painter.drawRect(QRectF(pad.x() - b * 0.4, pad.y() - b * 1.2, b * 0.8, b * 2.4));
    painter.restore();
}

void DrawFriends(QPainter& painter, const QRectF& box) {
    // two fairies side by side, wings overlapping, under a heart
    const double w = box.width() * 0.8;
    const double h = box.height() * 1.0;
    const double top = box.bottom() - h + box.height() * 0.08;
    Fairy(painter, QRectF(box.left() + box.width() * 0.3 - w / 2, top, w, h), Purple(), Pink(), false);
    Fairy(painter, QRectF(box.left() + box.width() * 0.7 - w / 2, top, w, h), Deep(), Gold(), false);
    Heart(painter, QPointF(box.center().x(), box.top() + box.height() * 0.1), box.height() * 0.24, Pink());
}

void DrawCharmSymbol(QPainter& painter, const QRectF& box) {
    const QPointF centre = box.center() + QPointF(0, box.height() * 0.08);
    const double radius = qMin(box.width(), box.height()) * 0.34;
    painter.save();
    painter.setPen(QPen(Gold(), qMax(1.5, radius * 0.12)));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QPointF(centre.x(), centre.y() - radius * 1.2), radius * 0.22, radius * 0.22);
    QRadialGradient medal(centre - QPointF(radius * 0.3, radius * 0.3), radius * 1.3);
    medal.setColorAt(0.0, Qt::white);
    medal.setColorAt(1.0, Lilac());
    painter.setBrush(medal);
    painter.setPen(QPen(Purple(), qMax(1.5, radius * 0.1)));
    painter.drawEllipse(centre, radius, radius);
    painter.restore();
    Flower(painter, centre, radius * 0.7, 5, Pink(), Gold());
}

void DrawPointsUp(QPainter& painter, const QRectF& box) {
    const double size = qMin(box.width(), box.height());
    Star(painter, box.center() + QPointF(-size * 0.1, size * 0.08), size * 0.36, Gold(),
         Mix(Gold(), Deep(), 0.4));
    QPainterPath arrow;
    const QPointF base(box.center().x() + size * 0.3, box.center().y() + size * 0.2);
    arrow.moveTo(base + QPointF(-size * 0.07, 0));
    arrow.lineTo(base + QPointF(-size * 0.07, -size * 0.28));
    arrow.lineTo(base + QPointF(-size * 0.16, -size * 0.28));
    arrow.lineTo(base + QPointF(0, -size * 0.46));
    arrow.lineTo(base + QPointF(size * 0.16, -size * 0.28));
    arrow.lineTo(base + QPointF(size * 0.07, -size * 0.28));
    arrow.lineTo(base + QPointF(size * 0.07, 0));
    arrow.closeSubpath();
    painter.save();
    painter.setPen(QPen(Deep(), qMax(1.0, size / 40.0)));
    painter.setBrush(Pink());
    painter.drawPath(arrow);
    painter.restore();
}

} // namespace Art
