#include "Glimmeries.h"

#include "ThinUI/StringSource.h"
#include "ToyInUse.h"
#include "common/Ex/Exceptions.h"
#include "common/Mod/Mod.h"
#include "common/Web/AgentName.h"
#include "common/Web/RandomToken.h"
#include "common/Web/Url.h"
#include "webapi/FriendCollector.h"

#include <algorithm>
#include <cctype>
#include <exception>

namespace Glm {

namespace {

std::optional<std::string> LoadStringOrNothing(unsigned id) {
    try {
        return Mod::LoadString(id, 1024);
    } catch (Ex::Exception&) {
        return std::nullopt;
    }
}

} // namespace

Glimmeries::Glimmeries(const std::string& logDirectory, const std::string& dataDirectory,
                       const std::string& executableName, std::unique_ptr<StartupWorker> startupWorker)
    : m_logger(std::make_unique<Ex::FileLogger>(logDirectory, "Glimmeries.log", kLogMaxSize, executableName)),
      m_previousLogger(Ex::SetLogger(m_logger.get())), m_startupWorker(std::move(startupWorker)),
      m_dataDirectory(dataDirectory) {
    ThinUI::SetStringLoader(&LoadStringOrNothing);
    m_logger->Log(kVersion);
}

Glimmeries::~Glimmeries() {
    m_reporter.reset();
    StopToyDiscovery();
    m_currentSound.reset();
    try {
        m_startupWorker->ShutDown();
    } catch (Ex::Exception& e) {
        e.AddStackFrame(EX_FRAME);
        e.LogNoThrow("Glm::Glimmeries::~Glimmeries");
    }
    m_startupWorker.reset();
    ThinUI::SetStringLoader({});
    Ex::SetLogger(m_previousLogger);
}

void Glimmeries::PlaySound(const std::string& name) {
    if (m_soundHook) {
        m_soundHook(name);
        return;
    }
    // Destroying the previous sound waits for it: sounds never overlap.
    m_currentSound.reset();
    m_currentSound = std::make_unique<SoundThread>(name, m_dataDirectory);
    try {
        m_currentSound->Start();
    } catch (Ex::Exception& e) {
        e.AddStackFrame(EX_FRAME);
        e.LogNoThrow("Glm::Glimmeries::PlaySound");
    }
}

std::string Glimmeries::FormatReportUrl(const std::string& urlTemplate, const std::string& cacheBreaker,
                                        const std::string& pageName) {
    // Only the two placeholders are filled: the template comes from the
    // parameter files and is never handed to a printf-style formatter.
    std::string result;
    result.reserve(urlTemplate.size() + cacheBreaker.size() + pageName.size());
    int filled = 0;
    for (std::size_t i = 0; i < urlTemplate.size(); ++i) {
        if (filled < 2 && urlTemplate[i] == '%' && i + 1 < urlTemplate.size() && urlTemplate[i + 1] == 's') {
            result += filled == 0 ? cacheBreaker : pageName;
            ++filled;
            ++i;
        } else {
            result += urlTemplate[i];
        }
    }
    return result;
}

void Glimmeries::Report(const std::string& pageName) {
    // Written when the page shows, whatever becomes of the request.
    m_logger->Log("Landing on " + pageName);
    try {
        const std::string urlTemplate = GetParameter("GLM_REPORTING_URL");
        if (urlTemplate.empty()) {
            return;
        }
        std::string lowerName = pageName;
        std::transform(lowerName.begin(), lowerName.end(), lowerName.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        const std::string url = FormatReportUrl(urlTemplate, Web::MakeRandomToken(), lowerName);
        // Checked here so a malformed template is logged with the page.
        const Web::Url parsed(url);
        if (!m_reporter) {
            m_reporter = std::make_unique<PageReporter>(*m_logger, Web::DefaultAgentName(), m_reportOptions);
        }
        m_reporter->Enqueue(url);
    } catch (Ex::NonFatalException& e) {
        e.AddStackFrame(EX_FRAME);
        e.LogNoThrow("Glm::Glimmeries::Report");
    } catch (const std::exception& caught) {
        Ex::StlException e(caught);
        e.AddStackFrame(EX_FRAME);
        e.LogNoThrow("Glm::Glimmeries::Report");
    }
}

void Glimmeries::OpenUrl(const std::string& url, bool useProcess) {
    if (url.empty()) {
        m_logger->Log("Can't launch web browser. URL: \"\"");
        return;
    }
    if (m_browserHook) {
        m_browserHook(url, useProcess);
        return;
    }
    try {
        m_browserLauncher.LaunchURL(url, useProcess);
    } catch (Ex::NonFatalException& e) {
        e.AddStackFrame(EX_FRAME);
        e.LogNoThrow("Glm::Glimmeries::OpenUrl");
        m_logger->Log("Can't launch web browser. URL: \"" + url + "\"");
    }
}

std::int32_t Glimmeries::UploadFriend(const FriendRecord& entry, const std::string& action,
                                      std::string& errorCode) {
    const std::optional<Toy> toy = FindToyInUse(*this);
    return UploadFriendAnswer(m_webApi, toy.has_value() ? &*toy : nullptr, entry, action, errorCode);
}

std::int32_t Glimmeries::StartToyDiscovery(UI::MessageTarget& receiver) {
    m_deviceRelay.Attach(&receiver);
    if (m_toyDiscoveryRunning) {
        return 0;
    }
    const std::int32_t result = m_deviceWatcher.Start(&m_deviceRelay);
    if (result == 0) {
        m_toyDiscoveryRunning = true;
    } else {
        m_deviceWatcher.Stop();
        m_logger->Log("Toy discovery did not start: " + std::to_string(result));
    }
    return result;
}

void Glimmeries::DetachToyDiscovery(UI::MessageTarget& receiver) {
    m_deviceRelay.Detach(&receiver);
}

void Glimmeries::StopToyDiscovery() {
    try {
        m_deviceWatcher.Stop();
    } catch (Ex::Exception& e) {
        e.AddStackFrame(EX_FRAME);
        e.LogNoThrow("Glm::Glimmeries::StopToyDiscovery");
    }
    m_toyDiscoveryRunning = false;
}

} // namespace Glm
