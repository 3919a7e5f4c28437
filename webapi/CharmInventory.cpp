#include "webapi/CharmInventory.h"

#include "common/Xml/Parser.h"
#include "common/Xml/XmlExceptions.h"
#include "device/BusyIndicator.h"
#include "webapi/CallGuard.h"
#include "webapi/ContentList.h"
#include "webapi/QueryText.h"

#include <memory>
#include <string_view>

namespace Glm {

namespace {

// The list is walked once instead of one XPath query per charm: a query by
// position costs time in proportion to the position, so a long list would
// take quadratic time. The walk fails exactly where those queries would.

struct XmlCharDeleter {
    void operator()(xmlChar* text) const { xmlFree(text); }
};

bool IsElementNamed(const xmlNode* node, std::string_view name) {
    return node->type == XML_ELEMENT_NODE && node->ns == nullptr &&
           name == reinterpret_cast<const char*>(node->name);
}

bool IsTextual(const xmlNode* node) {
    return node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE;
}

std::string Content(xmlNode* node) {
    std::unique_ptr<xmlChar, XmlCharDeleter> content(xmlNodeGetContent(node));
    return content ? std::string(reinterpret_cast<const char*>(content.get())) : std::string();
}

// The text of the one leaf element named name below the entries; xpath
// names it in the failure.
std::string LeafText(const std::vector<xmlNode*>& entries, std::string_view name, const std::string& xpath) {
    xmlNode* found = nullptr;
    std::int32_t count = 0;
    for (xmlNode* entry : entries) {
        for (xmlNode* child = entry->children; child != nullptr; child = child->next) {
            if (IsElementNamed(child, name)) {
                found = child;
                ++count;
            }
        }
    }
    if (count != 1) {
        throw Xml::XmlCantFindSingleNodeException(xpath, count);
    }
    for (const xmlNode* child = found->children; child != nullptr; child = child->next) {
        if (!IsTextual(child)) {
            throw Xml::XmlNonLeafElementException(xpath);
        }
    }
    return Content(found);
}

} // namespace

CharmInventory::CharmInventory(UI::MessageTarget* mainWindow) : m_mainWindow(mainWindow) {}

void CharmInventory::ReadCharms(Xml::Parser& list, std::vector<CharmRecord>& charms) {
    if (list.GetNodeCount("/ClickCharmList") != 1) {
        return; // another document: no charms
    }
    xmlNode* root = list.FindSingleNode("/ClickCharmList");
    std::unordered_map<std::string, std::vector<xmlNode*>> copies;
    for (xmlNode* copy = root->children; copy != nullptr; copy = copy->next) {
        if (!IsElementNamed(copy, "copy")) {
            continue;
        }
        for (xmlNode* entry = copy->children; entry != nullptr; entry = entry->next) {
            if (entry->type == XML_ELEMENT_NODE && entry->ns == nullptr) {
                copies[reinterpret_cast<const char*>(entry->name)].push_back(entry);
            }
        }
    }
    // Charms by their position in each charms element: a position in the
    // query counts within each parent, so with several charms elements the
    // i-th query meets the i-th charm of each.
    std::vector<std::vector<xmlNode*>> groups;
    std::size_t total = 0;
    for (xmlNode* group = root->children; group != nullptr; group = group->next) {
        if (!IsElementNamed(group, "charms")) {
            continue;
        }
        groups.emplace_back();
        for (xmlNode* charm = group->children; charm != nullptr; charm = charm->next) {
            if (IsElementNamed(charm, "charm")) {
                groups.back().push_back(charm);
            }
        }
        total += groups.back().size();
    }
    const std::vector<xmlNode*> none;
    for (std::size_t position = 1; position <= total; ++position) {
        std::unique_ptr<xmlChar, XmlCharDeleter> idValue;
        std::int32_t found = 0;
        for (const std::vector<xmlNode*>& group : groups) {
            if (group.size() < position) {
                continue;
            }
            std::unique_ptr<xmlChar, XmlCharDeleter> value(
                xmlGetNoNsProp(group[position - 1], reinterpret_cast<const xmlChar*>("id")));
            if (value) {
                ++found;
                idValue = std::move(value);
            }
        }
        if (found != 1) {
            throw Xml::XmlCantFindSingleNodeException(
                "/ClickCharmList/charms/charm[" + std::to_string(position) + "]/@id", found);
        }
        CharmRecord record;
        const std::string idText(reinterpret_cast<const char*>(idValue.get()));
        const std::string copyPath = "/ClickCharmList/copy/_" + idText;
        const auto entries = copies.find("_" + idText);
        const std::vector<xmlNode*>& copy = entries != copies.end() ? entries->second : none;
        record.name = LeafText(copy, "name", copyPath + "/name");
        record.inGameItem = LeafText(copy, "inGameItem", copyPath + "/inGameItem");
        record.imageName = "CHARM_" + idText;
        record.popupImageName = "POPUP_" + record.imageName;
        record.id = DecimalToInt32(idText);
        charms.push_back(std::move(record));
    }
}

std::int32_t CharmInventory::Init(const std::string& contentBaseUrl, std::vector<CharmRecord>& charms) {
    std::int32_t result = 1;
    GuardCall(GLM_CALL_SITE("Glm::CharmInventory", "Init"), m_mainWindow, [&] {
        const BusyScope busy;
        const auto list = LoadContentList(contentBaseUrl, kCharmListPath);
        ReadCharms(*list, charms);
        result = 0;
    });
    return result;
}

std::int32_t CharmInventory::Init(const std::string& contentBaseUrl, std::vector<CharmRecord>& charms,
                                  const ImageStripAdder& addImage) {
    const std::size_t first = charms.size();
    const std::int32_t result = Init(contentBaseUrl, charms);
    if (result != 0) {
        return result;
    }
    const bool added = GuardCall(GLM_CALL_SITE("Glm::CharmInventory", "Init"), m_mainWindow, [&] {
        for (std::size_t i = first; i < charms.size(); ++i) {
            charms[i].imageIndex = addImage(charms[i].imageName);
        }
    });
    return added ? 0 : 1;
}

std::int32_t CharmInventory::Load(const std::string& contentBaseUrl) {
    return Load(contentBaseUrl, ImageStripAdder());
}

std::int32_t CharmInventory::Load(const std::string& contentBaseUrl, const ImageStripAdder& addImage) {
    std::vector<CharmRecord> charms;
    std::int32_t result = Init(contentBaseUrl, charms);
    if (addImage) {
        const bool added = GuardCall(GLM_CALL_SITE("Glm::CharmInventory", "Load"), m_mainWindow, [&] {
            for (CharmRecord& charm : charms) {
                charm.imageIndex = addImage(charm.imageName);
            }
        });
        result = added ? result : 1;
    }
    m_charms = std::move(charms);
    m_byId.clear();
    for (std::size_t i = 0; i < m_charms.size(); ++i) {
        m_byId.emplace(m_charms[i].id, i);
    }
    return result;
}

const CharmRecord* CharmInventory::FindCharm(std::int32_t id) const {
    const auto found = m_byId.find(id);
    return found != m_byId.end() ? &m_charms[found->second] : nullptr;
}

bool CharmInventory::FindCharmName(std::int32_t id, std::string& name) const {
    const CharmRecord* charm = FindCharm(id);
    if (charm == nullptr) {
        return false;
    }
    name = charm->name;
    return true;
}

} // namespace Glm
