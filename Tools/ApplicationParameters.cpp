#include "Tools/ApplicationParameters.h"

#include "common/Ex/Exceptions.h"
#include "common/Ex/Logger.h"
#include "common/Web/AgentName.h"
#include "common/Web/HttpConnection.h"
#include "common/Web/RandomToken.h"
#include "common/Web/TlsTrust.h"
#include "common/Web/Url.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace Glm {

namespace {

constexpr const char* kExtraCaKey = "GLM_EXTRA_CA_FILE";
constexpr const char* kContentKeyKey = "GLM_CONTENT_SIGNING_KEY_FILE";
// Lines are read in pieces of at most this many bytes, so a longer line is
// taken as several lines.
constexpr std::size_t kLinePiece = 1022;

std::string Trim(const std::string& text) {
    auto graphic = [](char c) { return std::isgraph(static_cast<unsigned char>(c)) != 0; };
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && !graphic(text[begin])) {
        ++begin;
    }
    while (end > begin && !graphic(text[end - 1])) {
        --end;
    }
    return text.substr(begin, end - begin);
}

std::string HomeRelative(const char* variable, const char* fallback) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value == '/') {
        return value;
    }
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : "") + fallback;
}

// The built-in defaults, in the order they are set. The addresses point at
// the embedded game service on loopback (HTTP 18480, HTTPS 18443).
const std::pair<const char*, const char*> kDefaults[] = {
    {"PATCHER_VERSION_STRING_SERVER", "V1.0.4.34"},
    {"GLM_SUPPORTED_FLASH_VERSION", "10"},
    {"GLM_LOG_LEVEL", "0"},
    {"DOWNLOAD_PATCHER_CURRENT_VERSION", "glimmeries.exe"},
    {"GLM_BASE_URL", "https://127.0.0.1:18443/api/"},
    {"GLM_PATCHER_BASE_URL", "https://127.0.0.1:18443/bramblemere/game/glimmeries/english/"},
    {"GLM_WEBSITE_BASE_URL", "http://127.0.0.1:18480/bramblemere/game/"},
    {"GLM_REGISTER_BASE_URL", "http://127.0.0.1:18480/bramblemere/registration?iscapp=true"},
    {"GLM_RECOVER_ACCOUNT_ID_URL",
     "https://127.0.0.1:18443/account/recoverMemberNames?affiliateName=glimmeries&appRedirect=true"},
    {"GLM_RECOVER_PASSWORD_URL",
     "https://127.0.0.1:18443/account/recoverPassword?affiliateName=glimmeries&appRedirect=true"},
    {"GLM_BANNED_ACCOUNT_URL",
     "https://127.0.0.1:18443/guestservices/your_account/account_hold?bannedUsername="},
    {"GLM_REPORTING_URL",
     "http://127.0.0.1:18480/b/ss/glmdesktopapp,glmallsites/1/%s?D=glm&gn=glimmeries:desktop:%s&c1=glimmeries"
     "&c2=desktop&c14=english&h1=glimmeries,desktop&c11=app&c4=companion"},
    {"GLM_INSTALL_FLASH_URL", "http://127.0.0.1:18480/home/html/index.html?flash=false"},
    {"GLM_CREATE_FAIRY_URL", "http://127.0.0.1:18480/create.html"},
    {"GLM_FLY_TO_BRAMBLEMERE_URL", "http://127.0.0.1:18480/index.html?1=1"},
    {"GLM_PRINT_GAME_COVER_URL", "http://127.0.0.1:18480/glimmeries.html?page=portrait"},
    {"GLM_VIEW_CHARMS_URL", "http://127.0.0.1:18480/glimmeries.html?page=charms&iscapp=true"},
    {"GLM_FAQ_URL", "http://127.0.0.1:18480/glimmeries.html?page=faq"},
    {"SWF_AVATAR_AND_BUTTERFLY", "avatarAndButterfly.swf"},
    {"SWF_AVATAR_FULL", "avatarFull.swf"},
};

bool StartsWithHttps(const std::string& value) {
    static const std::string https = "https://";
    if (value.size() < https.size()) {
        return false;
    }
    for (std::size_t i = 0; i < https.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(value[i])) != https[i]) {
            return false;
        }
    }
    return true;
}

