#pragma once
// The freedesktop.org files that name the user's browser: mimeapps.list
// ([Default Applications]) and desktop entries (Exec), found in the XDG
// directories the environment names.

#include <optional>
#include <string>
#include <vector>

namespace Web::Desktop {

/// The non-empty parts of text between separators.
std::vector<std::string> SplitList(const std::string& text, char separator);
/// text without leading blanks and tabs, and trailing blanks, tabs and CRs.
std::string Trim(const std::string& text);
/// The mimeapps.list files in the order the desktop consults them:
/// $XDG_CONFIG_HOME, $XDG_CONFIG_DIRS, $XDG_DATA_HOME/applications,
/// $XDG_DATA_DIRS/applications, each with the lists of $XDG_CURRENT_DESKTOP's
/// desktops before the generic one.
std::vector<std::string> MimeAppsFiles();
/// The value of key in [section] of a desktop-entry style file; none when
/// the file, the section or the key is missing.
std::optional<std::string> ReadKey(const std::string& file, const std::string& section,
                                   const std::string& key);
bool IsFile(const std::string& path);
bool IsExecutable(const std::string& path);
/// The installed desktop entry of desktopId under $XDG_DATA_HOME or
/// $XDG_DATA_DIRS, or "" (also for an id with a slash).
std::string DesktopEntryPath(const std::string& desktopId);
/// program itself when it names a path, else its first executable on PATH,
/// else "" (also when the file is not executable).
std::string ResolveProgram(const std::string& program);
/// Resolves the desktop-entry string escapes \s \n \t \r; "\\" and the
/// Exec quoting escapes stay for the command splitter.
std::string UnescapeValue(const std::string& value);
/// The first installed desktop entry that a mimeapps.list names as the
/// default handler of mimeType, or "".
std::string DefaultHandlerEntry(const std::string& mimeType);

} // namespace Web::Desktop
