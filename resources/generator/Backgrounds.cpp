#include "Art.h"
#include "Painting.h"
#include "Palette.h"
#include "Random.h"

#include <QHash>
#include <QRadialGradient>
#include <cmath>
#include <stdexcept>

namespace Art {

namespace {

const QRectF kPanel(34, 62, 682, 426);
const QRect kWindow(18, 1, 727 - 18, 497 - 1); // the frame mask keeps exactly this, with round corners
constexpr int kWindowRadius = 24;
constexpr int kPopupRadius = 12;

bool InsideRoundedRect(int x, int y, const QRect& rect, int radius) {
    if (!rect.contains(x, y)) {
        return false;
    }
    // distance from the pixel centre to the nearest corner circle centre
    const double cx = x + 0.5, cy = y + 0.5;
    const double left = rect.left() + radius, right = rect.left() + rect.width() - radius;
    const double top = rect.top() + radius, bottom = rect.top() + rect.height() - radius;
    const double dx = cx < left ? left - cx : (cx > right ? cx - right : 0.0);
    const double dy = cy < top ? top - cy : (cy > bottom ? cy - bottom : 0.0);
    return dx * dx + dy * dy <= static_cast<double>(radius) * radius;
}

std::vector<QRectF> ToF(const std::vector<QRect>& rects) {
    std::vector<QRectF> out;
    for (const QRect& rect : rects) {
        out.push_back(QRectF(rect).adjusted(-4, -4, 4, 4));
    }
    return out;
}

void TitleLogo(QPainter& painter) {
    Letter(painter, QRectF(250, 6, 250, 44), QStringLiteral("Glimmeries"), 30, Gold(), Deep(), 2.0);
    Star(painter, QPointF(243, 27), 7, Pink(), QColor(), 10);
    Star(painter, QPointF(507, 27), 7, Pink(), QColor(), -10);
    Sparkle(painter, QPointF(496, 12), 4, Qt::white);
}

QImage MakeBase() {
    QImage image = Canvas(750, 500, Deep());
    QPainter painter(&image);
    PrepareForSoftShapes(painter);
    QLinearGradient sky(QPointF(0, 0), QPointF(0, 500));
    sky.setColorAt(0.0, Mix(Deep(), Purple(), 0.35));
    sky.setColorAt(1.0, Purple());
    painter.setPen(Qt::NoPen);
    painter.setBrush(sky);
    painter.drawRoundedRect(QRectF(kWindow), kWindowRadius, kWindowRadius);
    for (const auto& [centre, colour] : {std::pair{QPointF(90, 20), QColor(0xFF, 0x9C, 0xCB, 90)},
                                         std::pair{QPointF(690, 480), QColor(0xF7, 0xC9, 0x5C, 70)}}) {
        QRadialGradient glow(centre, 260);
        glow.setColorAt(0.0, colour);
        glow.setColorAt(1.0, QColor(colour.red(), colour.green(), colour.blue(), 0));
        painter.setBrush(glow);
        painter.drawRoundedRect(QRectF(kWindow), kWindowRadius, kWindowRadius);
    }
    TitleLogo(painter);
    // Sparkles in the title bar, clear of every title-bar control and the logo.
    std::vector<QRectF> keepOut = {QRectF(236, 0, 278, 56), QRectF(58, 8, 146, 42), QRectF(614, 8, 80, 60),
                                   kPanel.adjusted(-6, -6, 6, 6)};
    Random random(0x61A5u);
    SparkleField(painter, QRectF(30, 6, 690, 50), 12, random, keepOut, 1.5, 3.5);
    SoftPanel(painter, kPanel, 26, Cream(), Blush(), Lilac(), 3.0);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(0xF7, 0xC9, 0x5C, 150), 1.0));
    painter.drawRoundedRect(kPanel.adjusted(6, 6, -6, -6), 21, 21);
    const QColor corners[4] = {Pink(), Gold(), Lilac(), Peach()};
    const QPointF spots[4] = {QPointF(50, 78), QPointF(700, 78), QPointF(50, 472), QPointF(700, 472)};
    for (int i = 0; i < 4; ++i) {
        Flower(painter, spots[i], 9, 5, corners[i], Gold(), 15.0 * i);
    }
    return image;
}

