#include "Server.h"

#include "AccessLog.h"
#include "ApiService.h"
#include "Certificates.h"
#include "ContentService.h"
#include "WebPages.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <httplib.h>
#include <iostream>
#include <pthread.h>
#include <thread>

namespace Service {

namespace {

constexpr std::size_t kLargestBody = 64 * 1024;
constexpr int kWorkerThreads = 16;

// When the request being handled on this thread started, for its access log line.
thread_local std::chrono::steady_clock::time_point t_requestStart;

void Configure(httplib::Server& server, AccessLog& log) {
    // Without TCP_NODELAY a keep-alive client waits for the delayed ACK on every answer.
    server.set_tcp_nodelay(true);
    server.set_payload_max_length(kLargestBody);
    server.set_keep_alive_max_count(100000);
    server.set_keep_alive_timeout(30);
    server.set_read_timeout(10, 0);
    server.set_write_timeout(10, 0);
    server.new_task_queue = [] { return new httplib::ThreadPool(kWorkerThreads); };
    server.set_pre_routing_handler([](const httplib::Request&, httplib::Response&) {
        t_requestStart = std::chrono::steady_clock::now();
        return httplib::Server::HandlerResponse::Unhandled;
    });
    server.set_logger([&log](const httplib::Request& request, const httplib::Response& response) {
        const std::chrono::duration<double, std::milli> taken =
            std::chrono::steady_clock::now() - t_requestStart;
        log.Record(request.method, request.target, response.status, taken.count());
    });
    server.set_error_handler([](const httplib::Request&, httplib::Response& response) {
        if (!response.body.empty()) {
            return;
        }
        std::string text = "error " + std::to_string(response.status);
        if (response.status == 413) {
            text += ": the request body is larger than " + std::to_string(kLargestBody) + " bytes";
        }
        response.set_content(text + "\n", "text/plain; charset=utf-8");
    });
}

int Bind(httplib::Server& server, int port) {
    if (port == 0) {
        return server.bind_to_any_port("127.0.0.1");
    }
    return server.bind_to_port("127.0.0.1", port) ? port : -1;
}

} // namespace

std::string DefaultDataDirectory() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data != nullptr && data[0] == '/') {
        return std::string(data) + "/glimmeries-service";
    }
    const char* home = std::getenv("HOME");
    return std::string(home ? home : ".") + "/.local/share/glimmeries-service";
}

std::string DatabasePath(const std::string& dataDirectory) {
    return (std::filesystem::path(dataDirectory) / "glimmeries.db").string();
}

int Serve(const ServeOptions& options) {
    std::error_code error;
    std::filesystem::create_directories(options.dataDirectory, error);
    if (error) {
        std::cerr << "glimmeries-service: cannot create " << options.dataDirectory << ": " << error.message()
                  << "\n";
        return 1;
    }
    bool createdAuthority = false;
    const CertificatePaths certificates = EnsureCertificates(options.dataDirectory, createdAuthority);
    GameStore store(DatabasePath(options.dataDirectory), options.rules);

    // Signals are taken by sigwait below, never by a handler running inside a worker.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    httplib::Server http;
    httplib::SSLServer https(certificates.certificate.c_str(), certificates.key.c_str());
    if (!https.is_valid()) {
        std::cerr << "glimmeries-service: cannot load " << certificates.certificate << "\n";
        return 1;
    }
    AccessLog log(options.dataDirectory);
    ApiService api(store);
    ContentService content(store, options.contentDirectory, options.movieVersion);
    WebPages pages(store);
    for (httplib::Server* server :
         {static_cast<httplib::Server*>(&http), static_cast<httplib::Server*>(&https)}) {
        Configure(*server, log);
        api.Register(*server, server == &https);
        content.Register(*server);
        pages.Register(*server);
    }
    const int httpPort = Bind(http, options.httpPort);
    const int httpsPort = Bind(https, options.httpsPort);
    if (httpPort < 0 || httpsPort < 0) {
        std::cerr << "glimmeries-service: cannot listen on 127.0.0.1 port "
                  << (httpPort < 0 ? options.httpPort : options.httpsPort) << "\n";
        return 1;
    }
    std::cout << "listening http=" << httpPort << " https=" << httpsPort << std::endl;
    std::cout << (createdAuthority ? "created certificate authority " : "certificate authority ")
              << certificates.caCertificate << std::endl;
    std::cout << "data " << options.dataDirectory << std::endl;

    std::thread httpThread([&http] { http.listen_after_bind(); });
    std::thread httpsThread([&https] { https.listen_after_bind(); });
    int received = 0;
    sigwait(&signals, &received);
    http.stop();
    https.stop();
    httpThread.join();
    httpsThread.join();
    std::cout << "stopped" << std::endl;
    return 0;
}

} // namespace Service
