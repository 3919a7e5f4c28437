#include "Art.h"
#include "Painting.h"
#include "Palette.h"
#include "ToyDrawings.h"

#include <QHash>
#include <QPainterPath>
#include <stdexcept>

namespace Art {

namespace {

enum class Look { Purple, Light, Warm };
enum class Shape { Pill, Round, Tile, Arrow, Picture };
enum class Glyph {
    None,
    Close,
    Minus,
    Question,
    Left,
    Right,
    Up,
    Down,
    Bracelet,
    JewelryBox,
    Game,
    Friends,
    Charm,
    PointsUp,
    Butterfly,
    Fairy
};

struct ButtonDesign {
    QString label;
    Shape shape;
    Glyph glyph;
};

enum State { Normal = 0, Hover = 1, Pressed = 2, Disabled = 3 };

QString S(const char* text) {
    return QString::fromUtf8(text);
}

const QHash<QString, ButtonDesign>& Designs() {
    static const QHash<QString, ButtonDesign> designs = {
        {S("EXIT_BUTTONS"), {QString(), Shape::Round, Glyph::Close}},
        {S("POPUP_EXIT_BUTTONS"), {QString(), Shape::Round, Glyph::Close}},
        {S("MINIMIZE_BUTTONS"), {QString(), Shape::Round, Glyph::Minus}},
        {S("HELP_BUTTONS"), {QString(), Shape::Round, Glyph::Question}},
        {S("MENU_BUTTONS"), {S("Menu"), Shape::Pill, Glyph::None}},
        {S("TOY_BUTTONS"), {S("Toys"), Shape::Pill, Glyph::None}},
        {S("SIGNOUT_BUTTONS"), {S("Sign out"), Shape::Pill, Glyph::None}},
        {S("BACK_BUTTONS"), {S("Back"), Shape::Arrow, Glyph::Left}},
        {S("NEXT_BUTTONS"), {S("Next"), Shape::Arrow, Glyph::Right}},
        {S("SIGNIN_BUTTONS"), {S("Sign in"), Shape::Pill, Glyph::None}},
        {S("START_NOW_BUTTONS"), {S("Start now!"), Shape::Pill, Glyph::None}},
        {S("FAIRY_BUTTONS"), {QString(), Shape::Picture, Glyph::Fairy}},
        {S("SETUPBRACELET_BUTTONS"), {S("Set up\nbracelet"), Shape::Tile, Glyph::Bracelet}},
        {S("CHANGEBRACELET_BUTTONS"), {S("Change\nbracelet"), Shape::Tile, Glyph::Bracelet}},
        {S("SETUPJEWELRYBOX_BUTTONS"), {S("Set up\njewelry box"), Shape::Tile, Glyph::JewelryBox}},
        {S("SETUPLCDGAME_BUTTONS"), {S("Set up\nRodod Orez"), Shape::Tile, Glyph::Game}},
        {S("UPLOADFRIENDSHIP_BUTTONS"), {S("Add\nfriends"), Shape::Tile, Glyph::Friends}},
        {S("UPLOADCHARM_BUTTONS"), {S("Add\ncharms"), Shape::Tile, Glyph::Charm}},
        {S("UPLOAD_GLINT_POINTS_BUTTONS"), {S("Add Glint\nPoints"), Shape::Tile, Glyph::PointsUp}},
        {S("REDEEM_GLINT_POINTS_BUTTONS"), {S("Use Glint\nPoints"), Shape::Tile, Glyph::Butterfly}},
        {S("TELL_ME_MORE_BUTTONS"), {S("Tell me more"), Shape::Pill, Glyph::None}},
        {S("PRINTLCD_BUTTONS"), {S("Print cover"), Shape::Pill, Glyph::None}},
        {S("VIEWGIFTS_BUTTONS"), {S("My charms"), Shape::Pill, Glyph::None}},
        {S("DEVICE_RESET_CANCEL_BUTTONS"), {S("Cancel"), Shape::Pill, Glyph::None}},
        {S("DEVICE_RESET_NOW_BUTTONS"), {S("Reset now"), Shape::Pill, Glyph::None}},
        {S("WHATISTHIS_BUTTONS"), {S("What is this?"), Shape::Pill, Glyph::None}},
        {S("UP_BUTTONS"), {QString(), Shape::Round, Glyph::Up}},
        {S("DOWN_BUTTONS"), {QString(), Shape::Round, Glyph::Down}},
        {S("CHARMS_ARROW_LEFT"), {QString(), Shape::Round, Glyph::Left}},
        {S("CHARMS_ARROW_RIGHT"), {QString(), Shape::Round, Glyph::Right}},
        {S("DEVICE_ARROW_LEFT"), {QString(), Shape::Round, Glyph::Left}},
        {S("DEVICE_ARROW_RIGHT"), {QString(), Shape::Round, Glyph::Right}},
        {S("GLINTS_ARROW_LEFT"), {QString(), Shape::Round, Glyph::Left}},
        {S("GLINTS_ARROW_RIGHT"), {QString(), Shape::Round, Glyph::Right}},
        {S("TUTORIAL_CONTINUE_BUTTONS"), {S("Continue"), Shape::Pill, Glyph::None}},
        {S("POPUP_OK_BUTTONS"), {S("OK"), Shape::Pill, Glyph::None}},
        {S("POPUP_CANCEL_BUTTONS"), {S("Cancel"), Shape::Pill, Glyph::None}},
        {S("POPUP_DONE_BUTTONS"), {S("Done"), Shape::Pill, Glyph::None}},
        {S("POPUP_VIEWCHARMS_BUTTONS"), {S("View charms"), Shape::Pill, Glyph::None}},
        {S("POPUP_FLYTO_BUTTONS"), {S("Fly to\nBramblemere"), Shape::Pill, Glyph::None}},
        {S("POPUP_GLINTS_USE_BUTTONS"), {S("Use my points"), Shape::Pill, Glyph::None}},
        {S("POPUP_LETSBE_FRIENDS_BUTTONS"), {S("Let's be\nfriends!"), Shape::Pill, Glyph::None}},
        {S("POPUP_ACCEPT_GIFT_BUTTONS"), {S("Accept\nthe gift"), Shape::Pill, Glyph::None}},
        {S("POPUP_NO_THANKS"), {S("No, thanks"), Shape::Pill, Glyph::None}},
        {S("POPUP_CANCEL_FRIEND_BUTTONS"), {S("Cancel friendship"), Shape::Pill, Glyph::None}},
    };
    return designs;
}

struct Colours {
    QColor top, bottom, border, text, outline;
    double borderWidth;
};

Colours ColoursFor(Look look, int state) {
    if (state == Disabled) {
        return {QColor(0xE4, 0xDC, 0xE4), Greyed(), QColor(0xD8, 0xD0, 0xD8), GreyText(), QColor(), 1.5};
    }
    switch (look) {
    case Look::Light:
        if (state == Hover) {
            return {Mix(Gold(), Qt::white, 0.45), Gold(), Qt::white, Deep(), QColor(), 2.0};
        }
        if (state == Pressed) {
            return {Purple(), Deep(), Gold(), Qt::white, QColor(), 1.5};
        }
        return {Cream(), Lilac(), Qt::white, Deep(), QColor(), 1.5};
    case Look::Warm:
        if (state == Hover) {
            return {Mix(Gold(), Qt::white, 0.55), Mix(Pink(), Gold(), 0.4), Qt::white, Deep(), QColor(), 2.5};
        }
        if (state == Pressed) {
            return {Mix(Purple(), Pink(), 0.25), Deep(), Gold(), Qt::white, QColor(), 1.5};
        }
        return {Mix(Peach(), Qt::white, 0.3), Gold(), Mix(Gold(), Deep(), 0.35), Deep(), QColor(), 1.5};
    case Look::Purple:
        break;
    }
    if (state == Hover) {
        return {Mix(Purple(), Pink(), 0.55), Purple(), Gold(), Qt::white, Deep(), 2.5};
    }
    if (state == Pressed) {
        return {Deep(), Night(), Gold(), Mix(Lilac(), Qt::white, 0.5), Night(), 1.5};
    }
    return {Mix(Purple(), Qt::white, 0.15), Mix(Purple(), Deep(), 0.45), Lilac(), Qt::white, Deep(), 2.0};
}

void DrawArrowGlyph(QPainter& painter, const QRectF& box, Glyph glyph, const QColor& colour) {
    const double s = qMin(box.width(), box.height()) * 0.5;
    QPainterPath path;
    const QPointF c = box.center();
    path.moveTo(c + QPointF(s * 0.45, -s * 0.55));
    path.lineTo(c + QPointF(-s * 0.35, 0));
    path.lineTo(c + QPointF(s * 0.45, s * 0.55));
    painter.save();
    painter.translate(c);
    const double rotation = glyph == Glyph::Left    ? 0.0
                            : glyph == Glyph::Right ? 180.0
                            : glyph == Glyph::Up    ? 90.0
                                                    : 270.0;
    painter.rotate(rotation);
    painter.translate(-c);
    painter.setPen(QPen(colour, qMax(2.0, s * 0.28), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path);
    painter.restore();
}

void DrawSmallGlyph(QPainter& painter, const QRectF& box, Glyph glyph, const QColor& colour) {
    const QPointF c = box.center();
    const double s = qMin(box.width(), box.height()) * 0.22;
    painter.save();
    painter.setPen(QPen(colour, qMax(2.0, s * 0.55), Qt::SolidLine, Qt::RoundCap));
    switch (glyph) {
    case Glyph::Close:
        painter.drawLine(c + QPointF(-s, -s), c + QPointF(s, s));
        painter.drawLine(c + QPointF(-s, s), c + QPointF(s, -s));
        break;
    case Glyph::Minus:
        painter.drawLine(c + QPointF(-s, s * 0.3), c + QPointF(s, s * 0.3));
        break;
    case Glyph::Question:
        painter.restore();
        Letter(painter, box.adjusted(0, 1, 0, 1), QStringLiteral("?"), box.height() * 0.72, colour);
        return;
    default:
        painter.restore();
        DrawArrowGlyph(painter, box, glyph, colour);
        return;
    }
    painter.restore();
}

void DrawTileGlyph(QPainter& painter, const QRectF& box, Glyph glyph) {
    switch (glyph) {
    case Glyph::Bracelet:
        DrawBracelet(painter, box);
        break;
    case Glyph::JewelryBox:
        DrawJewelryBox(painter, box);
        break;
    case Glyph::Game:
        DrawHandheldGame(painter, box);
        break;
    case Glyph::Friends:
        DrawFriends(painter, box);
        break;
    case Glyph::Charm:
        DrawCharmSymbol(painter, box);
        break;
    case Glyph::PointsUp:
        DrawPointsUp(painter, box);
        break;
    case Glyph::Butterfly:
        Butterfly(painter, box, Pink(), Gold());
        break;
    default:
        break;
    }
}

/// Greys a layer in place, keeping its transparency, for the disabled frame of a tile.
void Desaturate(QImage& layer) {
    for (int y = 0; y < layer.height(); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(layer.scanLine(y));
        for (int x = 0; x < layer.width(); ++x) {
            const int alpha = qAlpha(row[x]);
            // premultiplied: a grey of the pixel's lightness, lifted towards the tile's grey
            const int grey = qGray(row[x]);
            const int lifted = (grey * 55 + alpha * 200 * 45 / 255) / 100;
            row[x] = qRgba(lifted, lifted, lifted, alpha);
        }
    }
}

void PaintFrame(QImage& strip, int frameIndex, int width, int height, const ButtonDesign& design, Look look,
                int state) {
    QPainter painter(&strip);
    PrepareForSoftShapes(painter);
    painter.translate(0, frameIndex * height);
    const Colours colours = ColoursFor(look, state);
    const double shift = state == Pressed ? 1.0 : 0.0;
    const QRectF full(0, 0, width, height);
    if (state == Hover && design.shape != Shape::Picture) {
        // a soft golden halo that the normal frame does not have
        QRadialGradient halo(full.center(), qMax(width, height) * 0.7);
        halo.setColorAt(0.0, QColor(0xF7, 0xC9, 0x5C, 120));
        halo.setColorAt(1.0, QColor(0xF7, 0xC9, 0x5C, 0));
        painter.setPen(Qt::NoPen);
        painter.setBrush(halo);
        painter.drawRoundedRect(full, height / 2.0, height / 2.0);
    }
    const QRectF body = full.adjusted(1.5, 1.5 + shift, -1.5, -1.5 + shift);
    switch (design.shape) {
    case Shape::Round: {
        const double d = qMin(body.width(), body.height());
        const QRectF circle(body.center().x() - d / 2, body.center().y() - d / 2, d, d);
        SoftPanel(painter, circle, d / 2, colours.top, colours.bottom, colours.border, colours.borderWidth);
        DrawSmallGlyph(painter, circle, design.glyph, colours.text);
        break;
    }
    case Shape::Pill: {
        SoftPanel(painter, body, qMin(body.height() / 2.0, 14.0), colours.top, colours.bottom, colours.border,
                  colours.borderWidth);
        const double size = FitSize(body.adjusted(9, 2, -9, -2), design.label, 16.0);
        Letter(painter, body.adjusted(4, 0, -4, 0), design.label, size, colours.text, colours.outline,
               colours.outline.isValid() ? 1.2 : 0.0);
        if (state == Hover) {
            Sparkle(painter, QPointF(body.right() - 7, body.top() + 6), 4, Qt::white);
        }
        break;
    }
    case Shape::Arrow: {
        SoftPanel(painter, body, 18, colours.top, colours.bottom, colours.border, colours.borderWidth);
        const bool left = design.glyph == Glyph::Left;
        const QRectF arrowBox = left ? QRectF(body.left() + 4, body.top(), 30, body.height())
                                     : QRectF(body.right() - 34, body.top(), 30, body.height());
        DrawArrowGlyph(painter, arrowBox, design.glyph, colours.text);
        const QRectF textBox = left ? body.adjusted(30, 0, -4, 0) : body.adjusted(4, 0, -30, 0);
        Letter(painter, textBox, design.label, 16, colours.text, colours.outline,
               colours.outline.isValid() ? 1.2 : 0);
        break;
    }
    case Shape::Tile: {
        SoftPanel(painter, body, 18, state == Disabled ? colours.top : Mix(colours.top, Qt::white, 0.2),
                  colours.bottom, colours.border, colours.borderWidth + 0.5);
        const QRectF symbol(body.left() + 10, body.top() + 8, body.width() - 20, body.height() * 0.5);
        QRadialGradient spot(symbol.center(), symbol.height() * 0.6);
        spot.setColorAt(0.0, QColor(255, 255, 255, state == Pressed ? 90 : 200));
        spot.setColorAt(1.0, QColor(255, 255, 255, 0));
        painter.setPen(Qt::NoPen);
        painter.setBrush(spot);
        painter.drawEllipse(symbol.center(), symbol.width() * 0.45, symbol.height() * 0.55);
        if (state == Disabled) {
            // the symbol on a layer of its own, greyed, so the tile around it stays untouched
            const qreal density = strip.devicePixelRatio();
            QImage layer((symbol.size() * density).toSize(), QImage::Format_ARGB32_Premultiplied);
            layer.setDevicePixelRatio(density);
            layer.fill(Qt::transparent);
            {
                QPainter layerPainter(&layer);
                PrepareForSoftShapes(layerPainter);
                DrawTileGlyph(layerPainter, QRectF(QPointF(0, 0), symbol.size()), design.glyph);
            }
            Desaturate(layer);
            painter.drawImage(symbol.topLeft(), layer);
        } else {
            DrawTileGlyph(painter, symbol, design.glyph);
        }
        Letter(
            painter,
            QRectF(body.left() + 3, body.top() + body.height() * 0.6, body.width() - 6, body.height() * 0.38),
            design.label, 15, colours.text, colours.outline, colours.outline.isValid() ? 1.3 : 0.0);
        if (state == Hover) {
            Sparkle(painter, QPointF(body.right() - 12, body.top() + 12), 6, Qt::white);
            Sparkle(painter, QPointF(body.left() + 12, body.top() + 20), 4, Gold());
        }
        break;
    }
    case Shape::Picture: {
        // a bubble holding a fairy; hovering makes it glow, pressing sinks it
        const QPointF centre = body.center();
        const double r = qMin(body.width(), body.height()) / 2.0;
        QRadialGradient bubble(centre - QPointF(r * 0.3, r * 0.3), r * 1.2);
        bubble.setColorAt(0.0, state == Hover ? Mix(Gold(), Qt::white, 0.6) : Qt::white);
        bubble.setColorAt(1.0, state == Pressed ? Purple() : Lilac());
        painter.setPen(QPen(state == Hover ? Gold() : Qt::white, 2.0));
        painter.setBrush(bubble);
        painter.drawEllipse(centre, r, r);
        Fairy(painter, QRectF(centre.x() - r * 0.8, centre.y() - r * 0.85, r * 1.6, r * 1.7),
              state == Pressed ? Deep() : Purple(), Pink());
        break;
    }
    }
}

Look LookFor(const QString& name) {
    if (name.startsWith(QLatin1String("POPUP_"))) {
        return name == QLatin1String("POPUP_EXIT_BUTTONS") ? Look::Light : Look::Warm;
    }
    const Placement* home = HomeOf(name);
    if (home && home->y < 56) {
        return Look::Light; // on the purple title bar
    }
    return Look::Purple;
}

} // namespace

bool IsButton(const QString& name) {
    return Designs().contains(name);
}

QImage PaintButtonStrip(const ImageSize& size, int scale) {
    const auto found = Designs().constFind(size.name);
    if (found == Designs().constEnd()) {
        throw std::invalid_argument("no button design for " + size.name.toStdString());
    }
    const QImage backdrop = BackdropFor(size.name, size.width, size.height);
    QImage strip(size.width * scale, size.height * size.frames * scale, QImage::Format_ARGB32_Premultiplied);
    // Painted in the strip's own units: a denser strip gets finer pixels, not a larger button.
    strip.setDevicePixelRatio(scale);
    {
        QPainter painter(&strip);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        for (int frame = 0; frame < size.frames; ++frame) {
            painter.drawImage(0, frame * size.height, backdrop);
        }
    }
    const Look look = LookFor(size.name);
    for (int frame = 0; frame < size.frames; ++frame) {
        PaintFrame(strip, frame, size.width, size.height, *found, look, frame);
    }
    return strip;
}

} // namespace Art
