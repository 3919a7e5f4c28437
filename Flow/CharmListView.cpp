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
    SetUpSkinList(*this);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setIconSize(QSize(kCharmImageWidth, kCharmImageHeight));
    setSpacing(0);
    setGridSize(QSize(kCharmItemStep, kCharmListHeight));
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);
}

QRect CharmListView::ItemRect(int index) const {
    return visualRect(model()->index(index, 0));
}

} // namespace Glm
