// Writing toy memory against virtual toys on a temporary simulated bus: only
// the words the toy does not hold are sent, what the toy recorded since it
// was read survives a small change, a toy unplugged halfway keeps each word
// old or new and the call fails, and a word the toy does not hold after the
// write fails the call.

#include "device/DeviceLibrary.h"
#include "device/ResultCodes.h"
#include "device/SupportedToys.h"
#include "device/Toy.h"
#include "device/bus/SimulatedBus.h"
#include "tests/device/DeviceTestSupport.h"
#include "toys/ToyStateFile.h"

#include <future>
#include <gtest/gtest.h>

namespace {

using namespace DeviceTest;
using Glm::Toy;

class MemoryWrite : public ::testing::Test {
protected:
    void SetUp() override { GlmDev::GlmDevStop(); }
    void TearDown() override { GlmDev::GlmDevStop(); }
    std::string Bus() const { return m_dir.Path() + "/bus"; }
    Toys::VirtualToyOptions Options(const std::string& name) const {
        return ToyOptions(Bus(), GlmDev::kBraceletProductId, name);
    }
    static Toy::Memory ReadBack() {
        Toy reread(0, GlmDev::kBraceletProductId);
        EXPECT_EQ(reread.ReadMemory(), GlmDev::kOk);
        return reread.GetImage();
    }

