// The charm page's touch poller with virtual toys on a temporary simulated
// bus: what reaches the page, what the toy is told, and when it stops.

#include "Tools/CharmPoller.h"

#include "common/UI/RecordingMessageTarget.h"
#include "device/DeviceLibrary.h"
#include "device/SupportedToys.h"
#include "tests/device/DeviceTestSupport.h"

#include <atomic>
#include <gtest/gtest.h>
#include <map>
#include <thread>

namespace {

using namespace std::chrono_literals;

class Catalogue : public Glm::CharmLookup {
public:
    bool FindCharmName(std::int32_t id, std::string& name) const override {
        const auto found = m_names.find(id);
        if (found == m_names.end()) {
            return false;
        }
        name = found->second;
        return true;
    }

private:
    std::map<std::int32_t, std::string> m_names{
        {1001, "Dewdrop Lantern"}, {1002, "Thimble Crown"}, {1003, "Acorn Kettle"}};
};

class CharmPolling : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(GlmDev::GlmDevStart(nullptr, nullptr), 0); }
    void TearDown() override { GlmDev::GlmDevStop(); }

    // The device id of the plugged toy with productId, once the list has it.
    std::uint32_t DeviceOf(std::uint16_t productId) {
        std::uint32_t id = 0;
        EXPECT_TRUE(DeviceTest::WaitUntil([&] {
            for (const auto& record : GlmDev::GlmDevGetDeviceList().List()) {
                if (record.productId == productId) {
                    id = record.id;
                    return true;
                }
            }
            return false;
        }));
        return id;
    }

    std::vector<UI::Message> Reports() const {
        std::vector<UI::Message> reports;
        for (const UI::Message& message : m_page.Messages()) {
            if (message.id == Glm::WM_GLM_CHARM_TOUCHED) {
                reports.push_back(message);
            }
        }
        return reports;
    }

    DeviceTest::TempDir m_bus;
    DeviceTest::ScopedEnv m_env{"GLIMMERIES_TOY_DIR", m_bus.Path()};
    UI::RecordingMessageTarget m_page;
    Catalogue m_catalogue;
};

TEST_F(CharmPolling, ANewCharmOnAJewelryBoxIsReportedOnceAndAcknowledgedWith13Then5) {
    Toys::VirtualToyOptions options =
        DeviceTest::ToyOptions(m_bus.Path(), GlmDev::kJewelryBoxProductId, "box");
    options.charms = {1001};
    DeviceTest::InProcessToy virtualBox(options);
    const Glm::Toy box(DeviceOf(GlmDev::kJewelryBoxProductId), GlmDev::kJewelryBoxProductId);
    Glm::CharmPoller poller(m_page, m_catalogue);
    poller.Start(box, {1001});
    EXPECT_TRUE(poller.IsActive());

    virtualBox.Command("touch charm 1002");
    ASSERT_TRUE(m_page.WaitFor(Glm::WM_GLM_CHARM_TOUCHED, 10s).has_value());
    ASSERT_TRUE(virtualBox.Log().WaitFor("acknowledged charm 1002"));
    const std::vector<std::string> lines = virtualBox.Log().Lines();
    const auto first = std::find(lines.begin(), lines.end(), "command 13");
    ASSERT_NE(first, lines.end());
    ASSERT_NE(first + 1, lines.end());
    EXPECT_EQ(*(first + 1), "command 5");

    Glm::ToyItem item;
    ASSERT_TRUE(poller.TakeTouch(Reports().front(), item));
    EXPECT_EQ(item.id, 1002);
    EXPECT_EQ(item.name, "Thimble Crown");
    EXPECT_EQ(Reports().front().wParam, 1002u);

    // The listed charm touched again, and a charm the catalogue lacks: not
    // reported, not acknowledged, however often the toy is asked.
    const std::size_t touched = virtualBox.Log().Count("touched charm 1001");
    virtualBox.Command("touch charm 1001");
    ASSERT_TRUE(virtualBox.Log().WaitForCount("touched charm 1001", touched + 1));
    poller.PollNow();
    poller.PollNow();
    virtualBox.Command("touch charm 4242");
    ASSERT_TRUE(virtualBox.Log().WaitFor("touched charm 4242"));
    poller.PollNow();
    EXPECT_EQ(Reports().size(), 1u);
    EXPECT_EQ(virtualBox.Log().Count("acknowledged"), 1u);
    EXPECT_EQ(virtualBox.Log().Count("command 13"), 1u);

    // Once the page no longer lists a charm (it was given away), a new
    // touch of it counts again.
    poller.SetListed({1002});
    virtualBox.Command("touch charm 1001");
    ASSERT_TRUE(virtualBox.Log().WaitForCount("acknowledged", 2));
    EXPECT_EQ(Reports().size(), 2u);
    poller.Stop();
}

