#pragma once
// A message target that records what it receives, for tests of workers.

#include "MessageTarget.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <vector>

namespace UI {

class RecordingMessageTarget : public MessageTarget {
public:
    LRESULT Send(std::uint32_t id, WPARAM wParam = 0, LPARAM lParam = 0,
                 std::shared_ptr<void> object = {}) override {
        Record(Message{id, wParam, lParam, std::move(object)});
        return m_sendResult;
    }
    void Post(std::uint32_t id, WPARAM wParam = 0, LPARAM lParam = 0,
              std::shared_ptr<void> object = {}) override {
        Record(Message{id, wParam, lParam, std::move(object)});
    }

    /// What Send returns to its callers.
    void SetSendResult(LRESULT result) { m_sendResult = result; }

    std::vector<Message> Messages() const {
        std::lock_guard lock(m_mutex);
        return m_messages;
    }

    /// Waits until at least count messages arrived; false at the deadline.
    bool WaitForCount(std::size_t count, std::chrono::milliseconds timeout) const {
        std::unique_lock lock(m_mutex);
        return m_arrived.wait_for(lock, timeout, [&] { return m_messages.size() >= count; });
    }

    /// Waits for the first message with this id; empty at the deadline.
    std::optional<Message> WaitFor(std::uint32_t id, std::chrono::milliseconds timeout) const {
        std::unique_lock lock(m_mutex);
        std::optional<Message> found;
        m_arrived.wait_for(lock, timeout, [&] {
            for (const Message& message : m_messages) {
                if (message.id == id) {
                    found = message;
                    return true;
                }
            }
            return false;
        });
        return found;
    }

    void Clear() {
        std::lock_guard lock(m_mutex);
        m_messages.clear();
    }

private:
    void Record(Message message) {
        {
            std::lock_guard lock(m_mutex);
            m_messages.push_back(std::move(message));
        }
        m_arrived.notify_all();
    }

    mutable std::mutex m_mutex;
    mutable std::condition_variable m_arrived;
    std::vector<Message> m_messages;
    LRESULT m_sendResult = 0;
};

} // namespace UI
