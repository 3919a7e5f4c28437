#pragma once
// Plays one WAV sound on its own thread through the default sound device.
// Only one sound plays at a time: the owner destroys the previous thread
// object (which waits for its sound to end) before starting the next.

#include "common/Sync/Thread.h"

#include <chrono>
#include <cstdint>
#include <string>

namespace Glm {

class SoundThread : public Sync::Runnable {
public:
    using Clock = std::chrono::steady_clock;

    /// name is the sound's resource name ("CLOSE_SOUND"); directory is the
    /// application directory where its WAV file is kept.
    SoundThread(std::string name, std::string directory);
    /// Waits for the sound to finish playing.
    ~SoundThread() override;
    SoundThread(const SoundThread&) = delete;
    SoundThread& operator=(const SoundThread&) = delete;

    /// Starts playing. Throws what Sync::Thread::Start throws.
    void Start();
    /// Waits for the sound to end (what the destructor does).
    void ShutDown();

    /// The file the sound plays from: DIRECTORY/NAME.WAV. When it is missing
    /// it is extracted from the resource :/res/WAV/NAME first.
    std::string GetFilePath() const;
    /// Frames written to the device, and when playing began and ended (for
    /// the owner's checks; read after the thread has ended).
    std::int64_t GetFramesPlayed() const { return m_framesPlayed; }
    Clock::time_point GetStartTime() const { return m_startTime; }
    Clock::time_point GetEndTime() const { return m_endTime; }

    /// Never lets an exception out: failures are logged with the context
    /// "Glm::SoundThread::Run" and the screen that asked goes on.
    void Run() override;

private:
    void ExtractIfMissing(const std::string& path) const;
    void PlayFile(const std::string& path);

    std::string m_name;
    std::string m_directory;
    std::int64_t m_framesPlayed = 0;
    Clock::time_point m_startTime;
    Clock::time_point m_endTime;
    Sync::Thread m_thread;
};

} // namespace Glm
