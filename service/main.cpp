// glimmeries-service: the game service on loopback, and its administration commands.
#include "AccessLog.h"
#include "AdminCommands.h"
#include "Server.h"

#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

namespace {

void Usage() {
    std::cerr
        << "usage: glimmeries-service serve [--data DIR] [--http-port P] [--https-port P] [--content DIR]\n"
           "                          [--movie-version V] [--max-toys N] [--max-friends N] [--max-charms N]\n"
           "                          [--token-seconds N] [--password-iterations N]\n"
           "       glimmeries-service [--data DIR] account add ID PASSWORD | account ban ID\n"
           "                          | fairy add ACCOUNT NAME [--avatar XML] | toy reset-code CLICKID\n"
           "                          | toy not-resetable CLICKID | points set FAIRY N | reports | seed "
           "demo | requests\n";
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
    Service::ServeOptions options;
    options.dataDirectory = Service::DefaultDataDirectory();
    std::vector<std::string> words;
    bool serve = false;
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
        }
        if (number != nullptr) {
            if (!hasValue || !ReadNumber(argv[++i], *number)) {
                Usage();
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
    if (options.rules.passwordIterations < 1) {
        options.rules.passwordIterations = 1;
    }
    try {
        if (serve && words.empty()) {
            return Service::Serve(options);
        }
        if (serve || words.empty()) {
            Usage();
            return 2;
        }
        if (words.size() == 1 && words[0] == "requests") {
            Service::AccessLog::Print(options.dataDirectory, std::cout);
            return 0;
        }
        std::error_code error;
        std::filesystem::create_directories(options.dataDirectory, error);
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
