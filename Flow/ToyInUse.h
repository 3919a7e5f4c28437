#pragma once
// The toy the user chose on the devices screen (m_currentDevice), as the
// screens after it see it: the placeholder toy for the two actions offered
// without a toy (106, 107), otherwise the plugged toy with that device id.

#include "device/Toy.h"

#include <cstdint>
#include <functional>
#include <optional>

namespace Glm {

class Glimmeries;

/// Product ids of the three kinds of toy.
constexpr std::uint32_t kBraceletProduct = 4113;
constexpr std::uint32_t kGameProduct = 4114;
constexpr std::uint32_t kJewelryBoxProduct = 4115;
/// The devices screen's two actions offered without a toy.
constexpr std::int32_t kAddFriendsAction = 106;
constexpr std::int32_t kUseGlintPointsAction = 107;

bool IsPlaceholderChoice(std::int32_t currentDevice);

/// A copy of the toy in use; nothing when no toy was chosen or the chosen
/// toy is no longer listed.
std::optional<Toy> FindToyInUse(Glimmeries& application);
/// The toy in use exists and is present.
bool IsToyInUsePresent(Glimmeries& application);
/// Runs change on the toy in use itself (the placeholder, or the listed toy
/// under the list's lock); false when there is none.
bool UpdateToyInUse(Glimmeries& application, const std::function<void(Toy&)>& change);
/// A click id that is not zero and no reset waiting.
bool IsRegistered(const Toy& toy);

} // namespace Glm
