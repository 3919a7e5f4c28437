// The movie window and its screen view: loading, readiness, time-outs, the
// scripted calls, click capture and the failures the screens rely on.

#include "Tools/FlashWindowView.h"

#include "Tools/FlashWindow.h"
#include "ViewsTestSupport.h"
#include "common/UI/QtMessageTarget.h"
#include "common/UI/RecordingMessageTarget.h"
#include "common/Web/ContentWindowExceptions.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QPointer>
#include <QWebEnginePage>
#include <QtWebEngineCore/qtwebenginecoreglobal.h>
#include <gtest/gtest.h>
#include <memory>
#include <set>

using namespace ViewsTest;

namespace {

const std::string kDna = "<avatar><body skin=\"#F1C7A5\"/><hair style=\"2\" color=\"#6B3E26\"/>"
                         "<eyes color=\"#3A6EA5\"/><dress style=\"4\" color=\"#C86DD7\"/>"
                         "<wings style=\"1\" color=\"#9FD8F5\"/><tagalong ttl=\"5\">3</tagalong></avatar>";
const std::string kHaloOn =
    "<invoke name=\"SetHalo\" returntype=\"xml\"><arguments><string>true</string></arguments></invoke>";
const std::string kHaloOff =
    "<invoke name=\"SetHalo\" returntype=\"xml\"><arguments><string>false</string></arguments></invoke>";
const std::string kVersion =
    "<invoke name=\"getMSVersionCompatible\" returntype=\"xml\"><arguments></arguments></invoke>";
constexpr std::uint32_t kClickMessage = 1575;

std::string FlashVars(const std::string& dna, const std::string& name, bool butterfly) {
    return "&&fairyDNA=" + dna + "&fairyName=" + name + (butterfly ? "&useButterfly=1" : "");
}

class FlashWindowViewTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_screen = std::make_unique<QWidget>();
        m_screen->resize(750, 500);
        m_screen->show();
    }
    void TearDown() override {
        m_view.DestroyClientWindow();
        m_screen.reset();
    }

    // A view at the screens' avatar size showing the movie with these vars.
    void ShowAvatar(const QString& resource, const QString& file, const std::string& flashVars,
                    std::uint32_t background = 0xD3B0D2) {
        m_view.CreateClientWindow(m_screen.get(), QRect(214, 203, 105, 159), &m_target);
        m_view.SetAvatar(2, flashVars, 4242, kClickMessage, background);
        m_view.LoadUrl(ExtractMovie(m_dir, resource, file).toStdString());
    }
    bool WaitReady() {
        return WaitUntil([&] { return m_view.GetFlashWindow() && m_view.GetFlashWindow()->isVisible(); });
    }
    QVariant Js(const QString& script) { return RunJs(m_view.GetFlashWindow()->GetPage(), script); }
    void Press(Qt::MouseButton button) {
        QWidget* target = m_view.GetFlashWindow()->GetAxWindowHandle();
        if (QWidget* inner = target->focusProxy()) {
            target = inner;
        }
        const QPointF where(50, 60);
        QMouseEvent press(QEvent::MouseButtonPress, where, QPointF(target->mapToGlobal(where.toPoint())),
                          button, button, Qt::NoModifier);
        const QPoint global = target->mapToGlobal(where.toPoint());
        QPointer<QWidget> alive(target);
        QApplication::sendEvent(target, &press);
        if (alive) { // the click may have closed the view
            QMouseEvent release(QEvent::MouseButtonRelease, where, global, button, Qt::NoButton,
                                Qt::NoModifier);
            QApplication::sendEvent(target, &release);
        }
    }

    QTemporaryDir m_dir;
    RecordingLogger m_logger;
    Ex::ScopedLogger m_scopedLogger{&m_logger};
    UI::RecordingMessageTarget m_target;
    std::unique_ptr<QWidget> m_screen;
    Glm::FlashWindowView m_view;
};

