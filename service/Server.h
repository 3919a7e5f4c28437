#pragma once

#include "GameStore.h"
#include "HttpServer.h"

#include <ostream>
#include <string>

namespace Service {

struct ServeOptions {
    std::string dataDirectory;
    std::string contentDirectory;
    std::string movieVersion = "1";
    int httpPort = 18480;
    int httpsPort = 18443;
    GameRules rules;
    ConnectionLimits limits;
};

/// Runs the service on 127.0.0.1 until SIGINT or SIGTERM. Prints "listening http=P https=P" as
/// its first line, then where the certificate authority is. Returns the process exit code.
int Serve(const ServeOptions& options);

/// The data directory to use when none is given: $XDG_DATA_HOME/glimmeries-service, or
/// ~/.local/share/glimmeries-service.
std::string DefaultDataDirectory();

/// Creates the data directory when needed and closes it to other users (0700, files 0600).
/// False, with the reason written to `err`, when it cannot be had.
bool PrepareDataDirectory(const std::string& dataDirectory, std::ostream& err);

/// The database file inside a data directory.
std::string DatabasePath(const std::string& dataDirectory);

} // namespace Service
