#include "Catalogue.h"

#include "Painting.h"
#include "Palette.h"
#include "Random.h"

#include <QPainterPath>
#include <QtMath>

namespace Art {

namespace {

QString S(const char* text) {
    return QString::fromUtf8(text);
}

// One colour per charm within a category, so the eight charms of a set look related.
const QColor kVariantColours[8] = {
    QColor(0xFF, 0x8F, 0xC4), QColor(0xF7, 0xC9, 0x5C), QColor(0x8F, 0xB8, 0xFF), QColor(0xB0, 0x7C, 0xF0),
    QColor(0xFF, 0xB0, 0x8A), QColor(0x7E, 0xD8, 0xC0), QColor(0xFF, 0x6F, 0x8E), QColor(0xC9, 0xA8, 0xFF)};

void PaintShell(QPainter& painter, QPointF centre, double radius, const QColor& colour, int variant) {
    // a scallop fan: ribs spreading from a hinge
    QPainterPath fan;
    const QPointF hinge = centre + QPointF(0, radius * 0.75);
    fan.moveTo(hinge);
    const int ribs = 5 + variant % 3;
    for (int i = 0; i <= ribs; ++i) {
        const double angle = qDegreesToRadians(200.0 + 140.0 * i / ribs);
        const QPointF tip = hinge + QPointF(radius * 1.5 * std::cos(angle), radius * 1.5 * std::sin(angle));
        if (i == 0) {
            fan.lineTo(tip);
        } else {
            const double mid = qDegreesToRadians(200.0 + 140.0 * (i - 0.5) / ribs);
            fan.quadTo(hinge + QPointF(radius * 1.75 * std::cos(mid), radius * 1.75 * std::sin(mid)), tip);
        }
    }
    fan.closeSubpath();
    painter.save();
    painter.setPen(QPen(Mix(colour, Deep(), 0.45), 1.2));
    painter.setBrush(colour);
    painter.drawPath(fan);
    for (int i = 1; i < ribs; ++i) {
        const double angle = qDegreesToRadians(200.0 + 140.0 * i / ribs);
        painter.drawLine(hinge,
                         hinge + QPointF(radius * 1.3 * std::cos(angle), radius * 1.3 * std::sin(angle)));
    }
    painter.restore();
}

void PaintGem(QPainter& painter, QPointF centre, double radius, const QColor& colour, int variant) {
    QPainterPath gem;
    if (variant % 2 == 0) {
        gem.moveTo(centre + QPointF(-radius, -radius * 0.3));
        gem.lineTo(centre + QPointF(-radius * 0.5, -radius * 0.8));
        gem.lineTo(centre + QPointF(radius * 0.5, -radius * 0.8));
        gem.lineTo(centre + QPointF(radius, -radius * 0.3));
        gem.lineTo(centre + QPointF(0, radius));
    } else {
        gem.moveTo(centre + QPointF(0, -radius));
        gem.lineTo(centre + QPointF(radius * 0.75, 0));
        gem.lineTo(centre + QPointF(0, radius));
        gem.lineTo(centre + QPointF(-radius * 0.75, 0));
    }
    gem.closeSubpath();
    painter.save();
    QLinearGradient shine(centre + QPointF(-radius, -radius), centre + QPointF(radius, radius));
    shine.setColorAt(0.0, Mix(colour, Qt::white, 0.6));
    shine.setColorAt(0.5, colour);
    shine.setColorAt(1.0, Mix(colour, Deep(), 0.35));
    painter.setPen(QPen(Mix(colour, Deep(), 0.5), 1.2));
    painter.setBrush(shine);
    painter.drawPath(gem);
    painter.setPen(QPen(QColor(255, 255, 255, 150), 1.0));
    painter.drawLine(centre + QPointF(-radius * 0.5, -radius * 0.3), centre + QPointF(0, radius * 0.9));
    painter.drawLine(centre + QPointF(radius * 0.5, -radius * 0.3), centre + QPointF(0, radius * 0.9));
    painter.restore();
}

void PaintMeadow(QPainter& painter, QPointF centre, double radius, const QColor& colour, int variant) {
    painter.save();
    painter.setPen(Qt::NoPen);
    switch (variant % 4) {
    case 0: { // a toadstool
        painter.setBrush(QColor(0xFF, 0xF1, 0xE0));
        painter.drawRoundedRect(
            QRectF(centre.x() - radius * 0.25, centre.y() - radius * 0.1, radius * 0.5, radius * 0.95),
            radius * 0.2, radius * 0.2);
        painter.setBrush(colour);
        painter.drawChord(QRectF(centre.x() - radius, centre.y() - radius * 0.9, radius * 2, radius * 1.6), 0,
                          180 * 16);
        painter.setBrush(Qt::white);
        painter.drawEllipse(centre + QPointF(-radius * 0.4, -radius * 0.45), radius * 0.15, radius * 0.15);
        painter.drawEllipse(centre + QPointF(radius * 0.35, -radius * 0.35), radius * 0.12, radius * 0.12);
        break;
    }
    case 1: // a clover of four hearts
        for (int i = 0; i < 4; ++i) {
            painter.save();
            painter.translate(centre);
            painter.rotate(45.0 + 90.0 * i);
            Heart(painter, QPointF(0, -radius * 0.45), radius * 0.9, colour);
            painter.restore();
        }
        break;
    case 2: { // a leaf
        QPainterPath leaf;
        leaf.moveTo(centre + QPointF(-radius, radius * 0.6));
        leaf.cubicTo(centre + QPointF(-radius * 0.8, -radius), centre + QPointF(radius * 0.6, -radius),
                     centre + QPointF(radius, -radius * 0.8));
        leaf.cubicTo(centre + QPointF(radius * 0.8, radius * 0.2), centre + QPointF(0, radius),
                     centre + QPointF(-radius, radius * 0.6));
        painter.setBrush(colour);
        painter.drawPath(leaf);
        painter.setPen(QPen(Mix(colour, Qt::white, 0.5), 1.2));
        painter.drawLine(centre + QPointF(-radius * 0.8, radius * 0.5),
                         centre + QPointF(radius * 0.7, -radius * 0.6));
        break;
    }
    default: // a round drop of honey or dew
        QPainterPath drop;
        drop.moveTo(centre + QPointF(0, -radius));
        drop.cubicTo(centre + QPointF(radius * 0.3, -radius * 0.4), centre + QPointF(radius * 0.8, 0),
                     centre + QPointF(radius * 0.8, radius * 0.3));
        drop.cubicTo(centre + QPointF(radius * 0.8, radius * 1.0),
                     centre + QPointF(-radius * 0.8, radius * 1.0),
                     centre + QPointF(-radius * 0.8, radius * 0.3));
        drop.cubicTo(centre + QPointF(-radius * 0.8, 0), centre + QPointF(-radius * 0.3, -radius * 0.4),
                     centre + QPointF(0, -radius));
        painter.setBrush(colour);
        painter.drawPath(drop);
        painter.setBrush(QColor(255, 255, 255, 170));
        painter.drawEllipse(centre + QPointF(-radius * 0.3, radius * 0.2), radius * 0.18, radius * 0.25);
        break;
    }
    painter.restore();
}

void PaintSky(QPainter& painter, QPointF centre, double radius, const QColor& colour, int variant) {
    if (variant % 3 == 2) {
        // a crescent moon
        QPainterPath moon;
        moon.addEllipse(centre, radius, radius);
        QPainterPath bite;
        bite.addEllipse(centre + QPointF(radius * 0.45, -radius * 0.25), radius * 0.85, radius * 0.85);
        painter.save();
        painter.setPen(Qt::NoPen);
        painter.setBrush(colour);
        painter.drawPath(moon.subtracted(bite));
        painter.restore();
        Sparkle(painter, centre + QPointF(radius * 0.55, -radius * 0.1), radius * 0.35, Qt::white);
    } else {
        Star(painter, centre, radius * 1.1, colour, Mix(colour, Deep(), 0.4), variant * 9.0, 5 + variant % 2);
    }
}

void PaintMotif(QPainter& painter, const CharmTheme& charm, QPointF centre, double radius) {
    const int variant = (charm.id - 1001) % 8;
    const QColor colour = kVariantColours[variant];
    const int category = (charm.id - 1001) / 8;
    switch (category) {
    case 0:
        Flower(painter, centre, radius * 1.1, 5 + variant % 3, colour, Gold(), variant * 11.0);
        break;
    case 1:
        PaintSky(painter, centre, radius, colour, variant);
        break;
    case 2:
        PaintShell(painter, centre, radius * 0.8, colour, variant);
        break;
    case 3:
        PaintGem(painter, centre, radius, colour, variant);
        break;
    default:
        PaintMeadow(painter, centre, radius, colour, variant);
        break;
    }
}

} // namespace

const std::vector<CharmTheme>& Charms() {
    static const std::vector<CharmTheme> charms = [] {
        const char* names[40] = {// flowers
                                 "Moonpetal Rose", "Sunny Daisy", "Bluebell Chime", "Violet Whisper",
                                 "Peach Blossom", "Dewy Lily", "Tulip Twirl", "Poppy Glow",
                                 // sky
                                 "Wishing Star", "Golden Star", "Crescent Moon", "Twinkle Star",
                                 "Morning Star", "Lantern Moon", "Comet Star", "Midnight Star",
                                 // shells
                                 "Swirl Shell", "Pearl Shell", "Scallop Fan", "Sea Breeze Shell",
                                 "Coral Curl", "Ripple Shell", "Tide Shell", "Sandy Shell",
                                 // gems
                                 "Rose Quartz", "Sunstone", "Sapphire Dew", "Amethyst Drop", "Peach Garnet",
                                 "Sea Glass", "Ruby Spark", "Lilac Opal",
                                 // meadow
                                 "Toadstool Cap", "Clover Luck", "Maple Leaf", "Honey Drop", "Berry Cap",
                                 "Four-Heart Clover", "Fern Leaf", "Dewdrop"};
        const char* categories[5] = {"flowers", "sky", "shells", "gems", "meadow"};
        std::vector<CharmTheme> all;
        for (int i = 0; i < 40; ++i) {
            all.push_back(CharmTheme{1001 + i, S(names[i]), S(categories[i / 8])});
        }
        return all;
    }();
    return charms;
}

const std::vector<ButterflyTheme>& Butterflies() {
    static const std::vector<ButterflyTheme> butterflies = {
        {1, S("Lilac Flutter"), 100, 3, QColor(0xC3, 0x8E, 0xE8), QColor(0xF2, 0xB5, 0xE0)},
        {2, S("Sunbeam Swallowtail"), 150, 5, QColor(0xF7, 0xC9, 0x5C), QColor(0xFF, 0x9F, 0x6B)},
        {3, S("Rosy Dawnwing"), 200, 7, QColor(0xFF, 0x8F, 0xC4), QColor(0xFF, 0xC8, 0xA2)},
        {4, S("Moonlight Glider"), 250, 7, QColor(0x8F, 0xA8, 0xFF), QColor(0xD3, 0xB0, 0xD2)},
        {5, S("Sky Whisper"), 300, 10, QColor(0x7C, 0xC8, 0xF0), QColor(0xB8, 0xE8, 0xFF)},
        {6, S("Peachy Skipper"), 400, 14, QColor(0xFF, 0xB0, 0x8A), QColor(0xF7, 0xE0, 0x8C)},
        {7, S("Meadow Jewel"), 500, 21, QColor(0x7E, 0xD8, 0xC0), QColor(0xC4, 0xF0, 0x9C)},
        {8, S("Starry Monarch"), 750, 30, QColor(0x6A, 0x2A, 0xB8), QColor(0xF7, 0xC9, 0x5C)},
    };
    return butterflies;
}

QImage PaintCharm(const CharmTheme& charm, int width, int height, const QColor& backdrop) {
    QImage image = Canvas(width, height, backdrop);
    QPainter painter(&image);
    PrepareForSoftShapes(painter);
    const double radius = height * 0.42;
    const QPointF centre(width / 2.0, height / 2.0 + (height > 45 ? 2.0 : 1.0));
    // the charm's ring and medallion
    painter.setPen(QPen(Gold(), qMax(1.5, height / 26.0)));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QPointF(centre.x(), centre.y() - radius - height * 0.02), height * 0.07,
                        height * 0.07);
    QRadialGradient medal(centre + QPointF(-radius * 0.3, -radius * 0.3), radius * 1.3);
    medal.setColorAt(0.0, Qt::white);
    medal.setColorAt(1.0, Lilac());
    painter.setBrush(medal);
    painter.setPen(QPen(Purple(), qMax(1.5, height / 24.0)));
    painter.drawEllipse(centre, radius, radius);
    PaintMotif(painter, charm, centre, radius * 0.62);
    if (width > 80) {
        Random random(static_cast<std::uint32_t>(charm.id) * 2654435761u);
        for (int side : {-1, 1}) {
            const QPointF at(centre.x() + side * (radius + 12.0 + random.Uniform(0, 6)),
                             centre.y() + random.Uniform(-12, 10));
            Sparkle(painter, at, random.Uniform(3.0, 5.0), side < 0 ? Gold() : Pink());
        }
    }
    return image;
}