TEST_F(CharmPolling, AStandingTouchOfACharmGivenAwayIsAcknowledgedNotReported) {
    Toys::VirtualToyOptions options =
        DeviceTest::ToyOptions(m_bus.Path(), GlmDev::kJewelryBoxProductId, "box");
    DeviceTest::InProcessToy virtualBox(options);
    Glm::Toy box(DeviceOf(GlmDev::kJewelryBoxProductId), GlmDev::kJewelryBoxProductId);
    Glm::CharmPoller poller(m_page, m_catalogue);
    // Touched before the page came up: listed from memory, its touch left
    // standing on the toy.
    virtualBox.Command("touch charm 1001");
    ASSERT_TRUE(virtualBox.Log().WaitFor("touched charm 1001"));
    poller.Start(box, {1001});
    poller.PollNow();
    EXPECT_EQ(virtualBox.Log().Count("command"), 0u);

    // Given away: cleared from the box, the list read again without it.
    {
        Sync::AutoLock lock(poller.GetLock());
        ASSERT_EQ(box.ReadMemory(), 0);
        ASSERT_EQ(box.RemoveEntry(1001), 0);
        poller.SetListed({});
    }
    poller.PollNow();
    ASSERT_TRUE(virtualBox.Log().WaitFor("acknowledged charm 1001"));
    poller.PollNow();
    EXPECT_TRUE(Reports().empty());
    poller.Stop();
}

TEST_F(CharmPolling, ABraceletIsAcknowledgedWith7AndAGameIsNeverPolled) {
    DeviceTest::InProcessToy virtualBracelet(
        DeviceTest::ToyOptions(m_bus.Path(), GlmDev::kBraceletProductId, "bracelet"));
    DeviceTest::InProcessToy virtualGame(
        DeviceTest::ToyOptions(m_bus.Path(), GlmDev::kGameProductId, "game"));
    const Glm::Toy bracelet(DeviceOf(GlmDev::kBraceletProductId), GlmDev::kBraceletProductId);
    const Glm::Toy game(DeviceOf(GlmDev::kGameProductId), GlmDev::kGameProductId);
    Glm::CharmPoller poller(m_page, m_catalogue);

    poller.Start(game, {});
    EXPECT_FALSE(poller.IsActive());
    poller.PollNow();
    EXPECT_EQ(virtualGame.Log().Count("command"), 0u);

    poller.Start(bracelet, {});
    virtualBracelet.Command("touch charm 1003");
    ASSERT_TRUE(virtualBracelet.Log().WaitFor("acknowledged charm 1003"));
    EXPECT_EQ(virtualBracelet.Log().Count("command 7"), 1u);
    EXPECT_EQ(virtualBracelet.Log().Count("command 13"), 0u);
    ASSERT_TRUE(m_page.WaitFor(Glm::WM_GLM_CHARM_TOUCHED, 10s).has_value());
}

TEST_F(CharmPolling, ATouchIdThatIsNotPositiveMeansNothingNew) {
    // No command makes such a touch; the firmware is given one before it runs.
    DeviceTest::InProcessToy virtualBox(
        DeviceTest::ToyOptions(m_bus.Path(), GlmDev::kJewelryBoxProductId, "box"),
        [](Toys::ToyFirmware& firmware) { firmware.TouchCharm(-5); });
    const Glm::Toy box(DeviceOf(GlmDev::kJewelryBoxProductId), GlmDev::kJewelryBoxProductId);
    Glm::CharmPoller poller(m_page, m_catalogue);
    poller.Start(box, {});
    for (int i = 0; i < 3; ++i) {
        poller.PollNow();
    }
    EXPECT_TRUE(Reports().empty());
    EXPECT_EQ(virtualBox.Log().Count("command"), 0u);
    // The same toy's next real touch still comes through.
    virtualBox.Command("touch charm 1001");
    ASSERT_TRUE(m_page.WaitFor(Glm::WM_GLM_CHARM_TOUCHED, 10s).has_value());
    EXPECT_TRUE(virtualBox.Log().WaitFor("acknowledged charm 1001"));
}

