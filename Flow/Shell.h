#pragma once
// The lives of the user interface: each Run builds the frame, starts it and
// runs the event loop; a critical error shows the box and Run goes again,
// keeping the application object with its log and parameters.

#include <functional>

namespace Glm {

class Glimmeries;
class GuiApplication;
class MainFrame;

class Shell {
public:
    /// criticalErrorBox tells the user that the application restarts.
    Shell(GuiApplication& qtApplication, Glimmeries& application, std::function<void()> criticalErrorBox);

    /// One life of the interface: the exit code posted when the frame closed
    /// (1), or -1 after a critical error (the box has been shown).
    int Run();
    /// Run for as long as it returns -1; returns the last result.
    int RunUntilDone();

    /// Called with each new frame before it starts (tests, and the single
    /// instance's request to show).
    void SetFrameCreatedHook(std::function<void(MainFrame&)> hook) { m_frameCreated = std::move(hook); }
    /// The frame of the running life, or null between lives.
    MainFrame* GetFrame() { return m_frame; }
    int GetLives() const { return m_lives; }

    /// The box: caption string 103, text string 171, an error icon.
    static void ShowCriticalErrorBox();

private:
    GuiApplication& m_qtApplication;
    Glimmeries& m_application;
    std::function<void()> m_criticalErrorBox;
    std::function<void(MainFrame&)> m_frameCreated;
    MainFrame* m_frame = nullptr;
    int m_lives = 0;
};

} // namespace Glm
