// The charm page's poller against the page's uploads, list reloads, hides
// and its end, with a toy touched from another thread all the while. Meant
// for ThreadSanitizer: no web views are made (the toy's owner has no
// Fairies), so the web engine never starts.

#include "CharmTestSupport.h"
#include "ThinUI/Controls.h"
#include "common/UI/Messages.h"
#include "device/SupportedToys.h"
#include "tests/device/DeviceTestSupport.h"

#include <QCoreApplication>
#include <QTest>
#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <gtest/gtest.h>
#include <thread>

namespace {

using namespace std::chrono_literals;
using FlowTest::CharmWorld;
using Page = Glm::CGLMCharmsUploadDlg;

void Command(Page& page, int controlId) {
    QCoreApplication::postEvent(&page, new ThinUI::CommandEvent(controlId));
    QCoreApplication::sendPostedEvents(&page);
}

TEST(CharmPageConcurrency, PollsRaceUploadsReloadsHidesAndTheEnd) {
    CharmWorld::Demo();
    auto world = std::make_unique<CharmWorld>();
    DeviceTest::InProcessToy box(
        DeviceTest::ToyOptions(std::getenv("GLIMMERIES_TOY_DIR"), GlmDev::kJewelryBoxProductId, "racebox"));
    const std::int32_t device = world->UseToy(GlmDev::kJewelryBoxProductId, CharmWorld::JewelryBoxClickId(),
                                              CharmWorld::Demo().Fairyless().userId);
    ASSERT_GE(device, 0);
    Page* page = world->OpenPage();
    ASSERT_NE(page, nullptr);
    const auto fairy = static_cast<UI::LPARAM>(std::stoll(CharmWorld::FairyIds()[0]));

    std::atomic<bool> done{false};
    std::thread toucher([&] {
        for (int i = 0; i < 400 && !done; ++i) {
            box.Command("touch charm " + std::to_string(1001 + i % 12));
            std::this_thread::sleep_for(15ms); // pacing the toy, not waiting for a result
        }
    });
    for (int round = 0; round < 20; ++round) {
        page->Target().Send(Page::kFairyClickedMessage, 0, fairy);
        if (page->GetList()->count() > 0) {
            page->GetList()->setCurrentRow(round % page->GetList()->count());
            Command(*page, Page::kNextId); // gives the charm, clears it, reloads
        }
        if (round % 7 == 6) {
            Command(*page, Page::kBackId);
            EXPECT_FALSE(page->GetPoller().IsActive());
            world->frame.Target().Send(UI::WM_GLM_OPEN_CHARM_UPLOAD);
        }
        QTest::qWait(260); // a poll or more between the page's own steps
    }
    done = true;
    toucher.join();
    // Charms were given (each reload follows a gift) and touches came in.
    EXPECT_GT(world->Seen(UI::WM_GLM_CHARM_NEXT).size(), 5u);
    EXPECT_GT(box.Log().Count("acknowledged charm"), 0u);

    // Whatever the page lists, the box holds.
    world->frame.Target().Send(UI::WM_GLM_CHARM_NEXT);
    std::vector<std::int32_t> held = world->CharmsOnToy(device);
    for (const std::int32_t charm : page->GetListedCharms()) {
        const auto found = std::find(held.begin(), held.end(), charm);
        EXPECT_NE(found, held.end()) << charm;
        if (found != held.end()) {
            held.erase(found);
        }
    }
    // The page goes away while its poller may be polling.
    box.Command("touch charm 1013");
    world.reset();
    SUCCEED();
}

} // namespace
