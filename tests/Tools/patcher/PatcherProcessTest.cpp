// The waits for other processes: a left-over update is deleted only once
// its process has ended, and the update process replaces the program only
// once the old program has ended.

#include "PatcherFixture.h"
#include "common/Process/Process.h"

#include <chrono>
#include <csignal>
#include <filesystem>
#include <optional>
#include <sys/stat.h>
#include <thread>

namespace {

using namespace std::chrono_literals;
using namespace PatcherTest;

class PatcherWaitTest : public PatcherFixture {
protected:
    // A long-running process whose executable is at path (a copy of sleep).
    std::unique_ptr<Process::Process> RunAs(const std::string& path) {
        std::filesystem::copy_file("/bin/sleep", path, std::filesystem::copy_options::overwrite_existing);
        ::chmod(path.c_str(), 0755);
        return std::make_unique<Process::Process>(std::vector<std::string>{path, "600"});
    }
    static void End(Process::Process& process) {
        ::kill(process.GetProcessId(), SIGTERM);
        process.Wait(-1);
    }
};

TEST_F(PatcherWaitTest, LeftoverPatchIsDeletedOnlyAfterItsProcessEnded) {
    Announce(kVersion, "1");
    auto update = RunAs(m_program + ".ptch");
    Glm::Patcher patcher(Locations(), &m_movies, kVersion);
    std::thread start([&] { patcher.Patch(m_splash); });
    // What must not happen while the update process runs.
    EXPECT_FALSE(m_splash.WaitFor(UI::WM_GLM_PATCH_DONE, 500ms));
    EXPECT_TRUE(Exists(m_program + ".ptch"));
    End(*update);
    EXPECT_TRUE(m_splash.WaitFor(UI::WM_GLM_PATCH_DONE, 20s));
    start.join();
    EXPECT_FALSE(Exists(m_program + ".ptch"));
}

TEST_F(PatcherWaitTest, UpdateProcessReplacesTheProgramOnlyAfterItEndedThenStartsIt) {
    Announce("V1.0.4.35", "1");
    auto old = RunAs(m_program);
    ::chmod(m_program.c_str(), 0751);
    const std::string oldContent = ReadFile(m_program);
    WriteFile(m_program + ".ptch", Script("new"), 0755);

    // This process plays the update process: it runs as PROGRAM.ptch.
    Glm::Patcher patcher(Locations(m_program + ".ptch"), &m_movies, "V1.0.4.35");
    std::thread update([&] { patcher.Patch(m_splash); });
    EXPECT_FALSE(m_splash.WaitFor(UI::WM_CLOSE, 500ms));
    EXPECT_EQ(ReadFile(m_program), oldContent) << "not replaced while the old program runs";
    End(*old);
    EXPECT_TRUE(m_splash.WaitFor(UI::WM_CLOSE, 20s));
    update.join();
    EXPECT_EQ(ReadFile(m_program), Script("new"));
    struct stat info {};
    ::stat(m_program.c_str(), &info);
    EXPECT_EQ(info.st_mode & 07777, 0751U) << "the program keeps its mode";
    EXPECT_TRUE(WaitForFileContaining(Path("marker"), "new", 10s)) << "the new program was started";
    EXPECT_TRUE(m_logger.Contains("Replaced " + m_program + " with the update"));
    EXPECT_EQ(Ids(), std::vector<std::uint32_t>{UI::WM_CLOSE});
}

} // namespace
