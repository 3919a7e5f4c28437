#pragma once

#include "GameStore.h"

namespace httplib {
class Server;
}

namespace Service {

/// The web service under /api/: one handler per request name, XML answers with a success
/// element and, on refusal, an error element with the code.
class ApiService {
public:
    explicit ApiService(GameStore& store) : m_store(store) {}

    /// Adds the routes to a server; `secure` tells whether it serves HTTPS, which decides the
    /// session cookie's Secure flag and which cookies it accepts.
    void Register(httplib::Server& server, bool secure);

private:
    GameStore& m_store;
};

} // namespace Service
