#include "Server.h"

#include "AccessLog.h"
#include "ApiService.h"
#include "Certificates.h"
#include "ContentService.h"
#include "SigningKey.h"
#include "HttpServer.h"
#include "Routes.h"
#include "WebPages.h"

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <pthread.h>
#include <thread>

namespace Service {

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

bool PrepareDataDirectory(const std::string& dataDirectory, std::ostream& err) {
    namespace fs = std::filesystem;
    std::error_code error;
    fs::create_directories(dataDirectory, error);
    // Password hashes and session tokens live here: only the service's own user may look in.
    if (!error) {
        fs::permissions(dataDirectory, fs::perms::owner_all, fs::perm_options::replace, error);
    }
    if (error) {
        err << "glimmeries-service: cannot create " << dataDirectory << ": " << error.message() << "\n";
        return false;
    }
    for (const char* name :
         {"glimmeries.db", "glimmeries.db-wal", "glimmeries.db-shm", "access.log", "access.log.1"}) {
        const fs::path path = fs::path(dataDirectory) / name;
        std::error_code ignored;
        if (fs::exists(path, ignored)) {
            fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::replace,
                            ignored);
        }
    }
    return true;
}

int Serve(const ServeOptions& options) {
    if (!PrepareDataDirectory(options.dataDirectory, std::cerr)) {
        return 1;
    }
    bool createdAuthority = false;
    const CertificatePaths certificates = EnsureCertificates(options.dataDirectory, createdAuthority);
    EnsureSigningKey(options.dataDirectory);
    GameStore store(DatabasePath(options.dataDirectory), options.rules);

    // Signals are taken by sigwait below, never by a handler running inside a worker.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    AccessLog log(options.dataDirectory);
    ApiService api(store);
    ContentService content(store, options.contentDirectory, options.movieVersion);
    WebPages pages(store);
    Routes plain;
    Routes secure;
    for (Routes* routes : {&plain, &secure}) {
        api.Register(*routes, routes == &secure);
        content.Register(*routes);
        pages.Register(*routes);
    }
    HttpServer server(plain, secure, log, options.limits);
    int httpPort = 0;
    int httpsPort = 0;
    try {
        server.UseCertificate(certificates.certificate, certificates.key);
        httpPort = server.ListenHttp(options.httpPort);
        httpsPort = server.ListenHttps(options.httpsPort);
    } catch (const std::exception& failure) {
        std::cerr << "glimmeries-service: " << failure.what() << "\n";
        return 1;
    }
    std::cout << "listening http=" << httpPort << " https=" << httpsPort << std::endl;
    std::cout << (createdAuthority ? "created certificate authority " : "certificate authority ")
              << certificates.caCertificate << std::endl;
    std::cout << "data " << options.dataDirectory << std::endl;

    std::thread serving([&server] { server.Run(); });
    int received = 0;
    sigwait(&signals, &received);
    server.Stop();
    serving.join();
    std::cout << "stopped" << std::endl;
    return 0;
}

} // namespace Service
