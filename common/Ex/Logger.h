#pragma once
// The process-wide logger slot and the logger interface.

#include <ctime>
#include <string>

namespace Ex {

class Logger {
public:
    enum StringFormat { Text = 0, Xml = 1 };

    Logger() = default;
    Logger(const Logger&) = delete;
    Logger& operator=(const Logger&) = delete;
    /// Empties the process-wide slot when this logger is the current one.
    virtual ~Logger();

    /// Moves the log's contents to newFileName (beside the log) and reopens
    /// the log empty.
    virtual void MoveContentsAndReOpen(const std::string& newFileName) = 0;
    virtual StringFormat GetStringFormat() const = 0;
    /// Outputs one finished record.
    virtual void Write(const std::string& formattedText) = 0;

    /// Time-stamps message and writes it. Throws Ex::Precondition when empty.
    void Log(const std::string& message);
    /// Writes an already formatted record; only for Xml loggers.
    void LogFormatted(const std::string& formattedMessage);
    /// The record for message: time prefix, then the message.
    std::string FormatMessage(const std::string& message) const;
};

/// The current logger; with none set, a process-lifetime MessageBoxLogger.
Logger* GetLogger();
/// Makes logger current and returns the previous one (as GetLogger saw it).
Logger* SetLogger(Logger* logger);

/// Makes a logger current for its own lifetime.
class ScopedLogger {
public:
    explicit ScopedLogger(Logger* logger) : m_previous(SetLogger(logger)) {}
    ~ScopedLogger() { SetLogger(m_previous); }
    ScopedLogger(const ScopedLogger&) = delete;
    ScopedLogger& operator=(const ScopedLogger&) = delete;

private:
    Logger* m_previous;
};

/// "D/M/YYYY H:M:S (+B to GMT): " for a local time and the bias in minutes
/// (minutes to add to local time to reach GMT).
std::string FormatTimePrefix(const std::tm& localTime, long biasMinutes);
/// The bias of the local zone at the given moment, in minutes.
long LocalBiasMinutes(std::time_t when);

/// Process-wide switch, on by default: off replaces the time prefix by
/// "<date and time suppressed> - " (for reproducible test output).
void SetTimestampsEnabled(bool enabled);
bool TimestampsEnabled();

} // namespace Ex
