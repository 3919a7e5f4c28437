// The keyboard alone and a screen reader through every screen the frame can
// make and every popup it opens: Tab visits each control once in reading
// order, each control has a role and a name, Enter activates the focused
// control and a popup's main button, Escape closes a popup.

#include "Flow/MainFrame.h"
#include "Flow/SkinnedPopup.h"
#include "Flow/SkinnedScreen.h"
#include "FrameWorld.h"
#include "ThinUI/C3StateButton.h"

#include <QAccessible>
#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>
#include <ostream>
#include <set>

namespace {

using FlowTest::PumpUntil;

// Dialog numbers the frame's screens use lie in this range.
constexpr int kFirstDialogId = 100;
constexpr int kLastDialogId = 170;

class DesktopKeyboardTest : public ::testing::TestWithParam<bool> {
protected:
    static void SetUpTestSuite() { s_demo = std::make_unique<FlowTest::DemoService>(); }
    static void TearDownTestSuite() { s_demo.reset(); }
    void SetUp() override { Glm::MainFrame::SetPopupsInsideFrame(GetParam()); }
    void TearDown() override { Glm::MainFrame::SetPopupsInsideFrame(std::nullopt); }
    static std::unique_ptr<FlowTest::DemoService> s_demo;
};
std::unique_ptr<FlowTest::DemoService> DesktopKeyboardTest::s_demo;

QRect PlaceOn(const QWidget& page, const QWidget& control) {
    return {control.mapTo(&page, QPoint(0, 0)), control.size()};
}

QString Describe(const QWidget& page, const QWidget& control) {
    const QRect at = PlaceOn(page, control);
    return QStringLiteral("%1 at (%2,%3)").arg(control.accessibleName()).arg(at.x()).arg(at.y());
}

/// Presses key on whatever has the keyboard's focus (the window when
/// nothing inside it has).
void Press(QWidget& window, Qt::Key key) {
    QWidget* target = QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : &window;
    QTest::keyClick(target, key);
}

/// Tabs through page (inside window) until the focus comes back to where
/// it started; the controls in the order they had the focus.
std::vector<QWidget*> TabCycle(QWidget& window, QWidget& page) {
    std::vector<QWidget*> visited;
    for (int step = 0; step < 80; ++step) {
        Press(window, Qt::Key_Tab);
        QWidget* focused = QApplication::focusWidget();
        if (focused == nullptr || !page.isAncestorOf(focused)) {
            ADD_FAILURE() << "Tab left the page for "
                          << (focused ? focused->metaObject()->className() : "nothing");
            break;
        }
        if (!visited.empty() && focused == visited.front()) {
            break;
        }
        visited.push_back(focused);
    }
    return visited;
}

/// What a keyboard user must reach on page: every shown, enabled control
/// that takes input.
std::set<QWidget*> Reachable(const QWidget& page) {
    std::set<QWidget*> controls;
    for (QWidget* child : page.findChildren<QWidget*>()) {
        if (!child->isVisibleTo(&page) || !child->isEnabled() || child->isWindow()) {
            continue;
        }
        const QAccessibleInterface* access = QAccessible::queryAccessibleInterface(child);
        const QAccessible::Role role = access != nullptr ? access->role() : QAccessible::NoRole;
        if (role == QAccessible::Button || role == QAccessible::Link || role == QAccessible::EditableText ||
            role == QAccessible::ComboBox || role == QAccessible::List) {
            controls.insert(child);
        }
    }
    return controls;
}

/// Checks one Tab cycle through page: each reachable control once, in
/// reading order, each with a name and a role a screen reader can use, and
/// the focus visible to assistive technology.
void CheckTabCycle(QWidget& window, QWidget& page, const std::string& what) {
    const std::vector<QWidget*> visited = TabCycle(window, page);
    const std::set<QWidget*> reachable = Reachable(page);
    EXPECT_EQ(std::set<QWidget*>(visited.begin(), visited.end()), reachable) << what;
    EXPECT_EQ(visited.size(), reachable.size()) << what << ": a control visited twice";
    const auto inOrder = [&page](QWidget& before, QWidget& now) {
        const QRect a = PlaceOn(page, before);
        const QRect b = PlaceOn(page, now);
        const int overlap = std::min(a.bottom(), b.bottom()) - std::max(a.top(), b.top()) + 1;
        const bool sameRow = overlap * 2 >= std::min(a.height(), b.height());
        return sameRow ? b.left() > a.left() : b.top() > a.top();
    };
    // The cycle starts where the focus was put (a popup's main button), so
    // reading order may wrap once, from the last control back to the first.
    std::vector<std::string> breaks;
    for (std::size_t i = 0; i < visited.size(); ++i) {
        QWidget* control = visited[i];
        QAccessibleInterface* access = QAccessible::queryAccessibleInterface(control);
        ASSERT_NE(access, nullptr);
        const QString name = access->text(QAccessible::Name);
        EXPECT_FALSE(name.trimmed().isEmpty())
            << what << ": a nameless control at " << Describe(page, *control).toStdString();
        EXPECT_NE(access->role(), QAccessible::Client) << what << ": " << name.toStdString();
        if (i > 0 && !inOrder(*visited[i - 1], *control)) {
            breaks.push_back(Describe(page, *visited[i - 1]).toStdString() + " then " +
                             Describe(page, *control).toStdString());
        }
    }
    if (breaks.size() == 1 && visited.size() > 1 && inOrder(*visited.back(), *visited.front())) {
        breaks.clear();
    }
    for (const std::string& wrong : breaks) {
        ADD_FAILURE() << what << ": out of reading order: " << wrong;
    }
}

/// Tabs to the control named name on page; false when there is none.
bool TabTo(QWidget& window, QWidget& page, const QString& name) {
    for (int step = 0; step < 80; ++step) {
        Press(window, Qt::Key_Tab);
        QWidget* focused = QApplication::focusWidget();
        if (focused != nullptr && page.isAncestorOf(focused) && focused->accessibleName() == name) {
            return true;
        }
    }
    return false;
}

TEST_P(DesktopKeyboardTest, EveryScreenIsWalkedWithTabAndNamedAndItsHelpButtonAnswersEnter) {
    ASSERT_TRUE(s_demo->IsRunning());
    FlowTest::FrameWorld world(*s_demo);
    ASSERT_TRUE(world.Start());
    FlowTest::PopupDismisser dismisser(world.frame);
    world.frame.activateWindow();
    const std::string faq = world.App().GetParameter("GLM_FAQ_URL");
    int screens = 0;
    for (int id = kFirstDialogId; id <= kLastDialogId; ++id) {
        Glm::SkinnedScreen* screen = world.frame.CreateScreen(id);
        if (screen == nullptr) {
            continue;
        }
        ++screens;
        // The controls as the screen shows them; its data does not matter.
        for (int other = kFirstDialogId; other <= kLastDialogId; ++other) {
            if (Glm::SkinnedScreen* shown = world.frame.FindScreen(other);
                shown != nullptr && shown != screen) {
                shown->hide();
            }
        }
        screen->show();
        screen->raise();
        FlowTest::SaveScreenshot(*screen, "desktop-keyboard-" + std::to_string(id));
        world.frame.setFocus();
        CheckTabCycle(world.frame, *screen, "screen " + std::to_string(id));

        // Enter on the focused Help button does what its click does.
        world.recorder.urls.clear();
        ASSERT_TRUE(TabTo(world.frame, *screen, "Help")) << "screen " << id;
        Press(world.frame, Qt::Key_Return);
        QCoreApplication::sendPostedEvents();
        ASSERT_EQ(world.recorder.urls.size(), 1u) << "screen " << id;
        EXPECT_EQ(world.recorder.urls[0].first, faq);
        // So does a screen reader's press.
        QAccessibleInterface* help = QAccessible::queryAccessibleInterface(QApplication::focusWidget());
        ASSERT_NE(help, nullptr);
        ASSERT_NE(help->actionInterface(), nullptr);
        help->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCoreApplication::sendPostedEvents();
        EXPECT_EQ(world.recorder.urls.size(), 2u) << "screen " << id;
    }
    // The devices, sign-in, sign-up, main menu and tutorial screens at least.
    EXPECT_GE(screens, 5);
}

TEST_P(DesktopKeyboardTest, SignInScreenNamesItsFieldsAndLinksByWhatTheyShow) {
    ASSERT_TRUE(s_demo->IsRunning());
    FlowTest::FrameWorld world(*s_demo);
    ASSERT_TRUE(world.Start());
    Glm::SkinnedScreen* signIn = world.frame.FindScreen(110);
    ASSERT_NE(signIn, nullptr);
    signIn->show();
    signIn->raise();
    std::vector<std::pair<QString, QAccessible::Role>> seen;
    for (QWidget* control : Reachable(*signIn)) {
        const QAccessibleInterface* access = QAccessible::queryAccessibleInterface(control);
        seen.emplace_back(access->text(QAccessible::Name), access->role());
    }
    const auto has = [&seen](const char* name, QAccessible::Role role) {
        return std::find(seen.begin(), seen.end(), std::make_pair(QString::fromUtf8(name), role)) !=
               seen.end();
    };
    EXPECT_TRUE(has("Sign in", QAccessible::Button));
    EXPECT_TRUE(has("Register Now.", QAccessible::Link));
    EXPECT_TRUE(has("Account ID", QAccessible::EditableText));
    EXPECT_TRUE(has("Password", QAccessible::EditableText));
    EXPECT_TRUE(has("Hide Glimmeries", QAccessible::Button));
}

TEST_P(DesktopKeyboardTest, TheKeyboardAloneChoosesAnEntryOfTheDevicesList) {
    ASSERT_TRUE(s_demo->IsRunning());
    FlowTest::FrameWorld world(*s_demo);
    ASSERT_TRUE(world.Start());
    world.frame.activateWindow();
    world.frame.setFocus();
    // Without a toy the list offers Add Friends first.
    ASSERT_TRUE(TabTo(world.frame, world.Devices(), "Toys"));
    Press(world.frame, Qt::Key_Home);
    Press(world.frame, Qt::Key_Return);
    QCoreApplication::sendPostedEvents();
    EXPECT_TRUE(PumpUntil([&] { return world.VisibleScreens() == std::vector<int>{110}; }, 10000));
    EXPECT_EQ(world.App().GetCurrentDevice(), 106);
}

/// How a walk ends each popup: by the keyboard, or by the mouse on the
/// button the key stands for.
enum class Ending { EscapeKey, EnterKey, ClickClose, ClickMain };

/// What one popup did as it was walked and ended.
struct PopupWalk {
    int dialogId = 0;
    int result = -1;
    std::vector<std::string> sounds;
    bool focusOnMain = false;
    bool insideFrame = false;
    bool operator==(const PopupWalk& other) const {
        return dialogId == other.dialogId && result == other.result && sounds == other.sounds;
    }
};

void PrintTo(const PopupWalk& walk, std::ostream* out) {
    *out << "popup " << walk.dialogId << " ended with " << walk.result << " and " << walk.sounds.size()
         << " sounds";
}

/// Opens every popup the frame has through its message and, inside the
/// popup's modal loop, walks it with Tab and ends it as ending says.
std::vector<PopupWalk> WalkPopups(FlowTest::FrameWorld& world, Ending ending) {
    std::vector<PopupWalk> walks;
    std::set<Glm::SkinnedPopup*> handled;
    Glm::SkinnedPopup* walking = nullptr;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        Glm::SkinnedPopup* popup = world.frame.GetOpenPopup();
        if (popup == nullptr || !popup->isVisible() || handled.count(popup) != 0) {
            return;
        }
        handled.insert(popup);
        walking = popup;
        QWidget& window = popup->isWindow() ? static_cast<QWidget&>(*popup) : world.frame;
        // The window system would make the opened popup active; offscreen
        // nothing does.
        QApplication::setActiveWindow(&window);
        PopupWalk walk;
        walk.dialogId = popup->GetDialogId();
        walk.insideFrame = !popup->isWindow();
        walk.focusOnMain = popup->GetMainButton() != nullptr && popup->GetMainButton()->hasFocus();
        // Inside the frame, the frame's picture shows the popup cut to its shape.
        FlowTest::SaveScreenshot(popup->isWindow() ? static_cast<QWidget&>(*popup) : world.frame,
                                 "desktop-keyboard-popup-" + std::to_string(walk.dialogId) +
                                     (popup->isWindow() ? "" : "-inside"));
        // Enter is pressed on the popup as it opens; the other walks go
        // round it with Tab first.
        if (ending != Ending::EnterKey) {
            CheckTabCycle(window, *popup, "popup " + std::to_string(walk.dialogId));
        }
        const std::size_t soundsBefore = world.recorder.sounds.size();
        const auto idOf = [](const QWidget* button) {
            return button != nullptr ? ThinUI::ControlId(button) : 0;
        };
        switch (ending) {
        case Ending::EscapeKey:
            // From wherever the focus is: Escape means the popup as a whole.
            Press(window, Qt::Key_Tab);
            Press(window, Qt::Key_Escape);
            break;
        case Ending::EnterKey:
            Press(window, Qt::Key_Return);
            break;
        case Ending::ClickClose:
            FlowTest::Click(*popup, idOf(popup->GetCloseButton()));
            break;
        case Ending::ClickMain:
            FlowTest::Click(*popup, idOf(popup->GetMainButton()));
            break;
        }
        QCoreApplication::sendPostedEvents();
        walk.result = popup->isVisible() ? -1 : popup->result();
        walk.sounds.assign(world.recorder.sounds.begin() + static_cast<std::ptrdiff_t>(soundsBefore),
                           world.recorder.sounds.end());
        walks.push_back(walk);
        handled.erase(popup);
        walking = nullptr;
    });
    timer.start(5);
    // A main button that acts (an upload, a set-up) may open a further popup
    // (an error) in its own modal loop while the walk's timer is still busy:
    // such a popup is closed, it is not part of the walk.
    QTimer nested;
    QObject::connect(&nested, &QTimer::timeout, [&] {
        Glm::SkinnedPopup* popup = world.frame.GetOpenPopup();
        if (walking != nullptr && popup != nullptr && popup != walking && popup->isVisible()) {
            popup->EndDialog(Glm::SkinnedPopup::kCancel);
        }
    });
    nested.start(20);
    world.App().SetCurrentDevice(106);
    // Every popup message of the frame's table; those whose popup is not
    // built open nothing.
    const std::pair<std::uint32_t, UI::WPARAM> messages[] = {{UI::WM_GLM_SHOW_QUICKPHRASE_POPUP, 0},
                                                             {UI::WM_GLM_SHOW_FRIENDSHIP_INVITE, 0},
                                                             {UI::WM_GLM_SHOW_FRIENDSHIP_CONGRATS, 0},
                                                             {UI::WM_GLM_SHOW_FRIENDSHIP_INVITE_2, 0},
                                                             {UI::WM_GLM_SHOW_FRIENDSHIP_STATUS, 0},
                                                             {UI::WM_GLM_SHOW_CHARM_CONGRATS, 0},
                                                             {UI::WM_GLM_SHOW_GLINT_CONFIRM, 0},
                                                             {UI::WM_GLM_SHOW_GLINT_UPLOAD_CONGRATS, 0},
                                                             {UI::WM_GLM_SHOW_GLINT_REDEEM_CONGRATS, 0},
                                                             {UI::WM_GLM_SHOW_REDEEM_WARNING, 0},
                                                             {UI::WM_GLM_SHOW_SETUP_CONFIRM, 0},
                                                             {UI::WM_GLM_SHOW_SETUP_CONGRATS, 0},
                                                             {UI::WM_GLM_SHOW_CONGRATS, 199},
                                                             {UI::WM_GLM_SHOW_ERROR, 150}};
    for (const auto& [message, wParam] : messages) {
        world.frame.Target().Send(message, wParam);
        PumpUntil([&] { return world.frame.GetOpenPopup() == nullptr; }, 5000);
    }
    return walks;
}

