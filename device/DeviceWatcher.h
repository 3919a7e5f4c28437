#pragma once
// Runs toy discovery for the application on a thread of its own and turns
// every arrival and removal into a WM_GLM_DEVICE_CHANGE message, posted to a
// message target with the event code as wParam and a new Toy as the
// message's object.

#include "common/Sync/Event.h"
#include "common/Sync/Thread.h"
#include "common/UI/MessageTarget.h"
#include "device/DeviceEvent.h"

#include <atomic>
#include <cstdint>
#include <memory>

namespace Glm {

class DeviceWatcher : public Sync::Runnable {
public:
    DeviceWatcher();
    /// Stops a running watcher.
    ~DeviceWatcher() override;
    DeviceWatcher(const DeviceWatcher&) = delete;
    DeviceWatcher& operator=(const DeviceWatcher&) = delete;

    /// Restarts discovery with target (not null) as the receiver of the
    /// messages. Returns once the toys present now have been posted, with
    /// the discovery result code (0, or -2 when discovery did not start).
    /// A running watcher is stopped first.
    std::int32_t Start(UI::MessageTarget* target);
    /// Stops discovery and the thread, and empties the device list. Nothing
    /// when not started.
    void Stop();

    /// The discovery thread's body; use Start.
    void Run() override;

private:
    static void OnDeviceEvent(void* context, std::uint32_t eventCode, const GlmDev::DeviceEvent* event);

    std::unique_ptr<Sync::Thread> m_thread; // a new one for every start
    Sync::AutoResetEvent* m_shutDown = nullptr;
    Sync::Event m_started;
    std::atomic<UI::MessageTarget*> m_target{nullptr};
    std::atomic<std::int32_t> m_startResult{0};
};

} // namespace Glm
