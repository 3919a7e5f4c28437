#pragma once
// The lower layers have no user interface of their own; they show that they
// are busy, and fatal errors, through hooks that the application installs.

namespace Glm {

/// Installs the wait cursor as the busy indicator of toy operations and web
/// service calls, and a message box as the presenter of fatal errors. Call
/// on the user-interface thread once the Qt application exists.
void InstallUserInterfaceHooks();
/// Removes both hooks (before the Qt application goes).
void RemoveUserInterfaceHooks();

/// The busy hook: pushes (busy) or pops the wait cursor. Calls from a thread
/// other than the user interface's are ignored.
void ShowBusyCursor(bool busy);

} // namespace Glm
