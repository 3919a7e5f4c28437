#include "webapi/WebApi.h"

#include "common/Ex/Exceptions.h"
#include "common/Ex/Logger.h"
#include "common/Mod/Mod.h"
#include "common/Web/HttpConnection.h"
#include "common/Web/Url.h"
#include "common/Xml/Parser.h"
#include "device/BusyIndicator.h"
#include "webapi/CallGuard.h"
#include "webapi/QueryText.h"

#include <filesystem>

namespace Glm {

namespace {

constexpr const char* kFormHeader = "Content-Type: application/x-www-form-urlencoded";

} // namespace

WebApi::WebApi() = default;
WebApi::~WebApi() = default;

void WebApi::Init(UI::MessageTarget* mainWindow, const std::string& baseUrl, const std::string& logLevel) {
    m_mainWindow = mainWindow;
    m_baseUrl = baseUrl;
    if (!logLevel.empty()) {
        m_logLevel = DecimalToInt32(logLevel);
    }
    // The old connection goes first, so that a base URL that cannot be used
    // leaves no connection to a server the parameters no longer name.
    m_connection.reset();
    GuardCall(GLM_CALL_SITE("Glm::WebApi", "Init"), nullptr, [&] {
        const Web::Url url(baseUrl);
        m_connection = std::make_unique<Web::HttpConnection>(Mod::GetExecutableFileName(), url);
    });
}

std::string WebApi::MakeUrl(const std::string& request, const std::string& query) const {
    return m_baseUrl + request + query;
}

void WebApi::LogCall(const std::string& url) const {
    if (m_logLevel > 0) {
        Ex::GetLogger()->Log("Calling into " + url);
    }
}

std::unique_ptr<Xml::Parser> WebApi::Exchange(const std::string& url, const std::string* body) {
    if (m_connection == nullptr) {
        throw Ex::Precondition("m_connection != nullptr", EX_FRAME);
    }
    const Web::Url parts(url);
    const std::shared_ptr<Web::HttpTransaction> transaction =
        body != nullptr ? m_connection->DoPost(parts.GetObjectName(), *body, kFormHeader)
                        : m_connection->DoGet(parts.GetObjectName(), Web::ResourceType::Text);
    return std::make_unique<Xml::Parser>(transaction->GetResponseBodyAsString());
}

// Every path of an answer starts at the document ("/Root/..."): it selects
// the same nodes as a path relative to the document, and does not depend on
// where the XPath engine places its context node.
bool WebApi::Succeeded(Xml::Parser& answer, const std::string& root) {
    return answer.GetLeafElementText(root + "/success") == "true";
}

void WebApi::ReadRefusal(Xml::Parser& answer, const std::string& root, const std::string& url,
                         std::string& errorCode) {
    errorCode = answer.GetAttribute(root + "/error/@code");
    Ex::GetLogger()->Log("WebApi Error: " + url + ": " + errorCode);
}

std::int32_t WebApi::Call(const char* name, const char* file, int line, const std::string& url,
                          const std::string* body, const std::string& root, std::string* errorCode,
                          const std::function<void(Xml::Parser& answer, std::int32_t& result)>& onSuccess,
                          bool createsViews) {
    std::int32_t result = 1;
    CallSite site{std::string("Glm::WebApi::") + name, file, line, createsViews};
    GuardCall(site, m_mainWindow, [&] {
        LogCall(url);
        const BusyScope busy;
        const std::unique_ptr<Xml::Parser> answer = Exchange(url, body);
        if (Succeeded(*answer, root)) {
            std::int32_t reached = 0;
            onSuccess(*answer, reached);
            result = reached;
        } else if (errorCode != nullptr) {
            ReadRefusal(*answer, root, url, *errorCode);
        } else {
            std::string logged;
            ReadRefusal(*answer, root, url, logged);
        }
    });
    return result;
}

namespace {

// Set once in main, before any thread reads it.
std::string& MovieDirectory() {
    static std::string directory;
    return directory;
}

} // namespace

void WebApi::SetMovieDirectory(const std::string& directory) {
    MovieDirectory() = directory;
}

std::string WebApi::PrepareMovie(const std::string& swfFileName, const std::string& resourceName) {
    const std::string& directory = MovieDirectory();
    const std::string path =
        (directory.empty() ? Mod::GetExecutableDirectory() : directory) + "/" + swfFileName;
    std::error_code ignored;
    if (!std::filesystem::exists(path, ignored)) {
        Mod::ExtractResourceToDisk(resourceName, "SWF", path);
    }
    return path;
}

} // namespace Glm
