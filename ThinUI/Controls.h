#pragma once
// What every control shares: its item id on the dialog, and the command a
// button posts to its dialog when clicked.

#include <QEvent>
#include <QWidget>
#include <memory>

namespace ThinUI {

/// Posted (never sent) to a button's dialog when the button is clicked: the
/// counterpart of WM_COMMAND with BN_CLICKED and the control id.
class CommandEvent : public QEvent {
public:
    explicit CommandEvent(int controlId) : QEvent(Type()), m_controlId(controlId) {}
    int GetControlId() const { return m_controlId; }
    static QEvent::Type Type();

private:
    int m_controlId;
};

/// Makes control a child of dialog with the item id, at (x, y) in the
/// dialog's pixels, without activating or redrawing. False without a dialog.
bool PlaceControl(QWidget* control, QWidget* dialog, int controlId, int x, int y);
/// Gives a new control to dialog as its Qt child before anything else can
/// fail, so it has an owner whether or not it is placed later.
template <class Control>
Control* AdoptControl(QWidget& dialog, std::unique_ptr<Control> control) {
    control->setParent(&dialog);
    return control.release();
}
/// The item id of a control (0 when it has none).
int ControlId(const QWidget* control);
/// The child of dialog with that item id, or null.
QWidget* FindControl(const QWidget* dialog, int controlId);

} // namespace ThinUI
