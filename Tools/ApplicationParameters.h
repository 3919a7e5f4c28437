#pragma once
// The table of every address, file name, version and level the application
// can be pointed at: built-in defaults, then "parameters.txt" in the
// application directory, then the remote file from the content server, then
// the local file again so that a local setting wins.

#include <map>
#include <memory>
#include <string>

namespace Web {
class HttpConnection;
}

namespace Glm {

class ApplicationParameters {
public:
    ApplicationParameters();
    ~ApplicationParameters();
    ApplicationParameters(const ApplicationParameters&) = delete;
    ApplicationParameters& operator=(const ApplicationParameters&) = delete;

    /// Inserts or replaces. Setting GLM_EXTRA_CA_FILE also makes the HTTP
    /// transport trust that file (in addition to the system store) for the
    /// connections it makes from then on.
    void Set(const std::string& key, const std::string& value);
    /// The value, or "" when the key is absent.
    std::string Get(const std::string& key) const;
    /// Removes every entry and frees the connection of the last remote load.
    void Clear();

    /// Sets every key that has a built-in default to it, in a fixed order.
    void SetDefaults();
    /// The built-in default of key, "" when it has none.
    static std::string GetDefault(const std::string& key);

    /// Reads a parameter file ("parameters.txt" in the application
    /// directory, which the application object knows); a missing or
    /// unreadable file is no error.
    void LoadFromFile(const std::string& path);
    /// Applies one line: ignored when shorter than 2 characters, when it
    /// starts with "#" or "=", or when it has no "="; otherwise the text
    /// before the first "=" is the key and the rest the value, both trimmed
    /// of every non-graphic character at both ends.
    void ParseLine(const std::string& line);
    /// ParseLine on every piece of text between CR or LF characters.
    void ParseText(const std::string& text);
    /// GETs the address and parses the body. Throws what the transport
    /// throws: Web::InvalidUrlException, Web::CantInitializeHttpException,
    /// Web::CantRetrieveResourceException or Web::HttpShutDownException.
    void LoadRemoteParameters(const std::string& address);

    /// GLM_PATCHER_BASE_URL + "patcher.ver?" + a random token.
    std::string RemoteParametersAddress() const;

    /// $XDG_DATA_HOME/glimmeries-service/ca.pem (~/.local/share/...).
    static std::string DefaultExtraCaFile();

    const std::map<std::string, std::string>& GetAll() const { return m_values; }

private:
    std::map<std::string, std::string> m_values;
    std::unique_ptr<Web::HttpConnection> m_connection;
};

} // namespace Glm
