// A periodic Sync::Timer at 250 ms, 40 ticks: how far each tick lands from
// where an exact clock would put it (start + n * 250 ms), and how far each
// interval is from 250 ms. Prints mean and worst of both.
// Usage: bench_timer_drift [ticks] [periodMs]

#include "common/Sync/Timer.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

class TickRecorder : public Sync::TimerCallback {
public:
    explicit TickRecorder(std::size_t wanted) : m_wanted(wanted) {}
    void OnTimer() override {
        std::lock_guard lock(m_mutex);
        m_ticks.push_back(Clock::now());
        if (m_ticks.size() >= m_wanted) {
            m_done.notify_all();
        }
    }
    void OnTimerStarted() override {
        std::lock_guard lock(m_mutex);
        m_started = Clock::now();
    }
    std::vector<Clock::time_point> Await(Clock::time_point& started) {
        std::unique_lock lock(m_mutex);
        m_done.wait(lock, [&] { return m_ticks.size() >= m_wanted; });
        started = m_started;
        return m_ticks;
    }

private:
    std::size_t m_wanted;
    std::mutex m_mutex;
    std::condition_variable m_done;
    std::vector<Clock::time_point> m_ticks;
    Clock::time_point m_started;
};

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

} // namespace

int main(int argc, char** argv) {
    const int ticks = argc > 1 ? std::atoi(argv[1]) : 40;
    const int period = argc > 2 ? std::atoi(argv[2]) : 250;
    if (ticks < 1 || period < 1) {
        std::fprintf(stderr, "usage: bench_timer_drift [ticks] [periodMs]\n");
        return 2;
    }
    TickRecorder recorder(static_cast<std::size_t>(ticks));
    Sync::Timer timer(&recorder);
    const Clock::time_point start = Clock::now();
    timer.StartTimer(period, Sync::Timer::kPeriodic);
    Clock::time_point started;
    const std::vector<Clock::time_point> times = recorder.Await(started);
    timer.StopTimer();

    double sumDrift = 0;
    double worstDrift = 0;
    double sumInterval = 0;
    double worstInterval = 0;
    Clock::time_point previous = start;
    for (int i = 0; i < ticks; ++i) {
        const double drift =
            Ms(times[static_cast<std::size_t>(i)] - start) - static_cast<double>(period) * (i + 1);
        const double interval = Ms(times[static_cast<std::size_t>(i)] - previous) - period;
        previous = times[static_cast<std::size_t>(i)];
        sumDrift += drift;
        worstDrift = std::max(worstDrift, std::abs(drift));
        sumInterval += interval;
        worstInterval = std::max(worstInterval, std::abs(interval));
    }
    std::printf("period %d ms, %d ticks, StartTimer to OnTimerStarted %.3f ms\n", period, ticks,
                Ms(started - start));
    std::printf("interval error (tick n - tick n-1 - period): mean %+.3f ms, worst %.3f ms\n",
                sumInterval / ticks, worstInterval);
    std::printf(
        "cumulative drift (tick n - (start + n*period)): mean %+.3f ms, worst %.3f ms, last %+.3f ms\n",
        sumDrift / ticks, worstDrift, Ms(times.back() - start) - static_cast<double>(period) * ticks);
    return 0;
}
