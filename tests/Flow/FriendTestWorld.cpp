#include "FriendTestWorld.h"

#include "Flow/GLMErrorDlg.h"
#include "Flow/ScreenIds.h"
#include "Flow/ToyList.h"
#include "FrameWorld.h"
#include "device/SupportedToys.h"

#include <QScrollBar>
#include <QTest>
#include <cstdlib>
#include <sstream>

namespace FlowTest {

namespace {

constexpr int kWaitMs = 10000;

std::string Field(const std::string& line, const std::string& name) {
    std::istringstream words(line);
    std::string word;
    while (words >> word) {
        if (word == name && words >> word) {
            return word;
        }
    }
    return {};
}

// Discovery reads the bus directory when it starts.
void ToyBus(QTemporaryDir& directory) {
    ::setenv("GLIMMERIES_TOY_DIR", directory.path().toLocal8Bit().constData(), 1);
}

} // namespace

CommandedBracelet::CommandedBracelet(const QString& name, const QString& toyDirectory) : m_name(name) {
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.start(BuildProgram("glimmeries-toy"), {"bracelet", "--name", name, "--dir", toyDirectory,
                                                     "--state", m_state.path() + "/toy.state"});
    m_process.waitForStarted(5000);
}

CommandedBracelet::~CommandedBracelet() {
    Unplug();
}

bool CommandedBracelet::Command(const QString& line, const QString& expect) {
    m_output.clear();
    m_process.write((line + "\n").toUtf8());
    return QTest::qWaitFor(
        [&] {
            m_output += QString::fromUtf8(m_process.readAll());
            return m_output.contains(expect);
        },
        kWaitMs);
}

void CommandedBracelet::Unplug() {
    if (m_process.state() == QProcess::NotRunning) {
        return;
    }
    m_process.write("unplug\n");
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

namespace {
// Marks a popup opening the script has taken on. The error popup is one
// object opened again and again, sometimes right after it closed, so the
// mark goes when the script has closed it.
constexpr const char* kScripted = "glmScripted";
} // namespace

NestedPopupScript::NestedPopupScript(Glm::MainFrame& frame) : m_frame(frame) {
    QObject::connect(&m_timer, &QTimer::timeout, [this] {
        Glm::SkinnedPopup* popup = m_frame.GetOpenPopup();
        if (popup == nullptr || popup->isHidden() || popup->property(kScripted).toBool()) {
            return;
        }
        popup->setProperty(kScripted, true);
        Seen seen{popup->GetDialogId(), 0};
        if (auto* error = dynamic_cast<Glm::CGLMErrorDlg*>(popup)) {
            seen.errorId = error->GetMessageId();
        }
        m_seen.push_back(seen);
        // A timer of its own, so popups the action opens are seen in their
        // nested loops.
        QPointer<Glm::SkinnedPopup> guarded(popup);
        QTimer::singleShot(0, popup, [this, guarded] {
            if (!guarded.isNull()) {
                Run(guarded.data());
            }
        });
    });
    m_timer.start(5);
}

void NestedPopupScript::Run(Glm::SkinnedPopup* popup) {
    QPointer<Glm::SkinnedPopup> guarded(popup);
    if (auto* error = dynamic_cast<Glm::CGLMErrorDlg*>(popup)) {
        SaveScreenshot(*popup, "friends-error-" + std::to_string(error->GetMessageId()));
        Click(*popup, Glm::CGLMErrorDlg::kOkId);
        // The button's command is posted: the popup closes here.
        QCoreApplication::sendPostedEvents(popup);
    } else {
        if (!m_actions.empty() && !::testing::Test::HasFailure()) {
            const Action action = std::move(m_actions.front());
            m_actions.pop_front();
            action(*popup);
        }
        if (Glm::SkinnedPopup* open = guarded.data(); open != nullptr && !open->isHidden()) {
            open->EndDialog(Glm::SkinnedPopup::kCancel);
        }
    }
    if (Glm::SkinnedPopup* closed = guarded.data(); closed != nullptr && closed->isHidden()) {
        closed->setProperty(kScripted, false);
    }
}

std::vector<int> NestedPopupScript::DialogIds() const {
    std::vector<int> ids;
    for (const Seen& seen : m_seen) {
        ids.push_back(seen.dialogId);
    }
    return ids;
}

FriendWorld::FriendWorld(const std::vector<std::string>& serviceArguments) : demo(serviceArguments) {
    ToyBus(toyDirectory);
    feed = std::make_unique<ToyFeed>(App());
    auto& parameters = fixture.worker->parameters;
    parameters["GLM_BASE_URL"] = demo.ApiUrl();
    parameters["GLM_LOG_LEVEL"] = "1";
    parameters["GLM_WEBSITE_BASE_URL"] = demo.GetService().HttpBase() + "/bramblemere/game/";
    parameters["GLM_FLY_TO_BRAMBLEMERE_URL"] = "http://game.invalid/bramblemere/play?fly=1";
    parameters["SWF_AVATAR_FULL"] = "avatarFull.swf";
    parameters["GLM_FAQ_URL"] = "http://game.invalid/glimmeries.html?page=faq";
    App().GetWebApi().Init(&frame.Target(), demo.ApiUrl(), "1");
    frame.SetObserver([this](const UI::Message& message) { seen.push_back(message); });
    frame.show();
}

FriendWorld::~FriendWorld() {
    m_bracelets.clear();
    feed.reset();
    ForgetQuitRequest();
}

const DemoAccount& FriendWorld::Account(const std::string& login) const {
    for (const DemoAccount& account : demo.Accounts()) {
        if (account.login == login) {
            return account;
        }
    }
    throw std::runtime_error("no demo account " + login);
}

DemoToys FriendWorld::MoonpetalToys() const {
    DemoToys toys;
    std::istringstream lines(demo.SeedOutput());
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("  jewelrybox ", 0) == 0 && toys.jewelryBox == 0) {
            toys.jewelryBox = static_cast<std::uint32_t>(std::stoul(Field(line, "jewelrybox")));
        } else if (line.rfind("  game ", 0) == 0 && toys.game == 0) {
            toys.game = static_cast<std::uint32_t>(std::stoul(Field(line, "game")));
        }
    }
    return toys;
}

