#pragma once

#include <string>
#include <vector>

namespace Service {

/// A charm a jewelry box can carry: its id, display name, the in-game item it unlocks and a
/// short description of its picture (used by the artists who draw CHARM_<id>).
struct CharmEntry {
    int id;
    const char* name;
    const char* inGameItem;
    const char* look;
};

/// A butterfly that Glint Points buy: it flies with a Fairy for `days` days.
struct ButterflyEntry {
    int id;
    int points;
    int days;
    const char* name;
    const char* look;
};

/// A bracelet message or gift phrase.
struct PhraseEntry {
    int id;
    const char* text;
};

/// The world's fixed content. The tables live in CatalogueData.cpp.
class Catalogue {
public:
    static const std::vector<CharmEntry>& Charms();
    static const std::vector<ButterflyEntry>& Butterflies();
    static const std::vector<PhraseEntry>& Messages();
    static const std::vector<PhraseEntry>& Gifts();

    static const CharmEntry* FindCharm(long long id);
    static const ButterflyEntry* FindButterfly(long long id);
    static bool HasMessage(long long id);
    static bool HasGift(long long id);

    /// The published list documents, as the content server serves them.
    static std::string CharmListXml();
    static std::string ButterflyListXml();
    static std::string MessageListXml();
    static std::string GiftListXml();
};

} // namespace Service
