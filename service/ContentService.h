#pragma once

#include "GameStore.h"

#include <string>

namespace Service {

class Routes;

/// The content server (catalogue lists, the remote parameter file, the application binary and
/// movies) and the analytics beacon.
class ContentService {
public:
    /// `contentDirectory` may be empty: then only the generated files are served.
    ContentService(GameStore& store, std::string contentDirectory, std::string movieVersion);
    void Register(Routes& server);

    /// The remote parameter file: the content directory's patcher.ver when it has one, else the
    /// application's current version and the movie version.
    std::string PatcherVersionFile() const;

private:
    GameStore& m_store;
    std::string m_contentDirectory;
    std::string m_movieVersion;
};

} // namespace Service
