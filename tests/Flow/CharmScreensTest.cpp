// The charm page, its congratulation popup and the collection page against
// the demo service and virtual toys, driven at the page's pixel positions.

#include "CharmTestSupport.h"
#include "Flow/GLMCharmsCollectionDlg.h"
#include "Flow/GLMCharmsCongratsDlg.h"
#include "Flow/ScreenIds.h"
#include "ThinUI/Controls.h"
#include "ThinUI/TextLabel.h"
#include "Tools/IEWindow.h"
#include "device/SupportedToys.h"
#include "webapi/UploadBodies.h"

#include <QScrollBar>
#include <algorithm>
#include <gtest/gtest.h>
#include <iostream>

namespace {

using FlowTest::CharmWorld;
using FlowTest::ClickAt;
using FlowTest::SaveScreenshot;
using FlowTest::ScriptedToy;
using FlowTest::WaitUntil;
using Glm::CGLMCharmsCongratsDlg;
using Glm::CGLMCharmsUploadDlg;
using Page = Glm::CGLMCharmsUploadDlg;

constexpr int kNextX = 625 + 10;
constexpr int kButtonY = 219 + 10;
constexpr int kBackX = 21 + 10;

std::vector<std::int32_t> Ids(std::initializer_list<std::int32_t> ids) {
    return ids;
}

bool Holds(const std::vector<std::int32_t>& ids, std::int32_t id) {
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}

bool Visible(QWidget& page, int controlId) {
    QWidget* control = ThinUI::FindControl(&page, controlId);
    return control != nullptr && !control->isHidden();
}

std::string LabelText(QWidget& dialog, int controlId) {
    auto* label = dynamic_cast<ThinUI::TextLabel*>(ThinUI::FindControl(&dialog, controlId));
    return label != nullptr ? label->GetText().toStdString() : std::string();
}

// The avatar of a slot, clicked in its middle.
QPoint AvatarCentre(std::size_t slot) {
    return Page::AvatarRect(slot).center();
}

class CharmScreens : public ::testing::Test {
protected:
    static void SetUpTestSuite() { CharmWorld::Demo(); }
    void TearDown() override {
        if (HasFailure()) {
            std::cerr << "Application log:\n" << world.fixture.Log();
        }
    }

    // The page up for the plugged toy of that product, registered to the
    // demo family with clickId.
    Page* Open(std::uint32_t product, std::uint32_t clickId) {
        m_device = world.UseToy(product, clickId);
        EXPECT_GE(m_device, 0);
        Page* page = world.OpenPage();
        EXPECT_NE(page, nullptr);
        return page;
    }
    bool WaitListed(Page& page, std::int32_t charm) {
        return WaitUntil([&] { return Holds(page.GetListedCharms(), charm); });
    }
    void ChooseFairy(Page& page, std::size_t slot) {
        ASSERT_TRUE(world.WaitForAvatars(page, slot + 1));
        const QPoint centre = AvatarCentre(slot);
        ASSERT_TRUE(world.ClickAvatarAt(page, centre.x(), centre.y()));
        ASSERT_TRUE(WaitUntil([&] { return page.GetChosenFairy() != 0; }));
    }

