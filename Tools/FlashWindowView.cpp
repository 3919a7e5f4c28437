#include "Tools/FlashWindowView.h"

#include "Tools/ContentWindowLog.h"
#include "common/Ex/Exceptions.h"

namespace Glm {

FlashWindowView::~FlashWindowView() {
    DestroyClientWindow();
}

void FlashWindowView::CreateClientWindow(QWidget* parent, const QRect& rect,
                                         UI::MessageTarget* parentTarget) {
    try {
        DestroyClientWindow();
        m_parentTarget = parentTarget ? parentTarget : dynamic_cast<UI::MessageTarget*>(parent);
        // Owned by the parent; DestroyClientWindow deletes it earlier.
        m_window = new QWidget(parent);
        QObject::connect(m_window, &QObject::destroyed, [this] { m_window = nullptr; });
        m_window->setGeometry(rect);
        m_window->show();
        CreateFlashWindow();
    } catch (Ex::Exception& e) {
        e.AddStackFrame(EX_FRAME);
        throw;
    }
}

void FlashWindowView::CreateFlashWindow() {
    try {
        DestroyFlashWindow();
        m_flash = new Web::FlashWindow(m_window, QRect(QPoint(0, 0), m_window->size()), this);
        QObject::connect(m_flash, &QObject::destroyed, [this] { m_flash = nullptr; });
    } catch (Ex::Exception& e) {
        e.AddStackFrame(EX_FRAME);
        throw;
    }
}

void FlashWindowView::DestroyFlashWindow() {
    delete m_flash;
}

void FlashWindowView::DestroyClientWindow() {
    try {
        DestroyFlashWindow();
        delete m_window;
        m_clickMessage = 0;
        m_wParam = 0;
        m_lParam = 0;
    } catch (Ex::Exception& e) {
        e.AddStackFrame(EX_FRAME);
        throw;
    }
}

void FlashWindowView::SetAvatar(UI::WPARAM wParam, const std::string& flashVars, UI::LPARAM lParam,
                                std::uint32_t clickMessage, std::uint32_t backgroundColor) {
    if (flashVars.empty()) {
        return;
    }
    EX_PRECONDITION(m_flash);
    m_wParam = wParam;
    m_lParam = lParam;
    m_clickMessage = clickMessage;
    m_flash->Put_FlashVars(flashVars);
    m_flash->Put_BackgroundColor(backgroundColor);
}

void FlashWindowView::LoadUrl(const std::string& path) {
    if (path.empty()) {
        return;
    }
    EX_PRECONDITION(m_flash);
    m_flash->Navigate(path);
}

std::string FlashWindowView::CallFunction(const std::string& request) {
    EX_PRECONDITION(m_flash);
    return m_flash->Call_Function(request);
}

std::string FlashWindowView::GetFlashOCXObjectVersion() {
    if (!m_flash) {
        return std::string();
    }
    return std::to_string(m_flash->Get_FlashVersion() >> 16);
}

void FlashWindowView::OnContentReady(Web::ContentWindow* window) {
    window->Show();
}

void FlashWindowView::OnContentError(Web::ContentWindow* window, const std::string& error) {
    Web::LogContentError(window->GetUrl(), error);
}

void FlashWindowView::OnContentClick(Web::ContentWindow*, int) {
    if (m_window && m_window->parentWidget() && m_parentTarget && m_clickMessage != 0) {
        m_parentTarget->Send(m_clickMessage, m_wParam, m_lParam);
    }
}

} // namespace Glm
