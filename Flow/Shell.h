#pragma once
// The lives of the user interface: each Run builds the frame, starts it and
// runs the event loop; a critical error shows the box and Run goes again,
// keeping the application object with its log and parameters. A failure
// that comes back at every start would restart forever: after three
// restarts within a minute the next critical error ends the process through
// the fatal-error handler instead.

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace Ex {
class Exception;
}

namespace Glm {

class Glimmeries;
class GuiApplication;
class MainFrame;

class Shell {
public:
    /// criticalErrorBox tells the user that the application restarts.
    Shell(GuiApplication& qtApplication, Glimmeries& application, std::function<void()> criticalErrorBox);

    using TimePoint = std::chrono::steady_clock::time_point;
    /// Ends the process after too many restarts: logs the exception and
    /// shows the fatal-error box. Ex::FatalError unless a test replaces it;
    /// when a replacement returns, Run returns 1.
    using FatalErrorHandler = std::function<void(const std::string& functionName, const Ex::Exception&)>;

    /// Restarts within this window count towards the limit.
    static constexpr std::chrono::seconds kRestartWindow{60};
    static constexpr std::size_t kMaxRestartsInWindow = 3;

    /// One life of the interface: the exit code posted when the frame closed
    /// (1), or -1 after a critical error (the box has been shown). A
    /// critical error after kMaxRestartsInWindow restarts within
    /// kRestartWindow goes to the fatal-error handler.
    int Run();
    /// Run for as long as it returns -1; returns the last result.
    int RunUntilDone();

    /// Called with each new frame before it starts (tests, and the single
    /// instance's request to show).
    void SetFrameCreatedHook(std::function<void(MainFrame&)> hook) { m_frameCreated = std::move(hook); }
    /// The frame of the running life, or null between lives.
    MainFrame* GetFrame() { return m_frame; }
    int GetLives() const { return m_lives; }

    void SetFatalErrorHandler(FatalErrorHandler handler) { m_fatalError = std::move(handler); }
    /// The clock of the restart limit (tests step it instead of waiting).
    void SetClock(std::function<TimePoint()> clock) { m_clock = std::move(clock); }
    /// For a program re-executed after a processor fault: restarts are the
    /// restarts the fault handler passed on, the last one for the fault just
    /// past. Shows the critical-error box and returns -1, or, when that
    /// fault came after kMaxRestartsInWindow restarts within kRestartWindow,
    /// goes to the fatal-error handler (returns 1 when a replacement does).
    int ResumeAfterFault(const std::vector<TimePoint>& restarts);

    /// The box: caption string 103, text string 171, an error icon.
    static void ShowCriticalErrorBox();

private:
    GuiApplication& m_qtApplication;
    Glimmeries& m_application;
    std::function<void()> m_criticalErrorBox;
    std::function<void(MainFrame&)> m_frameCreated;
    /// Records a restart at now; false when the limit was reached already.
    bool MayRestart();
    /// A critical error: the box and -1, or the fatal end and 1.
    int OnCriticalError();

    MainFrame* m_frame = nullptr;
    int m_lives = 0;
    FatalErrorHandler m_fatalError;
    std::function<TimePoint()> m_clock;
    std::vector<TimePoint> m_restarts; // within the window, oldest first
};

} // namespace Glm