    CharmWorld world;
    std::int32_t m_device = -1;
};

TEST_F(CharmScreens, BoxCharmsTouchedBeforeAndWhileShownAreGivenToAFairy) {
    ScriptedToy box("jewelrybox", "charmbox");
    ASSERT_GE(world.feed.WaitForToy(GlmDev::kJewelryBoxProductId), 0);
    box.Command("touch charm 1003");
    box.Command("touch charm 1006");
    ASSERT_TRUE(box.WaitFor("touched charm 1006"));
    Page* page = Open(GlmDev::kJewelryBoxProductId, CharmWorld::JewelryBoxClickId());
    ASSERT_NE(page, nullptr);

    // Listed from the box's memory, one row 99 pixels apart, names on two
    // lines; the touch pending on the toy is taken at once.
    ASSERT_EQ(page->GetListedCharms(), Ids({1003, 1006}));
    EXPECT_TRUE(world.popups.Errors().empty());
    Glm::CharmListView* list = page->GetList();
    EXPECT_EQ(list->pos(), QPoint(226, 364));
    EXPECT_EQ(list->size(), QSize(302, 110));
    EXPECT_EQ(list->ItemRect(1).left() - list->ItemRect(0).left(), Page::kItemStep);
    EXPECT_EQ(list->item(0)->text().toStdString(), "Acorn\nKettle");
    EXPECT_TRUE(Visible(*page, Page::kImageId));
    EXPECT_FALSE(Visible(*page, Page::kErrorImageId));
    EXPECT_FALSE(Visible(*page, Page::kLeftArrowId));
    EXPECT_FALSE(Visible(*page, Page::kNextId));
    EXPECT_TRUE(world.fixture.Log().find("Landing on AddCharms") != std::string::npos);
    EXPECT_TRUE(world.WaitForAvatars(*page, 2));
    SaveScreenshot(*page, "charms-page-listed");

    // Touched while shown: appears, acknowledged with 13 then 5; the fourth
    // charm brings the arrows.
    box.Command("touch charm 1010");
    ASSERT_TRUE(WaitListed(*page, 1010));
    ASSERT_TRUE(box.WaitFor("acknowledged charm 1010"));
    EXPECT_TRUE(box.WaitFor("command 13\ncommand 5"));
    EXPECT_FALSE(Visible(*page, Page::kLeftArrowId));
    box.Command("touch charm 1011");
    ASSERT_TRUE(WaitListed(*page, 1011));
    EXPECT_TRUE(Visible(*page, Page::kLeftArrowId));
    EXPECT_TRUE(Visible(*page, Page::kRightArrowId));
    // The new charm was scrolled into view; the arrows move by one item.
    QScrollBar* bar = list->horizontalScrollBar();
    const int scrolled = bar->value();
    EXPECT_GT(scrolled, 0);
    EXPECT_EQ(ClickAt(*page, 146 + 5, 368 + 5), Page::kLeftArrowId);
    EXPECT_EQ(bar->value(), std::max(0, scrolled - Page::kItemStep));
    const int left = bar->value();
    EXPECT_EQ(ClickAt(*page, 559 + 5, 368 + 5), Page::kRightArrowId);
    EXPECT_EQ(bar->value(), std::min(bar->maximum(), left + Page::kItemStep));
    // Touched a second time: the box keeps it twice, the list once.
    box.Command("touch charm 1010");
    ASSERT_TRUE(box.WaitFor("touched charm 1010", 2));
    page->GetPoller().PollNow();
    QCoreApplication::processEvents();
    EXPECT_EQ(page->GetListedCharms(), Ids({1003, 1006, 1010, 1011}));
    SaveScreenshot(*page, "charms-page-arrows");

    // Next needs a Fairy, then a charm.
    ASSERT_TRUE(world.ClickCharm(*page, 0));
    EXPECT_EQ(page->GetSelectedCharm(), 1003);
    // Next shows only once a Fairy is chosen; its command arrives anyway.
    QCoreApplication::postEvent(page, new ThinUI::CommandEvent(Page::kNextId));
    QCoreApplication::sendPostedEvents(page);
    EXPECT_EQ(world.popups.Errors(), std::vector<std::uint32_t>{189});
    ChooseFairy(*page, 0);
    const std::string lirabelle = CharmWorld::FairyIds()[0];
    EXPECT_EQ(std::to_string(page->GetChosenFairy()), lirabelle);
    EXPECT_TRUE(Visible(*page, Page::kNextId));
    EXPECT_EQ(LabelText(*page, Page::kPromptId),
              "Select the charm you want to give to your Fairy\nLirabelle");
    list->clearSelection();
    EXPECT_EQ(ClickAt(*page, kNextX, kButtonY), Page::kNextId);
    EXPECT_EQ(world.popups.Errors(), (std::vector<std::uint32_t>{189, 168}));
    SaveScreenshot(*page, "charms-page-fairy-chosen");

    // Given: the congratulation with the charm and the Fairy's name; the
    // service has it, the box no longer does.
    std::string treated;
    world.popups.On(CGLMCharmsCongratsDlg::kDialogId, [&](Glm::SkinnedPopup& popup) {
        treated = LabelText(popup, CGLMCharmsCongratsDlg::kTreatedId);
        QWidget* picture = ThinUI::FindControl(&popup, CGLMCharmsCongratsDlg::kCharmPictureId);
        EXPECT_NE(picture, nullptr);
        if (picture != nullptr) {
            EXPECT_EQ(picture->pos(), QPoint(347, 268));
        }
        SaveScreenshot(popup, "charms-congrats");
        EXPECT_EQ(ClickAt(popup, 232 + 10, 356 + 10), CGLMCharmsCongratsDlg::kDoneId);
    });
    ASSERT_TRUE(world.ClickCharm(*page, 0));
    EXPECT_EQ(ClickAt(*page, kNextX, kButtonY), Page::kNextId);
    EXPECT_EQ(treated, "You've treated\nLirabelle ");
    EXPECT_NE(world.fixture.Log().find("Landing on AddCharmsCongrats"), std::string::npos);
    EXPECT_TRUE(Holds(world.CharmsOfFairy(lirabelle), 1003));
    EXPECT_FALSE(Holds(world.CharmsOnToy(m_device), 1003));
    // Read back from the box, which holds the twice-touched charm twice.
    EXPECT_EQ(page->GetListedCharms(), Ids({1006, 1010, 1011, 1010}));
    ASSERT_FALSE(world.Seen(UI::WM_GLM_CHARM_NEXT).empty());
    EXPECT_EQ(world.Seen(UI::WM_GLM_CHARM_NEXT).back().lParam, 1003);

    // The charm touched while shown, then the twice-touched one: its
    // second copy is refused as owned and cleared from the box.
    ASSERT_TRUE(world.ClickCharm(*page, 2));
    EXPECT_EQ(ClickAt(*page, kNextX, kButtonY), Page::kNextId);
    EXPECT_FALSE(Holds(world.CharmsOnToy(m_device), 1011));
    EXPECT_EQ(page->GetListedCharms(), Ids({1006, 1010, 1010}));
    ASSERT_TRUE(world.ClickCharm(*page, 1));
    EXPECT_EQ(ClickAt(*page, kNextX, kButtonY), Page::kNextId);
    EXPECT_EQ(page->GetListedCharms(), Ids({1006, 1010}));
    world.popups.Clear();
    ASSERT_TRUE(world.ClickCharm(*page, 1));
    EXPECT_EQ(ClickAt(*page, kNextX, kButtonY), Page::kNextId);
    EXPECT_EQ(world.popups.Errors(), std::vector<std::uint32_t>{195});
    EXPECT_EQ(page->GetListedCharms(), Ids({1006}));
    EXPECT_EQ(world.CharmsOnToy(m_device), Ids({1006}));
    // The toy still reports that touch; the charm is gone, so it is taken
    // off the toy and never listed again.
    page->GetPoller().PollNow();
    EXPECT_TRUE(box.WaitFor("acknowledged charm 1010"));
    QCoreApplication::processEvents();
    EXPECT_EQ(page->GetListedCharms(), Ids({1006}));
    const std::vector<std::int32_t> given = world.CharmsOfFairy(lirabelle);
    EXPECT_EQ(std::count(given.begin(), given.end(), 1010), 1);

    // Back: the page is hidden, its poller stopped, its avatars gone.
    EXPECT_EQ(ClickAt(*page, kBackX, kButtonY), Page::kBackId);
    EXPECT_TRUE(page->isHidden());
    EXPECT_FALSE(page->GetPoller().IsActive());
    EXPECT_EQ(page->GetAvatar(0).GetWindow(), nullptr);
    EXPECT_EQ(page->GetChosenFairy(), 0);
}

TEST_F(CharmScreens, BraceletCharmsGoToTheChosenFairyAndTheCollectionOpensSignedIn) {
    ScriptedToy bracelet("bracelet", "charmbracelet");
    const std::uint32_t clickId = CharmWorld::Demo().Accounts().front().braceletClickId;
    m_device = world.UseToy(GlmDev::kBraceletProductId, clickId);
    ASSERT_GE(m_device, 0);
    bracelet.Command("touch charm 1015");
    ASSERT_TRUE(bracelet.WaitFor("touched charm 1015"));
    Page* page = world.OpenPage();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->GetListedCharms(), Ids({1015}));
    // A bracelet's acknowledgement is command 7.
    bracelet.Command("touch charm 1016");
    ASSERT_TRUE(WaitListed(*page, 1016)) << bracelet.Output();
    ASSERT_TRUE(bracelet.WaitFor("acknowledged charm 1016"));
    EXPECT_EQ(bracelet.Count("command 7"), 1u);
    EXPECT_EQ(bracelet.Count("command 13"), 0u);

