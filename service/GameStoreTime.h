#pragma once

// Time and the small constants every part of the game store shares.
#include <cstdint>
#include <ctime>

namespace Service::StoreTime {

constexpr std::int64_t kSecondsPerDay = 86400;

inline std::int64_t Now() {
    return static_cast<std::int64_t>(std::time(nullptr));
}

} // namespace Service::StoreTime
