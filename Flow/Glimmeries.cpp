#include "Glimmeries.h"

#include "ThinUI/StringSource.h"
#include "common/Ex/Exceptions.h"
#include "common/Mod/Mod.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>

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
    m_currentSound.reset();
    try {
        m_startupWorker->ShutDown();
    } catch (Ex::Exception& e) {
        e.AddStackFrame(EX_FRAME);
        e.LogNoThrow("Glm::Glimmeries::~Glimmeries");
    }
    ThinUI::SetStringLoader({});
    Ex::SetLogger(m_previousLogger);
}

void Glimmeries::PlaySound(const std::string& name) {
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

void Glimmeries::Report(const std::string& pageName) {
    m_logger->Log("Landing on " + pageName);
}

void Glimmeries::OpenUrl(const std::string& url) {
    if (url.empty() || !QDesktopServices::openUrl(QUrl(QString::fromStdString(url)))) {
        m_logger->Log("Can't launch web browser. URL: \"" + url + "\"");
    }
}

} // namespace Glm
