#pragma once
// The notification-area icon with its Show / Hide / Exit menu. Chosen
// commands go to the owner (the frame) as WM_GLM_TRAY_COMMAND.

#include "common/UI/MessageTarget.h"

#include <QIcon>
#include <QMenu>
#include <QObject>
#include <QSystemTrayIcon>
#include <memory>

class QAction;
class QWidget;

namespace Glm {

class TrayIcon : public QObject {
public:
    TrayIcon();
    /// Removes the icon.
    ~TrayIcon() override;

    /// Adds the icon with its tip text; commands go to owner. False when the
    /// desktop has no notification area: the menu still exists, the icon
    /// does not, and hiding then minimises instead.
    bool Create(UI::MessageTarget& owner, const QIcon& icon, const QString& tip);
    /// The message that carries commands (WM_GLM_TRAY_COMMAND) and the
    /// command a double click sends (Show).
    void SetMenu(std::uint32_t commandMessage, UI::WPARAM defaultCommand);
    void EnableItem(UI::WPARAM command, bool enabled);
    bool IsItemEnabled(UI::WPARAM command) const;

    /// Takes window off the screen and the task bar into the tray. Without a
    /// notification area the window is minimised instead, so it can always
    /// be found again.
    void HideOwner(QWidget* window);
    /// Brings window back from the tray and makes it the active window.
    void ShowOwner(QWidget* window);
    bool IsHidden() const { return m_hidden; }
    /// Removes the icon from the notification area.
    void Remove();

    /// What the icon does on a click (the menu) or a double click (the
    /// default command); also used for a second instance's request to show.
    void OnActivated(QSystemTrayIcon::ActivationReason reason);
    QMenu& GetMenu() { return m_menu; }

private:
    void SendCommand(UI::WPARAM command);
    QAction* FindItem(UI::WPARAM command) const;

    UI::MessageTarget* m_owner = nullptr;
    QMenu m_menu;
    std::unique_ptr<QSystemTrayIcon> m_icon;
    std::uint32_t m_commandMessage = 0;
    UI::WPARAM m_defaultCommand = 0;
    bool m_hidden = false;
    bool m_removed = false;
};

} // namespace Glm
