// Speed of the device library over the simulated bus, against an
// in-process virtual toy: a full memory read, the time from a toy
// appearing to the arrival callback, and the pacing of a full write.

#include "device/DeviceLibrary.h"
#include "device/ResultCodes.h"
#include "device/SupportedToys.h"
#include "toys/VirtualToy.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <mutex>
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

class RunningToy {
public:
    RunningToy(std::uint16_t productId, const std::string& name) {
        Toys::VirtualToyOptions options;
        options.productId = productId;
        options.name = name;
        options.directory = BusDirectory();
        m_toy = std::make_unique<Toys::VirtualToy>(options, nullptr);
        std::string error;
        if (!m_toy->Plug(error)) {
            std::abort();
        }
        m_thread = std::thread([this] { m_toy->Run(-1); });
    }
    ~RunningToy() {
        m_toy->RequestStop();
        m_thread.join();
    }

private:
    std::unique_ptr<Toys::VirtualToy> m_toy;
    std::thread m_thread;
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

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    std::filesystem::remove_all(BusDirectory(), ignored);
    return 0;
}
