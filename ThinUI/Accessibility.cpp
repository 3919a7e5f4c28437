#include "Accessibility.h"

#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QVariant>
#include <QWidget>
#include <map>
#include <mutex>

namespace ThinUI {

namespace {

const char* const kRoleProperty = "glmAccessibleRole";

const std::map<std::string, const char*>& PictureNames() {
    // What the strip shows, in the words it shows them; the symbol buttons
    // (close box, arrows, question mark) by the action they take.
    static const std::map<std::string, const char*> names = {
        {"EXIT_BUTTONS", "Hide Glimmeries"},
        {"POPUP_EXIT_BUTTONS", "Close"},
        {"MINIMIZE_BUTTONS", "Minimize"},
        {"HELP_BUTTONS", "Help"},
        {"MENU_BUTTONS", "Menu"},
        {"TOY_BUTTONS", "Toys"},
        {"SIGNOUT_BUTTONS", "Sign out"},
        {"BACK_BUTTONS", "Back"},
        {"NEXT_BUTTONS", "Next"},
        {"SIGNIN_BUTTONS", "Sign in"},
        {"START_NOW_BUTTONS", "Start now!"},
        {"FAIRY_BUTTONS", "Create a Fairy"},
        {"SETUPBRACELET_BUTTONS", "Set up bracelet"},
        {"CHANGEBRACELET_BUTTONS", "Change bracelet"},
        {"SETUPJEWELRYBOX_BUTTONS", "Set up jewelry box"},
        {"SETUPLCDGAME_BUTTONS", "Set up Rodod Orez"},
        {"UPLOADFRIENDSHIP_BUTTONS", "Add friends"},
        {"UPLOADCHARM_BUTTONS", "Add charms"},
        {"UPLOAD_GLINT_POINTS_BUTTONS", "Add Glint Points"},
        {"REDEEM_GLINT_POINTS_BUTTONS", "Use Glint Points"},
        {"TELL_ME_MORE_BUTTONS", "Tell me more"},
        {"PRINTLCD_BUTTONS", "Print cover"},
        {"VIEWGIFTS_BUTTONS", "My charms"},
        {"DEVICE_RESET_CANCEL_BUTTONS", "Cancel"},
        {"DEVICE_RESET_NOW_BUTTONS", "Reset now"},
        {"WHATISTHIS_BUTTONS", "What is this?"},
        {"UP_BUTTONS", "Scroll up"},
        {"DOWN_BUTTONS", "Scroll down"},
        {"CHARMS_ARROW_LEFT", "Previous charms"},
        {"CHARMS_ARROW_RIGHT", "More charms"},
        {"DEVICE_ARROW_LEFT", "Previous toys"},
        {"DEVICE_ARROW_RIGHT", "More toys"},
        {"GLINTS_ARROW_LEFT", "Previous butterflies"},
        {"GLINTS_ARROW_RIGHT", "More butterflies"},
        {"TUTORIAL_CONTINUE_BUTTONS", "Continue"},
        {"POPUP_OK_BUTTONS", "OK"},
        {"POPUP_CANCEL_BUTTONS", "Cancel"},
        {"POPUP_DONE_BUTTONS", "Done"},
        {"POPUP_VIEWCHARMS_BUTTONS", "View charms"},
        {"POPUP_FLYTO_BUTTONS", "Fly to Bramblemere"},
        {"POPUP_GLINTS_USE_BUTTONS", "Use my points"},
        {"POPUP_LETSBE_FRIENDS_BUTTONS", "Let's be friends!"},
        {"POPUP_ACCEPT_GIFT_BUTTONS", "Accept the gift"},
        {"POPUP_NO_THANKS", "No, thanks"},
        {"POPUP_CANCEL_FRIEND_BUTTONS", "Cancel friendship"},
    };
    return names;
}

/// The words of the resource name, first one capitalised, without the
/// "POPUP_" and "_BUTTONS" every such strip's name carries.
QString NameFromWords(const std::string& pictureName) {
    QString words = QString::fromStdString(pictureName);
    for (const char* suffix : {"_BUTTONS", "_BUTTON"}) {
        if (words.endsWith(QLatin1String(suffix))) {
            words.chop(static_cast<int>(qstrlen(suffix)));
            break;
        }
    }
    if (words.startsWith(QLatin1String("POPUP_"))) {
        words.remove(0, 6);
    }
    words = words.replace(QLatin1Char('_'), QLatin1Char(' ')).simplified().toLower();
    if (words.isEmpty()) {
        return QStringLiteral("Button");
    }
    words[0] = words[0].toUpper();
    return words;
}

/// A control announced with the role it was given; Button and Link offer
/// the press action, which activates the control as Enter does.
class ControlAccessible : public QAccessibleWidget {
public:
    ControlAccessible(QWidget* control, QAccessible::Role role) : QAccessibleWidget(control, role) {}

    QStringList actionNames() const override {
        QStringList names = QAccessibleWidget::actionNames();
        if (IsPressable(role())) {
            names.prepend(pressAction());
        }
        return names;
    }

    void doAction(const QString& actionName) override {
        if (actionName != pressAction() || !IsPressable(role())) {
            QAccessibleWidget::doAction(actionName);
            return;
        }
        if (!widget()->isEnabled()) {
            return;
        }
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
        QCoreApplication::sendEvent(widget(), &press);
    }

private:
    static bool IsPressable(QAccessible::Role role) {
        return role == QAccessible::Button || role == QAccessible::Link;
    }
};

QAccessibleInterface* ControlFactory(const QString&, QObject* object) {
    auto* control = qobject_cast<QWidget*>(object);
    if (control == nullptr) {
        return nullptr;
    }
    const QAccessible::Role role = GetAccessibleRole(*control);
    if (role == QAccessible::NoRole) {
        return nullptr;
    }
    return new ControlAccessible(control, role);
}

} // namespace

QString AccessibleNameForPicture(const std::string& pictureName) {
    const auto found = PictureNames().find(pictureName);
    if (found != PictureNames().end()) {
        return QString::fromUtf8(found->second);
    }
    return NameFromWords(pictureName);
}

bool IsDismissPicture(const std::string& pictureName) {
    return pictureName == "POPUP_EXIT_BUTTONS" || pictureName == "POPUP_CANCEL_BUTTONS" ||
           pictureName == "POPUP_NO_THANKS";
}

void SetAccessibleRole(QWidget& control, QAccessible::Role role) {
    // Installed with the first control that needs it; Qt keeps the factory
    // for the life of the process.
    static std::once_flag installed;
    std::call_once(installed, [] { QAccessible::installFactory(&ControlFactory); });
    control.setProperty(kRoleProperty, static_cast<int>(role));
}

QAccessible::Role GetAccessibleRole(const QWidget& control) {
    const QVariant role = control.property(kRoleProperty);
    return role.isValid() ? static_cast<QAccessible::Role>(role.toInt()) : QAccessible::NoRole;
}

bool IsActivationKey(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space;
}

} // namespace ThinUI
