#pragma once
// Processor faults (SIGSEGV, SIGFPE, SIGBUS, SIGILL) cannot be resumed: the
// handler writes one line to the log with async-signal-safe calls and
// re-executes the program, which then shows the critical-error box. The
// re-executed program is told when the earlier ones were restarted, so a
// fault that recurs at every start is stopped by the restart limit too.

#include <chrono>
#include <string>
#include <vector>

namespace Glm {

/// Set in the environment of a program re-executed after a fault: the times
/// of the recent restarts (the last one this fault's), in milliseconds of
/// the monotonic clock, separated by commas.
constexpr const char* kRestartedAfterFaultVariable = "GLIMMERIES_RESTARTED_AFTER_FAULT";

/// Installs the handler for the rest of the process. logPath is appended to;
/// argv is the program's argument vector, used again for the re-execution.
/// Returns false when the log cannot be opened (the handler is installed
/// anyway and only skips the log line).
bool InstallFaultHandler(const std::string& logPath, char** argv);

/// True (once) when this process was started by the fault handler; clears
/// the marker from the environment.
bool TakeRestartedAfterFault();

/// The restarts the marker named when the handler was installed, oldest
/// first; empty for a program that was not re-executed. Only those within
/// the last minute are passed on by the next fault.
std::vector<std::chrono::steady_clock::time_point> GetRestartsBeforeThisProcess();

} // namespace Glm
