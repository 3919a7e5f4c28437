#pragma once
// The application object: one per process, it outlives every restart of the
// user interface and keeps the log, the parameters (in the start-up worker),
// the browser launcher, the web service client, toy discovery with the list
// of plugged toys, the toy in use and the sound player.

#include "MessageRelay.h"
#include "PageReporter.h"
#include "StartupWorker.h"
#include "Tools/SoundThread.h"
#include "ToyList.h"
#include "common/Ex/FileLogger.h"
#include "common/WebBrowser/BrowserLauncher.h"
#include "device/DeviceWatcher.h"
#include "device/Toy.h"
#include "webapi/WebApi.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace Glm {

class Glimmeries {
public:
    static constexpr const char* kVersion = "V1.0.4.34";
    static constexpr std::uint32_t kLogMaxSize = 100000;
    /// m_currentDevice: -1 is no toy; 106 and 107 stand for the two actions
    /// offered without a toy.
    static constexpr std::int32_t kNoDevice = -1;
    static constexpr std::uint32_t kPlaceholderDeviceId = 107;

    /// Opens "Glimmeries.log" in logDirectory with executableName as its
    /// header, makes it the process's logger and writes the version line.
    /// Sounds are kept in dataDirectory. Throws Ex::CantOpenLogFileException.
    Glimmeries(const std::string& logDirectory, const std::string& dataDirectory,
               const std::string& executableName, std::unique_ptr<StartupWorker> startupWorker);
    /// Stops toy discovery, waits for the last sound, stops the start-up
    /// worker and gives the process back its previous logger.
    ~Glimmeries();
    Glimmeries(const Glimmeries&) = delete;
    Glimmeries& operator=(const Glimmeries&) = delete;

    std::int32_t GetCurrentDevice() const { return m_currentDevice; }
    void SetCurrentDevice(std::int32_t device) { m_currentDevice = device; }
    Ex::FileLogger& GetLogger() { return *m_logger; }
    StartupWorker& GetStartupWorker() { return *m_startupWorker; }
    /// A parameter by key; "" when unset.
    std::string GetParameter(const std::string& key) const { return m_startupWorker->GetParameter(key); }
    void SetParameter(const std::string& key, const std::string& value) {
        m_startupWorker->SetParameter(key, value);
    }
    const std::string& GetDataDirectory() const { return m_dataDirectory; }
    /// The bracelet's friendship message and gift chosen on the bracelet
    /// page, read by the set-up; 0 when nothing was chosen.
    std::uint32_t GetMessageId() const { return m_messageId; }
    std::uint32_t GetGiftId() const { return m_giftId; }
    void SetMessageId(std::uint32_t messageId) { m_messageId = messageId; }
    void SetGiftId(std::uint32_t giftId) { m_giftId = giftId; }
    Web::BrowserLauncher& GetBrowserLauncher() { return m_browserLauncher; }
    WebApi& GetWebApi() { return m_webApi; }
    /// The plugged toys whose memory was read on arrival.
    ToyList& GetToys() { return m_toys; }
    /// The toy used when m_currentDevice is 106 or 107.
    Toy& GetPlaceholderToy() { return m_placeholderToy; }

    /// Plays the WAV sound of that name. A sound still playing is played to
    /// its end first (the caller waits); failures are only logged.
    void PlaySound(const std::string& name);
    /// When set, sounds go to hook instead of the player (tests; null
    /// restores the player).
    void SetSoundHook(std::function<void(const std::string&)> hook) { m_soundHook = std::move(hook); }
    /// Reports a page as shown: "Landing on " + pageName in the log at
    /// once, and a GET of GLM_REPORTING_URL with a cache breaker and the
    /// lower-cased page name (none when the parameter is empty) queued for
    /// the page reporter. Never waits for the network; a failure costs a log
    /// line. User-interface thread.
    void Report(const std::string& pageName);
    /// The reporter's limits; the reporter is made with them at the first
    /// report that sends a request (tests and benchmarks set them before).
    void SetReportOptions(PageReporter::Options options) { m_reportOptions = options; }
    /// The page reporter, null until a report has sent a request.
    PageReporter* GetPageReporter() { return m_reporter.get(); }
    /// Opens url in the user's browser; a failure is logged. useProcess
    /// starts the browser program itself rather than the desktop's handler
    /// (see Web::BrowserLauncher::LaunchURL).
    void OpenUrl(const std::string& url, bool useProcess = false);
    /// When set, URLs go to hook instead of the browser (tests; null
    /// restores the browser).
    void SetBrowserHook(std::function<void(const std::string& url, bool useProcess)> hook) {
        m_browserHook = std::move(hook);
    }

    /// Answers one friendship of the friendship page for the Fairy of the
    /// toy in use: action "accept", "decline" or "giftonly". 1 without a
    /// request when no toy is present; else the web service's result, with
    /// its refusal code in errorCode.
    std::int32_t UploadFriend(const FriendRecord& entry, const std::string& action, std::string& errorCode);

    /// Makes receiver the target of toy discovery's WM_GLM_DEVICE_CHANGE
    /// messages and starts discovery the first time (it then runs for the
    /// rest of the process). Changes seen while no receiver was attached are
    /// delivered now. Returns the discovery result code (0, or -2 when it
    /// did not start; it is tried again on the next call).
    std::int32_t StartToyDiscovery(UI::MessageTarget& receiver);
    /// receiver gets no more messages (its window is going away); changes
    /// wait for the next receiver.
    void DetachToyDiscovery(UI::MessageTarget& receiver);
    /// Stops discovery for good (process exit); idempotent.
    void StopToyDiscovery();
    bool IsToyDiscoveryRunning() const { return m_toyDiscoveryRunning; }

    /// The template with its first "%s" replaced by cacheBreaker and its
    /// second by pageName; other text, "%" included, stays as it is.
    static std::string FormatReportUrl(const std::string& urlTemplate, const std::string& cacheBreaker,
                                       const std::string& pageName);

private:
    std::int32_t m_currentDevice = kNoDevice;
    std::unique_ptr<Ex::FileLogger> m_logger;
    Ex::Logger* m_previousLogger = nullptr;
    Web::BrowserLauncher m_browserLauncher;
    Toy m_placeholderToy{kPlaceholderDeviceId, 0};
    std::unique_ptr<StartupWorker> m_startupWorker;
    std::unique_ptr<SoundThread> m_currentSound;
    WebApi m_webApi;
    // The relay outlives the watcher, which posts to it from its thread.
    MessageRelay m_deviceRelay;
    DeviceWatcher m_deviceWatcher;
    bool m_toyDiscoveryRunning = false;
    ToyList m_toys;
    std::string m_dataDirectory;
    std::uint32_t m_messageId = 0;
    std::uint32_t m_giftId = 0;
    std::function<void(const std::string&)> m_soundHook;
    std::function<void(const std::string&, bool)> m_browserHook;
    PageReporter::Options m_reportOptions;
    // Last: its threads log, so it goes first.
    std::unique_ptr<PageReporter> m_reporter;
};

} // namespace Glm
