#include "TrayIcon.h"

#include "common/UI/Messages.h"

#include <QAction>
#include <QCursor>
#include <QWidget>

namespace Glm {

TrayIcon::TrayIcon() {
    // Menu 155: the three commands, with the command id in each item.
    const std::pair<UI::WPARAM, const char*> items[] = {
        {UI::ID_TRAY_SHOW, "Show"}, {UI::ID_TRAY_HIDE, "Hide"}, {UI::ID_TRAY_EXIT, "Exit"}};
    for (const auto& [command, text] : items) {
        QAction* action = m_menu.addAction(QString::fromLatin1(text));
        action->setData(QVariant::fromValue<qulonglong>(command));
    }
}

TrayIcon::~TrayIcon() {
    Remove();
}

bool TrayIcon::Create(UI::MessageTarget& owner, const QIcon& icon, const QString& tip) {
    m_owner = &owner;
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        return false;
    }
    m_icon = std::make_unique<QSystemTrayIcon>(icon);
    m_icon->setToolTip(tip.left(63));
    QObject::connect(m_icon.get(), &QSystemTrayIcon::activated, this,
                     [this](QSystemTrayIcon::ActivationReason reason) { OnActivated(reason); });
    m_icon->show();
    return true;
}

void TrayIcon::SetMenu(std::uint32_t commandMessage, UI::WPARAM defaultCommand) {
    m_commandMessage = commandMessage;
    m_defaultCommand = defaultCommand;
    if (QAction* item = FindItem(defaultCommand)) {
        m_menu.setDefaultAction(item);
    }
}

QAction* TrayIcon::FindItem(UI::WPARAM command) const {
    for (QAction* action : m_menu.actions()) {
        if (action->data().toULongLong() == command) {
            return action;
        }
    }
    return nullptr;
}

void TrayIcon::EnableItem(UI::WPARAM command, bool enabled) {
    if (QAction* item = FindItem(command)) {
        item->setEnabled(enabled);
    }
}

bool TrayIcon::IsItemEnabled(UI::WPARAM command) const {
    const QAction* item = FindItem(command);
    return item != nullptr && item->isEnabled();
}

void TrayIcon::HideOwner(QWidget* window) {
    if (m_icon && m_icon->isVisible()) {
        window->hide();
    } else {
        // No notification area to come back from: a hidden window could not
        // be found again, so it is only minimised.
        window->showMinimized();
    }
    m_hidden = true;
}

void TrayIcon::ShowOwner(QWidget* window) {
    window->showNormal();
    window->raise();
    window->activateWindow();
    m_hidden = false;
}

void TrayIcon::Remove() {
    if (m_removed) {
        return;
    }
    m_removed = true;
    if (m_icon) {
        m_icon->hide();
        m_icon.reset();
    }
}

void TrayIcon::SendCommand(UI::WPARAM command) {
    if (m_owner != nullptr && m_commandMessage != 0) {
        m_owner->Send(m_commandMessage, command);
    }
}

void TrayIcon::OnActivated(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
    case QSystemTrayIcon::DoubleClick:
        SendCommand(m_defaultCommand);
        break;
    case QSystemTrayIcon::Trigger:
    case QSystemTrayIcon::Context:
        if (QAction* chosen = m_menu.exec(QCursor::pos())) {
            SendCommand(chosen->data().toULongLong());
        }
        break;
    default:
        break;
    }
}

} // namespace Glm
