#include "FaultHandler.h"

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
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
std::string g_marker;
const int kFaultSignals[] = {SIGSEGV, SIGFPE, SIGBUS, SIGILL};

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
    g_marker = std::string(kRestartedAfterFaultVariable) + "=1";
    g_environment.clear();
    for (char** variable = environ; variable != nullptr && *variable != nullptr; ++variable) {
        g_environment.push_back(*variable);
    }
    g_environment.push_back(g_marker.data());
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

} // namespace Glm
