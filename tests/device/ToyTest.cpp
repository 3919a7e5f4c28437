// The toy object's memory algorithms, on images set directly. Operations
// that would talk to the toy use a device id that is not listed, so a call
// that reaches the device library shows as -3.

#include "device/Toy.h"

#include "device/BusyIndicator.h"
#include "device/ResultCodes.h"
#include "device/SupportedToys.h"

#include <gtest/gtest.h>
#include <map>

namespace {

constexpr std::uint32_t kUnlisted = 4000;

class FakeCatalogue : public Glm::CharmLookup {
public:
    bool FindCharmName(std::int32_t id, std::string& name) const override {
        const auto found = m_names.find(id);
        if (found == m_names.end()) {
            return false;
        }
        name = found->second;
        return true;
    }
    std::map<std::int32_t, std::string> m_names{{12, "Moss Lantern"}, {31, "Pebble Crown"}};
};

Glm::Toy ToyWithSlots(std::uint32_t productId,
                      std::initializer_list<std::pair<std::size_t, std::int32_t>> words) {
    Glm::Toy toy(kUnlisted, productId);
    Glm::Toy::Memory image{};
    for (const auto& [index, value] : words) {
        Glm::Toy::SetWord(image, index, value);
    }
    toy.SetImage(image);
    return toy;
}

TEST(Toy, StartsPresentEmptyAndNamesItsKind) {
    const Glm::Toy toy(3, GlmDev::kJewelryBoxProductId);
    EXPECT_TRUE(toy.IsPresent());
    EXPECT_FALSE(toy.IsResetPending());
    EXPECT_EQ(toy.GetType(), GlmDev::kJewelryBoxProductId);
    EXPECT_EQ(toy.GetClickId(), 0);
    EXPECT_EQ(toy.GetOutgoing(), Glm::Toy::Memory{});
    EXPECT_EQ(Glm::Toy(3, 0x1014).GetType(), 0u);
    EXPECT_TRUE(toy.IsSameToy(Glm::Toy(3, GlmDev::kJewelryBoxProductId)));
    EXPECT_FALSE(toy.IsSameToy(Glm::Toy(4, GlmDev::kJewelryBoxProductId)));
    EXPECT_FALSE(toy.IsSameToy(Glm::Toy(3, GlmDev::kBraceletProductId)));
}

TEST(Toy, ComputesPointsFromFourFigures) {
    Glm::Toy toy(kUnlisted, GlmDev::kGameProductId);
    Glm::Toy::Memory image{};
    image[7] = 5;
    toy.SetImage(image);
    EXPECT_EQ(toy.GetPoints(), 50);
    image[4] = image[5] = image[6] = image[7] = 9;
    toy.SetImage(image);
    EXPECT_EQ(toy.GetPoints(), 99990);
    image[4] = 0, image[5] = 1, image[6] = 2, image[7] = 3;
    toy.SetImage(image);
    EXPECT_EQ(toy.GetPoints(), 1230);
    image[7] = 12; // taken as it is
    toy.SetImage(image);
    EXPECT_EQ(toy.GetPoints(), 1320);
}

TEST(Toy, ListsFriendsOfABraceletOnly) {
    const Glm::Toy bracelet =
        ToyWithSlots(GlmDev::kBraceletProductId, {{0, -7}, {2, 12}, {3, -5}, {9, INT32_MIN}});
    std::vector<std::int32_t> friends{99};
    EXPECT_EQ(bracelet.GetFriends(friends), 0);
    EXPECT_EQ(friends, (std::vector<std::int32_t>{99, -5, INT32_MIN}));

    const Glm::Toy box = ToyWithSlots(GlmDev::kJewelryBoxProductId, {{3, -5}});
    std::vector<std::int32_t> untouched{1};
    EXPECT_EQ(box.GetFriends(untouched), 1);
    EXPECT_EQ(untouched, std::vector<std::int32_t>{1});
}

TEST(Toy, ListsKnownItemsOfBraceletsAndBoxes) {
    const FakeCatalogue catalogue;
    const Glm::Toy bracelet =
        ToyWithSlots(GlmDev::kBraceletProductId, {{2, -5}, {3, 12}, {4, 0}, {5, 77}, {31, 31}});
    std::vector<Glm::ToyItem> items;
    EXPECT_EQ(bracelet.GetItems(catalogue, items), 0);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].kind, 1);
    EXPECT_EQ(items[0].id, 12);
    EXPECT_EQ(items[0].name, "Moss Lantern");
    EXPECT_EQ(items[1].id, 31);

    const Glm::Toy game = ToyWithSlots(GlmDev::kGameProductId, {{3, 12}});
    std::vector<Glm::ToyItem> none;
    EXPECT_EQ(game.GetItems(catalogue, none), 1);
    EXPECT_TRUE(none.empty());
}

