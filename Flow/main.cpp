// The process entry of glimmeries.

#include "Flow/ApplicationDirectories.h"
#include "Flow/DisplayChoice.h"
#include "Flow/FaultHandler.h"
#include "Flow/Glimmeries.h"
#include "Flow/GuiApplication.h"
#include "Flow/MainFrame.h"
#include "Flow/PatcherStartupWorker.h"
#include "Flow/Shell.h"
#include "Flow/SingleInstance.h"
#include "Flow/TerminationSignal.h"
#include "Flow/UserInterfaceHooks.h"
#include "Tools/WebEngineSetup.h"
#include "common/Mod/Mod.h"
#include "common/UI/Messages.h"
#include "resources/Resources.h"
#include "webapi/WebApi.h"

#include <QCommandLineParser>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

/// Whether the command line only asks for text (--help, --version), which
/// needs no display.
bool AsksForTextOnly(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        for (const char* option : {"-h", "--help", "--help-all", "-v", "--version"}) {
            if (std::strcmp(argv[i], option) == 0) {
                return true;
            }
        }
    }
    return false;
}

} // namespace

int main(int argc, char** argv) {
    // Without the display asked for, Qt would abort; say what is missing.
    // --help and --version need no display at all.
    Glm::DisplayChoice display = Glm::ChooseDisplay();
    if (display.outcome == Glm::DisplayChoice::Outcome::NoDisplay && AsksForTextOnly(argc, argv)) {
        display = {Glm::DisplayChoice::Outcome::AsConfigured, "offscreen", {}};
    }
    if (!display.message.empty()) {
        std::fprintf(stderr, "glimmeries: %s\n", display.message.c_str());
    }
    if (display.outcome == Glm::DisplayChoice::Outcome::NoDisplay) {
        return 1;
    }
    if (!display.platform.empty()) {
        ::setenv("QT_QPA_PLATFORM", display.platform.c_str(), 1);
    }
    // Movies are played by the web engine, whose environment and URL scheme
    // must be in place before the Qt application exists.
    Web::PrepareWebEngine();
    Glm::GuiApplication qtApplication(argc, argv);
    QCoreApplication::setApplicationVersion(QString::fromLatin1(Glm::Glimmeries::kVersion));
    QCommandLineParser commandLine;
    commandLine.setApplicationDescription(QStringLiteral("The desktop companion of the Glimmeries toys."));
    commandLine.addHelpOption();
    commandLine.addVersionOption();
    const QCommandLineOption appDirOption(
        QStringLiteral("app-dir"),
        QStringLiteral("Keep parameters.txt, the log and the movies in DIR (also GLIMMERIES_APP_DIR)."),
        QStringLiteral("DIR"));
    commandLine.addOption(appDirOption);
    commandLine.process(qtApplication); // --help and --version print and exit
    GlmInitResources();
    try {
        const std::string executableName = Mod::GetExecutableFileName();
        Glm::SingleInstance instance(executableName);
        if (!instance.TryAcquire()) {
            if (!instance.AskRunningInstanceToShow(3000)) {
                std::fprintf(stderr, "glimmeries: another instance holds %s but did not answer\n",
                             qPrintable(instance.GetLockPath()));
            }
            return 0;
        }
        if (!instance.GetProblem().isEmpty()) {
            std::fprintf(stderr, "glimmeries: %s\n", qPrintable(instance.GetProblem()));
        }
        const Glm::ApplicationDirectories directories = Glm::ApplicationDirectories::Choose(
            commandLine.value(appDirOption).toStdString(), Mod::GetExecutableDirectory());
        // Movies are read from and patched into the data directory, which is
        // the program's own directory in a portable install.
        Glm::WebApi::SetMovieDirectory(directories.data);
        // One application object for the whole process: it outlives every
        // restart of the user interface below, and its workers are joined
        // here, while the Qt application still exists.
        Glm::Glimmeries application(
            directories.log, directories.data, executableName,
            std::make_unique<Glm::PatcherStartupWorker>(
                Glm::PatcherLocations::ForProgram(Mod::GetExecutablePath(), directories.data,
                                                  directories.config + "/parameters.txt"),
                Glm::Glimmeries::kVersion));
        if (!instance.GetProblem().isEmpty()) {
            application.GetLogger().Log(instance.GetProblem().toStdString());
        }
        if (!display.message.empty()) {
            application.GetLogger().Log(display.message);
        }
        application.GetLogger().Log("Window system: " + QGuiApplication::platformName().toStdString());
        Glm::InstallFaultHandler(application.GetLogger().GetPath(), argv);
        Glm::InstallUserInterfaceHooks();

        Glm::Shell shell(qtApplication, application, &Glm::Shell::ShowCriticalErrorBox);
        // A second start shows this one, as a double click on the tray does.
        instance.SetShowRequestHandler([&shell] {
            if (Glm::MainFrame* frame = shell.GetFrame()) {
                frame->Target().Post(UI::WM_GLM_TRAY_COMMAND, UI::ID_TRAY_SHOW);
            }
        });
        // Being told to stop closes the frame like the tray's Exit.
        const Glm::TerminationSignal termination([&shell] {
            if (Glm::MainFrame* frame = shell.GetFrame()) {
                frame->Target().Post(UI::WM_CLOSE);
            }
        });
        if (Glm::TakeRestartedAfterFault()) {
            shell.ResumeAfterFault(Glm::GetRestartsBeforeThisProcess());
        }
        const int result = shell.RunUntilDone();
        // Discovery's thread ends here, while the event loop's objects exist.
        application.StopToyDiscovery();
        Glm::RemoveUserInterfaceHooks();
        return result;
    } catch (Ex::Exception& e) {
        std::fprintf(stderr, "glimmeries: %s\n", e.ToString().c_str());
        return 1;
    }
}
