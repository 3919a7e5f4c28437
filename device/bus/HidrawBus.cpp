#include "device/bus/HidrawBus.h"

#include "device/Diagnostics.h"

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <libudev.h>
#include <sys/stat.h>
#include <unistd.h>

namespace GlmDev {

namespace {

struct DeviceDeleter {
    void operator()(udev_device* device) const { udev_device_unref(device); }
};
using DevicePtr = std::unique_ptr<udev_device, DeviceDeleter>;

struct EnumerateDeleter {
    void operator()(udev_enumerate* enumerate) const { udev_enumerate_unref(enumerate); }
};

// Reads may be longer than our 9 bytes (a device with bigger reports); the
// buffer takes any HID report so the length check sees the real count.
constexpr std::size_t kLargestHidReport = 4096;

} // namespace

std::optional<HidIds> ParseHidIdProperty(const char* value) {
    if (value == nullptr) {
        return std::nullopt;
    }
    unsigned bus = 0;
    unsigned long vendor = 0;
    unsigned long product = 0;
    int consumed = 0;
    if (std::sscanf(value, "%x:%lx:%lx%n", &bus, &vendor, &product, &consumed) != 3 ||
        value[consumed] != '\0' || vendor > 0xFFFF || product > 0xFFFF) {
        return std::nullopt;
    }
    return HidIds{static_cast<std::uint16_t>(vendor), static_cast<std::uint16_t>(product)};
}

ssize_t PresentHidrawInput(const std::uint8_t* data, ssize_t count, std::uint8_t (&report)[kReportSize]) {
    if (count < 0) {
        return count;
    }
    if (count < static_cast<ssize_t>(kReportSize)) {
        report[0] = 0;
        std::memcpy(report + 1, data, static_cast<std::size_t>(count));
        return count + 1;
    }
    std::memcpy(report, data, kReportSize);
    return count;
}

void HidrawBus::UdevDeleter::operator()(udev* context) const {
    udev_unref(context);
}

void HidrawBus::MonitorDeleter::operator()(udev_monitor* monitor) const {
    udev_monitor_unref(monitor);
}

HidrawBus::HidrawBus() : m_udev(udev_new()) {}

HidrawBus::~HidrawBus() = default;

bool HidrawBus::StartMonitor() {
    if (!m_udev) {
        Diagnostic("hidraw bus: udev_new failed: %u\n", static_cast<unsigned>(errno));
        return false;
    }
    // "udev" events come after the rules ran, so the node exists and carries
    // the permissions our rule gave it.
    std::unique_ptr<udev_monitor, MonitorDeleter> monitor(
        udev_monitor_new_from_netlink(m_udev.get(), "udev"));
    if (!monitor) {
        Diagnostic("hidraw bus: udev monitor unavailable: %u\n", static_cast<unsigned>(errno));
        return false;
    }
    if (udev_monitor_filter_add_match_subsystem_devtype(monitor.get(), "hidraw", nullptr) < 0 ||
        udev_monitor_enable_receiving(monitor.get()) < 0) {
        Diagnostic("hidraw bus: cannot receive udev events: %u\n", static_cast<unsigned>(errno));
        return false;
    }
    const int handle = udev_monitor_get_fd(monitor.get());
    ::fcntl(handle, F_SETFL, ::fcntl(handle, F_GETFL) | O_NONBLOCK);
    m_monitor = std::move(monitor);
    return true;
}

int HidrawBus::GetMonitorHandle() const {
    return m_monitor ? udev_monitor_get_fd(m_monitor.get()) : -1;
}

std::vector<BusChange> HidrawBus::ReadChanges() {
    std::vector<BusChange> changes;
    while (m_monitor) {
        DevicePtr device(udev_monitor_receive_device(m_monitor.get()));
        if (!device) {
            break;
        }
        const char* action = udev_device_get_action(device.get());
        const char* node = udev_device_get_devnode(device.get());
        if (action == nullptr || node == nullptr) {
            continue;
        }
        if (std::strcmp(action, "add") == 0) {
            changes.push_back(BusChange{BusChange::Kind::Arrived, node});
        } else if (std::strcmp(action, "remove") == 0) {
            changes.push_back(BusChange{BusChange::Kind::Removed, node});
        }
    }
    return changes;
}

std::vector<std::string> HidrawBus::EnumeratePaths() {
    std::vector<std::string> paths;
    if (!m_udev) {
        return paths;
    }
    std::unique_ptr<udev_enumerate, EnumerateDeleter> enumerate(udev_enumerate_new(m_udev.get()));
    if (!enumerate || udev_enumerate_add_match_subsystem(enumerate.get(), "hidraw") < 0 ||
        udev_enumerate_scan_devices(enumerate.get()) < 0) {
        Diagnostic("hidraw bus: enumeration failed: %u\n", static_cast<unsigned>(errno));
        return paths;
    }
    udev_list_entry* entry = nullptr;
    unsigned index = 0;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate.get())) {
        DevicePtr device(udev_device_new_from_syspath(m_udev.get(), udev_list_entry_get_name(entry)));
        const char* node = device ? udev_device_get_devnode(device.get()) : nullptr;
        if (node == nullptr) {
            Diagnostic("idx %u: no device node: %u\n", index, static_cast<unsigned>(errno));
        } else {
            paths.emplace_back(node);
        }
        ++index;
    }
    return paths;
}

bool HidrawBus::QueryIds(const std::string& path, std::uint16_t& vendorId, std::uint16_t& productId) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISCHR(info.st_mode) || !m_udev) {
        Diagnostic("CheckDeviceSupported: failed to open device: %u\n", static_cast<unsigned>(errno));
        Diagnostic("device name: %s\n", path.c_str());
        return false;
    }
    DevicePtr device(udev_device_new_from_devnum(m_udev.get(), 'c', info.st_rdev));
    // The parent is owned by its child; no unref.
    udev_device* hid =
        device ? udev_device_get_parent_with_subsystem_devtype(device.get(), "hid", nullptr) : nullptr;
    const std::optional<HidIds> ids =
        hid != nullptr ? ParseHidIdProperty(udev_device_get_property_value(hid, "HID_ID")) : std::nullopt;
    if (!ids) {
        Diagnostic("HidD_GetAttributes failed: %u\n", static_cast<unsigned>(errno));
        return false;
    }
    vendorId = ids->vendorId;
    productId = ids->productId;
    return true;
}

int HidrawBus::OpenForReports(const std::string& path, int /*timeoutMs*/) {
    return ::open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
}

ssize_t HidrawBus::WriteOutputReport(int handle, const std::uint8_t (&report)[kReportSize]) {
    // hidraw takes the report id as the first byte, 0 for unnumbered.
    return ::write(handle, report, sizeof report);
}

ssize_t HidrawBus::ReadInputReport(int handle, std::uint8_t (&report)[kReportSize]) {
    std::uint8_t data[kLargestHidReport];
    const ssize_t count = ::read(handle, data, sizeof data);
    return PresentHidrawInput(data, count, report);
}

} // namespace GlmDev
