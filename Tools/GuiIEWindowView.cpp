#include "Tools/GuiIEWindowView.h"

#include "Tools/ContentWindowLog.h"
#include "common/Ex/Exceptions.h"
#include "common/Ex/Logger.h"

namespace Glm {

GuiIEWindowView::~GuiIEWindowView() {
    DestroyClientWindow();
}

void GuiIEWindowView::CreateClientWindow(QWidget* parent, const QRect& rect,
                                         UI::MessageTarget* parentTarget) {
    try {
        DestroyClientWindow();
        m_parentTarget = parentTarget ? parentTarget : dynamic_cast<UI::MessageTarget*>(parent);
        // Owned by the parent; DestroyClientWindow deletes it earlier.
        m_window = new QWidget(parent);
        QObject::connect(m_window, &QObject::destroyed, [this] { m_window = nullptr; });
        m_window->setGeometry(rect);
        m_window->show();
        CreateIEWindow();
    } catch (Ex::Exception& e) {
        e.AddStackFrame(EX_FRAME);
        throw;
    }
}

void GuiIEWindowView::CreateIEWindow() {
    delete m_browser;
    m_browser = new Web::IEWindow(m_window, QRect(QPoint(0, 0), m_window->size()), this);
    QObject::connect(m_browser, &QObject::destroyed, [this] { m_browser = nullptr; });
}

void GuiIEWindowView::DestroyClientWindow() {
    delete m_browser;
    delete m_window;
    m_completionMessage = 0;
}

void GuiIEWindowView::LoadUrl(const std::string& url, std::uint32_t completionMessage) {
    if (url.empty()) {
        return;
    }
    EX_PRECONDITION(m_browser);
    m_completionMessage = completionMessage;
    m_browser->Navigate(url);
}

void GuiIEWindowView::OnContentReady(Web::ContentWindow* window) {
    Ex::GetLogger()->Log("DocumentComplete");
    window->Show();
    if (m_window && m_window->parentWidget() && m_parentTarget && m_completionMessage != 0) {
        m_parentTarget->Send(m_completionMessage, 0, 0);
    }
}

void GuiIEWindowView::OnContentError(Web::ContentWindow* window, const std::string& error) {
    Web::LogContentError(window->GetUrl(), error);
}

} // namespace Glm
