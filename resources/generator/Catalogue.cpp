#include "Catalogue.h"

#include "CharmDrawings.h"
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

using Pattern = ButterflyTheme::Pattern;

void DrawCatalogueButterfly(QPainter& painter, const QRectF& box, const ButterflyTheme& b) {
    painter.save();
    const double scale = qMin(box.width() / 100.0, box.height() / 80.0);
    painter.translate(box.center().x() - 50.0 * scale, box.center().y() - 40.0 * scale);
    painter.scale(scale, scale);
    const QColor rainbow[6] = {QColor(0xF0, 0x50, 0x60), QColor(0xF6, 0x9A, 0x3A), QColor(0xF7, 0xD8, 0x4A),
                               QColor(0x6A, 0xC8, 0x6A), QColor(0x5A, 0x9A, 0xF0), QColor(0x9A, 0x6A, 0xE0)};
    for (int side : {-1, 1}) {
        QPainterPath top;
        top.moveTo(50, 38);
        top.cubicTo(50 + side * 20, 0, 50 + side * 52, 2, 50 + side * 46, 26);
        top.cubicTo(50 + side * 42, 40, 50 + side * 20, 42, 50, 40);
        QPainterPath bottom;
        bottom.moveTo(50, 42);
        bottom.cubicTo(50 + side * 30, 40, 50 + side * 40, 56, 50 + side * 30, 70);
        if (b.tails) {
            bottom.lineTo(50 + side * 30, 79);
            bottom.lineTo(50 + side * 24, 72);
        }
        bottom.cubicTo(50 + side * 20, 78, 50 + side * 6, 62, 50, 46);
        QLinearGradient shade(QPointF(50, 20), QPointF(50 + side * 46, 20));
        shade.setColorAt(0.0, Mix(b.upper, Qt::white, 0.25));
        shade.setColorAt(1.0, b.upper);
        if (b.pattern == Pattern::Rainbow) {
            for (int i = 0; i < 6; ++i) {
                shade.setColorAt(i / 5.0, rainbow[i]);
            }
        } else if (b.pattern == Pattern::Plain) {
            // orange fading to red at the tips
            shade.setColorAt(0.0, b.upper);
            shade.setColorAt(1.0, b.marks);
        }
        painter.setPen(QPen(b.edge, b.edge == b.upper ? 0.5 : 3.0));
        painter.setBrush(shade);
        painter.drawPath(top);
        QLinearGradient lowerShade(QPointF(50, 42), QPointF(50 + side * 36, 70));
        lowerShade.setColorAt(0.0, b.lower);
        lowerShade.setColorAt(1.0, b.pattern == Pattern::Plain ? b.marks : b.lower);
        if (b.pattern == Pattern::Rainbow) {
            for (int i = 0; i < 6; ++i) {
                lowerShade.setColorAt(i / 5.0, rainbow[5 - i]);
            }
        }
        painter.setBrush(lowerShade);
        painter.drawPath(bottom);
        painter.setPen(Qt::NoPen);
        painter.setBrush(b.marks);
        switch (b.pattern) {
        case Pattern::Dots:
            for (const QPointF& at : {QPointF(32, 18), QPointF(22, 28), QPointF(38, 30), QPointF(24, 58)}) {
                painter.drawEllipse(QPointF(50 + side * (at.x() - 0.0), at.y()), 3.5, 3.5);
            }
            break;
        case Pattern::Veins:
            painter.setPen(QPen(b.marks, 1.5));
            painter.drawLine(QPointF(50, 38), QPointF(50 + side * 42, 14));
            painter.drawLine(QPointF(50 + side * 22, 26), QPointF(50 + side * 30, 36));
            painter.drawLine(QPointF(50 + side * 30, 21), QPointF(50 + side * 42, 28));
            painter.drawLine(QPointF(50, 46), QPointF(50 + side * 28, 66));
            break;
        case Pattern::Crescents: {
            QPainterPath moon;
            moon.addEllipse(QPointF(50 + side * 30, 22), 7, 7);
            QPainterPath bite;
            bite.addEllipse(QPointF(50 + side * 33, 20), 6, 6);
            painter.drawPath(moon.subtracted(bite));
            break;
        }
        case Pattern::Speckles:
            for (int i = 0; i < 7; ++i) {
                painter.drawEllipse(QPointF(50 + side * (18 + (i * 7) % 26), 10 + (i * 11) % 26), 1.8, 1.8);
                painter.drawEllipse(QPointF(50 + side * (12 + (i * 5) % 20), 48 + (i * 7) % 18), 1.5, 1.5);
            }
            break;
        default:
            break;
        }
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(Deep());
    painter.drawRoundedRect(QRectF(47.5, 28, 5, 36), 2.5, 2.5);
    painter.setPen(QPen(Deep(), 1.6, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    QPainterPath antennae;
    antennae.moveTo(49, 29);
    antennae.quadTo(44, 16, 38, 14);
    antennae.moveTo(51, 29);
    antennae.quadTo(56, 16, 62, 14);
    painter.drawPath(antennae);
    painter.restore();
}

} // namespace

const std::vector<CharmTheme>& Charms() {
    // The names of the game's charm catalogue; the drawings follow its descriptions.
    static const std::vector<CharmTheme> charms = [] {
        const char* names[40] = {"Dewdrop Lantern",
                                 "Thimble Crown",
                                 "Acorn Kettle",
                                 "Moss Slipper",
                                 "Pebble Moon",
                                 "Fern Fan",
                                 "Honey Spoon",
                                 "Snail Shell Horn",
                                 "Clover Kite",
                                 "Pinecone Owl",
                                 "Rainbell",
                                 "Feather Quill",
                                 "Mushroom Stool",
                                 "Lily Pad Boat",
                                 "Firefly Jar",
                                 "Button Shield",
                                 "Walnut Cradle",
                                 "Poppy Parasol",
                                 "Cobweb Hammock",
                                 "Seed Pearl Necklace",
                                 "Bramble Berry Basket",
                                 "Dandelion Wand",
                                 "Beetle Buggy",
                                 "Sunflower Clock",
                                 "Icicle Flute",
                                 "Ladybird Lamp",
                                 "Hazelnut Drum",
                                 "Petal Skirt",
                                 "Rowan Bow",
                                 "Cloud Pillow",
                                 "Starfall Compass",
                                 "Bluebell Teacup",
                                 "Willow Swing",
                                 "Raindrop Mirror",
                                 "Hedgehog Brush",
                                 "Glowworm Garland",
                                 "Daisy Chain Crown",
                                 "Frog Prince Mug",
                                 "Twilight Lantern",
                                 "Evenfall Key"};
        std::vector<CharmTheme> all;
        for (int i = 0; i < 40; ++i) {
            all.push_back(CharmTheme{1001 + i, S(names[i])});
        }
        return all;
    }();
    return charms;
}

const std::vector<ButterflyTheme>& Butterflies() {
    using P = ButterflyTheme::Pattern;
    static const std::vector<ButterflyTheme> butterflies = {
        {1, S("Meadow Flutter"), 100, 3, QColor(0xF8, 0xEE, 0x9A), QColor(0xF4, 0xE2, 0x80),
         QColor(0x9A, 0x9A, 0xA4), QColor(0x9A, 0x9A, 0xA4), P::Dots, false},
        {2, S("Blushwing"), 150, 3, QColor(0xFF, 0x9C, 0xC8), QColor(0xFF, 0xB8, 0xD6),
         QColor(0xE0, 0x6A, 0x9E), Qt::white, P::Dots, false},
        {3, S("Sky Sailor"), 200, 5, QColor(0x8E, 0xCE, 0xFA), QColor(0xA8, 0xDC, 0xFC),
         QColor(0x24, 0x3C, 0x9A), QColor(0x74, 0xBC, 0xF4), P::Plain, false},
        {4, S("Ember Glider"), 250, 5, QColor(0xFF, 0xA4, 0x3C), QColor(0xFF, 0x94, 0x40),
         QColor(0xD8, 0x3A, 0x2A), QColor(0xE0, 0x34, 0x2C), P::Plain, false},
        {5, S("Mossback"), 300, 7, QColor(0x7E, 0xC8, 0x6A), QColor(0x6A, 0xB8, 0x5A),
         QColor(0x3A, 0x7A, 0x3A), QColor(0x3A, 0x7A, 0x3A), P::Veins, false},
        {6, S("Moonmoth"), 400, 7, QColor(0xEE, 0xF0, 0xF6), QColor(0xDC, 0xE0, 0xEA),
         QColor(0xA8, 0xAE, 0xC0), QColor(0x8A, 0x90, 0xB0), P::Crescents, false},
        {7, S("Violet Dusk"), 500, 10, QColor(0x6A, 0x2A, 0xB0), QColor(0x54, 0x1E, 0x96),
         QColor(0x3A, 0x0E, 0x6A), QColor(0xF7, 0xC9, 0x5C), P::Speckles, false},
        {8, S("Rainbow Regent"), 750, 14, QColor(0xF0, 0x50, 0x60), QColor(0x5A, 0x9A, 0xF0),
         QColor(0x50, 0x02, 0x85), QColor(0x50, 0x02, 0x85), P::Rainbow, true},
    };
    return butterflies;
}

QImage PaintCharm(const CharmTheme& charm, int width, int height, const QColor& backdrop) {
    QImage image = Canvas(width, height, backdrop);
    QPainter painter(&image);
    PrepareForSoftShapes(painter);
    const QPointF centre(width / 2.0, height / 2.0);
    // a soft lilac halo so every charm reads against the page, then the charm itself
    QRadialGradient halo(centre, height * 0.55);
    halo.setColorAt(0.0, QColor(255, 255, 255, 235));
    halo.setColorAt(0.7, QColor(0xD3, 0xB0, 0xD2, 150));
    halo.setColorAt(1.0, QColor(0xD3, 0xB0, 0xD2, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(halo);
    painter.drawEllipse(centre, height * 0.58, height * 0.52);
    const double size = height * 0.9;
    DrawCharmObject(painter, charm.id, QRectF(centre.x() - size / 2, centre.y() - size / 2, size, size));
    if (width > 80) {
        Random random(static_cast<std::uint32_t>(charm.id) * 2654435761u);
        for (int side : {-1, 1}) {
            const QPointF at(centre.x() + side * (size / 2 + 8.0 + random.Uniform(0, 6)),
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
        SoftPanel(painter, QRectF(2, 2, width - 4, height - 4), 14, Mix(butterfly.lower, Qt::white, 0.8),
                  Mix(butterfly.upper, Qt::white, 0.6), Purple(), 2.0);
        DrawCatalogueButterfly(painter, QRectF(12, 3, 72, height - 6), butterfly);
        Letter(painter, QRectF(90, 4, width - 130, height - 8), butterfly.name, 18, Deep(), Qt::white, 1.5);
        Random random(static_cast<std::uint32_t>(butterfly.id) * 40503u + 7u);
        for (int i = 0; i < 3; ++i) {
            Sparkle(painter, QPointF(width - 30 + random.Uniform(-8, 12), random.Uniform(10, height - 10)),
                    random.Uniform(2.5, 4.5), Gold());
        }
    } else {
        DrawCatalogueButterfly(painter, QRectF(2, 0, width - 4, height), butterfly);
    }
    return image;
}

} // namespace Art
