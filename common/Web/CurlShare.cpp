#include "common/Web/CurlShare.h"

#include "common/Web/HttpExceptions.h"

#include <array>
#include <mutex>

namespace Web {

namespace {

std::array<std::mutex, CURL_LOCK_DATA_LAST>& ShareLocks() {
    static std::array<std::mutex, CURL_LOCK_DATA_LAST> locks;
    return locks;
}

void LockShare(CURL*, curl_lock_data data, curl_lock_access, void*) {
    ShareLocks()[static_cast<std::size_t>(data)].lock();
}

void UnlockShare(CURL*, curl_lock_data data, void*) {
    ShareLocks()[static_cast<std::size_t>(data)].unlock();
}

} // namespace

std::shared_ptr<CurlShare> CurlShare::Instance() {
    static std::mutex mutex;
    static std::shared_ptr<CurlShare> instance;
    std::lock_guard lock(mutex);
    if (!instance) {
        instance.reset(new CurlShare());
    }
    return instance;
}

CurlShare::CurlShare() {
    // curl_global_init is not thread-safe before libcurl 7.84 and must run
    // once; doing it here, under Instance's lock, covers every user.
    if (const CURLcode code = curl_global_init(CURL_GLOBAL_DEFAULT); code != CURLE_OK) {
        throw WinInetException("curl_global_init", code);
    }
    m_share = curl_share_init();
    if (m_share == nullptr) {
        throw WinInetException("curl_share_init", CURLE_OUT_OF_MEMORY);
    }
    curl_share_setopt(m_share, CURLSHOPT_LOCKFUNC, &LockShare);
    curl_share_setopt(m_share, CURLSHOPT_UNLOCKFUNC, &UnlockShare);
    curl_share_setopt(m_share, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
    curl_share_setopt(m_share, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
    curl_share_setopt(m_share, CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION);
}

CurlShare::~CurlShare() {
    curl_share_cleanup(m_share);
}

} // namespace Web
