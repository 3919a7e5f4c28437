#include "Shell.h"

#include "Glimmeries.h"
#include "GuiApplication.h"
#include "MainFrame.h"
#include "common/Ex/Exceptions.h"
#include "common/Ex/MessageBoxLogger.h"
#include "common/Mod/Mod.h"
#include "common/UI/Messages.h"

#include <QMessageBox>
#include <algorithm>

namespace Glm {

Shell::Shell(GuiApplication& qtApplication, Glimmeries& application, std::function<void()> criticalErrorBox)
    : m_qtApplication(qtApplication), m_application(application),
      m_criticalErrorBox(std::move(criticalErrorBox)),
      m_fatalError([](const std::string& functionName, const Ex::Exception& exception) {
          Ex::FatalError(functionName, exception, true);
      }),
      m_clock([] { return std::chrono::steady_clock::now(); }) {}

int Shell::ResumeAfterFault(const std::vector<TimePoint>& restarts) {
    // The last restart is the one being made now; MayRestart records it.
    m_restarts.assign(restarts.begin(), restarts.end());
    std::sort(m_restarts.begin(), m_restarts.end());
    if (!m_restarts.empty()) {
        m_restarts.pop_back();
    }
    return OnCriticalError();
}

bool Shell::MayRestart() {
    const TimePoint now = m_clock();
    std::erase_if(m_restarts, [now](TimePoint restart) { return now - restart >= kRestartWindow; });
    if (m_restarts.size() >= kMaxRestartsInWindow) {
        return false;
    }
    m_restarts.push_back(now);
    return true;
}

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
        return OnCriticalError();
    }
    return result;
}

int Shell::OnCriticalError() {
    if (MayRestart()) {
        m_criticalErrorBox();
        return -1;
    }
    Ex::FatalException fatal;
    fatal.Message() << " The user interface failed again after " << kMaxRestartsInWindow
                    << " restarts within " << kRestartWindow.count() << " seconds.";
    fatal.AddStackFrame(EX_FRAME);
    m_fatalError("Glm::Shell::Run", fatal);
    return 1;
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
