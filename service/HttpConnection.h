#pragma once
// One client connection of the service's HTTP front: reading a request within its limits,
// handing it to a handler thread, writing the answer. Used by HttpServer.cpp only; a template
// because it serves plain and TLS streams alike.

#include "AccessLog.h"
#include "HttpServer.h"
#include "RequestText.h"
#include "Routes.h"

// Boost 1.74's Asio uses std::exchange without including <utility> itself.
#include <atomic>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/ssl/context.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/asio/strand.hpp>
#include <boost/asio/thread_pool.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/core/string.hpp>
#include <boost/beast/core/tcp_stream.hpp>
#include <boost/beast/http/empty_body.hpp>
#include <boost/beast/http/parser.hpp>
#include <boost/beast/http/read.hpp>
#include <boost/beast/http/string_body.hpp>
#include <boost/beast/http/write.hpp>
#include <boost/beast/ssl/ssl_stream.hpp>
#include <iterator>
#include <openssl/ssl.h>
#include <optional>
#include <thread>
#include <type_traits>
#include <utility>
#include <vector>

namespace Service::HttpDetail {

namespace net = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = net::ip::tcp;

// What a refused client may still send before its connection is closed.
constexpr std::size_t kLargestDrain = 1024 * 1024;

/// The path of a target with its %-escapes decoded, as the routes match it ("+" stays). A
/// malformed escape is left as it is: no route matches it then.
inline std::string DecodedPath(std::string_view target) {
    const std::string_view path = target.substr(0, target.find('?'));
    return PercentDecoded(path, Plus::Kept).value_or(std::string(path));
}

struct Shared {
    const Routes& plainRoutes;
    const Routes& secureRoutes;
    AccessLog& log;
    ConnectionLimits limits;
    net::thread_pool& handlers;
    std::atomic<std::size_t> open{0};
};

using Clock = std::chrono::steady_clock;
using PlainStream = beast::tcp_stream;
using SecureStream = beast::ssl_stream<beast::tcp_stream>;

/// One client connection: reads a request, has it handled, writes the answer, and only then
/// reads the next, so pipelined requests are answered in order.
template <class Stream>
class Connection : public std::enable_shared_from_this<Connection<Stream>> {
public:
    static constexpr bool kSecure = std::is_same_v<Stream, SecureStream>;

    template <class... Layers>
    Connection(Shared& shared, tcp::socket&& socket, Layers&... layers)
        : m_shared(shared), m_stream(std::move(socket), layers...) {
        ++m_shared.open;
    }
    ~Connection() { --m_shared.open; }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    void Start() {
        if constexpr (kSecure) {
            Lowest().expires_after(m_shared.limits.idleTime);
            m_stream.async_handshake(net::ssl::stream_base::server,
                                     [self = this->shared_from_this()](beast::error_code error) {
                                         if (!error) {
                                             self->ReadHeader(true);
                                         }
                                     });
        } else {
            ReadHeader(true);
        }
    }

private:
    beast::tcp_stream& Lowest() { return beast::get_lowest_layer(m_stream); }

    void ReadHeader(bool first) {
        m_parser.emplace();
        m_parser->header_limit(static_cast<std::uint32_t>(m_shared.limits.headerBytes));
        m_parser->body_limit(m_shared.limits.bodyBytes);
        // The whole header section must arrive within one deadline, however it trickles in.
        Lowest().expires_after(first ? m_shared.limits.requestTime : m_shared.limits.idleTime);
        http::async_read_header(m_stream, m_buffer, *m_parser,
                                [self = this->shared_from_this()](beast::error_code error, std::size_t) {
                                    self->OnHeader(error);
                                });
    }

    void OnHeader(beast::error_code error) {
        m_started = Clock::now();
        if (error) {
            Refuse(error);
            return;
        }
        const auto& header = m_parser->get();
        if (static_cast<std::size_t>(std::distance(header.begin(), header.end())) >
            m_shared.limits.headerCount) {
            Answer(431,
                   "too many header fields (at most " + std::to_string(m_shared.limits.headerCount) + ")\n");
            return;
        }
        Lowest().expires_after(m_shared.limits.requestTime);
        if (beast::iequals(header[http::field::expect], "100-continue")) {
            auto proceed = std::make_shared<http::response<http::empty_body>>(http::status::continue_, 11);
            http::async_write(
                m_stream, *proceed,
                [self = this->shared_from_this(), proceed](beast::error_code failed, std::size_t) {
                    if (!failed) {
                        self->ReadBody();
                    }
                });
            return;
        }
        ReadBody();
    }

    void ReadBody() {
        http::async_read(m_stream, m_buffer, *m_parser,
                         [self = this->shared_from_this()](beast::error_code error, std::size_t) {
                             if (error) {
                                 self->Refuse(error);
                             } else {
                                 self->Handle();
                             }
                         });
    }

