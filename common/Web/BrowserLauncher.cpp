#include "BrowserLauncher.h"

#include "common/Ex/Logger.h"
#include "common/Process/Process.h"
#include "common/Win32/Win32Exception.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace Web {

namespace {

std::string Environment(const char* name, const std::string& fallback) {
    const char* value = std::getenv(name);
    return (value != nullptr && *value != '\0') ? std::string(value) : fallback;
}

std::string Home() {
    return Environment("HOME", "");
}

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

// The mimeapps.list files in the order the desktop consults them.
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

// The value of key in [section] of a desktop-entry style file.
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

// The installed desktop entry of desktopId, or "".
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

// program itself when it names a path, else its first executable on PATH,
// else "".
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

// Desktop-entry string escapes: \s \n \t \r \\.
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

template <class ExceptionType>
[[noreturn]] void Throw(const std::string& message, const Ex::Exception* cause = nullptr) {
    ExceptionType failure(cause);
    failure.Message() << message;
    failure.AddStackFrame(EX_FRAME);
    throw failure;
}

} // namespace

const std::vector<std::string>& BrowserLauncher::ApprovedBrowsers() {
    static const std::vector<std::string> approved = {"firefox",        "chromium", "chrome", "brave-browser",
                                                      "microsoft-edge", "vivaldi",  "opera"};
    return approved;
}

const std::vector<std::string>& BrowserLauncher::FallbackBrowsers() {
    static const std::vector<std::string> fallback = {"firefox",       "firefox-esr",
                                                      "chromium",      "chromium-browser",
                                                      "google-chrome", "google-chrome-stable",
                                                      "brave-browser", "microsoft-edge",
                                                      "vivaldi",       "opera"};
    return fallback;
}

bool BrowserLauncher::IsApprovedBrowser(const std::string& browser) {
    EX_PRECONDITION(!browser.empty());
    // The file name only: a directory called "firefox" does not make any
    // program in it a browser.
    const std::string fileName = browser.substr(browser.rfind('/') + 1);
    return std::any_of(ApprovedBrowsers().begin(), ApprovedBrowsers().end(),
                       [&](const std::string& name) { return fileName.find(name) != std::string::npos; });
}

std::vector<std::string> BrowserLauncher::GetBrowserComponents(const std::string& browserPathAndArguments,
                                                               std::string& path) {
    EX_PRECONDITION(!browserPathAndArguments.empty());
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    bool onlyFieldCodes = true; // the word so far came from field codes alone
    bool quoted = false;
    const std::string& text = browserPathAndArguments;
    auto finishWord = [&] {
        if (inWord && !(onlyFieldCodes && word.empty())) {
            words.push_back(word);
        }
        word.clear();
        inWord = false;
        onlyFieldCodes = true;
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"') {
                quoted = false;
            } else if (c == '\\' && i + 1 < text.size() &&
                       std::string("\"`$\\").find(text[i + 1]) != std::string::npos) {
                word.push_back(text[++i]);
            } else if (c == '%' && i + 1 < text.size()) {
                if (text[++i] == '%') {
                    word.push_back('%');
                }
            } else {
                word.push_back(c);
            }
            continue;
        }
        if (c == ' ' || c == '\t') {
            finishWord();
            continue;
        }
        inWord = true;
        if (c == '"') {
            quoted = true;
            onlyFieldCodes = false; // "" is a real, empty argument
            continue;
        }
        if (c == '%' && i + 1 < text.size()) {
            if (text[++i] == '%') {
                word.push_back('%');
                onlyFieldCodes = false;
            }
            continue;
        }
        if (c == '\\' && i + 1 < text.size()) {
            word.push_back(text[++i]);
        } else {
            word.push_back(c);
        }
        onlyFieldCodes = false;
    }
    finishWord();
    if (words.empty()) {
        path.clear();
        return {};
    }
    path = words.front();
    return std::vector<std::string>(words.begin() + 1, words.end());
}

void BrowserLauncher::UseBrowser(const std::string& path, const std::vector<std::string>& arguments) {
    m_browserPath = path;
    m_browserArguments = arguments;
}

