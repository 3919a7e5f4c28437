#include "CharmTestSupport.h"

#include "Flow/GLMErrorDlg.h"
#include "Flow/ScreenIds.h"
#include "Tools/FlashWindow.h"
#include "common/UI/Messages.h"
#include "webapi/FriendRecord.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QPointer>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>
#include <sstream>

namespace FlowTest {

namespace {

struct SeedFacts {
    std::uint32_t jewelryBox = 0;
    std::uint32_t game = 0;
    std::vector<std::string> fairies;
};

std::unique_ptr<DemoService> g_demo;
SeedFacts g_facts;

// The service is a child process: stopped at the end of the run, while the
// test's application objects are gone.
class CharmEnvironment : public ::testing::Environment {
public:
    void TearDown() override { g_demo.reset(); }
};

// The first family's lines of the seed: its Fairies and its toys.
SeedFacts ReadSeed(const std::string& seed) {
    SeedFacts facts;
    std::istringstream lines(seed);
    int accounts = 0;
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        std::string first;
        std::string value;
        words >> first >> value;
        if (first == "account") {
            ++accounts;
        } else if (accounts == 1 && first == "fairy") {
            facts.fairies.push_back(value);
        } else if (accounts == 1 && first == "jewelrybox") {
            facts.jewelryBox = static_cast<std::uint32_t>(std::stoul(value));
        } else if (accounts == 1 && first == "game") {
            facts.game = static_cast<std::uint32_t>(std::stoul(value));
        }
    }
    return facts;
}

void SendClick(QWidget* target, const QPoint& where) {
    const QPoint global = target->mapToGlobal(where);
    QPointer<QWidget> alive(target);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(where), QPointF(global), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    if (alive) {
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(where), QPointF(global), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(target, &release);
    }
}

} // namespace

bool WaitUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

ScriptedToy::ScriptedToy(const QString& kind, const QString& name, const QStringList& extra) {
    QStringList arguments{kind,
                          "--name",
                          name,
                          "--dir",
                          QString::fromLocal8Bit(std::getenv("GLIMMERIES_TOY_DIR")),
                          "--state",
                          m_state.path() + "/toy.state"};
    arguments += extra;
    m_process.start(BuildProgram("glimmeries-toy"), arguments);
    m_process.waitForStarted(5000);
}

ScriptedToy::~ScriptedToy() {
    Unplug();
}

void ScriptedToy::Command(const std::string& line) {
    m_process.write((line + "\n").c_str());
    m_process.waitForBytesWritten(1000);
}

void ScriptedToy::ReadOutput() {
    m_output += m_process.readAllStandardOutput().toStdString();
}

std::size_t ScriptedToy::Count(const std::string& text) {
    ReadOutput();
    std::size_t count = 0;
    for (auto at = m_output.find(text); at != std::string::npos; at = m_output.find(text, at + 1)) {
        ++count;
    }
    return count;
}

bool ScriptedToy::WaitFor(const std::string& text, std::size_t count, int timeoutMs) {
    return WaitUntil(
        [&] {
            m_process.waitForReadyRead(5);
            return Count(text) >= count;
        },
        timeoutMs);
}

