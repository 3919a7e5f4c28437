#pragma once

#include <string>

namespace Web {

/// The file name of the running executable without its directory, as
/// requests name their agent. Falls back to "glimmeries" when the system
/// does not tell.
std::string DefaultAgentName();

} // namespace Web
