#include "device/bus/SimulatedBus.h"

#include "device/Diagnostics.h"
#include "device/bus/SimulatedBusNames.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace GlmDev {

namespace {

std::string FileNameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool IsHidden(const std::string& fileName) {
    return !fileName.empty() && fileName[0] == '.';
}

} // namespace

int ConnectToySocket(const std::string& path, int timeoutMs) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) {
        errno = ENAMETOOLONG;
        return -1;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int handle = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    if (handle < 0) {
        return -1;
    }
    // A Unix-socket connect waits for room in the listener's backlog for as
    // long as the send timeout allows, so this bounds a toy that stopped
    // accepting.
    timeval limit{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    ::setsockopt(handle, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
    int result = 0;
    do {
        result = ::connect(handle, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        const int error = errno == EAGAIN || errno == EINPROGRESS ? ETIMEDOUT : errno;
        ::close(handle);
        errno = error;
        return -1;
    }
    timeval none{0, 0};
    ::setsockopt(handle, SOL_SOCKET, SO_SNDTIMEO, &none, sizeof none);
    ::fcntl(handle, F_SETFL, ::fcntl(handle, F_GETFL) | O_NONBLOCK);
    return handle;
}

SimulatedBus::SimulatedBus(std::string directory)
    : m_directory(directory.empty() ? SimulatedBusDirectory() : std::move(directory)) {}

SimulatedBus::~SimulatedBus() {
    if (m_inotify >= 0) {
        ::close(m_inotify);
    }
}

bool SimulatedBus::StartMonitor() {
    if (!EnsureDirectory(m_directory)) {
        Diagnostic("simulated bus: cannot create %s: %u\n", m_directory.c_str(),
                   static_cast<unsigned>(errno));
        return false;
    }
    const int handle = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (handle < 0) {
        Diagnostic("simulated bus: inotify_init1 failed: %u\n", static_cast<unsigned>(errno));
        return false;
    }
    if (::inotify_add_watch(handle, m_directory.c_str(),
                            IN_CREATE | IN_MOVED_TO | IN_DELETE | IN_MOVED_FROM) < 0) {
        Diagnostic("simulated bus: cannot watch %s: %u\n", m_directory.c_str(), static_cast<unsigned>(errno));
        ::close(handle);
        return false;
    }
    m_inotify = handle;
    return true;
}

std::vector<BusChange> SimulatedBus::ReadChanges() {
    std::vector<BusChange> changes;
    alignas(inotify_event) char buffer[8192];
    for (;;) {
        const ssize_t count = ::read(m_inotify, buffer, sizeof buffer);
        if (count <= 0) {
            break; // EAGAIN: everything taken
        }
        for (ssize_t at = 0; at < count;) {
            inotify_event event;
            std::memcpy(&event, buffer + at, sizeof event);
            const std::string fileName =
                event.len > 0 ? std::string(buffer + at + sizeof event) : std::string();
            at += static_cast<ssize_t>(sizeof event + event.len);
            if (fileName.empty() || IsHidden(fileName)) {
                continue;
            }
            BusChange change;
            change.kind = (event.mask & (IN_DELETE | IN_MOVED_FROM)) != 0 ? BusChange::Kind::Removed
                                                                          : BusChange::Kind::Arrived;
            change.path = m_directory + "/" + fileName;
            changes.push_back(std::move(change));
        }
    }
    return changes;
}

std::vector<std::string> SimulatedBus::EnumeratePaths() {
    struct Entry {
        timespec changed;
        std::string fileName;
    };
    std::vector<Entry> entries;
    DIR* directory = ::opendir(m_directory.c_str());
    if (directory == nullptr) {
        Diagnostic("simulated bus: cannot read %s: %u\n", m_directory.c_str(), static_cast<unsigned>(errno));
        return {};
    }
    while (const dirent* entry = ::readdir(directory)) {
        const std::string fileName = entry->d_name;
        struct stat info {};
        if (!IsHidden(fileName) && ::lstat((m_directory + "/" + fileName).c_str(), &info) == 0) {
            entries.push_back(Entry{info.st_ctim, fileName});
        }
    }
    ::closedir(directory);
    // In the order the toys appeared (a toy's rename into place sets the
    // change time), as a real bus lists devices in the order they came.
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        if (a.changed.tv_sec != b.changed.tv_sec) {
            return a.changed.tv_sec < b.changed.tv_sec;
        }
        if (a.changed.tv_nsec != b.changed.tv_nsec) {
            return a.changed.tv_nsec < b.changed.tv_nsec;
        }
        return a.fileName < b.fileName;
    });
    std::vector<std::string> paths;
    for (const Entry& entry : entries) {
        paths.push_back(m_directory + "/" + entry.fileName);
    }
    return paths;
}

bool SimulatedBus::QueryIds(const std::string& path, std::uint16_t& vendorId, std::uint16_t& productId) {
    const std::optional<SimulatedToyName> parsed = ParseToySocketName(FileNameOf(path));
    if (!parsed) {
        Diagnostic("simulated bus: ignoring %s: not a toy socket name\n", path.c_str());
        return false;
    }
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISSOCK(info.st_mode)) {
        Diagnostic("simulated bus: ignoring %s: not a socket\n", path.c_str());
        return false;
    }
    // A socket file nobody listens on is left over from a toy that did not
    // clean up; listing it would only make every command fail.
    const int probe = ConnectToySocket(path, 1000);
    if (probe < 0) {
        Diagnostic("CheckDeviceSupported: failed to open device: %u\n", static_cast<unsigned>(errno));
        Diagnostic("device name: %s\n", path.c_str());
        return false;
    }
    ::close(probe);
    vendorId = parsed->vendorId;
    productId = parsed->productId;
    return true;
}

int SimulatedBus::OpenForReports(const std::string& path, int timeoutMs) {
    return ConnectToySocket(path, timeoutMs);
}

ssize_t SimulatedBus::WriteOutputReport(int handle, const std::uint8_t (&report)[kReportSize]) {
    // MSG_NOSIGNAL: a toy that went away must fail the write, not kill us.
    return ::send(handle, report, sizeof report, MSG_NOSIGNAL);
}

ssize_t SimulatedBus::ReadInputReport(int handle, std::uint8_t (&report)[kReportSize]) {
    // One message is one report. A longer message is truncated by the
    // kernel; MSG_TRUNC makes recv report its real length so it is refused.
    return ::recv(handle, report, sizeof report, MSG_TRUNC);
}

} // namespace GlmDev