std::int32_t FriendWorld::PlugBracelet(const std::string& name, std::uint32_t clickId) {
    const std::size_t before = App().GetToys().GetCount();
    m_bracelets.push_back(
        std::make_unique<CommandedBracelet>(QString::fromStdString(name), toyDirectory.path()));
    if (!PumpUntil([&] { return App().GetToys().GetCount() > before; })) {
        return -1;
    }
    const Glm::Toy newest = App().GetToys().List().back();
    std::int32_t written = -1;
    App().GetToys().Update(newest.GetDeviceId(), [&](Glm::Toy& toy) {
        written = toy.SetClickId(static_cast<std::int32_t>(clickId));
    });
    return written == 0 ? static_cast<std::int32_t>(newest.GetDeviceId()) : -1;
}

CommandedBracelet& FriendWorld::Bracelet(const std::string& name) {
    for (auto& bracelet : m_bracelets) {
        if (bracelet->Name().toStdString() == name) {
            return *bracelet;
        }
    }
    throw std::runtime_error("no bracelet " + name);
}

bool FriendWorld::Reread(std::int32_t deviceId) {
    std::int32_t result = -1;
    App().GetToys().Update(static_cast<std::uint32_t>(deviceId),
                           [&](Glm::Toy& toy) { result = toy.ReadMemory(); });
    return result == 0;
}

std::optional<Glm::Toy::Memory> FriendWorld::ReadToy(std::int32_t deviceId) {
    Glm::Toy toy(static_cast<std::uint32_t>(deviceId), GlmDev::kBraceletProductId);
    if (toy.ReadMemory() != 0) {
        return std::nullopt;
    }
    return toy.GetImage();
}

bool FriendWorld::SignIn(const DemoAccount& account, std::int32_t deviceId) {
    std::string accountId;
    std::string errorCode;
    if (App().GetWebApi().SignIn(account.login, account.password, accountId, errorCode) != 0) {
        return false;
    }
    App().SetCurrentDevice(deviceId);
    return App().GetToys().Update(static_cast<std::uint32_t>(deviceId),
                                  [&](Glm::Toy& toy) { toy.SetOwnerUserId(accountId); });
}

