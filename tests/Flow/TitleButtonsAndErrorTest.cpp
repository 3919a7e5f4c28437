// The title-bar buttons of the screens and the error popup with its
// follow-up actions.

#include "Flow/GLMErrorDlg.h"
#include "Flow/GLMSplashDlg.h"
#include "Flow/MainFrame.h"
#include "Flow/SkinnedScreen.h"
#include "FlowFixture.h"
#include "ThinUI/C3StateButton.h"
#include "ThinUI/TextLabel.h"

#include <QCoreApplication>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

using FlowTest::Click;
using FlowTest::Fixture;
using FlowTest::Recorder;

constexpr int kExit = 1151;
constexpr int kMinimize = 1152;
constexpr int kHelp = 1150;
constexpr int kMenu = 1232;

class NoPicture : public ThinUI::Image {
public:
    bool Load() override { return false; }
};

class TitledScreen : public Glm::SkinnedScreen {
public:
    TitledScreen(Glm::Glimmeries& application, Glm::MainFrame& frame, Glm::TitleButtonIds ids)
        : SkinnedScreen(application, frame, 998, std::make_unique<NoPicture>()), m_ids(std::move(ids)) {}
    std::vector<int> commands;

protected:
    bool OnInitDialog() override {
        AddTitleButtons(m_ids);
        AddButton("NEXT_BUTTONS", 3, 1041, 625, 219);
        return true;
    }
    void OnCommand(int controlId) override { commands.push_back(controlId); }

private:
    Glm::TitleButtonIds m_ids;
};

struct TitledFrame {
    Fixture fixture;
    Recorder recorder{*fixture.application};
    Glm::MainFrame frame{*fixture.application};
    std::vector<UI::Message> seen;

    TitledFrame() {
        frame.SetObserver([this](const UI::Message& message) { seen.push_back(message); });
        frame.show();
    }
    ~TitledFrame() { FlowTest::ForgetQuitRequest(); }
    void Press(TitledScreen& screen, int controlId) {
        ASSERT_TRUE(Click(screen, controlId)) << "no control " << controlId;
        QCoreApplication::sendPostedEvents(&screen);
    }
};

TEST(TitleButtonsTest, ExitHidesToTheTrayAndMinimizeMinimisesEachAfterItsSound) {
    TitledFrame t;
    TitledScreen screen(*t.fixture.application, t.frame, {kExit, kMinimize, kHelp, 0, {}});
    ASSERT_TRUE(screen.Create());
    screen.show();
    EXPECT_EQ(screen.findChildren<ThinUI::C3StateButton*>().size(), 4) << "no Menu button unless asked for";
    EXPECT_EQ(ThinUI::FindControl(&screen, kExit)->pos(), QPoint(665, 17));
    EXPECT_EQ(ThinUI::FindControl(&screen, kMinimize)->pos(), QPoint(639, 17));
    EXPECT_EQ(ThinUI::FindControl(&screen, kHelp)->pos(), QPoint(62, 17));

    t.Press(screen, kExit);
    ASSERT_EQ(t.seen.size(), 1U);
    EXPECT_EQ(t.seen[0].id, UI::WM_GLM_TRAY_COMMAND);
    EXPECT_EQ(t.seen[0].wParam, UI::ID_TRAY_HIDE);
    EXPECT_EQ(t.recorder.sounds, std::vector<std::string>{"EXIT_SOUND"});
    EXPECT_TRUE(screen.isVisible()) << "the screen itself stays the current one";

    t.Press(screen, kMinimize);
    EXPECT_TRUE(t.frame.windowState() & Qt::WindowMinimized);
    EXPECT_EQ(t.recorder.sounds.back(), "MINIMIZE_SOUND");
    EXPECT_EQ(t.seen.size(), 1U) << "minimising sends nothing";

    t.Press(screen, 1041);
    EXPECT_EQ(screen.commands, std::vector<int>{1041}) << "other buttons reach the screen, title ones do not";
}

TEST(TitleButtonsTest, HelpOpensTheFaqPageWithTheDefaultBrowserRoute) {
    TitledFrame t;
    t.fixture.worker->parameters["GLM_FAQ_URL"] = "https://help.invalid/faq";
    TitledScreen screen(*t.fixture.application, t.frame, {kExit, kMinimize, kHelp, 0, {}});
    ASSERT_TRUE(screen.Create());
    screen.show();
    t.Press(screen, kHelp);
    EXPECT_EQ(t.recorder.sounds, std::vector<std::string>{"HELP_SOUND"});
    const std::vector<std::pair<std::string, bool>> expected{{"https://help.invalid/faq", false}};
    EXPECT_EQ(t.recorder.urls, expected);
    EXPECT_TRUE(t.seen.empty());
}

