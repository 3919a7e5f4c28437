#pragma once
// The application object: one per process, it outlives every restart of the
// user interface and keeps the log, the parameters (in the start-up worker),
// the toy in use and the sound player.

#include "StartupWorker.h"
#include "Tools/SoundThread.h"
#include "common/Ex/FileLogger.h"

#include <cstdint>
#include <memory>
#include <string>

namespace Glm {

class Glimmeries {
public:
    static constexpr const char* kVersion = "V1.0.4.34";
    static constexpr std::uint32_t kLogMaxSize = 100000;
    /// m_currentDevice values that stand for the two actions offered without
    /// a toy; -1 is no toy.
    static constexpr std::int32_t kNoDevice = -1;

    /// Opens "Glimmeries.log" in logDirectory with executableName as its
    /// header, makes it the process's logger and writes the version line.
    /// Sounds are kept in dataDirectory. Throws Ex::CantOpenLogFileException.
    Glimmeries(const std::string& logDirectory, const std::string& dataDirectory,
               const std::string& executableName, std::unique_ptr<StartupWorker> startupWorker);
    /// Waits for the last sound, stops the start-up worker and gives the
    /// process back its previous logger.
    ~Glimmeries();
    Glimmeries(const Glimmeries&) = delete;
    Glimmeries& operator=(const Glimmeries&) = delete;

    std::int32_t GetCurrentDevice() const { return m_currentDevice; }
    void SetCurrentDevice(std::int32_t device) { m_currentDevice = device; }
    Ex::FileLogger& GetLogger() { return *m_logger; }
    StartupWorker& GetStartupWorker() { return *m_startupWorker; }
    /// A parameter by key; "" when unset.
    std::string GetParameter(const std::string& key) const { return m_startupWorker->GetParameter(key); }
    const std::string& GetDataDirectory() const { return m_dataDirectory; }

    /// Plays the WAV sound of that name. A sound still playing is played to
    /// its end first (the caller waits); failures are only logged.
    void PlaySound(const std::string& name);
    /// Reports a page as shown: writes "Landing on " + pageName to the log.
    void Report(const std::string& pageName);
    /// Opens url in the user's browser; a failure is logged.
    void OpenUrl(const std::string& url);

private:
    std::int32_t m_currentDevice = kNoDevice;
    std::unique_ptr<Ex::FileLogger> m_logger;
    Ex::Logger* m_previousLogger = nullptr;
    std::unique_ptr<StartupWorker> m_startupWorker;
    std::unique_ptr<SoundThread> m_currentSound;
    std::string m_dataDirectory;
};

} // namespace Glm
