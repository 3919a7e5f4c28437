#include "Tools/ContentWindow.h"

#include "Tools/WebEngineSetup.h"
#include "common/Web/ContentWindowExceptions.h"

#include <QResizeEvent>
#include <QShowEvent>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace Web {

ContentWindow::ContentWindow(QWidget* parent, const QRect& rect, ContentWindowListener* listener,
                             std::chrono::milliseconds loadTimeout)
    : QWidget(parent), m_listener(listener), m_cursor(Qt::PointingHandCursor), m_loadTimeout(loadTimeout),
      m_thief(this) {
    setGeometry(rect);
    setCursor(m_cursor);
    setContextMenuPolicy(Qt::NoContextMenu);
    setAcceptDrops(false);
    hide();
    m_timer.setSingleShot(true);
    // A coarse timer may fire up to 5% early; the time-out must be the full one.
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, [this] { OnLoadTimeout(); });
    m_view = new QWebEngineView(this);
    m_view->setGeometry(0, 0, rect.width(), rect.height());
    m_view->setContextMenuPolicy(Qt::NoContextMenu);
    m_view->setAcceptDrops(false);
    m_view->setCursor(m_cursor);
}

ContentWindow::~ContentWindow() {
    m_destroyed = true;
    m_timer.stop();
    m_thief.Detach();
    // The view goes before its page, so the engine never shows a page that
    // is being torn down.
    delete m_view.data();
    delete m_page.data();
}

void ContentWindow::SetPage(QWebEnginePage* page) {
    page->setParent(this);
    m_page = page;
    m_view->setPage(page);
}

QWebEnginePage* ContentWindow::GetPage() const {
    return m_page.data();
}

QWidget* ContentWindow::GetAxWindowHandle() const {
    if (!m_view) {
        CantGetWindowHandleException e;
        e.Message() << "::GetWindow";
        throw e;
    }
    return m_view.data();
}

void ContentWindow::OnLButtonDown(UI::WPARAM, UI::LPARAM) {
    try {
        if (!m_destroyed && m_listener) {
            m_listener->OnContentClick(this, 1);
        }
    } catch (Ex::Exception& e) {
        e.AddStackFrame(EX_FRAME);
        throw;
    }
}

void ContentWindow::OnSetCursor(QWidget* widget) {
    if (widget) {
        widget->setCursor(m_cursor);
    }
}

void ContentWindow::Show() {
    try {
        show();
        update();
    } catch (Ex::Exception& e) {
        e.AddStackFrame(EX_FRAME);
        throw;
    }
}

void ContentWindow::StartLoadTimer() {
    m_timer.start(static_cast<int>(m_loadTimeout.count()));
}

void ContentWindow::OnLoadTimeout() {
    m_timer.stop();
    NotifyError(std::string());
}

bool ContentWindow::NotifyReady() {
    if (m_destroyed || !m_listener) {
        return true;
    }
    QPointer<ContentWindow> self(this);
    m_listener->OnContentReady(this);
    return !self.isNull();
}

bool ContentWindow::NotifyError(const std::string& error) {
    if (m_destroyed || !m_listener) {
        return true;
    }
    QPointer<ContentWindow> self(this);
    m_listener->OnContentError(this, error);
    return !self.isNull();
}

void ContentWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Exceptions must not cross Qt's event loop: log them here.
    try {
        m_thief.Attach(GetAxWindowHandle());
    } catch (Ex::Exception& e) {
        e.AddStackFrame(EX_FRAME);
        e.LogNoThrow(ShowWindowContext());
    }
}

void ContentWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (m_view) {
        m_view->setGeometry(0, 0, event->size().width(), event->size().height());
    }
}

} // namespace Web