void AvatarStage(QPainter& painter, const QRect& avatar) {
    const QRectF glow = QRectF(avatar).adjusted(-10, -8, 10, 10);
    QRadialGradient gradient(glow.center(), glow.width() * 0.7);
    gradient.setColorAt(0.0, QColor(0xD3, 0xB0, 0xD2, 200));
    gradient.setColorAt(0.75, QColor(0xD3, 0xB0, 0xD2, 120));
    gradient.setColorAt(1.0, QColor(0xD3, 0xB0, 0xD2, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(gradient);
    painter.drawEllipse(glow);
}

void Well(QPainter& painter, const QRectF& rect) {
    painter.setBrush(QColor(255, 255, 255, 150));
    painter.setPen(QPen(Lilac(), 2.0));
    painter.drawRoundedRect(rect, 14, 14);
}

void Field(QPainter& painter, const QRectF& rect) {
    painter.setBrush(Qt::white);
    painter.setPen(QPen(Purple(), 1.5));
    painter.drawRoundedRect(rect, 6, 6);
}

// Draws what is particular to one background; returns the rectangles it drew into.
std::vector<QRectF> PaintContent(QPainter& painter, const QString& name) {
    std::vector<QRectF> drawn;
    auto letter = [&](const QRectF& box, const QString& text, double size,
                      Qt::Alignment align = Qt::AlignCenter, const QColor& fill = Deep()) {
        Letter(painter, box, text, size, fill, Qt::white, 1.5, align);
        drawn.push_back(box);
    };
    auto heading = [&](const QRectF& box, const QString& text) {
        Letter(painter, box, text, 28, Purple(), Qt::white, 2.5);
        drawn.push_back(box);
    };
    auto avatars = [&](int left, int top, int right, int bottom, int step) {
        for (int i = 0; i < 3; ++i) {
            AvatarStage(painter, QRect(left + i * step, top, right - left, bottom - top));
        }
    };
    if (name == QLatin1String("BACKGROUND_SPLASH")) {
        Fairy(painter, QRectF(300, 90, 150, 180), Purple(), Pink());
        drawn.push_back(QRectF(290, 80, 180, 200));
        Letter(painter, QRectF(175, 285, 400, 60), QStringLiteral("Glimmeries"), 46, Purple(), Gold(), 2.5);
        drawn.push_back(QRectF(175, 285, 400, 60));
        letter(QRectF(200, 395, 350, 26), QStringLiteral("Waking up the fairies..."), 17);
        Field(painter, QRectF(262, 426, 225, 24));
        drawn.push_back(QRectF(262, 426, 225, 24));
    } else if (name == QLatin1String("BACKGROUND_SIGNIN")) {
        heading(QRectF(225, 140, 300, 44), QStringLiteral("Welcome back!"));
        letter(QRectF(190, 192, 370, 26), QStringLiteral("Sign in with your family account"), 16);
        Fairy(painter, QRectF(85, 170, 140, 200), Purple(), Pink());
        drawn.push_back(QRectF(80, 160, 150, 220));
        letter(QRectF(230, 268, 148, 22), QStringLiteral("Account ID"), 15, Qt::AlignRight);
        letter(QRectF(230, 294, 148, 22), QStringLiteral("Password"), 15, Qt::AlignRight);
        Field(painter, QRectF(384, 268, 109, 23));
        Field(painter, QRectF(384, 294, 109, 23));
        letter(QRectF(225, 404, 158, 20), QStringLiteral("New here?"), 13, Qt::AlignRight, Purple());
        letter(QRectF(200, 420, 128, 20), QStringLiteral("Forgot your"), 13, Qt::AlignRight, Purple());
        Flower(painter, QPointF(600, 390), 16, 6, Pink(), Gold());
        Flower(painter, QPointF(640, 430), 12, 5, Lilac(), Gold(), 20);
        Flower(painter, QPointF(585, 444), 9, 5, Peach(), Gold(), 40);
    } else if (name == QLatin1String("BACKGROUND_SIGNUP")) {
        Fairy(painter, QRectF(80, 190, 140, 200), Purple(), Gold());
        drawn.push_back(QRectF(75, 180, 150, 220));
        letter(QRectF(225, 404, 158, 20), QStringLiteral("No account yet?"), 13, Qt::AlignRight, Purple());
        letter(QRectF(200, 420, 128, 20), QStringLiteral("Forgot your"), 13, Qt::AlignRight, Purple());
        Flower(painter, QPointF(600, 250), 18, 6, Pink(), Gold());
        Flower(painter, QPointF(640, 300), 12, 5, Lilac(), Gold(), 20);
        Flower(painter, QPointF(590, 320), 9, 5, Peach(), Gold(), 40);
    } else if (name == QLatin1String("BACKGROUND_DEVICEMNGR")) {
        Well(painter, QRectF(210, 254, 330, 182));
        drawn.push_back(QRectF(206, 250, 338, 190));
    } else if (name == QLatin1String("BACKGROUND_DEVICE_RESET")) {
        heading(QRectF(225, 116, 300, 44), QStringLiteral("Reset your toy"));
        letter(
            QRectF(130, 170, 490, 70),
            QStringLiteral("Ask a grown-up for the toy reset code,\ntype it in the box and press Reset now."),
            16);
        letter(QRectF(170, 298, 118, 22), QStringLiteral("Reset code"), 15, Qt::AlignRight);
        Field(painter, QRectF(295, 295, 160, 28));
        drawn.push_back(QRectF(295, 295, 160, 28));
    } else if (name == QLatin1String("BACKGROUND_CHANGEBRACELET") ||
               name == QLatin1String("BACKGROUND_SETUPBRACELET")) {
        avatars(214, 203, 319, 362, 133);
        letter(QRectF(140, 376, 106, 22), QStringLiteral("Message"), 14, Qt::AlignRight, Purple());
        letter(QRectF(140, 414, 106, 17), QStringLiteral("Gift"), 14, Qt::AlignRight, Purple());
        Field(painter, QRectF(251, 375, 267, 25));
        Field(painter, QRectF(251, 414, 267, 25));
    } else if (name == QLatin1String("BACKGROUND_ADDCHARMS")) {
        avatars(193, 158, 298, 317, 133);
        Well(painter, QRectF(220, 358, 314, 122));
        drawn.push_back(QRectF(216, 354, 322, 130));
    } else if (name == QLatin1String("BACKGROUND_CHARMS_COLLECTION")) {
        heading(QRectF(190, 110, 370, 46), QStringLiteral("My charm collection"));
        SoftPanel(painter, QRectF(178, 164, 456, 282), 10, Qt::white, Qt::white, Gold(), 4.0);
        drawn.push_back(QRectF(174, 160, 464, 290));
    } else if (name == QLatin1String("BACKGROUND_ADD_GLINT_POINTS")) {
        avatars(180, 244, 285, 403, 146);
    } else if (name == QLatin1String("BACKGROUND_REDEEM_GLINT_POINTS")) {
        avatars(165, 170, 270, 329, 162);
        Well(painter, QRectF(177, 382, 395, 98));
        drawn.push_back(QRectF(173, 378, 403, 106));
    } else if (name != QLatin1String("BACKGROUND_MAIN")) {
        throw std::invalid_argument("unknown background " + name.toStdString());
    }
    return drawn;
}

} // namespace

const QImage& BaseBackground() {
    static const QImage base = MakeBase();
    return base;
}

QImage PaintBackground(const QString& name) {
    static QHash<QString, QImage> cache;
    const auto found = cache.constFind(name);
    if (found != cache.constEnd()) {
        return *found;
    }
    QImage image = BaseBackground().copy();
    QPainter painter(&image);
    PrepareForSoftShapes(painter);
    std::vector<QRectF> keepOut = PaintContent(painter, name);
    for (const QRectF& rect : ToF(ControlRectsOn(name))) {
        keepOut.push_back(rect);
    }
    Random random(
        SeedOf(reinterpret_cast<const char16_t*>(name.utf16()), static_cast<std::uint32_t>(name.size())));
    SparkleField(painter, kPanel.adjusted(20, 20, -20, -20), 16, random, keepOut, 2.0, 4.5);
    painter.end();
    cache.insert(name, image);
    return image;
}

QImage PaintMask(bool popup) {
    QImage image(750, 500, QImage::Format_RGB32);
    const QRect kept = popup ? PopupBox() : kWindow;
    const int radius = popup ? kPopupRadius : kWindowRadius;
    for (int y = 0; y < image.height(); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            row[x] = InsideRoundedRect(x, y, kept, radius) ? qRgb(0, 0, 0) : qRgb(255, 255, 255);
        }
    }
    return image;
}

QColor PanelColourAt(int y) {
    return BaseBackground().pixelColor(375, qBound(70, y, 480));
}

QImage BackdropFor(const QString& name, int width, int height) {
    QString home = name;
    if (name.startsWith(QLatin1String("CHARM_"))) {
        home = QStringLiteral("CHARM_1001");
    } else if (name.startsWith(QLatin1String("BUTTERFLY_"))) {
        home = QStringLiteral("BUTTERFLY_1");
    }
    const Screen* screen = nullptr;
    const Placement* placement = HomeOf(home, &screen);
    if (placement && screen && !screen->background.isEmpty()) {
        return PaintBackground(screen->background).copy(placement->x, placement->y, width, height);
    }
    if (!placement && !name.startsWith(QLatin1String("POPUP_"))) {
        return Canvas(width, height, PanelColourAt(300));
    }
    return Canvas(width, height, Purple());
}

} // namespace Art
