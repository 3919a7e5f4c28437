// The browser window and its screen view against pages from a loopback
// server: completion, failures, time-outs and display-only behaviour.

#include "Tools/GuiIEWindowView.h"

#include "Tools/IEWindow.h"
#include "ViewsTestSupport.h"
#include "common/UI/RecordingMessageTarget.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWebEnginePage>
#include <gtest/gtest.h>

using namespace ViewsTest;

namespace {

constexpr std::uint32_t kDoneMessage = 1700;

class GuiIEWindowViewTest : public testing::Test {
protected:
    void SetUp() override {
        m_screen.resize(750, 500);
        m_screen.show();
        m_server.AddRoute("/charms.html",
                          {200, "text/html",
                           "<html><body style='background:#D3B0D2'><h1 style='color:#500285'>Charms</h1>"
                           "<div style='height:3000px'>tall</div><img src='/gem.svg'><img src='" +
                               m_server.Url(QStringLiteral("/other.svg"))
                                   .replace(QStringLiteral("127.0.0.1"), QStringLiteral("localhost"))
                                   .toUtf8() +
                               "'></body></html>"});
        m_server.AddRoute("/gem.svg", {200, "image/svg+xml",
                                       "<svg xmlns='http://www.w3.org/2000/svg' width='20' height='20'>"
                                       "<circle cx='10' cy='10' r='9' fill='#A05EA1'/></svg>"});
        m_server.AddRoute("/other.svg", {200, "image/svg+xml", "<svg xmlns='http://www.w3.org/2000/svg'/>"});
        m_server.AddRoute("/hang", {0, {}, {}});
    }

    RecordingLogger m_logger;
    Ex::ScopedLogger m_scopedLogger{&m_logger};
    UI::RecordingMessageTarget m_target;
    QWidget m_screen;
    LoopbackServer m_server;
};

TEST_F(GuiIEWindowViewTest, PageFromLoopbackCompletesAndTellsTheScreen) {
    Glm::GuiIEWindowView view;
    view.CreateClientWindow(&m_screen, QRect(20, 20, 400, 300), &m_target);
    view.LoadUrl(m_server.Url(QStringLiteral("/charms.html")).toStdString(), kDoneMessage);
    ASSERT_TRUE(WaitUntil([&] { return !m_target.Messages().empty(); }));
    EXPECT_EQ(m_target.Messages()[0].id, kDoneMessage);
    EXPECT_EQ(m_target.Messages()[0].wParam, 0u);
    EXPECT_EQ(m_target.Messages()[0].lParam, 0);
    EXPECT_TRUE(m_logger.Contains("DocumentComplete"));
    EXPECT_TRUE(view.GetIEWindow()->isVisible());

    // The page's own host serves its images; another host is refused.
    EXPECT_TRUE(WaitUntil([&] { return m_server.RequestCount("/gem.svg") == 1; }));
    EXPECT_EQ(m_server.RequestCount("/other.svg"), 0);
    // No scroll bars and no margins once shown.
    QWebEnginePage* page = view.GetIEWindow()->GetPage();
    EXPECT_TRUE(WaitUntil([&] {
        return RunJs(page, QStringLiteral("getComputedStyle(document.body).overflow")).toString() ==
               QStringLiteral("hidden");
    }));
    EXPECT_EQ(RunJs(page, QStringLiteral("getComputedStyle(document.body).marginLeft")).toString(),
              QStringLiteral("0px"));
    SaveScreenshot(view.GetWindow(), QStringLiteral("browser-page"));
}

TEST_F(GuiIEWindowViewTest, ClicksAndContextMenusNeverReachThePage) {
    Glm::GuiIEWindowView view;
    view.CreateClientWindow(&m_screen, QRect(20, 20, 400, 300), &m_target);
    view.LoadUrl(m_server.Url(QStringLiteral("/charms.html")).toStdString(), kDoneMessage);
    ASSERT_TRUE(WaitUntil([&] { return !m_target.Messages().empty(); }));
    QWebEnginePage* page = view.GetIEWindow()->GetPage();
    RunJs(page, QStringLiteral(
                    "window.pressed = 0; document.addEventListener('mousedown', function () { pressed++; },"
                    " true); 1"));
    QWidget* target = view.GetIEWindow()->GetAxWindowHandle();
    if (QWidget* inner = target->focusProxy()) {
        target = inner;
    }
    for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
        const QPointF where(30, 30);
        QMouseEvent press(QEvent::MouseButtonPress, where, target->mapToGlobal(where), button, button,
                          Qt::NoModifier);
        QApplication::sendEvent(target, &press);
    }
    RunEventsFor(200);
    EXPECT_EQ(RunJs(page, QStringLiteral("window.pressed")).toInt(), 0);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    EXPECT_EQ(m_target.Messages().size(), 1u) << "clicks are not forwarded";
}

TEST_F(GuiIEWindowViewTest, PagesShowNoDialogsAndOpenNoWindows) {
    m_server.AddRoute("/dialogs.html", {200, "text/html",
                                        "<html><body><script>alert('hello');"
                                        "window.answers = [confirm('sure?'), prompt('name?', 'x'),"
                                        " window.open('/charms.html') === null].join(',');"
                                        "</script></body></html>"});
    Glm::GuiIEWindowView view;
    view.CreateClientWindow(&m_screen, QRect(0, 0, 300, 200), &m_target);
    view.LoadUrl(m_server.Url(QStringLiteral("/dialogs.html")).toStdString(), kDoneMessage);
    ASSERT_TRUE(WaitUntil([&] { return !m_target.Messages().empty(); }));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(RunJs(view.GetIEWindow()->GetPage(), QStringLiteral("window.answers")).toString(),
              QStringLiteral("false,,true"));
    RunEventsFor(200);
    EXPECT_EQ(m_server.RequestCount("/charms.html"), 0);
}

