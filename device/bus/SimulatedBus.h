#pragma once
// The simulated bus: virtual toys listening on Unix sockets in one directory
// (see SimulatedBusNames.h), noticed through inotify.

#include "device/bus/Bus.h"

#include <string>

namespace GlmDev {

class SimulatedBus : public Bus {
public:
    /// A bus over directory; SimulatedBusDirectory() when empty.
    explicit SimulatedBus(std::string directory = {});
    ~SimulatedBus() override;

    const char* GetName() const override { return "simulated"; }
    const std::string& GetDirectory() const { return m_directory; }

    /// Creates the directory when missing and watches it.
    bool StartMonitor() override;
    int GetMonitorHandle() const override { return m_inotify; }
    std::vector<BusChange> ReadChanges() override;
    /// The files of the directory in the order they appeared (change time,
    /// then name); hidden (in-progress) names are left out.
    std::vector<std::string> EnumeratePaths() override;
    /// Ids from the file name, once the file is a socket somebody listens
    /// on. A foreign or stale file gets diagnostic lines and false.
    bool QueryIds(const std::string& path, std::uint16_t& vendorId, std::uint16_t& productId) override;
    int OpenForReports(const std::string& path, int timeoutMs) override;
    ssize_t WriteOutputReport(int handle, const std::uint8_t (&report)[kReportSize]) override;
    ssize_t ReadInputReport(int handle, std::uint8_t (&report)[kReportSize]) override;

private:
    std::string m_directory;
    int m_inotify = -1;
};

/// Connects a SOCK_SEQPACKET socket to path, waiting at most timeoutMs for
/// the listener; the socket is non-blocking afterwards. -1 with errno.
int ConnectToySocket(const std::string& path, int timeoutMs);

} // namespace GlmDev
