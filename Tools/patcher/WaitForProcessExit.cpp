#include "Tools/patcher/WaitForProcessExit.h"

#include "common/Process/Process.h"

#include <chrono>
#include <fstream>
#include <string>
#include <thread>
#include <unistd.h>

namespace Glm {

namespace {

// An ended process whose parent has not collected it yet still has its
// /proc entry; it runs nothing any more and must not be waited for again.
bool HasEnded(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line)) {
        return true;
    }
    // "PID (COMM) STATE ...": the name may hold blanks and parentheses.
    const std::size_t close = line.rfind(')');
    if (close == std::string::npos || close + 2 >= line.size()) {
        return false;
    }
    const char state = line[close + 2];
    return state == 'Z' || state == 'X';
}

} // namespace

void WaitForProcessExit(const std::string& fileName) {
    const pid_t self = ::getpid();
    for (;;) {
        bool waited = false;
        for (const pid_t pid : Process::FindProcessesByFileName(fileName)) {
            if (pid == self || HasEnded(pid)) {
                continue;
            }
            // No time limit: the other process is the one that must end
            // before its file can be replaced or deleted.
            if (!Process::WaitForProcessExit(pid, -1)) {
                // No pidfd for it (a kernel before 5.3): nothing to wait on
                // but the clock, so look again shortly instead of spinning.
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            }
            waited = true;
        }
        if (!waited) {
            return;
        }
    }
}

} // namespace Glm
