#pragma once
// What a Web::HInternet holds: one libcurl-backed object (the session, a
// connection to one server, or one request). Objects are shared so that a
// request keeps its connection's libcurl state alive while it runs, and so
// that closing a handle from another thread never frees memory that a
// blocked call is still using: closing only tells the object to stop.

#include <cstdint>

namespace Web {

class InternetObject {
public:
    InternetObject() = default;
    InternetObject(const InternetObject&) = delete;
    InternetObject& operator=(const InternetObject&) = delete;
    virtual ~InternetObject() = default;

    /// Called once when the owning handle lets the object go. Makes every
    /// blocked wait on the object return. Returns 0, or the libcurl code of
    /// a failure to do so. Must be safe to call from any thread.
    virtual std::uint32_t Close() noexcept { return 0; }
};

} // namespace Web
