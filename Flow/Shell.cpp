#include "Shell.h"

#include "Glimmeries.h"
#include "GuiApplication.h"
#include "MainFrame.h"
#include "common/Ex/Exceptions.h"
#include "common/Mod/Mod.h"
#include "common/UI/Messages.h"

#include <QMessageBox>

namespace Glm {

Shell::Shell(GuiApplication& qtApplication, Glimmeries& application, std::function<void()> criticalErrorBox)
    : m_qtApplication(qtApplication), m_application(application),
      m_criticalErrorBox(std::move(criticalErrorBox)) {}

int Shell::Run() {
    ++m_lives;
    m_qtApplication.ClearCriticalError();
    int result = -1;
    try {
        MainFrame frame(m_application);
        m_frame = &frame;
        if (m_frameCreated) {
            m_frameCreated(frame);
        }
        frame.Target().Send(UI::WM_GLM_START);
        frame.show();
        frame.setFocus();
        result = GuiApplication::exec();
        m_frame = nullptr;
    } catch (Ex::Exception& e) {
        m_frame = nullptr;
        e.AddStackFrame(EX_FRAME);
        e.LogNoThrow("Glm::Shell::Run");
        result = -1;
    } catch (const std::exception& caught) {
        m_frame = nullptr;
        Ex::StlException e(caught);
        e.AddStackFrame(EX_FRAME);
        e.LogNoThrow("Glm::Shell::Run");
        result = -1;
    }
    if (result == -1 || m_qtApplication.HadCriticalError()) {
        m_criticalErrorBox();
        return -1;
    }
    return result;
}

int Shell::RunUntilDone() {
    int result = -1;
    do {
        result = Run();
    } while (result == -1);
    return result;
}

void Shell::ShowCriticalErrorBox() {
    QString caption = QStringLiteral("Glimmeries");
    QString text;
    try {
        caption = QString::fromStdString(Mod::LoadString(103));
        text = QString::fromStdString(Mod::LoadString(171));
    } catch (Ex::Exception& e) {
        e.AddStackFrame(EX_FRAME);
        e.LogNoThrow("Glm::Shell::ShowCriticalErrorBox");
    }
    QMessageBox::critical(nullptr, caption, text);
}

} // namespace Glm
