#pragma once
// Child processes, started with posix_spawn from an argument vector: no
// shell ever sees the arguments, so a URL or a path with quotes, blanks,
// semicolons or $(...) reaches the program as exactly one argument.

#include "ProcessExceptions.h"

#include <cstdint>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace Process {

class Process {
public:
    /// Starts argv[0] (searched on PATH when it has no slash) with the
    /// arguments argv[1..], in workingDirectory (empty: the caller's).
    /// Throws Ex::Precondition for an empty argv or argv[0], and
    /// CantCreateProcess (cause: Win32::Win32Exception "CreateProcess()" with
    /// the errno) when the program cannot be started.
    explicit Process(const std::vector<std::string>& argv, const std::string& workingDirectory = "");
    /// Lets the child go: a child that has not been waited for is reaped in
    /// the background when it ends, so it never lingers as a zombie.
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    pid_t GetProcessId() const { return m_pid; }

    /// Waits up to timeoutMs (-1: no limit) for the child to end. Returns
    /// its exit code (128 + signal number when a signal ended it), or an
    /// empty optional on time-out. Throws Win32::Win32Exception
    /// "WaitForSingleObject" when the wait itself fails.
    std::optional<int> Wait(int timeoutMs);

    /// The command line of argv as shown in messages: the arguments joined
    /// by blanks.
    static std::string CommandLine(const std::vector<std::string>& argv);

private:
    pid_t m_pid = -1;
    int m_pidfd = -1;
    std::optional<int> m_exitCode;
};

/// Ids of the running processes whose executable's file name is fileName
/// (from /proc/PID/exe, falling back to /proc/PID/comm).
std::vector<pid_t> FindProcessesByFileName(const std::string& fileName);

/// Waits up to timeoutMs (-1: no limit) for a process that is not our child
/// to end. True when it has ended (or never existed).
bool WaitForProcessExit(pid_t pid, int timeoutMs);

} // namespace Process