TEST_F(FlashWindowViewTest, EveryMovieBecomesReadyAndShows) {
    const struct {
        QString resource, file;
        QRect rect;
    } movies[] = {
        {QStringLiteral("AVATAR_AND_BUTTERFLY"), QStringLiteral("avatarAndButterfly.swf"),
         QRect(0, 0, 105, 159)},
        {QStringLiteral("AVATAR_FULL"), QStringLiteral("avatarFull.swf"), QRect(0, 0, 105, 159)},
        {QStringLiteral("BRACELET_CONGRATS"), QStringLiteral("bracelet_congrats.swf"),
         QRect(206, 232, 332, 128)},
        {QStringLiteral("JEWELRY_BOX_CONGRATS"), QStringLiteral("jewelry_box_congrats.swf"),
         QRect(206, 232, 332, 128)},
    };
    for (const auto& movie : movies) {
        SCOPED_TRACE(movie.file.toStdString());
        Glm::FlashWindowView view;
        view.CreateClientWindow(m_screen.get(), movie.rect, &m_target);
        view.LoadUrl(ExtractMovie(m_dir, movie.resource, movie.file).toStdString());
        EXPECT_FALSE(view.GetFlashWindow()->isVisible()) << "shown before it is ready";
        ASSERT_TRUE(WaitUntil([&] { return view.GetFlashWindow()->isVisible(); }));
        EXPECT_EQ(view.GetFlashWindow()->GetReadyState(), 4);
        EXPECT_FALSE(view.GetFlashWindow()->IsLoadTimerActive());
        // For the picture only: the celebrations are caught in full swing.
        RunEventsFor(movie.rect.width() > 200 ? 1300 : 0);
        SaveScreenshot(view.GetWindow(), QStringLiteral("movie-") + movie.resource);
    }
    EXPECT_FALSE(m_logger.Contains("ContentError"));
}

TEST_F(FlashWindowViewTest, AvatarAnswersItsFunctionsAndHalo) {
    ShowAvatar(QStringLiteral("AVATAR_AND_BUTTERFLY"), QStringLiteral("avatarAndButterfly.swf"),
               FlashVars(kDna, "Lilybell", true));
    ASSERT_TRUE(WaitReady());
    EXPECT_EQ(m_view.CallFunction(kVersion), "<string>1</string>");

    const QImage plain = SaveScreenshot(m_view.GetWindow(), QStringLiteral("avatar-butterfly-no-halo"));
    EXPECT_LT(GoldPixels(plain), 30);
    EXPECT_EQ(m_view.CallFunction(kHaloOn), "<undefined/>");
    const QImage halo = SaveScreenshot(m_view.GetWindow(), QStringLiteral("avatar-butterfly-halo"),
                                       [](const QImage& image) { return GoldPixels(image) >= 60; });
    EXPECT_GE(GoldPixels(halo), 60) << "no glowing halo drawn";
    EXPECT_EQ(m_view.CallFunction(kHaloOff), "<undefined/>");
    EXPECT_TRUE(WaitUntil([&] { return GoldPixels(m_view.GetWindow()->grab().toImage()) < 30; }, 5000));
}

TEST_F(FlashWindowViewTest, FlashVarsReachTheMovieBeforeItDraws) {
    ShowAvatar(QStringLiteral("AVATAR_AND_BUTTERFLY"), QStringLiteral("avatarAndButterfly.swf"),
               FlashVars(kDna, "Pip Moonwhistle", true));
    ASSERT_TRUE(WaitReady());
    EXPECT_EQ(Js(QStringLiteral("document.querySelector('#name-tag text').textContent")).toString(),
              QStringLiteral("Pip Moonwhistle"));
    // The dress is drawn in the colour the avatar element gives, the butterfly
    // flies, and the page uses the background colour it was given.
    EXPECT_EQ(Js(QStringLiteral("document.querySelector('#dress path').getAttribute('fill')")).toString(),
              QStringLiteral("#C86DD7"));
    EXPECT_GT(Js(QStringLiteral("document.querySelectorAll('#butterfly *').length")).toInt(), 0);
    EXPECT_EQ(Js(QStringLiteral("getComputedStyle(document.body).backgroundColor")).toString(),
              QStringLiteral("rgb(211, 176, 210)"));
}

