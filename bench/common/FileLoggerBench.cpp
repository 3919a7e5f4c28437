// Records per second written by Ex::FileLogger rotating every 100000 bytes
// (the application's setting), and the cost of one Log call. Every record is
// flushed, so this measures a write(2) per record.

#include "common/Ex/FileLogger.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

class ScratchDirectory {
public:
    ScratchDirectory() {
        std::string pattern = (std::filesystem::temp_directory_path() / "glm-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr) {
            m_path = pattern;
        }
    }
    ~ScratchDirectory() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

// A short record like the application's: about 40 characters of text.
void BM_FileLoggerShortRecord(benchmark::State& state) {
    ScratchDirectory dir;
    Ex::FileLogger logger(dir.Path(), "Glimmeries.log", 100000, "bench_file_logger");
    const std::string message = "Patching avatarFull.swf to version 1.0.7";
    for (auto _ : state) {
        logger.Log(message);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FileLoggerShortRecord);

// The same with several threads contending for the logger's lock.
void BM_FileLoggerShortRecordThreads(benchmark::State& state) {
    static ScratchDirectory* dir = nullptr;
    static Ex::FileLogger* logger = nullptr;
    if (state.thread_index() == 0) {
        dir = new ScratchDirectory();                                              // NOLINT
        logger = new Ex::FileLogger(dir->Path(), "Glimmeries.log", 100000, "hdr"); // NOLINT
    }
    const std::string message = "Patching avatarFull.swf to version 1.0.7";
    for (auto _ : state) {
        logger->Log(message);
    }
    state.SetItemsProcessed(state.iterations());
    if (state.thread_index() == 0) {
        delete logger;
        delete dir;
    }
}
BENCHMARK(BM_FileLoggerShortRecordThreads)->Threads(4)->UseRealTime();

// Formatting alone (time prefix), to tell it apart from the write.
void BM_LoggerFormatMessage(benchmark::State& state) {
    ScratchDirectory dir;
    Ex::FileLogger logger(dir.Path(), "f.log", 100000, "hdr");
    const std::string message = "Patching avatarFull.swf to version 1.0.7";
    for (auto _ : state) {
        benchmark::DoNotOptimize(logger.FormatMessage(message));
    }
}
BENCHMARK(BM_LoggerFormatMessage);

} // namespace

BENCHMARK_MAIN();
