// glimmeries-service: the game service on loopback, and its administration commands.
#include "AccessLog.h"
#include "AdminCommands.h"
#include "Certificates.h"
#include "Publish.h"
#include "Server.h"

#include <chrono>
#include <filesystem>
#include <iostream>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

// Fewer rounds than this make a stolen database cheap to search; tests use the floor itself.
constexpr int kLeastPasswordIterations = 1000;

void Usage() {
    std::cerr
        << "usage: glimmeries-service serve [--data DIR] [--http-port P] [--https-port P] [--content DIR]\n"
           "                          [--movie-version V] [--max-toys N] [--max-friends N] [--max-charms N]\n"
           "                          [--token-seconds N] [--password-iterations N] [--session-idle-seconds "
           "N]\n"
           "                          [--session-max-seconds N] [--request-seconds N] [--idle-seconds N]\n"
           "       glimmeries-service [--data DIR] account add ID PASSWORD | account ban ID\n"
           "                          | fairy add ACCOUNT NAME [--avatar XML] | toy reset-code CLICKID\n"
           "                          | toy not-resetable CLICKID | points set FAIRY N | reports | seed "
           "demo | requests\n"
           "                          | certificates renew\n"
           "       glimmeries-service [--data DIR] [--content DIR] publish program FILE VERSION [--name "
           "NAME]\n"
           "                          | publish movie FILE VERSION\n";
}

bool ReadNumber(const std::string& text, int& value) {
    try {
        std::size_t used = 0;
        value = std::stoi(text, &used);
        return used == text.size() && value >= 0;
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace

int main(int argc, char** argv) {
    // Everything the service creates (database, journal, keys, logs) is for its own user only.
    ::umask(077);
    Service::ServeOptions options;
    options.dataDirectory = Service::DefaultDataDirectory();
    std::vector<std::string> words;
    bool serve = false;
    int requestSeconds = static_cast<int>(options.limits.requestTime.count());
    int idleSeconds = static_cast<int>(options.limits.idleTime.count());
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const bool hasValue = i + 1 < argc;
        int* number = nullptr;
        if (argument == "--http-port") {
            number = &options.httpPort;
        } else if (argument == "--https-port") {
            number = &options.httpsPort;
        } else if (argument == "--max-toys") {
            number = &options.rules.maxToysPerAccount;
        } else if (argument == "--max-friends") {
            number = &options.rules.maxFriendsPerFairy;
        } else if (argument == "--max-charms") {
            number = &options.rules.maxCharmsPerFairy;
        } else if (argument == "--token-seconds") {
            number = &options.rules.transferTokenSeconds;
        } else if (argument == "--password-iterations") {
            number = &options.rules.passwordIterations;
        } else if (argument == "--session-idle-seconds") {
            number = &options.rules.sessionIdleSeconds;
        } else if (argument == "--session-max-seconds") {
            number = &options.rules.sessionMaxSeconds;
        } else if (argument == "--request-seconds") {
            number = &requestSeconds;
        } else if (argument == "--idle-seconds") {
            number = &idleSeconds;
        }
        if (number != nullptr) {
            if (!hasValue || !ReadNumber(argv[++i], *number)) {
                Usage();
                return 2;
            }
            if ((number == &options.httpPort || number == &options.httpsPort) && *number > 65535) {
                std::cerr << "glimmeries-service: " << argument << " " << *number
                          << " is not a port (0 to 65535; 0 picks a free one)\n";
                return 2;
            }
            if (number == &options.rules.passwordIterations && *number < kLeastPasswordIterations) {
                std::cerr << "glimmeries-service: --password-iterations must be at least "
                          << kLeastPasswordIterations << "\n";
                return 2;
            }
        } else if (argument == "--data" && hasValue) {
            options.dataDirectory = argv[++i];
        } else if (argument == "--content" && hasValue) {
            options.contentDirectory = argv[++i];
        } else if (argument == "--movie-version" && hasValue) {
            options.movieVersion = argv[++i];
        } else if (argument == "serve" && words.empty()) {
            serve = true;
        } else if (argument == "--avatar" && hasValue) {
            words.push_back(argument);
            words.push_back(argv[++i]);
        } else {
            words.push_back(argument);
        }
    }
    if (options.contentDirectory.empty()) {
        options.contentDirectory = options.dataDirectory + "/content";
    }
    if (requestSeconds < 1 || idleSeconds < 1 || options.rules.sessionIdleSeconds < 1 ||
        options.rules.sessionMaxSeconds < 1) {
        std::cerr << "glimmeries-service: times are at least 1 second\n";
        return 2;
    }
    options.limits.requestTime = std::chrono::seconds(requestSeconds);
    options.limits.idleTime = std::chrono::seconds(idleSeconds);
    try {
        if (serve && words.empty()) {
            return Service::Serve(options);
        }
        if (serve || words.empty()) {
            Usage();
            return 2;
        }
        if (words.size() == 2 && words[0] == "certificates" && words[1] == "renew") {
            Service::RenewCertificates(options.dataDirectory);
            std::cout << "created certificate authority " << options.dataDirectory << "/ca.pem\n";
            return 0;
        }
        if (words.size() == 1 && words[0] == "requests") {
            Service::AccessLog::Print(options.dataDirectory, std::cout);
            return 0;
        }
        if (!Service::PrepareDataDirectory(options.dataDirectory, std::cerr)) {
            return 1;
        }
        if (words.front() == "publish") {
            const int code = Service::RunPublishCommand(words, options.dataDirectory,
                                                        options.contentDirectory, std::cout, std::cerr);
            if (code == 2) {
                Usage();
            }
            return code;
        }
        Service::GameStore store(Service::DatabasePath(options.dataDirectory), options.rules);
        const int code = Service::RunAdminCommand(store, words, std::cout, std::cerr);
        if (code == 2) {
            Usage();
        }
        return code;
    } catch (const std::exception& failure) {
        std::cerr << "glimmeries-service: " << failure.what() << "\n";
        return 1;
    }
}
