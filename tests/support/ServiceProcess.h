#pragma once
// The one way tests and benchmarks start the real glimmeries-service.

#include "tests/support/TempDir.h"

#include <map>
#include <memory>
#include <string>
#include <sys/types.h>
#include <vector>

// Declared only: OpenSSL's headers, which httplib.h brings, name a type UI
// and so cannot meet the UI namespace of the programs' own headers.
namespace httplib {
class Client;
class SSLClient;
} // namespace httplib

namespace ServiceTest {

/// The real glimmeries-service program, started on free ports with its own data directory and
/// stopped (SIGTERM, then waited for) when the object goes.
class ServiceProcess {
public:
    /// Starts `serve` with `extra` arguments; fails the test (throws) when the first line does not
    /// arrive within 10 s.
    ServiceProcess(std::string dataDirectory, std::vector<std::string> extra = {});
    ~ServiceProcess();
    ServiceProcess(const ServiceProcess&) = delete;
    ServiceProcess& operator=(const ServiceProcess&) = delete;

    int HttpPort() const { return m_httpPort; }
    int HttpsPort() const { return m_httpsPort; }
    const std::string& DataDirectory() const { return m_dataDirectory; }
    const std::string& FirstLine() const { return m_firstLine; }
    /// Everything the service printed after its first line, up to now.
    std::string MoreOutput();

    /// A client that trusts only the service's own authority.
    std::unique_ptr<httplib::SSLClient> Https() const;
    std::unique_ptr<httplib::Client> Http() const;

    /// Stops and starts the program again on the same ports and data.
    void Restart();
    /// Ends the program at once (SIGKILL), as a power cut would; Restart brings it back.
    void Kill();
    pid_t Pid() const { return m_pid; }

private:
    void Start();
    void Stop();

    std::string m_dataDirectory;
    std::vector<std::string> m_extra;
    pid_t m_pid = -1;
    int m_output = -1;
    int m_httpPort = 0;
    int m_httpsPort = 0;
    std::string m_firstLine;
    std::string m_pending;
};

struct CommandResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

/// Runs the service program with arguments (an admin command) and collects its output.
CommandResult RunService(const std::vector<std::string>& arguments);

/// Path of the service program in the build tree.
std::string ServiceProgram();

using TempDirectory = GlmTest::TempDir;

} // namespace ServiceTest
