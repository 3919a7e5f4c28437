#include "Art.h"
#include "Catalogue.h"
#include "Painting.h"
#include "Palette.h"
#include "Random.h"
#include "ToyDrawings.h"

#include <QHash>
#include <QPainterPath>
#include <functional>
#include <stdexcept>

namespace Art {

namespace {

QString S(const char* text) {
    return QString::fromUtf8(text);
}

using Painter = std::function<void(QPainter&, const QRectF&)>;

void Lettering(QPainter& painter, const QRectF& box, const QString& text, double size,
               const QColor& fill = Deep()) {
    Letter(painter, box, text, size, fill, Qt::white, 1.8);
}

void Banner(QPainter& painter, const QRectF& box, const QString& title,
            const std::function<void(QPainter&, QRectF)>& emblem) {
    // a cream ribbon on the purple popup body, emblem on the left
    const QRectF ribbon = box.adjusted(3, 10, -3, -8);
    SoftPanel(painter, ribbon, 22, Mix(Cream(), Qt::white, 0.5), Blush(), Gold(), 3.0);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Lilac(), 1.0, Qt::DashLine));
    painter.drawRoundedRect(ribbon.adjusted(6, 6, -6, -6), 16, 16);
    const QRectF emblemBox(ribbon.left() + 10, ribbon.top() + 4, 62, ribbon.height() - 8);
    emblem(painter, emblemBox);
    Letter(
        painter,
        QRectF(emblemBox.right() + 2, ribbon.top(), ribbon.right() - emblemBox.right() - 10, ribbon.height()),
        title, title.size() > 18 ? 19 : 24, Purple(), Qt::white, 1.5);
    Sparkle(painter, QPointF(ribbon.right() - 10, ribbon.top() + 2), 5, Gold());
    Sparkle(painter, QPointF(ribbon.left() + 80, ribbon.bottom() - 2), 3.5, Pink());
}

void Badge(QPainter& painter, const QRectF& box, const QString& mark, const QColor& colour) {
    const double r = qMin(box.width(), box.height()) * 0.42;
    SoftPanel(painter, QRectF(box.center().x() - r, box.center().y() - r, 2 * r, 2 * r), r,
              Mix(colour, Qt::white, 0.4), colour, Qt::white, 2.0);
    Letter(painter, QRectF(box.center().x() - r, box.center().y() - r + 1, 2 * r, 2 * r), mark, r * 1.3,
           Qt::white, Deep(), 1.0);
}

void Step(QPainter& painter, const QRectF& box, int number, const QString& text,
          const std::function<void(QPainter&, QRectF)>& illustration) {
    SoftPanel(painter, box, 16, Qt::white, Mix(Cream(), Lilac(), 0.25), Lilac(), 2.0);
    Badge(painter, QRectF(box.left() + 6, box.top() + 6, 34, 34), QString::number(number), Purple());
    illustration(painter, QRectF(box.left() + 20, box.top() + 30, box.width() - 40, box.height() * 0.45));
    Letter(painter,
           QRectF(box.left() + 8, box.top() + box.height() * 0.62, box.width() - 16, box.height() * 0.36),
           text, 14, Deep(), Qt::white, 1.0);
}

void Tutorial(QPainter& painter, const QRectF& box, const QString& title, const QString steps[3],
              const std::function<void(QPainter&, QRectF)> illustrations[3]) {
    SoftPanel(painter, box.adjusted(2, 2, -2, -2), 22, Mix(Cream(), Qt::white, 0.5), Blush(), Purple(), 3.0);
    Lettering(painter, QRectF(box.left(), box.top() + 10, box.width(), 44), title, 26, Purple());
    const double w = (box.width() - 4 * 16) / 3.0;
    for (int i = 0; i < 3; ++i) {
        const QRectF stepBox(box.left() + 16 + i * (w + 16), box.top() + 64, w, box.height() - 84);
        Step(painter, stepBox, i + 1, steps[i], illustrations[i]);
        if (i < 2) {
            Star(painter, QPointF(stepBox.right() + 8, stepBox.center().y()), 7, Gold());
        }
    }
}

void FairyIcon(QPainter& painter, const QRectF& box, const QColor& colour) {
    QRadialGradient bubble(box.center() - QPointF(6, 6), box.width() * 0.6);
    bubble.setColorAt(0.0, Qt::white);
    bubble.setColorAt(1.0, Mix(colour, Qt::white, 0.55));
    painter.setPen(QPen(colour, 2.0));
    painter.setBrush(bubble);
    painter.drawEllipse(box.adjusted(2, 2, -2, -2));
    Fairy(painter, box.adjusted(6, 4, -6, -4), colour, Mix(colour, Qt::white, 0.4), false);
}

