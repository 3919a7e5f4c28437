#pragma once

#include "GameStore.h"

namespace Service {

class Routes;

/// The game's web pages: help, registration, recovery, account hold, the movie player note,
/// Fairy creation, the start and portrait pages and the charm collection.
class WebPages {
public:
    explicit WebPages(GameStore& store) : m_store(store) {}
    void Register(Routes& server);

private:
    GameStore& m_store;
};

} // namespace Service
