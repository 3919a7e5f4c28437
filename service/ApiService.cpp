#include "ApiService.h"

#include "ApiCall.h"
#include "Routes.h"

#include <httplib.h>
#include <iostream>

namespace Service {

namespace Api {

std::string Number(std::int64_t value) {
    return std::to_string(value);
}

XmlDocument ParseBody(const Call& call) {
    auto document = XmlDocument::Parse(call.request.body);
    if (!document) {
        call.response.status = 400;
        throw GameError("INVALID_XML");
    }
    return std::move(*document);
}

Fields Readable(const Call& call, std::optional<Fields> fields) {
    if (!fields) {
        call.response.status = 400;
        throw GameError("INVALID_ENCODING");
    }
    return std::move(*fields);
}

std::int64_t BodyId(const XmlDocument& document, const std::string& xpath) {
    if (document.Count(xpath) == 0 || document.Value(xpath).empty()) {
        throw GameError("ERROR_MISSING_PARMS");
    }
    const auto id = ParseId(document.Value(xpath));
    if (!id) {
        throw GameError("NOT_FOUND");
    }
    return *id;
}

} // namespace Api

namespace {
constexpr const char* kXmlType = "text/xml; charset=utf-8";
} // namespace

void ApiService::Register(Routes& server, bool secure) {
    GameStore* const store = &m_store;

    // Every request runs through here: the answer is the root element with success true and
    // what the body wrote, or success false with the error code.
    const auto route = [&server, store, secure](const char* method, const std::string& name, Api::Body body) {
        const std::string root = name.substr(0, name.size() - std::string("Request").size()) + "Response";
        auto handler = [store, secure, root, body](const httplib::Request& request,
                                                   httplib::Response& response) {
            Api::Call call{request, response, {}, std::nullopt, secure};
            call.userId = store->SessionAccount(CookieValue(request, Api::kSessionCookie), secure);
            XmlWriter content;
            std::string error;
            try {
                call.query = Api::Readable(call, DecodedQuery(request, Plus::Kept));
                body(call, content);
            } catch (const GameError& refusal) {
                error = refusal.Code();
            } catch (const std::exception& failure) {
                std::cerr << "glimmeries-service: " << root << " failed: " << failure.what() << std::endl;
                response.status = 500;
                error = "INTERNAL_ERROR";
            }
            XmlWriter xml;
            xml.Raw("<?xml version=\"1.0\" encoding=\"utf-8\"?>").Open(root);
            if (error.empty()) {
                xml.Leaf("success", "true").Raw(content.Text());
            } else {
                xml.Leaf("success", "false").Empty("error", XmlWriter::Attribute("code", error));
            }
            xml.Close(root);
            response.set_header("Cache-Control", "no-store");
            response.set_content(xml.Text(), kXmlType);
        };
        if (std::string(method) == "POST") {
            server.Post("/api/" + name, handler);
        } else {
            server.Get("/api/" + name, handler);
        }
    };

    Api::AddAccountRoutes(route, m_store, m_throttle);
    Api::AddProfileRoutes(route, m_store);
    Api::AddToyRoutes(route, m_store);
    Api::AddInventoryRoutes(route, m_store);
}

} // namespace Service
