#include "Tools/ContentWindowLog.h"

#include "common/Ex/Logger.h"

namespace Web {

void LogContentError(const std::string& url, const std::string& error) noexcept {
    try {
        Ex::GetLogger()->Log("ContentError: , url = \"" + url + "\"errors = \"" + error + "\"");
    } catch (...) {
        // Nothing sensible is left to do when the log itself fails.
    }
}

} // namespace Web
