#pragma once
// What assistive technology and the keyboard see of the image controls: a
// role and a name for every control, and one way to activate a control from
// the keyboard or a screen reader, the same as a click.

#include <QAccessible>
#include <QString>
#include <string>

class QWidget;

namespace ThinUI {

/// The name a button strip is announced under: what the picture shows, or
/// the action it takes when it shows only a symbol. A picture missing from
/// the table gets a name made from the words of its resource name, less
/// the parts every strip's name carries, so a new button is never nameless.
QString AccessibleNameForPicture(const std::string& pictureName);
/// Buttons that leave a popup without doing anything: the close box and
/// the Cancel and No-thanks buttons.
bool IsDismissPicture(const std::string& pictureName);

/// Gives control the role assistive technology announces; its name is the
/// widget's accessibleName. Controls with the roles Button and Link can be
/// pressed through assistive technology, which activates them as Enter does.
void SetAccessibleRole(QWidget& control, QAccessible::Role role);
/// The role set with SetAccessibleRole; NoRole when none was set.
QAccessible::Role GetAccessibleRole(const QWidget& control);

/// Whether a key activates a focused control: Enter, Return and Space.
bool IsActivationKey(int key);

} // namespace ThinUI
