#pragma once
// The supported toys present, in order of arrival, each with an identifier
// handed out from a counter that starts at 0. One mutex guards the list,
// the count and the counter; it is never held while the callback runs.

#include "device/DeviceEvent.h"
#include "device/DeviceRecord.h"

#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace GlmDev {

/// A copy of one listed record, for listing without sharing the records.
struct DeviceSummary {
    std::uint32_t id = 0;
    std::uint16_t productId = 0;
    std::string path;
};

class DeviceList {
public:
    DeviceList() = default;
    DeviceList(const DeviceList&) = delete;
    DeviceList& operator=(const DeviceList&) = delete;
    /// Clears the list.
    ~DeviceList();

    /// The callback Add and Remove call after unlocking; null for none.
    void SetCallback(DeviceCallback callback, void* context);

    /// Lists a toy under the next identifier and reports its arrival. A path
    /// that is listed already is neither listed nor reported again. Returns
    /// true when the toy was added.
    bool Add(const std::string& path, std::uint16_t productId, std::shared_ptr<Bus> bus);
    /// Unlists the first record with this path, reports its removal and
    /// drops the list's share of it. A path that is not listed changes nothing
    /// and reports nothing. Returns true when a record was removed.
    bool Remove(const std::string& path);
    /// The record with this identifier, shared with the caller; null when
    /// none is listed.
    std::shared_ptr<DeviceRecord> Find(std::uint32_t id);
    /// Unlists every record and starts the identifiers at 0 again. A record
    /// a command still holds lives on until that command lets it go.
    void Clear();

    std::uint32_t GetCount() const;
    std::vector<DeviceSummary> List() const;

private:
    mutable std::mutex m_mutex;
    std::list<std::shared_ptr<DeviceRecord>> m_records;
    std::uint32_t m_count = 0;
    std::uint32_t m_nextId = 0;
    DeviceCallback m_callback = nullptr;
    void* m_context = nullptr;
};

} // namespace GlmDev
