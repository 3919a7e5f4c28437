#pragma once
// The charm page's list: the charms a toy holds as pictures with their
// names on one row, and the naming of the charms the toy reports.

#include "Tools/CatalogueStrip.h"
#include "webapi/CharmInventory.h"

#include <QListWidget>
#include <string>

namespace Glm {

/// From one item's left edge to the next: a picture and a gap.
constexpr int kCharmItemStep = kCharmImageWidth + 10;
constexpr int kCharmListHeight = 110;

/// The charm list: pictures with their names on one row, the skin showing
/// through, scrolled only by the page's arrows.
class CharmListView : public QListWidget {
public:
    explicit CharmListView(QWidget* parent);
    /// Where the item with that index is drawn, in the list's pixels.
    QRect ItemRect(int index) const;
};

/// Names every positive item id: the catalogue's name when it has the
/// charm, an empty one otherwise. The toy reads through it, so a charm the
/// catalogue lacks still reaches the page, which refuses it with a message
/// instead of leaving the user without a word.
class HeldCharmNames : public CharmLookup {
public:
    explicit HeldCharmNames(const CharmInventory& catalogue) : m_catalogue(catalogue) {}
    bool FindCharmName(std::int32_t id, std::string& name) const override;

private:
    const CharmInventory& m_catalogue;
};

} // namespace Glm
