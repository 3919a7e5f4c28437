#pragma once
// Reads a movie's version by playing it in a hidden movie view and calling
// its getMSVersionCompatible. Views live on the interface thread: a call
// from another thread is carried out there while the caller waits.

#include "Tools/patcher/MovieVersionReader.h"

#include <chrono>
#include <memory>

namespace Glm {

class FlashMovieVersionReader : public MovieVersionReader {
public:
    /// limit bounds a caller's wait on another thread (the movie's own load
    /// time-out is 30 s).
    explicit FlashMovieVersionReader(std::chrono::milliseconds limit = std::chrono::seconds(40));
    /// Cancels waits under way.
    ~FlashMovieVersionReader() override;
    FlashMovieVersionReader(const FlashMovieVersionReader&) = delete;
    FlashMovieVersionReader& operator=(const FlashMovieVersionReader&) = delete;

    /// Needs a QApplication; empty without one, when the movie fails, and
    /// after Cancel.
    std::optional<std::string> ReadVersion(const std::string& moviePath) override;
    /// Makes every waiting and later call from another thread return empty
    /// at once (the interface thread is about to wait for those threads).
    void Cancel();

    /// The movie's answer on the calling (interface) thread.
    static std::optional<std::string> ReadHere(const std::string& moviePath);

private:
    struct Control;
    std::shared_ptr<Control> m_control;
    std::chrono::milliseconds m_limit;
};

} // namespace Glm
