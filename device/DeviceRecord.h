#pragma once
// One plugged toy in the device list: its identifier, product, path and the
// bus it is on. The list and every command using it share ownership, so a
// record lives on while a command uses it after the toy was unplugged.

#include "device/bus/Bus.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

namespace GlmDev {

class DeviceRecord {
public:
    /// A record with its handle closed.
    DeviceRecord(std::uint32_t id, std::uint16_t productId, std::string path, std::shared_ptr<Bus> bus);
    DeviceRecord(const DeviceRecord&) = delete;
    DeviceRecord& operator=(const DeviceRecord&) = delete;
    /// Closes the handle when it is still open.
    ~DeviceRecord();

    std::uint32_t GetId() const { return m_id; }
    std::uint16_t GetProductId() const { return m_productId; }
    const std::string& GetPath() const { return m_path; }

    /// Opens the path for reports. 0; -4 when already open; -2 with the
    /// lines "GlmDev: open failed: N" and "device name: PATH" when it fails.
    std::int32_t Open();
    /// Closes the handle. 0; -4 when not open.
    std::int32_t Close();
    /// Sends report id 0 and the 8-byte command. 0, -2, -4 (closed) or -5.
    std::int32_t WriteReport(const std::uint8_t (&command)[8]);
    /// Reads one reply into its 8 bytes. 0, -2, -4 (closed) or -5.
    std::int32_t ReadReport(std::uint8_t (&reply)[8]);

    /// Held by a library operation from Open to Close, so that two threads
    /// talking to the same toy never pair one's request with the other's
    /// reply.
    std::mutex& GetOperationMutex() { return m_operationMutex; }

private:
    const std::uint32_t m_id;
    const std::uint16_t m_productId;
    const std::string m_path;
    const std::shared_ptr<Bus> m_bus;
    std::mutex m_operationMutex;
    int m_handle = -1;
};

} // namespace GlmDev
