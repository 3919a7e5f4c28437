#pragma once

#include "GameStore.h"
#include "SignInThrottle.h"

namespace Service {

class Routes;

/// The web service under /api/: one handler per request name, XML answers with a success
/// element and, on refusal, an error element with the code.
class ApiService {
public:
    explicit ApiService(GameStore& store) : m_store(store) {}

    /// Adds the routes to a server; `secure` tells whether it serves HTTPS, which decides the
    /// session cookie's Secure flag and which cookies it accepts.
    void Register(Routes& server, bool secure);

private:
    GameStore& m_store;
    SignInThrottle m_throttle; // shared by HTTP and HTTPS
};

} // namespace Service
