#include "BrowserLauncher.h"

#include "DesktopEntries.h"
#include "common/Ex/Logger.h"
#include "common/Process/Process.h"
#include "common/Win32/Win32Exception.h"

#include <cerrno>
#include <optional>

namespace Web {

namespace {

using Desktop::DefaultHandlerEntry;
using Desktop::ReadKey;
using Desktop::ResolveProgram;
using Desktop::UnescapeValue;

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
    const std::string entry = DefaultHandlerEntry(mimeType);
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
