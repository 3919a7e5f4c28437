#include "RawClient.h"

#include <arpa/inet.h>
#include <fstream>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace ServiceTest {

RawConnection::RawConnection(int port) {
    m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (m_fd >= 0 && ::connect(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

RawConnection::~RawConnection() {
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

bool RawConnection::Send(const std::string& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t done = ::send(m_fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (done <= 0) {
            return false;
        }
        sent += static_cast<std::size_t>(done);
    }
    return true;
}

int CountAnswers(const std::string& text) {
    int count = 0;
    std::size_t at = 0;
    while (true) {
        const auto end = text.find("\r\n\r\n", at);
        if (end == std::string::npos || text.compare(at, 5, "HTTP/") != 0) {
            return count;
        }
        std::size_t length = 0;
        const auto header = text.substr(at, end - at);
        for (const char* name : {"Content-Length: ", "content-length: "}) {
            const auto found = header.find(name);
            if (found != std::string::npos) {
                length = std::stoul(header.substr(found + std::string(name).size()));
            }
        }
        if (text.size() < end + 4 + length) {
            return count;
        }
        ++count;
        at = end + 4 + length;
    }
}

std::string RawConnection::ReadAnswers(int count, std::chrono::milliseconds deadline) {
    std::string text;
    const auto until = std::chrono::steady_clock::now() + deadline;
    while (CountAnswers(text) < count) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
        pollfd fd{m_fd, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&fd, 1, static_cast<int>(left.count())) <= 0) {
            break;
        }
        char buffer[16384];
        const ssize_t got = ::recv(m_fd, buffer, sizeof buffer, 0);
        if (got <= 0) {
            break;
        }
        text.append(buffer, static_cast<std::size_t>(got));
    }
    return text;
}

bool RawConnection::ClosedWithin(std::chrono::milliseconds deadline) {
    const auto until = std::chrono::steady_clock::now() + deadline;
    while (true) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
        pollfd fd{m_fd, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&fd, 1, static_cast<int>(left.count())) <= 0) {
            return false;
        }
        char buffer[4096];
        if (::recv(m_fd, buffer, sizeof buffer, 0) <= 0) {
            return true;
        }
    }
}

std::string KeepAliveGet(const std::string& path) {
    return "GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
}

long ResidentKiB(int pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    return 0;
}

} // namespace ServiceTest
