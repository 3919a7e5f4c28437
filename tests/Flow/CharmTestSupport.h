#pragma once
// What the charm screen tests share: virtual toys driven through their
// command input, a frame signed in to the demo service as the family that
// owns the demo jewelry box, the charm page opened as the main menu opens
// it, and popups answered by a script.

#include "Flow/GLMCharmsUploadDlg.h"
#include "Flow/MainFrame.h"
#include "ScreenTestSupport.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace FlowTest {

/// A virtual toy on the test's bus that takes commands ("touch charm ID",
/// "unplug") on its input and whose event lines ("acknowledged charm ID")
/// the test reads.
class ScriptedToy {
public:
    /// extra: options such as "--charm" "1003" for a toy made full of charms.
    ScriptedToy(const QString& kind, const QString& name, const QStringList& extra = {});
    ~ScriptedToy();
    ScriptedToy(const ScriptedToy&) = delete;
    ScriptedToy& operator=(const ScriptedToy&) = delete;

    void Command(const std::string& line);
    /// Waits until the toy has printed text count times in all.
    bool WaitFor(const std::string& text, std::size_t count = 1, int timeoutMs = 10000);
    std::size_t Count(const std::string& text);
    /// Everything the toy has printed so far.
    const std::string& Output() {
        ReadOutput();
        return m_output;
    }
    /// Unplugs the toy and waits for its process to end.
    void Unplug();

private:
    void ReadOutput();

    QTemporaryDir m_state;
    QProcess m_process;
    std::string m_output;
};

/// Answers the frame's popups as they open: records each (the error popup
/// with its string id), runs the action set for its dialog id (default:
/// end it with 2, as the window manager's close does).
class PopupAnswers {
public:
    struct Seen {
        int dialogId = 0;
        std::uint32_t errorId = 0;
    };
    explicit PopupAnswers(Glm::MainFrame& frame);
    void On(int dialogId, std::function<void(Glm::SkinnedPopup&)> action) { m_actions[dialogId] = action; }
    const std::vector<Seen>& Popups() const { return m_seen; }
    std::vector<std::uint32_t> Errors() const;
    void Clear() { m_seen.clear(); }

private:
    Glm::MainFrame& m_frame;
    QTimer m_timer;
    std::vector<Seen> m_seen;
    std::map<int, std::function<void(Glm::SkinnedPopup&)>> m_actions;
    Glm::SkinnedPopup* m_answering = nullptr;
};

class CharmWorld {
public:
    static DemoService& Demo();
    /// Stops the service (programs that do not run the tests' environment).
    static void StopDemo();
    /// Moonpetal's demo toys and Fairies, as the seed printed them.
    static std::uint32_t JewelryBoxClickId();
    static std::uint32_t GameClickId();
    static std::vector<std::string> FairyIds();

    CharmWorld();
    ~CharmWorld();

    Glm::Glimmeries& App() { return *fixture.application; }
    /// Waits until the toy is listed, writes clickId into it (its charms
    /// kept), names its owner (by default Moonpetal, whose Fairies the page
    /// then shows) and makes it the toy in use. Its device id, or -1.
    std::int32_t UseToy(std::uint32_t productId, std::uint32_t clickId, const std::string& ownerUserId = {});
    /// The main menu's charm task: the page created and shown.
    Glm::CGLMCharmsUploadDlg* OpenPage();
    /// Waits until every avatar of the account has been drawn.
    bool WaitForAvatars(Glm::CGLMCharmsUploadDlg& page, std::size_t count);
    /// Clicks the avatar drawn at (x, y) of the page, as the user does.
    bool ClickAvatarAt(Glm::CGLMCharmsUploadDlg& page, int x, int y);
    /// Clicks the list item with that index where it is drawn.
    bool ClickCharm(Glm::CGLMCharmsUploadDlg& page, int index);
    /// The charm ids the toy with that device id holds now, read from it.
    std::vector<std::int32_t> CharmsOnToy(std::int32_t deviceId);
    /// The charm ids the service lists for the Fairy.
    std::vector<std::int32_t> CharmsOfFairy(const std::string& fairyId);
    /// The messages the frame received with that id.
    std::vector<UI::Message> Seen(std::uint32_t id) const;

    Fixture fixture;
    Recorder recorder{*fixture.application};
    Glm::MainFrame frame{*fixture.application};
    PopupAnswers popups{frame};
    std::vector<UI::Message> seen;
    ToyFeed feed{*fixture.application};
};

/// Pumps the event loop until done() or the time limit.
bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 10000);

} // namespace FlowTest
