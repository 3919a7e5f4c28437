#include "common/Sync/Timer.h"

#include <chrono>
#include <condition_variable>
#include <gtest/gtest.h>
#include <mutex>

namespace {

using namespace Sync;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Records when each callback came, and lets the test wait for a count.
class Recorder : public TimerCallback {
public:
    void OnTimer() override {
        {
            std::lock_guard lock(m_mutex);
            ticks.push_back(Clock::now());
        }
        m_changed.notify_all();
        if (m_tickDelay.count() > 0) {
            std::this_thread::sleep_for(m_tickDelay); // a slow callback
            std::lock_guard lock(m_mutex);
            tickReturned = true;
        }
    }
    void OnTimerStarted() override {
        {
            std::lock_guard lock(m_mutex);
            starts.push_back(Clock::now());
        }
        m_changed.notify_all();
    }
    bool AwaitTicks(std::size_t count, milliseconds limit = milliseconds(10000)) {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, limit, [&] { return ticks.size() >= count; });
    }
    bool AwaitStarts(std::size_t count) {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, milliseconds(10000), [&] { return starts.size() >= count; });
    }
    std::size_t TickCount() {
        std::lock_guard lock(m_mutex);
        return ticks.size();
    }
    void SetTickDelay(milliseconds delay) { m_tickDelay = delay; }
    // Copies: the timer thread may still be appending.
    std::vector<Clock::time_point> Ticks() {
        std::lock_guard lock(m_mutex);
        return ticks;
    }
    std::vector<Clock::time_point> Starts() {
        std::lock_guard lock(m_mutex);
        return starts;
    }
    bool TickReturned() {
        std::lock_guard lock(m_mutex);
        return tickReturned;
    }

    std::vector<Clock::time_point> ticks;
    std::vector<Clock::time_point> starts;
    bool tickReturned = false;

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    milliseconds m_tickDelay{0};
};

long Ms(Clock::duration d) {
    return static_cast<long>(std::chrono::duration_cast<milliseconds>(d).count());
}

TEST(SyncTimer, OneShotStartsAtOnceAndFiresOnce) {
    Recorder recorder;
    Timer timer(&recorder);
    const Clock::time_point start = Clock::now();
    timer.StartTimer(100, Timer::kOneShot);
    ASSERT_TRUE(recorder.AwaitStarts(1));
    EXPECT_LT(Ms(recorder.Starts()[0] - start), 90);
    ASSERT_TRUE(recorder.AwaitTicks(1));
    EXPECT_GE(Ms(recorder.Ticks()[0] - start), 100);
    // No second tick in the following three periods.
    EXPECT_FALSE(recorder.AwaitTicks(2, milliseconds(300)));
}

TEST(SyncTimer, PeriodicTicksUntilStopped) {
    Recorder recorder;
    Timer timer(&recorder);
    const Clock::time_point start = Clock::now();
    timer.StartTimer(40, Timer::kPeriodic);
    ASSERT_TRUE(recorder.AwaitTicks(4));
    timer.StopTimer();
    const std::size_t atStop = recorder.TickCount();
    // At most one tick that was already running when StopTimer came.
    EXPECT_FALSE(recorder.AwaitTicks(atStop + 2, milliseconds(200)));
    const std::vector<Clock::time_point> ticks = recorder.Ticks();
    // Tick n is never early: it comes at or after start + n periods.
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_GE(Ms(ticks[i] - start), 40 * static_cast<long>(i + 1));
    }
}

TEST(SyncTimer, SecondStartTakesTheNewPeriod) {
    Recorder recorder;
    Timer timer(&recorder);
    timer.StartTimer(5000, Timer::kPeriodic);
    ASSERT_TRUE(recorder.AwaitStarts(1));
    const Clock::time_point restart = Clock::now();
    timer.StartTimer(30, Timer::kPeriodic);
    ASSERT_TRUE(recorder.AwaitStarts(2));
    ASSERT_TRUE(recorder.AwaitTicks(2, milliseconds(2000)));
    EXPECT_LT(Ms(recorder.Ticks()[1] - restart), 2000);
}

TEST(SyncTimer, DestructionWaitsForARunningCallback) {
    Recorder recorder;
    recorder.SetTickDelay(milliseconds(150));
    {
        Timer timer(&recorder);
        timer.StartTimer(10, Timer::kOneShot);
        ASSERT_TRUE(recorder.AwaitTicks(1));
        // The callback is asleep now; the destructor must wait for it.
    }
    EXPECT_TRUE(recorder.TickReturned());
}

TEST(SyncTimer, StopDoesNotWaitForARunningCallback) {
    Recorder recorder;
    recorder.SetTickDelay(milliseconds(300));
    Timer timer(&recorder);
    timer.StartTimer(10, Timer::kPeriodic);
    ASSERT_TRUE(recorder.AwaitTicks(1));
    const Clock::time_point before = Clock::now();
    timer.StopTimer();
    EXPECT_LT(Ms(Clock::now() - before), 250);
}

} // namespace
