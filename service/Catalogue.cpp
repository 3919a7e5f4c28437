#include "Catalogue.h"

#include "XmlText.h"

#include <algorithm>

namespace Service {

namespace {

constexpr const char* kDeclaration = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n";

template <typename Entry>
const Entry* FindById(const std::vector<Entry>& entries, long long id) {
    const auto found =
        std::find_if(entries.begin(), entries.end(), [id](const Entry& e) { return e.id == id; });
    return found == entries.end() ? nullptr : &*found;
}

std::string PhraseListXml(const char* root, const std::vector<PhraseEntry>& entries, const char* entryName) {
    XmlWriter xml;
    xml.Raw(kDeclaration).Open(root).Open("copy");
    for (const auto& entry : entries) {
        xml.Open(entryName, XmlWriter::Attribute("id", std::to_string(entry.id)))
            .Raw(EscapeXml(entry.text))
            .Close(entryName);
    }
    xml.Close("copy").Close(root);
    return xml.Text();
}

} // namespace

const CharmEntry* Catalogue::FindCharm(long long id) {
    return FindById(Charms(), id);
}

const ButterflyEntry* Catalogue::FindButterfly(long long id) {
    return FindById(Butterflies(), id);
}

bool Catalogue::HasMessage(long long id) {
    return FindById(Messages(), id) != nullptr;
}

bool Catalogue::HasGift(long long id) {
    return FindById(Gifts(), id) != nullptr;
}

std::string Catalogue::CharmListXml() {
    XmlWriter xml;
    xml.Raw(kDeclaration).Open("ClickCharmList").Open("charms");
    for (const auto& charm : Charms()) {
        xml.Empty("charm", XmlWriter::Attribute("id", std::to_string(charm.id)));
    }
    xml.Close("charms").Open("copy");
    for (const auto& charm : Charms()) {
        // Built in two steps: GCC 12 at -O3 misreports operator+ on a
        // literal and a temporary as overlapping copies (-Werror=restrict).
        std::string name = "_";
        name += std::to_string(charm.id);
        xml.Open(name).Leaf("name", charm.name).Leaf("inGameItem", charm.inGameItem).Close(name);
    }
    xml.Close("copy").Close("ClickCharmList");
    return xml.Text();
}

std::string Catalogue::ButterflyListXml() {
    XmlWriter xml;
    xml.Raw(kDeclaration).Open("ClickButterflyList").Open("copy");
    for (const auto& butterfly : Butterflies()) {
        const std::string id = std::to_string(butterfly.id);
        xml.Open("butterfly", XmlWriter::Attribute("id", id) +
                                  XmlWriter::Attribute("points", std::to_string(butterfly.points)) +
                                  XmlWriter::Attribute("duration", std::to_string(butterfly.days)) +
                                  XmlWriter::Attribute("image", "butterfly_" + id + ".jpg"))
            .Raw(EscapeXml(butterfly.name))
            .Close("butterfly");
    }
    xml.Close("copy").Close("ClickButterflyList");
    return xml.Text();
}

std::string Catalogue::MessageListXml() {
    return PhraseListXml("ClickMessageList", Messages(), "message");
}

std::string Catalogue::GiftListXml() {
    return PhraseListXml("ClickGiftList", Gifts(), "gift");
}

} // namespace Service
