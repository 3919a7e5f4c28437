#include "device/DeviceWatcher.h"

#include "common/Ex/Exceptions.h"
#include "common/Ex/MessageBoxLogger.h"
#include "common/UI/Messages.h"
#include "device/DeviceLibrary.h"
#include "device/ResultCodes.h"
#include "device/Toy.h"

#include <memory>
#include <new>

namespace Glm {

DeviceWatcher::DeviceWatcher() : m_started(true, false) {}

DeviceWatcher::~DeviceWatcher() {
    try {
        Stop();
    } catch (const Ex::Exception& failed) {
        Ex::FatalError("Glm::DeviceWatcher::~DeviceWatcher", failed, true);
    }
}

std::int32_t DeviceWatcher::Start(UI::MessageTarget* target) {
    EX_PRECONDITION(target != nullptr);
    Stop();
    m_target.store(target);
    m_started.Reset();
    // A thread runs once; every start gets its own.
    m_thread = std::make_unique<Sync::Thread>(this);
    m_shutDown = &m_thread->GetShutDownSignal();
    m_thread->Start();
    m_started.Wait(Sync::INFINITE);
    return m_startResult.load();
}

void DeviceWatcher::Stop() {
    if (m_thread) {
        m_thread->ShutDown();
        m_thread.reset();
    }
}

void DeviceWatcher::Run() {
    // Discovery belongs to this thread from start to stop, so the device
    // list is emptied before the thread ends.
    GlmDev::GlmDevStop();
    m_startResult.store(GlmDev::GlmDevStart(&DeviceWatcher::OnDeviceEvent, this));
    m_started.Set();
    if (m_startResult.load() == GlmDev::kOk) {
        m_shutDown->Wait(Sync::INFINITE);
    }
    GlmDev::GlmDevStop();
}

void DeviceWatcher::OnDeviceEvent(void* context, std::uint32_t eventCode, const GlmDev::DeviceEvent* event) {
    auto* self = static_cast<DeviceWatcher*>(context);
    if (event == nullptr || self == nullptr) {
        return;
    }
    // A toy that cannot be allocated is announced without one; the screen
    // treats a missing object like a missing toy.
    std::shared_ptr<Toy> toy;
    try {
        toy = std::make_shared<Toy>(event->deviceId, event->productId);
    } catch (const std::bad_alloc&) {
        toy.reset();
    }
    UI::MessageTarget* target = self->m_target.load();
    if (target != nullptr) {
        target->Post(UI::WM_GLM_DEVICE_CHANGE, eventCode, 0, std::move(toy));
    }
}

} // namespace Glm