TEST_F(FlashWindowViewTest, AvatarWithoutButterflyFlagOrTagalongFliesAlone) {
    std::string noTagalong = kDna;
    noTagalong.erase(noTagalong.find("<tagalong"),
                     noTagalong.find("</avatar>") - noTagalong.find("<tagalong"));
    ShowAvatar(QStringLiteral("AVATAR_FULL"), QStringLiteral("avatarFull.swf"),
               FlashVars(kDna, "Wren", false), 0xA05EA1);
    ASSERT_TRUE(WaitReady());
    EXPECT_EQ(Js(QStringLiteral("document.querySelectorAll('#butterfly *').length")).toInt(), 0);
    SaveScreenshot(m_view.GetWindow(), QStringLiteral("avatar-full-letter"));

    ShowAvatar(QStringLiteral("AVATAR_AND_BUTTERFLY"), QStringLiteral("avatarAndButterfly.swf"),
               FlashVars(noTagalong, "Wren", true));
    ASSERT_TRUE(WaitReady());
    EXPECT_EQ(Js(QStringLiteral("document.querySelectorAll('#butterfly *').length")).toInt(), 0);
}

TEST_F(FlashWindowViewTest, EveryStyleDrawsItsOwnFairy) {
    const char* const colors[][4] = {{"#FFE0C8", "#E8B04A", "#2F8F5B", "#FF9ED2"},
                                     {"#8D5A3B", "#2A1A12", "#6B3E26", "#FFD447"},
                                     {"#F1C7A5", "#D94F7A", "#3A6EA5", "#7EE0B5"},
                                     {"#C98E6B", "#F5F0FF", "#8A4FD1", "#A05EA1"},
                                     {"#FCE3D0", "#FF8A3D", "#1F7A8C", "#5FD3F3"}};
    std::set<std::string> seen;
    for (int style = 1; style <= 5; ++style) {
        const auto& c = colors[style - 1];
        const std::string dna = "<avatar><body skin=\"" + std::string(c[0]) + "\"/><hair style=\"" +
                                std::to_string(style) + "\" color=\"" + c[1] + "\"/><eyes color=\"" + c[2] +
                                "\"/><dress style=\"" + std::to_string(style) + "\" color=\"" + c[3] +
                                "\"/><wings style=\"" + std::to_string(style) + "\" color=\"#C9E8FF\"/>" +
                                "<tagalong ttl=\"2\">" + std::to_string(style) + "</tagalong></avatar>";
        ShowAvatar(QStringLiteral("AVATAR_AND_BUTTERFLY"), QStringLiteral("avatarAndButterfly.swf"),
                   FlashVars(dna, "Style " + std::to_string(style), true));
        ASSERT_TRUE(WaitReady());
        const QString drawing =
            Js(QStringLiteral("['hair-back','hair-front','dress','wings'].map(function (id) {"
                              " return document.getElementById(id).innerHTML; }).join('|')"))
                .toString();
        EXPECT_TRUE(seen.insert(drawing.toStdString()).second) << "style " << style << " looks like another";
        SaveScreenshot(m_view.GetWindow(), QStringLiteral("avatar-style-%1").arg(style));
    }
}

