#pragma once

#include <cstdint>
#include <mutex>
#include <ostream>
#include <string>
#include <string_view>

namespace Service {

/// The record of every request the service answered, one line each, in `access.log` of the data
/// directory: time (UTC, milliseconds), method, target, status, duration. Values that could let
/// someone act as a user (passwords, session and transfer tokens, reset codes) are replaced by
/// "-" before anything is written; cookies and bodies are never written. The file is kept below
/// a fixed size by moving it to `access.log.1` when full.
class AccessLog {
public:
    explicit AccessLog(std::string dataDirectory);
    ~AccessLog();
    AccessLog(const AccessLog&) = delete;
    AccessLog& operator=(const AccessLog&) = delete;

    void Record(std::string_view method, std::string_view target, int status, double milliseconds);

    /// The target as it is written: sensitive query values masked, control bytes escaped.
    static std::string Redacted(std::string_view target);

    /// Prints the kept records, oldest first (`glimmeries-service requests`). False when there are
    /// none to print because the service has not answered anything in that directory yet.
    static bool Print(const std::string& dataDirectory, std::ostream& out);

    static constexpr std::uintmax_t kLargestFile = 8u * 1024u * 1024u;

private:
    std::string m_path;
    std::mutex m_mutex;
    int m_fd = -1; // opened at the first record, again after each move to access.log.1
};

/// Control bytes of `text` as \xNN and backslash doubled, so a printed line cannot move the cursor,
/// change colours or forge another line.
std::string EscapeControl(std::string_view text);

} // namespace Service