QImage PaintButterfly(const ButterflyTheme& butterfly, int width, int height, const QColor& backdrop) {
    QImage image = Canvas(width, height, backdrop);
    QPainter painter(&image);
    PrepareForSoftShapes(painter);
    if (width > 200) {
        // a strip card: the butterfly on the left, its name across the rest
        SoftPanel(painter, QRectF(2, 2, width - 4, height - 4), 14, Mix(butterfly.lower, Qt::white, 0.75),
                  Mix(butterfly.upper, Qt::white, 0.55), Purple(), 2.0);
        Butterfly(painter, QRectF(12, 4, 70, height - 8), butterfly.upper, butterfly.lower);
        Letter(painter, QRectF(90, 4, width - 130, height - 8), butterfly.name, 18, Deep(), Qt::white, 1.5);
        Random random(static_cast<std::uint32_t>(butterfly.id) * 40503u + 7u);
        for (int i = 0; i < 3; ++i) {
            Sparkle(painter, QPointF(width - 30 + random.Uniform(-8, 12), random.Uniform(10, height - 10)),
                    random.Uniform(2.5, 4.5), Gold());
        }
    } else {
        Butterfly(painter, QRectF(4, 1, width - 8, height - 2), butterfly.upper, butterfly.lower);
    }
    return image;
}

} // namespace Art
