#pragma once
// The receiving end of a window message. Workers (web client, patcher, toy
// discovery, timers) hold a target, never a widget, so they can be tested
// with a recording target and run on any thread.

#include <cstdint>
#include <memory>

namespace UI {

using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

struct Message {
    std::uint32_t id = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    /// An object handed over with the message (a new toy, say); the receiver
    /// takes what it needs. Freed with the message when nobody takes it, so
    /// a message that is never delivered leaks nothing.
    std::shared_ptr<void> object;
};

class MessageTarget {
public:
    virtual ~MessageTarget() = default;
    /// Delivers the message and returns the handler's result. From the
    /// target's own thread the handler runs at once; from another thread the
    /// caller blocks until the target's thread has handled it.
    virtual LRESULT Send(std::uint32_t id, WPARAM wParam = 0, LPARAM lParam = 0,
                         std::shared_ptr<void> object = {}) = 0;
    /// Queues the message for the target's thread and returns at once.
    virtual void Post(std::uint32_t id, WPARAM wParam = 0, LPARAM lParam = 0,
                      std::shared_ptr<void> object = {}) = 0;
};

} // namespace UI
