#pragma once

#include "GameStore.h"

#include <ostream>
#include <string>
#include <vector>

namespace Service {

/// Runs one administration command (account, fairy, toy, points, reports, seed) on the store and
/// writes its result to `out`. Returns the exit code: 0 done, 1 refused (the reason is written
/// to `err`), 2 not understood.
int RunAdminCommand(GameStore& store, const std::vector<std::string>& arguments, std::ostream& out,
                    std::ostream& err);

/// Creates the demo world and prints the accounts with their passwords. Refused (GameError
/// ACCOUNT_EXISTS) when it was seeded before.
void SeedDemoWorld(GameStore& store, std::ostream& out);

} // namespace Service
