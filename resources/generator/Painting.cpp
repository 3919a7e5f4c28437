#include "Painting.h"

#include "Random.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <QStringList>
#include <QtMath>
#include <cmath>
#include <stdexcept>

namespace Art {

namespace {

QString g_family;

} // namespace

void LoadLetteringFace() {
    if (!g_family.isEmpty()) {
        return;
    }
    // The file is loaded by path so the result never depends on the font configuration.
    const QString path = QStringLiteral("/usr/share/fonts/truetype/comfortaa/Comfortaa-Bold.ttf");
    const int id = QFontDatabase::addApplicationFont(path);
    if (id < 0 || QFontDatabase::applicationFontFamilies(id).isEmpty()) {
        throw std::runtime_error("cannot load the lettering face " + path.toStdString() +
                                 " (install fonts-comfortaa)");
    }
    g_family = QFontDatabase::applicationFontFamilies(id).first();
}

QFont Lettering(double pixelSize) {
    QFont font(g_family);
    font.setPixelSize(qMax(1, qRound(pixelSize)));
    font.setBold(true);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleStrategy(QFont::NoSubpixelAntialias);
    font.setKerning(true);
    return font;
}

QImage Canvas(int width, int height, const QColor& fill) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(fill);
    return image;
}

void PrepareForSoftShapes(QPainter& painter) {
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
}

