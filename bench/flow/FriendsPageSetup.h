#pragma once
// Setting up the friendship benchmark's families on the service, apart from
// the application's headers (the HTTP library's TLS names clash with them).

#include "tests/support/ServiceProcess.h"

#include <cstdint>
#include <string>

namespace FriendsBench {

/// Signs login (password "benchpass") in and registers a new bracelet for its
/// Fairy, as a set-up does; the bracelet's click id, 0 on failure.
std::uint32_t SetUpBracelet(const ServiceTest::ServiceProcess& service, const std::string& login,
                            const std::string& fairyId);

/// The decimal number that follows word and a blank (or "=\"") in text; ""
/// when there is none.
std::string NumberAfter(const std::string& text, const std::string& word);

} // namespace FriendsBench
