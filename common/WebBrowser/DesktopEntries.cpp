#include "DesktopEntries.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace Web::Desktop {

namespace {

std::string Environment(const char* name, const std::string& fallback) {
    const char* value = std::getenv(name);
    return (value != nullptr && *value != '\0') ? std::string(value) : fallback;
}

std::string Home() {
    return Environment("HOME", "");
}

} // namespace

std::vector<std::string> SplitList(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(separator, start);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string part = text.substr(start, end - start);
        if (!part.empty()) {
            parts.push_back(std::move(part));
        }
        start = end + 1;
    }
    return parts;
}

std::string ConfigHome() {
    return Environment("XDG_CONFIG_HOME", Home() + "/.config");
}
std::vector<std::string> ConfigDirs() {
    return SplitList(Environment("XDG_CONFIG_DIRS", "/etc/xdg"), ':');
}
std::string DataHome() {
    return Environment("XDG_DATA_HOME", Home() + "/.local/share");
}
std::vector<std::string> DataDirs() {
    return SplitList(Environment("XDG_DATA_DIRS", "/usr/local/share:/usr/share"), ':');
}

std::vector<std::string> MimeAppsFiles() {
    std::vector<std::string> desktops;
    for (std::string desktop : SplitList(Environment("XDG_CURRENT_DESKTOP", ""), ':')) {
        std::transform(desktop.begin(), desktop.end(), desktop.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        desktops.push_back(desktop);
    }
    std::vector<std::string> directories = {ConfigHome()};
    for (const std::string& directory : ConfigDirs()) {
        directories.push_back(directory);
    }
    directories.push_back(DataHome() + "/applications");
    for (const std::string& directory : DataDirs()) {
        directories.push_back(directory + "/applications");
    }
    std::vector<std::string> files;
    for (const std::string& directory : directories) {
        for (const std::string& desktop : desktops) {
            files.push_back(directory + "/" + desktop + "-mimeapps.list");
        }
        files.push_back(directory + "/mimeapps.list");
    }
    return files;
}

std::string Trim(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return {};
    }
    const std::size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

std::optional<std::string> ReadKey(const std::string& file, const std::string& section,
                                   const std::string& key) {
    std::ifstream in(file);
    if (!in) {
        return std::nullopt;
    }
    std::string line;
    bool inSection = false;
    while (std::getline(in, line)) {
        line = Trim(line);
        if (line.empty() || line.front() == '#') {
            continue;
        }
        if (line.front() == '[') {
            inSection = line == "[" + section + "]";
            continue;
        }
        if (!inSection) {
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals != std::string::npos && Trim(line.substr(0, equals)) == key) {
            return Trim(line.substr(equals + 1));
        }
    }
    return std::nullopt;
}

bool IsFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool IsExecutable(const std::string& path) {
    return IsFile(path) && ::access(path.c_str(), X_OK) == 0;
}

std::string DesktopEntryPath(const std::string& desktopId) {
    if (desktopId.find('/') != std::string::npos) {
        return {};
    }
    std::vector<std::string> directories = {DataHome()};
    for (const std::string& directory : DataDirs()) {
        directories.push_back(directory);
    }
    for (const std::string& directory : directories) {
        const std::string candidate = directory + "/applications/" + desktopId;
        if (IsFile(candidate)) {
            return candidate;
        }
    }
    return {};
}

std::string ResolveProgram(const std::string& program) {
    if (program.find('/') != std::string::npos) {
        return IsExecutable(program) ? program : std::string();
    }
    for (const std::string& directory : SplitList(Environment("PATH", "/usr/local/bin:/usr/bin:/bin"), ':')) {
        const std::string candidate = directory + "/" + program;
        if (IsExecutable(candidate)) {
            return candidate;
        }
    }
    return {};
}

std::string UnescapeValue(const std::string& value) {
    std::string result;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            result.push_back(value[i]);
            continue;
        }
        const char next = value[++i];
        switch (next) {
        case 's':
            result.push_back(' ');
            break;
        case 'n':
            result.push_back('\n');
            break;
        case 't':
            result.push_back('\t');
            break;
        case 'r':
            result.push_back('\r');
            break;
        default:
            // "\\" and the Exec quoting escapes (\" \` \$) stay for the
            // command splitter.
            result.push_back('\\');
            result.push_back(next);
        }
    }
    return result;
}

std::string DefaultHandlerEntry(const std::string& mimeType) {
    // The first installed entry that a list names wins; a list whose entries
    // are all missing passes the question on to the next list.
    for (const std::string& list : MimeAppsFiles()) {
        const std::optional<std::string> handlers = ReadKey(list, "Default Applications", mimeType);
        if (!handlers) {
            continue;
        }
        for (const std::string& desktopId : SplitList(*handlers, ';')) {
            const std::string entry = DesktopEntryPath(Trim(desktopId));
            if (!entry.empty()) {
                return entry;
            }
        }
    }
    return {};
}

} // namespace Web::Desktop
