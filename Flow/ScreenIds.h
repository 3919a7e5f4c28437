#pragma once
// The dialog numbers of the screens the frame keeps, and which show message
// names which screen.

#include <cstdint>

namespace Glm::ScreenId {

constexpr int kSignIn = 110;
constexpr int kMainMenu = 132;
constexpr int kBraceletSetup = 134;
constexpr int kFriendshipUpload = 137;
constexpr int kGlintUpload = 139;
constexpr int kCharmUpload = 142;
constexpr int kGlintRedeem = 147;
constexpr int kSignUp = 151;
constexpr int kDevices = 152;
constexpr int kTutorial = 159;
constexpr int kCharmCollection = 160;
constexpr int kDeviceReset = 161;

/// The screen a show message (1523, 1525, ...) shows; 0 for any other number.
int ForShowMessage(std::uint32_t message);

} // namespace Glm::ScreenId
