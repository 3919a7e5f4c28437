#pragma once
// The kernel's hidraw devices, found and watched through libudev. Vendor and
// product come from the parent HID device; reports go through /dev/hidrawN.

#include "device/bus/Bus.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

struct udev;
struct udev_monitor;

namespace GlmDev {

struct HidIds {
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
};

/// Parses the HID_ID property of a HID device, "BBBB:VVVVVVVV:PPPPPPPP" in
/// hex (bus, vendor, product); empty when malformed or out of range.
std::optional<HidIds> ParseHidIdProperty(const char* value);

/// Presents what a read from hidraw gave as a report with its id first.
/// hidraw leaves the id out of unnumbered reports (8 bytes here), so a read
/// of up to 8 bytes gets id 0 put in front; a 9-byte read already carries
/// its id. Returns the presented count (read count + 1, or the count when
/// nothing was added); report receives at most kReportSize bytes.
ssize_t PresentHidrawInput(const std::uint8_t* data, ssize_t count, std::uint8_t (&report)[kReportSize]);

class HidrawBus : public Bus {
public:
    HidrawBus();
    ~HidrawBus() override;

    const char* GetName() const override { return "hidraw"; }
    bool StartMonitor() override;
    int GetMonitorHandle() const override;
    std::vector<BusChange> ReadChanges() override;
    std::vector<std::string> EnumeratePaths() override;
    bool QueryIds(const std::string& path, std::uint16_t& vendorId, std::uint16_t& productId) override;
    int OpenForReports(const std::string& path, int timeoutMs) override;
    ssize_t WriteOutputReport(int handle, const std::uint8_t (&report)[kReportSize]) override;
    ssize_t ReadInputReport(int handle, std::uint8_t (&report)[kReportSize]) override;

private:
    struct UdevDeleter {
        void operator()(udev* context) const;
    };
    struct MonitorDeleter {
        void operator()(udev_monitor* monitor) const;
    };
    std::unique_ptr<udev, UdevDeleter> m_udev;
    std::unique_ptr<udev_monitor, MonitorDeleter> m_monitor;
};

} // namespace GlmDev
