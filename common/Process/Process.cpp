#include "Process.h"

#include "ChildReaper.h"
#include "common/Win32/Win32Exception.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <dirent.h>
#include <fstream>
#include <memory>
#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace Process {

namespace {

int PidFdOpen(pid_t pid) {
    return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
}

int ExitCodeOf(int status) {
    if (WIFEXITED(status)) {
        return WEXITSTATUS(status);
    }
    if (WIFSIGNALED(status)) {
        return 128 + WTERMSIG(status);
    }
    return -1;
}

struct FileActions {
    posix_spawn_file_actions_t actions{};
    FileActions() { posix_spawn_file_actions_init(&actions); }
    ~FileActions() { posix_spawn_file_actions_destroy(&actions); }
    FileActions(const FileActions&) = delete;
    FileActions& operator=(const FileActions&) = delete;
};

struct Attributes {
    posix_spawnattr_t attributes{};
    Attributes() { posix_spawnattr_init(&attributes); }
    ~Attributes() { posix_spawnattr_destroy(&attributes); }
    Attributes(const Attributes&) = delete;
    Attributes& operator=(const Attributes&) = delete;
};

[[noreturn]] void ThrowCantCreate(const std::vector<std::string>& argv, int error) {
    const Win32::Win32Exception cause("CreateProcess()", static_cast<std::uint32_t>(error));
    CantCreateProcess failure(&cause);
    failure.Message() << "Can't create process '" << Process::CommandLine(argv) << "'";
    throw failure;
}

// Milliseconds left of timeoutMs since start; -1 stays "no limit".
int Remaining(int timeoutMs, std::chrono::steady_clock::time_point start) {
    if (timeoutMs < 0) {
        return -1;
    }
    const auto spent =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start)
            .count();
    return spent >= timeoutMs ? 0 : timeoutMs - static_cast<int>(spent);
}

} // namespace

std::string Process::CommandLine(const std::vector<std::string>& argv) {
    std::string line;
    for (const std::string& argument : argv) {
        if (!line.empty()) {
            line += ' ';
        }
        line += argument;
    }
    return line;
}

Process::Process(const std::vector<std::string>& argv, const std::string& workingDirectory) {
    EX_PRECONDITION(!argv.empty() && !argv.front().empty());
    std::vector<char*> arguments;
    arguments.reserve(argv.size() + 1);
    for (const std::string& argument : argv) {
        arguments.push_back(const_cast<char*>(argument.c_str())); // NOLINT: posix_spawn's signature
    }
    arguments.push_back(nullptr);

    FileActions actions;
    if (!workingDirectory.empty()) {
        const int error = posix_spawn_file_actions_addchdir_np(&actions.actions, workingDirectory.c_str());
        if (error != 0) {
            ThrowCantCreate(argv, error);
        }
    }
    // The child starts with default signal handling and an empty mask,
    // whatever this process has blocked or ignored.
    Attributes attributes;
    sigset_t all;
    sigset_t none;
    sigfillset(&all);
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attributes.attributes, &all);
    posix_spawnattr_setsigmask(&attributes.attributes, &none);
    posix_spawnattr_setflags(&attributes.attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);

    const int error = ::posix_spawnp(&m_pid, arguments.front(), &actions.actions, &attributes.attributes,
                                     arguments.data(), environ);
    if (error != 0) {
        m_pid = -1;
        ThrowCantCreate(argv, error);
    }
    m_pidfd = PidFdOpen(m_pid);
}

Process::~Process() {
    if (m_pid > 0 && !m_exitCode) {
        int status = 0;
        if (::waitpid(m_pid, &status, WNOHANG) == 0) {
            // Still running: the reaper waits for it, so it never becomes a
            // zombie and our owner need not wait. It takes the pidfd along.
            ChildReaper::Shared().Adopt(m_pid, m_pidfd);
            return;
        }
    }
    if (m_pidfd >= 0) {
        ::close(m_pidfd);
    }
}

std::optional<int> Process::Wait(int timeoutMs) {
    if (m_exitCode) {
        return m_exitCode;
    }
    const auto start = std::chrono::steady_clock::now();
    for (;;) {
        int status = 0;
        const pid_t done = ::waitpid(m_pid, &status, WNOHANG);
        if (done == m_pid) {
            m_exitCode = ExitCodeOf(status);
            return m_exitCode;
        }
        if (done < 0 && errno != EINTR) {
            throw Win32::Win32Exception::FromErrno("WaitForSingleObject");
        }
        const int remaining = Remaining(timeoutMs, start);
        if (remaining == 0) {
            return std::nullopt;
        }
        if (m_pidfd >= 0) {
            pollfd fd{m_pidfd, POLLIN, 0};
            if (::poll(&fd, 1, remaining) < 0 && errno != EINTR) {
                throw Win32::Win32Exception::FromErrno("WaitForSingleObject");
            }
        } else {
            // No pidfd (an old kernel): look again shortly.
            std::this_thread::sleep_for(
                std::chrono::milliseconds(remaining < 0 ? 10 : std::min(remaining, 10)));
        }
    }
}

std::vector<pid_t> FindProcessesByFileName(const std::string& fileName) {
    std::vector<pid_t> found;
    std::unique_ptr<DIR, int (*)(DIR*)> proc(::opendir("/proc"), &::closedir);
    if (!proc) {
        return found;
    }
    while (const dirent* entry = ::readdir(proc.get())) {
        char* end = nullptr;
        const long pid = std::strtol(entry->d_name, &end, 10);
        if (pid <= 0 || *end != '\0') {
            continue;
        }
        const std::string base = std::string("/proc/") + entry->d_name;
        std::string name;
        char target[PATH_MAX + 1];
        const ssize_t length = ::readlink((base + "/exe").c_str(), target, PATH_MAX);
        if (length > 0) {
            std::string path(target, static_cast<std::size_t>(length));
            // A replaced or deleted executable is shown with this suffix.
            const std::string deleted = " (deleted)";
            if (path.size() > deleted.size() &&
                path.compare(path.size() - deleted.size(), deleted.size(), deleted) == 0) {
                path.resize(path.size() - deleted.size());
            }
            name = path.substr(path.rfind('/') + 1);
        } else {
            // Another user's process: only its name is readable, cut by the
            // kernel to 15 characters.
            std::ifstream comm(base + "/comm");
            std::getline(comm, name);
            if (name.size() == 15 && fileName.compare(0, 15, name) == 0) {
                name = fileName;
            }
        }
        if (name == fileName) {
            found.push_back(static_cast<pid_t>(pid));
        }
    }
    return found;
}

bool WaitForProcessExit(pid_t pid, int timeoutMs) {
    const int pidfd = PidFdOpen(pid);
    if (pidfd < 0) {
        return errno == ESRCH;
    }
    pollfd fd{pidfd, POLLIN, 0};
    int ready = 0;
    const auto start = std::chrono::steady_clock::now();
    do {
        ready = ::poll(&fd, 1, Remaining(timeoutMs, start));
    } while (ready < 0 && errno == EINTR);
    ::close(pidfd);
    return ready > 0;
}

} // namespace Process
