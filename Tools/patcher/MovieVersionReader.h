#pragma once

#include <optional>
#include <string>

namespace Glm {

/// Asks a movie file for its version (the movie's getMSVersionCompatible).
/// The patcher core knows no windows; the application gives it a reader that
/// plays the movie in a hidden view.
class MovieVersionReader {
public:
    virtual ~MovieVersionReader() = default;
    /// The version text the movie answers; empty when it cannot be read (a
    /// missing or broken movie, no answer in time). Any thread.
    virtual std::optional<std::string> ReadVersion(const std::string& moviePath) = 0;
};

} // namespace Glm
