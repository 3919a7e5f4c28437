// The movie player's script bridge as movies see it: FlashVars decoding and
// the XML encoding of arguments and replies.

#include "Tools/FlashWindow.h"
#include "ViewsTestSupport.h"

#include <QWidget>
#include <gtest/gtest.h>

using namespace ViewsTest;

namespace {

// A movie that echoes what it receives.
const QByteArray kEchoMovie = R"(<!DOCTYPE html><html><body><script>
  GlmPlayer.addCallback('echo', function () { return Array.prototype.slice.call(arguments); });
  GlmPlayer.addCallback('vars', function () { return GlmPlayer.flashVars; });
  GlmPlayer.addCallback('fail', function () { throw new Error('no'); });
  GlmPlayer.addCallback('background', function () { return GlmPlayer.backgroundColor; });
  GlmPlayer.setReadyState(4);
</script></body></html>)";

class MovieBridgeTest : public testing::Test {
protected:
    void Load(const std::string& flashVars, bool background = true) {
        m_window = std::make_unique<Web::FlashWindow>(&m_screen, QRect(0, 0, 50, 50), &m_listener);
        m_window->Put_FlashVars(flashVars);
        if (background) {
            m_window->Put_BackgroundColor(0x500285);
        }
        m_window->Navigate(WriteFile(m_dir, QStringLiteral("echo.swf"), kEchoMovie).toStdString());
        ASSERT_TRUE(WaitUntil([&] { return m_window->GetReadyState() == 4; }));
    }

    QTemporaryDir m_dir;
    QWidget m_screen;
    RecordingListener m_listener;
    std::unique_ptr<Web::FlashWindow> m_window;
};

TEST_F(MovieBridgeTest, ArgumentsAndRepliesKeepTheirTypes) {
    Load("&&a=1");
    EXPECT_EQ(m_window->Call_Function("<invoke name=\"echo\" returntype=\"xml\"><arguments><string>a &amp; "
                                      "&lt;b&gt;</string><number>2.5</number><true/><false/><null/>"
                                      "</arguments></invoke>"),
              "<array><property id=\"0\"><string>a &amp; &lt;b&gt;</string></property>"
              "<property id=\"1\"><number>2.5</number></property><property id=\"2\"><true/></property>"
              "<property id=\"3\"><false/></property><property id=\"4\"><null/></property></array>");
    EXPECT_EQ(m_window->Call_Function("<invoke name=\"fail\" returntype=\"xml\"><arguments/></invoke>"), "");
    EXPECT_EQ(m_window->Call_Function("<invoke name=\"background\" returntype=\"xml\"><arguments/></invoke>"),
              "<string>#500285</string>");
    ASSERT_EQ(m_listener.events.size(), 1u);
    EXPECT_EQ(m_listener.events[0].kind, ListenerEvent::Ready);
}

TEST_F(MovieBridgeTest, FlashVarsAreSplitAndDecoded) {
    Load("&&fairyDNA=<avatar><body "
         "skin=\"#F1C7A5\"/></avatar>&fairyName=Star+Bright%21&useButterfly=1&odd=%E0%A4",
         false);
    EXPECT_EQ(m_window->Call_Function("<invoke name=\"vars\" returntype=\"xml\"><arguments/></invoke>"),
              "<object><property id=\"fairyDNA\"><string>&lt;avatar&gt;&lt;body skin=&quot;#F1C7A5&quot;/&gt;"
              "&lt;/avatar&gt;</string></property><property id=\"fairyName\"><string>Star Bright!</string>"
              "</property><property id=\"useButterfly\"><string>1</string></property>"
              "<property id=\"odd\"><string>%E0%A4</string></property></object>");
    EXPECT_EQ(m_window->Call_Function("<invoke name=\"background\" returntype=\"xml\"><arguments/></invoke>"),
              "<string></string>");
}

TEST_F(MovieBridgeTest, ReloadingGivesTheMovieTheNewVarsAndOneReadyEach) {
    Load("&&n=1");
    m_window->Put_FlashVars("&&n=2");
    m_window->Navigate(WriteFile(m_dir, QStringLiteral("echo.swf"), kEchoMovie).toStdString());
    ASSERT_TRUE(WaitUntil([&] { return m_listener.events.size() == 2; }));
    EXPECT_EQ(m_window->Call_Function("<invoke name=\"vars\" returntype=\"xml\"><arguments/></invoke>"),
              "<object><property id=\"n\"><string>2</string></property></object>");
    RunEventsFor(200);
    EXPECT_EQ(m_listener.events.size(), 2u);
}

TEST_F(MovieBridgeTest, MoviesCannotReadOtherFiles) {
    // Another file beside the movie, under a guessed token, and straight
    // from the disk.
    WriteFile(m_dir, QStringLiteral("secret.txt"), "secret");
    const QByteArray probe = R"(<!DOCTYPE html><html><body><script>
      function attempt(url) {
        return fetch(url).then(function (r) { return r.ok ? r.text() : 'refused'; },
                               function () { return 'refused'; });
      }
      Promise.all([attempt('secret.txt'), attempt('glmmovie://movie/00000000000000000000000000000000/secret.txt'),
                   attempt('file:///etc/hostname')]).then(function (results) {
        GlmPlayer.addCallback('results', function () { return results.join(','); });
        GlmPlayer.setReadyState(4);
      });
    </script></body></html>)";
    m_window = std::make_unique<Web::FlashWindow>(&m_screen, QRect(0, 0, 50, 50), &m_listener);
    m_window->Navigate(WriteFile(m_dir, QStringLiteral("probe.swf"), probe).toStdString());
    ASSERT_TRUE(WaitUntil([&] { return m_window->GetReadyState() == 4; }));
    EXPECT_EQ(m_window->Call_Function("<invoke name=\"results\" returntype=\"xml\"><arguments/></invoke>"),
              "<string>refused,refused,refused</string>");
}

} // namespace
