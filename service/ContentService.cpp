#include "ContentService.h"

#include "Catalogue.h"
#include "RequestText.h"
#include "Routes.h"

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <httplib.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace Service {

namespace {

constexpr const char* kListFolder = "/bramblemere/game/publish/xml/content/glimmeries/";
constexpr const char* kPatchFolder = "/bramblemere/game/glimmeries/english/";
constexpr const char* kCurrentVersion = "V1.0.4.34";

// A transparent 1x1 GIF: what an analytics beacon answers with.
constexpr unsigned char kPixel[] = {0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x01, 0x00, 0x01, 0x00, 0x80,
                                    0x00, 0x00, 0x00, 0x00, 0x00, 0xff, 0xff, 0xff, 0x21, 0xf9, 0x04,
                                    0x01, 0x00, 0x00, 0x00, 0x00, 0x2c, 0x00, 0x00, 0x00, 0x00, 0x01,
                                    0x00, 0x01, 0x00, 0x00, 0x02, 0x02, 0x44, 0x01, 0x00, 0x3b};

bool SafeFileName(const std::string& name) {
    if (name.empty() || name.size() > 128 || name.front() == '.') {
        return false;
    }
    for (const char c : name) {
        const bool allowed = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                             c == '.' || c == '_' || c == '-';
        if (!allowed) {
            return false;
        }
    }
    return true;
}

bool ReadFile(const std::filesystem::path& path, std::string& content) {
    // A symbolic link placed in the content directory must not serve a file from elsewhere:
    // the name itself is opened without following links, and only a regular file is read.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    struct stat status {};
    bool read = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
    std::string text;
    char buffer[16384];
    while (read) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0) {
            read = false;
        } else if (got == 0) {
            break;
        } else {
            text.append(buffer, static_cast<std::size_t>(got));
        }
    }
    ::close(fd);
    if (read) {
        content = std::move(text);
    }
    return read;
}

std::string ContentType(const std::string& name) {
    const auto dot = name.rfind('.');
    const std::string extension = dot == std::string::npos ? "" : name.substr(dot);
    if (extension == ".swf" || extension == ".html") {
        return "text/html; charset=utf-8";
    }
    if (extension == ".ver" || extension == ".txt") {
        return "text/plain; charset=utf-8";
    }
    return "application/octet-stream";
}

} // namespace

ContentService::ContentService(GameStore& store, std::string contentDirectory, std::string movieVersion)
    : m_store(store), m_contentDirectory(std::move(contentDirectory)),
      m_movieVersion(std::move(movieVersion)) {}

std::string ContentService::PatcherVersionFile() const {
    std::string content;
    if (!m_contentDirectory.empty() &&
        ReadFile(std::filesystem::path(m_contentDirectory) / "patcher.ver", content)) {
        return content;
    }
    content = std::string("PATCHER_VERSION_STRING_SERVER=") + kCurrentVersion + "\n";
    if (!m_movieVersion.empty()) {
        content += "GLM_SWF_VERSION=" + m_movieVersion + "\n";
    }
    return content;
}

void ContentService::Register(Routes& server) {
    const auto list = [&server](const char* name, std::string body) {
        server.Get(std::string(kListFolder) + name,
                   [body](const httplib::Request&, httplib::Response& response) {
                       response.set_content(body, "text/xml; charset=utf-8");
                   });
    };
    list("ClickCharmList.xml", Catalogue::CharmListXml());
    list("ClickButterflyList.xml", Catalogue::ButterflyListXml());
    list("ClickMessageList.xml", Catalogue::MessageListXml());
    list("ClickGiftList.xml", Catalogue::GiftListXml());

    server.Get(std::string(kPatchFolder) + "patcher.ver",
               [this](const httplib::Request&, httplib::Response& response) {
                   response.set_header("Cache-Control", "no-store");
                   response.set_content(PatcherVersionFile(), "text/plain; charset=utf-8");
               });

    server.Get(std::string(kPatchFolder) + "([^/]+)",
               [this](const httplib::Request& request, httplib::Response& response) {
                   const std::string name = request.matches[1];
                   std::string content;
                   if (m_contentDirectory.empty() || !SafeFileName(name) ||
                       !ReadFile(std::filesystem::path(m_contentDirectory) / name, content)) {
                       response.status = 404;
                       response.set_content("No such file: " + name + "\n", "text/plain; charset=utf-8");
                       return;
                   }
                   response.set_content(content, ContentType(name));
               });

    // The beacon: /b/ss/<suites>/1/<cache breaker>?...&gn=<site>:<page>...
    server.Get("/b/ss/([^/]+)/1/([^/]+)", [this](const httplib::Request& request,
                                                 httplib::Response& response) {
        const auto query = DecodedQuery(request, Plus::Blank);
        if (!query) {
            response.status = 400;
            response.set_content("Broken %-escape in the report\n", "text/plain; charset=utf-8");
            return;
        }
        const auto gn = query->find("gn");
        std::string page = gn == query->end() ? std::string() : gn->second;
        const auto colon = page.rfind(':');
        if (colon != std::string::npos) {
            page = page.substr(colon + 1);
        }
        m_store.RecordReport(page.substr(0, 200), std::string(request.matches[2]).substr(0, 64));
        response.set_header("Cache-Control", "no-store");
        response.set_content(std::string(reinterpret_cast<const char*>(kPixel), sizeof kPixel), "image/gif");
    });
}

} // namespace Service