    TempDir m_dir;
    ScopedEnv m_env{"GLIMMERIES_TOY_DIR", m_dir.Path() + "/bus"};
};

// The offsets of the toy's "wrote" lines, in the order they came.
std::vector<int> WrittenOffsets(const LineLog& log) {
    std::vector<int> offsets;
    for (const std::string& line : log.Lines()) {
        if (line.rfind("wrote ", 0) == 0) {
            offsets.push_back(std::stoi(line.substr(6)));
        }
    }
    return offsets;
}

TEST_F(MemoryWrite, SendsOnlyTheWordsTheToyDoesNotHold) {
    auto options = Options("sparse");
    options.charms = {12, 31};
    options.friends = {77};
    options.points = 1230;
    InProcessToy toy(options);
    ASSERT_EQ(GlmDev::GlmDevStart(nullptr, nullptr), GlmDev::kOk);
    Toy object(0, GlmDev::kBraceletProductId);
    ASSERT_EQ(object.ReadMemory(), GlmDev::kOk);

    ASSERT_EQ(object.ClearPoints(), GlmDev::kOk);
    EXPECT_EQ(WrittenOffsets(toy.Log()), std::vector<int>{4});
    EXPECT_EQ(object.GetPoints(), 0);
    ASSERT_EQ(object.ClearPoints(), GlmDev::kOk); // already zero: nothing to send
    ASSERT_EQ(object.RemoveEntry(31), GlmDev::kOk);
    EXPECT_EQ(WrittenOffsets(toy.Log()), (std::vector<int>{4, 12}));
    EXPECT_TRUE(toy.Log().WaitFor("wrote 12 00 00 00 00"));
    EXPECT_EQ(ReadBack(), object.GetImage());

    // A full image: every word differs, all 32 go out in rising order.
    std::uint8_t full[128];
    for (std::size_t i = 0; i < sizeof full; ++i) {
        full[i] = static_cast<std::uint8_t>(i + 1);
    }
    ASSERT_EQ(GlmDev::GlmDevUpdateMemory(0, full), GlmDev::kOk);
    std::vector<int> expected{4, 12};
    for (int offset = 0; offset < 128; offset += 4) {
        expected.push_back(offset);
    }
    EXPECT_EQ(WrittenOffsets(toy.Log()), expected);
    const Toy::Memory held = ReadBack();
    EXPECT_TRUE(std::equal(held.begin(), held.end(), full));
    ASSERT_EQ(GlmDev::GlmDevUpdateMemory(0, full), GlmDev::kOk);
    EXPECT_EQ(WrittenOffsets(toy.Log()).size(), expected.size());

    // Only the selected words are written and compared.
    const std::uint8_t zeros[128] = {0};
    ASSERT_EQ(GlmDev::GlmDevUpdateMemory(0, zeros, 1u << 5), GlmDev::kOk);
    EXPECT_EQ(WrittenOffsets(toy.Log()).back(), 20);
    EXPECT_EQ(Toy::GetWord(ReadBack(), 5), 0);
    EXPECT_EQ(Toy::GetWord(ReadBack(), 6), Toy::GetWord(held, 6));

    EXPECT_EQ(GlmDev::GlmDevUpdateMemory(4000, zeros), GlmDev::kNoSuchDevice);
}

TEST_F(MemoryWrite, KeepsWhatTheToyRecordedSinceItWasRead) {
    auto options = Options("busy");
    options.charms = {12};
    options.points = 450;
    InProcessToy toy(options);
    ASSERT_EQ(GlmDev::GlmDevStart(nullptr, nullptr), GlmDev::kOk);
    Toy object(0, GlmDev::kBraceletProductId);
    ASSERT_EQ(object.ReadMemory(), GlmDev::kOk);

    // Touched while the screen works from the image it read before.
    toy.Command("touch charm 44");
    ASSERT_TRUE(toy.Log().WaitFor("touched charm 44 slot 3"));
    toy.Command("touch bracelet 9");
    ASSERT_TRUE(toy.Log().WaitFor("friend 2147483657 slot 4"));

    ASSERT_EQ(object.ClearPoints(), GlmDev::kOk);
    ASSERT_EQ(object.RemoveEntry(12), GlmDev::kOk);
    EXPECT_EQ(WrittenOffsets(toy.Log()), (std::vector<int>{4, 8}));
    const Toy::Memory held = ReadBack();
    EXPECT_EQ(Toy::GetWord(held, 1), 0);
    EXPECT_EQ(Toy::GetWord(held, 2), 0);
    EXPECT_EQ(Toy::GetWord(held, 3), 44);
    EXPECT_EQ(static_cast<std::uint32_t>(Toy::GetWord(held, 4)), 0x80000009u);
}

TEST_F(MemoryWrite, AToyUnpluggedHalfwayHoldsOldOrNewWordsAndTheCallFails) {
    auto options = Options("leaving");
    options.statePath = m_dir.Path() + "/leaving.state";
    for (std::int32_t charm = 101; charm <= 130; ++charm) {
        options.charms.push_back(charm);
    }
    options.points = 1230;
    InProcessToy toy(options);
    ASSERT_EQ(GlmDev::GlmDevStart(nullptr, nullptr), GlmDev::kOk);
    Toy object(0, GlmDev::kBraceletProductId);
    ASSERT_EQ(object.ReadMemory(), GlmDev::kOk);
    const Toy::Memory old = object.GetImage();

    // Set-up from an object that never wrote: the id and zeros in all 31
    // other words, every one of them different from what the toy holds.
    auto setUp = std::async(std::launch::async, [&object] { return object.SetClickId(555); });
    ASSERT_TRUE(toy.Log().WaitFor("wrote 40 "));
    toy.Unplug();
    const std::int32_t result = setUp.get();
    EXPECT_TRUE(result == GlmDev::kIoFailed || result == GlmDev::kTimedOut) << result;
    EXPECT_EQ(object.GetImage(), old); // nothing of the write shows as done
    EXPECT_EQ(object.GetClickId(), 0);
    EXPECT_FALSE(object.IsResetPending());

    Toys::ToyMemory left{};
    std::string error;
    ASSERT_EQ(Toys::LoadToyState(options.statePath, GlmDev::kBraceletProductId, left, error),
              Toys::StateLoad::Loaded)
        << error;
    Toy::Memory wanted{};
    Toy::SetWord(wanted, 0, 555);
    std::size_t newWords = 0;
    for (std::size_t word = 0; word < Toy::kWordCount; ++word) {
        const std::int32_t value = Toy::GetWord(left, word);
        EXPECT_TRUE(value == Toy::GetWord(old, word) || value == Toy::GetWord(wanted, word)) << word;
        newWords += value == Toy::GetWord(wanted, word) ? 1 : 0;
    }
    EXPECT_GE(newWords, 11u); // offsets 0 to 40 went through
    EXPECT_LT(newWords, 32u);
}

// A bus on which every write of one memory word is lost on the way: the
// device takes the report but never stores it.
class LosingBus : public GlmDev::SimulatedBus {
public:
    LosingBus(const std::string& directory, std::uint8_t offset)
        : SimulatedBus(directory), m_offset(offset) {}
    ssize_t WriteOutputReport(int handle, const std::uint8_t (&report)[GlmDev::kReportSize]) override {
        if (report[1] == 0x02 && report[2] == m_offset) {
            return static_cast<ssize_t>(GlmDev::kReportSize);
        }
        return SimulatedBus::WriteOutputReport(handle, report);
    }

private:
    std::uint8_t m_offset;
};

TEST_F(MemoryWrite, AWordTheToyDoesNotHoldAfterTheWriteFailsIt) {
    auto options = Options("forgetful");
    options.charms = {12, 31};
    options.points = 1230;
    InProcessToy toy(options);
    // Listed by hand on the losing bus; discovery stays off.
    GlmDev::CheckDeviceSupported(std::make_shared<LosingBus>(Bus(), 4), toy.SocketPath());
    ASSERT_EQ(GlmDev::GlmDevGetDeviceList().GetCount(), 1u);
    Toy object(0, GlmDev::kBraceletProductId);
    ASSERT_EQ(object.ReadMemory(), GlmDev::kOk);

    ::testing::internal::CaptureStderr();
    EXPECT_EQ(object.ClearPoints(), GlmDev::kIoFailed);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "word not held after write: offset 4\n");
    EXPECT_EQ(object.GetPoints(), 1230); // not reported as cleared

    // Other words still go through and are confirmed.
    EXPECT_EQ(object.RemoveEntry(31), GlmDev::kOk);
    EXPECT_EQ(Toy::GetWord(ReadBack(), 3), 0);

    // In a larger write the lost word fails the call after the others.
    std::uint8_t wanted[128] = {0};
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(GlmDev::GlmDevUpdateMemory(0, wanted), GlmDev::kIoFailed);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "word not held after write: offset 4\n");
    const Toy::Memory held = ReadBack();
    EXPECT_EQ(Toy::GetWord(held, 1), Toy::GetWord(object.GetImage(), 1));
    EXPECT_EQ(Toy::GetWord(held, 2), 0);
}

} // namespace
