#include "StringSource.h"

#include <mutex>

namespace ThinUI {

namespace {
std::mutex g_loaderLock;
StringLoader& Loader() {
    static StringLoader loader;
    return loader;
}
} // namespace

void SetStringLoader(StringLoader loader) {
    std::lock_guard lock(g_loaderLock);
    Loader() = std::move(loader);
}

std::optional<std::string> LoadText(unsigned id) {
    StringLoader loader;
    {
        std::lock_guard lock(g_loaderLock);
        loader = Loader();
    }
    if (!loader) {
        return std::nullopt;
    }
    return loader(id);
}

} // namespace ThinUI
