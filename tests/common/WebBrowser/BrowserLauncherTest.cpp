#include "common/WebBrowser/BrowserLauncher.h"

#include "common/Ex/Logger.h"
#include "common/Win32/Win32Exception.h"
#include "tests/support/RecordingLogger.h"
#include "tests/support/TempDir.h"

#include <chrono>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>

namespace {

using Web::BrowserLauncher;

using GlmTest::RecordingLogger;

std::vector<std::string> SplitNul(const std::string& text) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t end = text.find('\0'); end != std::string::npos; end = text.find('\0', start)) {
        parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

// Waits (with a deadline) for a file that a child renames into place.
std::string AwaitFile(const std::string& path) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!std::filesystem::exists(path) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return GlmTest::ReadFile(path);
}

// A private desktop: XDG directories, HOME and PATH inside a temporary
// directory, restored afterwards.
class BrowserDesktop : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"HOME", "PATH", "XDG_CONFIG_HOME", "XDG_CONFIG_DIRS", "XDG_DATA_HOME",
                                 "XDG_DATA_DIRS", "XDG_CURRENT_DESKTOP"}) {
            const char* value = std::getenv(name);
            m_saved.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
        }
        for (const char* sub : {"config", "etc", "data/applications", "share/applications", "bin"}) {
            std::filesystem::create_directories(m_dir / sub);
        }
        ::setenv("HOME", m_dir.Path().c_str(), 1);
        ::setenv("PATH", (m_dir / "bin").c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (m_dir / "config").c_str(), 1);
        ::setenv("XDG_CONFIG_DIRS", (m_dir / "etc").c_str(), 1);
        ::setenv("XDG_DATA_HOME", (m_dir / "data").c_str(), 1);
        ::setenv("XDG_DATA_DIRS", (m_dir / "share").c_str(), 1);
        ::unsetenv("XDG_CURRENT_DESKTOP");
    }
    void TearDown() override {
        for (const auto& [name, value] : m_saved) {
            if (value) {
                ::setenv(name.c_str(), value->c_str(), 1);
            } else {
                ::unsetenv(name.c_str());
            }
        }
    }

    // A program in bin/ that records its arguments (NUL-separated) in
    // OUT_FILE and exits.
    std::string FakeProgram(const std::string& name, const std::string& interpreter = "/bin/sh") {
        const std::string path = m_dir / ("bin/" + name);
        const std::string out = m_dir / (name + ".args");
        GlmTest::WriteFile(path, "#!" + interpreter + "\nprintf '%s\\0' \"$@\" > '" + out +
                                     ".tmp'\n/bin/mv '" + out + ".tmp' '" + out + "'\n");
        ::chmod(path.c_str(), 0755);
        return path;
    }
    std::vector<std::string> RecordedArguments(const std::string& name) {
        return SplitNul(AwaitFile(m_dir / (name + ".args")));
    }
    void DesktopEntry(const std::string& id, const std::string& exec, const std::string& where = "data") {
        GlmTest::WriteFile(m_dir / (where + "/applications/" + id),
                           "[Desktop Entry]\nType=Application\nName=Test\n"
                           "[Desktop Action new]\nExec=wrong-section\n" +
                               std::string(exec.empty() ? "" : "[Desktop Entry]\nExec=" + exec + "\n"));
    }
    void MimeApps(const std::string& file, const std::string& body) {
        GlmTest::WriteFile(m_dir / file, "[Added Associations]\nx-scheme-handler/https=ignored.desktop\n"
                                         "[Default Applications]\n" +
                                             body);
    }

    GlmTest::TempDir m_dir;
    RecordingLogger m_log;
    Ex::ScopedLogger m_scopedLog{&m_log};

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};

