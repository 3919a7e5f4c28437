#pragma once
// The butterfly catalogue: what a Fairy can redeem its Glint Points for.

#include "common/UI/MessageTarget.h"
#include "webapi/CatalogueRecords.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Glm {

class ButterflyInventory {
public:
    explicit ButterflyInventory(UI::MessageTarget* mainWindow = nullptr);

    /// Reads the butterfly list at contentBaseUrl, appending one record per
    /// butterfly in list order. 0 on success; 1 on failure, with the records
    /// read before it kept. Never throws; failures are handled as
    /// CharmInventory::Init handles them (a butterfly lacking id, points,
    /// duration or image is a missing node).
    std::int32_t Init(const std::string& contentBaseUrl, std::vector<ButterflyRecord>& butterflies);
    /// Init, then each picture added through addImage, as CharmInventory does.
    std::int32_t Init(const std::string& contentBaseUrl, std::vector<ButterflyRecord>& butterflies,
                      const ImageStripAdder& addImage);

private:
    UI::MessageTarget* m_mainWindow;
};

} // namespace Glm