TEST_F(FlashWindowViewTest, BadFairyDnaStillDrawsADefaultFairy) {
    const std::string bad[] = {"this is < not xml", "<avatar/>",
                               "<avatar><hair style=\"x\" color=\"red\"/></avatar>",
                               "<fairy><dress style=\"2\" color=\"#00FF00\"/></fairy>"};
    int index = 0;
    for (const std::string& dna : bad) {
        SCOPED_TRACE(dna);
        ShowAvatar(QStringLiteral("AVATAR_AND_BUTTERFLY"), QStringLiteral("avatarAndButterfly.swf"),
                   FlashVars(dna, "Default", true));
        ASSERT_TRUE(WaitReady());
        EXPECT_EQ(Js(QStringLiteral("document.querySelector('#dress path').getAttribute('fill')")).toString(),
                  QStringLiteral("#A05EA1"));
        EXPECT_GT(Js(QStringLiteral("document.querySelectorAll('#head *').length")).toInt(), 5);
        if (index++ == 0) {
            SaveScreenshot(m_view.GetWindow(), QStringLiteral("avatar-default-fairy"));
        }
    }
}

TEST_F(FlashWindowViewTest, StopPausesTheMovie) {
    ShowAvatar(QStringLiteral("AVATAR_FULL"), QStringLiteral("avatarFull.swf"),
               FlashVars(kDna, "Wren", false));
    ASSERT_TRUE(WaitReady());
    const QString paused = QStringLiteral("(function () { var all = document.getAnimations();"
                                          " return all.length > 0 && all.every(function (a) {"
                                          " return a.playState === 'paused'; }); })()");
    EXPECT_FALSE(Js(paused).toBool());
    m_view.GetFlashWindow()->Stop();
    EXPECT_TRUE(WaitUntil([&] { return Js(paused).toBool(); }));
}

TEST_F(FlashWindowViewTest, UnknownOrMalformedCallsGiveAnEmptyReply) {
    ShowAvatar(QStringLiteral("AVATAR_FULL"), QStringLiteral("avatarFull.swf"),
               FlashVars(kDna, "Wren", false));
    ASSERT_TRUE(WaitReady());
    EXPECT_EQ(m_view.CallFunction("<invoke name=\"Explode\" returntype=\"xml\"><arguments/></invoke>"), "");
    EXPECT_EQ(m_view.CallFunction("not xml at all"), "");
    EXPECT_EQ(m_view.CallFunction("<invoke name=\"SetHalo\"><arguments><string>true</string>"), "");
    // The movie still answers afterwards.
    EXPECT_EQ(m_view.CallFunction(kVersion), "<string>1</string>");
}

TEST_F(FlashWindowViewTest, CallDuringLoadWaitsForTheMovie) {
    ShowAvatar(QStringLiteral("AVATAR_FULL"), QStringLiteral("avatarFull.swf"),
               FlashVars(kDna, "Wren", false));
    EXPECT_EQ(m_view.CallFunction(kVersion), "<string>1</string>");
}

TEST_F(FlashWindowViewTest, CallWithoutAMovieFails) {
    m_view.CreateClientWindow(m_screen.get(), QRect(0, 0, 105, 159), &m_target);
    EXPECT_THROW(m_view.CallFunction(kVersion), Web::ContentCallException);
}

TEST_F(FlashWindowViewTest, LeftPressSendsTheClickMessageAndTheMovieNeverSeesIt) {
    ShowAvatar(QStringLiteral("AVATAR_AND_BUTTERFLY"), QStringLiteral("avatarAndButterfly.swf"),
               FlashVars(kDna, "Lilybell", true));
    ASSERT_TRUE(WaitReady());
    Js(QStringLiteral(
        "window.pressed = 0; document.addEventListener('mousedown', function () { pressed++; }, true);"
        "document.addEventListener('contextmenu', function () { pressed += 100; }, true); 1"));

    Press(Qt::RightButton);
    RunEventsFor(200);
    EXPECT_TRUE(m_target.Messages().empty());
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);

    Press(Qt::LeftButton);
    ASSERT_EQ(m_target.Messages().size(), 1u);
    EXPECT_EQ(m_target.Messages()[0].id, kClickMessage);
    EXPECT_EQ(m_target.Messages()[0].wParam, 2u);
    EXPECT_EQ(m_target.Messages()[0].lParam, 4242);
    RunEventsFor(200);
    EXPECT_EQ(Js(QStringLiteral("window.pressed")).toInt(), 0);

    // The pointer is a hand over the whole movie, whatever the page asks for.
    QWidget* engine = m_view.GetFlashWindow()->GetAxWindowHandle();
    EXPECT_EQ(engine->cursor().shape(), Qt::PointingHandCursor);
    if (QWidget* inner = engine->focusProxy()) {
        EXPECT_EQ(inner->cursor().shape(), Qt::PointingHandCursor);
        inner->setCursor(Qt::IBeamCursor);
        EXPECT_EQ(inner->cursor().shape(), Qt::PointingHandCursor);
    }
}

