#include "KeyboardAccess.h"

#include "ThinUI/Accessibility.h"
#include "ThinUI/Controls.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <algorithm>
#include <limits>

namespace Glm {

namespace {

bool VisitedByTab(const QWidget& control) {
    return control.isVisibleTo(control.parentWidget()) && control.isEnabled() &&
           (control.focusPolicy() & Qt::TabFocus) != 0 && !control.isWindow();
}

/// The controls Tab visits: the page's own, and inside a container without
/// keyboard handling of its own (a plain widget holding controls) its
/// controls in turn.
void Collect(const QWidget& parent, std::vector<QWidget*>& controls) {
    for (QWidget* child : parent.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->isWindow() || !child->isVisibleTo(&parent)) {
            continue;
        }
        if (VisitedByTab(*child)) {
            controls.push_back(child);
        } else if (child->focusPolicy() == Qt::NoFocus) {
            Collect(*child, controls);
        }
    }
}

/// The label text nearest to the left of control on its row, or else just
/// above it; empty when there is none close by.
QString NearbyLabelText(const QWidget& page, const QWidget& control) {
    const QRect at(control.mapTo(&page, QPoint(0, 0)), control.size());
    constexpr int kReach = 160;
    QString best;
    int bestDistance = std::numeric_limits<int>::max();
    for (const QWidget* other : page.findChildren<QWidget*>()) {
        if (other == &control || !other->isVisibleTo(&page) ||
            ThinUI::GetAccessibleRole(*other) != QAccessible::StaticText ||
            other->accessibleName().isEmpty()) {
            continue;
        }
        const QRect label(other->mapTo(&page, QPoint(0, 0)), other->size());
        const bool leftOnRow =
            label.right() <= at.left() && label.bottom() >= at.top() && label.top() <= at.bottom();
        const bool above =
            label.bottom() <= at.top() && label.right() >= at.left() && label.left() <= at.right();
        const int distance = leftOnRow ? at.left() - label.right()
                             : above   ? at.top() - label.bottom()
                                       : kReach;
        if (distance < kReach && distance < bestDistance) {
            bestDistance = distance;
            best = other->accessibleName();
        }
    }
    return best;
}

/// Fields whose label is part of the skin's picture, which no control
/// carries: (dialog, item id) and the label's words.
QString SkinLabel(int dialogId, int controlId) {
    struct Field {
        int dialogId;
        int controlId;
        const char* name;
    };
    static constexpr Field kFields[] = {
        {110, 1001, "Account ID"}, // the sign-in page
        {110, 1002, "Password"},
        {152, 1197, "Toys"}, // the devices page's list
    };
    for (const Field& field : kFields) {
        if (field.dialogId == dialogId && field.controlId == controlId) {
            return QString::fromUtf8(field.name);
        }
    }
    return {};
}

QString KindName(const QWidget& control) {
    if (const auto* edit = qobject_cast<const QLineEdit*>(&control)) {
        if (edit->echoMode() != QLineEdit::Normal) {
            return QStringLiteral("Password");
        }
        if (!edit->placeholderText().isEmpty()) {
            return edit->placeholderText();
        }
        return QStringLiteral("Text field");
    }
    if (qobject_cast<const QComboBox*>(&control) != nullptr) {
        return QStringLiteral("Choice");
    }
    if (qobject_cast<const QAbstractItemView*>(&control) != nullptr) {
        return QStringLiteral("List");
    }
    return {};
}

/// Turns Enter on a list into the double click the pages listen for.
class EnterChoosesItem : public QObject {
public:
    explicit EnterChoosesItem(QAbstractItemView& list) : QObject(&list), m_list(list) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != &m_list || event->type() != QEvent::KeyPress) {
            return false;
        }
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) || key->isAutoRepeat() ||
            !m_list.currentIndex().isValid()) {
            return false;
        }
        emit m_list.doubleClicked(m_list.currentIndex());
        return true;
    }

private:
    QAbstractItemView& m_list;
};

const char* const kEnterChoosesProperty = "glmEnterChooses";

} // namespace

std::vector<QWidget*> ReadingOrder(const QWidget& page) {
    std::vector<QWidget*> controls;
    Collect(page, controls);
    struct Placed {
        QWidget* control;
        QRect rect;
    };
    std::vector<Placed> placed;
    for (QWidget* control : controls) {
        placed.push_back({control, QRect(control->mapTo(&page, QPoint(0, 0)), control->size())});
    }
    std::stable_sort(placed.begin(), placed.end(),
                     [](const Placed& a, const Placed& b) { return a.rect.top() < b.rect.top(); });
    // Rows: a control belongs to the row it overlaps for at least half of
    // the shorter height (title-bar buttons a few pixels apart are one row).
    std::vector<std::vector<Placed>> rows;
    for (const Placed& control : placed) {
        if (!rows.empty()) {
            const QRect& first = rows.back().front().rect;
            const int overlap = std::min(first.bottom(), control.rect.bottom()) - control.rect.top() + 1;
            const int shorter = std::max(1, std::min(first.height(), control.rect.height()));
            if (overlap * 2 >= shorter) {
                rows.back().push_back(control);
                continue;
            }
        }
        rows.push_back({control});
    }
    std::vector<QWidget*> order;
    for (auto& row : rows) {
        std::stable_sort(row.begin(), row.end(),
                         [](const Placed& a, const Placed& b) { return a.rect.left() < b.rect.left(); });
        for (const Placed& control : row) {
            order.push_back(control.control);
        }
    }
    return order;
}

bool MoveFocusInReadingOrder(QWidget& page, bool next) {
    const std::vector<QWidget*> order = ReadingOrder(page);
    if (order.empty()) {
        return false;
    }
    QWidget* focused = QApplication::focusWidget();
    auto at = std::find_if(order.begin(), order.end(), [focused](QWidget* control) {
        return focused != nullptr && (control == focused || control->isAncestorOf(focused));
    });
    const auto count = static_cast<std::ptrdiff_t>(order.size());
    std::ptrdiff_t index = 0;
    if (at == order.end()) {
        index = next ? 0 : count - 1;
    } else {
        index = ((at - order.begin()) + (next ? 1 : count - 1)) % count;
    }
    order[static_cast<std::size_t>(index)]->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}

void NameUnnamedControls(QWidget& page, int dialogId) {
    for (QWidget* control : ReadingOrder(page)) {
        if (!control->accessibleName().isEmpty()) {
            continue;
        }
        QString name = SkinLabel(dialogId, ThinUI::ControlId(control));
        if (name.isEmpty()) {
            name = NearbyLabelText(page, *control);
        }
        if (name.isEmpty()) {
            name = KindName(*control);
        }
        if (!name.isEmpty()) {
            control->setAccessibleName(name);
        }
    }
}

} // namespace Glm

namespace Glm {

void LetEnterChooseListItems(QWidget& page) {
    for (QAbstractItemView* list : page.findChildren<QAbstractItemView*>()) {
        if (list->property(kEnterChoosesProperty).toBool()) {
            continue;
        }
        list->setProperty(kEnterChoosesProperty, true);
        // Owned by the list, as its child.
        list->installEventFilter(new EnterChoosesItem(*list));
    }
}

} // namespace Glm
