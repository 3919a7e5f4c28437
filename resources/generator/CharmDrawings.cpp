#include "CharmDrawings.h"

#include "Painting.h"
#include "Palette.h"

#include <QPainterPath>
#include <QtMath>
#include <cmath>

namespace Art {

namespace {

// Every drawing is made on a 100 x 100 grid.
const QColor kBrown(0x9A, 0x62, 0x3A);
const QColor kDarkBrown(0x6B, 0x3E, 0x22);
const QColor kLeaf(0x5C, 0xB8, 0x5A);
const QColor kDarkLeaf(0x3A, 0x8A, 0x44);
const QColor kSky(0x8E, 0xC8, 0xF2);
const QColor kNavy(0x2E, 0x4A, 0x9A);
const QColor kRed(0xE2, 0x3E, 0x4E);
const QColor kSilver(0xD8, 0xDC, 0xE6);
const QColor kBrass(0xD8, 0xA8, 0x3C);
const QColor kCream(0xFF, 0xF6, 0xE2);

void Outline(QPainter& p, const QColor& colour, double width = 2.5) {
    p.setPen(QPen(Mix(colour, Deep(), 0.45), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
}

void Fill(QPainter& p, const QColor& colour) {
    p.setBrush(colour);
}

void Glow(QPainter& p, QPointF centre, double radius, const QColor& colour) {
    QRadialGradient glow(centre, radius);
    glow.setColorAt(0.0, colour);
    glow.setColorAt(1.0, QColor(colour.red(), colour.green(), colour.blue(), 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(centre, radius, radius);
}

QPainterPath Drop(QPointF tip, double width, double height) {
    QPainterPath path;
    path.moveTo(tip);
    path.cubicTo(tip + QPointF(width * 0.2, height * 0.3), tip + QPointF(width * 0.5, height * 0.5),
                 tip + QPointF(width * 0.5, height * 0.7));
    path.cubicTo(tip + QPointF(width * 0.5, height * 1.05), tip + QPointF(-width * 0.5, height * 1.05),
                 tip + QPointF(-width * 0.5, height * 0.7));
    path.cubicTo(tip + QPointF(-width * 0.5, height * 0.5), tip + QPointF(-width * 0.2, height * 0.3), tip);
    return path;
}

QPainterPath LeafShape(QPointF from, QPointF to, double bulge) {
    const QPointF mid = (from + to) / 2.0;
    const QPointF d = to - from;
    const QPointF normal(-d.y() * bulge, d.x() * bulge);
    QPainterPath path;
    path.moveTo(from);
    path.quadTo(mid + normal, to);
    path.quadTo(mid - normal, from);
    return path;
}

void Spots(QPainter& p, const QColor& colour, std::initializer_list<QPointF> at, double radius) {
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    for (const QPointF& point : at) {
        p.drawEllipse(point, radius, radius);
    }
}

void Twig(QPainter& p, QPointF from, QPointF to, double width = 4.0) {
    p.setPen(QPen(kBrown, width, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(from, to);
}

void Bell(QPainter& p, QPointF top, double width, double height, const QColor& colour, bool upturned) {
    QPainterPath bell;
    const double s = upturned ? -1.0 : 1.0;
    bell.moveTo(top + QPointF(-width * 0.3, 0));
    bell.quadTo(top + QPointF(-width * 0.35, s * height * 0.7), top + QPointF(-width * 0.5, s * height));
    bell.quadTo(top + QPointF(-width * 0.25, s * height * 0.85), top + QPointF(0, s * height));
    bell.quadTo(top + QPointF(width * 0.25, s * height * 0.85), top + QPointF(width * 0.5, s * height));
    bell.quadTo(top + QPointF(width * 0.35, s * height * 0.7), top + QPointF(width * 0.3, 0));
    bell.quadTo(top + QPointF(0, -s * height * 0.15), top + QPointF(-width * 0.3, 0));
    Outline(p, colour);
    Fill(p, colour);
    p.drawPath(bell);
}

void Draw(QPainter& p, int id) {
    switch (id) {
    case 1001: { // Dewdrop Lantern
        p.setPen(QPen(kDarkLeaf, 4, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        QPainterPath stem;
        stem.moveTo(20, 8);
        stem.quadTo(55, 0, 52, 28);
        p.drawPath(stem);
        Glow(p, QPointF(52, 62), 40, QColor(0xB8, 0xE4, 0xFF, 200));
        Outline(p, kSky);
        Fill(p, QColor(0xC8, 0xEC, 0xFF));
        p.drawPath(Drop(QPointF(52, 28), 46, 66));
        Spots(p, Qt::white, {QPointF(44, 62)}, 6);
        break;
    }
    case 1002: { // Thimble Crown
        QPainterPath crown;
        crown.moveTo(24, 40);
        for (int i = 0; i < 5; ++i) {
            crown.lineTo(24 + 13 * i + 6.5, 18);
            crown.lineTo(24 + 13 * (i + 1), 40);
        }
        crown.lineTo(80, 88);
        crown.lineTo(20, 88);
        crown.closeSubpath();
        Outline(p, kSilver);
        QLinearGradient metal(QPointF(20, 0), QPointF(80, 0));
        metal.setColorAt(0.0, Qt::white);
        metal.setColorAt(1.0, kSilver);
        p.setBrush(metal);
        p.drawPath(crown);
        for (int row = 0; row < 3; ++row) {
            for (int i = 0; i < 5; ++i) {
                Spots(p, QColor(0xA8, 0xAE, 0xBE), {QPointF(31 + i * 9.5, 52 + row * 11)}, 2.2);
            }
        }
        Star(p, QPointF(50, 18), 5, Gold());
        break;
    }
    case 1003: { // Acorn Kettle
        Outline(p, kBrown);
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(8, 40, 24, 30), 90 * 16, 180 * 16);
        QPainterPath spout;
        spout.moveTo(72, 60);
        spout.quadTo(90, 56, 94, 40);
        spout.lineTo(86, 44);
        spout.quadTo(82, 56, 72, 54);
        Fill(p, kBrown);
        p.drawPath(spout);
        p.drawEllipse(QRectF(20, 36, 56, 56));
        Outline(p, kDarkBrown);
        Fill(p, kDarkBrown);
        p.drawChord(QRectF(16, 22, 64, 40), 0, 180 * 16);
        p.drawRoundedRect(QRectF(45, 10, 6, 14), 3, 3);
        p.setPen(QPen(kBrown, 1.5));
        for (int i = 0; i < 4; ++i) {
            p.drawLine(QPointF(26 + i * 13, 40), QPointF(34 + i * 13, 26));
        }
        break;
    }
    case 1004: { // Moss Slipper
        QPainterPath slipper;
        slipper.moveTo(10, 74);
        slipper.quadTo(10, 52, 34, 50);
        slipper.quadTo(56, 48, 70, 58);
        slipper.quadTo(92, 62, 92, 78);
        slipper.quadTo(50, 88, 10, 74);
        Outline(p, kLeaf);
        Fill(p, kLeaf);
        p.drawPath(slipper);
        Spots(p, kDarkLeaf, {QPointF(30, 62), QPointF(50, 66), QPointF(70, 70), QPointF(40, 74)}, 3);
        Spots(p, Pink(), {QPointF(36, 48)}, 12);
        Spots(p, Mix(Pink(), Qt::white, 0.5), {QPointF(32, 44)}, 4);
        break;
    }
    case 1005: { // Pebble Moon
        Outline(p, kSilver);
        Fill(p, QColor(0xF6, 0xF4, 0xF0));
        p.drawEllipse(QRectF(10, 24, 80, 58));
        QPainterPath moon;
        moon.addEllipse(QPointF(50, 53), 20, 20);
        QPainterPath bite;
        bite.addEllipse(QPointF(60, 47), 17, 17);
        p.setPen(Qt::NoPen);
        p.setBrush(Lilac());
        p.drawPath(moon.subtracted(bite));
        break;
    }
    case 1006: { // Fern Fan
        for (int i = 0; i < 7; ++i) {
            const double angle = qDegreesToRadians(200.0 + 140.0 * i / 6.0);
            const QPointF tip(50 + 44 * std::cos(angle), 84 + 70 * std::sin(angle));
            Outline(p, kLeaf, 1.5);
            Fill(p, i % 2 ? kLeaf : kDarkLeaf);
            p.drawPath(LeafShape(QPointF(50, 84), tip, 0.16));
        }
        p.setPen(QPen(kDarkLeaf, 4, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(42, 76, 16, 16), 0, 300 * 16);
        break;
    }
    case 1007: { // Honey Spoon
        p.save();
        p.translate(50, 50);
        p.rotate(-35);
        Outline(p, kBrass);
        Fill(p, Gold());
        p.drawRoundedRect(QRectF(-5, -8, 10, 52), 5, 5);
        p.drawEllipse(QRectF(-16, -44, 32, 40));
        p.restore();
        Outline(p, QColor(0xE8, 0x9A, 0x20), 1.5);
        Fill(p, QColor(0xF4, 0xA8, 0x24));
        p.drawPath(Drop(QPointF(36, 48), 14, 22));
        Spots(p, QColor(255, 255, 255, 180), {QPointF(33, 62)}, 2.5);
        break;
    }
    case 1008: { // Snail Shell Horn
        const QColor stripes[2] = {Peach(), QColor(0xC8, 0x7A, 0x5A)};
        Outline(p, stripes[1]);
        for (int i = 0; i < 5; ++i) {
            const double r = 38 - i * 7.5;
            Fill(p, stripes[i % 2]);
            p.drawEllipse(QPointF(44 + i * 2.5, 52 - i * 1.5), r, r);
        }
        QPainterPath mouth;
        mouth.moveTo(70, 76);
        mouth.quadTo(92, 80, 96, 94);
        mouth.quadTo(80, 96, 62, 86);
        Fill(p, kCream);
        p.drawPath(mouth);
        break;
    }
    case 1009: { // Clover Kite
        p.setPen(QPen(Pink(), 3, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        QPainterPath tail;
        tail.moveTo(50, 60);
        tail.cubicTo(40, 78, 62, 84, 52, 98);
        p.drawPath(tail);
        for (int i = 0; i < 4; ++i) {
            p.save();
            p.translate(50, 36);
            p.rotate(45.0 + 90.0 * i);
            Heart(p, QPointF(0, -13), 26, i % 2 ? kLeaf : kDarkLeaf);
            p.restore();
        }
        Spots(p, Pink(), {QPointF(46, 82), QPointF(56, 92)}, 3);
        break;
    }
    case 1010: { // Pinecone Owl
        Outline(p, kDarkBrown);
        Fill(p, kBrown);
        p.drawEllipse(QRectF(22, 14, 56, 78));
        p.setPen(QPen(kDarkBrown, 2));
        for (int row = 0; row < 5; ++row) {
            for (int i = 0; i < 3; ++i) {
                p.drawArc(QRectF(28 + i * 15 + (row % 2) * 7, 46 + row * 9, 14, 10), 180 * 16, 180 * 16);
            }
        }
        Spots(p, kCream, {QPointF(40, 34), QPointF(60, 34)}, 9);
        Spots(p, Deep(), {QPointF(41, 35), QPointF(59, 35)}, 4.5);
        Spots(p, Gold(), {QPointF(50, 44)}, 3);
        break;
    }
    case 1011: { // Rainbell
        p.setPen(QPen(kDarkLeaf, 3));
        p.drawLine(QPointF(50, 6), QPointF(50, 20));
        Bell(p, QPointF(50, 20), 64, 52, QColor(0x7A, 0x9C, 0xF0), false);
        Outline(p, kSky, 1.5);
        Fill(p, QColor(0xC8, 0xEC, 0xFF));
        p.drawPath(Drop(QPointF(50, 66), 16, 24));
        break;
    }
    case 1012: { // Feather Quill
        Outline(p, Deep(), 2);
        Fill(p, QColor(0x4A, 0x3A, 0x6A));
        p.drawPath(LeafShape(QPointF(22, 88), QPointF(84, 10), 0.22));
        Spots(p, QColor(255, 255, 255, 170),
              {QPointF(52, 50), QPointF(62, 38), QPointF(44, 62), QPointF(68, 28)}, 2.2);
        p.setPen(QPen(kCream, 2));
        p.drawLine(QPointF(22, 88), QPointF(76, 20));
        Outline(p, kNavy, 1);
        Fill(p, kNavy);
        p.drawPath(Drop(QPointF(18, 84), 10, 14));
        break;
    }
    case 1013: { // Mushroom Stool
        Outline(p, kCream);
        Fill(p, kCream);
        p.drawRoundedRect(QRectF(38, 50, 24, 40), 8, 8);
        Outline(p, kRed);
        Fill(p, kRed);
        QPainterPath cap;
        cap.moveTo(10, 54);
        cap.quadTo(14, 18, 50, 16);
        cap.quadTo(86, 18, 90, 54);
        cap.closeSubpath();
        p.drawPath(cap);
        Spots(p, Qt::white,
              {QPointF(30, 38), QPointF(50, 28), QPointF(70, 38), QPointF(42, 46), QPointF(62, 48)}, 5);
        break;
    }
    case 1014: { // Lily Pad Boat
        QPainterPath pad;
        pad.addEllipse(QRectF(8, 40, 84, 46));
        QPainterPath notch;
        notch.moveTo(50, 63);
        notch.lineTo(92, 50);
        notch.lineTo(92, 70);
        notch.closeSubpath();
        Outline(p, kLeaf);
        Fill(p, kLeaf);
        p.drawPath(pad.subtracted(notch));
        p.setPen(QPen(kDarkLeaf, 1.5));
        for (int i = 0; i < 5; ++i) {
            p.drawLine(QPointF(50, 63), QPointF(14 + i * 14, i % 2 ? 44 : 82));
        }
        Twig(p, QPointF(30, 20), QPointF(62, 70), 4);
        Fill(p, kBrown);
        p.drawEllipse(QRectF(22, 12, 12, 16));
        break;
    }
    case 1015: { // Firefly Jar
        Outline(p, kSky);
        p.setBrush(QColor(0xE4, 0xF4, 0xFF, 220));
        p.drawRoundedRect(QRectF(24, 26, 52, 66), 14, 14);
        Fill(p, kBrown);
        p.drawRoundedRect(QRectF(28, 14, 44, 14), 4, 4);
        for (const QPointF& at : {QPointF(40, 50), QPointF(58, 62), QPointF(44, 76)}) {
            Glow(p, at, 11, QColor(0xFF, 0xE8, 0x60, 220));
            Spots(p, QColor(0xFF, 0xF4, 0x90), {at}, 3.5);
        }
        break;
    }
    case 1016: { // Button Shield
        Outline(p, kDarkBrown, 3);
        Fill(p, kBrown);
        p.drawEllipse(QPointF(50, 52), 40, 40);
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(50, 52), 30, 30);
        Spots(p, kDarkBrown, {QPointF(42, 44), QPointF(58, 44), QPointF(42, 60), QPointF(58, 60)}, 5);
        break;
    }
    case 1017: { // Walnut Cradle
        Outline(p, kNavy);
        Fill(p, QColor(0x7A, 0xA8, 0xF0));
        QPainterPath blanket;
        blanket.moveTo(14, 50);
        blanket.quadTo(50, 26, 86, 50);
        blanket.closeSubpath();
        p.drawPath(blanket);
        Outline(p, kDarkBrown);
        Fill(p, kBrown);
        p.drawChord(QRectF(8, 14, 84, 76), 180 * 16, 180 * 16);
        p.setPen(QPen(kDarkBrown, 2));
        p.drawArc(QRectF(22, 40, 56, 40), 200 * 16, 140 * 16);
        break;
    }
    case 1018: { // Poppy Parasol
        p.setPen(QPen(kDarkLeaf, 4, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        QPainterPath handle;
        handle.moveTo(50, 40);
        handle.lineTo(50, 86);
        handle.quadTo(50, 94, 42, 92);
        p.drawPath(handle);
        Outline(p, kRed);
        Fill(p, QColor(0xF2, 0x5A, 0x3A));
        QPainterPath dome;
        dome.moveTo(8, 46);
        dome.quadTo(12, 8, 50, 8);
        dome.quadTo(88, 8, 92, 46);
        dome.quadTo(78, 38, 64, 46);
        dome.quadTo(50, 38, 36, 46);
        dome.quadTo(22, 38, 8, 46);
        p.drawPath(dome);
        Spots(p, Deep(), {QPointF(50, 14)}, 4);
        break;
    }
    case 1019: { // Cobweb Hammock
        Twig(p, QPointF(12, 10), QPointF(12, 92));
        Twig(p, QPointF(88, 10), QPointF(88, 92));
        p.setPen(QPen(kSilver.darker(115), 1.5));
        p.setBrush(Qt::NoBrush);
        for (int i = 0; i < 4; ++i) {
            QPainterPath strand;
            strand.moveTo(12, 24 + i * 6);
            strand.quadTo(50, 70 + i * 6, 88, 24 + i * 6);
            p.drawPath(strand);
        }
        for (int i = 0; i < 5; ++i) {
            p.drawLine(QPointF(22 + i * 14, 40 + (i == 2 ? 8 : 4)),
                       QPointF(22 + i * 14, 58 + (i == 2 ? 10 : 4)));
        }
        Spots(p, QColor(0xB8, 0xE4, 0xFF), {QPointF(30, 50), QPointF(50, 64), QPointF(70, 50)}, 3.5);
        break;
    }
    case 1020: { // Seed Pearl Necklace
        for (int i = 0; i < 18; ++i) {
            const double angle = qDegreesToRadians(20.0 * i);
            const QPointF at(50 + 36 * std::cos(angle), 50 + 32 * std::sin(angle));
            Outline(p, QColor(0xD8, 0xC8, 0xA8), 1);
            QRadialGradient shine(at - QPointF(1.5, 1.5), 6);
            shine.setColorAt(0.0, Qt::white);
            shine.setColorAt(1.0, QColor(0xF4, 0xE8, 0xD0));
            p.setBrush(shine);
            p.drawEllipse(at, 5, 5);
        }
        Outline(p, kLeaf, 1.5);
        Fill(p, kLeaf);
        p.drawPath(LeafShape(QPointF(40, 16), QPointF(62, 10), 0.35));
        break;
    }
    case 1021: { // Bramble Berry Basket
        p.setPen(QPen(kDarkBrown, 4));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(20, 8, 60, 70), 0, 180 * 16);
        Spots(p, QColor(0x5A, 0x1E, 0x6A),
              {QPointF(32, 44), QPointF(44, 40), QPointF(56, 42), QPointF(68, 45), QPointF(38, 34),
               QPointF(52, 32), QPointF(62, 35)},
              7);
        Outline(p, kDarkBrown);
        Fill(p, kBrown);
        QPainterPath basket;
        basket.moveTo(14, 48);
        basket.lineTo(86, 48);
        basket.lineTo(74, 90);
        basket.lineTo(26, 90);
        basket.closeSubpath();
        p.drawPath(basket);
        p.setPen(QPen(kDarkBrown, 1.5));
        for (int i = 0; i < 3; ++i) {
            p.drawLine(QPointF(18 + i * 3, 60 + i * 11), QPointF(82 - i * 3, 60 + i * 11));
        }
        break;
    }
    case 1022: { // Dandelion Wand
        p.setPen(QPen(kDarkLeaf, 3.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(50, 46), QPointF(44, 98));
        p.setPen(QPen(QColor(0xC8, 0xC8, 0xD0), 1.2));
        for (int i = 0; i < 24; ++i) {
            const double angle = qDegreesToRadians(15.0 * i);
            p.drawLine(QPointF(50, 32), QPointF(50 + 26 * std::cos(angle), 32 + 26 * std::sin(angle)));
        }
        for (int i = 0; i < 24; ++i) {
            const double angle = qDegreesToRadians(15.0 * i);
            Spots(p, Qt::white, {QPointF(50 + 27 * std::cos(angle), 32 + 27 * std::sin(angle))}, 3);
        }
        Spots(p, QColor(0xB8, 0xA0, 0x70), {QPointF(50, 32)}, 5);
        break;
    }
    case 1023: { // Beetle Buggy
        Outline(p, kDarkLeaf);
        QLinearGradient shell(QPointF(0, 20), QPointF(0, 70));
        shell.setColorAt(0.0, QColor(0x7E, 0xE0, 0x8A));
        shell.setColorAt(1.0, kDarkLeaf);
        p.setBrush(shell);
        p.drawChord(QRectF(10, 20, 80, 90), 0, 180 * 16);
        p.drawLine(QPointF(50, 20), QPointF(50, 64));
        for (const QPointF& at : {QPointF(28, 72), QPointF(72, 72)}) {
            Outline(p, kDarkBrown);
            Fill(p, kBrown);
            p.drawEllipse(at, 13, 13);
            Spots(p, kDarkBrown, {at + QPointF(-3, -3), at + QPointF(3, 3)}, 2);
        }
        Spots(p, QColor(255, 255, 255, 160), {QPointF(34, 34)}, 5);
        break;
    }
    case 1024: // Sunflower Clock
        Flower(p, QPointF(50, 50), 46, 12, Gold(), kBrown);
        Outline(p, kDarkBrown, 1.5);
        Fill(p, kCream);
        p.drawEllipse(QPointF(50, 50), 16, 16);
        p.setPen(QPen(Deep(), 2.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(50, 50), QPointF(50, 38));
        p.drawLine(QPointF(50, 50), QPointF(59, 54));
        break;
    case 1025: { // Icicle Flute
        QPainterPath icicle;
        icicle.moveTo(14, 22);
        icicle.lineTo(26, 12);
        icicle.lineTo(92, 88);
        icicle.closeSubpath();
        Outline(p, kSky);
        QLinearGradient ice(QPointF(14, 12), QPointF(40, 40));
        ice.setColorAt(0.0, Qt::white);
        ice.setColorAt(1.0, QColor(0xA8, 0xD8, 0xF8));
        p.setBrush(ice);
        p.drawPath(icicle);
        Spots(p, kNavy, {QPointF(34, 30), QPointF(44, 42), QPointF(54, 53), QPointF(64, 64)}, 2.6);
        break;
    }
    case 1026: { // Ladybird Lamp
        Outline(p, kBrass);
        Fill(p, kBrass);
        p.drawRect(QRectF(46, 52, 8, 30));
        p.drawRoundedRect(QRectF(28, 80, 44, 10), 5, 5);
        Outline(p, kRed);
        Fill(p, kRed);
        p.drawChord(QRectF(16, 10, 68, 84), 0, 180 * 16);
        Spots(p, QColor(0x20, 0x10, 0x20),
              {QPointF(32, 40), QPointF(50, 24), QPointF(68, 40), QPointF(50, 44)}, 5);
        Glow(p, QPointF(50, 58), 16, QColor(0xFF, 0xE8, 0x90, 160));
        break;
    }
    case 1027: { // Hazelnut Drum
        Twig(p, QPointF(18, 10), QPointF(46, 36), 3.5);
        Twig(p, QPointF(82, 10), QPointF(54, 36), 3.5);
        Outline(p, kDarkBrown);
        Fill(p, QColor(0xB8, 0x78, 0x40));
        p.drawRoundedRect(QRectF(18, 44, 64, 44), 16, 16);
        Outline(p, kDarkLeaf);
        Fill(p, kLeaf);
        p.drawEllipse(QRectF(16, 36, 68, 18));
        p.setPen(QPen(kDarkBrown, 1.5));
        p.drawLine(QPointF(30, 60), QPointF(30, 80));
        p.drawLine(QPointF(70, 60), QPointF(70, 80));
        break;
    }
    case 1028: // Petal Skirt
        Outline(p, QColor(0xE0, 0x6A, 0x9A), 1.5);
        Fill(p, QColor(0xE8, 0x8E, 0xB8));
        p.drawRoundedRect(QRectF(34, 12, 32, 10), 4, 4);
        for (int row = 0; row < 3; ++row) {
            const int petals = 3 + row;
            for (int i = 0; i < petals; ++i) {
                const double width = 36.0 + row * 14.0;
                const double x = 50 - width / 2 + width * (i + 0.5) / petals;
                Fill(p, row % 2 ? Pink() : Mix(Pink(), Qt::white, 0.35));
                p.drawEllipse(QPointF(x, 34 + row * 18), 12 + row * 1.5, 16);
            }
        }
        break;
    case 1029: { // Rowan Bow
        Outline(p, QColor(0xC0, 0x20, 0x30));
        Fill(p, kRed);
        QPainterPath bow;
        bow.moveTo(50, 44);
        bow.cubicTo(30, 14, 6, 24, 14, 46);
        bow.cubicTo(20, 60, 40, 52, 50, 44);
        bow.cubicTo(60, 52, 80, 60, 86, 46);
        bow.cubicTo(94, 24, 70, 14, 50, 44);
        p.drawPath(bow);
        QPainterPath tails;
        tails.moveTo(48, 46);
        tails.lineTo(30, 84);
        tails.lineTo(40, 80);
        tails.lineTo(50, 50);
        tails.lineTo(60, 80);
        tails.lineTo(70, 84);
        tails.lineTo(52, 46);
        p.drawPath(tails);
        Spots(p, QColor(0xF2, 0x8A, 0x1E), {QPointF(44, 40), QPointF(56, 40), QPointF(50, 50)}, 6);
        break;
    }
    case 1030: // Cloud Pillow
        Outline(p, Lilac(), 3);
        Fill(p, Qt::white);
        for (const auto& [at, r] : {std::pair{QPointF(30, 56), 18.0}, std::pair{QPointF(50, 44), 22.0},
                                    std::pair{QPointF(70, 54), 18.0}, std::pair{QPointF(50, 64), 18.0}}) {
            p.drawEllipse(at, r, r);
        }
        p.setPen(Qt::NoPen);
        for (const auto& [at, r] : {std::pair{QPointF(30, 56), 16.5}, std::pair{QPointF(50, 44), 20.5},
                                    std::pair{QPointF(70, 54), 16.5}, std::pair{QPointF(50, 64), 16.5}}) {
            p.drawEllipse(at, r, r);
        }
        break;
    case 1031: // Starfall Compass
        Outline(p, kBrass, 3);
        Fill(p, kBrass);
        p.drawEllipse(QPointF(50, 54), 40, 40);
        p.drawEllipse(QPointF(50, 12), 6, 6);
        Fill(p, kCream);
        p.drawEllipse(QPointF(50, 54), 31, 31);
        p.setPen(QPen(kBrass, 2));
        p.drawLine(QPointF(50, 26), QPointF(50, 32));
        p.drawLine(QPointF(50, 76), QPointF(50, 82));
        p.drawLine(QPointF(22, 54), QPointF(28, 54));
        p.drawLine(QPointF(72, 54), QPointF(78, 54));
        Star(p, QPointF(50, 54), 16, Gold(), Mix(Gold(), Deep(), 0.4), 20);
        break;
    case 1032: { // Bluebell Teacup
        Outline(p, kDarkLeaf);
        Fill(p, kLeaf);
        p.drawPath(LeafShape(QPointF(6, 86), QPointF(94, 80), 0.12));
        Bell(p, QPointF(50, 80), 66, 56, QColor(0x6A, 0x8C, 0xE8), true);
        p.setPen(QPen(QColor(0x4A, 0x6A, 0xC8), 4));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(70, 40, 22, 24), -90 * 16, 180 * 16);
        break;
    }
    case 1033: { // Willow Swing
        p.setPen(QPen(kDarkLeaf, 2.5));
        p.drawLine(QPointF(26, 4), QPointF(28, 74));
        p.drawLine(QPointF(74, 4), QPointF(72, 74));
        for (int i = 0; i < 4; ++i) {
            Outline(p, kLeaf, 1);
            Fill(p, kLeaf);
            p.drawPath(LeafShape(QPointF(27, 14 + i * 15), QPointF(16, 22 + i * 15), 0.4));
            p.drawPath(LeafShape(QPointF(73, 14 + i * 15), QPointF(84, 22 + i * 15), 0.4));
        }
        Outline(p, kDarkBrown);
        Fill(p, kBrown);
        p.drawRoundedRect(QRectF(16, 72, 68, 12), 4, 4);
        break;
    }
    case 1034: { // Raindrop Mirror
        Twig(p, QPointF(50, 72), QPointF(50, 98), 6);
        Outline(p, kBrass, 4);
        QLinearGradient glass(QPointF(30, 10), QPointF(70, 80));
        glass.setColorAt(0.0, Qt::white);
        glass.setColorAt(1.0, kSky);
        p.setBrush(glass);
        p.drawPath(Drop(QPointF(50, 4), 54, 72));
        p.setPen(QPen(QColor(255, 255, 255, 220), 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(40, 40), QPointF(36, 56));
        break;
    }
    case 1035: { // Hedgehog Brush
        Twig(p, QPointF(62, 62), QPointF(92, 94), 8);
        QPainterPath spikes;
        for (int i = 0; i <= 14; ++i) {
            const double angle = qDegreesToRadians(180.0 + 180.0 * i / 14.0);
            const double r = i % 2 ? 42 : 30;
            const QPointF at(46 + r * std::cos(angle), 62 + r * std::sin(angle));
            if (i == 0) {
                spikes.moveTo(at);
            } else {
                spikes.lineTo(at);
            }
        }
        spikes.closeSubpath();
        Outline(p, kDarkBrown, 2);
        Fill(p, QColor(0x8A, 0x5A, 0x3A));
        p.drawPath(spikes);
        Fill(p, kCream);
        p.drawChord(QRectF(14, 46, 64, 32), 180 * 16, 180 * 16);
        break;
    }
    case 1036: { // Glowworm Garland
        p.setPen(QPen(kDarkLeaf, 2));
        p.setBrush(Qt::NoBrush);
        QPainterPath string;
        string.moveTo(4, 30);
        string.quadTo(27, 70, 50, 40);
        string.quadTo(73, 10, 96, 56);
        p.drawPath(string);
        for (const QPointF& at :
             {QPointF(14, 44), QPointF(32, 54), QPointF(50, 40), QPointF(68, 30), QPointF(86, 40)}) {
            Glow(p, at, 12, QColor(0xD8, 0xF0, 0x50, 220));
            Spots(p, QColor(0xC8, 0xE8, 0x40), {at}, 5);
        }
        break;
    }
    case 1037: // Daisy Chain Crown
        for (int i = 0; i < 9; ++i) {
            const double angle = qDegreesToRadians(40.0 * i);
            Flower(p, QPointF(50 + 36 * std::cos(angle), 52 + 24 * std::sin(angle)), 13, 8, Qt::white,
                   Gold());
        }
        break;
    case 1038: { // Frog Prince Mug
        p.setPen(QPen(kDarkLeaf, 6));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(62, 38, 28, 34), -90 * 16, 180 * 16);
        Outline(p, kDarkLeaf);
        Fill(p, kLeaf);
        p.drawRoundedRect(QRectF(16, 28, 56, 62), 10, 10);
        Fill(p, Qt::white);
        p.drawEllipse(QPointF(32, 28), 10, 10);
        p.drawEllipse(QPointF(56, 28), 10, 10);
        Spots(p, QColor(0x20, 0x10, 0x20), {QPointF(33, 29), QPointF(55, 29)}, 4);
        p.setPen(QPen(kDarkLeaf.darker(130), 3, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(28, 46, 32, 20), 200 * 16, 140 * 16);
        Spots(p, Pink(), {QPointF(24, 56), QPointF(64, 56)}, 4);
        break;
    }
    case 1039: // Twilight Lantern
        Outline(p, Deep());
        Fill(p, Mix(Deep(), Purple(), 0.4));
        p.drawRoundedRect(QRectF(36, 8, 28, 10), 3, 3);
        p.drawRoundedRect(QRectF(36, 84, 28, 10), 3, 3);
        Fill(p, QColor(0x8A, 0x4A, 0xC8));
        p.drawEllipse(QRectF(16, 16, 68, 70));
        p.setPen(QPen(Mix(Deep(), Purple(), 0.3), 1.5));
        p.drawArc(QRectF(34, 16, 32, 70), 0, 360 * 16);
        Star(p, QPointF(34, 42), 6, kSilver);
        Star(p, QPointF(62, 36), 5, kSilver);
        Star(p, QPointF(54, 66), 7, kSilver);
        break;
    case 1040: { // Evenfall Key
        Outline(p, kBrass, 2);
        Fill(p, Gold());
        p.drawRoundedRect(QRectF(44, 34, 10, 62), 4, 4);
        p.drawRect(QRectF(54, 76, 14, 7));
        p.drawRect(QRectF(54, 88, 10, 7));
        p.drawPath(LeafShape(QPointF(49, 38), QPointF(49, 2), 0.45));
        p.setPen(QPen(kBrass, 1.5));
        p.drawLine(QPointF(49, 36), QPointF(49, 8));
        break;
    }
    default:
        Star(p, QPointF(50, 50), 40, Gold(), Mix(Gold(), Deep(), 0.4));
        break;
    }
}

} // namespace

void DrawCharmObject(QPainter& painter, int id, const QRectF& box) {
    painter.save();
    const double scale = qMin(box.width(), box.height()) / 100.0;
    painter.translate(box.center().x() - 50.0 * scale, box.center().y() - 50.0 * scale);
    painter.scale(scale, scale);
    Draw(painter, id);
    painter.restore();
}

} // namespace Art