TEST_F(FlashWindowViewTest, ScreenMayDestroyTheViewWhileHandlingTheClick) {
    int clicks = 0;
    UI::QtMessageTarget screenTarget([&](const UI::Message&) {
        ++clicks;
        m_view.DestroyClientWindow();
        return UI::LRESULT{0};
    });
    m_view.CreateClientWindow(m_screen.get(), QRect(0, 0, 105, 159), &screenTarget);
    m_view.SetAvatar(0, FlashVars(kDna, "Wren", false), 1, kClickMessage, 0xD3B0D2);
    m_view.LoadUrl(
        ExtractMovie(m_dir, QStringLiteral("AVATAR_FULL"), QStringLiteral("avatarFull.swf")).toStdString());
    ASSERT_TRUE(WaitReady());
    Press(Qt::LeftButton);
    RunEventsFor(200);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(m_view.GetWindow(), nullptr);
}

TEST_F(FlashWindowViewTest, ClickWithoutClickValuesSendsNothing) {
    m_view.CreateClientWindow(m_screen.get(), QRect(0, 0, 105, 159), &m_target);
    m_view.SetAvatar(1, "", 7, kClickMessage, 0xD3B0D2); // empty FlashVars: ignored
    m_view.LoadUrl(
        ExtractMovie(m_dir, QStringLiteral("AVATAR_FULL"), QStringLiteral("avatarFull.swf")).toStdString());
    ASSERT_TRUE(WaitReady());
    Press(Qt::LeftButton);
    EXPECT_TRUE(m_target.Messages().empty());
}

TEST_F(FlashWindowViewTest, MissingFileIsOneErrorAndStartsNothing) {
    auto listener = std::make_unique<RecordingListener>();
    Web::FlashWindow window(m_screen.get(), QRect(0, 0, 105, 159), listener.get());
    window.Navigate(m_dir.filePath(QStringLiteral("nothere.swf")).toStdString());
    ASSERT_EQ(listener->events.size(), 1u);
    EXPECT_EQ(listener->events[0].kind, ListenerEvent::Error);
    EXPECT_EQ(listener->events[0].error, "Can't open 'nothere.swf'. File not found.");
    EXPECT_FALSE(window.IsLoadTimerActive());

    // Through the view, the failure is logged with the path.
    m_view.CreateClientWindow(m_screen.get(), QRect(0, 0, 105, 159), &m_target);
    const std::string path = m_dir.filePath(QStringLiteral("avatarFull.swf")).toStdString();
    m_view.LoadUrl(path);
    EXPECT_TRUE(m_logger.Contains("ContentError: , url = \"" + path +
                                  "\"errors = \"Can't open 'avatarFull.swf'. File not found.\""));
}

TEST_F(FlashWindowViewTest, MovieThatNeverGetsReadyTimesOut) {
    const QString path = WriteFile(m_dir, QStringLiteral("silent.swf"), "<html><body>quiet</body></html>");
    RecordingListener listener;
    Web::FlashWindow window(m_screen.get(), QRect(0, 0, 105, 159), &listener);
    window.SetLoadTimeout(std::chrono::milliseconds(400));
    window.Navigate(path.toStdString());
    ASSERT_TRUE(WaitUntil([&] { return !listener.events.empty(); }));
    RunEventsFor(300);
    ASSERT_EQ(listener.events.size(), 1u);
    EXPECT_EQ(listener.events[0].kind, ListenerEvent::Error);
    EXPECT_EQ(listener.events[0].error, "");
}

