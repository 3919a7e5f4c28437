#include "Timer.h"

#include "common/Ex/Exceptions.h"

#include <chrono>

namespace Sync {

Timer::Timer(TimerCallback* callback) : m_callback(callback), m_thread(this) {
    m_thread.Start();
}

Timer::~Timer() {
    // ShutDown waits for the thread, so a callback running now finishes first.
    m_thread.ShutDown();
}

void Timer::StartTimer(int periodMs, int mode) {
    try {
        AutoLock lock(m_settingsLock);
        m_mode = mode;
        m_period = periodMs;
        m_startSignal.Set();
    }
    EX_CATCH_ADD_FRAME_AND_RETHROW
}

void Timer::StopTimer() {
    try {
        AutoLock lock(m_settingsLock);
        m_period = -1;
        m_stopSignal.Set();
    }
    EX_CATCH_ADD_FRAME_AND_RETHROW
}

void Timer::Run() {
    // A periodic timer keeps its rate: each tick is due one period after
    // the previous one was due, not one period after the previous callback
    // returned, so the time taken by callbacks and wake-ups does not add up.
    // A timer that falls more than a period behind starts afresh from now
    // rather than firing the missed ticks back to back.
    using Clock = std::chrono::steady_clock;
    Clock::time_point due{};
    int duePeriod = -1;
    for (;;) {
        int period = 0;
        {
            AutoLock lock(m_settingsLock);
            period = m_period;
        }
        int timeout = period;
        if (period >= 0) {
            const Clock::time_point now = Clock::now();
            if (duePeriod != period) {
                due = now + std::chrono::milliseconds(period);
                duePeriod = period;
            }
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(due - now).count();
            timeout = left > 0 ? static_cast<int>(left) : 0;
        } else {
            duePeriod = -1;
        }
        const std::uint32_t result =
            Waitable::Wait({&m_thread.GetShutDownSignal(), &m_startSignal, &m_stopSignal}, false, timeout);
        if (result == WAIT_OBJECT_0) {
            return;
        }
        if (result == WAIT_OBJECT_0 + 1) {
            duePeriod = -1; // a (re)start counts its period from now
            AutoLock lock(m_callbackLock);
            m_callback->OnTimerStarted();
            continue;
        }
        if (result == WAIT_OBJECT_0 + 2) {
            duePeriod = -1;
            continue;
        }
        if (result == WAIT_TIMEOUT) {
            {
                AutoLock lock(m_settingsLock);
                // A one-shot timer fires once, unless it was restarted meanwhile.
                // The start signal is only looked at, not consumed, so the
                // restart still reaches OnTimerStarted.
                if (m_mode == kOneShot && !m_startSignal.IsSet()) {
                    m_period = -1;
                }
            }
            if (duePeriod >= 0) {
                due += std::chrono::milliseconds(duePeriod);
                if (due + std::chrono::milliseconds(duePeriod) <= Clock::now()) {
                    due = Clock::now() + std::chrono::milliseconds(duePeriod);
                }
            }
            AutoLock lock(m_callbackLock);
            m_callback->OnTimer();
            continue;
        }
        throw Ex::Assert("Invalid case encountered, waitRetVal = " + std::to_string(result), EX_FRAME);
    }
}

} // namespace Sync
