// A program updated through glimmeries-service: the service publishes a
// signed later version; the running program downloads and verifies it,
// starts the update process and ends; the update process waits, replaces
// the program and starts it; the program runs as the new version.

#include "tests/support/ServiceProcess.h"
#include "PatcherTestSupport.h"
#include "Tools/patcher/WaitForProcessExit.h"
#include "common/Process/Process.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

using namespace std::chrono_literals;
using namespace PatcherTest;

std::string BuiltProgram(const std::string& name) {
    const char* build = std::getenv("GLM_BUILD_DIR");
    return std::string(build != nullptr ? build : ".") + "/bin/" + name;
}

class PatcherEndToEndTest : public testing::Test {
protected:
    void SetUp() override {
        m_service = std::make_unique<ServiceTest::ServiceProcess>(m_data.Path());
        const std::string& dir = m_app.Path();
        m_program = dir + "/glmprobe-" + dir.substr(dir.rfind('-') + 1);
        std::filesystem::copy_file(BuiltProgram("patch_probe"), m_program);
        ::chmod(m_program.c_str(), 0750);
        WriteFile(dir + "/parameters.txt",
                  "GLM_PATCHER_BASE_URL=https://127.0.0.1:" + std::to_string(m_service->HttpsPort()) +
                      "/bramblemere/game/glimmeries/english/\nGLM_EXTRA_CA_FILE=" + m_data.Path() +
                      "/ca.pem\nGLM_CONTENT_SIGNING_KEY_FILE=" + m_data.Path() + "/signing.pub\n");
    }
    void TearDown() override {
        // The restarted program is no child of ours: let it finish first.
        Glm::WaitForProcessExit(std::filesystem::path(m_program).filename().string());
    }
    void Publish(const std::string& file, const std::string& version) {
        const ServiceTest::CommandResult result =
            ServiceTest::RunService({"--data", m_data.Path(), "publish", "program", file, version});
        ASSERT_EQ(result.exitCode, 0) << result.err;
    }
    // Starts the program and waits for that first process to end.
    void RunProgram() {
        Process::Process program({m_program});
        ASSERT_EQ(program.Wait(60000), 0);
    }
    std::string Log() const { return ReadFile(m_app.Path() + "/probe.log"); }

    ServiceTest::TempDirectory m_data;
    ServiceTest::TempDirectory m_app;
    std::unique_ptr<ServiceTest::ServiceProcess> m_service;
    std::string m_program;
};

TEST_F(PatcherEndToEndTest, PublishedVersionReplacesTheProgramWhichRestartsAsIt) {
    Publish(BuiltProgram("patch_probe_next"), "V1.0.4.99");
    RunProgram();
    ASSERT_TRUE(WaitForFileContaining(m_app.Path() + "/probe.log", "Patch done, version V1.0.4.99", 60s))
        << Log();
    const std::string log = Log();
    EXPECT_NE(log.find("Closing for the update, version V1.0.4.34"), std::string::npos) << log;
    EXPECT_NE(log.find("Running " + std::filesystem::path(m_program).filename().string() +
                       ".ptch version V1.0.4.99"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("Replaced " + m_program + " with the update"), std::string::npos) << log;
    EXPECT_EQ(ReadFile(m_program), ReadFile(BuiltProgram("patch_probe_next")));
    struct stat info {};
    ::stat(m_program.c_str(), &info);
    EXPECT_EQ(info.st_mode & 07777, 0750U);
    EXPECT_FALSE(Exists(m_program + ".ptch")) << "the restarted program deletes the update's file";
}

TEST_F(PatcherEndToEndTest, TamperedPublishedProgramIsRefusedAndNothingIsReplaced) {
    Publish(BuiltProgram("patch_probe_next"), "V1.0.4.99");
    // Changed on the server after it was signed.
    WriteFile(m_data.Path() + "/content/glimmeries.exe",
              ReadFile(BuiltProgram("patch_probe_next")) + "tampered");
    const std::string before = ReadFile(m_program);
    RunProgram();
    const std::string log = Log();
    EXPECT_NE(log.find("Refused the update " + m_program + ".ptch"), std::string::npos) << log;
    EXPECT_NE(log.find("Patch done, version V1.0.4.34"), std::string::npos) << log;
    EXPECT_EQ(log.find("version V1.0.4.99\n"), std::string::npos) << "the update never ran:\n" << log;
    EXPECT_EQ(ReadFile(m_program), before);
    EXPECT_FALSE(Exists(m_program + ".ptch"));
}

} // namespace