TEST_F(FlashWindowViewTest, MovieThatNeverGetsReadyTimesOutAfterThirtySeconds) {
    const QString path = WriteFile(m_dir, QStringLiteral("silent.swf"), "<html><body>quiet</body></html>");
    m_view.CreateClientWindow(m_screen.get(), QRect(0, 0, 105, 159), &m_target);
    QElapsedTimer clock;
    clock.start();
    m_view.LoadUrl(path.toStdString());
    ASSERT_TRUE(WaitUntil([&] { return m_logger.Contains("ContentError"); }, 40000));
    EXPECT_GE(clock.elapsed(), 29900);
    EXPECT_TRUE(m_logger.Contains("ContentError: , url = \"" + path.toStdString() + "\"errors = \"\""));
    EXPECT_FALSE(m_view.GetFlashWindow()->isVisible());
}

TEST_F(FlashWindowViewTest, DestroyingWhileLoadingCallsNoListener) {
    RecordingListener listener;
    auto window = std::make_unique<Web::FlashWindow>(m_screen.get(), QRect(0, 0, 105, 159), &listener);
    window->SetLoadTimeout(std::chrono::milliseconds(200));
    window->Navigate(
        ExtractMovie(m_dir, QStringLiteral("AVATAR_FULL"), QStringLiteral("avatarFull.swf")).toStdString());
    window.reset();
    RunEventsFor(600);
    EXPECT_TRUE(listener.events.empty());

    m_view.CreateClientWindow(m_screen.get(), QRect(0, 0, 105, 159), &m_target);
    m_view.LoadUrl(
        ExtractMovie(m_dir, QStringLiteral("AVATAR_FULL"), QStringLiteral("avatarFull.swf")).toStdString());
    m_view.DestroyClientWindow();
    RunEventsFor(300);
    EXPECT_EQ(m_view.GetWindow(), nullptr);
    EXPECT_FALSE(m_logger.Contains("ContentError"));
}

TEST_F(FlashWindowViewTest, MoviesGetNoNetwork) {
    LoopbackServer server;
    server.AddRoute("/probe", {200, "text/plain", "hello"});
    const QByteArray movie =
        "<html><body><img src='" + server.Url(QStringLiteral("/probe")).toUtf8() + "'><script>fetch('" +
        server.Url(QStringLiteral("/probe")).toUtf8() +
        "').then(function () { GlmPlayer.addCallback('net', function () { return 'open'; }); },"
        " function () { GlmPlayer.addCallback('net', function () { return 'closed'; }); })"
        ".then(function () { GlmPlayer.setReadyState(4); });</script></body></html>";
    m_view.CreateClientWindow(m_screen.get(), QRect(0, 0, 105, 159), &m_target);
    m_view.LoadUrl(WriteFile(m_dir, QStringLiteral("net.swf"), movie).toStdString());
    ASSERT_TRUE(WaitReady());
    EXPECT_EQ(m_view.CallFunction("<invoke name=\"net\" returntype=\"xml\"><arguments/></invoke>"),
              "<string>closed</string>");
    EXPECT_EQ(server.RequestCount("/probe"), 0);
}

TEST_F(FlashWindowViewTest, PlayerVersionIsTheEngineMajorVersion) {
    EXPECT_EQ(m_view.GetFlashOCXObjectVersion(), "");
    m_view.CreateClientWindow(m_screen.get(), QRect(0, 0, 105, 159), &m_target);
    const std::string version = m_view.GetFlashOCXObjectVersion();
    EXPECT_EQ(version, std::string(qWebEngineChromiumVersion()).substr(0, version.size()));
    EXPECT_GE(std::stoi(version), 10) << "the sign-in check needs at least 10";
}

} // namespace
