#pragma once
// Which window system the program opens its windows on, decided before the
// Qt application exists: natively on Wayland where a compositor listens, on
// X11 where one is set, and a clear message instead of Qt's abort when the
// display asked for is not there.

#include <functional>
#include <string>

namespace Glm {

struct DisplayChoice {
    enum class Outcome {
        /// Qt chooses as configured (an explicit platform, or X11).
        AsConfigured,
        /// The Wayland compositor named by the environment listens.
        Wayland,
        /// No compositor listens where Wayland was asked for; X11 is used.
        X11Instead,
        /// No display at all: the program cannot start.
        NoDisplay
    };
    Outcome outcome = Outcome::AsConfigured;
    /// The platform to hand Qt (QT_QPA_PLATFORM); empty to leave it.
    std::string platform;
    /// What to tell the user (empty when all is as expected).
    std::string message;
};

/// Decides from the environment (read through environment, "" for unset),
/// the file system (isSocket tells whether a path is a listening socket's
/// file) and whether Qt's Wayland platform plugin is installed.
DisplayChoice ChooseDisplay(const std::function<std::string(const char*)>& environment,
                            const std::function<bool(const std::string&)>& isSocket, bool haveWaylandPlugin);
/// The choice for this process's environment and file system.
DisplayChoice ChooseDisplay();

} // namespace Glm
