#pragma once

#include <functional>
#include <httplib.h>
#include <regex>
#include <string>
#include <vector>

namespace Service {

/// The service's table of handlers. Requests and answers are httplib's plain data types; the
/// network side is HttpServer, which fills a request, dispatches it here and sends the answer.
class Routes {
public:
    using Handler = std::function<void(const httplib::Request&, httplib::Response&)>;

    /// `pattern` is a regular expression the whole decoded path must match; its groups are in
    /// `request.matches`.
    void Get(const std::string& pattern, Handler handler);
    void Post(const std::string& pattern, Handler handler);

    /// Runs the handler of the request's method and path (HEAD runs GET's): 404 when there is
    /// none, 500 when it throws. Error answers without a body get a one-line text.
    void Dispatch(httplib::Request& request, httplib::Response& response) const;

private:
    struct Route {
        std::string method;
        std::regex pattern;
        Handler handler;
    };
    std::vector<Route> m_routes;
};

} // namespace Service
