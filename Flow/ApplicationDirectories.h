#pragma once

#include <string>

namespace Glm {

/// Where the application keeps its files: the executable's directory when
/// it is writable (a build tree or a portable install), otherwise the XDG
/// directories: $XDG_STATE_HOME/glimmeries for the log, $XDG_DATA_HOME/
/// glimmeries for sounds and movies, $XDG_CONFIG_HOME/glimmeries for
/// parameters.txt. Every directory exists after Find.
struct ApplicationDirectories {
    std::string log;
    std::string data;
    std::string config;

    /// Throws Win32::Win32Exception when a directory cannot be made.
    static ApplicationDirectories Find(const std::string& executableDirectory);
    /// Everything in one chosen directory (made when missing), as given on
    /// the command line or in GLIMMERIES_APP_DIR. Throws as Find.
    static ApplicationDirectories In(const std::string& directory);
    /// The directory chosen by --app-dir (given) or else by
    /// GLIMMERIES_APP_DIR; Find's choice when neither names one.
    static ApplicationDirectories Choose(const std::string& given, const std::string& executableDirectory);
};

} // namespace Glm
