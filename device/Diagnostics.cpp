#include "device/Diagnostics.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>

namespace GlmDev {

namespace {

std::atomic<bool> g_verbose{false};

} // namespace

void SetVerboseDiagnostics(bool verbose) {
    g_verbose.store(verbose);
}

bool VerboseDiagnostics() {
    return g_verbose.load();
}

void Diagnostic(const char* format, ...) {
    // One fprintf per line, so lines from the discovery thread and the
    // caller's thread never interleave mid-line.
    char line[1024];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(line, sizeof line, format, arguments);
    va_end(arguments);
    std::fputs(line, stderr);
    std::fflush(stderr);
}

} // namespace GlmDev
