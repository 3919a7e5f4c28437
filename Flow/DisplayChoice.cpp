#include "DisplayChoice.h"

#include <QDir>
#include <QLibraryInfo>
#include <cstdlib>
#include <sys/stat.h>

namespace Glm {

DisplayChoice ChooseDisplay(const std::function<std::string(const char*)>& environment,
                            const std::function<bool(const std::string&)>& isSocket, bool haveWaylandPlugin) {
    DisplayChoice choice;
    const std::string platform = environment("QT_QPA_PLATFORM");
    const std::string waylandName = environment("WAYLAND_DISPLAY");
    const std::string x11Display = environment("DISPLAY");
    const bool asksWayland = platform.find("wayland") != std::string::npos;
    if (!platform.empty() && !asksWayland) {
        return choice;
    }
    const bool waylandSession = environment("XDG_SESSION_TYPE") == "wayland";
    if (!asksWayland && waylandName.empty() && !waylandSession) {
        if (platform.empty() && x11Display.empty()) {
            choice.outcome = DisplayChoice::Outcome::NoDisplay;
            choice.message = "no display to open a window on: neither WAYLAND_DISPLAY nor DISPLAY is set";
        }
        return choice;
    }
    const std::string name = waylandName.empty() ? std::string("wayland-0") : waylandName;
    std::string socket = name;
    if (name.front() != '/') {
        const std::string runtime = environment("XDG_RUNTIME_DIR");
        socket = runtime.empty() ? std::string() : runtime + "/" + name;
    }
    const bool listening = !socket.empty() && isSocket(socket);
    if (listening && haveWaylandPlugin) {
        choice.outcome = DisplayChoice::Outcome::Wayland;
        // Frameless, shaped windows need no decorations from the desktop,
        // so Wayland is used natively on every compositor; Qt falls back to
        // X11 by itself should the compositor refuse the connection.
        if (platform.empty()) {
            choice.platform = x11Display.empty() ? "wayland" : "wayland;xcb";
        }
        return choice;
    }
    std::string where = "no Wayland compositor listens at " + socket;
    if (listening) {
        where = "Qt's Wayland platform plugin is not installed (Debian package qt6-wayland)";
    } else if (socket.empty()) {
        where = "no Wayland compositor (XDG_RUNTIME_DIR is not set)";
    }
    if (!x11Display.empty()) {
        choice.outcome = DisplayChoice::Outcome::X11Instead;
        choice.platform = "xcb";
        choice.message = where + "; using the X11 display " + x11Display + " instead";
        return choice;
    }
    choice.outcome = DisplayChoice::Outcome::NoDisplay;
    choice.message = where + ", and no X11 DISPLAY is set to use instead";
    return choice;
}

DisplayChoice ChooseDisplay() {
    return ChooseDisplay(
        [](const char* name) {
            const char* value = std::getenv(name);
            return std::string(value != nullptr ? value : "");
        },
        [](const std::string& path) {
            struct stat status {};
            return ::stat(path.c_str(), &status) == 0 && S_ISSOCK(status.st_mode);
        },
        !QDir(QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/platforms"))
             .entryList({QStringLiteral("libqwayland-*.so")}, QDir::Files)
             .isEmpty());
}

} // namespace Glm
