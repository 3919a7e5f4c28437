#include "Tools/patcher/PatcherThread.h"

#include "Tools/patcher/MovieVersionReader.h"
#include "common/Ex/Exceptions.h"
#include "common/Ex/Logger.h"
#include "common/UI/Messages.h"
#include "common/Web/HttpExceptions.h"

#include <exception>

namespace Glm {

namespace {

constexpr const char* kCheckContext = "Glm::PatcherThread::ShouldGetPatch";

} // namespace

PatcherThread::PatcherThread(PatcherLocations locations, MovieVersionReader* movieReader,
                             std::string builtInVersion)
    : m_patcher(std::move(locations), movieReader, std::move(builtInVersion)) {}

PatcherThread::~PatcherThread() {
    ShutDown();
    m_patcher.ShutDown();
    if (m_thread) {
        m_thread->ShutDown();
    }
}

void PatcherThread::Start(UI::MessageTarget& target) {
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_target = &target;
        if (m_state == State::Done) {
            target.Post(UI::WM_GLM_PATCH_DONE);
            return;
        }
        if (m_state == State::Running) {
            return;
        }
        m_state = State::Running;
    }
    // The previous thread (if any) has ended its run; a thread runs once.
    if (m_thread) {
        m_thread->ShutDown();
    }
    m_thread = std::make_unique<Sync::Thread>(this);
    try {
        m_thread->Start();
    } catch (Ex::Exception&) {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_state = State::Idle;
        throw;
    }
}

void PatcherThread::ShutDown() {
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_target = nullptr;
}

std::string PatcherThread::GetParameter(const std::string& key) const {
    if (!IsLoaded()) {
        return {};
    }
    return m_patcher.GetParametersConst().Get(key);
}

void PatcherThread::SetParameter(const std::string& key, const std::string& value) {
    if (IsLoaded()) {
        m_patcher.GetParameters().Set(key, value);
    }
}

bool PatcherThread::IsLoaded() const {
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_state == State::Done;
}

void PatcherThread::Run() {
    try {
        m_patcher.Patch(m_relay);
    } catch (Ex::NonFatalException& e) {
        e.AddStackFrame(EX_FRAME);
        e.LogNoThrow("Glm::PatcherThread::Run");
    } catch (const std::exception& caught) {
        Ex::StlException(caught).LogNoThrow("Glm::PatcherThread::Run");
    }
}

UI::LRESULT PatcherThread::Relay::Send(std::uint32_t id, UI::WPARAM wParam, UI::LPARAM lParam,
                                       std::shared_ptr<void> object) {
    // The patcher only posts; a send would block on the interface thread.
    Post(id, wParam, lParam, std::move(object));
    return 0;
}

void PatcherThread::Relay::Post(std::uint32_t id, UI::WPARAM wParam, UI::LPARAM lParam,
                                std::shared_ptr<void> object) {
    const std::lock_guard<std::mutex> lock(m_owner.m_mutex);
    if (id == UI::WM_GLM_PATCH_DONE) {
        m_owner.m_state = State::Done;
    } else if (id == UI::WM_GLM_START_ERROR) {
        m_owner.m_state = State::Failed;
    }
    if (m_owner.m_target != nullptr) {
        m_owner.m_target->Post(id, wParam, lParam, std::move(object));
    }
}

bool PatcherThread::ShouldGetPatch() {
    try {
        ApplicationParameters table;
        table.Set("GLM_PATCHER_BASE_URL", ApplicationParameters::GetDefault("GLM_PATCHER_BASE_URL"));
        table.LoadFromFile(m_patcher.GetLocations().localParametersFile);
        table.LoadRemoteParameters(table.RemoteParametersAddress());
        const std::string serverVersion = table.Get("PATCHER_VERSION_STRING_SERVER");
        if (serverVersion != m_patcher.GetBuiltInVersion()) {
            if (m_patcher.GetLocations().programDirectoryWritable) {
                return true;
            }
            Ex::GetLogger()->Log("Version " + serverVersion +
                                 " is available; this installation is updated by its package manager.");
        }
        const std::string expected = table.Get("GLM_SWF_VERSION");
        for (const char* key : {"SWF_AVATAR_AND_BUTTERFLY", "SWF_AVATAR_FULL"}) {
            const std::optional<std::string> version = m_patcher.GetSWFVersion(GetParameter(key));
            if (version && *version != expected) {
                return true;
            }
        }
    } catch (Web::HttpShutDownException& e) {
        e.AddStackFrame(EX_FRAME);
        e.LogNoThrow(kCheckContext);
        const std::lock_guard<std::mutex> lock(m_mutex);
        if (m_target != nullptr) {
            m_target->Post(UI::WM_GLM_START_ERROR);
        }
    } catch (Ex::NonFatalException& e) {
        e.AddStackFrame(EX_FRAME);
        e.LogNoThrow(kCheckContext);
    } catch (const std::exception& caught) {
        Ex::StlException(caught).LogNoThrow(kCheckContext);
    }
    return false;
}

} // namespace Glm
