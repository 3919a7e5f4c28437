#pragma once
// The device library's diagnostic lines. They go to the standard error
// stream, not to the application log: the library is also used by the
// command-line support tool, whose user reads them directly.

namespace GlmDev {

/// Writes one printf-style diagnostic line (the format carries its own "\n").
void Diagnostic(const char* format, ...) __attribute__((format(printf, 1, 2)));

/// Verbose diagnostics also name every device that was seen and left out
/// because it is not one of the toys (off by default; the support tool
/// turns them on so a user can see what the bus reports).
void SetVerboseDiagnostics(bool verbose);
bool VerboseDiagnostics();

} // namespace GlmDev
