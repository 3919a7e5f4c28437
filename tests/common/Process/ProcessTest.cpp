#include "common/Process/Process.h"

#include "common/Process/ChildReaper.h"
#include "tests/support/TempDir.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>

namespace {

// A script that writes each argument followed by a NUL, and its working
// directory, to OUT.
std::string WriteArgvRecorder(const GlmTest::TempDir& dir) {
    const std::string script = dir / "record-args";
    GlmTest::WriteFile(script, "#!/bin/sh\n"
                               "out=\"$1\"; shift\n"
                               "printf '%s\\0' \"$@\" > \"$out.tmp\"\n"
                               "pwd > \"$out.pwd\"\n"
                               "mv \"$out.tmp\" \"$out\"\n"
                               "exit 7\n");
    ::chmod(script.c_str(), 0755);
    return script;
}

std::vector<std::string> SplitNul(const std::string& text) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t end = text.find('\0'); end != std::string::npos; end = text.find('\0', start)) {
        parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

TEST(ProcessProcess, ArgumentsReachTheChildLiterally) {
    GlmTest::TempDir dir;
    const std::string script = WriteArgvRecorder(dir);
    const std::string out = dir / "args";
    const std::vector<std::string> tricky = {"https://example.test/a?b=1&c=\"2\" 'x'; touch " +
                                                 (dir / "pwned"),
                                             "$(touch " + (dir / "pwned2") + ")", "`id`", "", "  spaced  "};
    std::vector<std::string> argv = {script, out};
    argv.insert(argv.end(), tricky.begin(), tricky.end());
    Process::Process child(argv, dir.Path());
    EXPECT_GT(child.GetProcessId(), 0);
    EXPECT_EQ(child.Wait(10000), 7);
    EXPECT_EQ(SplitNul(GlmTest::ReadFile(out)), tricky);
    EXPECT_FALSE(std::filesystem::exists(dir / "pwned"));
    EXPECT_FALSE(std::filesystem::exists(dir / "pwned2"));
    EXPECT_EQ(GlmTest::ReadFile(out + ".pwd"), dir.Path() + "\n");
    // Waiting again gives the same code.
    EXPECT_EQ(child.Wait(0), 7);
}

TEST(ProcessProcess, StartFailuresAreCantCreateProcess) {
    try {
        Process::Process child({"glm-no-such-program", "a b", "c"});
        FAIL() << "no exception";
    } catch (const Process::CantCreateProcess& e) {
        EXPECT_EQ(e.GetName(), "CantCreateProcess");
        EXPECT_EQ(e.GetMessage(), "Can't create process 'glm-no-such-program a b c'");
        ASSERT_TRUE(e.GetCause());
        EXPECT_EQ(e.GetCause()->GetMessage(),
                  "Call to CreateProcess() failed with (2) No such file or directory");
    }
    EXPECT_THROW(Process::Process({"/bin/true"}, "/no/such/directory"), Process::CantCreateProcess);
    EXPECT_THROW(Process::Process(std::vector<std::string>{}), Ex::Precondition);
}

TEST(ProcessProcess, WaitTimesOutAndReportsASignal) {
    Process::Process child({"sleep", "30"});
    EXPECT_EQ(child.Wait(50), std::nullopt);
    ASSERT_EQ(::kill(child.GetProcessId(), SIGTERM), 0);
    EXPECT_EQ(child.Wait(10000), 128 + SIGTERM);
}

// A zombie still answers kill(pid, 0); only a reaped child is gone.
bool GoneWithin(pid_t pid, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        if (::kill(pid, 0) != 0 && errno == ESRCH) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

TEST(ProcessReaper, AChildLetGoWhileRunningIsReapedWhenItEnds) {
    pid_t first = 0;
    pid_t second = 0;
    {
        Process::Process a({"sleep", "30"});
        Process::Process b({"sleep", "30"});
        first = a.GetProcessId();
        second = b.GetProcessId();
    }
    EXPECT_GE(Process::ChildReaper::Shared().GetPendingCount(), 2u);
    ASSERT_EQ(::kill(second, SIGKILL), 0);
    EXPECT_TRUE(GoneWithin(second, std::chrono::seconds(10))) << "the ended child stayed a zombie";
    EXPECT_EQ(::kill(first, 0), 0) << "the running child is still there";
    ASSERT_EQ(::kill(first, SIGKILL), 0);
    EXPECT_TRUE(GoneWithin(first, std::chrono::seconds(10)));
}

TEST(ProcessReaper, AReaperJoinsItsThreadAndLeavesRunningChildrenAlone) {
    const pid_t pid = [] {
        Process::ChildReaper reaper;
        Process::Process child({"sleep", "30"});
        const pid_t started = child.GetProcessId();
        // Handed to this reaper rather than the shared one: waitpid by pid
        // works from any thread, so the adoption is the same.
        reaper.Adopt(started, -1);
        EXPECT_EQ(reaper.GetPendingCount(), 1u);
        return started;
    }();
    // The reaper is gone and its thread joined; the child was not touched.
    EXPECT_EQ(::kill(pid, 0), 0);
    ASSERT_EQ(::kill(pid, SIGKILL), 0);
    EXPECT_TRUE(GoneWithin(pid, std::chrono::seconds(10)));
}

TEST(ProcessFind, FindsARunningProgramByFileNameAndWaitsForItsEnd) {
    GlmTest::TempDir dir;
    const std::string sleeper = dir / "glm-test-sleeper";
    std::filesystem::copy_file("/bin/sleep", sleeper);
    ::chmod(sleeper.c_str(), 0755);
    EXPECT_TRUE(Process::FindProcessesByFileName("glm-test-sleeper").empty());
    {
        Process::Process child({sleeper, "30"});
        const pid_t pid = child.GetProcessId();
        // The name is visible once the exec has happened; posix_spawn
        // returns after it.
        EXPECT_EQ(Process::FindProcessesByFileName("glm-test-sleeper"), std::vector<pid_t>{pid});
        EXPECT_FALSE(Process::WaitForProcessExit(pid, 20));
        ::kill(pid, SIGKILL);
        EXPECT_TRUE(child.Wait(10000).has_value());
    }
    EXPECT_TRUE(Process::FindProcessesByFileName("glm-test-sleeper").empty());
    EXPECT_TRUE(Process::WaitForProcessExit(999999999, 0));
}

} // namespace