// The remote file comes from the content server, which must not be able to
// choose whom the program trusts or send the sign-in anywhere but over TLS.
bool IsRefusedRemoteSetting(const std::string& key, const std::string& value) {
    if (key == kExtraCaKey || key == kContentKeyKey) {
        return true;
    }
    return key == "GLM_BASE_URL" && !StartsWithHttps(value);
}

} // namespace

ApplicationParameters::ApplicationParameters() = default;
ApplicationParameters::~ApplicationParameters() = default;

void ApplicationParameters::Set(const std::string& key, const std::string& value) {
    m_values[key] = value;
    if (key == kExtraCaKey) {
        Web::SetExtraCaFile(value);
    }
}

std::string ApplicationParameters::Get(const std::string& key) const {
    const auto found = m_values.find(key);
    return found == m_values.end() ? std::string() : found->second;
}

void ApplicationParameters::Clear() {
    m_values.clear();
    m_connection.reset();
}

void ApplicationParameters::SetDefaults() {
    for (const auto& [key, value] : kDefaults) {
        Set(key, value);
    }
    Set(kExtraCaKey, DefaultExtraCaFile());
    Set(kContentKeyKey, DefaultContentSigningKeyFile());
}

std::string ApplicationParameters::GetDefault(const std::string& key) {
    for (const auto& [name, value] : kDefaults) {
        if (key == name) {
            return value;
        }
    }
    if (key == kExtraCaKey) {
        return DefaultExtraCaFile();
    }
    return key == kContentKeyKey ? DefaultContentSigningKeyFile() : std::string();
}

std::string ApplicationParameters::DefaultContentSigningKeyFile() {
#ifdef GLM_CONTENT_SIGNING_KEY_FILE
    return GLM_CONTENT_SIGNING_KEY_FILE;
#else
    return HomeRelative("XDG_DATA_HOME", "/.local/share") + "/glimmeries-service/signing.pub";
#endif
}

std::string ApplicationParameters::DefaultExtraCaFile() {
    return HomeRelative("XDG_DATA_HOME", "/.local/share") + "/glimmeries-service/ca.pem";
}

void ApplicationParameters::LoadFromFile(const std::string& path) {
    std::unique_ptr<FILE, decltype(&std::fclose)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file) {
        return;
    }
    // Each piece keeps its line end, as the line rules expect; bytes of any
    // value (NUL included) are carried through.
    std::string piece;
    for (int c = std::fgetc(file.get()); c != EOF; c = std::fgetc(file.get())) {
        piece.push_back(static_cast<char>(c));
        if (c == '\n' || piece.size() == kLinePiece) {
            ParseLine(piece);
            piece.clear();
        }
    }
    if (!piece.empty()) {
        ParseLine(piece);
    }
}

void ApplicationParameters::ParseLine(const std::string& line) {
    ParseLineFrom(line, false);
}

void ApplicationParameters::ParseLineFrom(const std::string& line, bool remote) {
    if (line.size() < 2 || line.front() == '#' || line.front() == '=') {
        return;
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos) {
        return;
    }
    const std::string key = Trim(line.substr(0, equals));
    const std::string value = Trim(line.substr(equals + 1));
    if (remote && IsRefusedRemoteSetting(key, value)) {
        Ex::GetLogger()->Log("patcher.ver: refused the remote setting of " + key);
        return;
    }
    Set(key, value);
}

void ApplicationParameters::ParseText(const std::string& text) {
    ParseTextFrom(text, false);
}

void ApplicationParameters::ParseTextFrom(const std::string& text, bool remote) {
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find_first_of("\r\n", start);
        ParseLineFrom(text.substr(start, end == std::string::npos ? std::string::npos : end - start), remote);
        if (end == std::string::npos) {
            return;
        }
        start = end + 1;
    }
}

void ApplicationParameters::LoadRemoteParameters(const std::string& address) {
    try {
        const Web::Url url(address);
        m_connection.reset();
        m_connection = std::make_unique<Web::HttpConnection>(Web::DefaultAgentName(), url);
        ParseTextFrom(m_connection->DoGet(url.GetObjectName(), Web::Text)->GetResponseBodyAsString(), true);
    }
    EX_CATCH_ADD_FRAME_AND_RETHROW
}

std::string ApplicationParameters::RemoteParametersAddress() const {
    return Get("GLM_PATCHER_BASE_URL") + "patcher.ver?" + Web::MakeRandomToken();
}

} // namespace Glm
