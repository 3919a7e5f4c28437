#pragma once
// The work that runs behind the splash at start-up (the patcher): it fills
// the parameter table and reports to the splash with WM_GLM_PATCH_PROGRESS,
// WM_GLM_PATCH_DONE, or WM_GLM_START_ERROR when start-up cannot go on.

#include "common/UI/MessageTarget.h"

#include <string>

namespace Glm {

class StartupWorker {
public:
    virtual ~StartupWorker() = default;

    /// Starts the work, reporting to target. A restart of the interface calls
    /// it again with the new splash; a worker that has finished reports
    /// WM_GLM_PATCH_DONE again at once.
    virtual void Start(UI::MessageTarget& target) = 0;
    /// Stops reporting to the target given to Start (the splash is going
    /// away). Work under way may go on and report to the target of the next
    /// Start; the worker's destructor waits for it.
    virtual void ShutDown() = 0;
    /// The parameter value of key, "" when it is not set. Only valid after
    /// WM_GLM_PATCH_DONE.
    virtual std::string GetParameter(const std::string& key) const = 0;
    /// Replaces the value of key for the rest of the process (a screen that
    /// completes an address before the next screen opens it). User-interface
    /// thread, after WM_GLM_PATCH_DONE.
    virtual void SetParameter(const std::string& key, const std::string& value) = 0;
    /// The update check run when the application comes back from the tray:
    /// true when a newer version waits on the content server.
    virtual bool ShouldGetPatch() = 0;
};

} // namespace Glm
