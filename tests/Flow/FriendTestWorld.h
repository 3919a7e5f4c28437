#pragma once
// The friendship screens' world: a demo service of its own, bracelets on a
// toy bus of their own that take commands (touch another bracelet, meet one,
// fail a report), the frame of a signed-in application, and a script that
// acts inside each popup the frame opens.

#include "Flow/GLMFriendshipUploadDlg.h"
#include "ScreenTestSupport.h"
#include "device/Toy.h"

#include <QPointer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace FlowTest {

/// A virtual bracelet driven through its standard input.
class CommandedBracelet {
public:
    CommandedBracelet(const QString& name, const QString& toyDirectory);
    ~CommandedBracelet();
    CommandedBracelet(const CommandedBracelet&) = delete;
    CommandedBracelet& operator=(const CommandedBracelet&) = delete;

    const QString& Name() const { return m_name; }
    /// Sends one command line; true once the toy has printed a line holding
    /// expect.
    bool Command(const QString& line, const QString& expect);
    void Unplug();

private:
    QString m_name;
    QTemporaryDir m_state;
    QProcess m_process;
    QString m_output;
};

/// Acts inside the popups the frame opens, one after another: each popup
/// other than the error popup runs the next queued action (none: it is
/// closed with 2); an error popup is answered with OK. Every opening is
/// recorded. Unlike PopupScript it also answers the popups an action opens
/// inside its own popup (a letter's congratulation or error), each in its
/// nested loop.
class NestedPopupScript {
public:
    struct Seen {
        int dialogId = 0;
        std::uint32_t errorId = 0;
    };
    using Action = std::function<void(Glm::SkinnedPopup&)>;

    explicit NestedPopupScript(Glm::MainFrame& frame);
    void Then(Action action) { m_actions.push_back(std::move(action)); }
    const std::vector<Seen>& Popups() const { return m_seen; }
    /// The dialog ids opened, in order.
    std::vector<int> DialogIds() const;
    bool AllActionsRun() const { return m_actions.empty(); }

private:
    void Run(Glm::SkinnedPopup* popup);

    Glm::MainFrame& m_frame;
    QTimer m_timer;
    std::deque<Action> m_actions;
    std::vector<Seen> m_seen;
};

struct DemoToys {
    std::uint32_t jewelryBox = 0;
    std::uint32_t game = 0;
};

class FriendWorld {
public:
    explicit FriendWorld(const std::vector<std::string>& serviceArguments = {});
    ~FriendWorld();

    Glm::Glimmeries& App() { return *fixture.application; }
    /// The demo family by login ("moonpetal", "fernwhistle", "dewberry").
    const DemoAccount& Account(const std::string& login) const;
    /// Moonpetal's other toys, from the seed's output.
    DemoToys MoonpetalToys() const;

    /// Plugs a bracelet named name that holds clickId (written through the
    /// device library); its device id, -1 when it did not come.
    std::int32_t PlugBracelet(const std::string& name, std::uint32_t clickId);
    CommandedBracelet& Bracelet(const std::string& name);
    /// The listed toy reads its memory again, as at a new arrival.
    bool Reread(std::int32_t deviceId);
    /// The memory the toy holds now, read through the device library.
    std::optional<Glm::Toy::Memory> ReadToy(std::int32_t deviceId);
    /// Signs the account in with the toy as the toy in use, as the sign-in
    /// screen leaves it.
    bool SignIn(const DemoAccount& account, std::int32_t deviceId);
    /// Opens the friendship page as the main menu does; null when it is not
    /// the visible screen afterwards.
    /// (Hidden first when it is up, so its show step runs again, as after a
    /// new sign-in.)
    Glm::CGLMFriendshipUploadDlg* OpenPage();
    Glm::CGLMFriendshipUploadDlg* Page();
    /// Double-clicks row index of the page's list where it is drawn: 77
    /// pixels per row below the list's top at (139, 229). False when no row
    /// is drawn there.
    bool DoubleClickRow(int index);
    /// The statuses of the page's entries, in order.
    std::vector<int> Statuses();
    std::vector<std::string> FairyNames();
    std::vector<std::uintptr_t> Errors() const;
    /// Friendship answers the application sent to the service.
    std::size_t AnswersSent() const;
    /// The friendships of the account's first Fairy as the service gives
    /// them (signs that account in; sign the toy's account in again after).
    std::vector<Glm::FriendRecord> ServiceFriendships(const DemoAccount& account);

    DemoService demo;
    QTemporaryDir toyDirectory;
    Fixture fixture;
    Recorder recorder{*fixture.application};
    Glm::MainFrame frame{*fixture.application};
    std::vector<UI::Message> seen;
    std::unique_ptr<ToyFeed> feed;
    NestedPopupScript popups{frame};

private:
    std::vector<std::unique_ptr<CommandedBracelet>> m_bracelets;
};

/// Memory words 2 to 31 with one click id taken out (set to 0).
Glm::Toy::Memory Without(Glm::Toy::Memory memory, std::uint32_t clickId);
/// A bracelet's record of another bracelet: its click id with bit 31 set.
std::uint32_t Touched(std::uint32_t clickId);

} // namespace FlowTest
