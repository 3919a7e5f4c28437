#include "ToyList.h"

#include "device/SupportedToys.h"

#include <algorithm>

namespace Glm {

ToyList::ToyList() : ToyList([](Toy& toy) { return toy.ReadMemory(); }) {}

ToyList::ToyList(Reader reader) : m_reader(std::move(reader)) {}

ToyList::Change ToyList::Apply(std::uint32_t eventCode, const Toy* toy, std::int32_t* readResult) {
    if (toy == nullptr) {
        return Change::Ignored;
    }
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (eventCode == 1) {
        if (toy->GetType() == 0) {
            return Change::Ignored;
        }
        const bool listed = std::any_of(m_toys.begin(), m_toys.end(), [toy](const Toy& listedToy) {
            return listedToy.GetDeviceId() == toy->GetDeviceId();
        });
        if (listed) {
            return Change::Ignored;
        }
        Toy copy(*toy);
        const std::int32_t result = m_reader(copy);
        if (readResult != nullptr) {
            *readResult = result;
        }
        if (result != 0) {
            return Change::Unreadable;
        }
        m_toys.push_back(copy);
        return Change::Added;
    }
    if (eventCode == 2) {
        const auto found = std::find_if(m_toys.begin(), m_toys.end(),
                                        [toy](const Toy& listedToy) { return listedToy.IsSameToy(*toy); });
        if (found == m_toys.end()) {
            return Change::Ignored;
        }
        m_toys.erase(found);
        return Change::Removed;
    }
    return Change::Ignored;
}

std::optional<Toy> ToyList::Find(std::uint32_t deviceId) const {
    const std::lock_guard<std::mutex> lock(m_mutex);
    for (const Toy& toy : m_toys) {
        if (toy.GetDeviceId() == deviceId) {
            return toy;
        }
    }
    return std::nullopt;
}

std::vector<Toy> ToyList::List() const {
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_toys;
}

std::size_t ToyList::GetCount() const {
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_toys.size();
}

bool ToyList::Update(std::uint32_t deviceId, const std::function<void(Toy&)>& change) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    for (Toy& toy : m_toys) {
        if (toy.GetDeviceId() == deviceId) {
            change(toy);
            return true;
        }
    }
    return false;
}

std::string ToyList::KindText(std::uint32_t productId) {
    const char* word = GlmDev::KindWord(productId);
    return word != nullptr ? word : "toy";
}

} // namespace Glm
