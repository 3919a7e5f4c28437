#pragma once

#include "Event.h"
#include "Waitable.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>

namespace Sync {

/// What a Thread runs, once.
class Runnable {
public:
    virtual ~Runnable() = default;
    virtual void Run() = 0;
};

/// A worker thread that runs one Runnable and can be told to shut down. The
/// Waitable side is signalled when the thread has ended.
///
/// The owner must ShutDown a started thread before destroying it; destroying
/// a running thread is a programming error that ends the process through the
/// fatal-error handler.
class Thread : public Waitable {
public:
    explicit Thread(Runnable* runnable);
    ~Thread() override;

    /// Starts the thread. Throws Ex::Precondition "!m_handle" when started
    /// before, Crt::ErrnoException "Crt::_beginthreadex()" when it cannot.
    virtual void Start();
    /// Sets the shut-down signal; does not wait.
    void SignalShutDown();
    /// Signals and waits for the thread to end; nothing when never started.
    /// Throws Ex::Assert when called on the thread itself.
    virtual void ShutDown();

    /// The signal the runnable watches to know when to leave.
    AutoResetEvent& GetShutDownSignal() { return m_shutDownSignal; }
    std::uint32_t GetThreadId() const { return m_threadId.load(); }
    bool IsStarted() const { return m_started.load(); }

private:
    void ThreadProc();
    void SetFinished(bool finished);

    AutoResetEvent m_shutDownSignal;
    Runnable* m_runnable;
    std::atomic<std::uint32_t> m_threadId{0};
    std::atomic<bool> m_started{false};
    std::thread m_thread;
};

/// A small number that identifies the calling thread in logs and checks.
std::uint32_t GetCurrentThreadId();

} // namespace Sync
