#pragma once
// Runs the patcher behind the splash on a thread of its own, and answers the
// update check made when the application comes back from the tray.
//
// The patcher's table lives as long as this object (the application's): a
// restart of the interface does not load it again. Messages go to the
// target of the last Start; while no target is attached they are dropped.

#include "Tools/patcher/Patcher.h"
#include "common/Sync/Thread.h"
#include "common/UI/MessageTarget.h"

#include <memory>
#include <mutex>
#include <string>

namespace Glm {

class PatcherThread : public Sync::Runnable {
public:
    PatcherThread(PatcherLocations locations, MovieVersionReader* movieReader, std::string builtInVersion);
    /// Aborts a download and waits for the threads.
    ~PatcherThread() override;
    PatcherThread(const PatcherThread&) = delete;
    PatcherThread& operator=(const PatcherThread&) = delete;

    /// Reports to target from now on. The first start (and one after a
    /// start error) runs the patcher on a new thread; a start while it runs
    /// only changes the target; a start after WM_GLM_PATCH_DONE posts it
    /// again at once. Throws what Sync::Thread::Start throws.
    void Start(UI::MessageTarget& target);
    /// Stops reporting to the target of Start, without waiting.
    void ShutDown();
    /// "" until WM_GLM_PATCH_DONE.
    std::string GetParameter(const std::string& key) const;
    /// Replaces the value of key once the table is complete (ignored
    /// before: the patcher still owns the table then).
    void SetParameter(const std::string& key, const std::string& value);
    /// True once WM_GLM_PATCH_DONE has been posted.
    bool IsLoaded() const;
    /// The check on return from the tray, with a table of its own: true
    /// when the content server announces another program version (only
    /// where the program may be replaced) or another movie version than an
    /// avatar movie answers. A content server that is shutting down gives
    /// WM_GLM_START_ERROR to the target; every failure is logged and gives
    /// false. Interface thread.
    bool ShouldGetPatch();

    Patcher& GetPatcher() { return m_patcher; }
    /// The thread's body; use Start.
    void Run() override;

private:
    enum class State { Idle, Running, Done, Failed };

    // Forwards to the current target and notes how the run ended.
    class Relay : public UI::MessageTarget {
    public:
        explicit Relay(PatcherThread& owner) : m_owner(owner) {}
        UI::LRESULT Send(std::uint32_t id, UI::WPARAM wParam, UI::LPARAM lParam,
                         std::shared_ptr<void> object) override;
        void Post(std::uint32_t id, UI::WPARAM wParam, UI::LPARAM lParam,
                  std::shared_ptr<void> object) override;

    private:
        PatcherThread& m_owner;
    };

    mutable std::mutex m_mutex; // guards m_target and m_state
    UI::MessageTarget* m_target = nullptr;
    State m_state = State::Idle;
    Relay m_relay{*this};
    Patcher m_patcher;
    std::unique_ptr<Sync::Thread> m_thread; // a new one for every run
};

} // namespace Glm
