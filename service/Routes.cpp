#include "Routes.h"

#include <iostream>

namespace Service {

void Routes::Get(const std::string& pattern, Handler handler) {
    m_routes.push_back({"GET", std::regex(pattern), std::move(handler)});
}

void Routes::Post(const std::string& pattern, Handler handler) {
    m_routes.push_back({"POST", std::regex(pattern), std::move(handler)});
}

void Routes::Dispatch(httplib::Request& request, httplib::Response& response) const {
    const std::string method = request.method == "HEAD" ? std::string("GET") : request.method;
    response.status = 404;
    for (const auto& route : m_routes) {
        if (route.method != method || !std::regex_match(request.path, request.matches, route.pattern)) {
            continue;
        }
        response.status = 200;
        try {
            route.handler(request, response);
        } catch (const std::exception& failure) {
            std::cerr << "glimmeries-service: " << request.method << " " << request.path
                      << " failed: " << failure.what() << std::endl;
            response = httplib::Response();
            response.status = 500;
        }
        break;
    }
    if (response.status >= 400 && response.body.empty()) {
        response.set_content("error " + std::to_string(response.status) + "\n", "text/plain; charset=utf-8");
    }
}

} // namespace Service
