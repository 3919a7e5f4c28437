#include "ApplicationDirectories.h"

#include "common/Win32/Win32Exception.h"

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace Glm {

namespace {

std::string XdgDirectory(const char* variable, const char* fallbackUnderHome) {
    const char* value = std::getenv(variable);
    if (value != nullptr && value[0] == '/') {
        return std::string(value) + "/glimmeries";
    }
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : "/tmp") + "/" + fallbackUnderHome + "/glimmeries";
}

void MakeDirectory(const std::string& path) {
    std::error_code error;
    std::filesystem::create_directories(path, error);
    if (error) {
        throw Win32::Win32Exception("CreateDirectory(" + path + ")",
                                    static_cast<std::uint32_t>(error.value()));
    }
}

} // namespace

ApplicationDirectories ApplicationDirectories::In(const std::string& directory) {
    MakeDirectory(directory);
    std::error_code error;
    const std::string absolute = std::filesystem::absolute(directory, error).lexically_normal().string();
    const std::string chosen = error ? directory : absolute;
    return {chosen, chosen, chosen};
}

ApplicationDirectories ApplicationDirectories::Choose(const std::string& given,
                                                      const std::string& executableDirectory) {
    if (!given.empty()) {
        return In(given);
    }
    const char* fromEnvironment = std::getenv("GLIMMERIES_APP_DIR");
    if (fromEnvironment != nullptr && fromEnvironment[0] != '\0') {
        return In(fromEnvironment);
    }
    return Find(executableDirectory);
}

ApplicationDirectories ApplicationDirectories::Find(const std::string& executableDirectory) {
    if (::access(executableDirectory.c_str(), W_OK) == 0) {
        return {executableDirectory, executableDirectory, executableDirectory};
    }
    ApplicationDirectories directories{XdgDirectory("XDG_STATE_HOME", ".local/state"),
                                       XdgDirectory("XDG_DATA_HOME", ".local/share"),
                                       XdgDirectory("XDG_CONFIG_HOME", ".config")};
    MakeDirectory(directories.log);
    MakeDirectory(directories.data);
    MakeDirectory(directories.config);
    return directories;
}

} // namespace Glm
