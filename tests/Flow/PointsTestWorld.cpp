#include "PointsTestWorld.h"

#include "Flow/ToyInUse.h"
#include "Flow/ToyList.h"
#include "Tools/FlashWindow.h"
#include "webapi/WebApi.h"

#include <QFile>
#include <QTest>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sstream>

namespace FlowTest {

namespace {

// The id printed after a word at the start of a seed line ("  fairy 12 Name").
std::string After(const std::string& seed, const std::string& start, const std::string& name = {}) {
    std::istringstream lines(seed);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind(start, 0) == 0 && (name.empty() || line.find(name) != std::string::npos)) {
            std::istringstream words(line.substr(start.size()));
            std::string id;
            words >> id;
            return id;
        }
    }
    return {};
}

} // namespace

PointsWorld::PointsWorld(int points) {
    if (!m_demo.IsRunning()) {
        ADD_FAILURE() << "the game service did not start";
        return;
    }
    const std::string& seed = m_demo.SeedOutput();
    m_lirabelle = After(seed, "  fairy ", "Lirabelle");
    m_tansy = After(seed, "  fairy ", "Tansy Quill");
    m_gameClickId = static_cast<std::uint32_t>(std::stoul(After(seed, "  game ")));
    const DemoAccount& family = m_demo.Accounts().at(0);
    m_userId = family.userId;

    auto& parameters = fixture.worker->parameters;
    parameters["GLM_BASE_URL"] = m_demo.ApiUrl();
    parameters["GLM_LOG_LEVEL"] = "1";
    parameters["GLM_WEBSITE_BASE_URL"] = m_demo.GetService().HttpBase() + "/bramblemere/game/";
    parameters["SWF_AVATAR_AND_BUTTERFLY"] = "avatarAndButterfly.swf";
    parameters["GLM_FLY_TO_BRAMBLEMERE_URL"] = "http://game.invalid/index.html?1=1";
    parameters["GLM_FAQ_URL"] = "http://game.invalid/glimmeries.html?page=faq";
    Glm::WebApi::SetMovieDirectory(fixture.directory.path().toStdString());
    App().GetWebApi().Init(&frame.Target(), m_demo.ApiUrl(), "1");
    frame.SetObserver([this](const UI::Message& message) { seen.push_back(message); });
    frame.show();

    std::string accountId;
    std::string errorCode;
    if (App().GetWebApi().SignIn(family.login, family.password, accountId, errorCode) != 0) {
        ADD_FAILURE() << "sign-in refused: " << errorCode;
        return;
    }
    m_feed = std::make_unique<ToyFeed>(App());
    // The family's game as its set-up left it (its click id in word 0) with
    // the points it has earned since.
    Glm::Toy::Memory memory{};
    Glm::Toy::SetWord(memory, 0, static_cast<std::int32_t>(m_gameClickId));
    for (int i = 7, tens = points / 10; i >= 4; --i, tens /= 10) {
        memory[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(tens % 10);
    }
    QFile state(m_toyState.path() + "/game.state");
    if (!state.open(QIODevice::WriteOnly)) {
        ADD_FAILURE() << "cannot write the game's state";
        return;
    }
    QByteArray text = "glimmeries-toy state 1\nkind game\n";
    for (std::size_t row = 0; row < 8; ++row) {
        QByteArray line = QByteArray(reinterpret_cast<const char*>(memory.data() + row * 16), 16).toHex(' ');
        text += line + "\n";
    }
    state.write(text);
    state.close();
    if (!PlugGame({})) {
        return;
    }
    m_ready = true;
}

PointsWorld::~PointsWorld() {
    m_feed.reset();
    m_game.reset();
    ForgetQuitRequest();
}

bool PointsWorld::PlugGame(const QStringList& options) {
    m_game = std::make_unique<VirtualToy>(QStringLiteral("game"),
                                          QString::fromLocal8Bit(std::getenv("GLIMMERIES_TOY_DIR")), options,
                                          m_toyState.path() + "/game.state");
    const std::int32_t id = m_feed->WaitForToy(Glm::kGameProduct);
    if (id < 0) {
        ADD_FAILURE() << "the game was not listed";
        return false;
    }
    App().GetToys().Update(static_cast<std::uint32_t>(id), [&](Glm::Toy& toy) {
        toy.SetOwnerUserId(m_userId);
        toy.SetFairyId(m_tansy);
        toy.SetFairyName("Tansy Quill");
    });
    App().SetCurrentDevice(id);
    return true;
}

void PointsWorld::UnplugGame() {
    m_game->Unplug();
}

bool PointsWorld::ReplugGame() {
    // The application hears of the removal first, as it would.
    if (!QTest::qWaitFor([&] { return App().GetToys().GetCount() == 0; }, 10000)) {
        return false;
    }
    return PlugGame({});
}

int PointsWorld::Balance(const std::string& fairyId) {
    std::string points;
    std::string errorCode;
    if (App().GetWebApi().GetGlintPoints(fairyId, points, errorCode) != 0) {
        return -1;
    }
    return std::stoi(points);
}

void PointsWorld::SetBalance(const std::string& fairyId, int points) {
    m_demo.GetService().Admin({"points", "set", QString::fromStdString(fairyId), QString::number(points)});
}

std::pair<std::string, std::string> PointsWorld::Butterfly(const std::string& fairyId) {
    std::pair<std::string, std::string> flying;
    App().GetWebApi().GetButterflyInfo(fairyId, flying.first, flying.second);
    return flying;
}

int PointsWorld::RequestCount(const std::string& requestName) {
    const std::string log = m_demo.GetService().Admin({"requests"});
    int count = 0;
    for (auto at = log.find(requestName); at != std::string::npos; at = log.find(requestName, at + 1)) {
        ++count;
    }
    return count;
}

int PointsWorld::ToyPoints() {
    const std::int32_t current = App().GetCurrentDevice();
    Glm::Toy toy(static_cast<std::uint32_t>(current), Glm::kGameProduct);
    return toy.ReadMemory() == 0 ? toy.GetPoints() : -1;
}

std::vector<UI::Message> PointsWorld::Seen(std::uint32_t id) const {
    std::vector<UI::Message> found;
    for (const UI::Message& message : seen) {
        if (message.id == id) {
            found.push_back(message);
        }
    }
    return found;
}

std::vector<std::uintptr_t> PointsWorld::Errors() const {
    std::vector<std::uintptr_t> ids;
    for (const UI::Message& message : Seen(UI::WM_GLM_SHOW_ERROR)) {
        ids.push_back(message.wParam);
    }
    return ids;
}

void ClickAvatar(QWidget& screen, Glm::GlintFairyViews& views, std::size_t index, int x, int y) {
    Glm::FlashWindowView& view = views.GetView(index);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return view.GetFlashWindow() != nullptr && view.GetFlashWindow()->isVisible(); }, 60000))
        << "avatar " << index << " never became ready";
    QWidget* under = screen.childAt(x, y);
    ASSERT_NE(under, nullptr);
    ASSERT_TRUE(under == view.GetWindow() || view.GetWindow()->isAncestorOf(under))
        << "avatar " << index << " is not at (" << x << "," << y << ")";
    QWidget* target = view.GetFlashWindow()->GetAxWindowHandle();
    if (QWidget* inner = target->focusProxy()) {
        target = inner;
    }
    const QPoint local = target->mapFrom(&screen, QPoint(x, y));
    for (const auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, QPointF(local), QPointF(target->mapToGlobal(local)), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(target, &event);
    }
    QCoreApplication::processEvents();
}

} // namespace FlowTest
