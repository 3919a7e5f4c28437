#pragma once
// What the set-up and reset tests share: a frame started as the application
// starts it, against the demo service, with accounts of their own made for
// each test, virtual toys plugged per test, the sign-in done through the
// screens, and popups answered step by step.

#include "Flow/SkinnedPopup.h"
#include "FrameWorld.h"
#include "Tools/FlashWindowView.h"

#include <QTimer>
#include <deque>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace FlowTest {

/// Answers the frame's popups in order. Each step names the dialog it
/// expects and what to do in it (it must end the popup, normally with a
/// click at one of its buttons). A step may open further popups; they are
/// answered by the next steps. An error popup that no step expects is
/// recorded and closed with its OK button; any other unexpected popup is
/// ended with 2 and recorded.
class PopupSteps {
public:
    using Step = std::function<void(Glm::SkinnedPopup&)>;
    explicit PopupSteps(Glm::MainFrame& frame);
    ~PopupSteps();

    PopupSteps& Then(int dialogId, Step step);
    /// Every popup opened, in order, as "dialog" or "157:error".
    const std::vector<std::string>& Seen() const { return m_seen; }
    bool AllDone() const { return m_steps.empty(); }

private:
    void Tick();

    Glm::MainFrame& m_frame;
    QTimer m_timer;
    std::deque<std::pair<int, Step>> m_steps;
    std::set<Glm::SkinnedPopup*> m_active;
    std::vector<std::string> m_seen;
};

struct SetupAccount {
    std::string login;
    std::string password;
    std::string userId;
    std::vector<std::string> fairyIds;
};

class SetupWorld : public FrameWorld {
public:
    static DemoService& Demo();

    SetupWorld();

    /// A new account of this test program with that many Fairies.
    SetupAccount NewAccount(int fairies);
    /// The output of an administration command.
    std::string Admin(const QStringList& arguments);
    /// Chooses the toy with that list index on the devices screen and signs
    /// the account in on the sign-in page; true once the main menu is up.
    bool SignInWith(int toyIndex, const SetupAccount& account);
    /// Sets the toy in use up from the main menu: OK on the warning, and for
    /// a jewelry box or a game Done on the congratulation. True when the toy
    /// then carries a click id (a bracelet is left on its page).
    bool SetUpFromMenu();
    /// The toy in use as the application lists it.
    std::optional<Glm::Toy> ToyInUse();
    /// Waits until the toy in use is listed with a positive click id.
    std::int32_t WaitForClickId(int timeoutMs = 10000);
    /// How many requests with that name the application made (its log).
    std::size_t Requests(const std::string& name) const {
        return LogCount("Calling into " + Demo().ApiUrl() + name);
    }
    template <class T>
    T* Screen(int dialogId) {
        return frame.GetScreen<T>(dialogId);
    }
    bool IsShown(int dialogId);
    /// Clicks (x + 10, y + 10) on the screen or popup: inside the button
    /// placed at (x, y).
    static int Press(QWidget& window, int x, int y) { return ClickAt(window, x + 10, y + 10); }
};

/// Runs a script in the movie's page and returns its value (waits at most
/// 5 s; an invalid value then).
QVariant RunMovieScript(Glm::FlashWindowView& view, const QString& script);
/// Saves a screenshot of window (as SaveScreenshot) with the movies drawn
/// in: the web engine's pictures are not part of a widget's own grab. Waits
/// (at most 10 s) until each movie shows more than its background.
QImage SaveScreenshotWithMovies(QWidget& window, const std::string& name,
                                const std::vector<Glm::FlashWindowView*>& movies);
/// Presses and releases the left button on the movie, as a user would.
void ClickMovie(Glm::FlashWindowView& view);

} // namespace FlowTest
