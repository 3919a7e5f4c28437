#pragma once
// The start-up work behind the splash until the application can update
// itself: on a thread of its own it fills the application's parameter table
// (built-in defaults, the local file, the remote file from the content
// server, the local file again) and then reports WM_GLM_PATCH_DONE, or
// WM_GLM_START_ERROR when the content server cannot be reached.
//
// The table belongs to the worker, which lives as long as the application
// object: a restart of the interface does not load it again.

#include "StartupWorker.h"
#include "Tools/ApplicationParameters.h"
#include "common/Sync/Thread.h"

#include <memory>
#include <mutex>
#include <string>

namespace Glm {

class ParameterStartupWorker : public StartupWorker, public Sync::Runnable {
public:
    /// localFile is the local parameter file ("parameters.txt" in the
    /// application's configuration directory).
    explicit ParameterStartupWorker(std::string localFile);
    /// Waits for a load under way to end.
    ~ParameterStartupWorker() override;
    ParameterStartupWorker(const ParameterStartupWorker&) = delete;
    ParameterStartupWorker& operator=(const ParameterStartupWorker&) = delete;

    /// Reports to target from now on. The first start (and a start after a
    /// start error) loads the table on a new thread; a start while loading
    /// only changes the target; a start after a complete load posts
    /// WM_GLM_PATCH_DONE at once. Throws what Sync::Thread::Start throws.
    void Start(UI::MessageTarget& target) override;
    /// Stops reporting to the target of Start without waiting: a load under
    /// way goes on and reports to the target of the next Start.
    void ShutDown() override;
    /// "" until the table is complete.
    std::string GetParameter(const std::string& key) const override;
    void SetParameter(const std::string& key, const std::string& value) override;
    /// No update check is made by this worker.
    bool ShouldGetPatch() override { return false; }

    /// The table, for the writers after start-up (user-interface thread only,
    /// once WM_GLM_PATCH_DONE has arrived).
    ApplicationParameters& GetParameters() { return m_parameters; }
    /// True once the table is complete.
    bool IsLoaded() const;

    /// The thread's body; use Start.
    void Run() override;

private:
    enum class State { Idle, Loading, Loaded, Failed };

    // Fills the table; false when the remote file could not be retrieved.
    bool Load();
    void LoadLocalFile();

    const std::string m_localFile;
    mutable std::mutex m_mutex; // guards m_target and m_state
    UI::MessageTarget* m_target = nullptr;
    State m_state = State::Idle;
    ApplicationParameters m_parameters;
    std::unique_ptr<Sync::Thread> m_thread; // a new one for every load
};

} // namespace Glm