    /// A request that could not be read: the reason as an answer where there is one to give.
    void Refuse(beast::error_code error) {
        if (error == http::error::header_limit) {
            Answer(431, "the header section is larger than " + std::to_string(m_shared.limits.headerBytes) +
                            " bytes\n");
        } else if (error == http::error::body_limit) {
            Answer(413, "error 413: the request body is larger than " +
                            std::to_string(m_shared.limits.bodyBytes) + " bytes\n");
        } else if (&error.category() == &http::make_error_code(http::error::bad_method).category() &&
                   error != http::error::end_of_stream && error != http::error::partial_message) {
            Answer(400, "error 400: not a readable HTTP request\n");
        } else {
            Close();
        }
    }

    void Handle() {
        auto message = m_parser->release();
        httplib::Request request;
        request.method = std::string(message.method_string());
        request.target = std::string(message.target());
        request.path = DecodedPath(request.target);
        request.version = message.version() == 10 ? "HTTP/1.0" : "HTTP/1.1";
        for (const auto& field : message) {
            request.headers.emplace(std::string(field.name_string()), std::string(field.value()));
        }
        request.body = std::move(message.body());
        beast::error_code unknown;
        const auto peer = Lowest().socket().remote_endpoint(unknown);
        request.remote_addr = unknown ? std::string("-") : peer.address().to_string();
        m_keepAlive = message.keep_alive();
        m_head = message.method() == http::verb::head;
        Lowest().expires_never();
        const Routes& routes = kSecure ? m_shared.secureRoutes : m_shared.plainRoutes;
        net::post(m_shared.handlers, [self = this->shared_from_this(), &routes,
                                      request = std::move(request)]() mutable {
            httplib::Response response;
            routes.Dispatch(request, response);
            self->m_method = std::move(request.method);
            self->m_target = std::move(request.target);
            net::post(self->m_stream.get_executor(),
                      [self, response = std::move(response)]() mutable { self->Write(std::move(response)); });
        });
    }

    /// An answer of the service itself (a refused request); the connection closes after it.
    void Answer(int status, std::string text) {
        m_keepAlive = false;
        m_drain = true;
        m_head = false;
        if (m_parser && m_parser->is_header_done()) {
            m_method = std::string(m_parser->get().method_string());
            m_target = std::string(m_parser->get().target());
        } else {
            m_method = "-";
            m_target = "-";
        }
        httplib::Response response;
        response.status = status;
        response.set_content(std::move(text), "text/plain; charset=utf-8");
        Write(std::move(response));
    }

    void Write(httplib::Response response) {
        m_status = response.status;
        m_answer.emplace();
        m_answer->version(11);
        m_answer->result(static_cast<unsigned>(response.status));
        for (const auto& [name, value] : response.headers) {
            if (!beast::iequals(name, "Content-Length") && !beast::iequals(name, "Connection")) {
                m_answer->insert(name, value);
            }
        }
        m_answer->body() = std::move(response.body);
        m_answer->keep_alive(m_keepAlive);
        m_answer->prepare_payload();
        if (m_head) {
            const auto length = m_answer->body().size();
            m_answer->body().clear();
            m_answer->content_length(length);
        }
        Lowest().expires_after(m_shared.limits.requestTime);
        http::async_write(m_stream, *m_answer,
                          [self = this->shared_from_this()](beast::error_code error, std::size_t) {
                              self->OnWritten(error);
                          });
    }

    void OnWritten(beast::error_code error) {
        const std::chrono::duration<double, std::milli> taken = Clock::now() - m_started;
        m_shared.log.Record(m_method, m_target, m_status, taken.count());
        m_answer.reset();
        if (!error && m_drain) {
            Drain();
            return;
        }
        if (error || !m_keepAlive) {
            Close();
            return;
        }
        ReadHeader(false);
    }

    /// After a refusal the client may still be sending what was refused. Closing at once would
    /// reset the connection and could destroy the answer before it is read (and kill a client
    /// that does not ignore SIGPIPE), so the rest is read and thrown away, within a bound of
    /// bytes and time, before closing.
    void Drain() {
        beast::error_code ignored;
        Lowest().socket().shutdown(tcp::socket::shutdown_send, ignored);
        Lowest().expires_after(std::chrono::seconds(2));
        m_scratch.resize(16 * 1024);
        Lowest().async_read_some(net::buffer(m_scratch),
                                 [self = this->shared_from_this()](beast::error_code error, std::size_t got) {
                                     self->m_drained += got;
                                     if (error || self->m_drained > kLargestDrain) {
                                         self->Close();
                                     } else {
                                         self->Drain();
                                     }
                                 });
    }

    void Close() {
        beast::error_code ignored;
        Lowest().socket().shutdown(tcp::socket::shutdown_send, ignored);
        Lowest().close();
    }

    Shared& m_shared;
    Stream m_stream;
    beast::flat_buffer m_buffer;
    std::optional<http::request_parser<http::string_body>> m_parser;
    std::optional<http::response<http::string_body>> m_answer;
    bool m_keepAlive = false;
    bool m_head = false;
    bool m_drain = false;
    std::vector<char> m_scratch;
    std::size_t m_drained = 0;
    Clock::time_point m_started = Clock::now();
    std::string m_method;
    std::string m_target;
    int m_status = 0;
};

} // namespace Service::HttpDetail
