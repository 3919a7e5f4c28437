#include "Win32Exception.h"

#include <cerrno>
#include <cstring>
#include <map>
#include <mutex>

namespace Win32 {

namespace {

struct ErrorTextSources {
    std::mutex mutex;
    std::map<std::string, std::function<std::optional<std::string>(std::uint32_t)>> sources;
};

ErrorTextSources& Sources() {
    static ErrorTextSources instance;
    return instance;
}

std::string TrimLineEnds(std::string text) {
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) {
        text.pop_back();
    }
    return text;
}

} // namespace

Win32Exception::Win32Exception(const std::string& call, std::uint32_t errorCode, const Ex::Exception* cause)
    : FormattedException(errorCode, cause) {
    Message() << "Call to " << call << " failed with (" << errorCode << ") " << ErrorCodeToText(errorCode);
}

Win32Exception Win32Exception::FromErrno(const std::string& call, const Ex::Exception* cause) {
    return Win32Exception(call, static_cast<std::uint32_t>(errno), cause);
}

void RegisterErrorTextSource(const std::string& moduleName,
                             std::function<std::optional<std::string>(std::uint32_t)> lookup) {
    ErrorTextSources& registry = Sources();
    std::lock_guard lock(registry.mutex);
    registry.sources[moduleName] = std::move(lookup);
}

std::string ErrorCodeToText(std::uint32_t code, const std::string& moduleName) {
    if (moduleName.empty()) {
        char buffer[256] = {};
        const char* text = strerror_r(static_cast<int>(code), buffer, sizeof buffer);
        if (text == nullptr || *text == '\0') {
            return "\nCould not convert error code '" + std::to_string(code) +
                   "' to text - ::FormatMessage() returned an error code of (" + std::to_string(EINVAL) +
                   ").";
        }
        return TrimLineEnds(text);
    }
    std::function<std::optional<std::string>(std::uint32_t)> lookup;
    {
        ErrorTextSources& registry = Sources();
        std::lock_guard lock(registry.mutex);
        auto found = registry.sources.find(moduleName);
        if (found != registry.sources.end()) {
            lookup = found->second;
        }
    }
    if (!lookup) {
        return "\nCould not convert error code '" + std::to_string(code) + "' to text using module '" +
               moduleName + "' - ::LoadLibraryEx() returned an error code of (" + std::to_string(ENOENT) +
               ") : " + ErrorCodeToText(ENOENT);
    }
    if (std::optional<std::string> text = lookup(code); text && !text->empty()) {
        return TrimLineEnds(*text);
    }
    return "\nCould not convert error code '" + std::to_string(code) +
           "' to text - ::FormatMessage() returned an error code of (" + std::to_string(EINVAL) + ").";
}

} // namespace Win32
