#pragma once
// What discovery tells its callback about an arrival or a removal.

#include <cstdint>

namespace GlmDev {

constexpr std::uint32_t DeviceArrived = 1;
constexpr std::uint32_t DeviceRemoved = 2;

struct DeviceEvent {
    std::uint32_t productId = 0; // the 16-bit product id, widened
    std::uint32_t deviceId = 0;
};

/// Called on the discovery thread, never with the device list locked. It
/// must not block for long and must not call GlmDevStop.
using DeviceCallback = void (*)(void* context, std::uint32_t eventCode, const DeviceEvent* event);

} // namespace GlmDev
