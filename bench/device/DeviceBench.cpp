// Speed of the device library over the simulated bus, against an
// in-process virtual toy: a full memory read, the time from a toy
// appearing to the arrival callback, the pacing of a full write, and the
// two small writes the screens make most (clearing the points, removing one
// charm) through the toy object, with the toy's 100 ms pacing kept.

#include "device/DeviceLibrary.h"
#include "device/ResultCodes.h"
#include "device/SupportedToys.h"
#include "device/Toy.h"
#include "toys/VirtualToy.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// A bus directory of our own for the whole run.
const std::string& BusDirectory() {
    static const std::string directory = [] {
        std::string pattern = "/tmp/glm-bench-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        ::setenv("GLIMMERIES_TOY_DIR", pattern.c_str(), 1);
        return pattern;
    }();
    return directory;
}

// A virtual toy on its own thread, taking command lines through a pipe and
// reporting its event lines, so a benchmark can prepare the toy between
// rounds and wait until it has done so.
class RunningToy {
public:
    RunningToy(std::uint16_t productId, const std::string& name) {
        Toys::VirtualToyOptions options;
        options.productId = productId;
        options.name = name;
        options.directory = BusDirectory();
        m_toy =
            std::make_unique<Toys::VirtualToy>(options, [this](const std::string& line) { OnLine(line); });
        std::string error;
        if (!m_toy->Plug(error) || ::pipe2(m_commands, O_CLOEXEC) != 0) {
            std::abort();
        }
        m_thread = std::thread([this] { m_toy->Run(m_commands[0]); });
    }
    ~RunningToy() {
        m_toy->RequestStop();
        m_thread.join();
        ::close(m_commands[0]);
        ::close(m_commands[1]);
    }
    RunningToy(const RunningToy&) = delete;
    RunningToy& operator=(const RunningToy&) = delete;

    /// Runs one command line and waits (at most 5 s) for an event line
    /// starting with expected. False when it did not come.
    bool Command(const std::string& line, const std::string& expected) {
        std::unique_lock lock(m_mutex);
        m_lines.clear();
        const std::string text = line + "\n";
        if (::write(m_commands[1], text.data(), text.size()) != static_cast<ssize_t>(text.size())) {
            return false;
        }
        return m_changed.wait_for(lock, std::chrono::seconds(5), [&] {
            return std::any_of(m_lines.begin(), m_lines.end(),
                               [&](const std::string& seen) { return seen.rfind(expected, 0) == 0; });
        });
    }

private:
    void OnLine(const std::string& line) {
        {
            std::lock_guard lock(m_mutex);
            m_lines.push_back(line);
        }
        m_changed.notify_all();
    }

    std::unique_ptr<Toys::VirtualToy> m_toy;
    int m_commands[2] = {-1, -1};
    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<std::string> m_lines;
};

double Milliseconds(Clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

void ReportSpread(benchmark::State& state, std::vector<double> samples) {
    if (samples.empty()) {
        return;
    }
    std::sort(samples.begin(), samples.end());
    state.counters["median_ms"] = samples[samples.size() / 2];
    state.counters["worst_ms"] = samples.back();
}

void BM_FullMemoryRead(benchmark::State& state) {
    BusDirectory();
    RunningToy toy(GlmDev::kJewelryBoxProductId, "reader");
    if (GlmDev::GlmDevStart(nullptr, nullptr) != GlmDev::kOk) {
        state.SkipWithError("discovery did not start");
        return;
    }
    std::uint8_t memory[128];
    std::vector<double> samples;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        if (GlmDev::GlmDevReadMemory(0, memory) != GlmDev::kOk) {
            state.SkipWithError("read failed");
            break;
        }
        samples.push_back(Milliseconds(Clock::now() - start));
    }
    ReportSpread(state, samples);
    GlmDev::GlmDevStop();
}
BENCHMARK(BM_FullMemoryRead)->Unit(benchmark::kMillisecond);

struct Arrivals {
    std::mutex mutex;
    std::condition_variable changed;
    int arrived = 0;
    int removed = 0;
    Clock::time_point lastArrival;
    static void Callback(void* context, std::uint32_t code, const GlmDev::DeviceEvent*) {
        auto* self = static_cast<Arrivals*>(context);
        {
            std::lock_guard lock(self->mutex);
            if (code == GlmDev::DeviceArrived) {
                ++self->arrived;
                self->lastArrival = Clock::now();
            } else {
                ++self->removed;
            }
        }
        self->changed.notify_all();
    }
};

