#include "SignInThrottle.h"

#include <algorithm>

namespace Service {

namespace {
// Records untouched for this long are dropped, so the maps stay bounded by recent activity.
constexpr auto kForgetAfter = std::chrono::hours(1);
// Beyond this many tracked names the oldest are dropped first.
constexpr std::size_t kLargestMap = 100000;
} // namespace

SignInThrottle::Clock::duration SignInThrottle::Wait(const std::string& login, const std::string& address,
                                                     Clock::time_point now) {
    std::lock_guard lock(m_mutex);
    Clock::duration wait{};
    if (const auto found = m_accounts.find(login); found != m_accounts.end()) {
        wait = std::max(wait, found->second.until - now);
    }
    if (const auto found = m_addresses.find(address); found != m_addresses.end()) {
        wait = std::max(wait, found->second.until - now);
    }
    return std::max(wait, Clock::duration::zero());
}

SignInThrottle::Clock::duration SignInThrottle::Fail(Record& record, int freeTries, Clock::time_point now) {
    ++record.failures;
    record.last = now;
    if (record.failures < freeTries) {
        return Clock::duration::zero();
    }
    const int doublings = std::min(record.failures - freeTries, 20);
    const auto wait =
        std::min<Clock::duration>(m_policy.firstWait * (1LL << doublings), m_policy.longestWait);
    record.until = now + wait;
    return wait;
}

SignInThrottle::Clock::duration SignInThrottle::Failed(const std::string& login, const std::string& address,
                                                       Clock::time_point now) {
    std::lock_guard lock(m_mutex);
    if (m_accounts.size() + m_addresses.size() > 1024) {
        Forget(now);
    }
    const auto byAccount = Fail(m_accounts[login], m_policy.accountFailures, now);
    const auto byAddress = Fail(m_addresses[address], m_policy.addressFailures, now);
    return std::max(byAccount, byAddress);
}

void SignInThrottle::Succeeded(const std::string& login) {
    std::lock_guard lock(m_mutex);
    m_accounts.erase(login);
}

void SignInThrottle::Forget(Clock::time_point now) {
    for (auto* records : {&m_accounts, &m_addresses}) {
        for (auto it = records->begin(); it != records->end();) {
            const bool stale = now - it->second.last > kForgetAfter && now >= it->second.until;
            it = stale || records->size() > kLargestMap ? records->erase(it) : std::next(it);
        }
    }
}

} // namespace Service
