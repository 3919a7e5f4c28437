#include "device/DeviceRecord.h"

#include "device/Diagnostics.h"
#include "device/ReportIo.h"
#include "device/ResultCodes.h"

#include <cerrno>
#include <unistd.h>

namespace GlmDev {

DeviceRecord::DeviceRecord(std::uint32_t id, std::uint16_t productId, std::string path,
                           std::shared_ptr<Bus> bus)
    : m_id(id), m_productId(productId), m_path(std::move(path)), m_bus(std::move(bus)) {}

DeviceRecord::~DeviceRecord() {
    if (m_handle >= 0) {
        ::close(m_handle);
    }
}

std::int32_t DeviceRecord::Open() {
    if (m_handle >= 0) {
        return kWrongHandleState;
    }
    const int handle = m_bus->OpenForReports(m_path, GetReportTimeoutMs());
    if (handle < 0) {
        Diagnostic("GlmDev: open failed: %u\n", static_cast<unsigned>(errno));
        Diagnostic("device name: %s\n", m_path.c_str());
        return kIoFailed;
    }
    m_handle = handle;
    return kOk;
}

std::int32_t DeviceRecord::Close() {
    if (m_handle < 0) {
        return kWrongHandleState;
    }
    ::close(m_handle);
    m_handle = -1;
    return kOk;
}

std::int32_t DeviceRecord::WriteReport(const std::uint8_t (&command)[8]) {
    if (m_handle < 0) {
        return kWrongHandleState;
    }
    return WriteCommandReport(*m_bus, m_handle, command, GetReportTimeoutMs());
}

std::int32_t DeviceRecord::ReadReport(std::uint8_t (&reply)[8]) {
    if (m_handle < 0) {
        return kWrongHandleState;
    }
    return ReadReplyReport(*m_bus, m_handle, reply, GetReportTimeoutMs());
}

} // namespace GlmDev
