#pragma once
// Owns one transport handle (session, connection or request) and guards it,
// so that a close from one thread and a test from another do not interleave.

#include "common/Sync/CriticalSection.h"
#include "common/Web/InternetObject.h"

#include <atomic>
#include <memory>

namespace Web {

class HInternet {
public:
    /// throwOnCloseFailure decides whether Close reports a failure to close.
    explicit HInternet(std::shared_ptr<InternetObject> handle = nullptr, bool throwOnCloseFailure = false);
    /// Close; a failure is logged and not passed on.
    ~HInternet();
    HInternet(const HInternet&) = delete;
    HInternet& operator=(const HInternet&) = delete;

    /// Closes the handle held (see Close) and takes the new one.
    HInternet& operator=(std::shared_ptr<InternetObject> handle);

    /// The object held (empty when closed).
    std::shared_ptr<InternetObject> Get();
    /// The object held, as the type the owner knows it to be.
    template <class T>
    std::shared_ptr<T> GetAs() {
        return std::static_pointer_cast<T>(Get());
    }

    bool IsValid();
    bool IsShutDown() const { return m_shutDown.load(); }

    /// Lets the held object go. When the object reports a failure and this
    /// handle was made with throwOnCloseFailure, throws Web::WinInetException
    /// for "InternetCloseHandle()"; the handle is empty afterwards in any case.
    void Close();

    /// Sets the shut-down flag and closes the handle: any request blocked on
    /// it, now or later, fails with Web::HttpShutDownException. Safe to call
    /// from another thread than the one using the handle.
    void ShutDown();

private:
    std::atomic<bool> m_shutDown{false};
    std::shared_ptr<InternetObject> m_handle;
    Sync::CriticalSection m_lock;
    bool m_throwOnCloseFailure;
};

} // namespace Web
