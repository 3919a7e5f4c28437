#pragma once
// What the toy needs from the charm catalogue: a name for an item id. The
// catalogue that the web service fills implements it.

#include <cstdint>
#include <string>

namespace Glm {

class CharmLookup {
public:
    virtual ~CharmLookup() = default;
    /// True, with the charm's name in name, when the catalogue holds id;
    /// false, leaving name alone, when it does not.
    virtual bool FindCharmName(std::int32_t id, std::string& name) const = 0;
};

} // namespace Glm