TEST(BrowserComponents, ExecLinesSplitIntoProgramAndArguments) {
    std::string path;
    EXPECT_EQ(BrowserLauncher::GetBrowserComponents("\"/opt/fire fox/firefox\" --new-window %u", path),
              std::vector<std::string>{"--new-window"});
    EXPECT_EQ(path, "/opt/fire fox/firefox");
    EXPECT_TRUE(BrowserLauncher::GetBrowserComponents("firefox %U", path).empty());
    EXPECT_EQ(path, "firefox");
    EXPECT_EQ(BrowserLauncher::GetBrowserComponents("chromium --zoom=100%% %F  \"a\\\"b\" x\\ y", path),
              (std::vector<std::string>{"--zoom=100%", "a\"b", "x y"}));
    EXPECT_EQ(BrowserLauncher::GetBrowserComponents("%u", path), std::vector<std::string>{});
    EXPECT_EQ(path, "");
    EXPECT_THROW(BrowserLauncher::GetBrowserComponents("", path), Ex::Precondition);
}

TEST(BrowserApproval, FirefoxAndTheChromiumFamilyByFileName) {
    for (const char* approved :
         {"/usr/bin/firefox", "/usr/bin/firefox-esr", "/usr/lib/chromium/chromium",
          "/usr/bin/google-chrome-stable", "/usr/bin/brave-browser", "/usr/bin/vivaldi",
          "/usr/bin/microsoft-edge", "/usr/bin/opera", "firefox"}) {
        EXPECT_TRUE(BrowserLauncher::IsApprovedBrowser(approved)) << approved;
    }
    for (const char* refused : {"/usr/bin/FIREFOX", "/home/x/firefox/evil", "/usr/bin/epiphany",
                                "/usr/bin/xdg-open", "/usr/bin/flatpak"}) {
        EXPECT_FALSE(BrowserLauncher::IsApprovedBrowser(refused)) << refused;
    }
    EXPECT_THROW(BrowserLauncher::IsApprovedBrowser(""), Ex::Precondition);
}

TEST_F(BrowserDesktop, DefaultHttpsHandlerWithItsArguments) {
    const std::string firefox = FakeProgram("firefox");
    DesktopEntry("fox.desktop", "firefox --private-window %u");
    MimeApps("config/mimeapps.list", "x-scheme-handler/https=missing.desktop;fox.desktop;\n");
    BrowserLauncher launcher;
    launcher.SetBrowser();
    EXPECT_EQ(launcher.GetBrowserPath(), firefox);
    EXPECT_EQ(launcher.GetBrowserArguments(), std::vector<std::string>{"--private-window"});
    EXPECT_TRUE(m_log.Records().empty());
}

TEST_F(BrowserDesktop, DesktopSpecificListComesFirst) {
    FakeProgram("firefox");
    const std::string chromium = FakeProgram("chromium");
    DesktopEntry("fox.desktop", "firefox %u");
    DesktopEntry("chromium.desktop", "chromium %U", "share");
    MimeApps("config/mimeapps.list", "x-scheme-handler/https=fox.desktop\n");
    MimeApps("etc/test-mimeapps.list", "x-scheme-handler/https=chromium.desktop\n");
    ::setenv("XDG_CURRENT_DESKTOP", "Test:Other", 1);
    BrowserLauncher launcher;
    launcher.SetBrowser("x-scheme-handler/https");
    // The user's generic list is consulted before the system's specific one.
    EXPECT_EQ(launcher.GetBrowserPath(), m_dir / "bin/firefox");
    MimeApps("config/test-mimeapps.list", "x-scheme-handler/https=chromium.desktop\n");
    launcher.SetBrowser("x-scheme-handler/https");
    EXPECT_EQ(launcher.GetBrowserPath(), chromium);
}

TEST_F(BrowserDesktop, UnapprovedHttpsHandlerFallsToHttpThenToPath) {
    FakeProgram("editor");
    const std::string chromium = FakeProgram("chromium");
    DesktopEntry("editor.desktop", "editor %u");
    MimeApps("config/mimeapps.list", "x-scheme-handler/https=editor.desktop\n");
    BrowserLauncher launcher;
    launcher.SetBrowser();
    EXPECT_EQ(launcher.GetBrowserPath(), chromium);
    ASSERT_EQ(m_log.Records().size(), 2u);
    EXPECT_NE(m_log.Records()[0].find("Can't set default https browser. Now trying http...\n"
                                      "NotApprovedBrowserException : Browser \"editor\" is not approved."),
              std::string::npos)
        << m_log.Records()[0];
    EXPECT_NE(m_log.Records()[1].find(
                  "Can't set default http browser. Now trying IE...\n"
                  "EmptyBrowserRegistryEntryException : Empty browser registry setting found in "
                  "\"x-scheme-handler/http\""),
              std::string::npos)
        << m_log.Records()[1];
}

