#pragma once

#include "XmlDocument.h"
#include "tests/support/ServiceProcess.h"

#include <gtest/gtest.h>
#include <httplib.h>
#include <map>
#include <optional>
#include <string>

namespace ServiceTest {

/// One answer of the web service, parsed.
struct Answer {
    int status = 0;
    std::string body;
    std::optional<Service::XmlDocument> xml;

    std::string Value(const std::string& xpath) const { return xml ? xml->Value(xpath) : std::string(); }
    int Count(const std::string& xpath) const { return xml ? xml->Count(xpath) : 0; }
};

/// A client of the web service over HTTPS (or HTTP) that keeps its session cookie, as the
/// application's transport does.
class Player {
public:
    Player(const ServiceProcess& service, bool secure = true);
    Answer Get(const std::string& target);
    Answer Post(const std::string& target, const std::string& body);
    /// Signs in; returns the account id (empty on refusal).
    std::string SignIn(const std::string& login, const std::string& password);
    /// The session cookie ("GLMSESSION=…"); other cookies the service set are kept and sent too.
    std::string& Cookie() { return m_cookie; }

private:
    Answer Finish(const httplib::Result& result);
    std::unique_ptr<httplib::ClientImpl> m_http;
    std::unique_ptr<httplib::SSLClient> m_https;
    std::string CookieHeader() const;
    std::string m_cookie;
    std::map<std::string, std::string> m_jar;
};

/// A service with small limits shared by one test suite, and helpers to build a world.
class ServiceFixture : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();

    static ServiceProcess& Service() { return *s_service; }
    /// Runs an admin command against the suite's data directory; expects exit code 0.
    static std::string Admin(const std::vector<std::string>& arguments);
    /// A new account with a unique name and one Fairy; returns login (password is "secret1").
    static std::string NewAccount(const std::string& stem, std::string* userId = nullptr,
                                  std::string* fairyId = nullptr);
    /// Sets up a toy of `kind` for the signed-in player; returns its click id.
    static std::string NewToy(Player& player, const std::string& kind, const std::string& fairyId);

    static TempDirectory* s_data;
    static ServiceProcess* s_service;
    static int s_counter;
};

} // namespace ServiceTest
