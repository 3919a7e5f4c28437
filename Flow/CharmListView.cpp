#include "CharmListView.h"

#include "ScreenLabels.h"
#include "ThinUI/Colors.h"

namespace Glm {

bool HeldCharmNames::FindCharmName(std::int32_t id, std::string& name) const {
    if (id <= 0) {
        return false;
    }
    if (!m_catalogue.FindCharmName(id, name)) {
        name.clear();
    }
    return true;
}

CharmListView::CharmListView(QWidget* parent) : QListWidget(parent) {
    setViewMode(QListView::IconMode);
    setFlow(QListView::LeftToRight);
    setWrapping(false);
    setMovement(QListView::Static);
    setResizeMode(QListView::Fixed);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setIconSize(QSize(kCharmImageWidth, kCharmImageHeight));
    setSpacing(0);
    setGridSize(QSize(kCharmItemStep, kCharmListHeight));
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);
    setFrameShape(QFrame::NoFrame);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(false);
    // No background behind the items or their texts: the skin shows through.
    const QColor text = ThinUI::ToQColor(kPageTextColor);
    setStyleSheet(
        QStringLiteral("QListWidget { background: transparent; border: none; color: %1; }").arg(text.name()));
    viewport()->setAutoFillBackground(false);
    QFont font(QStringLiteral("arial"));
    font.setBold(true);
    font.setPixelSize(14);
    setFont(font);
}

QRect CharmListView::ItemRect(int index) const {
    return visualRect(model()->index(index, 0));
}

} // namespace Glm
