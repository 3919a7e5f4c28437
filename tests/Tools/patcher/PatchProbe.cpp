// A small program that runs the patcher as the application does, without a
// window: the program to update in the end-to-end test. It is built twice,
// reporting the current version and a later one (GLM_PROBE_VERSION), which
// release builds of the application cannot do.

#include "Tools/patcher/PatcherThread.h"
#include "common/Ex/Logger.h"
#include "common/UI/Messages.h"
#include "common/UI/RecordingMessageTarget.h"

#include <chrono>
#include <climits>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace {

// One line per record, appended with one write so the program, its update
// process and the restarted program can share the file.
class LineLogger : public Ex::Logger {
public:
    explicit LineLogger(const std::string& path)
        : m_fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644)) {}
    ~LineLogger() override {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    LineLogger(const LineLogger&) = delete;
    LineLogger& operator=(const LineLogger&) = delete;
    void MoveContentsAndReOpen(const std::string&) override {}
    StringFormat GetStringFormat() const override { return Text; }
    void Write(const std::string& formattedText) override {
        const std::string line = formattedText + "\n";
        if (m_fd >= 0 && ::write(m_fd, line.data(), line.size()) < 0) {
            return;
        }
    }

private:
    int m_fd;
};

std::string RunningPath() {
    char path[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    return length > 0 ? std::string(path, static_cast<std::size_t>(length)) : std::string();
}

} // namespace

int main() {
    const std::string self = RunningPath();
    const std::string directory = Glm::PatcherLocations::DirectoryOf(self);
    LineLogger logger(directory + "/probe.log");
    const Ex::ScopedLogger scoped(&logger);
    const std::string version = GLM_PROBE_VERSION;
    logger.Log("Running " + Glm::PatcherLocations::FileNameOf(self) + " version " + version);

    UI::RecordingMessageTarget splash;
    Glm::PatcherThread patcher(
        Glm::PatcherLocations::ForProgram(self, directory, directory + "/parameters.txt"), nullptr, version);
    patcher.Start(splash);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(2);
    for (std::size_t seen = 0; std::chrono::steady_clock::now() < deadline; ++seen) {
        if (!splash.WaitForCount(seen + 1, std::chrono::minutes(2))) {
            break;
        }
        switch (splash.Messages()[seen].id) {
        case UI::WM_GLM_PATCH_DONE:
            logger.Log("Patch done, version " + version);
            return 0;
        case UI::WM_CLOSE:
            logger.Log("Closing for the update, version " + version);
            return 0;
        case UI::WM_GLM_START_ERROR:
            logger.Log("Start error, version " + version);
            return 1;
        default:
            break;
        }
    }
    logger.Log("No answer from the patcher, version " + version);
    return 2;
}