Glm::CGLMFriendshipUploadDlg* FriendWorld::Page() {
    return frame.GetScreen<Glm::CGLMFriendshipUploadDlg>(Glm::ScreenId::kFriendshipUpload);
}

Glm::CGLMFriendshipUploadDlg* FriendWorld::OpenPage() {
    if (Page() != nullptr) {
        Page()->hide();
    }
    frame.Target().Send(UI::WM_GLM_OPEN_FRIENDSHIP_UPLOAD);
    Glm::CGLMFriendshipUploadDlg* page = Page();
    return page != nullptr && frame.GetVisibleScreen() == page ? page : nullptr;
}

bool FriendWorld::DoubleClickRow(int index) {
    Glm::CGLMFriendshipUploadDlg* page = Page();
    if (page == nullptr) {
        return false;
    }
    Glm::FriendshipListView* list = page->GetList();
    const QPoint onPage(Glm::CGLMFriendshipUploadDlg::kListX + 60, Glm::CGLMFriendshipUploadDlg::kListY +
                                                                       index * 77 + 24 -
                                                                       list->verticalScrollBar()->value());
    const QPointF at = list->viewport()->mapFrom(page, onPage);
    if (!list->ItemRect(index).contains(at.toPoint())) {
        return false;
    }
    for (const auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick,
                            QEvent::MouseButtonRelease}) {
        const bool down = type != QEvent::MouseButtonRelease;
        QMouseEvent event(type, at, list->viewport()->mapToGlobal(at), Qt::LeftButton,
                          down ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(list->viewport(), &event);
    }
    QCoreApplication::sendPostedEvents();
    return true;
}

std::vector<int> FriendWorld::Statuses() {
    std::vector<int> statuses;
    for (const Glm::FriendRecord& entry : Page()->GetEntries()) {
        statuses.push_back(static_cast<int>(entry.status));
    }
    return statuses;
}

std::vector<std::string> FriendWorld::FairyNames() {
    std::vector<std::string> names;
    for (const Glm::FriendRecord& entry : Page()->GetEntries()) {
        names.push_back(entry.fairyName);
    }
    return names;
}

std::vector<std::uintptr_t> FriendWorld::Errors() const {
    std::vector<std::uintptr_t> ids;
    for (const UI::Message& message : seen) {
        if (message.id == UI::WM_GLM_SHOW_ERROR) {
            ids.push_back(message.wParam);
        }
    }
    return ids;
}

std::size_t FriendWorld::AnswersSent() const {
    const std::string log = fixture.Log();
    const std::string call = "ClickUploadFriendsRequest";
    std::size_t count = 0;
    for (std::size_t at = log.find(call); at != std::string::npos; at = log.find(call, at + call.size())) {
        ++count;
    }
    return count;
}

std::vector<Glm::FriendRecord> FriendWorld::ServiceFriendships(const DemoAccount& account) {
    std::vector<Glm::FriendRecord> friendships;
    Glm::WebApi& api = App().GetWebApi();
    std::string accountId;
    std::string errorCode;
    std::string fairyId;
    if (api.SignIn(account.login, account.password, accountId, errorCode) == 0 &&
        api.GetUser(account.braceletClickId, fairyId) == 0) {
        api.ObtainGlimmeriesInventory(fairyId, friendships);
    }
    return friendships;
}

Glm::Toy::Memory Without(Glm::Toy::Memory memory, std::uint32_t clickId) {
    for (std::size_t word = Glm::Toy::kFirstSlotWord; word < Glm::Toy::kWordCount; ++word) {
        if (static_cast<std::uint32_t>(Glm::Toy::GetWord(memory, word)) == clickId) {
            Glm::Toy::SetWord(memory, word, 0);
        }
    }
    return memory;
}

std::uint32_t Touched(std::uint32_t clickId) {
    return clickId | 0x80000000u;
}

} // namespace FlowTest
