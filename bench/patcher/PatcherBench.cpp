// Measures, against glimmeries-service on loopback:
//  - the throughput of a program download as the patcher makes it (a new
//    connection, the body streamed into a file) and of curl fetching the
//    same file, over HTTP and HTTPS;
//  - the start-up check when nothing needs patching: Patch up to
//    WM_GLM_PATCH_DONE, and the parameter load alone.
// Usage: bench_patcher [SIZE_MB] [RUNS]   (GLM_BUILD_DIR names the build tree)

#include "Tools/patcher/Patcher.h"
#include "common/Ex/Logger.h"
#include "common/Process/Process.h"
#include "common/UI/RecordingMessageTarget.h"
#include "common/Web/HttpConnection.h"
#include "common/Web/TlsTrust.h"
#include "common/Web/Url.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

class QuietLogger : public Ex::Logger {
public:
    void MoveContentsAndReOpen(const std::string&) override {}
    StringFormat GetStringFormat() const override { return Text; }
    void Write(const std::string&) override {}
};

class NoProgress : public Web::DownloadObserver {
public:
    void OnProgress(void*, unsigned) override {}
    void OnComplete(void*) override {}
    void OnError(void*, const std::string&) override {}
};

// glimmeries-service on free ports, stopped with the object.
class Service {
public:
    Service(const std::string& program, const std::string& data) {
        int pipeEnds[2];
        if (::pipe(pipeEnds) != 0) {
            std::exit(1);
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 1);
        posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
        std::vector<std::string> arguments{program,       "serve", "--data",       data,
                                           "--http-port", "0",     "--https-port", "0"};
        std::vector<char*> argv;
        for (std::string& argument : arguments) {
            argv.push_back(argument.data());
        }
        argv.push_back(nullptr);
        if (posix_spawn(&m_pid, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) {
            std::fprintf(stderr, "cannot start %s\n", program.c_str());
            std::exit(1);
        }
        posix_spawn_file_actions_destroy(&actions);
        ::close(pipeEnds[1]);
        std::string line;
        char c = 0;
        while (::read(pipeEnds[0], &c, 1) == 1 && c != '\n') {
            line += c;
        }
        m_output = pipeEnds[0];
        if (std::sscanf(line.c_str(), "listening http=%d https=%d", &m_http, &m_https) != 2) {
            std::fprintf(stderr, "the service said: %s\n", line.c_str());
            std::exit(1);
        }
    }
    ~Service() {
        ::kill(m_pid, SIGTERM);
        int status = 0;
        ::waitpid(m_pid, &status, 0);
        ::close(m_output);
    }
    int m_http = 0;
    int m_https = 0;

private:
    pid_t m_pid = -1;
    int m_output = -1;
};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

template <class Body>
double TimeMs(Body body) {
    const auto start = Clock::now();
    body();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double PatcherDownloadMs(const std::string& address, const std::string& target) {
    std::filesystem::remove(target);
    NoProgress observer;
    return TimeMs([&] {
        const Web::Url url(address);
        Web::HttpConnection connection("bench_patcher", url);
        connection.DoGet(url.GetObjectName(), Web::Text)->GetResponseBodyIntoFile(target, observer, nullptr);
    });
}

double CurlDownloadMs(const std::string& address, const std::string& target, const std::string& caFile) {
    std::filesystem::remove(target);
    std::vector<std::string> argv{"curl", "-s", "-f", "-o", target};
    if (!caFile.empty()) {
        argv.insert(argv.end(), {"--cacert", caFile});
    }
    argv.push_back(address);
    return TimeMs([&] {
        Process::Process curl(argv);
        curl.Wait(-1);
    });
}

} // namespace

int main(int argc, char** argv) {
    const int sizeMb = argc > 1 ? std::atoi(argv[1]) : 20;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 7;
    const char* build = std::getenv("GLM_BUILD_DIR");
    const std::string service = std::string(build != nullptr ? build : "build") + "/bin/glimmeries-service";
    QuietLogger logger;
    const Ex::ScopedLogger scoped(&logger);

    char pattern[] = "/tmp/glm-bench-patcher-XXXXXX";
    const std::string root = ::mkdtemp(pattern);
    const std::string data = root + "/data";
    std::filesystem::create_directories(data + "/content");
    {
        std::ofstream program(data + "/content/glimmeries.exe", std::ios::binary);
        std::mt19937_64 random(42);
        std::vector<std::uint64_t> block(1 << 17);
        for (int mb = 0; mb < sizeMb; ++mb) {
            for (auto& word : block) {
                word = random();
            }
            program.write(reinterpret_cast<const char*>(block.data()), static_cast<std::streamsize>(1 << 20));
        }
        std::ofstream(data + "/content/patcher.ver")
            << "PATCHER_VERSION_STRING_SERVER=V1.0.4.34\nGLM_SWF_VERSION=1\n";
    }
    {
        const Service server(service, data);
        const std::string folder = "/bramblemere/game/glimmeries/english/";
        Web::SetExtraCaFile(data + "/ca.pem");
        std::printf("program download of %d MB over loopback, median of %d runs:\n", sizeMb, runs);
        for (const bool secure : {false, true}) {
            const std::string base = secure ? "https://127.0.0.1:" + std::to_string(server.m_https)
                                            : "http://127.0.0.1:" + std::to_string(server.m_http);
            const std::string address = base + folder + "glimmeries.exe?bench";
            std::vector<double> ours;
            std::vector<double> curl;
            for (int run = 0; run < runs; ++run) {
                ours.push_back(PatcherDownloadMs(address, root + "/ours"));
                curl.push_back(CurlDownloadMs(address, root + "/curl", secure ? data + "/ca.pem" : ""));
            }
            const double oursMs = Median(ours);
            const double curlMs = Median(curl);
            std::printf("  %-5s patcher %7.1f ms (%6.0f MB/s)   curl %7.1f ms (%6.0f MB/s)   ratio %.2f\n",
                        secure ? "https" : "http", oursMs, sizeMb * 1000.0 / oursMs, curlMs,
                        sizeMb * 1000.0 / curlMs, oursMs / curlMs);
        }

        // Nothing to patch: the current version, movies present.
        std::ofstream(root + "/parameters.txt") << "GLM_PATCHER_BASE_URL=https://127.0.0.1:" << server.m_https
                                                << folder << "\nGLM_EXTRA_CA_FILE=" << data << "/ca.pem\n";
        std::ofstream(root + "/avatarFull.swf") << "movie";
        std::ofstream(root + "/avatarAndButterfly.swf") << "movie";
        const auto locations =
            Glm::PatcherLocations::ForProgram(root + "/glimmeries", root, root + "/parameters.txt");
        std::vector<double> patch;
        std::vector<double> load;
        for (int run = 0; run < runs; ++run) {
            UI::RecordingMessageTarget splash;
            Glm::Patcher patcher(locations, nullptr, "V1.0.4.34");
            patch.push_back(TimeMs([&] { patcher.Patch(splash); }));
            Glm::Patcher loader(locations, nullptr, "V1.0.4.34");
            load.push_back(TimeMs([&] { loader.Init(); }));
        }
        std::printf("start to WM_GLM_PATCH_DONE with nothing to patch (movie check without the web engine):\n"
                    "  Patch %.1f ms, parameter load alone %.1f ms, beyond the load %.1f ms\n",
                    Median(patch), Median(load), Median(patch) - Median(load));
    }
    std::filesystem::remove_all(root);
    return 0;
}
