// The picture tolerance lets through what another CPU's rounding does to
// antialiased edges, and nothing a person would see.

#include "ArtComparison.h"

#include "ResourceTable.h"

#include <QBuffer>
#include <QFile>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

using ResourceTests::ComparePictureFiles;
using ResourceTests::ComparePictures;

QImage Committed(const QString& relative) {
    QImage image(ResourceTests::SourceDir() + QStringLiteral("/resources/") + relative);
    EXPECT_FALSE(image.isNull()) << qPrintable(relative);
    return image;
}

QImage Disc(QPoint centre, QColor colour) {
    QImage image(128, 128, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawEllipse(centre, 30, 30);
    return image;
}

QByteArray Encoded(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

TEST(ArtComparisonTest, EdgeRoundingOfAnotherCpuPasses) {
    const QImage committed = Committed(QStringLiteral("ICON/128_128.png"));
    ASSERT_FALSE(committed.isNull());
    EXPECT_TRUE(ComparePictures(committed, committed).isEmpty());

    // What another instruction set does: 30 antialiased pixels a few levels off.
    QImage rounded = committed.convertToFormat(QImage::Format_ARGB32);
    int changed = 0;
    for (int y = 1; y < rounded.height() && changed < 30; ++y) {
        for (int x = 1; x < rounded.width() && changed < 30; ++x) {
            const QRgb pixel = rounded.pixel(x, y);
            if (qAlpha(pixel) > 0 && qAlpha(pixel) < 255) {
                const int step = changed % 2 == 0 ? 9 : -9;
                rounded.setPixel(x, y,
                                 qRgba(qBound(0, qRed(pixel) + step, 255), qGreen(pixel),
                                       qBound(0, qBlue(pixel) - step, 255),
                                       qBound(1, qAlpha(pixel) + step, 254)));
                ++changed;
            }
        }
    }
    ASSERT_EQ(changed, 30) << "the icon has too few antialiased pixels for this test";
    rounded = rounded.convertToFormat(committed.format());
    EXPECT_TRUE(ComparePictures(rounded, committed).isEmpty())
        << qPrintable(ComparePictures(rounded, committed));
    EXPECT_TRUE(ComparePictureFiles(Encoded(rounded, "PNG"), Encoded(committed, "PNG")).isEmpty());
}

TEST(ArtComparisonTest, MovedShapeFails) {
    const QImage here = Disc({64, 64}, QColor(200, 60, 140));
    EXPECT_TRUE(ComparePictures(Disc({64, 64}, QColor(200, 60, 140)), here).isEmpty());
    EXPECT_FALSE(ComparePictures(Disc({65, 64}, QColor(200, 60, 140)), here).isEmpty());
    EXPECT_FALSE(ComparePictures(Disc({64, 66}, QColor(200, 60, 140)), here).isEmpty());

    // The committed icon, moved one pixel to the right.
    const QImage committed = Committed(QStringLiteral("ICON/128_128.png"));
    QImage moved(committed.size(), committed.format());
    moved.fill(Qt::transparent);
    QPainter(&moved).drawImage(1, 0, committed);
    EXPECT_FALSE(ComparePictures(moved, committed).isEmpty());
}

TEST(ArtComparisonTest, ChangedColourFails) {
    const QImage pink = Disc({64, 64}, QColor(200, 60, 140));
    // A change too small for any channel limit still shows over a whole shape.
    EXPECT_FALSE(ComparePictures(Disc({64, 64}, QColor(208, 60, 140)), pink).isEmpty());
    EXPECT_FALSE(ComparePictures(Disc({64, 64}, QColor(60, 200, 140)), pink).isEmpty());

    // A JPEG background with one area recoloured, through the file comparison.
    const QString name = QStringLiteral("JPG/BACKGROUND_CHARMS_COLLECTION.jpg");
    QFile file(ResourceTests::SourceDir() + QStringLiteral("/resources/") + name);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray committed = file.readAll();
    EXPECT_TRUE(ComparePictureFiles(committed, committed).isEmpty());
    QImage recoloured = Committed(name);
    QPainter(&recoloured).fillRect(QRect(40, 40, 60, 40), QColor(30, 120, 220));
    EXPECT_FALSE(ComparePictureFiles(Encoded(recoloured, "JPEG"), committed).isEmpty());
}

TEST(ArtComparisonTest, OtherSizeOrFormatFails) {
    const QImage committed = Committed(QStringLiteral("ICON/128_128.png"));
    EXPECT_FALSE(ComparePictures(committed.scaled(127, 128), committed).isEmpty());
    EXPECT_FALSE(ComparePictures(committed.convertToFormat(QImage::Format_Grayscale8), committed).isEmpty());
    EXPECT_FALSE(ComparePictureFiles(Encoded(committed, "BMP"), Encoded(committed, "PNG")).isEmpty());
    EXPECT_FALSE(ComparePictureFiles(QByteArray("not a picture"), Encoded(committed, "PNG")).isEmpty());
}

} // namespace
