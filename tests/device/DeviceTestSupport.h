#pragma once
// Helpers for the device and toy tests: a temporary bus directory, virtual
// toys in-process and as processes, and waiting on their event lines with
// deadlines.

#include "tests/support/TempDir.h"
#include "toys/VirtualToy.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <sys/types.h>
#include <thread>
#include <vector>

namespace DeviceTest {

using namespace std::chrono_literals;

using TempDir = GlmTest::TempDir;

/// Sets an environment variable for its own lifetime.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string m_name;
    bool m_had = false;
    std::string m_previous;
};

/// Lines arriving from another thread, waited for with deadlines.
class LineLog {
public:
    void Add(const std::string& line);
    /// True once a line containing text arrived (counting earlier ones).
    bool WaitFor(const std::string& text, std::chrono::milliseconds timeout = 10s) const;
    /// True once count lines containing text arrived.
    bool WaitForCount(const std::string& text, std::size_t count,
                      std::chrono::milliseconds timeout = 10s) const;
    std::vector<std::string> Lines() const;
    std::size_t Count(const std::string& text) const;

private:
    std::size_t CountLocked(const std::string& text) const;
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    std::vector<std::string> m_lines;
};

/// A virtual toy on a thread of the test process; commands go to it
/// through a pipe, like the program's standard input.
class InProcessToy {
public:
    /// Plugs the toy; fails the current test when it cannot. prepare, when
    /// given, may set the firmware up (a state no command makes) before the
    /// toy's thread starts.
    explicit InProcessToy(Toys::VirtualToyOptions options,
                          const std::function<void(Toys::ToyFirmware&)>& prepare = {});
    /// Unplugs it.
    ~InProcessToy();
    InProcessToy(const InProcessToy&) = delete;
    InProcessToy& operator=(const InProcessToy&) = delete;

    /// Sends one command line.
    void Command(const std::string& line);
    /// Unplugs and waits for the toy's thread.
    void Unplug();
    LineLog& Log() { return m_log; }
    const std::string& SocketPath() const { return m_socketPath; }
    bool IsPlugged() const { return m_plugged; }

private:
    LineLog m_log;
    std::unique_ptr<Toys::VirtualToy> m_toy;
    std::string m_socketPath;
    int m_commands[2] = {-1, -1};
    std::thread m_thread;
    bool m_plugged = false;
};

/// Options for an in-process toy on directory.
Toys::VirtualToyOptions ToyOptions(const std::string& directory, std::uint16_t productId,
                                   const std::string& name);

/// A program from the build's bin directory run with pipes on its standard
/// streams; killed when still running at the end.
class ChildProcess {
public:
    ChildProcess(const std::vector<std::string>& argv);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    void WriteLine(const std::string& line);
    void CloseInput();
    /// The exit code, or -1 when it did not end within timeout (then it is
    /// killed). A death by signal gives 128 + the signal.
    int Wait(std::chrono::milliseconds timeout = 20s);
    void Signal(int signal);
    LineLog& Out() { return m_out; }
    LineLog& Err() { return m_err; }

private:
    pid_t m_pid = -1;
    int m_input = -1;
    LineLog m_out;
    LineLog m_err;
    std::thread m_outReader;
    std::thread m_errReader;
    int m_exitCode = -1;
};

/// The path of a program in the build's bin directory.
std::string BinPath(const std::string& program);

struct CommandResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

/// Runs a program to its end (at most timeout) and collects its output.
CommandResult RunProgram(const std::vector<std::string>& argv, std::chrono::milliseconds timeout = 30s);

/// Polls condition every few milliseconds until it holds or timeout.
template <class Condition>
bool WaitUntil(Condition condition, std::chrono::milliseconds timeout = 10s) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(2ms);
    }
    return true;
}

} // namespace DeviceTest
