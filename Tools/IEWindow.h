#pragma once
// The browser window: shows one web page, for display only (no context
// menu, no script dialogs, no scroll bars, no margins, no drops, no clicks
// reaching the page). Sub-resources may come only from the host of the page
// navigated to; images and media load, nothing opens new windows.
//
// Completion follows the engine's load results: a successful load is a
// DocumentComplete, a failed one a NavigateError. Only the first of them per
// navigation counts.

#include "Tools/ContentWindow.h"

#include <QString>

namespace Web {

class IEWindow : public ContentWindow {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds kLoadTimeout{10000};

    /// A hidden browser window at rect in parent, reporting to listener.
    /// Throws CantCreateIEWindowException when the engine cannot be set up.
    IEWindow(QWidget* parent, const QRect& rect, ContentWindowListener* listener);
    ~IEWindow() override;

    /// Loads url; the listener hears OnContentReady or OnContentError (empty
    /// text) once, or OnContentError with an empty text after the time-out.
    void Navigate(const std::string& url) override;
    /// Stops the time-out, shows "about:blank" and forgets the url.
    void Stop() override;
    /// Removes scroll bars and margins, then shows the window.
    void Show() override;
    void SetNoScroll();
    void SetNoBorder();

    /// The engine reported a finished document at url.
    void OnDocumentComplete(const QString& url);
    /// The engine reported a failed navigation.
    void OnNavigateError();

    bool IsCompleted() const { return m_completed; }
    bool IsFailed() const { return m_failed; }

protected:
    const char* ShowWindowContext() const override { return "Web::IEWindow::OnShowWindow"; }

private:
    class BrowserPage;
    class PageInterceptor;
    BrowserPage* m_browserPage = nullptr;
    PageInterceptor* m_interceptor = nullptr;
    bool m_completed = false;
    bool m_failed = false;
};

} // namespace Web
