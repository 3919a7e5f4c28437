#pragma once
// The demo charms (ids 1001-1040) and butterflies (ids 1-8) as the game's catalogue names
// and describes them, and the pictures that show them.

#include <QColor>
#include <QImage>
#include <QString>
#include <vector>

namespace Art {

struct CharmTheme {
    int id;
    QString name;
};

struct ButterflyTheme {
    int id;
    QString name;
    int points;   // price in Glint Points in the game's catalogue
    int days;     // flying time in the game's catalogue
    QColor upper; // fore wings
    QColor lower; // hind wings
    QColor edge;  // wing border
    QColor marks; // dots, veins, crescents or speckles; the tip colour of plain wings
    enum class Pattern { Plain, Dots, Veins, Crescents, Speckles, Rainbow } pattern;
    bool tails; // long tails on the hind wings
};

const std::vector<CharmTheme>& Charms();
const std::vector<ButterflyTheme>& Butterflies();

/// The charm as it sits in the charm list (89 x 51) or in the congratulation popup (56 x 42).
QImage PaintCharm(const CharmTheme& charm, int width, int height, const QColor& backdrop);

/// The butterfly strip picture (368 x 56) or the popup picture (64 x 36).
QImage PaintButterfly(const ButterflyTheme& butterfly, int width, int height, const QColor& backdrop);

} // namespace Art
