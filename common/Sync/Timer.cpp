#include "Timer.h"

#include "common/Ex/Exceptions.h"

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
    for (;;) {
        int period = 0;
        {
            AutoLock lock(m_settingsLock);
            period = m_period;
        }
        const std::uint32_t result =
            Waitable::Wait({&m_thread.GetShutDownSignal(), &m_startSignal, &m_stopSignal}, false, period);
        if (result == WAIT_OBJECT_0) {
            return;
        }
        if (result == WAIT_OBJECT_0 + 1) {
            AutoLock lock(m_callbackLock);
            m_callback->OnTimerStarted();
            continue;
        }
        if (result == WAIT_OBJECT_0 + 2) {
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
            AutoLock lock(m_callbackLock);
            m_callback->OnTimer();
            continue;
        }
        throw Ex::Assert("Invalid case encountered, waitRetVal = " + std::to_string(result), EX_FRAME);
    }
}

} // namespace Sync
