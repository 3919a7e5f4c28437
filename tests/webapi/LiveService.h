#pragma once
// The real glimmeries-service for a web client test (through the shared
// launcher), its certificate authority trusted as the extra CA while it runs.

#include <memory>
#include <string>
#include <vector>

namespace GlmTest {
class TempDir;
} // namespace GlmTest
namespace ServiceTest {
class ServiceProcess;
} // namespace ServiceTest

namespace WebApiTest {

class LiveService {
public:
    /// Starts "serve" with extra options (e.g. {"--max-toys", "4"}); fails
    /// the current test when it does not come up.
    explicit LiveService(const std::vector<std::string>& options = {});
    ~LiveService();
    LiveService(const LiveService&) = delete;
    LiveService& operator=(const LiveService&) = delete;

    bool IsRunning() const { return m_httpsPort != 0; }
    /// "https://127.0.0.1:PORT/api/"
    const std::string& ApiUrl() const { return m_apiUrl; }
    /// The content base address: "http://127.0.0.1:PORT/bramblemere/game/"
    const std::string& ContentUrl() const { return m_contentUrl; }
    /// The output of an administration command on this service's data; a
    /// different exit code fails the current test.
    std::string Admin(const std::vector<std::string>& arguments, int expectedExit = 0) const;

    /// The word after key in text ("user_id 12" -> "12"); empty when none.
    static std::string WordAfter(const std::string& text, const std::string& key);

private:
    std::unique_ptr<GlmTest::TempDir> m_data;
    std::unique_ptr<ServiceTest::ServiceProcess> m_process;
    int m_httpsPort = 0;
    std::string m_apiUrl;
    std::string m_contentUrl;
};

} // namespace WebApiTest
