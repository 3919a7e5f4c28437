#pragma once
// The log line both views write when their content fails.

#include <string>

namespace Web {

/// "ContentError: , url = \"URL\"errors = \"ERROR\"" to the current logger;
/// a failing logger is ignored (this runs from event handlers).
void LogContentError(const std::string& url, const std::string& error) noexcept;

} // namespace Web