TEST_F(CharmPolling, AfterStopNothingIsPolledAndEarlierReportsAreRefused) {
    DeviceTest::InProcessToy virtualBox(
        DeviceTest::ToyOptions(m_bus.Path(), GlmDev::kJewelryBoxProductId, "box"));
    const Glm::Toy box(DeviceOf(GlmDev::kJewelryBoxProductId), GlmDev::kJewelryBoxProductId);
    Glm::CharmPoller poller(m_page, m_catalogue);
    poller.Start(box, {});
    virtualBox.Command("touch charm 1001");
    const std::optional<UI::Message> report = m_page.WaitFor(Glm::WM_GLM_CHARM_TOUCHED, 10s);
    ASSERT_TRUE(report.has_value());
    // The acknowledgement has no reply: wait until the toy has taken it, or
    // it would acknowledge whatever is touched next.
    ASSERT_TRUE(virtualBox.Log().WaitFor("acknowledged charm 1001"));

    poller.Stop();
    EXPECT_FALSE(poller.IsActive());
    Glm::ToyItem item;
    EXPECT_FALSE(poller.TakeTouch(*report, item)); // delivered after the page was hidden
    virtualBox.Command("touch charm 1002");
    ASSERT_TRUE(virtualBox.Log().WaitFor("touched charm 1002"));
    poller.PollNow();
    EXPECT_EQ(Reports().size(), 1u);
    EXPECT_EQ(virtualBox.Log().Count("acknowledged charm 1002"), 0u);

    // Shown again: a new activation; the old report stays refused.
    poller.Start(box, {1001});
    ASSERT_TRUE(virtualBox.Log().WaitFor("acknowledged charm 1002"));
    const std::vector<UI::Message> reports = Reports();
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_FALSE(poller.TakeTouch(reports[0], item));
    EXPECT_TRUE(poller.TakeTouch(reports[1], item));
    EXPECT_EQ(item.id, 1002);

    // An unplugged toy is simply not answered.
    virtualBox.Unplug();
    poller.PollNow();
    EXPECT_EQ(Reports().size(), 2u);
}

// The poller's thread against the page's upload (toy writes under the
// poller's lock), list changes, hides and shows, and destruction while a
// poll may run. Meant for ThreadSanitizer.
TEST_F(CharmPolling, PollsUploadsAndStopsInterleaveSafely) {
    Toys::VirtualToyOptions options =
        DeviceTest::ToyOptions(m_bus.Path(), GlmDev::kJewelryBoxProductId, "box");
    options.charms = {1001, 1002, 1003};
    DeviceTest::InProcessToy virtualBox(options);
    Glm::Toy box(DeviceOf(GlmDev::kJewelryBoxProductId), GlmDev::kJewelryBoxProductId);
    ASSERT_EQ(box.ReadMemory(), 0);
    auto poller = std::make_unique<Glm::CharmPoller>(m_page, m_catalogue);
    poller->Start(box, {});

    std::atomic<bool> done{false};
    std::thread toucher([&] {
        for (int i = 0; i < 40 && !done; ++i) {
            virtualBox.Command("touch charm " + std::to_string(1001 + i % 3));
            std::this_thread::sleep_for(5ms); // pacing the toy, not waiting for a result
        }
    });
    for (int round = 0; round < 30; ++round) {
        {
            Sync::AutoLock lock(poller->GetLock());
            if (round == 10) {
                box.RemoveEntry(1002); // the upload's clear (a write takes seconds)
            }
            ASSERT_EQ(box.ReadMemory(), 0); // the refresh
            poller->SetListed({1001 + (round + 1) % 3});
        }
        poller->PollNow();
        if (round % 5 == 0) {
            poller->Stop();
            poller->Start(box, {});
        }
        for (const UI::Message& message : m_page.Messages()) {
            Glm::ToyItem item;
            poller->TakeTouch(message, item);
        }
    }
    done = true;
    toucher.join();
    poller.reset(); // while its timer may be polling
    SUCCEED();
}

} // namespace