int ResultOf(const std::vector<PopupWalk>& walks, int dialogId) {
    for (const PopupWalk& walk : walks) {
        if (walk.dialogId == dialogId) {
            return walk.result;
        }
    }
    return -2;
}

TEST_P(DesktopKeyboardTest, EscapeClosesEveryPopupAsItsCloseButtonDoes) {
    ASSERT_TRUE(s_demo->IsRunning());
    FlowTest::FrameWorld world(*s_demo);
    ASSERT_TRUE(world.Start());
    const std::vector<PopupWalk> byKey = WalkPopups(world, Ending::EscapeKey);
    const std::vector<PopupWalk> byMouse = WalkPopups(world, Ending::ClickClose);
    EXPECT_EQ(byKey, byMouse);
    for (const PopupWalk& walk : byKey) {
        EXPECT_TRUE(walk.focusOnMain)
            << "popup " << walk.dialogId << " opens without focus on its main button";
        EXPECT_EQ(walk.insideFrame, GetParam()) << "popup " << walk.dialogId;
    }
    // The QuickPhrase, congratulations and error popups close with 2.
    for (const int dialogId : {156, 162, 157}) {
        EXPECT_EQ(ResultOf(byKey, dialogId), Glm::SkinnedPopup::kCancel) << "popup " << dialogId;
    }
    // The frame's pages take input again afterwards, and Tab goes on in the
    // visible screen.
    EXPECT_TRUE(world.Devices().isEnabled());
    QApplication::setActiveWindow(&world.frame);
    Press(world.frame, Qt::Key_Tab);
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    EXPECT_TRUE(world.Devices().isAncestorOf(QApplication::focusWidget()));
}

TEST_P(DesktopKeyboardTest, EnterPressesThePopupsMainButton) {
    ASSERT_TRUE(s_demo->IsRunning());
    FlowTest::FrameWorld world(*s_demo);
    ASSERT_TRUE(world.Start());
    const std::vector<PopupWalk> byKey = WalkPopups(world, Ending::EnterKey);
    const std::vector<PopupWalk> byMouse = WalkPopups(world, Ending::ClickMain);
    EXPECT_EQ(byKey, byMouse);
    // The QuickPhrase popup's OK confirms; the others' OK closes.
    EXPECT_EQ(ResultOf(byKey, 156), Glm::SkinnedPopup::kConfirm);
    EXPECT_EQ(ResultOf(byKey, 162), Glm::SkinnedPopup::kCancel);
    EXPECT_EQ(ResultOf(byKey, 157), Glm::SkinnedPopup::kCancel);
}

INSTANTIATE_TEST_SUITE_P(Popups, DesktopKeyboardTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& param) {
                             return param.param ? std::string("InsideFrame") : std::string("OwnWindow");
                         });

} // namespace
