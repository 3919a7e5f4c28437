#include "FaultHandler.h"

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sstream>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace Glm {

namespace {

// Everything the handler touches is prepared beforehand: no allocation, no
// locks, no stdio once a fault has happened.
int g_logDescriptor = -1;
std::vector<char*> g_argv;
std::vector<char*> g_environment;
// The marker variable with the recent restarts; the handler appends this
// fault's time at g_markerLength.
char g_marker[512];
std::size_t g_markerLength = 0;
std::vector<std::chrono::steady_clock::time_point> g_earlierRestarts;
const int kFaultSignals[] = {SIGSEGV, SIGFPE, SIGBUS, SIGILL};
constexpr long long kRememberedRestartsMs = 60000;
constexpr std::size_t kMaxRememberedRestarts = 8;

void WriteAll(int descriptor, const char* text, std::size_t length) {
    while (length > 0) {
        const ssize_t written = ::write(descriptor, text, length);
        if (written <= 0) {
            return;
        }
        text += written;
        length -= static_cast<std::size_t>(written);
    }
}

void WriteText(int descriptor, const char* text) {
    WriteAll(descriptor, text, std::strlen(text));
}

void WriteNumber(int descriptor, int value) {
    char digits[16];
    int position = static_cast<int>(sizeof digits);
    unsigned magnitude = value < 0 ? 0U - static_cast<unsigned>(value) : static_cast<unsigned>(value);
    do {
        digits[--position] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0 && position > 0);
    WriteAll(descriptor, digits + position, sizeof digits - static_cast<std::size_t>(position));
}

// Appends value in decimal to buffer at length; stops at the end of the
// buffer (leaving room for the terminating zero).
void AppendNumber(char* buffer, std::size_t size, std::size_t& length, long long value) {
    char digits[24];
    int position = static_cast<int>(sizeof digits);
    unsigned long long magnitude = value < 0 ? 0 : static_cast<unsigned long long>(value);
    do {
        digits[--position] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0 && position > 0);
    for (; position < static_cast<int>(sizeof digits) && length + 1 < size; ++position) {
        buffer[length++] = digits[position];
    }
    buffer[length] = '\0';
}

long long MonotonicMs() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

// The restart times the marker of this process names, in milliseconds.
std::vector<long long> ParseMarker(const char* value) {
    std::vector<long long> times;
    std::istringstream in(value != nullptr ? value : "");
    for (std::string item; std::getline(in, item, ',');) {
        char* end = nullptr;
        const long long time = std::strtoll(item.c_str(), &end, 10);
        if (!item.empty() && end != nullptr && *end == '\0' && time > 0) {
            times.push_back(time);
        }
    }
    return times;
}

// The marker the next fault passes on: the restarts of the last minute
// (at most a few), then a comma where the handler puts its own time.
void PrepareMarker(const std::vector<long long>& earlier) {
    const long long now = MonotonicMs();
    std::vector<long long> recent;
    for (const long long time : earlier) {
        if (now - time < kRememberedRestartsMs) {
            recent.push_back(time);
        }
    }
    if (recent.size() > kMaxRememberedRestarts) {
        recent.erase(recent.begin(), recent.end() - kMaxRememberedRestarts);
    }
    g_markerLength = 0;
    g_marker[0] = '\0';
    for (const char* c = kRestartedAfterFaultVariable; *c != '\0'; ++c) {
        g_marker[g_markerLength++] = *c;
    }
    g_marker[g_markerLength++] = '=';
    for (const long long time : recent) {
        AppendNumber(g_marker, sizeof g_marker, g_markerLength, time);
        g_marker[g_markerLength++] = ',';
    }
    g_marker[g_markerLength] = '\0';
}

void OnFault(int signalNumber, siginfo_t* info, void*) {
    if (g_logDescriptor >= 0) {
        WriteText(g_logDescriptor, "Processor fault: signal ");
        WriteNumber(g_logDescriptor, signalNumber);
        WriteText(g_logDescriptor, " (");
        WriteText(g_logDescriptor, sigabbrev_np(signalNumber) != nullptr ? sigabbrev_np(signalNumber) : "?");
        WriteText(g_logDescriptor, ") at address 0x");
        char hex[2 * sizeof(void*)];
        auto address = reinterpret_cast<std::uintptr_t>(info != nullptr ? info->si_addr : nullptr);
        for (int i = static_cast<int>(sizeof hex) - 1; i >= 0; --i) {
            hex[i] = "0123456789abcdef"[address & 0xF];
            address >>= 4;
        }
        WriteAll(g_logDescriptor, hex, sizeof hex);
        WriteText(g_logDescriptor, "; the application restarts\n");
    }
    std::size_t length = g_markerLength;
    AppendNumber(g_marker, sizeof g_marker, length, MonotonicMs());
    ::execve("/proc/self/exe", g_argv.data(), g_environment.data());
    // Re-execution failed: end as the fault would have.
    ::signal(signalNumber, SIG_DFL);
    ::raise(signalNumber);
}

} // namespace

bool InstallFaultHandler(const std::string& logPath, char** argv) {
    g_argv.clear();
    for (char** argument = argv; argument != nullptr && *argument != nullptr; ++argument) {
        g_argv.push_back(*argument);
    }
    g_argv.push_back(nullptr);
    const std::vector<long long> earlier = ParseMarker(std::getenv(kRestartedAfterFaultVariable));
    g_earlierRestarts.clear();
    for (const long long time : earlier) {
        g_earlierRestarts.emplace_back(std::chrono::milliseconds(time));
    }
    PrepareMarker(earlier);
    const std::string markerName = std::string(kRestartedAfterFaultVariable) + "=";
    g_environment.clear();
    for (char** variable = environ; variable != nullptr && *variable != nullptr; ++variable) {
        if (std::strncmp(*variable, markerName.c_str(), markerName.size()) != 0) {
            g_environment.push_back(*variable);
        }
    }
    g_environment.push_back(g_marker);
    g_environment.push_back(nullptr);

    if (g_logDescriptor >= 0) {
        ::close(g_logDescriptor);
    }
    g_logDescriptor = ::open(logPath.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);

    // A stack overflow faults on the stack itself: run on a stack of our own.
    static std::vector<char> alternateStack(static_cast<std::size_t>(SIGSTKSZ) * 4);
    stack_t stack{};
    stack.ss_sp = alternateStack.data();
    stack.ss_size = alternateStack.size();
    ::sigaltstack(&stack, nullptr);

    struct sigaction action {};
    action.sa_sigaction = &OnFault;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_NODEFER | SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    sigset_t unblocked;
    sigemptyset(&unblocked);
    for (const int signalNumber : kFaultSignals) {
        ::sigaction(signalNumber, &action, nullptr);
        sigaddset(&unblocked, signalNumber);
    }
    // A program re-executed from inside the handler inherits its mask.
    ::sigprocmask(SIG_UNBLOCK, &unblocked, nullptr);
    return g_logDescriptor >= 0;
}

bool TakeRestartedAfterFault() {
    if (std::getenv(kRestartedAfterFaultVariable) == nullptr) {
        return false;
    }
    ::unsetenv(kRestartedAfterFaultVariable);
    return true;
}

std::vector<std::chrono::steady_clock::time_point> GetRestartsBeforeThisProcess() {
    return g_earlierRestarts;
}

} // namespace Glm
