#include "HttpServer.h"

#include "HttpConnection.h"

#include <boost/asio/io_context.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/ssl/context.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/asio/strand.hpp>
#include <boost/asio/thread_pool.hpp>
#include <openssl/ssl.h>
#include <thread>
#include <vector>

namespace Service {

namespace net = boost::asio;
namespace beast = boost::beast;
using tcp = net::ip::tcp;
using HttpDetail::Connection;
using HttpDetail::PlainStream;
using HttpDetail::SecureStream;
using HttpDetail::Shared;

namespace {

// Two loops only move bytes; the handlers, which may spend tens of milliseconds on a password
// hash, have their own threads.
constexpr int kLoopThreads = 2;
constexpr int kHandlerThreads = 8;

/// Accepts connections on one port for as long as the loop runs.
class Listener : public std::enable_shared_from_this<Listener> {
public:
    Listener(net::io_context& io, Shared& shared, net::ssl::context* tls)
        : m_io(io), m_shared(shared), m_tls(tls), m_acceptor(io), m_retry(io) {}

    int Bind(int port) {
        const auto fail = [port](const beast::error_code& error) {
            return ListenError("cannot listen on 127.0.0.1 port " + std::to_string(port) + ": " +
                               (error == net::error::address_in_use
                                    ? std::string("the port is already in use")
                                    : error.message()));
        };
        beast::error_code error;
        const tcp::endpoint endpoint(net::ip::make_address_v4("127.0.0.1"),
                                     static_cast<unsigned short>(port));
        m_acceptor.open(endpoint.protocol(), error);
        // SO_REUSEADDR lets a restart bind while old connections linger in TIME_WAIT; it never
        // lets two listeners share the port (that would be SO_REUSEPORT, which stays off).
        if (!error) {
            m_acceptor.set_option(net::socket_base::reuse_address(true), error);
        }
        if (!error) {
            m_acceptor.bind(endpoint, error);
        }
        if (!error) {
            m_acceptor.listen(net::socket_base::max_listen_connections, error);
        }
        if (error) {
            throw fail(error);
        }
        return m_acceptor.local_endpoint().port();
    }

    void Accept() {
        m_acceptor.async_accept(net::make_strand(m_io),
                                [self = shared_from_this()](beast::error_code error, tcp::socket socket) {
                                    self->OnAccept(error, std::move(socket));
                                });
    }

    void Close() {
        beast::error_code ignored;
        m_acceptor.close(ignored);
        m_retry.cancel();
    }

private:
    void OnAccept(beast::error_code error, tcp::socket socket) {
        if (error == net::error::operation_aborted || !m_acceptor.is_open()) {
            return;
        }
        if (error) {
            // Out of descriptors or memory: try again shortly rather than spin.
            m_retry.expires_after(std::chrono::milliseconds(50));
            m_retry.async_wait([self = shared_from_this()](beast::error_code waited) {
                if (!waited) {
                    self->Accept();
                }
            });
            return;
        }
        if (m_shared.open.load() >= m_shared.limits.connections) {
            beast::error_code ignored;
            socket.close(ignored);
        } else {
            beast::error_code ignored;
            socket.set_option(tcp::no_delay(true), ignored);
            if (m_tls != nullptr) {
                std::make_shared<Connection<SecureStream>>(m_shared, std::move(socket), *m_tls)->Start();
            } else {
                std::make_shared<Connection<PlainStream>>(m_shared, std::move(socket))->Start();
            }
        }
        Accept();
    }

    net::io_context& m_io;
    Shared& m_shared;
    net::ssl::context* m_tls;
    tcp::acceptor m_acceptor;
    net::steady_timer m_retry;
};

} // namespace

struct HttpServer::Impl {
    Impl(const Routes& plain, const Routes& secure, AccessLog& log, ConnectionLimits limits)
        : shared{plain, secure, log, limits, handlers} {}

    net::io_context io{kLoopThreads};
    net::ssl::context tls{net::ssl::context::tls_server};
    net::thread_pool handlers{kHandlerThreads};
    Shared shared;
    std::vector<std::shared_ptr<Listener>> listeners;
};

HttpServer::HttpServer(const Routes& plainRoutes, const Routes& secureRoutes, AccessLog& log,
                       ConnectionLimits limits)
    : m_impl(std::make_unique<Impl>(plainRoutes, secureRoutes, log, limits)) {}

HttpServer::~HttpServer() {
    // Handlers first: what they still hold refers to connections of the loop.
    m_impl->handlers.stop();
    m_impl->handlers.join();
}

void HttpServer::UseCertificate(const std::string& certificateFile, const std::string& keyFile) {
    auto& tls = m_impl->tls;
    tls.set_options(net::ssl::context::default_workarounds | net::ssl::context::no_sslv2 |
                    net::ssl::context::no_sslv3 | net::ssl::context::no_tlsv1 |
                    net::ssl::context::no_tlsv1_1 | net::ssl::context::single_dh_use);
    SSL_CTX* native = tls.native_handle();
    SSL_CTX_set_min_proto_version(native, TLS1_2_VERSION);
    // TLS 1.2 offers authenticated encryption only (no CBC suites); TLS 1.3 suites all are.
    if (SSL_CTX_set_cipher_list(native, "ECDHE+AESGCM:ECDHE+CHACHA20:!aNULL:!eNULL") != 1) {
        throw std::runtime_error("cannot set the TLS cipher list");
    }
    beast::error_code error;
    tls.use_certificate_chain_file(certificateFile, error);
    if (error) {
        throw std::runtime_error("cannot load " + certificateFile + ": " + error.message());
    }
    tls.use_private_key_file(keyFile, net::ssl::context::pem, error);
    if (error) {
        throw std::runtime_error("cannot load " + keyFile + ": " + error.message());
    }
    if (SSL_CTX_check_private_key(native) != 1) {
        throw std::runtime_error(keyFile + " is not the key of " + certificateFile);
    }
}

int HttpServer::ListenHttp(int port) {
    auto listener = std::make_shared<Listener>(m_impl->io, m_impl->shared, nullptr);
    const int bound = listener->Bind(port);
    m_impl->listeners.push_back(listener);
    return bound;
}

int HttpServer::ListenHttps(int port) {
    auto listener = std::make_shared<Listener>(m_impl->io, m_impl->shared, &m_impl->tls);
    const int bound = listener->Bind(port);
    m_impl->listeners.push_back(listener);
    return bound;
}

void HttpServer::Run() {
    for (const auto& listener : m_impl->listeners) {
        listener->Accept();
    }
    std::vector<std::thread> loops;
    for (int i = 1; i < kLoopThreads; ++i) {
        loops.emplace_back([this] { m_impl->io.run(); });
    }
    m_impl->io.run();
    for (auto& loop : loops) {
        loop.join();
    }
}

void HttpServer::Stop() {
    net::post(m_impl->io, [this] {
        for (const auto& listener : m_impl->listeners) {
            listener->Close();
        }
        m_impl->io.stop();
    });
}

} // namespace Service
