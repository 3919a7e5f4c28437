// glmdev: the device library on the command line. Lists the toys it finds,
// reads and writes their memory, sends commands and reads touches, and
// watches arrivals and removals. Also the tool a user runs when a toy is
// not recognised: the library's diagnostic lines show on standard error.

#include "device/DeviceLibrary.h"
#include "device/Diagnostics.h"
#include "device/ResultCodes.h"
#include "device/SupportedToys.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <pthread.h>
#include <string>
#include <vector>

namespace {

void Usage() {
    std::fputs("usage: glmdev list\n"
               "       glmdev read ID\n"
               "       glmdev write ID HEX      (32 words, stored little-endian, or 128 bytes\n"
               "                                 in memory order; blanks between them)\n"
               "       glmdev send ID CODE\n"
               "       glmdev touch ID\n"
               "       glmdev watch             (until interrupted)\n",
               stderr);
}

int Fail(std::int32_t result) {
    std::fprintf(stderr, "glmdev: result %d: %s\n", result, GlmDev::ResultText(result));
    return 1;
}

bool ParseId(const char* text, std::uint32_t& id) {
    char* end = nullptr;
    errno = 0;
    const unsigned long value = std::strtoul(text, &end, 0);
    if (errno != 0 || end == text || *end != '\0' || value > 0xFFFFFFFFul || text[0] == '-') {
        return false;
    }
    id = static_cast<std::uint32_t>(value);
    return true;
}

// Either 32 words (32 hex numbers of up to 8 digits, each stored
// little-endian as the toy keeps its words) or 128 bytes in memory order
// (256 hex digits, grouped as one likes). Blanks, commas and colons
// separate.
bool ParseHexMemory(const char* text, std::uint8_t (&memory)[128]) {
    std::vector<std::string> tokens(1);
    for (const char* c = text; *c != '\0'; ++c) {
        if (std::strchr(" \t\n:,", *c) != nullptr) {
            if (!tokens.back().empty()) {
                tokens.emplace_back();
            }
        } else if (std::strchr("0123456789abcdefABCDEF", *c) != nullptr) {
            tokens.back() += *c;
        } else {
            return false;
        }
    }
    if (tokens.back().empty()) {
        tokens.pop_back();
    }
    if (tokens.size() == 32) {
        for (std::size_t word = 0; word < 32; ++word) {
            if (tokens[word].size() > 8) {
                return false;
            }
            const unsigned long value = std::strtoul(tokens[word].c_str(), nullptr, 16);
            for (std::size_t i = 0; i < 4; ++i) {
                memory[word * 4 + i] = static_cast<std::uint8_t>(value >> (8 * i));
            }
        }
        return true;
    }
    std::string digits;
    for (const std::string& token : tokens) {
        digits += token;
    }
    if (digits.size() != 256) {
        return false;
    }
    for (std::size_t i = 0; i < 128; ++i) {
        memory[i] = static_cast<std::uint8_t>(std::strtoul(digits.substr(i * 2, 2).c_str(), nullptr, 16));
    }
    return true;
}

void PrintLine(const char* verb, std::uint32_t id, std::uint32_t productId, const std::string& path) {
    const char* kind = GlmDev::KindWord(productId);
    if (std::strcmp(verb, "list") == 0) {
        std::printf("%u 0x%04x %s %s\n", id, productId, kind != nullptr ? kind : "unknown", path.c_str());
    } else {
        std::printf("%s %u 0x%04x %s\n", verb, id, productId, path.c_str());
    }
    std::fflush(stdout);
}

std::mutex g_pathsMutex;
std::map<std::uint32_t, std::string> g_paths;

void OnWatchEvent(void*, std::uint32_t eventCode, const GlmDev::DeviceEvent* event) {
    std::lock_guard lock(g_pathsMutex);
    if (eventCode == GlmDev::DeviceArrived) {
        // The arrival is reported after the record was listed, on the same
        // thread that would report its removal, so it is still there.
        for (const GlmDev::DeviceSummary& summary : GlmDev::GlmDevGetDeviceList().List()) {
            if (summary.id == event->deviceId) {
                g_paths[summary.id] = summary.path;
            }
        }
        PrintLine("arrived", event->deviceId, event->productId, g_paths[event->deviceId]);
    } else if (eventCode == GlmDev::DeviceRemoved) {
        PrintLine("removed", event->deviceId, event->productId, g_paths[event->deviceId]);
        g_paths.erase(event->deviceId);
    }
}

int Watch() {
    // The signals are taken by sigwait on this thread; blocking them first
    // keeps the discovery thread (which inherits the mask) out of it.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    const std::int32_t started = GlmDev::GlmDevStart(&OnWatchEvent, nullptr);
    if (started != GlmDev::kOk) {
        return Fail(started);
    }
    int received = 0;
    sigwait(&signals, &received);
    GlmDev::GlmDevStop();
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        Usage();
        return 2;
    }
    // The support tool says what it saw and left out.
    GlmDev::SetVerboseDiagnostics(true);
    const std::string verb = argv[1];
    if (verb == "watch" && argc == 2) {
        return Watch();
    }
    std::uint32_t id = 0;
    const bool takesId = verb == "read" || verb == "touch" || verb == "write" || verb == "send";
    const int expected = verb == "list" ? 2 : verb == "write" || verb == "send" ? 4 : takesId ? 3 : -1;
    if (argc != expected || (takesId && !ParseId(argv[2], id))) {
        Usage();
        return 2;
    }
    std::uint8_t memory[128] = {0};
    std::uint32_t code = 0;
    if (verb == "write" && !ParseHexMemory(argv[3], memory)) {
        std::fputs("glmdev: HEX must be 32 words (hex numbers of up to 8 digits) or 128 bytes (256 hex "
                   "digits)\n",
                   stderr);
        return 2;
    }
    if (verb == "send" && (!ParseId(argv[3], code) || code > 0xFF)) {
        std::fputs("glmdev: CODE must be 0 to 255\n", stderr);
        return 2;
    }