TEST(TitleButtonsTest, MenuGoesBackToTheMainMenuAndHidesThePage) {
    TitledFrame t;
    TitledScreen plain(*t.fixture.application, t.frame, {kExit, kMinimize, kHelp, kMenu, {}});
    ASSERT_TRUE(plain.Create());
    plain.show();
    EXPECT_EQ(ThinUI::FindControl(&plain, kMenu)->pos(), QPoint(85, 14));
    t.Press(plain, kMenu);
    ASSERT_EQ(t.seen.size(), 1U);
    EXPECT_EQ(t.seen[0].id, UI::WM_GLM_SCREEN_DONE);
    EXPECT_FALSE(plain.isVisible());
    EXPECT_TRUE(t.recorder.sounds.empty()) << "silent unless the page asks for a sound";

    TitledScreen turning(*t.fixture.application, t.frame, {1162, 1163, 1161, 1242, "PAGE_TURN_SOUND"});
    ASSERT_TRUE(turning.Create());
    turning.show();
    t.Press(turning, 1242);
    EXPECT_EQ(t.recorder.sounds, std::vector<std::string>{"PAGE_TURN_SOUND"});
    EXPECT_EQ(t.seen.back().id, UI::WM_GLM_SCREEN_DONE);
    EXPECT_FALSE(turning.isVisible());
    EXPECT_TRUE(turning.commands.empty());
}

TEST(TitleButtonsTest, TheSplashExitEndsTheApplicationSilently) {
    TitledFrame t;
    Glm::CGLMSplashDlg splash(*t.fixture.application, t.frame);
    ASSERT_TRUE(splash.Create());
    splash.show();
    ASSERT_TRUE(Click(splash, Glm::CGLMSplashDlg::kExitId));
    QCoreApplication::sendPostedEvents(&splash);
    EXPECT_FALSE(splash.isVisible());
    ASSERT_EQ(t.seen.size(), 1U);
    EXPECT_EQ(t.seen[0].id, UI::WM_CLOSE);
    EXPECT_TRUE(t.frame.IsClosed());
    EXPECT_TRUE(t.recorder.sounds.empty());
}

// Runs action inside the next modal loop (the popup's), once.
template <typename Action>
void InPopup(Glm::MainFrame& frame, Action action) {
    FlowTest::InNextModalLoop(frame, std::move(action));
}

QString PopupText(Glm::CGLMErrorDlg& popup) {
    auto* label = static_cast<ThinUI::TextLabel*>(ThinUI::FindControl(&popup, Glm::CGLMErrorDlg::kTextId));
    return label == nullptr ? QString() : label->GetText();
}

TEST(ErrorPopupTest, StartErrorShowsItsTextAndClosesTheApplicationAfterTheUserClosesIt) {
    TitledFrame t;
    QString shownText;
    bool wasOpen = false;
    InPopup(t.frame, [&] {
        Glm::CGLMErrorDlg* popup = t.frame.GetErrorPopup();
        ASSERT_NE(popup, nullptr);
        wasOpen = t.frame.IsErrorPopupOpen() && popup->isVisible();
        shownText = PopupText(*popup);
        EXPECT_FALSE(t.frame.IsClosed()) << "nothing closes before the user has read the text";
        EXPECT_TRUE(Click(*popup, Glm::CGLMErrorDlg::kOkId));
    });
    t.frame.Target().Send(UI::WM_GLM_START_ERROR);
    EXPECT_TRUE(wasOpen);
    EXPECT_TRUE(shownText.startsWith(QStringLiteral("There has been an error starting the Glimmeries")))
        << shownText.toStdString();
    EXPECT_TRUE(t.frame.IsClosed());
    EXPECT_FALSE(t.frame.IsErrorPopupOpen());
    const std::vector<std::string> sounds{"OOPS_SOUND", "CLOSE_SOUND"};
    EXPECT_EQ(t.recorder.sounds, sounds);
}

