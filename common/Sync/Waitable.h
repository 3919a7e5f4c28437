#pragma once
// Objects a thread can wait on. Each holds an eventfd, so one poll() can
// wait on several of them at once, as the timer and the device watcher do.

#include <cstdint>
#include <vector>

namespace Sync {

constexpr std::uint32_t WAIT_OBJECT_0 = 0;
constexpr std::uint32_t WAIT_ABANDONED = 128;
constexpr std::uint32_t WAIT_TIMEOUT = 258;
constexpr int INFINITE = -1;

class Waitable {
public:
    Waitable(const Waitable&) = delete;
    Waitable& operator=(const Waitable&) = delete;
    virtual ~Waitable();

    /// Waits until signalled (WAIT_OBJECT_0) or timeoutMs passed
    /// (WAIT_TIMEOUT); -1 waits without limit. Throws Win32::Win32Exception
    /// "WaitForSingleObject" when the wait itself fails.
    std::uint32_t Wait(int timeoutMs) const;

    /// Waits for any (or, with waitAll, every) object of the list. Returns
    /// WAIT_OBJECT_0 + index of the first signalled one, or WAIT_TIMEOUT.
    /// Throws Win32::Win32Exception "Win32::WaitForSingleObject()".
    static std::uint32_t Wait(const std::vector<const Waitable*>& objects, bool waitAll, int timeoutMs);

    /// The descriptor to poll for readability; -1 when there is none.
    int GetHandle() const { return m_handle; }

protected:
    Waitable() = default;
    void SetHandle(int handle) { m_handle = handle; }
    void CloseHandle();
    /// Consumes the signal after a successful wait; false when another
    /// waiter took it first (auto-reset objects only).
    virtual bool Acquire() const { return true; }

private:
    int m_handle = -1;
};

} // namespace Sync
