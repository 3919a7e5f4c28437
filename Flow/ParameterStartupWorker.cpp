#include "ParameterStartupWorker.h"

#include "common/Ex/Exceptions.h"
#include "common/UI/Messages.h"
#include "common/Web/HttpExceptions.h"

#include <exception>

namespace Glm {

namespace {

constexpr const char* kContext = "Glm::ParameterStartupWorker::Run";

void LogFailure(Ex::Exception& e) {
    e.LogNoThrow(kContext);
}

void LogFailure(const std::exception& caught) {
    Ex::StlException e(caught);
    LogFailure(e);
}

} // namespace

ParameterStartupWorker::ParameterStartupWorker(std::string localFile) : m_localFile(std::move(localFile)) {}

ParameterStartupWorker::~ParameterStartupWorker() {
    ShutDown();
    if (m_thread) {
        m_thread->ShutDown();
    }
}

void ParameterStartupWorker::Start(UI::MessageTarget& target) {
    State state = State::Idle;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_target = &target;
        state = m_state;
        if (state == State::Loaded) {
            target.Post(UI::WM_GLM_PATCH_DONE);
            return;
        }
        if (state == State::Loading) {
            return;
        }
        m_state = State::Loading;
    }
    // The previous thread (if any) has ended its load; a thread runs once.
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

void ParameterStartupWorker::ShutDown() {
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_target = nullptr;
}

std::string ParameterStartupWorker::GetParameter(const std::string& key) const {
    if (!IsLoaded()) {
        return {};
    }
    return m_parameters.Get(key);
}

void ParameterStartupWorker::SetParameter(const std::string& key, const std::string& value) {
    if (IsLoaded()) {
        m_parameters.Set(key, value);
    }
}

bool ParameterStartupWorker::IsLoaded() const {
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_state == State::Loaded;
}

void ParameterStartupWorker::Run() {
    const bool loaded = Load();
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_state = loaded ? State::Loaded : State::Failed;
    if (m_target != nullptr) {
        // Posted, never sent: the user-interface thread may be waiting for
        // this thread while it hands over its target.
        m_target->Post(loaded ? UI::WM_GLM_PATCH_DONE : UI::WM_GLM_START_ERROR);
    }
}

bool ParameterStartupWorker::Load() {
    bool retrieved = true;
    try {
        m_parameters.SetDefaults();
    } catch (Ex::NonFatalException& e) {
        e.AddStackFrame(EX_FRAME);
        LogFailure(e);
    } catch (const std::exception& caught) {
        LogFailure(caught);
    }
    LoadLocalFile();
    try {
        m_parameters.LoadRemoteParameters(m_parameters.RemoteParametersAddress());
    } catch (Web::HttpShutDownException& e) {
        e.AddStackFrame(EX_FRAME);
        LogFailure(e);
        retrieved = false;
    } catch (Web::CantRetrieveResourceException& e) {
        e.AddStackFrame(EX_FRAME);
        LogFailure(e);
        retrieved = false;
    } catch (Ex::NonFatalException& e) {
        // Anything else costs only the remote values.
        e.AddStackFrame(EX_FRAME);
        LogFailure(e);
    } catch (const std::exception& caught) {
        LogFailure(caught);
    }
    // Local settings win over remote ones.
    LoadLocalFile();
    return retrieved;
}

void ParameterStartupWorker::LoadLocalFile() {
    try {
        m_parameters.LoadFromFile(m_localFile);
    } catch (Ex::NonFatalException& e) {
        e.AddStackFrame(EX_FRAME);
        LogFailure(e);
    } catch (const std::exception& caught) {
        LogFailure(caught);
    }
}

} // namespace Glm