    // The second Fairy; the bracelet keeps its own Fairy's name, so the
    // congratulation asks the service for the chosen one's.
    ChooseFairy(*page, 1);
    const std::string tansy = CharmWorld::FairyIds()[1];
    EXPECT_EQ(std::to_string(page->GetChosenFairy()), tansy);
    std::string treated;
    world.popups.On(CGLMCharmsCongratsDlg::kDialogId, [&](Glm::SkinnedPopup& popup) {
        treated = LabelText(popup, CGLMCharmsCongratsDlg::kTreatedId);
        EXPECT_EQ(ClickAt(popup, 400 + 10, 376 + 10), CGLMCharmsCongratsDlg::kViewCharmsId);
    });
    ASSERT_TRUE(world.ClickCharm(*page, 1));
    EXPECT_EQ(ClickAt(*page, kNextX, kButtonY), Page::kNextId);
    EXPECT_EQ(treated, "You've treated\nTansy Quill ");
    EXPECT_TRUE(Holds(world.CharmsOfFairy(tansy), 1016));
    EXPECT_EQ(world.CharmsOnToy(m_device), Ids({1015}));

    // The view-charms button left for the collection page: the charm page is
    // hidden, the collection loads signed in and shows once complete.
    EXPECT_TRUE(page->isHidden());
    EXPECT_FALSE(page->GetPoller().IsActive());
    auto* collection = world.frame.GetScreen<Glm::GLMCharmsCollectionDlg>(Glm::ScreenId::kCharmCollection);
    ASSERT_NE(collection, nullptr);
    EXPECT_FALSE(collection->isHidden());
    ASSERT_NE(collection->GetView().GetWindow(), nullptr);
    EXPECT_EQ(collection->GetView().GetWindow()->geometry(), QRect(QPoint(186, 172), QPoint(626, 438)));
    const std::string url = collection->GetView().GetIEWindow()->GetUrl();
    EXPECT_EQ(url.rfind(CharmWorld::Demo().GetService().HttpBase() +
                            "/glimmeries.html?page=charms&iscapp=true&sessiontoken=",
                        0),
              0u)
        << url;
    ASSERT_TRUE(WaitUntil([&] { return collection->GetView().GetWindow()->isVisible(); }, 30000));
    SaveScreenshot(*collection, "charms-collection");
    EXPECT_EQ(ClickAt(*collection, kBackX, kButtonY), Glm::GLMCharmsCollectionDlg::kBackId);
    EXPECT_TRUE(collection->isHidden());
    EXPECT_EQ(collection->GetView().GetWindow(), nullptr);

