#pragma once
// The file in which a virtual toy keeps its memory between plug-ins:
//     glimmeries-toy state 1
//     kind bracelet|game|jewelrybox
//     8 lines of 16 lower-case hex bytes separated by blanks
// It is replaced as a whole (written beside and renamed), so a toy killed
// mid-write leaves the previous state.

#include "toys/ToyFirmware.h"

#include <cstdint>
#include <string>

namespace Toys {

enum class StateLoad { Missing, Loaded, Damaged };

/// Loads path into memory. Missing when there is no file; Damaged, with the
/// reason in error and memory unchanged, when it is not a state file of a
/// toy with productId. The file is never changed.
StateLoad LoadToyState(const std::string& path, std::uint16_t productId, ToyMemory& memory,
                       std::string& error);

/// Writes the state; false with the reason in error.
bool SaveToyState(const std::string& path, std::uint16_t productId, const ToyMemory& memory,
                  std::string& error);

/// $XDG_STATE_HOME/glimmeries/toys/NAME.state, with ~/.local/state when
/// XDG_STATE_HOME is not set.
std::string DefaultStatePath(const std::string& name);

} // namespace Toys
