#include "device/bus/SimulatedBusNames.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace GlmDev {

namespace {

constexpr std::size_t kMaxNameLength = 64;

bool ParseHex4(const std::string& text, std::size_t at, std::uint16_t& value) {
    if (at + 4 > text.size()) {
        return false;
    }
    unsigned result = 0;
    for (std::size_t i = at; i < at + 4; ++i) {
        const char c = text[i];
        unsigned digit = 0;
        if (c >= '0' && c <= '9') {
            digit = static_cast<unsigned>(c - '0');
        } else if (c >= 'a' && c <= 'f') {
            digit = static_cast<unsigned>(c - 'a' + 10);
        } else {
            return false;
        }
        result = result * 16 + digit;
    }
    value = static_cast<std::uint16_t>(result);
    return true;
}

} // namespace

std::string SimulatedBusDirectory() {
    const char* configured = std::getenv("GLIMMERIES_TOY_DIR");
    if (configured != nullptr && *configured != '\0') {
        return configured;
    }
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && *runtime != '\0') {
        return std::string(runtime) + "/glimmeries/toys";
    }
    return "/tmp/glimmeries-" + std::to_string(::getuid()) + "/toys";
}

bool EnsureDirectory(const std::string& path) {
    if (path.empty()) {
        errno = ENOENT;
        return false;
    }
    for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            return false;
        }
        if (slash == std::string::npos) {
            break;
        }
    }
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return false;
    }
    if (!S_ISDIR(info.st_mode)) {
        errno = ENOTDIR;
        return false;
    }
    return true;
}

bool IsValidToyName(const std::string& name) {
    if (name.empty() || name.size() > kMaxNameLength) {
        return false;
    }
    for (const char c : name) {
        const bool allowed = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                             c == '_' || c == '-';
        if (!allowed) {
            return false;
        }
    }
    return true;
}

std::string FormatToySocketName(std::uint16_t vendorId, std::uint16_t productId, const std::string& name) {
    char prefix[32];
    std::snprintf(prefix, sizeof prefix, "toy-%04x-%04x-", static_cast<unsigned>(vendorId),
                  static_cast<unsigned>(productId));
    return prefix + name + ".sock";
}

std::optional<SimulatedToyName> ParseToySocketName(const std::string& fileName) {
    static const std::string kPrefix = "toy-";
    static const std::string kSuffix = ".sock";
    // "toy-" VVVV "-" PPPP "-" NAME ".sock"
    if (fileName.size() < kPrefix.size() + 10 + 1 + kSuffix.size() || fileName.compare(0, 4, kPrefix) != 0 ||
        fileName.compare(fileName.size() - kSuffix.size(), kSuffix.size(), kSuffix) != 0 ||
        fileName[8] != '-' || fileName[13] != '-') {
        return std::nullopt;
    }
    SimulatedToyName parsed;
    if (!ParseHex4(fileName, 4, parsed.vendorId) || !ParseHex4(fileName, 9, parsed.productId)) {
        return std::nullopt;
    }
    parsed.name = fileName.substr(14, fileName.size() - 14 - kSuffix.size());
    if (!IsValidToyName(parsed.name)) {
        return std::nullopt;
    }
    return parsed;
}

} // namespace GlmDev
