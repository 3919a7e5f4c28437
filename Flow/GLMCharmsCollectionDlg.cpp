#include "GLMCharmsCollectionDlg.h"

#include "Glimmeries.h"
#include "MainFrame.h"
#include "ThinUI/ResourceImage.h"
#include "ToyInUse.h"
#include "common/Ex/Exceptions.h"
#include "common/UI/Messages.h"

namespace Glm {

namespace {

constexpr unsigned kToyGoneString = 153;

} // namespace

const QRect GLMCharmsCollectionDlg::kViewRect(QPoint(186, 172), QPoint(626, 438));

GLMCharmsCollectionDlg::GLMCharmsCollectionDlg(Glimmeries& application, MainFrame& frame)
    : SkinnedScreen(application, frame, kDialogId,
                    std::make_unique<ThinUI::ResourceImage>("BACKGROUND_CHARMS_COLLECTION", "JPG")),
      m_target([this](const UI::Message& message) { return OnPageMessage(message); }) {}

GLMCharmsCollectionDlg::~GLMCharmsCollectionDlg() = default;

bool GLMCharmsCollectionDlg::OnInitDialog() {
    AddTitleButtons({kExitId, kMinimizeId, kHelpId, kMenuId, {}});
    AddButton("BACK_BUTTONS", 3, kBackId, 21, 219);
    return true;
}

void GLMCharmsCollectionDlg::OnShow() {
    Glimmeries& application = GetApplication();
    if (!IsToyInUsePresent(application)) {
        GetFrame().Target().Send(UI::WM_GLM_SHOW_ERROR, kToyGoneString);
        return;
    }
    try {
        m_view.CreateClientWindow(this, kViewRect, &m_target);
        // Shown once the page is complete, never half drawn.
        m_view.GetWindow()->hide();
        std::string token;
        std::string errorCode;
        const std::string url = application.GetParameter("GLM_VIEW_CHARMS_URL");
        if (application.GetWebApi().GetSessionTranferToken(token, errorCode) == 0) {
            m_view.LoadUrl(url + "&sessiontoken=" + token, kPageCompleteMessage);
        } else {
            application.OpenUrl(url);
        }
    } catch (Ex::NonFatalException& e) {
        e.AddStackFrame(EX_FRAME);
        e.LogNoThrow("GLMCharmsCollectionDlg::OnShowWindow");
    } catch (const std::exception& e) {
        application.GetLogger().Log(std::string("GLMCharmsCollectionDlg::OnShowWindow: ") + e.what());
    }
}

void GLMCharmsCollectionDlg::OnHide() {
    m_view.DestroyClientWindow();
}

UI::LRESULT GLMCharmsCollectionDlg::OnPageMessage(const UI::Message& message) {
    if (message.id == kPageCompleteMessage && m_view.GetWindow() != nullptr) {
        m_view.GetWindow()->show();
    }
    return 0;
}

void GLMCharmsCollectionDlg::OnCommand(int controlId) {
    if (controlId == kBackId) {
        GetApplication().PlaySound("PAGE_TURN_SOUND");
        GetFrame().Target().Send(UI::WM_GLM_SCREEN_DONE);
        hide();
    }
}

} // namespace Glm
