#pragma once
// The charm catalogue: the content server's charm list with the names of
// the pictures that show each charm. The toy names the charms it holds
// through it.

#include "common/UI/MessageTarget.h"
#include "device/CharmLookup.h"
#include "webapi/CatalogueRecords.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace Xml {
class Parser;
}

namespace Glm {

class CharmInventory : public CharmLookup {
public:
    /// Failures of the loads are reported to mainWindow (may be null).
    explicit CharmInventory(UI::MessageTarget* mainWindow = nullptr);

    /// Reads the charm list at contentBaseUrl, appending one record per
    /// charm in list order. 0 on success; 1 on failure, with the records
    /// read before it kept. Never throws: a transport failure sends
    /// WM_GLM_CONNECT_ERROR, a charm without its texts WM_GLM_RESPONSE_ERROR,
    /// and every failure is logged.
    std::int32_t Init(const std::string& contentBaseUrl, std::vector<CharmRecord>& charms);
    /// Init, then the picture of each record read is added through addImage
    /// and its position kept in the record. Init's failure is returned at
    /// once; a failing addImage is logged and gives 1.
    std::int32_t Init(const std::string& contentBaseUrl, std::vector<CharmRecord>& charms,
                      const ImageStripAdder& addImage);

    /// Init into this catalogue's own list (replacing it), which
    /// FindCharmName and FindCharm answer from.
    std::int32_t Load(const std::string& contentBaseUrl);
    /// Load, then the picture of every charm read (also when the load
    /// failed part way) added through addImage in list order, its position
    /// kept in the record. A failing addImage is logged and gives 1.
    std::int32_t Load(const std::string& contentBaseUrl, const ImageStripAdder& addImage);
    const std::vector<CharmRecord>& GetCharms() const { return m_charms; }
    /// The first charm with id, or null.
    const CharmRecord* FindCharm(std::int32_t id) const;
    bool FindCharmName(std::int32_t id, std::string& name) const override;

    /// Appends the charms of a parsed list, walking it once. Throws
    /// Xml::XmlCantFindSingleNodeException for a charm without an id, or
    /// whose copy entry or its name or inGameItem is missing or repeated,
    /// and Xml::XmlNonLeafElementException for texts with markup inside.
    static void ReadCharms(Xml::Parser& list, std::vector<CharmRecord>& charms);

private:
    UI::MessageTarget* m_mainWindow;
    std::vector<CharmRecord> m_charms;
    std::unordered_map<std::int32_t, std::size_t> m_byId;
};

} // namespace Glm
