#pragma once
// A web page placed on a screen, for display only: a child widget of the
// screen owning one browser window. It logs failures, shows the page when it
// is complete and then sends the screen the completion message.
//
// The screen receives messages through a UI::MessageTarget: the one given to
// CreateClientWindow, or else the parent widget itself when it is one.

#include "Tools/ContentWindowListener.h"
#include "Tools/IEWindow.h"
#include "common/UI/MessageTarget.h"

#include <QRect>
#include <QWidget>
#include <cstdint>
#include <string>

namespace Glm {

class GuiIEWindowView : public Web::ContentWindowListener {
public:
    GuiIEWindowView() = default;
    ~GuiIEWindowView() override;
    GuiIEWindowView(const GuiIEWindowView&) = delete;
    GuiIEWindowView& operator=(const GuiIEWindowView&) = delete;

    /// Creates the view at rect in parent and its browser window filling it
    /// (an earlier view of this object is destroyed first). Throws
    /// Web::CantCreateIEWindowException when the engine cannot be set up.
    void CreateClientWindow(QWidget* parent, const QRect& rect, UI::MessageTarget* parentTarget = nullptr);
    /// Keeps the completion message and loads url; an empty url does nothing.
    void LoadUrl(const std::string& url, std::uint32_t completionMessage);
    /// Destroys the browser window and the view; no listener call follows.
    void DestroyClientWindow();

    QWidget* GetWindow() const { return m_window; }
    Web::IEWindow* GetIEWindow() const { return m_browser; }

    void OnContentReady(Web::ContentWindow* window) override;
    void OnContentError(Web::ContentWindow* window, const std::string& error) override;
    void OnContentClick(Web::ContentWindow*, int) override {}

private:
    void CreateIEWindow();

    // Plain pointers, cleared by the widgets' destroyed signals: the parent
    // may delete the view first.
    QWidget* m_window = nullptr;
    Web::IEWindow* m_browser = nullptr;
    UI::MessageTarget* m_parentTarget = nullptr;
    std::uint32_t m_completionMessage = 0;
};

} // namespace Glm
