#pragma once
// The base of the movie and browser windows: a child widget holding a web
// engine view, which navigates it, watches for completion with a time-out,
// captures its mouse and reports to a listener.
//
// Lifecycle: created (hidden), navigating (load timer running), then ready
// or failed; a new Navigate starts over. Once the window is being destroyed
// no listener call is made any more.
//
// Mouse operations receive Windows-style values: wParam holds the button and
// modifier flags (1 left, 2 right, 4 shift, 8 control, 16 middle) and lParam
// the position, x in the low 16 bits and y in the high 16 bits.

#include "Tools/ContentWindowListener.h"
#include "Tools/ContentWindowMouseThief.h"
#include "common/Ex/Exceptions.h"
#include "common/UI/MessageTarget.h"

#include <QCursor>
#include <QPointer>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QWidget>
#include <chrono>
#include <string>

namespace Web {

class ContentWindow : public QWidget {
    Q_OBJECT
public:
    ~ContentWindow() override;

    /// A left press on the content: the listener's OnContentClick, unless
    /// the window is being destroyed.
    virtual void OnLButtonDown(UI::WPARAM wParam, UI::LPARAM lParam);
    virtual void OnLButtonUp(UI::WPARAM, UI::LPARAM) {}
    virtual void OnLButtonDblClk(UI::WPARAM, UI::LPARAM) {}
    virtual void OnRButtonUp(UI::WPARAM, UI::LPARAM) {}
    virtual void OnRButtonDown(UI::WPARAM, UI::LPARAM) {}
    virtual void OnRButtonDblClk(UI::WPARAM, UI::LPARAM) {}
    /// The engine's widget asked for a cursor: it gets this window's cursor.
    virtual void OnSetCursor(QWidget* widget);

    /// Loads the content; failures reach the listener (see the kinds).
    virtual void Navigate(const std::string& url) = 0;
    virtual void Stop() = 0;
    /// Shows the window and repaints it.
    virtual void Show();

    /// This window.
    QWidget* GetWindowHandle() { return this; }
    /// The engine's view inside this window. Throws
    /// CantGetWindowHandleException ("::GetWindow") when it is gone.
    virtual QWidget* GetAxWindowHandle() const;

    const std::string& GetUrl() const { return m_url; }
    bool IsDestroyed() const { return m_destroyed; }
    const QCursor& GetCursor() const { return m_cursor; }
    bool IsLoadTimerActive() const { return m_timer.isActive(); }
    /// Time allowed from Navigate to ready before the listener hears of an
    /// error with an empty text.
    void SetLoadTimeout(std::chrono::milliseconds timeout) { m_loadTimeout = timeout; }
    std::chrono::milliseconds GetLoadTimeout() const { return m_loadTimeout; }
    QWebEngineView* GetView() const { return m_view; }
    QWebEnginePage* GetPage() const;

protected:
    /// A hidden child of parent at rect, holding an engine view that uses
    /// the given page (owned by this window).
    ContentWindow(QWidget* parent, const QRect& rect, ContentWindowListener* listener,
                  std::chrono::milliseconds loadTimeout);
    /// Puts the page into the view; the window takes ownership of the page.
    void SetPage(QWebEnginePage* page);

    void StartLoadTimer();
    void StopLoadTimer() { m_timer.stop(); }

    /// Listener calls that respect the destroyed flag. They return false when
    /// the listener destroyed this window, so callers stop touching members.
    bool NotifyReady();
    bool NotifyError(const std::string& error);

    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    /// The function name that showEvent adds to the trace of a failure.
    virtual const char* ShowWindowContext() const = 0;

    ContentWindowListener* m_listener;
    std::string m_url;
    bool m_destroyed = false;

private:
    void OnLoadTimeout();

    QCursor m_cursor;
    QTimer m_timer;
    std::chrono::milliseconds m_loadTimeout;
    QPointer<QWebEngineView> m_view;
    QPointer<QWebEnginePage> m_page;
    ContentWindowMouseThief m_thief;
};

} // namespace Web
