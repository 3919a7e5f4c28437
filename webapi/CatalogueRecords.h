#pragma once
// The entries of the charm and butterfly catalogues.

#include <cstdint>
#include <functional>
#include <string>

namespace Glm {

struct CharmRecord {
    std::int32_t id = 0;
    std::string name;
    /// The in-game item the charm unlocks.
    std::string inGameItem;
    /// "CHARM_" + id: the picture of the charm.
    std::string imageName;
    /// "POPUP_" + imageName: the picture of the charm's popup.
    std::string popupImageName;
    /// Position of the picture in the screen's image strip; -1 before one is built.
    std::int32_t imageIndex = -1;
};

struct ButterflyRecord {
    std::int32_t id = 0;
    /// Glint Points the butterfly costs.
    std::int32_t points = 0;
    /// Days it flies with the Fairy, as the list gives it.
    std::string duration;
    std::string name;
    /// "BUTTERFLY_" + id.
    std::string imageName;
    /// "POPUP_" + imageName.
    std::string popupImageName;
    std::int32_t imageIndex = -1;
};

/// The seam for the screens' image strips: adds the picture named imageName
/// to the strip and returns its position. May throw Ex::NonFatalException.
using ImageStripAdder = std::function<std::int32_t(const std::string& imageName)>;

} // namespace Glm
