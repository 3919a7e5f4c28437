#pragma once

#include <cstdint>
#include <string>

namespace Glm {

/// An item held by or touched to a toy, named from the charm catalogue.
struct ToyItem {
    std::uint8_t kind = 0;
    std::int32_t id = 0;
    std::string name;
};

} // namespace Glm
