#pragma once
// Processor faults (SIGSEGV, SIGFPE, SIGBUS, SIGILL) cannot be resumed: the
// handler writes one line to the log with async-signal-safe calls and
// re-executes the program, which then shows the critical-error box.

#include <string>

namespace Glm {

/// Set in the environment of a program re-executed after a fault.
constexpr const char* kRestartedAfterFaultVariable = "GLIMMERIES_RESTARTED_AFTER_FAULT";

/// Installs the handler for the rest of the process. logPath is appended to;
/// argv is the program's argument vector, used again for the re-execution.
/// Returns false when the log cannot be opened (the handler is installed
/// anyway and only skips the log line).
bool InstallFaultHandler(const std::string& logPath, char** argv);

/// True (once) when this process was started by the fault handler; clears
/// the marker from the environment.
bool TakeRestartedAfterFault();

} // namespace Glm