TEST(Toy, RemoveEntryLooksOnlyAtTheSlots) {
    // Found only in word 0 or 1: nothing is written, so nothing fails.
    Glm::Toy toy = ToyWithSlots(GlmDev::kBraceletProductId, {{0, 44}, {1, 45}, {5, 12}, {9, 12}});
    EXPECT_EQ(toy.RemoveEntry(44), 0);
    EXPECT_EQ(toy.RemoveEntry(45), 0);
    EXPECT_EQ(toy.RemoveEntry(46), 0);
    EXPECT_EQ(Glm::Toy::GetWord(toy.GetImage(), 0), 44);
    // A slot match is written: here to a toy that is not listed.
    EXPECT_EQ(toy.RemoveEntry(12), GlmDev::kNoSuchDevice);
    EXPECT_EQ(Glm::Toy::GetWord(toy.GetImage(), 5), 0);
    EXPECT_EQ(Glm::Toy::GetWord(toy.GetImage(), 9), 12);
}

TEST(Toy, SendsOnlyTheAllowedCommands) {
    Glm::Toy toy(kUnlisted, GlmDev::kBraceletProductId);
    for (int code = 0; code < 256; ++code) {
        const bool allowed = code == 5 || code == 6 || code == 7 || code == 9 || (code >= 13 && code <= 23);
        EXPECT_EQ(toy.SendCommand(static_cast<std::uint8_t>(code)), allowed ? GlmDev::kNoSuchDevice : 1)
            << code;
    }
}

TEST(Toy, FailuresLeaveTheImageAndClearResetPending) {
    Glm::Toy toy = ToyWithSlots(GlmDev::kGameProductId, {{0, 8}, {1, 0x01010101}});
    toy.SetResetPending(true);
    const Glm::Toy::Memory before = toy.GetImage();
    EXPECT_EQ(toy.ClearPoints(), GlmDev::kNoSuchDevice);
    EXPECT_EQ(toy.GetImage(), before);
    EXPECT_EQ(toy.SetClickId(5), GlmDev::kNoSuchDevice);
    EXPECT_FALSE(toy.IsResetPending());
    EXPECT_EQ(Glm::Toy::GetWord(toy.GetOutgoing(), 0), 5);
    FakeCatalogue catalogue;
    Glm::ToyItem item{9, 9, "kept"};
    EXPECT_EQ(toy.ReadTouch(catalogue, item), 1); // a game has no touches
    Glm::Toy box(kUnlisted, GlmDev::kJewelryBoxProductId);
    EXPECT_EQ(box.ReadTouch(catalogue, item), 1); // cannot be read
    EXPECT_EQ(item.name, "kept");
}

int g_busyDepth = 0;
int g_busyCalls = 0;

TEST(Toy, ShowsBusyWhileTalkingToTheToy) {
    const Glm::BusyHook previous = Glm::SetBusyHook([](bool busy) {
        g_busyDepth += busy ? 1 : -1;
        ++g_busyCalls;
    });
    Glm::Toy toy(kUnlisted, GlmDev::kBraceletProductId);
    toy.ReadMemory();
    toy.SetClickId(3); // nests write and read
    EXPECT_EQ(g_busyDepth, 0);
    EXPECT_GE(g_busyCalls, 4);
    g_busyCalls = 0;
    EXPECT_EQ(toy.SendCommand(8), 1); // not sent: not busy
    EXPECT_EQ(g_busyCalls, 0);
    Glm::SetBusyHook(previous);
}

} // namespace
