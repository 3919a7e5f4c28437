#include "ScreenLabels.h"

#include "Glimmeries.h"

#include <QFont>
#include <QListWidget>

namespace Glm {

ThinUI::TextLabel* AddPageLabel(QWidget& screen, int controlId, int x, int y, ThinUI::ColorRef color,
                                int height, unsigned stringId) {
    auto* label = new ThinUI::TextLabel(color, ThinUI::kTransparent, false, 700, height, "arial", stringId);
    if (!label->Attach(&screen, controlId, x, y)) {
        // A text missing from the string table: the label stays the screen's
        // (empty) child, so it is still found and owned.
        label->setParent(&screen);
        label->move(x, y);
    }
    return label;
}

ThinUI::TextLabel* AddVersionLabel(QWidget& screen, Glimmeries& application, int controlId) {
    ThinUI::TextLabel* label = AddPageLabel(screen, controlId, kVersionX, kVersionY, kPageTextColor, 14);
    label->SetText(application.GetParameter("PATCHER_VERSION_STRING_SERVER"));
    return label;
}

std::string BreakIntoTwoLines(std::string text) {
    const std::size_t space = text.rfind(' ', text.size() / 2);
    if (!text.empty() && space != std::string::npos) {
        text[space] = '\n';
    }
    return text;
}

void SetUpSkinList(QListWidget& list) {
    list.setMovement(QListView::Static);
    list.setResizeMode(QListView::Fixed);
    list.setSelectionMode(QAbstractItemView::SingleSelection);
    list.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list.setFrameShape(QFrame::NoFrame);
    list.setEditTriggers(QAbstractItemView::NoEditTriggers);
    list.setDragEnabled(false);
    // No background behind the items or their texts: the skin shows through.
    const QColor text = ThinUI::ToQColor(kPageTextColor);
    list.setStyleSheet(
        QStringLiteral("QListWidget { background: transparent; border: none; color: %1; }").arg(text.name()));
    list.viewport()->setAutoFillBackground(false);
    QFont font(QStringLiteral("arial"));
    font.setBold(true);
    font.setPixelSize(14);
    list.setFont(font);
}

} // namespace Glm
