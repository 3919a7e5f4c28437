// Measures, on the real frame with Qt's offscreen platform against the real
// glimmeries-service: the bracelet page shown with three avatar movies, the
// time from the show message to each movie being ready (drawn). The first
// showing of the process also starts the web engine; the later ones are the
// ones a user meets every time the page comes back.
//
//   bench_flow_setup [showings]      (default 10)
//
// Prints, for the first showing and as medians of the later ones, the time
// until the first, second and third movie is ready, and the steps between.

#include "Flow/GLMBraceletMsgDlg.h"
#include "Flow/GuiApplication.h"
#include "Flow/MainFrame.h"
#include "Flow/ScreenIds.h"
#include "Tools/FlashWindow.h"
#include "Tools/WebEngineSetup.h"
#include "common/Web/TlsTrust.h"
#include "resources/Resources.h"
#include "tests/Flow/FlowFixture.h"
#include "tests/support/ServiceProcess.h"

#include <QElapsedTimer>
#include <algorithm>
#include <array>
#include <cstdio>
#include <sstream>
#include <vector>

namespace {

std::string LastWord(const std::string& text) {
    std::istringstream words(text);
    std::string word;
    std::string last;
    while (words >> word) {
        last = word;
    }
    return last;
}

std::string Admin(const std::string& data, std::vector<std::string> arguments) {
    arguments.insert(arguments.end(), {"--data", data});
    return ServiceTest::RunService(arguments).out;
}

double Median(std::vector<double> samples) {
    if (samples.empty()) {
        return 0;
    }
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

// The times (ms) at which the page's three movies became ready, in order;
// fewer when they did not within 30 s.
std::vector<double> ShowPage(Glm::MainFrame& frame) {
    QElapsedTimer clock;
    clock.start();
    frame.Target().Send(UI::WM_GLM_OPEN_BRACELET_SETUP, 0, 1);
    auto* page = frame.GetScreen<Glm::CGLMBraceletMsgDlg>(Glm::ScreenId::kBraceletSetup);
    std::array<bool, 3> ready{};
    std::vector<double> times;
    while (page != nullptr && times.size() < ready.size() && clock.elapsed() < 30000) {
        for (std::size_t i = 0; i < ready.size(); ++i) {
            Web::FlashWindow* movie = page->GetAvatar(static_cast<int>(i)).GetFlashWindow();
            if (!ready[i] && movie != nullptr && movie->GetReadyState() == 4) {
                ready[i] = true;
                times.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
            }
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    }
    if (page != nullptr) {
        page->hide();
    }
    return times;
}

} // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const int showings = argc > 1 ? std::max(2, std::atoi(argv[1])) : 10;
    Web::PrepareWebEngine();
    Glm::GuiApplication application(argc, argv);
    GlmInitResources();

    GlmTest::TempDir data;
    ServiceTest::ServiceProcess service(data.Path());
    Web::SetExtraCaFile(data.Path() + "/ca.pem");
    const std::string userId = LastWord(Admin(data.Path(), {"account", "add", "benchfairies", "bench-pass"}));
    std::string firstFairy;
    for (const char* name : {"Bluebell", "Thistle", "Marigold"}) {
        const std::string fairy = LastWord(Admin(data.Path(), {"fairy", "add", "benchfairies", name}));
        firstFairy = firstFairy.empty() ? fairy : firstFairy;
    }

    FlowTest::Fixture fixture;
    const std::string api = "https://127.0.0.1:" + std::to_string(service.HttpsPort()) + "/api/";
    fixture.worker->parameters["GLM_BASE_URL"] = api;
    fixture.worker->parameters["GLM_WEBSITE_BASE_URL"] =
        "http://127.0.0.1:" + std::to_string(service.HttpPort()) + "/bramblemere/game/";
    fixture.worker->parameters["SWF_AVATAR_AND_BUTTERFLY"] = "avatarAndButterfly.swf";
    Glm::WebApi::SetMovieDirectory(fixture.application->GetDataDirectory());
    Glm::MainFrame frame(*fixture.application);
    fixture.application->SetSoundHook([](const std::string&) {});
    fixture.application->GetWebApi().Init(&frame.Target(), api, "0");
    std::string accountId;
    std::string errorCode;
    if (fixture.application->GetWebApi().SignIn("benchfairies", "bench-pass", accountId, errorCode) != 0) {
        std::fprintf(stderr, "sign-in refused: %s\n", errorCode.c_str());
        return 1;
    }
    // The placeholder toy stands for a bracelet of the account.
    fixture.application->SetCurrentDevice(106);
    fixture.application->GetPlaceholderToy().SetOwnerUserId(userId);
    fixture.application->GetPlaceholderToy().SetFairyId(firstFairy);
    frame.show();

    std::vector<std::vector<double>> runs;
    for (int i = 0; i < showings; ++i) {
        runs.push_back(ShowPage(frame));
        if (runs.back().size() != 3) {
            std::fprintf(stderr, "showing %d: only %zu of 3 movies became ready\n", i, runs.back().size());
        }
    }
    const auto print = [](const char* what, const std::vector<double>& times) {
        std::printf("%-34s first %8.1f ms   second %8.1f ms (+%6.1f)   third %8.1f ms (+%6.1f)\n", what,
                    times.size() > 0 ? times[0] : -1.0, times.size() > 1 ? times[1] : -1.0,
                    times.size() > 1 ? times[1] - times[0] : -1.0, times.size() > 2 ? times[2] : -1.0,
                    times.size() > 2 ? times[2] - times[1] : -1.0);
    };
    print("first showing (engine starts)", runs.front());
    std::array<std::vector<double>, 3> later;
    for (std::size_t r = 1; r < runs.size(); ++r) {
        for (std::size_t k = 0; k < runs[r].size() && k < 3; ++k) {
            later[k].push_back(runs[r][k]);
        }
    }
    char label[64];
    std::snprintf(label, sizeof label, "later showings (median of %zu)", runs.size() - 1);
    print(label, {Median(later[0]), Median(later[1]), Median(later[2])});
    return 0;
}
