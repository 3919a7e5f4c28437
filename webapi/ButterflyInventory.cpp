#include "webapi/ButterflyInventory.h"

#include "common/Xml/Parser.h"
#include "device/BusyIndicator.h"
#include "webapi/CallGuard.h"
#include "webapi/ContentList.h"
#include "webapi/QueryText.h"

namespace Glm {

ButterflyInventory::ButterflyInventory(UI::MessageTarget* mainWindow) : m_mainWindow(mainWindow) {}

std::int32_t ButterflyInventory::Init(const std::string& contentBaseUrl,
                                      std::vector<ButterflyRecord>& butterflies) {
    std::int32_t result = 1;
    GuardCall(GLM_CALL_SITE("Glm::ButterflyInventory", "Init"), m_mainWindow, [&] {
        const BusyScope busy;
        const auto list = LoadContentList(contentBaseUrl, kButterflyListPath);
        const std::string entries = "/ClickButterflyList/copy/*";
        const std::int32_t count = list->GetNodeCount(entries);
        for (std::int32_t i = 1; i <= count; ++i) {
            const std::string entry = entries + "[" + std::to_string(i) + "]";
            ButterflyRecord record;
            const std::string idText = list->GetAttribute(entry + "/@id");
            record.id = DecimalToInt32(idText);
            record.points = DecimalToInt32(list->GetAttribute(entry + "/@points"));
            record.duration = list->GetAttribute(entry + "/@duration");
            list->GetAttribute(entry + "/@image"); // required, though the picture comes from the id
            record.name = list->GetLeafElementText(entry);
            record.imageName = "BUTTERFLY_" + idText;
            record.popupImageName = "POPUP_" + record.imageName;
            butterflies.push_back(std::move(record));
        }
        result = 0;
    });
    return result;
}

std::int32_t ButterflyInventory::Init(const std::string& contentBaseUrl,
                                      std::vector<ButterflyRecord>& butterflies,
                                      const ImageStripAdder& addImage) {
    const std::size_t first = butterflies.size();
    const std::int32_t result = Init(contentBaseUrl, butterflies);
    if (result != 0) {
        return result;
    }
    const bool added = GuardCall(GLM_CALL_SITE("Glm::ButterflyInventory", "Init"), m_mainWindow, [&] {
        for (std::size_t i = first; i < butterflies.size(); ++i) {
            butterflies[i].imageIndex = addImage(butterflies[i].imageName);
        }
    });
    return added ? 0 : 1;
}

} // namespace Glm
