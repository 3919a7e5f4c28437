#include "LiveService.h"

#include "common/Web/TlsTrust.h"
#include "tests/support/ServiceProcess.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <sstream>

namespace WebApiTest {

LiveService::LiveService(const std::vector<std::string>& options) : m_data(std::make_unique<GlmTest::TempDir>()) {
    std::vector<std::string> extra = {"--password-iterations", "1000"};
    extra.insert(extra.end(), options.begin(), options.end());
    try {
        m_process = std::make_unique<ServiceTest::ServiceProcess>(m_data->Path(), extra);
    } catch (const std::exception& failure) {
        ADD_FAILURE() << "glimmeries-service did not start: " << failure.what();
        return;
    }
    m_httpsPort = m_process->HttpsPort();
    m_apiUrl = "https://127.0.0.1:" + std::to_string(m_httpsPort) + "/api/";
    m_contentUrl = "http://127.0.0.1:" + std::to_string(m_process->HttpPort()) + "/bramblemere/game/";
    Web::SetExtraCaFile(m_data->Path() + "/ca.pem");
}

LiveService::~LiveService() {
    m_process.reset();
    Web::SetExtraCaFile("");
}

std::string LiveService::Admin(const std::vector<std::string>& arguments, int expectedExit) const {
    std::vector<std::string> argv = {"--data", m_data->Path(), "--password-iterations", "1000"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    const ServiceTest::CommandResult result = ServiceTest::RunService(argv);
    EXPECT_EQ(result.exitCode, expectedExit) << result.err;
    return result.out;
}

std::string LiveService::WordAfter(const std::string& text, const std::string& key) {
    const std::size_t at = text.find(key + " ");
    if (at == std::string::npos) {
        return "";
    }
    std::istringstream rest(text.substr(at + key.size() + 1));
    std::string word;
    rest >> word;
    return word;
}

} // namespace WebApiTest
