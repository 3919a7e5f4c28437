#pragma once

#include "CriticalSection.h"
#include "Event.h"
#include "Thread.h"

#include <cstdint>

namespace Sync {

class TimerCallback {
public:
    virtual ~TimerCallback() = default;
    /// The period has elapsed. Runs on the timer's thread.
    virtual void OnTimer() = 0;
    /// The timer has been (re)started. Runs on the timer's thread.
    virtual void OnTimerStarted() = 0;
};

/// A one-shot (mode 1) or periodic (any other mode) timer with its own
/// thread. Callbacks never overlap: both run under the callback lock.
class Timer : public Runnable {
public:
    static constexpr int kOneShot = 1;
    static constexpr int kPeriodic = 0;

    /// Starts the timer's thread; the timer waits, stopped.
    explicit Timer(TimerCallback* callback);
    /// Shuts the thread down, waiting for a running callback to return.
    ~Timer() override;
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    /// (Re)starts with a period in milliseconds; takes effect from the next wait.
    void StartTimer(int periodMs, int mode);
    /// Stops; does not wait for a callback that is running now.
    void StopTimer();

    void Run() override;

private:
    TimerCallback* m_callback;
    int m_period = -1;
    int m_mode = kOneShot;
    AutoResetEvent m_startSignal;
    AutoResetEvent m_stopSignal;
    CriticalSection m_settingsLock;
    CriticalSection m_callbackLock;
    Thread m_thread;
};

} // namespace Sync
