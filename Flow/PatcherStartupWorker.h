#pragma once
// The start-up work behind the splash: the patcher (Tools/patcher) on its
// own thread, with a movie version reader that plays the movies in hidden
// views on the interface thread and remembers their answers per file
// (".movie-versions" in the movie directory).

#include "StartupWorker.h"
#include "Tools/patcher/CachedMovieVersionReader.h"
#include "Tools/patcher/FlashMovieVersionReader.h"
#include "Tools/patcher/PatcherThread.h"

#include <string>

namespace Glm {

class PatcherStartupWorker : public StartupWorker {
public:
    /// The patcher of the running program: locations as
    /// PatcherLocations::ForProgram gives them.
    PatcherStartupWorker(PatcherLocations locations, std::string builtInVersion);
    /// Cancels a movie check waiting for the interface thread, then stops
    /// the patcher's threads.
    ~PatcherStartupWorker() override;
    PatcherStartupWorker(const PatcherStartupWorker&) = delete;
    PatcherStartupWorker& operator=(const PatcherStartupWorker&) = delete;

    void Start(UI::MessageTarget& target) override { m_thread.Start(target); }
    void ShutDown() override { m_thread.ShutDown(); }
    std::string GetParameter(const std::string& key) const override { return m_thread.GetParameter(key); }
    void SetParameter(const std::string& key, const std::string& value) override {
        m_thread.SetParameter(key, value);
    }
    bool ShouldGetPatch() override { return m_thread.ShouldGetPatch(); }

    PatcherThread& GetPatcherThread() { return m_thread; }

private:
    FlashMovieVersionReader m_movieReader;
    CachedMovieVersionReader m_cachedReader;
    PatcherThread m_thread;
};

} // namespace Glm
