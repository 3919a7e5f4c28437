#include "common/Web/HInternet.h"

#include "common/Web/HttpExceptions.h"

namespace Web {

HInternet::HInternet(std::shared_ptr<InternetObject> handle, bool throwOnCloseFailure)
    : m_handle(std::move(handle)), m_throwOnCloseFailure(throwOnCloseFailure) {}

HInternet::~HInternet() {
    try {
        Close();
    } catch (Ex::Exception& e) {
        e.AddStackFrame(EX_FRAME);
        e.LogNoThrow("Web::HInternet::~HInternet");
    }
}

HInternet& HInternet::operator=(std::shared_ptr<InternetObject> handle) {
    try {
        Sync::AutoLock<> lock(m_lock);
        Close();
        m_handle = std::move(handle);
        return *this;
    }
    EX_CATCH_ADD_FRAME_AND_RETHROW
}

std::shared_ptr<InternetObject> HInternet::Get() {
    Sync::AutoLock<> lock(m_lock);
    return m_handle;
}

bool HInternet::IsValid() {
    try {
        Sync::AutoLock<> lock(m_lock);
        return m_handle != nullptr;
    }
    EX_CATCH_ADD_FRAME_AND_RETHROW
}

void HInternet::Close() {
    try {
        Sync::AutoLock<> lock(m_lock);
        if (!m_handle) {
            return;
        }
        const std::uint32_t failure = m_handle->Close();
        m_handle.reset();
        if (failure != 0 && m_throwOnCloseFailure) {
            throw WinInetException("InternetCloseHandle()", failure);
        }
    }
    EX_CATCH_ADD_FRAME_AND_RETHROW
}

void HInternet::ShutDown() {
    try {
        m_shutDown.store(true);
        Close();
    }
    EX_CATCH_ADD_FRAME_AND_RETHROW
}

} // namespace Web
