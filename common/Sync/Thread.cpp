#include "Thread.h"

#include "common/Ex/Exceptions.h"
#include "common/Ex/MessageBoxLogger.h"
#include "common/Win32/Win32Exception.h"

#include <atomic>
#include <cerrno>
#include <sys/eventfd.h>
#include <system_error>
#include <unistd.h>

namespace Sync {

std::uint32_t GetCurrentThreadId() {
    static std::atomic<std::uint32_t> next{1};
    thread_local const std::uint32_t id = next++;
    return id;
}

Thread::Thread(Runnable* runnable) : m_runnable(runnable) {
    // The thread's own handle is a manual-reset signal set when Run returns,
    // so the thread can be waited on beside events.
    const int handle = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (handle < 0) {
        throw Win32::Win32Exception::FromErrno("Win32::CreateEvent()");
    }
    SetHandle(handle);
}

void Thread::SetFinished(bool finished) {
    std::uint64_t value = 1;
    if (finished) {
        (void)!::write(GetHandle(), &value, sizeof value);
    } else {
        while (::read(GetHandle(), &value, sizeof value) > 0) {
        }
    }
}

Thread::~Thread() {
    if (m_thread.joinable()) {
        try {
            if (Wait(0) == WAIT_TIMEOUT) {
                throw Ex::Assert("Wait( 0 ) != WAIT_TIMEOUT", EX_FRAME);
            }
            ShutDown();
        } catch (const Ex::Exception& failed) {
            Ex::FatalError("Sync::Thread::~Thread", failed, true);
        }
    }
}

void Thread::Start() {
    if (m_started.exchange(true)) {
        throw Ex::Precondition("!m_handle", EX_FRAME);
    }
    SetFinished(false);
    try {
        m_thread = std::thread([this] { ThreadProc(); });
    } catch (const std::system_error& failed) {
        m_started = false;
        throw Crt::ErrnoException("Crt::_beginthreadex()", failed.code().value());
    }
}

void Thread::ThreadProc() {
    m_threadId = GetCurrentThreadId();
    try {
        if (m_runnable == nullptr) {
            throw Ex::Assert("_lpParameter != 0", EX_FRAME);
        }
        m_runnable->Run();
    } catch (const Ex::Exception& failed) {
        Ex::FatalError("Sync::Thread::ThreadProc", failed, true);
    } catch (const std::exception& failed) {
        Ex::FatalError("Sync::Thread::ThreadProc", Ex::StlException(failed), true);
    }
    SetFinished(true);
}

void Thread::SignalShutDown() {
    m_shutDownSignal.Set();
}

void Thread::ShutDown() {
    if (!m_started) {
        return;
    }
    SignalShutDown();
    // The thread's own id, not m_thread: the thread may get here before
    // Start has finished storing m_thread.
    if (m_threadId.load() == GetCurrentThreadId()) {
        throw Ex::Assert("m_threadId != Win32::GetCurrentThreadId()", EX_FRAME);
    }
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

} // namespace Sync
