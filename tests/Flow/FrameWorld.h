#pragma once
// A frame started as the application starts it (splash, start screens, toy
// discovery) against the demo service, with a toy bus of its own on which
// the test plugs and unplugs virtual toys; popups answered by a script.

#include "Flow/GLMDevicesDlg.h"
#include "Flow/GLMErrorDlg.h"
#include "Flow/MainFrame.h"
#include "ScreenTestSupport.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace FlowTest {

/// Pumps the event loop until done() or timeoutMs; true when done.
bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 10000);

/// Answers every popup the frame opens: records its dialog id and, for the
/// error popup, its text's id, then clicks its OK button (running the error
/// popup's follow-up) or, with endOnly, ends it with 2.
class PopupScript {
public:
    struct Seen {
        int dialogId = 0;
        std::uint32_t messageId = 0;
    };
    explicit PopupScript(Glm::MainFrame& frame, bool endOnly = false);
    /// Runs inside the next popup's modal loop instead of the answer; the
    /// popup is then ended (OK) after action.
    void OnNextPopup(std::function<void(Glm::SkinnedPopup&)> action) { m_next = std::move(action); }
    const std::vector<Seen>& Popups() const { return m_seen; }

private:
    Glm::MainFrame& m_frame;
    bool m_endOnly;
    QTimer m_timer;
    std::vector<Seen> m_seen;
    std::function<void(Glm::SkinnedPopup&)> m_next;
    bool m_busy = false;
};

/// A virtual toy with its own name on the bus, so two of a kind can be
/// plugged at once; unplugged by Unplug or the destructor.
class NamedToy {
public:
    NamedToy(const QString& kind, const QString& name, const QString& toyDirectory);
    ~NamedToy();
    NamedToy(const NamedToy&) = delete;
    NamedToy& operator=(const NamedToy&) = delete;
    void Unplug();

private:
    QTemporaryDir m_state;
    QProcess m_process;
};

class FrameWorld {
public:
    /// reportingUrl, when not empty, becomes GLM_REPORTING_URL.
    explicit FrameWorld(DemoService& demo, const std::string& reportingUrl = {});
    ~FrameWorld();

    /// WM_GLM_START as the shell sends it; true once the devices screen is up.
    bool Start();
    Glm::Glimmeries& App() { return *fixture.application; }
    Glm::CGLMDevicesDlg& Devices();
    /// Plugs a virtual toy of kind and waits until the list has one more toy.
    std::unique_ptr<NamedToy> Plug(const QString& kind, const QString& name = {});
    /// Unplugs the toy and waits until the list has one toy less.
    bool Unplug(NamedToy& toy);
    /// The visible screens' dialog ids.
    std::vector<int> VisibleScreens();
    /// The item labels of the devices list, in order.
    std::vector<std::string> Labels();
    std::vector<std::uintptr_t> Errors() const;
    std::size_t Count(std::uint32_t message) const;
    bool LogHas(const std::string& text) const { return fixture.Log().find(text) != std::string::npos; }
    std::size_t LogCount(const std::string& text) const;
    /// Double-clicks the list item with that index where it is drawn.
    bool DoubleClickItem(int index);

    QTemporaryDir toyDirectory;
    Fixture fixture;
    Recorder recorder{*fixture.application};
    Glm::MainFrame frame{*fixture.application};
    std::vector<UI::Message> seen;
};

} // namespace FlowTest
