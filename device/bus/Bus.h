#pragma once
// One way of reaching toys: the kernel's hidraw devices or the simulated
// bus of virtual toys. Discovery and the report protocol sit above this
// interface and do not know which bus a toy is on.

#include <cstdint>
#include <string>
#include <sys/types.h>
#include <vector>

namespace GlmDev {

/// A report as the protocol sees it: report id first, then 8 bytes.
constexpr std::size_t kReportSize = 9;

struct BusChange {
    enum class Kind { Arrived, Removed };
    Kind kind = Kind::Arrived;
    std::string path;
};

class Bus {
public:
    Bus() = default;
    Bus(const Bus&) = delete;
    Bus& operator=(const Bus&) = delete;
    virtual ~Bus() = default;

    /// A short name for diagnostics ("hidraw", "simulated").
    virtual const char* GetName() const = 0;

    /// Starts noticing arrivals and removals. False, with a diagnostic line,
    /// when this bus cannot be watched on this system.
    virtual bool StartMonitor() = 0;
    /// The descriptor that becomes readable when ReadChanges has something;
    /// -1 before StartMonitor succeeded.
    virtual int GetMonitorHandle() const = 0;
    /// Takes what the monitor has noticed. Call when the handle is readable.
    virtual std::vector<BusChange> ReadChanges() = 0;

    /// The paths of the devices present now, in a stable order.
    virtual std::vector<std::string> EnumeratePaths() = 0;

    /// Vendor and product of the device at path, without opening it for
    /// reports. False, with diagnostic lines naming the path, when they
    /// cannot be had (gone, not a device of this bus, nobody answering).
    virtual bool QueryIds(const std::string& path, std::uint16_t& vendorId, std::uint16_t& productId) = 0;

    /// Opens path for report I/O, non-blocking. Returns the descriptor, or
    /// -1 with errno set. timeoutMs bounds how long opening may block.
    virtual int OpenForReports(const std::string& path, int timeoutMs) = 0;

    /// Sends one 9-byte output report (report id first). Returns the byte
    /// count as write(2) does, or -1 with errno set.
    virtual ssize_t WriteOutputReport(int handle, const std::uint8_t (&report)[kReportSize]) = 0;

    /// Reads one input report and presents it as the protocol expects:
    /// report id first. Returns the presented byte count, or -1 with errno.
    virtual ssize_t ReadInputReport(int handle, std::uint8_t (&report)[kReportSize]) = 0;
};

} // namespace GlmDev
