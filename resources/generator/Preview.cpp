#include "Preview.h"

#include "Art.h"
#include "Layout.h"
#include "Painting.h"
#include "Palette.h"

#include <QBuffer>
#include <QImageWriter>
#include <stdexcept>

namespace Art {

namespace {

QByteArray Png(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image)) {
        throw std::runtime_error("cannot encode a preview: " + writer.errorString().toStdString());
    }
    return bytes;
}

QImage ComposeScreen(const ArtSet& art, const Screen& screen) {
    QImage sheet = Canvas(750, 500, QColor(0x30, 0x30, 0x30));
    QPainter painter(&sheet);
    PrepareForSoftShapes(painter);
    if (screen.background.isEmpty()) {
        // the frame beneath, dimmed, and the popup body cut by the popup mask
        painter.drawImage(0, 0, art.Find(QStringLiteral("BACKGROUND_MAIN"))->image);
        painter.fillRect(QRect(0, 0, 750, 500), QColor(0, 0, 0, 110));
        const QImage mask = art.Find(QStringLiteral("BACKGROUND_POPUP_MASK"))->image;
        for (int y = 0; y < 500; ++y) {
            for (int x = 0; x < 750; ++x) {
                if (qRed(mask.pixel(x, y)) < 128) {
                    sheet.setPixel(x, y, Purple().rgb());
                }
            }
        }
    } else {
        painter.drawImage(0, 0, art.Find(screen.background)->image);
        const QImage mask = art.Find(QStringLiteral("BACKGROUND_MASK"))->image;
        for (int y = 0; y < 500; ++y) {
            for (int x = 0; x < 750; ++x) {
                if (qRed(mask.pixel(x, y)) >= 128) {
                    sheet.setPixel(x, y, qRgb(0x30, 0x30, 0x30));
                }
            }
        }
    }
    for (const Placement& placement : screen.placements) {
        const Resource* resource = art.Find(placement.name);
        if (!resource) {
            throw std::runtime_error("preview names a missing resource " + placement.name.toStdString());
        }
        const int frameHeight = resource->height / resource->frames;
        painter.drawImage(QPoint(placement.x, placement.y), resource->image,
                          QRect(0, 0, resource->width, frameHeight));
    }
    painter.setFont(QFont(QStringLiteral("Liberation Sans"), 8));
    for (const Box& box : screen.boxes) {
        const QColor colour = box.kind == QLatin1String("label") || box.kind == QLatin1String("link")
                                  ? QColor(0, 160, 255)
                                  : QColor(255, 90, 0);
        painter.setPen(QPen(colour, 1.0, Qt::DashLine));
        painter.setBrush(QColor(colour.red(), colour.green(), colour.blue(), 40));
        painter.drawRect(QRectF(box.rect).adjusted(0.5, 0.5, -0.5, -0.5));
        painter.setPen(colour.darker(150));
        painter.drawText(QRectF(box.rect).adjusted(2, 0, 0, 0),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                         box.kind + QStringLiteral(": ") + box.text);
    }
    return sheet;
}

QImage ContactSheet(const ArtSet& art) {
    std::vector<const Resource*> buttons;
    for (const Resource& resource : art.Resources()) {
        if (resource.type == QLatin1String("JPG") && IsButton(resource.name)) {
            buttons.push_back(&resource);
        }
    }
    // one row per button: its frames side by side, then its name
    int height = 10;
    for (const Resource* button : buttons) {
        height += button->height / button->frames + 10;
    }
    QImage sheet = Canvas(1000, height, QColor(0xF4, 0xF0, 0xF4));
    QPainter painter(&sheet);
    painter.setFont(QFont(QStringLiteral("Liberation Sans"), 9));
    int y = 10;
    for (const Resource* button : buttons) {
        const int frameHeight = button->height / button->frames;
        for (int frame = 0; frame < button->frames; ++frame) {
            painter.drawImage(QPoint(10 + frame * (button->width + 10), y), button->image,
                              QRect(0, frame * frameHeight, button->width, frameHeight));
        }
        painter.setPen(Qt::black);
        painter.drawText(QPointF(20 + 4 * 137, y + 14),
                         button->name + QStringLiteral(" (%1 frames)").arg(button->frames));
        y += frameHeight + 10;
    }
    return sheet;
}

QImage CatalogueSheet(const ArtSet& art) {
    QImage sheet = Canvas(1000, 760, QColor(0xF4, 0xF0, 0xF4));
    QPainter painter(&sheet);
    painter.setFont(QFont(QStringLiteral("Liberation Sans"), 8));
    painter.setPen(Qt::black);
    for (int i = 0; i < 40; ++i) {
        const int id = 1001 + i;
        const QPoint at(10 + (i % 8) * 122, 10 + (i / 8) * 84);
        painter.drawImage(at, art.Find(QStringLiteral("CHARM_%1").arg(id))->image);
        painter.drawImage(at + QPoint(92, 4),
                          art.Find(QStringLiteral("POPUP_CHARM_%1").arg(id))->image.scaled(28, 21));
        painter.drawText(at + QPoint(0, 64), QString::number(id));
    }
    for (int id = 1; id <= 8; ++id) {
        const QPoint at(10 + ((id - 1) % 2) * 480, 440 + ((id - 1) / 2) * 76);
        painter.drawImage(at, art.Find(QStringLiteral("BUTTERFLY_%1").arg(id))->image);
        painter.drawImage(at + QPoint(376, 10),
                          art.Find(QStringLiteral("POPUP_BUTTERFLY_%1").arg(id))->image);
    }
    return sheet;
}

} // namespace

void WritePreviews(const ArtSet& art, const QString& directory) {
    for (const Screen& screen : Screens()) {
        WriteFile(directory + QLatin1Char('/') + screen.id + QStringLiteral(".png"),
                  Png(ComposeScreen(art, screen)));
    }
    WriteFile(directory + QStringLiteral("/buttons.png"), Png(ContactSheet(art)));
    WriteFile(directory + QStringLiteral("/catalogue.png"), Png(CatalogueSheet(art)));
}

} // namespace Art
