// Movie versions read by playing the movies in the web engine, and a movie
// patch driven by them (needs a display: Xvfb or the offscreen platform).

#include "PatcherFixture.h"
#include "Tools/WebEngineSetup.h"
#include "Tools/patcher/FlashMovieVersionReader.h"
#include "common/Mod/Mod.h"

#include <QApplication>
#include <QElapsedTimer>
#include <atomic>
#include <thread>

namespace {

using namespace std::chrono_literals;
using namespace PatcherTest;

// Runs the event loop until done() or the deadline.
bool SpinUntil(const std::function<bool()>& done, int timeoutMs = 60000) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < timeoutMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    return done();
}

std::string MovieText(const std::string& version) {
    const std::string path = "/tmp/glm-movie-source-" + std::to_string(::getpid());
    Mod::ExtractResourceToDisk("AVATAR_FULL", "SWF", path);
    std::string text = ReadFile(path);
    std::remove(path.c_str());
    const std::string current = "var MOVIE_VERSION = '1';";
    const auto at = text.find(current);
    if (at != std::string::npos) {
        text.replace(at, current.size(), "var MOVIE_VERSION = '" + version + "';");
    }
    return text;
}

class MoviePatchTest : public PatcherFixture {
protected:
    Glm::FlashMovieVersionReader m_reader;
};

TEST_F(MoviePatchTest, VersionIsReadOnTheInterfaceThreadAndFromAnother) {
    WriteFile(Path("avatarFull.swf"), MovieText("1"));
    EXPECT_EQ(m_reader.ReadVersion(Path("avatarFull.swf")), std::optional<std::string>("1"));
    EXPECT_EQ(m_reader.ReadVersion(Path("missing.swf")), std::nullopt);

    std::optional<std::string> fromWorker;
    std::atomic<bool> finished{false};
    std::thread worker([&] {
        fromWorker = m_reader.ReadVersion(Path("avatarFull.swf"));
        finished = true;
    });
    ASSERT_TRUE(SpinUntil([&] { return finished.load(); }));
    worker.join();
    EXPECT_EQ(fromWorker, std::optional<std::string>("1"));

    // Once cancelled, a worker gets no answer and does not wait for one.
    m_reader.Cancel();
    std::optional<std::string> afterCancel = "unset";
    std::thread late([&] { afterCancel = m_reader.ReadVersion(Path("avatarFull.swf")); });
    late.join();
    EXPECT_EQ(afterCancel, std::nullopt);
}

TEST_F(MoviePatchTest, MoviesAnsweringAnOlderVersionAreReplacedBySignedNewOnes) {
    Announce(kVersion, "2");
    WriteFile(Path("avatarFull.swf"), MovieText("1"));
    WriteFile(Path("avatarAndButterfly.swf"), MovieText("2"));
    m_server.PutSigned("avatarFull.swf", MovieText("2"), m_key);
    m_server.PutSigned("avatarAndButterfly.swf", MovieText("2"), m_key);

    Glm::Patcher patcher(Locations(), &m_reader, kVersion);
    std::atomic<bool> finished{false};
    std::thread start([&] {
        patcher.Patch(m_splash);
        finished = true;
    });
    ASSERT_TRUE(SpinUntil([&] { return finished.load(); }));
    start.join();
    EXPECT_EQ(Ids(), std::vector<std::uint32_t>{UI::WM_GLM_PATCH_DONE});
    EXPECT_EQ(m_server.CountOf("avatarFull.swf"), 1);
    EXPECT_EQ(m_server.CountOf("avatarAndButterfly.swf"), 0) << "it answers the announced version";
    EXPECT_TRUE(m_logger.Contains("Patching avatarFull.swf to version 2"));
    EXPECT_EQ(m_reader.ReadVersion(Path("avatarFull.swf")), std::optional<std::string>("2"));
}

} // namespace

int main(int argc, char** argv) {
    Web::PrepareWebEngine();
    QApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
