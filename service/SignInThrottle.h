#pragma once

#include <chrono>
#include <map>
#include <mutex>
#include <string>

namespace Service {

/// Slows down password guessing. After a few wrong sign-ins for one account, or many from one
/// address, further tries are refused for a time that doubles with each new failure (up to a
/// ceiling), without the password even being checked: a right password during the wait is
/// refused with the throttling code, never called wrong.
class SignInThrottle {
public:
    using Clock = std::chrono::steady_clock;

    struct Policy {
        int accountFailures = 5;  // free tries per account
        int addressFailures = 20; // free tries per address, over all accounts
        std::chrono::seconds firstWait{1};
        std::chrono::seconds longestWait{900};
    };

    SignInThrottle() = default;
    explicit SignInThrottle(Policy policy) : m_policy(policy) {}

    /// How long this sign-in must still wait (zero: it may try).
    Clock::duration Wait(const std::string& login, const std::string& address, Clock::time_point now);
    /// A wrong password or unknown account; returns the wait it now imposes (zero: none yet).
    Clock::duration Failed(const std::string& login, const std::string& address, Clock::time_point now);
    /// A right password clears the account's count (the address keeps its own).
    void Succeeded(const std::string& login);

private:
    struct Record {
        int failures = 0;
        Clock::time_point until{};
        Clock::time_point last{};
    };
    Clock::duration Fail(Record& record, int freeTries, Clock::time_point now);
    void Forget(Clock::time_point now);

    Policy m_policy;
    std::mutex m_mutex;
    std::map<std::string, Record> m_accounts;
    std::map<std::string, Record> m_addresses;
};

} // namespace Service