void ScriptedToy::Unplug() {
    if (m_process.state() == QProcess::NotRunning) {
        return;
    }
    Command("unplug");
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

PopupAnswers::PopupAnswers(Glm::MainFrame& frame) : m_frame(frame) {
    QObject::connect(&m_timer, &QTimer::timeout, [this] {
        Glm::SkinnedPopup* popup = m_frame.GetOpenPopup();
        if (popup == nullptr || !popup->isVisible() || popup == m_answering) {
            return;
        }
        m_answering = popup;
        const int dialogId = popup->GetDialogId();
        m_seen.push_back({dialogId, dialogId == Glm::CGLMErrorDlg::kDialogId ? m_frame.GetErrorId() : 0});
        const auto action = m_actions.find(dialogId);
        if (action != m_actions.end() && action->second) {
            action->second(*popup);
        }
        if (popup->isVisible()) {
            popup->EndDialog(Glm::SkinnedPopup::kCancel);
        }
        m_answering = nullptr;
    });
    m_timer.start(5);
}

std::vector<std::uint32_t> PopupAnswers::Errors() const {
    std::vector<std::uint32_t> errors;
    for (const Seen& seen : m_seen) {
        if (seen.dialogId == Glm::CGLMErrorDlg::kDialogId) {
            errors.push_back(seen.errorId);
        }
    }
    return errors;
}

DemoService& CharmWorld::Demo() {
    if (!g_demo) {
        g_demo = std::make_unique<DemoService>();
        g_facts = ReadSeed(g_demo->SeedOutput());
        // Owned by the test framework from here on.
        ::testing::AddGlobalTestEnvironment(new CharmEnvironment);
    }
    return *g_demo;
}

void CharmWorld::StopDemo() {
    g_demo.reset();
}

std::uint32_t CharmWorld::JewelryBoxClickId() {
    Demo();
    return g_facts.jewelryBox;
}

std::uint32_t CharmWorld::GameClickId() {
    Demo();
    return g_facts.game;
}

std::vector<std::string> CharmWorld::FairyIds() {
    Demo();
    return g_facts.fairies;
}

CharmWorld::CharmWorld() {
    DemoService& demo = Demo();
    auto& parameters = fixture.worker->parameters;
    const std::string content = demo.GetService().HttpBase();
    parameters["GLM_BASE_URL"] = demo.ApiUrl();
    parameters["GLM_LOG_LEVEL"] = "1";
    parameters["GLM_WEBSITE_BASE_URL"] = content + "/bramblemere/game/";
    parameters["GLM_VIEW_CHARMS_URL"] = content + "/glimmeries.html?page=charms&iscapp=true";
    parameters["SWF_AVATAR_AND_BUTTERFLY"] = "avatarAndButterfly.swf";
    parameters["GLM_FAQ_URL"] = "http://game.invalid/glimmeries.html?page=faq";
    App().GetWebApi().Init(&frame.Target(), demo.ApiUrl(), "1");
    std::string accountId;
    std::string errorCode;
    const DemoAccount& family = demo.Accounts().front();
    EXPECT_EQ(App().GetWebApi().SignIn(family.login, family.password, accountId, errorCode), 0) << errorCode;
    frame.SetObserver([this](const UI::Message& message) { seen.push_back(message); });
    // Made at start, as the frame's start makes it.
    EXPECT_NE(frame.CreateScreen(Glm::ScreenId::kCharmCollection), nullptr);
    frame.show();
}

CharmWorld::~CharmWorld() {
    ForgetQuitRequest();
}

std::int32_t CharmWorld::UseToy(std::uint32_t productId, std::uint32_t clickId,
                                const std::string& ownerUserId) {
    const std::int32_t id = feed.WaitForToy(productId);
    if (id < 0) {
        return -1;
    }
    std::optional<Glm::Toy> toy = App().GetToys().Find(static_cast<std::uint32_t>(id));
    // The click id is written over what the toy holds: the outgoing copy
    // takes the memory first (the points word is zero on these toys).
    if (!toy || toy->ReadMemory() != 0 || toy->ClearPoints() != 0 ||
        toy->SetClickId(static_cast<std::int32_t>(clickId)) != 0) {
        return -1;
    }
    const std::string owner = ownerUserId.empty() ? Demo().Accounts().front().userId : ownerUserId;
    App().GetToys().Update(static_cast<std::uint32_t>(id), [&](Glm::Toy& listed) {
        listed.SetImage(toy->GetImage());
        listed.SetOwnerUserId(owner);
    });
    App().SetCurrentDevice(id);
    return id;
}

Glm::CGLMCharmsUploadDlg* CharmWorld::OpenPage() {
    frame.Target().Send(UI::WM_GLM_OPEN_CHARM_UPLOAD);
    return frame.GetScreen<Glm::CGLMCharmsUploadDlg>(Glm::ScreenId::kCharmUpload);
}

bool CharmWorld::WaitForAvatars(Glm::CGLMCharmsUploadDlg& page, std::size_t count) {
    return WaitUntil(
        [&] {
            for (std::size_t slot = 0; slot < count; ++slot) {
                Web::FlashWindow* movie = page.GetAvatar(slot).GetFlashWindow();
                if (movie == nullptr || !movie->isVisible()) {
                    return false;
                }
            }
            return true;
        },
        30000);
}

bool CharmWorld::ClickAvatarAt(Glm::CGLMCharmsUploadDlg& page, int x, int y) {
    QWidget* target = page.childAt(x, y);
    if (target == nullptr) {
        return false;
    }
    if (QWidget* inner = target->focusProxy()) {
        target = inner;
    }
    SendClick(target, target->mapFrom(&page, QPoint(x, y)));
    return true;
}

bool CharmWorld::ClickCharm(Glm::CGLMCharmsUploadDlg& page, int index) {
    Glm::CharmListView* list = page.GetList();
    if (list == nullptr || index >= list->count()) {
        return false;
    }
    list->scrollToItem(list->item(index));
    const QRect item = list->ItemRect(index);
    if (!list->viewport()->rect().contains(item.center())) {
        return false;
    }
    SendClick(list->viewport(), item.center());
    QCoreApplication::sendPostedEvents();
    return true;
}

std::vector<std::int32_t> CharmWorld::CharmsOnToy(std::int32_t deviceId) {
    std::optional<Glm::Toy> toy = App().GetToys().Find(static_cast<std::uint32_t>(deviceId));
    std::vector<std::int32_t> charms;
    if (!toy || toy->ReadMemory() != 0) {
        ADD_FAILURE() << "the toy cannot be read";
        return charms;
    }
    for (std::size_t word = Glm::Toy::kFirstSlotWord; word < Glm::Toy::kWordCount; ++word) {
        const std::int32_t value = Glm::Toy::GetWord(toy->GetImage(), word);
        if (value > 0) {
            charms.push_back(value);
        }
    }
    return charms;
}

std::vector<std::int32_t> CharmWorld::CharmsOfFairy(const std::string& fairyId) {
    std::vector<Glm::FriendRecord> friends;
    std::vector<std::int32_t> charms;
    EXPECT_EQ(App().GetWebApi().ObtainGlimmeriesInventory(fairyId, friends, charms), 0);
    return charms;
}

std::vector<UI::Message> CharmWorld::Seen(std::uint32_t id) const {
    std::vector<UI::Message> found;
    for (const UI::Message& message : seen) {
        if (message.id == id) {
            found.push_back(message);
        }
    }
    return found;
}

} // namespace FlowTest