TEST(ErrorPopupTest, FollowUpActionsByMessageIdFromEitherButton) {
    struct Case {
        std::uint32_t id;
        int button;
        std::vector<std::pair<std::string, bool>> urls;
        bool closes;
    };
    const std::vector<Case> cases{
        {184,
         Glm::CGLMErrorDlg::kCloseId,
         {{"http://flash.invalid/home/html/index.html?flash=false", true}},
         true},
        {196,
         Glm::CGLMErrorDlg::kOkId,
         {{"https://account.invalid/account_hold?bannedUsername=Wren", false}},
         false},
        {180, Glm::CGLMErrorDlg::kCloseId, {}, true},
        {153, Glm::CGLMErrorDlg::kOkId, {}, false},
        {174, Glm::CGLMErrorDlg::kCloseId, {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        TitledFrame t;
        t.fixture.worker->parameters["GLM_INSTALL_FLASH_URL"] =
            "http://flash.invalid/home/html/index.html?flash=false";
        t.fixture.worker->parameters["GLM_BANNED_ACCOUNT_URL"] =
            "https://account.invalid/account_hold?bannedUsername=Wren";
        InPopup(t.frame, [&] { EXPECT_TRUE(Click(*t.frame.GetErrorPopup(), c.button)); });
        t.frame.Target().Send(UI::WM_GLM_SHOW_ERROR, c.id);
        EXPECT_EQ(t.recorder.urls, c.urls);
        EXPECT_EQ(t.frame.IsClosed(), c.closes);
        EXPECT_EQ(t.recorder.sounds.back(), "CLOSE_SOUND");
    }
}

TEST(ErrorPopupTest, RemovedToyGoesBackToTheDevicesPageAndEndsWithTwo) {
    TitledFrame t;
    Glm::CGLMErrorDlg popup(*t.fixture.application, t.frame);
    popup.SetMessageId(183);
    InPopup(t.frame, [&] { EXPECT_TRUE(Click(popup, Glm::CGLMErrorDlg::kOkId)); });
    EXPECT_EQ(popup.DoModal(), 2);
    ASSERT_EQ(t.seen.size(), 2U);
    EXPECT_EQ(t.seen[0].id, UI::WM_GLM_SHOW_DEVICES);
    EXPECT_EQ(t.seen[1].id, UI::WM_GLM_HIDE_ALL);
    EXPECT_EQ(t.seen[1].wParam, UI::WM_GLM_SHOW_DEVICES);
    EXPECT_FALSE(t.frame.IsClosed());
}

TEST(ErrorPopupTest, ASecondErrorOpensNothingNewAndTheCloseFollowsTheNewId) {
    TitledFrame t;
    QString textAfterSecond;
    int popupsOpenedInside = 0;
    InPopup(t.frame, [&] {
        Glm::CGLMErrorDlg* popup = t.frame.GetErrorPopup();
        // Both return at once: the open popup is not doubled, and the start
        // error leaves the closing to the popup.
        t.frame.Target().Send(UI::WM_GLM_START_ERROR);
        t.frame.Target().Send(UI::WM_GLM_SHOW_ERROR, 180);
        popupsOpenedInside = static_cast<int>(t.frame.findChildren<Glm::CGLMErrorDlg*>().size());
        textAfterSecond = PopupText(*popup);
        EXPECT_FALSE(t.frame.IsClosed());
        EXPECT_TRUE(Click(*popup, Glm::CGLMErrorDlg::kOkId));
    });
    t.frame.Target().Send(UI::WM_GLM_SHOW_ERROR, 189);
    EXPECT_EQ(popupsOpenedInside, 1);
    EXPECT_TRUE(textAfterSecond.startsWith(QStringLiteral("You need to select a Fairy")))
        << "the open popup keeps its text: " << textAfterSecond.toStdString();
    EXPECT_EQ(t.frame.GetErrorId(), 180U);
    EXPECT_TRUE(t.frame.IsClosed()) << "the close followed 180";
    const std::vector<std::string> sounds{"OOPS_SOUND", "CLOSE_SOUND"};
    EXPECT_EQ(t.recorder.sounds, sounds) << "one popup, shown once";

    // Closed again, the next error opens it anew with its own text.
    FlowTest::ForgetQuitRequest();
    QString nextText;
    InPopup(t.frame, [&] {
        nextText = PopupText(*t.frame.GetErrorPopup());
        Click(*t.frame.GetErrorPopup(), Glm::CGLMErrorDlg::kCloseId);
    });
    t.frame.Target().Send(UI::WM_GLM_CONNECT_ERROR);
    EXPECT_TRUE(nextText.startsWith(QStringLiteral("There has been an error connecting")))
        << nextText.toStdString();
}

} // namespace
