#include "MessageRelay.h"

#include "common/Ex/Exceptions.h"

namespace Glm {

void MessageRelay::Post(std::uint32_t id, UI::WPARAM wParam, UI::LPARAM lParam,
                        std::shared_ptr<void> object) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (m_receiver != nullptr) {
        m_receiver->Post(id, wParam, lParam, std::move(object));
    } else {
        m_waiting.push_back(UI::Message{id, wParam, lParam, std::move(object)});
    }
}

UI::LRESULT MessageRelay::Send(std::uint32_t id, UI::WPARAM wParam, UI::LPARAM lParam,
                               std::shared_ptr<void> object) {
    // Waiting for a receiver that may be between two lives would block the
    // sender for an unknown time.
    Post(id, wParam, lParam, std::move(object));
    return 0;
}

void MessageRelay::Attach(UI::MessageTarget* receiver) {
    EX_PRECONDITION(receiver != nullptr);
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_receiver = receiver;
    while (!m_waiting.empty()) {
        UI::Message message = std::move(m_waiting.front());
        m_waiting.pop_front();
        receiver->Post(message.id, message.wParam, message.lParam, std::move(message.object));
    }
}

void MessageRelay::Detach(UI::MessageTarget* receiver) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (m_receiver == receiver) {
        m_receiver = nullptr;
    }
}

bool MessageRelay::HasReceiver() const {
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_receiver != nullptr;
}

std::size_t MessageRelay::GetWaitingCount() const {
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_waiting.size();
}

} // namespace Glm