void Letter(QPainter& painter, const QRectF& box, const QString& text, double pixelSize, const QColor& fill,
            const QColor& outline, double outlineWidth, Qt::Alignment alignment) {
    const QFont font = Lettering(pixelSize);
    const QFontMetricsF metrics(font);
    const QStringList lines = text.split(QLatin1Char('\n'));
    const double lineHeight = metrics.height() * 0.95;
    const double blockHeight = lineHeight * static_cast<double>(lines.size());
    double baseline = box.top() + (box.height() - blockHeight) / 2.0 + metrics.ascent();
    QPainterPath path;
    for (const QString& line : lines) {
        const double width = metrics.horizontalAdvance(line);
        double x = box.left() + (box.width() - width) / 2.0;
        if (alignment & Qt::AlignLeft) {
            x = box.left();
        } else if (alignment & Qt::AlignRight) {
            x = box.right() - width;
        }
        path.addText(QPointF(x, baseline), font, line);
        baseline += lineHeight;
    }
    painter.save();
    if (outline.isValid() && outlineWidth > 0.0) {
        QPen pen(outline, outlineWidth * 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        painter.strokePath(path, pen);
    }
    painter.fillPath(path, fill);
    painter.restore();
}

double FitSize(const QRectF& box, const QString& text, double largest) {
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (double size = largest; size > 6.0; size -= 0.5) {
        const QFontMetricsF metrics(Lettering(size));
        double widest = 0.0;
        for (const QString& line : lines) {
            widest = qMax(widest, metrics.horizontalAdvance(line));
        }
        if (widest <= box.width() &&
            metrics.height() * 0.95 * static_cast<double>(lines.size()) <= box.height()) {
            return size;
        }
    }
    return 6.0;
}

void SoftPanel(QPainter& painter, const QRectF& rect, double radius, const QColor& top, const QColor& bottom,
               const QColor& border, double borderWidth) {
    QLinearGradient gradient(rect.topLeft(), rect.bottomLeft());
    gradient.setColorAt(0.0, top);
    gradient.setColorAt(1.0, bottom);
    painter.save();
    painter.setBrush(gradient);
    if (border.isValid() && borderWidth > 0.0) {
        painter.setPen(QPen(border, borderWidth));
    } else {
        painter.setPen(Qt::NoPen);
    }
    const double inset = borderWidth / 2.0;
    painter.drawRoundedRect(rect.adjusted(inset, inset, -inset, -inset), radius, radius);
    painter.restore();
}

void Sparkle(QPainter& painter, QPointF centre, double radius, const QColor& colour) {
    painter.save();
    QRadialGradient glow(centre, radius * 1.6);
    QColor halo = colour;
    halo.setAlpha(110);
    glow.setColorAt(0.0, halo);
    halo.setAlpha(0);
    glow.setColorAt(1.0, halo);
    painter.setPen(Qt::NoPen);
    painter.setBrush(glow);
    painter.drawEllipse(centre, radius * 1.6, radius * 1.6);
    QPainterPath twinkle;
    const double thin = radius * 0.22;
    twinkle.moveTo(centre + QPointF(0, -radius));
    twinkle.quadTo(centre + QPointF(thin, -thin), centre + QPointF(radius, 0));
    twinkle.quadTo(centre + QPointF(thin, thin), centre + QPointF(0, radius));
    twinkle.quadTo(centre + QPointF(-thin, thin), centre + QPointF(-radius, 0));
    twinkle.quadTo(centre + QPointF(-thin, -thin), centre + QPointF(0, -radius));
    painter.setBrush(colour);
    painter.drawPath(twinkle);
    painter.setBrush(QColor(255, 255, 255, 230));
    painter.drawEllipse(centre, radius * 0.18, radius * 0.18);
    painter.restore();
}

void Star(QPainter& painter, QPointF centre, double radius, const QColor& fill, const QColor& outline,
          double rotationDegrees, int points) {
    QPainterPath path;
    const double inner = radius * 0.48;
    for (int i = 0; i < points * 2; ++i) {
        const double r = (i % 2 == 0) ? radius : inner;
        const double angle = qDegreesToRadians(rotationDegrees - 90.0 + 180.0 * i / points);
        const QPointF p = centre + QPointF(r * std::cos(angle), r * std::sin(angle));
        if (i == 0) {
            path.moveTo(p);
        } else {
            path.lineTo(p);
        }
    }
    path.closeSubpath();
    painter.save();
    painter.setBrush(fill);
    if (outline.isValid()) {
        painter.setPen(QPen(outline, qMax(1.0, radius / 8.0), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    } else {
        painter.setPen(QPen(fill, qMax(0.5, radius / 10.0), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    }
    painter.drawPath(path);
    painter.restore();
}

void Flower(QPainter& painter, QPointF centre, double radius, int petals, const QColor& petal,
            const QColor& heart, double rotationDegrees) {
    painter.save();
    painter.setPen(Qt::NoPen);
    const double petalRadius = radius * 0.42;
    for (int i = 0; i < petals; ++i) {
        const double angle = qDegreesToRadians(rotationDegrees + 360.0 * i / petals);
        const QPointF at = centre + QPointF((radius - petalRadius) * std::cos(angle),
                                            (radius - petalRadius) * std::sin(angle));
        QRadialGradient shade(at, petalRadius);
        shade.setColorAt(0.0, Mix(petal, Qt::white, 0.35));
        shade.setColorAt(1.0, petal);
        painter.setBrush(shade);
        painter.drawEllipse(at, petalRadius, petalRadius);
    }
    painter.setBrush(heart);
    painter.drawEllipse(centre, radius * 0.3, radius * 0.3);
    painter.restore();
}

void Heart(QPainter& painter, QPointF centre, double size, const QColor& fill) {
    QPainterPath path;
    const double s = size / 2.0;
    path.moveTo(centre + QPointF(0, s * 0.9));
    path.cubicTo(centre + QPointF(-s * 1.3, s * 0.1), centre + QPointF(-s * 0.9, -s * 1.0),
                 centre + QPointF(0, -s * 0.35));
    path.cubicTo(centre + QPointF(s * 0.9, -s * 1.0), centre + QPointF(s * 1.3, s * 0.1),
                 centre + QPointF(0, s * 0.9));
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawPath(path);
    painter.restore();
}

void Fairy(QPainter& painter, const QRectF& box, const QColor& body, const QColor& wings, bool withWand) {
    // Designed on a 100 x 120 grid and scaled into the box.
    painter.save();
    const double scale = qMin(box.width() / 100.0, box.height() / 120.0);
    painter.translate(box.center().x() - 50.0 * scale, box.center().y() - 60.0 * scale);
    painter.scale(scale, scale);
    painter.setPen(Qt::NoPen);
    QColor wingFill = wings;
    wingFill.setAlpha(200);
    painter.setBrush(wingFill);
    for (int side : {-1, 1}) {
        painter.save();
        painter.translate(50 + side * 14, 52);
        painter.rotate(side * -35.0);
        painter.drawEllipse(QPointF(side * 18.0, -8.0), 20.0, 12.0);
        painter.restore();
        painter.save();
        painter.translate(50 + side * 12, 66);
        painter.rotate(side * 25.0);
        painter.drawEllipse(QPointF(side * 14.0, 4.0), 14.0, 8.0);
        painter.restore();
    }
    painter.setBrush(body);
    QPainterPath dress;
    dress.moveTo(44, 44);
    dress.lineTo(56, 44);
    dress.cubicTo(60, 60, 70, 80, 74, 96);
    dress.quadTo(62, 90, 58, 100);
    dress.quadTo(50, 92, 42, 100);
    dress.quadTo(38, 90, 26, 96);
    dress.cubicTo(30, 80, 40, 60, 44, 44);
    painter.drawPath(dress);
    painter.drawRoundedRect(QRectF(45, 96, 4, 14), 2, 2);
    painter.drawRoundedRect(QRectF(52, 96, 4, 14), 2, 2);
    painter.drawEllipse(QPointF(50, 30), 13, 13);
    // hair bun and a little crown of three dots
    painter.drawEllipse(QPointF(50, 14), 6, 6);
    if (withWand) {
        painter.setPen(QPen(body, 3, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(60, 56), QPointF(84, 34));
        painter.setPen(Qt::NoPen);
        painter.restore();
        const QPointF tip(box.center().x() + 36.0 * scale, box.center().y() - 28.0 * scale);
        Star(painter, tip, 9.0 * scale, QColor(0xF7, 0xC9, 0x5C));
        return;
    }
    painter.restore();
}

void Butterfly(QPainter& painter, const QRectF& box, const QColor& upper, const QColor& lower,
               const QColor& spots) {
    painter.save();
    const double scale = qMin(box.width() / 100.0, box.height() / 80.0);
    painter.translate(box.center().x() - 50.0 * scale, box.center().y() - 40.0 * scale);
    painter.scale(scale, scale);
    painter.setPen(Qt::NoPen);
    for (int side : {-1, 1}) {
        QPainterPath top;
        top.moveTo(50, 38);
        top.cubicTo(50 + side * 20, 0, 50 + side * 52, 2, 50 + side * 46, 26);
        top.cubicTo(50 + side * 42, 40, 50 + side * 20, 42, 50, 40);
        QLinearGradient shade(QPointF(50, 20), QPointF(50 + side * 46, 20));
        shade.setColorAt(0.0, Mix(upper, Qt::white, 0.3));
        shade.setColorAt(1.0, upper);
        painter.setBrush(shade);
        painter.drawPath(top);
        QPainterPath bottom;
        bottom.moveTo(50, 42);
        bottom.cubicTo(50 + side * 30, 40, 50 + side * 40, 56, 50 + side * 30, 70);
        bottom.cubicTo(50 + side * 20, 78, 50 + side * 6, 62, 50, 46);
        painter.setBrush(lower);
        painter.drawPath(bottom);
        painter.setBrush(spots);
        painter.drawEllipse(QPointF(50 + side * 32, 20), 5, 5);
        painter.drawEllipse(QPointF(50 + side * 24, 58), 3.5, 3.5);
    }
    painter.setBrush(QColor(0x50, 0x02, 0x85));
    painter.drawRoundedRect(QRectF(47.5, 28, 5, 36), 2.5, 2.5);
    painter.setPen(QPen(QColor(0x50, 0x02, 0x85), 1.6, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    QPainterPath antennae;
    antennae.moveTo(49, 29);
    antennae.quadTo(44, 16, 38, 14);
    antennae.moveTo(51, 29);
    antennae.quadTo(56, 16, 62, 14);
    painter.drawPath(antennae);
    painter.restore();
}

void SparkleField(QPainter& painter, const QRectF& area, int count, Random& random,
                  const std::vector<QRectF>& keepOut, double minRadius, double maxRadius) {
    const QColor colours[] = {QColor(255, 255, 255, 220), QColor(0xF7, 0xC9, 0x5C, 230),
                              QColor(0xFF, 0xC8, 0xE6, 220)};
    int placed = 0;
    for (int attempt = 0; placed < count && attempt < count * 20; ++attempt) {
        const QPointF at(random.Uniform(area.left(), area.right()),
                         random.Uniform(area.top(), area.bottom()));
        const double radius = random.Uniform(minRadius, maxRadius);
        const QColor colour = colours[random.Next() % 3];
        const QRectF reach(at.x() - radius * 2, at.y() - radius * 2, radius * 4, radius * 4);
        bool clear = true;
        for (const QRectF& rect : keepOut) {
            if (rect.intersects(reach)) {
                clear = false;
                break;
            }
        }
        if (clear) {
            Sparkle(painter, at, radius, colour);
            ++placed;
        }
    }
}

QColor Mix(const QColor& a, const QColor& b, double amount) {
    const double k = qBound(0.0, amount, 1.0);
    auto blend = [k](int from, int to) { return static_cast<int>(std::lround(from + (to - from) * k)); };
    return QColor(blend(a.red(), b.red()), blend(a.green(), b.green()), blend(a.blue(), b.blue()),
                  blend(a.alpha(), b.alpha()));
}

} // namespace Art