TEST_F(GuiIEWindowViewTest, FailingPageIsAnErrorWithEmptyText) {
    QTcpServer closed;
    closed.listen(QHostAddress::LocalHost, 0);
    const quint16 port = closed.serverPort();
    closed.close();
    const std::string url = "http://127.0.0.1:" + std::to_string(port) + "/nothing.html";

    Glm::GuiIEWindowView view;
    view.CreateClientWindow(&m_screen, QRect(0, 0, 300, 200), &m_target);
    view.LoadUrl(url, kDoneMessage);
    ASSERT_TRUE(WaitUntil([&] { return m_logger.Contains("ContentError"); }));
    EXPECT_TRUE(m_logger.Contains("ContentError: , url = \"" + url + "\"errors = \"\""));
    EXPECT_TRUE(m_target.Messages().empty());
    EXPECT_FALSE(view.GetIEWindow()->IsLoadTimerActive());
}

TEST_F(GuiIEWindowViewTest, HttpErrorStatusIsANavigateError) {
    RecordingListener listener;
    Web::IEWindow window(&m_screen, QRect(0, 0, 300, 200), &listener);
    window.Navigate(m_server.Url(QStringLiteral("/no-such-page.html")).toStdString());
    ASSERT_TRUE(WaitUntil([&] { return !listener.events.empty(); }));
    EXPECT_EQ(listener.events[0].kind, ListenerEvent::Error);
    EXPECT_EQ(m_server.RequestCount("/no-such-page.html"), 1);
}

TEST_F(GuiIEWindowViewTest, OnlyTheFirstResultOfANavigationCounts) {
    RecordingListener listener;
    Web::IEWindow window(&m_screen, QRect(0, 0, 300, 200), &listener);
    window.Navigate(m_server.Url(QStringLiteral("/hang")).toStdString());
    window.OnDocumentComplete(QStringLiteral("http://127.0.0.1/a"));
    window.OnDocumentComplete(QStringLiteral("http://127.0.0.1/a"));
    window.OnNavigateError();
    ASSERT_EQ(listener.events.size(), 1u);
    EXPECT_EQ(listener.events[0].kind, ListenerEvent::Ready);
    EXPECT_FALSE(window.IsLoadTimerActive());
}

TEST_F(GuiIEWindowViewTest, AboutBlankIsNeverReported) {
    RecordingListener listener;
    Web::IEWindow window(&m_screen, QRect(0, 0, 300, 200), &listener);
    window.SetLoadTimeout(std::chrono::milliseconds(400));
    window.Navigate("about:blank");
    ASSERT_TRUE(WaitUntil([&] { return window.IsCompleted(); }));
    EXPECT_FALSE(window.IsLoadTimerActive());
    window.Navigate("about:blank");
    window.OnNavigateError();
    EXPECT_FALSE(window.IsLoadTimerActive());
    RunEventsFor(600);
    EXPECT_TRUE(listener.events.empty());
}

TEST_F(GuiIEWindowViewTest, NavigationWithoutAPageEndsInTheTimeOut) {
    RecordingListener listener;
    Web::IEWindow window(&m_screen, QRect(0, 0, 300, 200), &listener);
    window.SetLoadTimeout(std::chrono::milliseconds(400));
    window.Navigate(m_server.Url(QStringLiteral("/hang")).toStdString());
    window.OnDocumentComplete(QStringLiteral("http:///"));
    EXPECT_TRUE(listener.events.empty());
    EXPECT_TRUE(window.IsLoadTimerActive());
    ASSERT_TRUE(WaitUntil([&] { return !listener.events.empty(); }));
    EXPECT_EQ(listener.events[0].kind, ListenerEvent::Error);
    EXPECT_EQ(listener.events[0].error, "");
}

TEST_F(GuiIEWindowViewTest, PageThatNeverAnswersTimesOutAfterTenSeconds) {
    Glm::GuiIEWindowView view;
    view.CreateClientWindow(&m_screen, QRect(0, 0, 300, 200), &m_target);
    EXPECT_EQ(view.GetIEWindow()->GetLoadTimeout(), std::chrono::milliseconds(10000));
    view.GetIEWindow()->SetLoadTimeout(std::chrono::milliseconds(500));
    view.LoadUrl(m_server.Url(QStringLiteral("/hang")).toStdString(), kDoneMessage);
    ASSERT_TRUE(WaitUntil([&] { return m_logger.Contains("ContentError"); }));
    EXPECT_TRUE(m_target.Messages().empty());
}

TEST_F(GuiIEWindowViewTest, StopAndDestroyWhileLoadingReportNothing) {
    RecordingListener listener;
    {
        Web::IEWindow window(&m_screen, QRect(0, 0, 300, 200), &listener);
        window.SetLoadTimeout(std::chrono::milliseconds(200));
        window.Navigate(m_server.Url(QStringLiteral("/hang")).toStdString());
        window.Stop();
        EXPECT_FALSE(window.IsLoadTimerActive());
        EXPECT_EQ(window.GetUrl(), "");
        RunEventsFor(400);
    }
    {
        Web::IEWindow window(&m_screen, QRect(0, 0, 300, 200), &listener);
        window.SetLoadTimeout(std::chrono::milliseconds(200));
        window.Navigate(m_server.Url(QStringLiteral("/charms.html")).toStdString());
    }
    RunEventsFor(400);
    EXPECT_TRUE(listener.events.empty());
}

} // namespace
