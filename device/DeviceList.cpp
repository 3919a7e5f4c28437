#include "device/DeviceList.h"

namespace GlmDev {

DeviceList::~DeviceList() {
    Clear();
}

void DeviceList::SetCallback(DeviceCallback callback, void* context) {
    std::lock_guard lock(m_mutex);
    m_callback = callback;
    m_context = context;
}

bool DeviceList::Add(const std::string& path, std::uint16_t productId, std::shared_ptr<Bus> bus) {
    DeviceEvent event;
    DeviceCallback callback = nullptr;
    void* context = nullptr;
    {
        std::lock_guard lock(m_mutex);
        for (const auto& record : m_records) {
            if (record->GetPath() == path) {
                return false;
            }
        }
        m_records.push_back(std::make_shared<DeviceRecord>(m_nextId, productId, path, std::move(bus)));
        ++m_nextId;
        ++m_count;
        event.productId = productId;
        event.deviceId = m_records.back()->GetId();
        callback = m_callback;
        context = m_context;
    }
    if (callback != nullptr) {
        callback(context, DeviceArrived, &event);
    }
    return true;
}

bool DeviceList::Remove(const std::string& path) {
    std::shared_ptr<DeviceRecord> removed;
    DeviceCallback callback = nullptr;
    void* context = nullptr;
    {
        std::lock_guard lock(m_mutex);
        for (auto it = m_records.begin(); it != m_records.end(); ++it) {
            if ((*it)->GetPath() == path) {
                removed = *it;
                m_records.erase(it);
                --m_count;
                break;
            }
        }
        if (removed == nullptr) {
            return false;
        }
        callback = m_callback;
        context = m_context;
    }
    if (callback != nullptr) {
        const DeviceEvent event{removed->GetProductId(), removed->GetId()};
        callback(context, DeviceRemoved, &event);
    }
    return true;
}

std::shared_ptr<DeviceRecord> DeviceList::Find(std::uint32_t id) {
    std::lock_guard lock(m_mutex);
    for (const auto& record : m_records) {
        if (record->GetId() == id) {
            return record;
        }
    }
    return nullptr;
}

void DeviceList::Clear() {
    // The records go after the lock is let go: closing a last handle must
    // not hold up lookups.
    std::list<std::shared_ptr<DeviceRecord>> records;
    {
        std::lock_guard lock(m_mutex);
        m_nextId = 0;
        records.swap(m_records);
        m_count = 0;
    }
}

std::uint32_t DeviceList::GetCount() const {
    std::lock_guard lock(m_mutex);
    return m_count;
}

std::vector<DeviceSummary> DeviceList::List() const {
    std::lock_guard lock(m_mutex);
    std::vector<DeviceSummary> summaries;
    for (const auto& record : m_records) {
        summaries.push_back(DeviceSummary{record->GetId(), record->GetProductId(), record->GetPath()});
    }
    return summaries;
}

} // namespace GlmDev
