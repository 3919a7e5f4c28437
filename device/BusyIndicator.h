#pragma once
// A hook through which operations that block on a toy tell the user
// interface to show that it is busy (a wait cursor). The device library has
// no user interface of its own; the application installs the hook.

namespace Glm {

/// Called with true when a blocking toy operation begins and false when it
/// ends, on the thread running the operation. Calls nest.
using BusyHook = void (*)(bool busy);

/// Installs hook for the whole process (null removes it) and returns the
/// previous one.
BusyHook SetBusyHook(BusyHook hook);

/// Shows the busy indicator for its own lifetime.
class BusyScope {
public:
    BusyScope();
    ~BusyScope();
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    BusyHook m_hook;
};

} // namespace Glm
