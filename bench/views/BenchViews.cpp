// How long a movie takes from LoadUrl to ready, and how much memory the web
// engine adds to the process.
//
//   bench_views                 all measurements
//
// The first benchmark must run first: it measures the first movie of the
// process, which also starts the engine. The memory counters are the
// proportional set size of this process and every process it started (the
// engine's renderer and utility processes), before the first movie and with
// the movies shown.

#include "Tools/FlashWindowView.h"
#include "Tools/WebEngineSetup.h"
#include "common/UI/RecordingMessageTarget.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QWidget>
#include <array>
#include <benchmark/benchmark.h>
#include <chrono>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string kFlashVars = "&&fairyDNA=<avatar><body skin=\"#F1C7A5\"/><hair style=\"2\" "
                               "color=\"#6B3E26\"/><eyes color=\"#3A6EA5\"/>"
                               "<dress style=\"4\" color=\"#C86DD7\"/><wings style=\"1\" "
                               "color=\"#9FD8F5\"/><tagalong ttl=\"5\">3</tagalong>"
                               "</avatar>&fairyName=Lilybell&useButterfly=1";

struct Environment {
    QTemporaryDir dir;
    QWidget screen;
    UI::RecordingMessageTarget target;
    std::string moviePath;
    double baselineMb = 0;
};
Environment* g_env = nullptr;

// Proportional set size (kB) of pid from /proc, 0 when unreadable.
long PssKb(const std::string& pid) {
    std::ifstream rollup("/proc/" + pid + "/smaps_rollup");
    std::string key;
    long value = 0;
    while (rollup >> key) {
        if (key == "Pss:") {
            rollup >> value;
            return value;
        }
        rollup.ignore(1 << 12, '\n');
    }
    return 0;
}

// This process and all its descendants, in MB.
double ProcessTreeMb() {
    std::vector<std::pair<std::string, std::string>> parents; // pid, ppid
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool numeric = false;
        entry.toLong(&numeric);
        if (!numeric) {
            continue;
        }
        std::ifstream stat("/proc/" + entry.toStdString() + "/stat");
        std::string line;
        std::getline(stat, line);
        const auto close = line.rfind(')');
        if (close == std::string::npos) {
            continue;
        }
        std::istringstream rest(line.substr(close + 2));
        std::string state, ppid;
        rest >> state >> ppid;
        parents.emplace_back(entry.toStdString(), ppid);
    }
    std::vector<std::string> tree{std::to_string(QCoreApplication::applicationPid())};
    for (std::size_t i = 0; i < tree.size(); ++i) {
        for (const auto& [pid, ppid] : parents) {
            if (ppid == tree[i]) {
                tree.push_back(pid);
            }
        }
    }
    long total = 0;
    for (const std::string& pid : tree) {
        total += PssKb(pid);
    }
    return static_cast<double>(total) / 1024.0;
}

bool WaitReady(const std::vector<Glm::FlashWindowView*>& views) {
    QElapsedTimer clock;
    clock.start();
    auto ready = [&] {
        for (const Glm::FlashWindowView* view : views) {
            if (!view->GetFlashWindow() || view->GetFlashWindow()->GetReadyState() != 4) {
                return false;
            }
        }
        return true;
    };
    while (!ready() && clock.elapsed() < 30000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return ready();
}

// Loads count avatars side by side at once; returns seconds from LoadUrl to
// all ready (and, when asked, from creating the views).
double LoadAvatars(std::vector<std::unique_ptr<Glm::FlashWindowView>>& views, int count,
                   double* fromCreate = nullptr) {
    views.clear();
    const auto created = std::chrono::steady_clock::now();
    std::vector<Glm::FlashWindowView*> raw;
    for (int i = 0; i < count; ++i) {
        views.push_back(std::make_unique<Glm::FlashWindowView>());
        views.back()->CreateClientWindow(&g_env->screen, QRect(214 + 133 * i, 203, 105, 159), &g_env->target);
        raw.push_back(views.back().get());
    }
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < count; ++i) {
        views[static_cast<std::size_t>(i)]->SetAvatar(static_cast<UI::WPARAM>(i), kFlashVars, 100 + i, 1575,
                                                      0xD3B0D2);
        views[static_cast<std::size_t>(i)]->LoadUrl(g_env->moviePath);
    }
    if (!WaitReady(raw)) {
        return -1;
    }
    const auto ready = std::chrono::steady_clock::now();
    if (fromCreate) {
        *fromCreate = std::chrono::duration<double>(ready - created).count();
    }
    return std::chrono::duration<double>(ready - start).count();
}

void BM_FirstMovieReady(benchmark::State& state) {
    std::vector<std::unique_ptr<Glm::FlashWindowView>> views;
    double fromCreate = 0;
    for (auto _ : state) {
        const double seconds = LoadAvatars(views, 1, &fromCreate);
        if (seconds < 0) {
            state.SkipWithError("the movie never became ready");
            return;
        }
        state.SetIterationTime(seconds);
    }
    // Creating the first view also starts the engine.
    state.counters["from_create_ms"] = fromCreate * 1000.0;
    state.counters["engine_MB"] = ProcessTreeMb() - g_env->baselineMb;
}
BENCHMARK(BM_FirstMovieReady)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

// One more avatar while another is shown (the engine already runs).
void BM_NextMovieReady(benchmark::State& state) {
    std::vector<std::unique_ptr<Glm::FlashWindowView>> shown;
    LoadAvatars(shown, 1);
    std::vector<std::unique_ptr<Glm::FlashWindowView>> views;
    for (auto _ : state) {
        const double seconds = LoadAvatars(views, 1);
        if (seconds < 0) {
            state.SkipWithError("the movie never became ready");
            return;
        }
        state.SetIterationTime(seconds);
    }
}
BENCHMARK(BM_NextMovieReady)->Iterations(12)->UseManualTime()->Unit(benchmark::kMillisecond);

// The three avatars of a screen, loaded together.
void BM_ThreeAvatarsReady(benchmark::State& state) {
    std::vector<std::unique_ptr<Glm::FlashWindowView>> views;
    for (auto _ : state) {
        const double seconds = LoadAvatars(views, 3);
        if (seconds < 0) {
            state.SkipWithError("the movies never became ready");
            return;
        }
        state.SetIterationTime(seconds);
    }
    state.counters["engine_MB"] = ProcessTreeMb() - g_env->baselineMb;
}
BENCHMARK(BM_ThreeAvatarsReady)->Iterations(8)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    Web::PrepareWebEngine();
    QApplication application(argc, argv);
    Environment env;
    g_env = &env;
    env.moviePath = env.dir.filePath(QStringLiteral("avatarAndButterfly.swf")).toStdString();
    QFile::copy(QStringLiteral(":/res/SWF/AVATAR_AND_BUTTERFLY"), QString::fromStdString(env.moviePath));
    env.screen.resize(750, 500);
    env.screen.show();
    QCoreApplication::processEvents();
    env.baselineMb = ProcessTreeMb();

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_env = nullptr;
    return 0;
}