// From the moment the toy starts to appear (before its socket is made) to
// the arrival callback: an upper bound of the latency from the socket file
// appearing.
void BM_ArrivalLatency(benchmark::State& state) {
    BusDirectory();
    Arrivals arrivals;
    if (GlmDev::GlmDevStart(&Arrivals::Callback, &arrivals) != GlmDev::kOk) {
        state.SkipWithError("discovery did not start");
        return;
    }
    std::vector<double> samples;
    int round = 0;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        auto toy =
            std::make_unique<RunningToy>(GlmDev::kBraceletProductId, "arriving" + std::to_string(round));
        std::unique_lock lock(arrivals.mutex);
        if (!arrivals.changed.wait_for(lock, std::chrono::seconds(5),
                                       [&] { return arrivals.arrived > round; })) {
            state.SkipWithError("no arrival");
            break;
        }
        samples.push_back(Milliseconds(arrivals.lastArrival - start));
        lock.unlock();
        state.PauseTiming();
        toy.reset();
        lock.lock();
        arrivals.changed.wait_for(lock, std::chrono::seconds(5), [&] { return arrivals.removed > round; });
        ++round;
        state.ResumeTiming();
    }
    ReportSpread(state, samples);
    GlmDev::GlmDevStop();
}
BENCHMARK(BM_ArrivalLatency)->Unit(benchmark::kMillisecond)->Iterations(50);

// A full write is 32 words 100 ms apart: it must not be faster than 3.2 s.
void BM_FullMemoryWrite(benchmark::State& state) {
    BusDirectory();
    RunningToy toy(GlmDev::kBraceletProductId, "written");
    if (GlmDev::GlmDevStart(nullptr, nullptr) != GlmDev::kOk) {
        state.SkipWithError("discovery did not start");
        return;
    }
    std::uint8_t memory[128] = {0};
    std::vector<double> samples;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        if (GlmDev::GlmDevWriteMemory(0, memory) != GlmDev::kOk) {
            state.SkipWithError("write failed");
            break;
        }
        samples.push_back(Milliseconds(Clock::now() - start));
    }
    ReportSpread(state, samples);
    if (!samples.empty()) {
        state.counters["ms_per_word"] = *std::min_element(samples.begin(), samples.end()) / 32;
    }
    GlmDev::GlmDevStop();
}
BENCHMARK(BM_FullMemoryWrite)->Unit(benchmark::kMillisecond)->Iterations(3);

// One small change through the toy object, the way the point and charm
// screens make it: the toy holds 29 charms and points, the object has read
// it, and the change is timed. prepare runs the toy
// command that sets the round up again; change makes the write.
template <class Change>
void MeasureToyChange(benchmark::State& state, const char* name, const std::string& prepare,
                      const std::string& prepared, Change change) {
    BusDirectory();
    RunningToy toy(GlmDev::kBraceletProductId, name);
    for (std::int32_t charm = 1002; charm <= 1030; ++charm) {
        if (!toy.Command("touch charm " + std::to_string(charm), "touched charm")) {
            state.SkipWithError("the toy did not store its charms");
            return;
        }
    }
    if (GlmDev::GlmDevStart(nullptr, nullptr) != GlmDev::kOk) {
        state.SkipWithError("discovery did not start");
        return;
    }
    Glm::Toy object(0, GlmDev::kBraceletProductId);
    std::vector<double> samples;
    for (auto _ : state) {
        state.PauseTiming();
        if (!toy.Command(prepare, prepared) || object.ReadMemory() != GlmDev::kOk) {
            state.SkipWithError("the toy could not be prepared");
            break;
        }
        state.ResumeTiming();
        const Clock::time_point start = Clock::now();
        if (change(object) != GlmDev::kOk) {
            state.SkipWithError("the write failed");
            break;
        }
        samples.push_back(Milliseconds(Clock::now() - start));
    }
    ReportSpread(state, samples);
    GlmDev::GlmDevStop();
}

void BM_ToyClearPoints(benchmark::State& state) {
    MeasureToyChange(state, "points", "points 1230", "points 1230",
                     [](Glm::Toy& object) { return object.ClearPoints(); });
}
BENCHMARK(BM_ToyClearPoints)->Unit(benchmark::kMillisecond)->Iterations(10);

// Each round the toy is touched with charm 1001, which goes to the one free
// slot, and the charm is removed again.
void BM_ToyRemoveOneCharm(benchmark::State& state) {
    MeasureToyChange(state, "charm", "touch charm 1001", "touched charm",
                     [](Glm::Toy& object) { return object.RemoveEntry(1001); });
}
BENCHMARK(BM_ToyRemoveOneCharm)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    std::filesystem::remove_all(BusDirectory(), ignored);
    return 0;
}
