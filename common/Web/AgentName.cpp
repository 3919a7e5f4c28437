#include "common/Web/AgentName.h"

#include <climits>
#include <unistd.h>

namespace Web {

std::string DefaultAgentName() {
    char path[PATH_MAX] = {};
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) {
        return "glimmeries";
    }
    const std::string full(path, static_cast<std::size_t>(length));
    const std::size_t slash = full.rfind('/');
    const std::string name = slash == std::string::npos ? full : full.substr(slash + 1);
    return name.empty() ? "glimmeries" : name;
}

} // namespace Web
