#include "device/BusyIndicator.h"

#include <atomic>

namespace Glm {

namespace {

std::atomic<BusyHook> g_busyHook{nullptr};

} // namespace

BusyHook SetBusyHook(BusyHook hook) {
    return g_busyHook.exchange(hook);
}

// The hook taken at the start is the one told of the end, so a hook changed
// meanwhile never sees an unbalanced end.
BusyScope::BusyScope() : m_hook(g_busyHook.load()) {
    if (m_hook != nullptr) {
        m_hook(true);
    }
}

BusyScope::~BusyScope() {
    if (m_hook != nullptr) {
        m_hook(false);
    }
}

} // namespace Glm
