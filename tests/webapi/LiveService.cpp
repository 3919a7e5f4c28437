#include "LiveService.h"

#include "common/Web/TlsTrust.h"
#include "tests/device/DeviceTestSupport.h"

#include <csignal>
#include <gtest/gtest.h>
#include <sstream>

namespace WebApiTest {

using namespace std::chrono_literals;

LiveService::LiveService(const std::vector<std::string>& options)
    : m_data(std::make_unique<DeviceTest::TempDir>()) {
    std::vector<std::string> argv = {"glimmeries-service",    "serve", "--data",       m_data->Path(),
                                     "--http-port",           "0",     "--https-port", "0",
                                     "--password-iterations", "1000"};
    argv.insert(argv.end(), options.begin(), options.end());
    m_process = std::make_unique<DeviceTest::ChildProcess>(argv);
    if (!m_process->Out().WaitFor("listening http=", 20s)) {
        ADD_FAILURE() << "glimmeries-service did not start";
        return;
    }
    const std::string first = m_process->Out().Lines().front();
    const int httpPort = std::stoi(first.substr(first.find("http=") + 5));
    m_httpsPort = std::stoi(first.substr(first.find("https=") + 6));
    m_apiUrl = "https://127.0.0.1:" + std::to_string(m_httpsPort) + "/api/";
    m_contentUrl = "http://127.0.0.1:" + std::to_string(httpPort) + "/bramblemere/game/";
    Web::SetExtraCaFile(m_data->Path() + "/ca.pem");
}

LiveService::~LiveService() {
    if (m_process) {
        m_process->Signal(SIGTERM);
        m_process->Wait(20s);
    }
    Web::SetExtraCaFile("");
}

std::string LiveService::Admin(const std::vector<std::string>& arguments, int expectedExit) const {
    std::vector<std::string> argv = {"glimmeries-service", "--data", m_data->Path(), "--password-iterations",
                                     "1000"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    const DeviceTest::CommandResult result = DeviceTest::RunProgram(argv);
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
