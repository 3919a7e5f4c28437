#pragma once
// The demo charms (ids 1001-1040) and butterflies (ids 1-8): their names and themes, and
// the pictures that show them.

#include <QColor>
#include <QImage>
#include <QString>
#include <vector>

namespace Art {

struct CharmTheme {
    int id;
    QString name;
    QString category; // five categories of eight; a full category earns a badge
};

struct ButterflyTheme {
    int id;
    QString name;
    int points;   // suggested price in Glint Points
    int days;     // suggested flying time
    QColor upper; // fore wings
    QColor lower; // hind wings
};

const std::vector<CharmTheme>& Charms();
const std::vector<ButterflyTheme>& Butterflies();

/// The charm as it sits in the charm list (89 x 51) or in the congratulation popup (56 x 42).
QImage PaintCharm(const CharmTheme& charm, int width, int height, const QColor& backdrop);

/// The butterfly strip picture (368 x 56) or the popup picture (64 x 36).
QImage PaintButterfly(const ButterflyTheme& butterfly, int width, int height, const QColor& backdrop);

} // namespace Art