TEST_F(BrowserDesktop, NoBrowserAnywhereRethrowsTheLastFailure) {
    DesktopEntry("broken.desktop", "");
    MimeApps("config/mimeapps.list", "x-scheme-handler/http=broken.desktop\n");
    BrowserLauncher launcher;
    try {
        launcher.SetBrowser();
        FAIL() << "no exception";
    } catch (const Web::EmptyBrowserRegistryEntryException& e) {
        EXPECT_EQ(e.GetMessage(), "Empty browser registry setting found in \"PATH\"");
        EXPECT_GE(e.GetStack().size(), 2u);
    }
    ASSERT_EQ(m_log.Records().size(), 2u);
    EXPECT_NE(m_log.Records()[1].find("Empty browser registry setting found in \"" +
                                      (m_dir / "data/applications/broken.desktop") + "\""),
              std::string::npos);
    EXPECT_TRUE(launcher.GetBrowserPath().empty());
}

TEST_F(BrowserDesktop, ProcessRouteGivesTheUrlAsOneLiteralArgument) {
    FakeProgram("firefox");
    DesktopEntry("fox.desktop", "firefox --new-tab %u");
    MimeApps("config/mimeapps.list", "x-scheme-handler/https=fox.desktop\n");
    const std::string url = "https://example.test/p?a=1&b=\"two words\";touch " + (m_dir / "pwned") +
                            " $(touch " + (m_dir / "pwned2") + ") `id` 'q'";
    BrowserLauncher launcher;
    launcher.LaunchURL(url, true);
    EXPECT_EQ(RecordedArguments("firefox"), (std::vector<std::string>{"--new-tab", url}));
    EXPECT_FALSE(std::filesystem::exists(m_dir / "pwned"));
    EXPECT_FALSE(std::filesystem::exists(m_dir / "pwned2"));
}

TEST_F(BrowserDesktop, DefaultRouteAsksXdgOpen) {
    FakeProgram("firefox");
    FakeProgram("xdg-open");
    const std::string url = "https://example.test/a b;c$(d)";
    BrowserLauncher launcher;
    launcher.LaunchURL(url, false);
    EXPECT_EQ(RecordedArguments("xdg-open"), std::vector<std::string>{url});
    EXPECT_FALSE(std::filesystem::exists(m_dir / "firefox.args"));
    EXPECT_THROW(launcher.LaunchURL("", false), Ex::Precondition);
}

TEST_F(BrowserDesktop, ProcessRouteThatCannotStartRetriesWithXdgOpen) {
    FakeProgram("firefox", "/no/such/interpreter");
    FakeProgram("xdg-open");
    BrowserLauncher launcher;
    launcher.LaunchURL("https://example.test/", true);
    EXPECT_EQ(RecordedArguments("xdg-open"), std::vector<std::string>{"https://example.test/"});
    ASSERT_FALSE(m_log.Records().empty());
    EXPECT_NE(
        m_log.Records().back().find("Can't Launch Browser using Process class. Retrying with "
                                    "Win32::ShellExecute...\nCantLaunchBrowserException : Can't launch web "
                                    "browser."),
        std::string::npos)
        << m_log.Records().back();
}

TEST_F(BrowserDesktop, MissingXdgOpenIsAShellExecuteFailure) {
    FakeProgram("firefox");
    BrowserLauncher launcher;
    try {
        launcher.LaunchURL("https://example.test/", false);
        FAIL() << "no exception";
    } catch (const Win32::Win32Exception& e) {
        EXPECT_EQ(e.GetMessage(), "Call to ShellExecute failed with (2) No such file or directory");
    }
}

} // namespace
