#include "ScreenWorld.h"

#include "Flow/ToyInUse.h"
#include "Flow/ToyList.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace FlowTest {

namespace {

struct Shared {
    DemoService demo;
    std::vector<std::unique_ptr<VirtualToy>> toys;
};
std::unique_ptr<Shared> g_shared;

// The service and the toys are child processes: they are stopped at the end
// of the test run, while the application object still lives.
class SharedEnvironment : public ::testing::Environment {
public:
    void TearDown() override { ScreenWorld::TearDownShared(); }
};

} // namespace

void ScreenWorld::SetUpShared() {
    if (g_shared) {
        return;
    }
    g_shared = std::make_unique<Shared>();
    // Owned by the test framework from here on.
    ::testing::AddGlobalTestEnvironment(new SharedEnvironment);
    const QString toyDirectory = QString::fromLocal8Bit(std::getenv("GLIMMERIES_TOY_DIR"));
    for (const char* kind : {"bracelet", "jewelrybox", "game"}) {
        g_shared->toys.push_back(std::make_unique<VirtualToy>(QString::fromLatin1(kind), toyDirectory));
    }
}

void ScreenWorld::TearDownShared() {
    g_shared.reset();
}

DemoService& ScreenWorld::Demo() {
    SetUpShared();
    return g_shared->demo;
}

ScreenWorld::ScreenWorld() {
    SetUpShared();
    auto& parameters = fixture.worker->parameters;
    parameters["GLM_BASE_URL"] = Demo().ApiUrl();
    parameters["GLM_LOG_LEVEL"] = "1";
    parameters["GLM_SUPPORTED_FLASH_VERSION"] = "10";
    parameters["PATCHER_VERSION_STRING_SERVER"] = "V1.0.4.34";
    parameters["GLM_FAQ_URL"] = "http://game.invalid/glimmeries.html?page=faq";
    parameters["GLM_REGISTER_BASE_URL"] = "http://game.invalid/bramblemere/registration?iscapp=true";
    parameters["GLM_RECOVER_ACCOUNT_ID_URL"] = "https://account.invalid/recoverMemberNames?appRedirect=true";
    parameters["GLM_RECOVER_PASSWORD_URL"] = "https://account.invalid/recoverPassword?appRedirect=true";
    parameters["GLM_CREATE_FAIRY_URL"] = "http://game.invalid/create.html";
    parameters["GLM_PRINT_GAME_COVER_URL"] = "http://game.invalid/glimmeries.html?page=portrait";
    parameters["GLM_BANNED_ACCOUNT_URL"] = "https://account.invalid/account_hold?bannedUsername=";
    App().GetWebApi().Init(&frame.Target(), Demo().ApiUrl(), "1");
    frame.SetObserver([this](const UI::Message& message) { seen.push_back(message); });
    frame.show();
}

ScreenWorld::~ScreenWorld() {
    ForgetQuitRequest();
}

std::int32_t ScreenWorld::ToyId(std::uint32_t productId) {
    return feed.WaitForToy(productId);
}

std::optional<Glm::Toy> ScreenWorld::ListedToy(std::uint32_t productId) {
    const std::int32_t id = ToyId(productId);
    if (id < 0) {
        return std::nullopt;
    }
    return App().GetToys().Find(static_cast<std::uint32_t>(id));
}

void ScreenWorld::SetToyState(std::uint32_t productId, std::int32_t clickId, int pointsFigures,
                              bool resetPending) {
    const std::int32_t id = ToyId(productId);
    ASSERT_GE(id, 0) << "no toy of product " << productId;
    App().GetToys().Update(static_cast<std::uint32_t>(id), [&](Glm::Toy& toy) {
        Glm::Toy::Memory image = toy.GetImage();
        Glm::Toy::SetWord(image, 0, clickId);
        // Four decimal figures, most significant first, in tens.
        image[4] = static_cast<std::uint8_t>(pointsFigures / 1000 % 10);
        image[5] = static_cast<std::uint8_t>(pointsFigures / 100 % 10);
        image[6] = static_cast<std::uint8_t>(pointsFigures / 10 % 10);
        image[7] = static_cast<std::uint8_t>(pointsFigures % 10);
        toy.SetImage(image);
        toy.SetResetPending(resetPending);
    });
}

std::vector<UI::Message> ScreenWorld::Seen(std::uint32_t id) const {
    std::vector<UI::Message> found;
    for (const UI::Message& message : seen) {
        if (message.id == id) {
            found.push_back(message);
        }
    }
    return found;
}

std::vector<std::uintptr_t> ScreenWorld::Errors() const {
    std::vector<std::uintptr_t> ids;
    for (const UI::Message& message : Seen(UI::WM_GLM_SHOW_ERROR)) {
        ids.push_back(message.wParam);
    }
    return ids;
}

bool ScreenWorld::SignIn(const DemoAccount& account) {
    std::string accountId;
    std::string errorCode;
    return App().GetWebApi().SignIn(account.login, account.password, accountId, errorCode) == 0;
}

} // namespace FlowTest
