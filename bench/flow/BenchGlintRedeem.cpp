// Measures, on the real frame with Qt's offscreen platform, the game service
// and a virtual handheld game: the redeem screen with the catalogue's
// 8-butterfly strip, from the main menu's message to the screen painted:
//  - the first opening (screen made, catalogue and its 8 pictures loaded,
//    Fairies and balances asked for);
//  - later openings (catalogue kept);
//  - the butterfly strip alone (list read, pictures drawn);
//  - a later opening until the avatar movies are ready as well.
// Prints median and worst in milliseconds.

#include "Flow/GLMGlintsButterflyStrip.h"
#include "Flow/GLMGlintsRedeemDlg.h"
#include "Flow/GuiApplication.h"
#include "Flow/ScreenIds.h"
#include "Tools/FlashWindow.h"
#include "Tools/WebEngineSetup.h"
#include "resources/Resources.h"
#include "tests/Flow/PointsTestWorld.h"

#include <QElapsedTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 60000) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

void Print(const char* what, std::vector<double> samples) {
    if (samples.empty()) {
        std::printf("%-62s no samples\n", what);
        return;
    }
    std::sort(samples.begin(), samples.end());
    std::printf("%-62s n=%3zu  median %8.2f ms  worst %8.2f ms\n", what, samples.size(),
                samples[samples.size() / 2], samples.back());
}

// Opens the redeem screen as the main menu does and paints the frame.
double OpenAndPaint(FlowTest::PointsWorld& world) {
    const auto start = Clock::now();
    world.frame.Target().Send(UI::WM_GLM_OPEN_GLINT_REDEEM);
    world.frame.repaint();
    return Ms(Clock::now() - start);
}

bool MoviesReady(Glm::CGLMGlintsRedeemDlg& screen) {
    for (std::size_t k = 0; k < 2; ++k) {
        Web::FlashWindow* movie = screen.GetViews().GetView(k).GetFlashWindow();
        if (movie == nullptr || !movie->isVisible()) {
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QTemporaryDir toyDirectory;
    ::setenv("GLIMMERIES_TOY_DIR", toyDirectory.path().toLocal8Bit().constData(), 1);
    if (std::getenv("GLM_BUILD_DIR") == nullptr) {
        // The service and the toy lie beside this program.
        const std::string bin = std::filesystem::read_symlink("/proc/self/exe").parent_path().parent_path();
        ::setenv("GLM_BUILD_DIR", bin.c_str(), 1);
    }
    Web::PrepareWebEngine();
    Glm::GuiApplication application(argc, argv);
    GlmInitResources();

    FlowTest::PointsWorld world(0);
    if (!world.IsReady()) {
        std::fprintf(stderr, "the service or the game did not come up\n");
        return 1;
    }
    world.App().SetSoundHook([](const std::string&) {});
    const double first = OpenAndPaint(world);
    auto* screen = world.frame.GetScreen<Glm::CGLMGlintsRedeemDlg>(Glm::ScreenId::kGlintRedeem);
    if (screen == nullptr || screen->GetButterflies().size() != 8) {
        std::fprintf(stderr, "the redeem screen did not show the 8 butterflies\n");
        return 1;
    }
    Print("redeem screen, first opening to painted", {first});

    std::vector<double> later;
    std::vector<double> withMovies;
    for (int round = 0; round < 20; ++round) {
        screen->hide();
        const auto start = Clock::now();
        later.push_back(OpenAndPaint(world));
        if (round % 4 == 0 && PumpUntil([&] { return MoviesReady(*screen); })) {
            withMovies.push_back(Ms(Clock::now() - start));
        }
    }
    Print("redeem screen, later opening to painted", later);
    Print("redeem screen, later opening to avatar movies ready", withMovies);

    std::vector<double> strips;
    const std::string base = world.App().GetParameter("GLM_WEBSITE_BASE_URL");
    for (int round = 0; round < 20; ++round) {
        Glm::ButterflyInventory catalogue;
        std::vector<Glm::ButterflyRecord> butterflies;
        Glm::PictureStrip pictures(Glm::kButterflyImageWidth, Glm::kButterflyImageHeight);
        Glm::GlintButterflyStrip strip;
        int width = 0;
        int height = 0;
        const auto start = Clock::now();
        Glm::LoadButterflyStrip(catalogue, base, butterflies, pictures, width, height);
        strip.SetButterflies(pictures, butterflies);
        strip.grab();
        strips.push_back(Ms(Clock::now() - start));
    }
    Print("butterfly strip alone: list read, 8 pictures, painted", strips);
    return 0;
}
