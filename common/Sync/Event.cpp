#include "Event.h"

#include "common/Ex/MessageBoxLogger.h"
#include "common/Win32/Win32Exception.h"

#include <cerrno>
#include <cstdint>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace Sync {

Event::Event(bool manualReset, bool initialState) : m_manualReset(manualReset) {
    const int handle = ::eventfd(initialState ? 1 : 0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (handle < 0) {
        throw Win32::Win32Exception::FromErrno("Win32::CreateEvent()");
    }
    SetHandle(handle);
}

Event::~Event() {
    try {
        DeleteEvent();
    } catch (const Ex::Exception& failed) {
        Ex::FatalError("Sync::Event::~Event", failed, true);
    }
}

void Event::Set() {
    EX_PRECONDITION(GetHandle() >= 0);
    const std::uint64_t one = 1;
    // The counter only needs to be non-zero; an overflowing counter (EAGAIN)
    // is already set.
    if (::write(GetHandle(), &one, sizeof one) < 0 && errno != EAGAIN) {
        throw Win32::Win32Exception::FromErrno("Win32::SetEvent()");
    }
}

void Event::Reset() {
    std::uint64_t value = 0;
    while (::read(GetHandle(), &value, sizeof value) > 0) {
    }
}

void Event::DeleteEvent() {
    if (GetHandle() >= 0) {
        const int handle = GetHandle();
        SetHandle(-1);
        if (::close(handle) != 0) {
            throw Win32::Win32Exception::FromErrno("Win32::CloseHandle()");
        }
    }
}

bool Event::IsSet() const {
    pollfd fd{GetHandle(), POLLIN, 0};
    return ::poll(&fd, 1, 0) == 1;
}

bool Event::Acquire() const {
    if (m_manualReset) {
        return true;
    }
    std::uint64_t value = 0;
    // Reading resets the counter: exactly one waiter wins it.
    return ::read(GetHandle(), &value, sizeof value) == static_cast<ssize_t>(sizeof value);
}

AutoResetEvent::AutoResetEvent(const std::string& /*name*/) : Event(false, false) {}

} // namespace Sync
