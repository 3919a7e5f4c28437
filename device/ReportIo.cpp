#include "device/ReportIo.h"

#include "device/Diagnostics.h"
#include "device/ResultCodes.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <poll.h>

namespace GlmDev {

namespace {

std::atomic<int> g_reportTimeoutMs{10000};

enum class Readiness { Ready, TimedOut, Failed };

// Waits until handle can take (POLLOUT) or give (POLLIN) a report. An
// unplugged hidraw device and a virtual toy that went away both show up
// here as POLLHUP/POLLERR, so the unplug is noticed where it happens rather
// than as a hang.
Readiness WaitFor(int handle, short events, int timeoutMs, int& error) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        // Rounded up: poll's millisecond must not end the wait early.
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        pollfd fd{handle, events, 0};
        const int ready = ::poll(&fd, 1, left.count() > 0 ? static_cast<int>(left.count()) : 0);
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready < 0) {
            error = errno;
            return Readiness::Failed;
        }
        if (ready == 0) {
            if (Clock::now() < deadline) {
                continue;
            }
            return Readiness::TimedOut;
        }
        if ((fd.revents & events) != 0) {
            return Readiness::Ready;
        }
        error = (fd.revents & POLLNVAL) != 0 ? EBADF : ENODEV;
        return Readiness::Failed;
    }
}

} // namespace

int GetReportTimeoutMs() {
    return g_reportTimeoutMs.load();
}

void SetReportTimeoutMs(int timeoutMs) {
    g_reportTimeoutMs.store(timeoutMs < 1 ? 1 : timeoutMs);
}

std::int32_t WriteCommandReport(Bus& bus, int handle, const std::uint8_t (&command)[8], int timeoutMs) {
    std::uint8_t report[kReportSize] = {0};
    std::memcpy(report + 1, command, sizeof command);
    int error = 0;
    switch (WaitFor(handle, POLLOUT, timeoutMs, error)) {
    case Readiness::TimedOut:
        return kTimedOut;
    case Readiness::Failed:
        Diagnostic("write failed: %u\n", static_cast<unsigned>(error));
        return kIoFailed;
    case Readiness::Ready:
        break;
    }
    const ssize_t written = bus.WriteOutputReport(handle, report);
    if (written < 0) {
        Diagnostic("write failed: %u\n", static_cast<unsigned>(errno));
        return kIoFailed;
    }
    if (written != static_cast<ssize_t>(kReportSize)) {
        Diagnostic("unexpected nwritten: %u\n", static_cast<unsigned>(written));
        return kIoFailed;
    }
    return kOk;
}

std::int32_t ReadReplyReport(Bus& bus, int handle, std::uint8_t (&reply)[8], int timeoutMs) {
    int error = 0;
    switch (WaitFor(handle, POLLIN, timeoutMs, error)) {
    case Readiness::TimedOut:
        return kTimedOut;
    case Readiness::Failed:
        Diagnostic("read failed: %u\n", static_cast<unsigned>(error));
        return kIoFailed;
    case Readiness::Ready:
        break;
    }
    std::uint8_t report[kReportSize] = {0};
    const ssize_t count = bus.ReadInputReport(handle, report);
    if (count < 0) {
        Diagnostic("read failed: %u\n", static_cast<unsigned>(errno));
        return kIoFailed;
    }
    if (count != static_cast<ssize_t>(kReportSize)) {
        Diagnostic("unexpected nread: %u\n", static_cast<unsigned>(count));
        return kIoFailed;
    }
    if (report[0] != 0) {
        Diagnostic("unexpected report ID: %u\n", static_cast<unsigned>(report[0]));
        return kIoFailed;
    }
    std::memcpy(reply, report + 1, sizeof reply);
    return kOk;
}

} // namespace GlmDev