void TwoBracelets(QPainter& painter, QRectF box) {
    DrawBracelet(painter, QRectF(box.left(), box.top(), box.width() * 0.55, box.height()));
    DrawBracelet(painter,
                 QRectF(box.left() + box.width() * 0.45, box.top(), box.width() * 0.55, box.height()));
    Sparkle(painter, box.center() + QPointF(0, -box.height() * 0.15), box.height() * 0.18, Gold());
}

void Letterbox(QPainter& painter, QRectF box) {
    const double width = qMin(box.width() * 0.95, box.height() * 1.4);
    const double height = width / 1.75;
    const QRectF envelope(box.center().x() - width / 2, box.center().y() - height / 2, width, height);
    SoftPanel(painter, envelope, 6, Qt::white, Cream(), Purple(), 2.0);
    QPainterPath flap;
    flap.moveTo(envelope.topLeft());
    flap.lineTo(envelope.center());
    flap.lineTo(envelope.topRight());
    painter.setPen(QPen(Purple(), 2.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(flap);
    Heart(painter, envelope.center() + QPointF(0, 4), envelope.height() * 0.35, Pink());
}

void CharmTouch(QPainter& painter, QRectF box) {
    DrawJewelryBox(painter,
                   QRectF(box.left(), box.top() + box.height() * 0.2, box.width() * 0.6, box.height() * 0.8));
    DrawCharmSymbol(
        painter, QRectF(box.left() + box.width() * 0.5, box.top(), box.width() * 0.45, box.height() * 0.6));
}

void GlowingBox(QPainter& painter, QRectF box) {
    QRadialGradient glow(box.center(), box.height() * 0.7);
    glow.setColorAt(0.0, QColor(0xF7, 0xC9, 0x5C, 200));
    glow.setColorAt(1.0, QColor(0xF7, 0xC9, 0x5C, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(glow);
    painter.drawEllipse(box.center(), box.height() * 0.8, box.height() * 0.7);
    DrawJewelryBox(painter, box);
}

void FairyWithGift(QPainter& painter, QRectF box) {
    Fairy(painter, QRectF(box.left(), box.top(), box.width() * 0.5, box.height()), Purple(), Pink());
    DrawCharmSymbol(painter, QRectF(box.left() + box.width() * 0.5, box.top() + box.height() * 0.2,
                                    box.width() * 0.4, box.height() * 0.7));
}

void PlayGame(QPainter& painter, QRectF box) {
    DrawHandheldGame(painter, box);
}

void EarnPoints(QPainter& painter, QRectF box) {
    Star(painter, box.center() + QPointF(-box.height() * 0.45, 0), box.height() * 0.3, Gold());
    Star(painter, box.center(), box.height() * 0.42, Gold(), Mix(Gold(), Deep(), 0.4));
    Star(painter, box.center() + QPointF(box.height() * 0.45, 0), box.height() * 0.3, Gold());
}

void FairyWithButterfly(QPainter& painter, QRectF box) {
    Fairy(painter, QRectF(box.left(), box.top(), box.width() * 0.5, box.height()), Purple(), Pink(), false);
    Butterfly(painter,
              QRectF(box.left() + box.width() * 0.5, box.top() + box.height() * 0.15, box.width() * 0.45,
                     box.height() * 0.6),
              Pink(), Gold());
}

const QHash<QString, Painter>& Painters() {
    static const QHash<QString, Painter> painters = [] {
        QHash<QString, Painter> p;
        auto header = [&p](const char* name, const char* title,
                           std::function<void(QPainter&, QRectF)> emblem) {
            p.insert(S(name), [title = S(title), emblem](QPainter& painter, const QRectF& box) {
                Banner(painter, box, title, emblem);
            });
        };
        auto stars = [](QPainter& painter, QRectF box) {
            Star(painter, box.center() + QPointF(-8, 4), box.height() * 0.38, Gold(),
                 Mix(Gold(), Deep(), 0.4), -10);
            Star(painter, box.center() + QPointF(16, -12), box.height() * 0.2, Pink(), QColor(), 15);
        };
        auto heart = [](QPainter& painter, QRectF box) {
            Heart(painter, box.center(), box.height() * 0.75, Pink());
            Sparkle(painter, box.center() + QPointF(14, -14), 5, Gold());
        };
        header("POPUP_QUICKPHRASE", "QuickPhrase gift",
               [](QPainter& painter, QRectF box) { Badge(painter, box, S("\u201C\u201D"), Pink()); });
        header("POPUP_CONGRATS", "Congratulations!", stars);
        header("POPUP_WARNING", "Just checking...",
               [](QPainter& painter, QRectF box) { Badge(painter, box, S("!"), Gold()); });
        header("POPUP_OOPS", "Oops!",
               [](QPainter& painter, QRectF box) { Badge(painter, box, S("?"), Pink()); });
        header("POPUP_LETSBEFRIENDS", "Let's be friends!", heart);
        header("POPUP_NEWGIFT", "A gift for you!",
               [](QPainter& painter, QRectF box) { Letterbox(painter, box); });
        header("POPUP_FRIENSHIPS", "Friendship news",
               [](QPainter& painter, QRectF box) { Letterbox(painter, box); });
        header("POPUP_BRIGHTWING", "Hooray, a friend!", heart);
        header("POPUP_SORRY", "Sorry...", [](QPainter& painter, QRectF box) {
            Flower(painter, box.center(), box.height() * 0.4, 5, Lilac(), Gold());
        });
        header("POPUP_GLINTS_UPLOAD", "Give Glint Points",
               [](QPainter& painter, QRectF box) { DrawPointsUp(painter, box); });
        header("POPUP_BRACELET_READY", "Your bracelet\nis ready!",
               [](QPainter& painter, QRectF box) { DrawBracelet(painter, box); });
        header("POPUP_JEWELRY_BOX_READY", "Your jewelry box\nis ready!",
               [](QPainter& painter, QRectF box) { DrawJewelryBox(painter, box); });
        auto words = [&p](const char* name, const char* text, double size, QColor colour = Deep()) {
            p.insert(S(name), [text = S(text), size, colour](QPainter& painter, const QRectF& box) {
                Lettering(painter, box.adjusted(4, 0, -4, 0), text, size, colour);
            });
        };
        p.insert(S("WELCOME_IMAGE"), [](QPainter& painter, const QRectF& box) {
            Lettering(painter, box, S("Welcome!"), 32, Purple());
            Sparkle(painter, QPointF(box.left() + 22, box.center().y()), 6, Gold());
            Sparkle(painter, QPointF(box.right() - 22, box.center().y()), 6, Pink());
        });
        words("DEVICEMGR_TEXT_IMAGE", "Double-click your toy to begin!", 22);
        words("DEVICEMGR_ERROR_IMAGE", "Plug in your Glimmeries toy,\nor pick what to do without it:", 19);
        p.insert(S("WELCOME_WHAT_TODO_IMAGE"), [](QPainter& painter, const QRectF& box) {
            Fairy(painter, QRectF(box.left() + 10, box.top() + 4, 80, box.height() - 8), Purple(), Pink());
            Lettering(painter, QRectF(box.left() + 96, box.top(), box.width() - 110, box.height()),
                      S("What would you like\nto do today?"), 26, Purple());
            Sparkle(painter, QPointF(box.right() - 20, box.top() + 20), 6, Gold());
        });
        words("ADDFRIENDS_IMAGE", "Your friendships\nDouble-click a letter to open it.", 19);
        p.insert(S("ADDFRIENDS_ERROR_IMAGE"), [](QPainter& painter, const QRectF& box) {
            TwoBracelets(painter, QRectF(box.center().x() - 70, box.top() + 6, 140, 80));
            Lettering(
                painter, QRectF(box.left(), box.top() + 90, box.width(), box.height() - 96),
                S("No new friendships yet.\nTouch your bracelet to a friend's bracelet\nuntil it glows, "
                  "then plug it in again."),
                17);
        });
        words("ADDCHARMS_IMAGE", "Pick a Fairy and a charm", 19, Purple());
        words("ADDCHARMS_ERROR_IMAGE", "No charms in your jewelry box yet. Touch a charm to it!", 17);
        words("UPLOAD_GLINTS_IMAGE", "Add Glint Points", 22, Purple());
        p.insert(S("REDEEM_GLINTS_IMAGE"), [](QPainter& painter, const QRectF& box) {
            Butterfly(painter, QRectF(box.left() + 2, box.top() + 4, 48, box.height() - 8), Pink(), Gold());
            Lettering(painter, box.adjusted(50, 0, -4, 0), S("Use your Glint Points"), 21, Purple());
        });
        words("SETUP_BRACELET_MSG_IMAGE", "Set up your bracelet", 26, Purple());
        words("CHANGE_BRACELET_MSG_IMAGE", "Change your bracelet's Fairy", 23, Purple());
        words("SETUP_BRACELET_TEXT_IMAGE", "Pick a Fairy, a message and a gift", 16);
        auto toy = [&p](const char* name, std::function<void(QPainter&, QRectF)> draw) {
            p.insert(S(name), [draw](QPainter& painter, const QRectF& box) {
                QRadialGradient glow(box.center(), box.width() * 0.5);
                glow.setColorAt(0.0, QColor(255, 255, 255, 230));
                glow.setColorAt(1.0, QColor(255, 255, 255, 0));
                painter.setPen(Qt::NoPen);
                painter.setBrush(glow);
                painter.drawEllipse(box);
                draw(painter, box.adjusted(6, 6, -6, -6));
            });
        };
        toy("DEVICE_BRACELET", [](QPainter& painter, QRectF box) { DrawBracelet(painter, box); });
        toy("DEVICE_JEWELRYBOX", [](QPainter& painter, QRectF box) { DrawJewelryBox(painter, box); });
        toy("DEVICE_LCDGAME", [](QPainter& painter, QRectF box) { DrawHandheldGame(painter, box); });
        toy("ACTION_ADD_FRIENDS", [](QPainter& painter, QRectF box) { DrawFriends(painter, box); });
        toy("ACTION_REDEEM_POINTS", [](QPainter& painter, QRectF box) {
            Butterfly(painter, box.adjusted(0, 4, 0, -10), Pink(), Gold());
            Star(painter, QPointF(box.right() - 8, box.bottom() - 8), 9, Gold());
        });
        const std::pair<const char*, QColor> fairies[] = {{"FAIRY", Purple()},
                                                          {"FAIRY_BLUE", QColor(0x4E, 0x8C, 0xE8)},
                                                          {"FAIRY_GREEN", QColor(0x3C, 0xB0, 0x7A)},
                                                          {"FAIRY_YELLOW", QColor(0xE8, 0xA8, 0x1E)},
                                                          {"FAIRY_RED", QColor(0xE0, 0x4A, 0x6A)}};
        for (const auto& [name, colour] : fairies) {
            const QColor c = colour;
            p.insert(S(name), [c](QPainter& painter, const QRectF& box) { FairyIcon(painter, box, c); });
        }
        p.insert(S("TUTORIAL_BRACELET"), [](QPainter& painter, const QRectF& box) {
            const QString steps[3] = {
                S("Plug in your bracelet\nand set it up\nwith your Fairy."),
                S("Touch your bracelet\nto a friend's bracelet.\nWhen it glows, you\nare friends!"),
                S("Plug it in again and\nopen your friendship\nletters.")};
            const std::function<void(QPainter&, QRectF)> pictures[3] = {
                [](QPainter& pa, QRectF b) { DrawBracelet(pa, b); }, TwoBracelets, Letterbox};
            Tutorial(painter, box, S("How your bracelet works"), steps, pictures);
        });
        p.insert(S("TUTORIAL_JEWELRY_BOX"), [](QPainter& painter, const QRectF& box) {
            const QString steps[3] = {S("Touch a charm\nto your jewelry box."),
                                      S("The box glows:\nyour charm is\nsaved inside!"),
                                      S("Plug it in and give\nthe charm to\nyour Fairy.")};
            const std::function<void(QPainter&, QRectF)> pictures[3] = {CharmTouch, GlowingBox,
                                                                        FairyWithGift};
            Tutorial(painter, box, S("How your jewelry box works"), steps, pictures);
        });
        p.insert(S("TUTORIAL_LCD_GAME"), [](QPainter& painter, const QRectF& box) {
            const QString steps[3] = {S("Play the games on\nyour Rodod Orez."),
                                      S("Every game you play\nearns Glint Points."),
                                      S("Plug it in: give the\npoints to your Fairy\nor get a butterfly!")};
            const std::function<void(QPainter&, QRectF)> pictures[3] = {PlayGame, EarnPoints,
                                                                        FairyWithButterfly};
            Tutorial(painter, box, S("How your Rodod Orez works"), steps, pictures);
        });
        p.insert(S("POPUP_GIFTMSG_BACKGROUND"), [](QPainter& painter, const QRectF& box) {
            SoftPanel(painter, box.adjusted(1, 1, -1, -1), 14, Mix(Deep(), Purple(), 0.4), Deep(), Gold(),
                      2.0);
            Star(painter, QPointF(box.left() + 18, box.center().y()), 8, Gold());
            Star(painter, QPointF(box.right() - 18, box.center().y()), 8, Gold());
        });
        p.insert(S("POPUP_FRIENDS"), [](QPainter& painter, const QRectF& box) { DrawFriends(painter, box); });
        p.insert(S("POPUP_BUTTERFLIES"), [](QPainter& painter, const QRectF& box) {
            Butterfly(painter, QRectF(box.left(), box.top() + 10, 46, 36), Pink(), Gold());
            Butterfly(painter, QRectF(box.left() + 46, box.top(), 50, 40), Gold(), Peach());
            Butterfly(painter, QRectF(box.left() + 94, box.top() + 12, 46, 36), Lilac(), Pink());
        });
        auto howTo = [&p](const char* name, std::function<void(QPainter&, QRectF)> draw) {
            p.insert(S(name), [draw](QPainter& painter, const QRectF& box) {
                SoftPanel(painter, box.adjusted(1, 1, -1, -1), 14, Mix(Cream(), Qt::white, 0.5), Blush(),
                          Gold(), 2.0);
                draw(painter, box.adjusted(8, 8, -8, -8));
            });
        };
        howTo("POPUP_BRACELET_USE", TwoBracelets);
        howTo("POPUP_JEWELRYBOX_USE", CharmTouch);
        howTo("POPUP_LCDGAME_USE", [](QPainter& painter, QRectF box) {
            DrawHandheldGame(painter, QRectF(box.left(), box.top(), box.width() * 0.5, box.height()));
            EarnPoints(painter, QRectF(box.left() + box.width() * 0.5, box.top() + box.height() * 0.25,
                                       box.width() * 0.5, box.height() * 0.5));
        });
        return p;
    }();
    return painters;
}

} // namespace

QImage PaintPicture(const ImageSize& size, int scale) {
    const bool catalogueItem = size.name.startsWith(QLatin1String("CHARM_")) ||
                               size.name.startsWith(QLatin1String("POPUP_CHARM_")) ||
                               size.name.startsWith(QLatin1String("BUTTERFLY_")) ||
                               size.name.startsWith(QLatin1String("POPUP_BUTTERFLY_"));
    if (scale != 1 && catalogueItem) {
        return {};
    }
    QImage image =
        BackdropFor(size.name, size.width, size.height).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (scale != 1) {
        image = image.scaled(size.width * scale, size.height * scale, Qt::IgnoreAspectRatio,
                             Qt::SmoothTransformation);
        image.setDevicePixelRatio(scale);
    }
    QPainter painter(&image);
    PrepareForSoftShapes(painter);
    const QRectF box(0, 0, size.width, size.height);
    if (size.name.startsWith(QLatin1String("CHARM_")) ||
        size.name.startsWith(QLatin1String("POPUP_CHARM_"))) {
        const int id = size.name.section(QLatin1Char('_'), -1).toInt();
        for (const CharmTheme& charm : Charms()) {
            if (charm.id == id) {
                painter.end();
                return PaintCharm(charm, size.width, size.height, image.pixelColor(0, size.height / 2));
            }
        }
    }
    if (size.name.startsWith(QLatin1String("BUTTERFLY_")) ||
        size.name.startsWith(QLatin1String("POPUP_BUTTERFLY_"))) {
        const int id = size.name.section(QLatin1Char('_'), -1).toInt();
        for (const ButterflyTheme& butterfly : Butterflies()) {
            if (butterfly.id == id) {
                painter.end();
                return PaintButterfly(butterfly, size.width, size.height,
                                      image.pixelColor(0, size.height / 2));
            }
        }
    }
    const auto found = Painters().constFind(size.name);
    if (found == Painters().constEnd()) {
        throw std::invalid_argument("no painter for " + size.name.toStdString());
    }
    (*found)(painter, box);
    return image;
}

QImage PaintIcon(int pixels) {
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    PrepareForSoftShapes(painter);
    const double s = pixels;
    SoftPanel(painter, QRectF(s * 0.03, s * 0.03, s * 0.94, s * 0.94), s * 0.22, Mix(Purple(), Pink(), 0.35),
              Deep(), pixels >= 32 ? Gold() : QColor(), pixels >= 32 ? qMax(1.0, s * 0.03) : 0.0);
    Fairy(painter, QRectF(s * 0.12, s * 0.1, s * 0.76, s * 0.82), Qt::white, Mix(Pink(), Qt::white, 0.3),
          pixels >= 32);
    if (pixels >= 48) {
        Sparkle(painter, QPointF(s * 0.22, s * 0.24), s * 0.07, Gold());
        Sparkle(painter, QPointF(s * 0.8, s * 0.78), s * 0.05, Qt::white);
    }
    return image;
}

} // namespace Art
