// Measures the friendship page's refresh on the real frame against the real
// glimmeries-service: a bracelet (virtual toy) holding 10 friendships with
// other families' bracelets, its Fairy with 50 friendships on the service.
// Prints the first show (which also learns the toy's Fairy) and the median
// and worst of 30 refreshes in milliseconds, with the web requests each made
// (counted from the client's "Calling into" log lines).

#include "Flow/GLMFriendshipUploadDlg.h"
#include "Flow/GuiApplication.h"
#include "Flow/MainFrame.h"
#include "Flow/ScreenIds.h"
#include "FriendsPageSetup.h"
#include "common/UI/QtMessageTarget.h"
#include "common/Web/TlsTrust.h"
#include "device/DeviceLibrary.h"
#include "device/SupportedToys.h"
#include "resources/Resources.h"
#include "tests/Flow/FlowFixture.h"
#include "tests/support/ServiceProcess.h"
#include "webapi/UploadBodies.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using FriendsBench::NumberAfter;
using FriendsBench::SetUpBracelet;
using Clock = std::chrono::steady_clock;
constexpr int kBraceletFriends = 10;
constexpr int kWebFriends = 50;
constexpr int kRefreshes = 30;
// One Fairy per family: the page lists one friendship per account.
constexpr int kFairiesPerFamily = 1;

double Ms(Clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 10000) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

std::string Admin(const std::string& data, std::vector<std::string> arguments) {
    arguments.insert(arguments.end(), {"--data", data});
    return ServiceTest::RunService(arguments).out;
}

std::size_t CallsLogged(const FlowTest::Fixture& fixture) {
    const std::string log = fixture.Log();
    std::size_t count = 0;
    for (auto at = log.find("Calling into"); at != std::string::npos; at = log.find("Calling into", at + 1)) {
        ++count;
    }
    return count;
}

