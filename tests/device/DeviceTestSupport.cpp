#include "tests/device/DeviceTestSupport.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace DeviceTest {

ScopedEnv::ScopedEnv(const char* name, const std::string& value) : m_name(name) {
    if (const char* previous = std::getenv(name)) {
        m_had = true;
        m_previous = previous;
    }
    ::setenv(name, value.c_str(), 1);
}

ScopedEnv::~ScopedEnv() {
    if (m_had) {
        ::setenv(m_name.c_str(), m_previous.c_str(), 1);
    } else {
        ::unsetenv(m_name.c_str());
    }
}

void LineLog::Add(const std::string& line) {
    {
        std::lock_guard lock(m_mutex);
        m_lines.push_back(line);
    }
    m_changed.notify_all();
}

std::size_t LineLog::CountLocked(const std::string& text) const {
    std::size_t count = 0;
    for (const std::string& line : m_lines) {
        if (line.find(text) != std::string::npos) {
            ++count;
        }
    }
    return count;
}

bool LineLog::WaitFor(const std::string& text, std::chrono::milliseconds timeout) const {
    return WaitForCount(text, 1, timeout);
}

bool LineLog::WaitForCount(const std::string& text, std::size_t count,
                           std::chrono::milliseconds timeout) const {
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [&] { return CountLocked(text) >= count; });
}

std::vector<std::string> LineLog::Lines() const {
    std::lock_guard lock(m_mutex);
    return m_lines;
}

std::size_t LineLog::Count(const std::string& text) const {
    std::lock_guard lock(m_mutex);
    return CountLocked(text);
}

Toys::VirtualToyOptions ToyOptions(const std::string& directory, std::uint16_t productId,
                                   const std::string& name) {
    Toys::VirtualToyOptions options;
    options.productId = productId;
    options.name = name;
    options.directory = directory;
    return options;
}

InProcessToy::InProcessToy(Toys::VirtualToyOptions options,
                           const std::function<void(Toys::ToyFirmware&)>& prepare) {
    m_toy = std::make_unique<Toys::VirtualToy>(std::move(options),
                                               [this](const std::string& line) { m_log.Add(line); });
    std::string error;
    if (!m_toy->Plug(error)) {
        ADD_FAILURE() << "cannot plug the virtual toy: " << error;
        return;
    }
    m_socketPath = m_toy->GetSocketPath();
    if (::pipe2(m_commands, O_CLOEXEC) != 0) {
        ADD_FAILURE() << "pipe2 failed";
        return;
    }
    if (prepare) {
        prepare(m_toy->GetFirmware());
    }
    m_plugged = true;
    m_thread = std::thread([this] { m_toy->Run(m_commands[0]); });
}

InProcessToy::~InProcessToy() {
    Unplug();
    for (const int fd : m_commands) {
        if (fd >= 0) {
            ::close(fd);
        }
    }
}

void InProcessToy::Command(const std::string& line) {
    const std::string text = line + "\n";
    ASSERT_EQ(::write(m_commands[1], text.data(), text.size()), static_cast<ssize_t>(text.size()));
}

void InProcessToy::Unplug() {
    if (m_thread.joinable()) {
        m_toy->RequestStop();
        m_thread.join();
    }
    m_plugged = false;
}

std::string BinPath(const std::string& program) {
    const char* build = std::getenv("GLM_BUILD_DIR");
    if (build != nullptr && *build != '\0') {
        return std::string(build) + "/bin/" + program;
    }
    // Run by hand: the programs sit beside the test.
    char self[4096] = {0};
    const ssize_t length = ::readlink("/proc/self/exe", self, sizeof self - 1);
    std::string path(self, length > 0 ? static_cast<std::size_t>(length) : 0);
    return path.substr(0, path.rfind('/') + 1) + program;
}

namespace {

void ReadLines(int fd, LineLog& log) {
    std::string pending;
    char buffer[4096];
    for (;;) {
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            break;
        }
        pending.append(buffer, static_cast<std::size_t>(count));
        for (std::size_t end = pending.find('\n'); end != std::string::npos; end = pending.find('\n')) {
            log.Add(pending.substr(0, end));
            pending.erase(0, end + 1);
        }
    }
    if (!pending.empty()) {
        log.Add(pending);
    }
    ::close(fd);
}

} // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv) {
    int input[2];
    int output[2];
    int errors[2];
    if (::pipe2(input, O_CLOEXEC) != 0 || ::pipe2(output, O_CLOEXEC) != 0 ||
        ::pipe2(errors, O_CLOEXEC) != 0) {
        ADD_FAILURE() << "pipe2 failed";
        return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input[0], 0);
    posix_spawn_file_actions_adddup2(&actions, output[1], 1);
    posix_spawn_file_actions_adddup2(&actions, errors[1], 2);
    std::vector<char*> arguments;
    std::vector<std::string> copies = argv;
    copies[0] = BinPath(argv[0]);
    for (std::string& argument : copies) {
        arguments.push_back(argument.data());
    }
    arguments.push_back(nullptr);
    const int spawned = ::posix_spawn(&m_pid, arguments[0], &actions, nullptr, arguments.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(input[0]);
    ::close(output[1]);
    ::close(errors[1]);
    if (spawned != 0) {
        ADD_FAILURE() << "cannot start " << arguments[0] << ": " << std::strerror(spawned);
        m_pid = -1;
    }
    m_input = input[1];
    m_outReader = std::thread([fd = output[0], this] { ReadLines(fd, m_out); });
    m_errReader = std::thread([fd = errors[0], this] { ReadLines(fd, m_err); });
}

ChildProcess::~ChildProcess() {
    if (m_pid > 0 && m_exitCode < 0) {
        ::kill(m_pid, SIGKILL);
        Wait(5s);
    }
    CloseInput();
    if (m_outReader.joinable()) {
        m_outReader.join();
    }
    if (m_errReader.joinable()) {
        m_errReader.join();
    }
}

void ChildProcess::WriteLine(const std::string& line) {
    const std::string text = line + "\n";
    ASSERT_EQ(::write(m_input, text.data(), text.size()), static_cast<ssize_t>(text.size()));
}

void ChildProcess::CloseInput() {
    if (m_input >= 0) {
        ::close(m_input);
        m_input = -1;
    }
}

void ChildProcess::Signal(int signal) {
    if (m_pid > 0) {
        ::kill(m_pid, signal);
    }
}

int ChildProcess::Wait(std::chrono::milliseconds timeout) {
    if (m_pid <= 0 || m_exitCode >= 0) {
        return m_exitCode;
    }
    int status = 0;
    const bool ended = WaitUntil([&] { return ::waitpid(m_pid, &status, WNOHANG) == m_pid; }, timeout);
    if (!ended) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, &status, 0);
        m_exitCode = 999;
        return -1;
    }
    m_exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    if (m_outReader.joinable()) {
        m_outReader.join();
    }
    if (m_errReader.joinable()) {
        m_errReader.join();
    }
    return m_exitCode;
}

CommandResult RunProgram(const std::vector<std::string>& argv, std::chrono::milliseconds timeout) {
    CommandResult result;
    ChildProcess child(argv);
    child.CloseInput();
    result.exitCode = child.Wait(timeout);
    for (const std::string& line : child.Out().Lines()) {
        result.out += line + "\n";
    }
    for (const std::string& line : child.Err().Lines()) {
        result.err += line + "\n";
    }
    return result;
}

} // namespace DeviceTest
