// Helper program of the shell's tests.
//   flow_probe instance DIR [FALLBACK]
//                             take the single-instance lock of this file name
//                             in DIR (or FALLBACK); print "first" and wait for a
//                             show request (print "shown", exit 0), or print
//                             "second" after asking the first to show itself,
//                             exit 0; a lock problem goes to standard error
//   flow_probe fault LOG      install the fault handler, then fault; the
//                             re-executed program prints "restarted"

#include "Flow/FaultHandler.h"
#include "Flow/SingleInstance.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <csignal>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
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
