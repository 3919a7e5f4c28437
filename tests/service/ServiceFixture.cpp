#include "ServiceFixture.h"

namespace ServiceTest {

TempDirectory* ServiceFixture::s_data = nullptr;
ServiceProcess* ServiceFixture::s_service = nullptr;
int ServiceFixture::s_counter = 0;

namespace {
const std::vector<std::string> kLimits = {"--max-toys",   "3", "--max-friends",         "3",
                                          "--max-charms", "3", "--password-iterations", "1000"};
}

Player::Player(const ServiceProcess& service, bool secure) {
    if (secure) {
        m_https = service.Https();
    } else {
        m_http = std::make_unique<httplib::ClientImpl>("127.0.0.1", service.HttpPort());
        m_http->set_tcp_nodelay(true);
    }
}

Answer Player::Finish(const httplib::Result& result) {
    Answer answer;
    if (!result) {
        ADD_FAILURE() << "request failed: " << httplib::to_string(result.error());
        return answer;
    }
    answer.status = result->status;
    answer.body = result->body;
    answer.xml = Service::XmlDocument::Parse(result->body);
    // The session cookie is kept apart (tests read and swap it); the others go to the jar.
    for (std::size_t i = 0; i < result->get_header_value_count("Set-Cookie"); ++i) {
        const std::string header = result->get_header_value("Set-Cookie", i);
        const std::string pair = header.substr(0, header.find(';'));
        const std::string name = pair.substr(0, pair.find('='));
        if (name == "GLMSESSION") {
            m_cookie = pair;
        } else if (pair.size() == name.size() + 1) {
            m_jar.erase(name);
        } else {
            m_jar[name] = pair;
        }
    }
    return answer;
}

std::string Player::CookieHeader() const {
    std::string header = m_cookie;
    for (const auto& [name, pair] : m_jar) {
        header += (header.empty() ? "" : "; ") + pair;
    }
    return header;
}

Answer Player::Get(const std::string& target) {
    httplib::Headers headers;
    if (const std::string cookies = CookieHeader(); !cookies.empty()) {
        headers.emplace("Cookie", cookies);
    }
    return Finish(m_https ? m_https->Get(target.c_str(), headers) : m_http->Get(target.c_str(), headers));
}

Answer Player::Post(const std::string& target, const std::string& body) {
    httplib::Headers headers;
    if (const std::string cookies = CookieHeader(); !cookies.empty()) {
        headers.emplace("Cookie", cookies);
    }
    const char* type = "application/x-www-form-urlencoded";
    return Finish(m_https ? m_https->Post(target.c_str(), headers, body, type)
                          : m_http->Post(target.c_str(), headers, body, type));
}

std::string Player::SignIn(const std::string& login, const std::string& password) {
    const Answer answer = Post("/api/AccountLoginRequest", "username=" + login + "&password=" + password +
                                                               "&affiliate=tallow_bmglimmeries");
    return answer.Value("/AccountLoginResponse/account/@account_id");
}

void ServiceFixture::SetUpTestSuite() {
    s_data = new TempDirectory();
    s_service = new ServiceProcess(s_data->Path(), kLimits);
}

void ServiceFixture::TearDownTestSuite() {
    delete s_service;
    s_service = nullptr;
    delete s_data;
    s_data = nullptr;
}

std::string ServiceFixture::Admin(const std::vector<std::string>& arguments) {
    std::vector<std::string> full = {"--data", s_data->Path(), "--password-iterations", "1000"};
    full.insert(full.end(), arguments.begin(), arguments.end());
    const CommandResult result = RunService(full);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    return result.out;
}

std::string ServiceFixture::NewAccount(const std::string& stem, std::string* userId, std::string* fairyId) {
    const std::string login = stem + std::to_string(++s_counter);
    const std::string added = Admin({"account", "add", login, "secret1"});
    if (userId != nullptr) {
        *userId = added.substr(added.rfind(' ') + 1);
        userId->pop_back();
    }
    const std::string fairy = Admin({"fairy", "add", login, "Fairy of " + login});
    if (fairyId != nullptr) {
        *fairyId = fairy.substr(6, fairy.size() - 7);
    }
    return login;
}

std::string ServiceFixture::NewToy(Player& player, const std::string& kind, const std::string& fairyId) {
    const Answer answer = player.Get("/api/ClickSetupRequest?type=" + kind + "&fairy_id=" + fairyId);
    EXPECT_EQ(answer.Value("/ClickSetupResponse/success"), "true") << answer.body;
    return answer.Value("/ClickSetupResponse/" + kind + "/@id");
}

} // namespace ServiceTest
