// The start-up check against a scripted content server: what is fetched,
// what is refused, and what the splash hears.

#include "PatcherFixture.h"
#include "Tools/patcher/PatcherThread.h"

#include <chrono>
#include <regex>
#include <sys/stat.h>

namespace {

using namespace std::chrono_literals;
using namespace PatcherTest;

class PatcherFlowTest : public PatcherFixture {};

unsigned ModeOf(const std::string& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return static_cast<unsigned>(info.st_mode) & 07777U;
}

TEST_F(PatcherFlowTest, CurrentVersionsGoStraightToPatchDoneWithCacheBreakers) {
    Announce(kVersion, "1");
    WriteFile(Path("avatarFull.swf"), "full");
    WriteFile(Path("avatarAndButterfly.swf"), "butterfly");
    m_movies.Answer("avatarFull.swf", "1");
    m_movies.Answer("avatarAndButterfly.swf", "1");

    Glm::Patcher patcher(Locations(), &m_movies, kVersion);
    patcher.Patch(m_splash);
    EXPECT_EQ(Ids(), std::vector<std::uint32_t>{UI::WM_GLM_PATCH_DONE});
    const auto requests = m_server.Requests();
    ASSERT_EQ(requests.size(), 1U) << "only patcher.ver is asked for";
    // Five numbers below 255 in lower-case hexadecimal without leading zeros.
    EXPECT_TRUE(std::regex_match(requests[0], std::regex("patcher\\.ver\\?([1-9a-f][0-9a-f]?|0){5}")))
        << requests[0];
    EXPECT_EQ(ReadFile(Path("avatarFull.swf")), "full");
}

TEST_F(PatcherFlowTest, MissingMovieIsFetchedWithoutAMovieVersionAndAnotherVersionAtEveryStart) {
    Announce(kVersion, std::nullopt);
    WriteFile(Path("avatarAndButterfly.swf"), "butterfly");
    m_movies.Answer("avatarAndButterfly.swf", ""); // the same "" as the missing parameter
    m_server.PutSigned("avatarFull.swf", "served movie", m_key);
    {
        Glm::Patcher patcher(Locations(), &m_movies, kVersion);
        patcher.Patch(m_splash);
    }
    EXPECT_EQ(ReadFile(Path("avatarFull.swf")), "served movie");
    EXPECT_EQ(m_server.CountOf("avatarAndButterfly.swf"), 0);
    EXPECT_FALSE(Exists(Path("avatarFull.swf.download")));

    // The movie answers a version while none is announced: fetched again.
    m_movies.Answer("avatarFull.swf", "1");
    for (int start = 0; start < 2; ++start) {
        Glm::Patcher patcher(Locations(), &m_movies, kVersion);
        patcher.Patch(m_splash);
    }
    EXPECT_EQ(m_server.CountOf("avatarFull.swf"), 3);
    EXPECT_TRUE(m_logger.Contains("Patching avatarFull.swf to version ")) << m_logger.All();
    EXPECT_EQ(Ids(), std::vector<std::uint32_t>(3, UI::WM_GLM_PATCH_DONE));
}

TEST_F(PatcherFlowTest, TamperedOrUnsignedMoviesAreRefusedAndTheOldOnesKept) {
    Announce(kVersion, "2");
    WriteFile(Path("avatarFull.swf"), "old full");
    WriteFile(Path("avatarAndButterfly.swf"), "old butterfly");
    m_movies.Answer("avatarFull.swf", "1");
    m_movies.Answer("avatarAndButterfly.swf", "1");
    SigningKey stranger;
    m_server.PutSigned("avatarFull.swf", "evil movie", stranger);
    m_server.Put("avatarAndButterfly.swf", "unsigned movie");

    Glm::Patcher patcher(Locations(), &m_movies, kVersion);
    patcher.Patch(m_splash);
    EXPECT_EQ(ReadFile(Path("avatarFull.swf")), "old full");
    EXPECT_EQ(ReadFile(Path("avatarAndButterfly.swf")), "old butterfly");
    EXPECT_FALSE(Exists(Path("avatarFull.swf.download")));
    EXPECT_TRUE(m_logger.Contains("Refused the movie avatarFull.swf: the signature matches no trusted key"));
    EXPECT_TRUE(m_logger.Contains("Refused the movie avatarAndButterfly.swf: no signature"));
    EXPECT_EQ(m_server.CountOf("avatarAndButterfly.swf"), 0) << "no signature, no download";
    EXPECT_EQ(Ids(), std::vector<std::uint32_t>{UI::WM_GLM_PATCH_DONE}) << "start-up goes on";
}

TEST_F(PatcherFlowTest, NewProgramIsVerifiedStartedWithProgressAndTheApplicationCloses) {
    Announce("V1.0.4.35", "1");
    // Big enough for several progress figures.
    const std::string program = Script("new") + "# " + std::string(300000, 'x') + "\n";
    m_server.PutSigned("glimmeries.exe", program, m_key);
    for (const char* movie : {"avatarFull.swf", "avatarAndButterfly.swf", "bracelet_congrats.swf"}) {
        WriteFile(Path(movie), "movie");
    }

    Glm::Patcher patcher(Locations(), &m_movies, kVersion);
    patcher.Patch(m_splash);
    ASSERT_TRUE(m_splash.WaitFor(UI::WM_CLOSE, 20s)) << m_logger.All();
    EXPECT_TRUE(WaitForFileContaining(Path("marker"), "new", 10s)) << "the update was started";
    EXPECT_EQ(ReadFile(m_program), Script("old")) << "the program itself is replaced by the update process";
    EXPECT_EQ(ReadFile(Path(m_program.substr(m_program.rfind('/') + 1) + ".ptch")), program);
    EXPECT_EQ(ModeOf(m_program + ".ptch"), 0750U | 0100U) << "runnable like the program";
    for (const char* movie : {"avatarFull.swf", "avatarAndButterfly.swf", "bracelet_congrats.swf"}) {
        EXPECT_FALSE(Exists(Path(movie))) << movie << " goes with the old program";
    }
    std::vector<std::uintptr_t> percents;
    for (const UI::Message& message : m_splash.Messages()) {
        if (message.id == UI::WM_GLM_PATCH_PROGRESS) {
            percents.push_back(message.wParam);
        }
    }
    ASSERT_FALSE(percents.empty());
    EXPECT_EQ(percents.back(), 100U);
    EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
    EXPECT_EQ(m_splash.Messages().back().id, UI::WM_CLOSE);
}

TEST_F(PatcherFlowTest, TamperedOrUnsignedProgramIsDeletedNeverStartedAndStartUpGoesOn) {
    Announce("V1.0.4.35", "1");
    SigningKey stranger;
    m_server.PutSigned("glimmeries.exe", Script("evil"), stranger);
    {
        Glm::Patcher patcher(Locations(), &m_movies, kVersion);
        patcher.Patch(m_splash);
        ASSERT_TRUE(m_splash.WaitFor(UI::WM_GLM_PATCH_DONE, 20s)) << m_logger.All();
        patcher.WaitForDownload();
    }
    EXPECT_FALSE(Exists(m_program + ".ptch"));
    EXPECT_TRUE(
        m_logger.Contains("Refused the update " + m_program + ".ptch: the signature matches no trusted key"));
    EXPECT_EQ(ReadFile(m_program), Script("old"));

    // Without a signature the program is not even downloaded.
    m_server.Remove("glimmeries.exe.sig");
    m_splash.Clear();
    {
        Glm::Patcher patcher(Locations(), &m_movies, kVersion);
        patcher.Patch(m_splash);
    }
    EXPECT_EQ(m_server.CountOf("glimmeries.exe"), 1) << "only the first, signed-by-a-stranger download";
    EXPECT_TRUE(m_logger.Contains("Refused the update glimmeries.exe: no signature could be fetched"));
    EXPECT_EQ(Ids(), std::vector<std::uint32_t>{UI::WM_GLM_PATCH_DONE});
    EXPECT_FALSE(Exists(Path("marker"))) << "nothing was started";
}

TEST_F(PatcherFlowTest, CutDownloadLeavesTheProgramAndTheNextStartRetries) {
    Announce("V1.0.4.35", "1");
    const std::string program = Script("new") + "# " + std::string(400000, 'y') + "\n";
    m_server.PutCut("glimmeries.exe", program);
    m_server.Put("glimmeries.exe.sig", m_key.Sign(program));
    {
        Glm::Patcher patcher(Locations(), &m_movies, kVersion);
        patcher.Patch(m_splash);
        patcher.WaitForDownload();
    }
    for (const UI::Message& message : m_splash.Messages()) {
        EXPECT_EQ(message.id, UI::WM_GLM_PATCH_PROGRESS) << "the splash keeps its last percentage";
        EXPECT_LT(message.wParam, 100U);
    }
    EXPECT_EQ(ReadFile(m_program), Script("old"));
    EXPECT_TRUE(m_logger.Contains("Glm::GetRemoteFileThread::Run"));

    m_server.PutSigned("glimmeries.exe", program, m_key);
    Glm::Patcher patcher(Locations(), &m_movies, kVersion);
    patcher.Patch(m_splash);
    ASSERT_TRUE(m_splash.WaitFor(UI::WM_CLOSE, 20s)) << m_logger.All();
    EXPECT_TRUE(m_logger.Contains("Deleted the old update " + m_program + ".ptch"));
    EXPECT_EQ(ReadFile(m_program + ".ptch"), program);
}

TEST_F(PatcherFlowTest, LeftoverPatchIsDeletedAtTheNextStart) {
    Announce(kVersion, "1");
    WriteFile(m_program + ".ptch", "left over", 0755);
    Glm::Patcher patcher(Locations(), &m_movies, kVersion);
    patcher.Patch(m_splash);
    EXPECT_FALSE(Exists(m_program + ".ptch"));
    EXPECT_EQ(Ids(), std::vector<std::uint32_t>{UI::WM_GLM_PATCH_DONE});
}

TEST_F(PatcherFlowTest, PackagedInstallLeavesTheProgramAloneAndStillFetchesMovies) {
    Announce("V1.0.4.35", "1");
    m_server.PutSigned("glimmeries.exe", Script("new"), m_key);
    m_server.PutSigned("avatarFull.swf", "full", m_key);
    m_server.PutSigned("avatarAndButterfly.swf", "butterfly", m_key);
    Glm::PatcherLocations locations = Locations();
    locations.programDirectoryWritable = false;
    Glm::Patcher patcher(locations, &m_movies, kVersion);
    patcher.Patch(m_splash);
    EXPECT_EQ(Ids(), std::vector<std::uint32_t>{UI::WM_GLM_PATCH_DONE});
    EXPECT_EQ(m_server.CountOf("glimmeries.exe"), 0);
    EXPECT_EQ(m_server.CountOf("glimmeries.exe.sig"), 0);
    EXPECT_TRUE(
        m_logger.Contains("Version V1.0.4.35 is available; this installation is updated by its package "
                          "manager"));
    EXPECT_EQ(ReadFile(Path("avatarFull.swf")), "full");
    EXPECT_EQ(ReadFile(Path("avatarAndButterfly.swf")), "butterfly");
}

TEST_F(PatcherFlowTest, UnreachableContentServerGivesOnlyTheStartError) {
    WriteLocal("GLM_PATCHER_BASE_URL=http://127.0.0.1:1/x/\n");
    Glm::Patcher patcher(Locations(), &m_movies, kVersion);
    patcher.Patch(m_splash);
    EXPECT_EQ(Ids(), std::vector<std::uint32_t>{UI::WM_GLM_START_ERROR});
    EXPECT_TRUE(m_logger.Contains("patcher.ver"));
}

TEST_F(PatcherFlowTest, RemoteSettingsOfTrustAndPlainSignInAreRefused) {
    Announce(kVersion, "1",
             "GLM_BASE_URL=http://evil.invalid/api/\nGLM_EXTRA_CA_FILE=/tmp/evil.pem\n"
             "GLM_CONTENT_SIGNING_KEY_FILE=/tmp/evil.pub\nGLM_FAQ_URL=http://remote.invalid/faq\n");
    Glm::Patcher patcher(Locations(), &m_movies, kVersion);
    ASSERT_TRUE(patcher.Init());
    const Glm::ApplicationParameters& table = patcher.GetParameters();
    EXPECT_EQ(table.Get("GLM_BASE_URL"), Glm::ApplicationParameters::GetDefault("GLM_BASE_URL"));
    EXPECT_EQ(table.Get("GLM_EXTRA_CA_FILE"), Glm::ApplicationParameters::DefaultExtraCaFile());
    EXPECT_EQ(table.Get("GLM_CONTENT_SIGNING_KEY_FILE"), Path("content.pub")) << "the local value";
    EXPECT_EQ(table.Get("GLM_FAQ_URL"), "http://remote.invalid/faq") << "other settings still apply";
    for (const char* key : {"GLM_BASE_URL", "GLM_EXTRA_CA_FILE", "GLM_CONTENT_SIGNING_KEY_FILE"}) {
        EXPECT_TRUE(m_logger.Contains(std::string("patcher.ver: refused the remote setting of ") + key))
            << key;
    }

    // An https sign-in address from the server is taken.
    Announce(kVersion, "1", "GLM_BASE_URL=HTTPS://other.invalid/api/\n");
    Glm::Patcher next(Locations(), &m_movies, kVersion);
    ASSERT_TRUE(next.Init());
    EXPECT_EQ(next.GetParameters().Get("GLM_BASE_URL"), "HTTPS://other.invalid/api/");
}

TEST_F(PatcherFlowTest, ReturnFromTheTrayAsksForAnUpdateOnlyWhenOneIsDue) {
    WriteFile(Path("avatarFull.swf"), "full");
    WriteFile(Path("avatarAndButterfly.swf"), "butterfly");
    m_movies.Answer("avatarFull.swf", "1");
    m_movies.Answer("avatarAndButterfly.swf", "1");
    Announce(kVersion, "1");
    Glm::PatcherThread thread(Locations(), &m_movies, kVersion);
    thread.Start(m_splash);
    ASSERT_TRUE(m_splash.WaitFor(UI::WM_GLM_PATCH_DONE, 20s));
    EXPECT_FALSE(thread.ShouldGetPatch());

    Announce(kVersion, "2");
    EXPECT_TRUE(thread.ShouldGetPatch()) << "a movie answers another version";
    Announce("V1.0.4.35", "1");
    EXPECT_TRUE(thread.ShouldGetPatch()) << "a newer program";

    Glm::PatcherLocations packaged = Locations();
    packaged.programDirectoryWritable = false;
    Glm::PatcherThread packagedThread(packaged, &m_movies, kVersion);
    EXPECT_FALSE(packagedThread.ShouldGetPatch()) << "the package manager brings the program";

    WriteLocal("GLM_PATCHER_BASE_URL=http://127.0.0.1:1/x/\n");
    EXPECT_FALSE(thread.ShouldGetPatch()) << "an unreachable server is logged only";
    EXPECT_EQ(Ids(), std::vector<std::uint32_t>{UI::WM_GLM_PATCH_DONE});
}

} // namespace
