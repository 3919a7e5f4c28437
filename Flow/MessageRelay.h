#pragma once
// A message target that outlives the windows it serves: toy discovery runs
// for the whole process while the frame that receives its messages is
// rebuilt by every restart of the interface. Messages posted while no
// receiver is attached wait, in order, for the next one.

#include "common/UI/MessageTarget.h"

#include <deque>
#include <mutex>

namespace Glm {

class MessageRelay : public UI::MessageTarget {
public:
    /// Passes the message on to the receiver's Post, or keeps it until a
    /// receiver is attached. Any thread.
    void Post(std::uint32_t id, UI::WPARAM wParam = 0, UI::LPARAM lParam = 0,
              std::shared_ptr<void> object = {}) override;
    /// Delivered like Post (the sender does not wait); returns 0.
    UI::LRESULT Send(std::uint32_t id, UI::WPARAM wParam = 0, UI::LPARAM lParam = 0,
                     std::shared_ptr<void> object = {}) override;

    /// Makes receiver (not null) the target and posts it what waited.
    void Attach(UI::MessageTarget* receiver);
    /// Stops passing messages to receiver if it is the one attached; once
    /// this returns, the relay no longer touches it.
    void Detach(UI::MessageTarget* receiver);
    bool HasReceiver() const;
    /// Messages waiting for a receiver.
    std::size_t GetWaitingCount() const;

private:
    mutable std::mutex m_mutex;
    UI::MessageTarget* m_receiver = nullptr;
    std::deque<UI::Message> m_waiting;
};

} // namespace Glm