int Run() {
    ServiceTest::TempDirectory data;
    ServiceTest::ServiceProcess service(data.Path(), {"--max-friends", "500"});
    Web::SetExtraCaFile(data.Path() + "/ca.pem");

    // The families: the host, ten with a bracelet each, fifty more.
    Admin(data.Path(), {"account", "add", "host", "benchpass"});
    const std::string hostFairy =
        NumberAfter(Admin(data.Path(), {"fairy", "add", "host", "Hostia"}), "fairy");
    const std::uint32_t hostClickId = SetUpBracelet(service, "host", hostFairy);
    std::vector<std::string> friendArguments;
    for (int i = 0; i < kBraceletFriends; ++i) {
        const std::string login = "bracelet" + std::to_string(i);
        Admin(data.Path(), {"account", "add", login, "benchpass"});
        const std::string fairy =
            NumberAfter(Admin(data.Path(), {"fairy", "add", login, "Toucher " + std::to_string(i)}), "fairy");
        const std::uint32_t clickId = SetUpBracelet(service, login, fairy);
        friendArguments.push_back(std::to_string(clickId | 0x80000000u));
    }
    std::vector<std::string> webFairies;
    for (int family = 0; family < kWebFriends / kFairiesPerFamily; ++family) {
        const std::string login = "web" + std::to_string(family);
        Admin(data.Path(), {"account", "add", login, "benchpass"});
        for (int i = 0; i < kFairiesPerFamily; ++i) {
            const std::string name = "Penfriend " + std::to_string(family * kFairiesPerFamily + i);
            const std::string fairy = NumberAfter(Admin(data.Path(), {"fairy", "add", login, name}), "fairy");
            if (!fairy.empty()) {
                webFairies.push_back(fairy);
            }
        }
    }
    if (hostClickId == 0 || hostFairy.empty() || webFairies.size() != kWebFriends ||
        std::count(friendArguments.begin(), friendArguments.end(), std::to_string(0x80000000u)) != 0) {
        std::fprintf(stderr, "bench_flow_friends: the service's data could not be set up\n");
        return 1;
    }

    FlowTest::Fixture fixture;
    Glm::Glimmeries& application = *fixture.application;
    fixture.worker->parameters["GLM_LOG_LEVEL"] = "1";
    const std::string apiUrl = "https://127.0.0.1:" + std::to_string(service.HttpsPort()) + "/api/";
    Glm::MainFrame frame(application);
    application.GetWebApi().Init(&frame.Target(), apiUrl, "1");
    std::string accountId;
    std::string errorCode;
    if (application.GetWebApi().SignIn("host", "benchpass", accountId, errorCode) != 0) {
        std::fprintf(stderr, "bench_flow_friends: sign-in failed: %s\n", errorCode.c_str());
        return 1;
    }
    // The host's Fairy invites the fifty.
    for (const std::string& fairy : webFairies) {
        Glm::FriendRecord record;
        record.fairyId = fairy;
        const std::string body = Glm::BuildFriendUploadBody(hostFairy, hostClickId, "accept", record);
        if (application.GetWebApi().UploadFriend(body, errorCode) != 0) {
            std::fprintf(stderr, "bench_flow_friends: invitation refused: %s: %s\n", errorCode.c_str(),
                         body.c_str());
            return 1;
        }
    }

    // The host's bracelet, holding the ten friendships.
    QTemporaryDir toyDirectory;
    QTemporaryDir stateDirectory;
    ::setenv("GLIMMERIES_TOY_DIR", toyDirectory.path().toLocal8Bit().constData(), 1);
    UI::QtMessageTarget receiver([&application](const UI::Message& message) -> UI::LRESULT {
        if (message.id == UI::WM_GLM_DEVICE_CHANGE) {
            const auto toy = std::static_pointer_cast<Glm::Toy>(message.object);
            application.GetToys().Apply(static_cast<std::uint32_t>(message.wParam), toy.get());
        }
        return 0;
    });
    application.StartToyDiscovery(receiver);
    QStringList toyArguments{"bracelet",
                             "--name",
                             "host",
                             "--dir",
                             toyDirectory.path(),
                             "--state",
                             stateDirectory.path() + "/host.state",
                             "--detached"};
    const char* buildDir = std::getenv("GLM_BUILD_DIR");
    QProcess toy;
    toy.start(QString::fromLocal8Bit(buildDir != nullptr ? buildDir : ".") + "/bin/glimmeries-toy",
              toyArguments);
    struct Unplug {
        QProcess& toy;
        ~Unplug() {
            toy.terminate();
            toy.waitForFinished(5000);
        }
    } unplug{toy};
    if (!PumpUntil([&] { return application.GetToys().GetCount() == 1; })) {
        std::fprintf(stderr, "bench_flow_friends: the bracelet did not arrive\n");
        return 1;
    }
    const std::uint32_t deviceId = application.GetToys().List().front().GetDeviceId();
    std::int32_t written = -1;
    // The click id and the ten friendships, written as a set-up and ten
    // touches would have left them.
    std::uint8_t memory[Glm::Toy::kMemorySize] = {};
    Glm::Toy::Memory image{};
    Glm::Toy::SetWord(image, 0, static_cast<std::int32_t>(hostClickId));
    for (std::size_t i = 0; i < friendArguments.size(); ++i) {
        Glm::Toy::SetWord(image, Glm::Toy::kFirstSlotWord + i,
                          static_cast<std::int32_t>(std::stoul(friendArguments[i])));
    }
    std::copy(image.begin(), image.end(), memory);
    written = GlmDev::GlmDevUpdateMemory(deviceId, memory);
    application.GetToys().Update(deviceId, [&](Glm::Toy& bracelet) {
        if (written == 0) {
            written = bracelet.ReadMemory();
        }
        bracelet.SetOwnerUserId(accountId);
    });
    if (written != 0) {
        std::fprintf(stderr, "bench_flow_friends: the bracelet's click id could not be written\n");
        return 1;
    }
    application.SetCurrentDevice(static_cast<std::int32_t>(deviceId));
    frame.show();

    std::size_t calls = CallsLogged(fixture);
    const auto shown = Clock::now();
    frame.Target().Send(UI::WM_GLM_OPEN_FRIENDSHIP_UPLOAD);
    const double firstShow = Ms(Clock::now() - shown);
    auto* page = frame.GetScreen<Glm::CGLMFriendshipUploadDlg>(Glm::ScreenId::kFriendshipUpload);
    if (page == nullptr || page->GetEntries().size() != kBraceletFriends + kWebFriends) {
        std::fprintf(stderr, "bench_flow_friends: the page lists %zu entries\n",
                     page != nullptr ? page->GetEntries().size() : 0U);
        return 1;
    }
    const std::size_t firstShowCalls = CallsLogged(fixture) - calls;

    std::vector<double> times;
    calls = CallsLogged(fixture);
    for (int i = 0; i < kRefreshes; ++i) {
        const auto start = Clock::now();
        frame.Target().Send(UI::WM_GLM_FRIENDSHIP_NEXT);
        page->repaint();
        times.push_back(Ms(Clock::now() - start));
    }
    const double perRefreshCalls = static_cast<double>(CallsLogged(fixture) - calls) / kRefreshes;
    std::sort(times.begin(), times.end());
    std::printf("friendship page, %d bracelet and %d web friendships (%zu entries)\n", kBraceletFriends,
                kWebFriends, page->GetEntries().size());
    std::printf("  first show: %.1f ms, %zu web requests\n", firstShow, firstShowCalls);
    std::printf("  refresh: median %.1f ms, worst %.1f ms over %d, %.1f web requests each\n",
                times[times.size() / 2], times.back(), kRefreshes, perRefreshCalls);

    application.DetachToyDiscovery(receiver);
    application.StopToyDiscovery();
    Web::SetExtraCaFile("");
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    Glm::GuiApplication qt(argc, argv);
    GlmInitResources();
    const int result = Run();
    FlowTest::ForgetQuitRequest();
    return result;
}
