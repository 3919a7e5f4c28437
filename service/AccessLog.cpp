#include "AccessLog.h"

#include <array>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace Service {

namespace {

// Query keys whose values would let a reader of the log act as someone.
bool Sensitive(std::string_view key) {
    static constexpr std::array<std::string_view, 6> words = {"pass", "token",  "session",
                                                              "code", "cookie", "secret"};
    std::string lower(key);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    for (const auto word : words) {
        if (lower.find(word) != std::string::npos) {
            return true;
        }
    }
    return false;
}

std::string TimeText() {
    const auto now = std::chrono::system_clock::now();
    const auto milliseconds =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    std::tm parts{};
    gmtime_r(&seconds, &parts);
    char text[40];
    const auto used = std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &parts);
    std::snprintf(text + used, sizeof text - used, ".%03dZ", static_cast<int>(milliseconds));
    return text;
}

} // namespace

std::string EscapeControl(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f) {
            static const char digits[] = "0123456789abcdef";
            escaped += "\\x";
            escaped += digits[byte >> 4];
            escaped += digits[byte & 15];
        } else if (c == '\\') {
            escaped += "\\\\";
        } else {
            escaped += c;
        }
    }
    return escaped;
}

AccessLog::AccessLog(std::string dataDirectory)
    : m_path((std::filesystem::path(std::move(dataDirectory)) / "access.log").string()) {}

AccessLog::~AccessLog() {
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

std::string AccessLog::Redacted(std::string_view target) {
    const auto question = target.find('?');
    std::string text(target.substr(0, question));
    if (question != std::string_view::npos) {
        text += '?';
        std::string_view rest = target.substr(question + 1);
        bool first = true;
        while (true) {
            const auto amp = rest.find('&');
            const std::string_view field = rest.substr(0, amp);
            const auto equals = field.find('=');
            if (!first) {
                text += '&';
            }
            first = false;
            if (equals != std::string_view::npos && Sensitive(field.substr(0, equals))) {
                text.append(field.substr(0, equals + 1));
                text += '-';
            } else {
                text.append(field);
            }
            if (amp == std::string_view::npos) {
                break;
            }
            rest.remove_prefix(amp + 1);
        }
    }
    return EscapeControl(text);
}

void AccessLog::Record(std::string_view method, std::string_view target, int status, double milliseconds) {
    char duration[32];
    std::snprintf(duration, sizeof duration, "%.1fms", milliseconds);
    const std::string line = TimeText() + " " + EscapeControl(method) + " " + Redacted(target) + " " +
                             std::to_string(status) + " " + duration + "\n";
    std::lock_guard lock(m_mutex);
    std::error_code error;
    if (m_fd >= 0 && std::filesystem::file_size(m_path, error) >= kLargestFile && !error) {
        std::filesystem::rename(m_path, m_path + ".1", error);
        ::close(m_fd);
        m_fd = -1;
    }
    if (m_fd < 0) {
        m_fd = ::open(m_path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
        if (m_fd < 0) {
            return;
        }
    }
    // One write of a whole line to a file opened for appending: a reader never sees half a line.
    const ssize_t written = ::write(m_fd, line.data(), line.size());
    static_cast<void>(written); // a full disk costs log lines, never an answer
}

bool AccessLog::Print(const std::string& dataDirectory, std::ostream& out) {
    const auto path = std::filesystem::path(dataDirectory) / "access.log";
    bool any = false;
    for (const auto& file : {std::filesystem::path(path.string() + ".1"), path}) {
        std::ifstream in(file, std::ios::binary);
        if (!in) {
            continue;
        }
        any = true;
        char buffer[8192];
        while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
            out.write(buffer, in.gcount());
        }
    }
    return any;
}

} // namespace Service
