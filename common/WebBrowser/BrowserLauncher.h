#pragma once
// Opens web pages in the user's browser.
//
// The browser is the desktop's default handler for https (then http): the
// first installed desktop entry that the mimeapps.list files name under
// [Default Applications], searched in the XDG order ($XDG_CONFIG_HOME,
// $XDG_CONFIG_DIRS, $XDG_DATA_HOME/applications, $XDG_DATA_DIRS/applications;
// desktop-specific lists before the generic ones), and the Exec line of that
// entry. Failing both, the first approved browser found on PATH. Only
// approved browsers are started by this launcher itself.

#include "BrowserExceptions.h"

#include <string>
#include <vector>

namespace Web {

class BrowserLauncher {
public:
    BrowserLauncher() = default;
    virtual ~BrowserLauncher() = default;

    /// Opens url. Process route (useProcess): the default-browser search,
    /// then the browser is started directly with the url as one argument of
    /// its own; when that fails the failure is logged and the default route
    /// is taken. Default route: the default-browser search, then xdg-open
    /// with the url as its one argument. Throws Ex::Precondition "!url.empty()",
    /// the search's exceptions, and Win32::Win32Exception "ShellExecute" when
    /// xdg-open cannot be started.
    void LaunchURL(const std::string& url, bool useProcess);

    /// The default-browser search: SetBrowser("x-scheme-handler/https"), then
    /// "x-scheme-handler/http", then SetBrowserToFallback, logging each
    /// failure before the next step. The last step's failure is rethrown.
    void SetBrowser();
    /// Makes the default handler of mimeType the browser. Throws
    /// Ex::Precondition "!registryPathAndKey.empty()" for an empty type,
    /// EmptyBrowserRegistryEntryException when no installed handler (or no
    /// Exec line) is found, NotApprovedBrowserException when its program is
    /// not an approved browser, CantSetBrowserException when the program
    /// cannot be found or run.
    void SetBrowser(const std::string& mimeType);
    /// The first approved browser found on PATH, in the order of
    /// FallbackBrowsers. Throws EmptyBrowserRegistryEntryException "PATH"
    /// when there is none.
    void SetBrowserToFallback();
    /// Historical name of SetBrowserToFallback, kept for callers.
    void SetBrowserToInternetExplorer() { SetBrowserToFallback(); }

    /// Splits a desktop-entry Exec command into the program (path) and its
    /// arguments, with quoting and escapes resolved and field codes such as
    /// %u and %F removed ("%%" gives "%"). Throws Ex::Precondition
    /// "!browserPathAndArguments.empty()" for an empty command.
    static std::vector<std::string> GetBrowserComponents(const std::string& browserPathAndArguments,
                                                         std::string& path);
    /// True when the file name of browser contains an approved name
    /// (case-sensitive). Throws Ex::Precondition "!browser.empty()".
    static bool IsApprovedBrowser(const std::string& browser);

    /// Approved browsers of this platform: Firefox and the Chromium family
    /// (Chromium, Google Chrome, Brave, Microsoft Edge, Vivaldi, Opera).
    static const std::vector<std::string>& ApprovedBrowsers();
    /// Program names tried on PATH by SetBrowserToFallback, in order.
    static const std::vector<std::string>& FallbackBrowsers();

    /// The chosen browser: its program (absolute when found on PATH) and the
    /// arguments from its Exec line; empty before a successful search.
    const std::string& GetBrowserPath() const { return m_browserPath; }
    const std::vector<std::string>& GetBrowserArguments() const { return m_browserArguments; }

private:
    void UseBrowser(const std::string& path, const std::vector<std::string>& arguments);

    std::string m_browserPath;
    std::vector<std::string> m_browserArguments;
};

} // namespace Web
