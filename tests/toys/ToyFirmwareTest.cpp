// The virtual toy's firmware and state file, without sockets.

#include "toys/ToyFirmware.h"

#include "device/SupportedToys.h"
#include "tests/device/DeviceTestSupport.h"
#include "toys/ToyStateFile.h"
#include "toys/VirtualToy.h"

#include <fstream>
#include <gtest/gtest.h>

namespace {

using Toys::ToyFirmware;

std::optional<Toys::ToyReport> Send(ToyFirmware& firmware, std::initializer_list<std::uint8_t> command) {
    std::uint8_t report[9] = {0};
    std::size_t at = 1;
    for (const std::uint8_t byte : command) {
        report[at++] = byte;
    }
    return firmware.HandleReport(report, sizeof report);
}

TEST(ToyFirmware, AnswersWordsAndStoresWrites) {
    std::vector<std::string> events;
    ToyFirmware firmware(GlmDev::kGameProductId, [&](const std::string& line) { events.push_back(line); });
    EXPECT_FALSE(Send(firmware, {0x02, 8, 4, 1, 2, 3, 4}));
    EXPECT_TRUE(firmware.TakeMemoryChanged());
    EXPECT_FALSE(firmware.TakeMemoryChanged());
    const auto reply = Send(firmware, {0x01, 8, 4});
    ASSERT_TRUE(reply);
    EXPECT_EQ((*reply)[0], 0);
    EXPECT_EQ((*reply)[1], 1);
    EXPECT_EQ((*reply)[4], 4);
    EXPECT_EQ((*reply)[5], 0);
    // Offsets that are no word: a zero reply, nothing written.
    EXPECT_EQ((*Send(firmware, {0x01, 6, 4}))[1], 0);
    EXPECT_EQ((*Send(firmware, {0x01, 128, 4}))[1], 0);
    EXPECT_FALSE(Send(firmware, {0x02, 126, 4, 9, 9, 9, 9}));
    EXPECT_FALSE(firmware.TakeMemoryChanged());
    // A report with another id or size is not a command.
    const std::uint8_t numbered[9] = {2, 0x02, 0, 4, 1, 1, 1, 1, 0};
    EXPECT_FALSE(firmware.HandleReport(numbered, 9));
    EXPECT_EQ(firmware.GetWord(0), 0);
    EXPECT_EQ(events.back(), "ignored report of 9 bytes");
}

TEST(ToyFirmware, KeepsPointsAndSlotsWithinBounds) {
    ToyFirmware game(GlmDev::kGameProductId, nullptr);
    EXPECT_TRUE(game.SetPoints(1234));
    EXPECT_EQ(game.GetPoints(), 1230);
    EXPECT_EQ(game.GetMemory()[4], 0);
    EXPECT_EQ(game.GetMemory()[7], 3);
    EXPECT_FALSE(game.SetPoints(100000));
    // The range the refusal names, exactly.
    EXPECT_TRUE(game.SetPoints(99990));
    EXPECT_EQ(game.GetPoints(), 99990);
    EXPECT_FALSE(game.SetPoints(99991));
    EXPECT_FALSE(game.SetPoints(99999));
    EXPECT_FALSE(game.SetPoints(-1));
    EXPECT_EQ(game.GetPoints(), 99990);
    EXPECT_FALSE(game.TouchCharm(3)); // a game keeps no charms

    ToyFirmware box(GlmDev::kJewelryBoxProductId, nullptr);
    for (int i = 0; i < 30; ++i) {
        EXPECT_TRUE(box.StoreCharm(100 + i));
    }
    EXPECT_FALSE(box.TouchCharm(500));
    EXPECT_FALSE(box.HasPendingTouch());
    EXPECT_FALSE(box.AddFriend(7)); // only bracelets keep friendships
    const auto touch = Send(box, {0x04});
    EXPECT_EQ((*touch)[1], Toys::kNoTouchKind);
}

TEST(VirtualToyCommands, NumbersAreDecimalUnlessPrefixed) {
    std::int64_t value = -1;
    EXPECT_TRUE(Toys::ParseNumber("010", value));
    EXPECT_EQ(value, 10);
    EXPECT_TRUE(Toys::ParseNumber("0100", value));
    EXPECT_EQ(value, 100);
    EXPECT_TRUE(Toys::ParseNumber("0x10", value));
    EXPECT_EQ(value, 16);
    EXPECT_TRUE(Toys::ParseNumber("0X1f", value));
    EXPECT_EQ(value, 31);
    EXPECT_TRUE(Toys::ParseNumber("0", value));
    EXPECT_EQ(value, 0);
    EXPECT_FALSE(Toys::ParseNumber("08x", value));
    EXPECT_FALSE(Toys::ParseNumber("0x", value));
    EXPECT_FALSE(Toys::ParseNumber("1f", value));

    Toys::VirtualToyOptions options;
    options.productId = GlmDev::kGameProductId;
    std::vector<std::string> lines;
    Toys::VirtualToy toy(options, [&lines](const std::string& line) { lines.push_back(line); });
    toy.ExecuteLine("points 0100");
    EXPECT_EQ(toy.GetFirmware().GetPoints(), 100);
    toy.ExecuteLine("points 99999");
    EXPECT_EQ(lines.back(), "error: points must be 0 to 99990");
    EXPECT_EQ(toy.GetFirmware().GetPoints(), 100);
}

TEST(ToyStateFile, RoundTripsAndRefusesDamage) {
    DeviceTest::TempDir dir;
    const std::string path = dir.Path() + "/sub/t.state";
    Toys::ToyMemory memory{};
    memory[0] = 0xAB;
    memory[127] = 0x01;
    std::string error;
    ASSERT_TRUE(Toys::SaveToyState(path, GlmDev::kBraceletProductId, memory, error)) << error;
    Toys::ToyMemory loaded{};
    EXPECT_EQ(Toys::LoadToyState(path, GlmDev::kBraceletProductId, loaded, error), Toys::StateLoad::Loaded);
    EXPECT_EQ(loaded, memory);
    EXPECT_EQ(Toys::LoadToyState(dir.Path() + "/none", GlmDev::kBraceletProductId, loaded, error),
              Toys::StateLoad::Missing);

    const Toys::ToyMemory before = loaded;
    for (const char* damaged : {"", "glimmeries-toy state 2\n", "glimmeries-toy state 1\nkind bracelet\n00\n",
                                "glimmeries-toy state 1\nkind game\n"}) {
        std::ofstream(path) << damaged;
        error.clear();
        EXPECT_EQ(Toys::LoadToyState(path, GlmDev::kBraceletProductId, loaded, error),
                  Toys::StateLoad::Damaged)
            << damaged;
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(loaded, before);
    }
}

} // namespace
