#include "Logger.h"

#include "Exceptions.h"
#include "MessageBoxLogger.h"

#include <atomic>

namespace Ex {

namespace {

// Set on the UI thread during start-up and read by workers afterwards; an
// atomic keeps those reads well-defined at no cost.
std::atomic<Logger*> g_currentLogger{nullptr};
std::atomic<bool> g_timestampsEnabled{true};

Logger* DefaultLogger() {
    // Lives until the process ends, so late log calls always have a target.
    static MessageBoxLogger* instance = new MessageBoxLogger(); // NOLINT(cppcoreguidelines-owning-memory)
    return instance;
}

} // namespace

Logger::~Logger() {
    Logger* self = this;
    g_currentLogger.compare_exchange_strong(self, nullptr);
}

Logger* GetLogger() {
    Logger* current = g_currentLogger.load();
    if (current == nullptr) {
        current = DefaultLogger();
        g_currentLogger.store(current);
    }
    return current;
}

Logger* SetLogger(Logger* logger) {
    Logger* previous = GetLogger();
    g_currentLogger.store(logger);
    return previous;
}

void SetTimestampsEnabled(bool enabled) {
    g_timestampsEnabled = enabled;
}
bool TimestampsEnabled() {
    return g_timestampsEnabled;
}

long LocalBiasMinutes(std::time_t when) {
    std::tm local{};
    if (localtime_r(&when, &local) == nullptr) {
        return 0;
    }
    // tm_gmtoff is seconds east of GMT; the bias is the minutes to add to
    // local time to reach GMT, so a zone west of Greenwich is positive.
    return -local.tm_gmtoff / 60;
}

std::string FormatTimePrefix(const std::tm& localTime, long biasMinutes) {
    const long hours = biasMinutes / 60; // truncation toward zero
    const long magnitude = hours < 0 ? -hours : hours;
    return std::to_string(localTime.tm_mday) + "/" + std::to_string(localTime.tm_mon + 1) + "/" +
           std::to_string(localTime.tm_year + 1900) + " " + std::to_string(localTime.tm_hour) + ":" +
           std::to_string(localTime.tm_min) + ":" + std::to_string(localTime.tm_sec) + " (" +
           (hours >= 0 ? "+" : "-") + std::to_string(magnitude) + " to GMT): ";
}

std::string Logger::FormatMessage(const std::string& message) const {
    std::string prefix;
    if (TimestampsEnabled()) {
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        prefix = FormatTimePrefix(local, LocalBiasMinutes(now));
    } else {
        prefix = "<date and time suppressed> - ";
    }
    switch (GetStringFormat()) {
    case Text:
        return prefix + message;
    case Xml:
        return Exception::CreateXMLNode("time", prefix, "") +
               Exception::CreateXMLNode("message", message, "");
    }
    throw Assert("Invalid case encountered, \"invalid format\" = " + std::to_string(GetStringFormat()),
                 EX_FRAME);
}

void Logger::Log(const std::string& message) {
    if (message.empty()) {
        throw Precondition("message.size() > 0", EX_FRAME);
    }
    Write(FormatMessage(message));
}

void Logger::LogFormatted(const std::string& formattedMessage) {
    if (GetStringFormat() != Xml) {
        throw Precondition("GetStringFormat() == Xml", EX_FRAME);
    }
    if (formattedMessage.empty()) {
        throw Precondition("formattedMessage.size() > 0", EX_FRAME);
    }
    Write(formattedMessage);
}

} // namespace Ex
