// Helper program of the shell's tests.
//   flow_probe instance DIR [FALLBACK]
//                             take the single-instance lock of this file name
//                             in DIR (or FALLBACK); print "first" and wait for a
//                             show request (print "shown", exit 0), or print
//                             "second" after asking the first to show itself,
//                             exit 0; a lock problem goes to standard error
//   flow_probe fault LOG      install the fault handler, then fault; the
//                             re-executed program prints "restarted"
//   flow_probe throw-loop DIR the application in DIR with an exception at
//                             every start of the interface; prints "restart"
//                             for each critical-error box
//   flow_probe fault-loop DIR the application in DIR faulting at every
//                             start; each re-executed program prints
//                             "restart" for its critical-error box

#include "Flow/FaultHandler.h"
#include "Flow/GuiApplication.h"
#include "Flow/Shell.h"
#include "Flow/SingleInstance.h"
#include "FlowFixture.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace {

void PrintRestart() {
    std::printf("restart\n");
    std::fflush(stdout);
}

// The real shell with the real fatal-error handler, over an application
// whose start-up the test controls.
int RunLoop(int argc, char** argv, bool fault) {
    Glm::GuiApplication qtApplication(argc, argv);
    const std::string directory = argv[2];
    Glm::Glimmeries application(directory, directory, "flow_probe",
                                std::make_unique<FlowTest::FakeStartupWorker>());
    Glm::InstallFaultHandler(application.GetLogger().GetPath(), argv);
    Glm::Shell shell(qtApplication, application, &PrintRestart);
    if (fault) {
        if (Glm::TakeRestartedAfterFault()) {
            shell.ResumeAfterFault(Glm::GetRestartsBeforeThisProcess());
        }
        std::raise(SIGSEGV);
        return 3;
    }
    constexpr std::uint32_t kThrowingMessage = 1600;
    shell.SetFrameCreatedHook([](Glm::MainFrame& frame) {
        frame.SetHandler(kThrowingMessage, [](const UI::Message&) -> UI::LRESULT {
            throw std::runtime_error("injected failure at every start");
        });
        frame.Target().Post(kThrowingMessage);
    });
    return shell.RunUntilDone();
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && (std::strcmp(argv[1], "throw-loop") == 0 || std::strcmp(argv[1], "fault-loop") == 0)) {
        return RunLoop(argc, argv, std::strcmp(argv[1], "fault-loop") == 0);
    }
    if (argc == 3 && std::strcmp(argv[1], "fault") == 0) {
        if (Glm::TakeRestartedAfterFault()) {
            std::printf("restarted\n");
            return 0;
        }
        Glm::InstallFaultHandler(argv[2], argv);
        std::raise(SIGSEGV);
        return 3;
    }
    if ((argc != 3 && argc != 4) || std::strcmp(argv[1], "instance") != 0) {
        return 2;
    }
    QCoreApplication application(argc, argv);
    const std::string name = QFileInfo(QCoreApplication::applicationFilePath()).fileName().toStdString();
    Glm::SingleInstance instance(name, QString::fromLocal8Bit(argv[2]),
                                 argc == 4 ? QString::fromLocal8Bit(argv[3]) : QString());
    const bool first = instance.TryAcquire();
    if (!instance.GetProblem().isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(instance.GetProblem()));
    }
    if (!first) {
        const bool delivered = instance.AskRunningInstanceToShow(5000);
        std::printf("second %s\n", delivered ? "delivered" : "lost");
        return delivered ? 0 : 1;
    }
    instance.SetShowRequestHandler([] {
        std::printf("shown\n");
        std::fflush(stdout);
        QCoreApplication::exit(0);
    });
    std::printf("first\n");
    std::fflush(stdout);
    return QCoreApplication::exec();
}