void BrowserLauncher::SetBrowser(const std::string& mimeType) {
    if (mimeType.empty()) {
        throw Ex::Precondition("!registryPathAndKey.empty()", EX_FRAME);
    }
    // The first installed entry that a list names wins; a list whose entries
    // are all missing passes the question on to the next list.
    std::string entry;
    for (const std::string& list : MimeAppsFiles()) {
        const std::optional<std::string> handlers = ReadKey(list, "Default Applications", mimeType);
        if (!handlers) {
            continue;
        }
        for (const std::string& desktopId : SplitList(*handlers, ';')) {
            entry = DesktopEntryPath(Trim(desktopId));
            if (!entry.empty()) {
                break;
            }
        }
        if (!entry.empty()) {
            break;
        }
    }
    if (entry.empty()) {
        Throw<EmptyBrowserRegistryEntryException>("Empty browser registry setting found in \"" + mimeType +
                                                  "\"");
    }
    const std::optional<std::string> exec = ReadKey(entry, "Desktop Entry", "Exec");
    if (!exec || exec->empty()) {
        Throw<EmptyBrowserRegistryEntryException>("Empty browser registry setting found in \"" + entry +
                                                  "\"");
    }
    std::string program;
    const std::vector<std::string> arguments = GetBrowserComponents(UnescapeValue(*exec), program);
    if (program.empty() || !IsApprovedBrowser(program)) {
        Throw<NotApprovedBrowserException>("Browser \"" + program + "\" is not approved.");
    }
    const std::string resolved = ResolveProgram(program);
    if (resolved.empty()) {
        const Win32::Win32Exception cause("SetBrowser(" + program + ")", ENOENT);
        Throw<CantSetBrowserException>("Can't set web browser.", &cause);
    }
    UseBrowser(resolved, arguments);
}

void BrowserLauncher::SetBrowserToFallback() {
    for (const std::string& name : FallbackBrowsers()) {
        const std::string resolved = ResolveProgram(name);
        if (!resolved.empty()) {
            UseBrowser(resolved, {});
            return;
        }
    }
    Throw<EmptyBrowserRegistryEntryException>("Empty browser registry setting found in \"PATH\"");
}

void BrowserLauncher::SetBrowser() {
    try {
        SetBrowser("x-scheme-handler/https");
        return;
    } catch (Ex::Exception& failure) {
        failure.AddStackFrame(EX_FRAME);
        failure.Log("Can't set default https browser. Now trying http...");
    } catch (const std::exception& failure) {
        Ex::StlException wrapped(failure);
        wrapped.AddStackFrame(EX_FRAME);
        wrapped.Log("Can't set default https browser. Now trying http...");
    }
    try {
        SetBrowser("x-scheme-handler/http");
        return;
    } catch (Ex::Exception& failure) {
        failure.AddStackFrame(EX_FRAME);
        failure.Log("Can't set default http browser. Now trying IE...");
    } catch (const std::exception& failure) {
        Ex::StlException wrapped(failure);
        wrapped.AddStackFrame(EX_FRAME);
        wrapped.Log("Can't set default http browser. Now trying IE...");
    }
    try {
        SetBrowserToFallback();
    }
    EX_CATCH_ADD_FRAME_AND_RETHROW
}

void BrowserLauncher::LaunchURL(const std::string& url, bool useProcess) {
    if (url.empty()) {
        throw Ex::Precondition("!url.empty()", EX_FRAME);
    }
    if (useProcess) {
        try {
            SetBrowser();
            std::vector<std::string> argv = {m_browserPath};
            argv.insert(argv.end(), m_browserArguments.begin(), m_browserArguments.end());
            argv.push_back(url); // one argument, whatever it contains
            try {
                const Process::Process browser(argv);
            } catch (const Ex::Exception& failed) {
                Throw<CantLaunchBrowserException>("Can't launch web browser.", &failed);
            }
            return;
        } catch (Ex::NonFatalException& failure) {
            failure.AddStackFrame(EX_FRAME);
            failure.Log("Can't Launch Browser using Process class. Retrying with Win32::ShellExecute...");
        }
    } else {
        SetBrowser();
    }
    try {
        const Process::Process opener({"xdg-open", url});
    } catch (const Process::CantCreateProcess& failed) {
        const auto* cause = dynamic_cast<const Win32::Win32Exception*>(failed.GetCause().get());
        throw Win32::Win32Exception("ShellExecute", cause != nullptr ? cause->GetErrorCode() : ENOENT,
                                    &failed);
    }
}

} // namespace Web
