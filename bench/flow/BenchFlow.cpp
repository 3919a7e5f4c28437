// Measures, on the real frame with Qt's offscreen platform and virtual toys:
//  - a screen switch, from a button's click to the next screen painted,
//    over 100 switches between the devices screen, the main menu and the
//    tutorial, without page reports and with an analytics host that never
//    answers;
//  - a toy's arrival, from the frame receiving it to its item painted in
//    the devices list, beside the toy's memory read alone.
// Prints median and worst in milliseconds.

#include "Flow/GLMDevicesDlg.h"
#include "Flow/GuiApplication.h"
#include "Flow/MainFrame.h"
#include "Flow/ScreenIds.h"
#include "Flow/SkinnedScreen.h"
#include "resources/Resources.h"
#include "tests/Flow/FlowFixture.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTcpServer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

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
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

void Print(const char* what, std::vector<double> samples) {
    if (samples.empty()) {
        std::printf("%-58s no samples\n", what);
        return;
    }
    std::sort(samples.begin(), samples.end());
    std::printf("%-58s n=%3zu  median %7.2f ms  worst %7.2f ms\n", what, samples.size(),
                samples[samples.size() / 2], samples.back());
}

class Toy {
public:
    Toy(const QString& program, const QString& directory, const QString& name) {
        m_process.start(program, {"bracelet", "--name", name, "--dir", directory, "--state",
                                  m_state.path() + "/toy.state", "--detached"});
        m_process.waitForStarted(5000);
    }
    ~Toy() {
        m_process.terminate();
        m_process.waitForFinished(5000);
    }
    Toy(const Toy&) = delete;
    Toy& operator=(const Toy&) = delete;

private:
    QTemporaryDir m_state;
    QProcess m_process;
};

/// Presses and releases the left button on the control at (x, y) of the
/// screen and delivers the command it posts.
void ClickAt(QWidget& screen, int x, int y) {
    QWidget* control = screen.childAt(x, y);
    if (control == nullptr) {
        // Controls take their size at their first paint.
        screen.grab();
        control = screen.childAt(x, y);
    }
    while (control != nullptr && control->parentWidget() != &screen) {
        control = control->parentWidget();
    }
    if (control == nullptr) {
        std::fprintf(stderr, "nothing to click at (%d, %d)\n", x, y);
        return;
    }
    const QPointF local = control->mapFrom(&screen, QPointF(x, y));
    for (const auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, local, control->mapToGlobal(local), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(control, &event);
    }
    QCoreApplication::sendPostedEvents();
}

std::vector<double> MeasureSwitches(Glm::MainFrame& frame, int count) {
    struct Step {
        int from;
        int x;
        int y;
    };
    // Tell me more, Continue, the devices button, then back to the menu
    // (the devices screen leads on only through sign-in).
    const Step steps[] = {{Glm::ScreenId::kMainMenu, 108, 370},
                          {Glm::ScreenId::kTutorial, 340, 425},
                          {Glm::ScreenId::kMainMenu, 140, 20},
                          {Glm::ScreenId::kDevices, -1, -1}};
    std::vector<double> samples;
    for (int i = 0; i < count; ++i) {
        const Step& step = steps[i % 4];
        Glm::SkinnedScreen* screen = frame.FindScreen(step.from);
        const auto start = Clock::now();
        if (step.x < 0) {
            frame.Target().Send(UI::WM_GLM_SCREEN_DONE);
        } else {
            ClickAt(*screen, step.x, step.y);
        }
        frame.repaint();
        samples.push_back(Ms(Clock::now() - start));
        if (frame.GetVisibleScreen() == screen) {
            std::fprintf(stderr, "switch %d did not leave screen %d\n", i, step.from);
        }
    }
    return samples;
}

} // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QTemporaryDir toyDirectory;
    ::setenv("GLIMMERIES_TOY_DIR", toyDirectory.path().toLocal8Bit().constData(), 1);
    Glm::GuiApplication application(argc, argv);
    GlmInitResources();
    const QString toyProgram = QCoreApplication::applicationDirPath() + "/glimmeries-toy";

    QTcpServer stalling; // accepts and never answers
    stalling.listen(QHostAddress::LocalHost, 0);
    FlowTest::Fixture fixture;
    fixture.worker->parameters["PATCHER_VERSION_STRING_SERVER"] = "V1.0.4.34";
    fixture.application->SetSoundHook([](const std::string&) {});
    fixture.application->SetReportOptions({16, std::chrono::milliseconds(2000)});
    Glm::MainFrame frame(*fixture.application);
    Clock::time_point arrival{};
    frame.SetObserver([&arrival](const UI::Message& message) {
        if (message.id == UI::WM_GLM_DEVICE_CHANGE && message.wParam == UI::kDeviceArrival) {
            arrival = Clock::now();
        }
    });
    frame.show();
    frame.Target().Send(UI::WM_GLM_START);
    if (!PumpUntil([&] { return frame.FindScreen(Glm::ScreenId::kDevices) != nullptr; })) {
        std::fprintf(stderr, "the frame did not start\n");
        return 1;
    }
    auto* devices = frame.GetScreen<Glm::CGLMDevicesDlg>(Glm::ScreenId::kDevices);
    Glm::ToyList& toys = fixture.application->GetToys();

    // Toy arrival to item painted, and the memory read alone.
    std::vector<double> arrivals;
    std::vector<double> reads;
    for (int round = 0; round < 20; ++round) {
        auto toy = std::make_unique<Toy>(toyProgram, toyDirectory.path(), QStringLiteral("bench"));
        if (!PumpUntil([&] { return toys.GetCount() == 1; })) {
            std::fprintf(stderr, "the toy did not arrive\n");
            return 1;
        }
        devices->GetList()->viewport()->repaint();
        arrivals.push_back(Ms(Clock::now() - arrival));
        Glm::Toy copy = toys.List().front();
        const auto start = Clock::now();
        copy.ReadMemory();
        reads.push_back(Ms(Clock::now() - start));
        toy.reset();
        PumpUntil([&] { return toys.GetCount() == 0; });
    }
    Print("toy arrival to its item painted (incl. memory read)", arrivals);
    Print("toy memory read alone", reads);

    auto toy = std::make_unique<Toy>(toyProgram, toyDirectory.path(), QStringLiteral("bench"));
    PumpUntil([&] { return toys.GetCount() == 1; });
    fixture.application->SetCurrentDevice(static_cast<std::int32_t>(toys.List().front().GetDeviceId()));
    frame.Target().Send(UI::WM_GLM_SCREEN_DONE);
    frame.Target().Send(UI::WM_GLM_OPEN_TUTORIAL);
    frame.Target().Send(UI::WM_GLM_SCREEN_DONE);
    MeasureSwitches(frame, 8); // first paints of every screen
    Print("screen switch, click to painted, no page reports", MeasureSwitches(frame, 100));
    fixture.worker->parameters["GLM_REPORTING_URL"] =
        "http://127.0.0.1:" + std::to_string(stalling.serverPort()) + "/b/ss/x/1/%s?gn=%s";
    Print("screen switch, click to painted, analytics host stalled", MeasureSwitches(frame, 100));
    return 0;
}
