#include "GLMSplashDlg.h"

#include "Glimmeries.h"
#include "MainFrame.h"
#include "ThinUI/Controls.h"
#include "ThinUI/ResourceImage.h"
#include "common/UI/Messages.h"

namespace Glm {

CGLMSplashDlg::CGLMSplashDlg(Glimmeries& application, MainFrame& frame)
    : SkinnedScreen(application, frame, kDialogId,
                    std::make_unique<ThinUI::ResourceImage>("BACKGROUND_SPLASH", "JPG")),
      m_target([this](const UI::Message& message) { return OnMessage(message); }) {}

CGLMSplashDlg::~CGLMSplashDlg() {
    if (m_webApiReportsHere) {
        // The client outlives this splash (a restart keeps it): it must not
        // report to a window that is gone. The next splash gives it its own.
        WebApi& webApi = GetApplication().GetWebApi();
        webApi.Init(nullptr, webApi.GetBaseUrl(), std::to_string(webApi.GetLogLevel()));
    }
}

bool CGLMSplashDlg::OnInitDialog() {
    AddButton("EXIT_BUTTONS", 3, kExitId, kExitX, kExitY);
    m_progress = ThinUI::AdoptControl(*this, std::make_unique<ThinUI::ProgressBar>());
    if (!m_progress->Attach(this, kProgressId, 267, 431, 215, 14)) {
        return false;
    }
    m_progress->SetBaseColor(kBarColor);
    m_progress->SetBackgroundColor(kBarBackground);
    m_progress->SetRange(0, 100);
    return true;
}

void CGLMSplashDlg::OnCommand(int controlId) {
    if (controlId == kExitId) {
        // Leaving from the splash ends the application, without a sound.
        hide();
        GetFrame().Target().Send(UI::WM_CLOSE);
    }
}

void CGLMSplashDlg::showEvent(QShowEvent* event) {
    SkinnedScreen::showEvent(event);
    if (m_progress != nullptr) {
        m_progress->StartMarquee();
    }
}

void CGLMSplashDlg::hideEvent(QHideEvent* event) {
    SkinnedScreen::hideEvent(event);
    if (m_progress != nullptr && m_progress->IsMarquee()) {
        m_progress->StopMarquee();
    }
}

UI::LRESULT CGLMSplashDlg::OnMessage(const UI::Message& message) {
    switch (message.id) {
    case UI::WM_GLM_PATCH_PROGRESS:
        if (m_progress != nullptr) {
            m_progress->StopMarquee();
            m_progress->SetPosition(static_cast<int>(message.wParam));
        }
        return 0;
    case UI::WM_GLM_PATCH_DONE:
        OnPatchDone();
        return 0;
    case UI::WM_GLM_CONNECT_ERROR:
    case UI::WM_GLM_RESPONSE_ERROR:
    case UI::WM_GLM_DEVICE_ERROR:
    case UI::WM_GLM_FLASH_UPDATE:
    case UI::WM_GLM_START_ERROR:
    case UI::WM_CLOSE: // the patcher ends the application for an update
        return GetFrame().Target().Send(message.id, message.wParam, message.lParam, message.object);
    default:
        return 0;
    }
}

void CGLMSplashDlg::OnPatchDone() {
    Glimmeries& application = GetApplication();
    const std::string baseUrl = application.GetParameter("GLM_BASE_URL");
    // The splash stays alive, hidden, as the window the web service client
    // reports its failures to; it passes them on to the frame.
    application.GetWebApi().Init(&m_target, baseUrl, application.GetParameter("GLM_LOG_LEVEL"));
    m_webApiReportsHere = true;
    application.GetLogger().Log("Connecting to " + baseUrl);
    GetFrame().Target().Send(UI::WM_GLM_START_SCREENS);
    hide();
}

} // namespace Glm