    // Without a session the token is refused: the user's browser instead.
    world.App().GetWebApi().SignOut();
    world.recorder.urls.clear();
    world.frame.Target().Send(UI::WM_GLM_SHOW_CHARM_COLLECTION);
    ASSERT_EQ(world.recorder.urls.size(), 1u);
    EXPECT_EQ(world.recorder.urls[0].first,
              CharmWorld::Demo().GetService().HttpBase() + "/glimmeries.html?page=charms&iscapp=true");
    EXPECT_TRUE(collection->GetView().GetWindow() == nullptr ||
                collection->GetView().GetWindow()->isHidden());
}

TEST_F(CharmScreens, GameShowsAnEmptyListAndAGamePluggedMeanwhileChangesNothing) {
    ScriptedToy game("game", "charmgame");
    m_device = world.UseToy(GlmDev::kGameProductId, CharmWorld::GameClickId());
    ASSERT_GE(m_device, 0);
    Page* page = world.OpenPage();
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(page->GetListedCharms().empty());
    EXPECT_FALSE(page->GetPoller().IsActive());
    EXPECT_FALSE(Visible(*page, Page::kImageId));
    EXPECT_TRUE(Visible(*page, Page::kErrorImageId));
    EXPECT_TRUE(world.popups.Errors().empty());
    EXPECT_TRUE(world.WaitForAvatars(*page, 2));
    SaveScreenshot(*page, "charms-page-game");
    EXPECT_EQ(ClickAt(*page, kBackX, kButtonY), Page::kBackId);

    // The page up for a box; a game arrives: the list stays, touches still come.
    ScriptedToy box("jewelrybox", "charmbox-2", {"--charm", "1021"});
    m_device = world.UseToy(GlmDev::kJewelryBoxProductId, CharmWorld::JewelryBoxClickId());
    ASSERT_GE(m_device, 0);
    page = world.OpenPage();
    EXPECT_EQ(page->GetListedCharms(), Ids({1021}));
    ScriptedToy secondGame("game", "charmgame-2");
    ASSERT_TRUE(WaitUntil([&] { return world.App().GetToys().GetCount() == 3; }));
    box.Command("touch charm 1022");
    ASSERT_TRUE(WaitListed(*page, 1022));
    EXPECT_EQ(page->GetListedCharms(), Ids({1021, 1022}));
    EXPECT_TRUE(world.popups.Errors().empty());
}