    const std::int32_t started = GlmDev::GlmDevStart(nullptr, nullptr);
    if (started != GlmDev::kOk) {
        return Fail(started);
    }
    std::int32_t result = GlmDev::kOk;
    if (verb == "list") {
        for (const GlmDev::DeviceSummary& summary : GlmDev::GlmDevGetDeviceList().List()) {
            PrintLine("list", summary.id, summary.productId, summary.path);
        }
    } else if (verb == "read") {
        result = GlmDev::GlmDevReadMemory(id, memory);
        if (result == GlmDev::kOk) {
            for (std::size_t row = 0; row < 8; ++row) {
                for (std::size_t column = 0; column < 16; ++column) {
                    std::printf(column == 0 ? "%02x" : " %02x",
                                static_cast<unsigned>(memory[row * 16 + column]));
                }
                std::printf("\n");
            }
        }
    } else if (verb == "write") {
        result = GlmDev::GlmDevWriteMemory(id, memory);
    } else if (verb == "send") {
        result = GlmDev::GlmDevSendCommand(id, static_cast<std::uint8_t>(code));
    } else if (verb == "touch") {
        std::uint8_t record[5] = {0};
        result = GlmDev::GlmDevReadTouch(id, record);
        if (result == GlmDev::kOk) {
            const std::uint32_t item =
                static_cast<std::uint32_t>(record[1]) | static_cast<std::uint32_t>(record[2]) << 8 |
                static_cast<std::uint32_t>(record[3]) << 16 | static_cast<std::uint32_t>(record[4]) << 24;
            std::printf("kind %u id %d\n", static_cast<unsigned>(record[0]), static_cast<std::int32_t>(item));
        }
    }
    GlmDev::GlmDevStop();
    return result == GlmDev::kOk ? 0 : Fail(result);
}
