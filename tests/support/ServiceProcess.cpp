#include "tests/support/ServiceProcess.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <httplib.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace ServiceTest {

namespace {

struct Pipe {
    int read = -1;
    int write = -1;
    Pipe() {
        int fds[2];
        if (pipe2(fds, O_CLOEXEC) != 0) {
            throw std::runtime_error("pipe2 failed");
        }
        read = fds[0];
        write = fds[1];
    }
    ~Pipe() {
        if (read >= 0) {
            close(read);
        }
        if (write >= 0) {
            close(write);
        }
    }
};

pid_t Spawn(const std::vector<std::string>& arguments, int out, int err) {
    std::vector<char*> argv;
    std::string program = ServiceProgram();
    argv.push_back(program.data());
    std::vector<std::string> copies = arguments;
    for (auto& argument : copies) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out, 1);
    posix_spawn_file_actions_adddup2(&actions, err, 2);
    pid_t pid = -1;
    const int result = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (result != 0) {
        throw std::runtime_error("posix_spawn " + program + " failed");
    }
    return pid;
}

std::string ReadAll(int fd) {
    std::string text;
    char buffer[4096];
    ssize_t got = 0;
    while ((got = read(fd, buffer, sizeof buffer)) > 0) {
        text.append(buffer, static_cast<std::size_t>(got));
    }
    return text;
}

} // namespace

std::string ServiceProgram() {
    if (const char* build = std::getenv("GLM_BUILD_DIR")) {
        return std::string(build) + "/bin/glimmeries-service";
    }
    // Outside CTest (benchmarks): the service sits beside the running program.
    return (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "glimmeries-service").string();
}

CommandResult RunService(const std::vector<std::string>& arguments) {
    Pipe out;
    Pipe err;
    const pid_t pid = Spawn(arguments, out.write, err.write);
    close(out.write);
    out.write = -1;
    close(err.write);
    err.write = -1;
    CommandResult result;
    result.out = ReadAll(out.read);
    result.err = ReadAll(err.read);
    int status = 0;
    waitpid(pid, &status, 0);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

ServiceProcess::ServiceProcess(std::string dataDirectory, std::vector<std::string> extra)
    : m_dataDirectory(std::move(dataDirectory)), m_extra(std::move(extra)) {
    Start();
}

ServiceProcess::~ServiceProcess() {
    Stop();
}

void ServiceProcess::Start() {
    Pipe out;
    std::vector<std::string> arguments = {"serve",
                                          "--data",
                                          m_dataDirectory,
                                          "--http-port",
                                          std::to_string(m_httpPort),
                                          "--https-port",
                                          std::to_string(m_httpsPort)};
    arguments.insert(arguments.end(), m_extra.begin(), m_extra.end());
    m_pid = Spawn(arguments, out.write, 2);
    close(out.write);
    out.write = -1;
    m_output = out.read;
    out.read = -1;
    // Wait for the first line with a deadline; the service prints it once both ports listen.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    std::string text;
    while (text.find('\n') == std::string::npos) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd fd{m_output, POLLIN, 0};
        if (left.count() <= 0 || poll(&fd, 1, static_cast<int>(left.count())) <= 0) {
            throw std::runtime_error("the service printed no first line in time");
        }
        char buffer[256];
        const ssize_t got = read(m_output, buffer, sizeof buffer);
        if (got <= 0) {
            throw std::runtime_error("the service ended before listening");
        }
        text.append(buffer, static_cast<std::size_t>(got));
    }
    m_firstLine = text.substr(0, text.find('\n'));
    if (std::sscanf(m_firstLine.c_str(), "listening http=%d https=%d", &m_httpPort, &m_httpsPort) != 2) {
        throw std::runtime_error("unexpected first line: " + m_firstLine);
    }
    m_pending = text.substr(text.find('\n') + 1);
}

std::string ServiceProcess::MoreOutput() {
    std::string text = m_pending;
    m_pending.clear();
    pollfd fd{m_output, POLLIN, 0};
    while (poll(&fd, 1, 200) > 0) {
        char buffer[1024];
        const ssize_t got = read(m_output, buffer, sizeof buffer);
        if (got <= 0) {
            break;
        }
        text.append(buffer, static_cast<std::size_t>(got));
        if (text.find("data ") != std::string::npos) {
            break;
        }
    }
    return text;
}

void ServiceProcess::Stop() {
    if (m_pid > 0) {
        kill(m_pid, SIGTERM);
        int status = 0;
        waitpid(m_pid, &status, 0);
        m_pid = -1;
    }
    if (m_output >= 0) {
        close(m_output);
        m_output = -1;
    }
}

void ServiceProcess::Kill() {
    if (m_pid > 0) {
        kill(m_pid, SIGKILL);
        int status = 0;
        waitpid(m_pid, &status, 0);
        m_pid = -1;
    }
}

void ServiceProcess::Restart() {
    Stop();
    Start();
}

std::unique_ptr<httplib::SSLClient> ServiceProcess::Https() const {
    auto client = std::make_unique<httplib::SSLClient>("127.0.0.1", m_httpsPort);
    client->set_ca_cert_path((std::filesystem::path(m_dataDirectory) / "ca.pem").c_str());
    client->enable_server_certificate_verification(true);
    client->set_tcp_nodelay(true);
    client->set_read_timeout(10, 0);
    return client;
}

std::unique_ptr<httplib::Client> ServiceProcess::Http() const {
    auto client = std::make_unique<httplib::Client>("127.0.0.1", m_httpPort);
    client->set_tcp_nodelay(true);
    client->set_read_timeout(10, 0);
    return client;
}

} // namespace ServiceTest