TEST_F(CharmScreens, RefusalsLeaveTheBoxAndTheListAsTheyWere) {
    // A charm the catalogue lacks: refused once the list is read, and again
    // when touched while the page is up; never listed.
    ScriptedToy box("jewelrybox", "charmbox-3", {"--charm", "4242", "--charm", "1002"});
    m_device = world.UseToy(GlmDev::kJewelryBoxProductId, CharmWorld::JewelryBoxClickId());
    ASSERT_GE(m_device, 0);
    Page* page = world.OpenPage();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->GetListedCharms(), Ids({1002}));
    EXPECT_EQ(world.popups.Errors(), std::vector<std::uint32_t>{166});
    box.Command("touch charm 4343");
    ASSERT_TRUE(WaitUntil([&] { return world.popups.Errors().size() == 2; }));
    EXPECT_EQ(world.popups.Errors().back(), 166u);
    EXPECT_EQ(page->GetListedCharms(), Ids({1002}));

    // A Fairy whose inventory is full: 167, the charm stays.
    const std::string tansy = CharmWorld::FairyIds()[1];
    const std::uint32_t boxClick = CharmWorld::JewelryBoxClickId();
    for (std::int32_t charm = 1003; charm <= 1040 && world.CharmsOfFairy(tansy).size() < 36; ++charm) {
        std::string errorCode;
        world.App().GetWebApi().UploadCharms(Glm::BuildCharmUploadBody(tansy, boxClick, charm), errorCode);
    }
    ASSERT_EQ(world.CharmsOfFairy(tansy).size(), 36u);
    ChooseFairy(*page, 1);
    world.popups.Clear();
    ASSERT_TRUE(world.ClickCharm(*page, 0));
    EXPECT_EQ(ClickAt(*page, kNextX, kButtonY), Page::kNextId);
    // The reload after it meets the unknown charm again.
    EXPECT_EQ(world.popups.Errors(), (std::vector<std::uint32_t>{167, 166}));
    EXPECT_EQ(page->GetListedCharms(), Ids({1002}));
    EXPECT_TRUE(Holds(world.CharmsOnToy(m_device), 1002));

    // The box unplugged while the charm is being given: the service has it,
    // the box could not be cleared (182), nothing else is claimed.
    ChooseFairy(*page, 0);
    const std::string lirabelle = CharmWorld::FairyIds()[0];
    world.popups.Clear();
    ASSERT_TRUE(world.ClickCharm(*page, 0));
    box.Unplug();
    EXPECT_EQ(ClickAt(*page, kNextX, kButtonY), Page::kNextId);
    // The reload finds the toy gone once its removal has been seen.
    ASSERT_FALSE(world.popups.Errors().empty());
    EXPECT_EQ(world.popups.Errors().front(), 182u);
    EXPECT_TRUE(Holds(world.CharmsOfFairy(lirabelle), 1002));
    for (const FlowTest::PopupAnswers::Seen& seen : world.popups.Popups()) {
        EXPECT_NE(seen.dialogId, CGLMCharmsCongratsDlg::kDialogId);
    }
}

} // namespace
