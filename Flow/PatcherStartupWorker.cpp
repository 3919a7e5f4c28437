#include "PatcherStartupWorker.h"

namespace Glm {

PatcherStartupWorker::PatcherStartupWorker(PatcherLocations locations, std::string builtInVersion)
    : m_cachedReader(m_movieReader, locations.movieDirectory + "/.movie-versions"),
      m_thread(std::move(locations), &m_cachedReader, std::move(builtInVersion)) {}

PatcherStartupWorker::~PatcherStartupWorker() {
    // The patcher thread may be waiting for the interface thread, which is
    // about to wait for the patcher thread.
    m_movieReader.Cancel();
}

} // namespace Glm
