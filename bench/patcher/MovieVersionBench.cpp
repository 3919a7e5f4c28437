// Measures what reading a movie's version costs at start-up: playing it in
// the web engine (the first time with the engine's own start), and answering
// from the per-file cache that spares a start with nothing to patch from
// playing the movies at all. Needs a display (Xvfb or QT_QPA_PLATFORM=offscreen).

#include "Tools/WebEngineSetup.h"
#include "Tools/patcher/CachedMovieVersionReader.h"
#include "Tools/patcher/FlashMovieVersionReader.h"
#include "common/Mod/Mod.h"

#include <QApplication>
#include <chrono>
#include <cstdio>
#include <filesystem>

namespace {

template <class Body>
double TimeMs(Body body) {
    const auto start = std::chrono::steady_clock::now();
    body();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv) {
    Web::PrepareWebEngine();
    QApplication application(argc, argv);
    char pattern[] = "/tmp/glm-bench-movies-XXXXXX";
    const std::string root = ::mkdtemp(pattern);
    const std::string full = root + "/avatarFull.swf";
    const std::string butterfly = root + "/avatarAndButterfly.swf";
    Mod::ExtractResourceToDisk("AVATAR_FULL", "SWF", full);
    Mod::ExtractResourceToDisk("AVATAR_AND_BUTTERFLY", "SWF", butterfly);

    Glm::FlashMovieVersionReader engine;
    const double first = TimeMs([&] { engine.ReadVersion(full); });
    const double second = TimeMs([&] { engine.ReadVersion(butterfly); });
    Glm::CachedMovieVersionReader filling(engine, root + "/.movie-versions");
    filling.ReadVersion(full);
    filling.ReadVersion(butterfly);
    // A new start: a new cache object reading the file.
    Glm::CachedMovieVersionReader cached(engine, root + "/.movie-versions");
    const double warm = TimeMs([&] {
        cached.ReadVersion(full);
        cached.ReadVersion(butterfly);
    });
    std::printf("movie version through the web engine: first %.1f ms (engine start included), next %.1f ms\n"
                "both avatar movies from the per-file cache: %.2f ms\n",
                first, second, warm);
    std::filesystem::remove_all(root);
    return 0;
}
