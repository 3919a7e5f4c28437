// The process entry of glimmeries.

#include "Flow/ApplicationDirectories.h"
#include "Flow/FaultHandler.h"
#include "Flow/Glimmeries.h"
#include "Flow/GuiApplication.h"
#include "Flow/MainFrame.h"
#include "Flow/ParameterStartupWorker.h"
#include "Flow/Shell.h"
#include "Flow/SingleInstance.h"
#include "Flow/TerminationSignal.h"
#include "Flow/UserInterfaceHooks.h"
#include "common/Mod/Mod.h"
#include "common/UI/Messages.h"
#include "resources/Resources.h"

#include <QCommandLineParser>
#include <cstdio>

int main(int argc, char** argv) {
    Glm::GuiApplication qtApplication(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Glimmeries, the companion of the Bramblemere toys."));
    parser.addHelpOption();
    const QCommandLineOption appDirOption(
        QStringLiteral("app-dir"),
        QStringLiteral("Keep parameters.txt, the log and the movies in DIR (also GLIMMERIES_APP_DIR)."),
        QStringLiteral("DIR"));
    parser.addOption(appDirOption);
    parser.process(qtApplication);
    GlmInitResources();
    try {
        const std::string executableName = Mod::GetExecutableFileName();
        Glm::SingleInstance instance(executableName);
        if (!instance.TryAcquire()) {
            instance.AskRunningInstanceToShow(3000);
            return 0;
        }
        const Glm::ApplicationDirectories directories = Glm::ApplicationDirectories::Choose(
            parser.value(appDirOption).toStdString(), Mod::GetExecutableDirectory());
        // One application object for the whole process, destroyed by the
        // run-time's exit processing; it outlives every restart below.
        static Glm::Glimmeries application(
            directories.log, directories.data, executableName,
            std::make_unique<Glm::ParameterStartupWorker>(directories.config + "/parameters.txt"));
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
            Glm::Shell::ShowCriticalErrorBox();
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
