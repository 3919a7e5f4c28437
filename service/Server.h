#pragma once

#include "GameStore.h"

#include <string>

namespace Service {

struct ServeOptions {
    std::string dataDirectory;
    std::string contentDirectory;
    std::string movieVersion = "1";
    int httpPort = 18480;
    int httpsPort = 18443;
    GameRules rules;
};

/// Runs the service on 127.0.0.1 until SIGINT or SIGTERM. Prints "listening http=P https=P" as
/// its first line, then where the certificate authority is. Returns the process exit code.
int Serve(const ServeOptions& options);

/// The data directory to use when none is given: $XDG_DATA_HOME/glimmeries-service, or
/// ~/.local/share/glimmeries-service.
std::string DefaultDataDirectory();

/// The database file inside a data directory.
std::string DatabasePath(const std::string& dataDirectory);

} // namespace Service
