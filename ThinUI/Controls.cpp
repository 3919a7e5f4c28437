#include "Controls.h"

#include <QVariant>

namespace ThinUI {

namespace {
const char* const kControlIdProperty = "glmControlId";
}

QEvent::Type CommandEvent::Type() {
    static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

bool PlaceControl(QWidget* control, QWidget* dialog, int controlId, int x, int y) {
    if (dialog == nullptr) {
        return false;
    }
    control->setParent(dialog);
    control->setProperty(kControlIdProperty, controlId);
    control->setAttribute(Qt::WA_ShowWithoutActivating);
    control->move(x, y);
    control->show();
    return true;
}

int ControlId(const QWidget* control) {
    return control->property(kControlIdProperty).toInt();
}

QWidget* FindControl(const QWidget* dialog, int controlId) {
    const auto children = dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* child : children) {
        if (ControlId(child) == controlId) {
            return child;
        }
    }
    return nullptr;
}

} // namespace ThinUI
