// glimmeries-toy: one virtual bracelet, jewelry box or handheld game on the
// simulated toy bus, driven by commands on standard input.

#include "device/SupportedToys.h"
#include "toys/ToyStateFile.h"
#include "toys/VirtualToy.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

Toys::VirtualToy* g_toy = nullptr;

void OnSignal(int) {
    if (g_toy != nullptr) {
        g_toy->RequestStop();
    }
}

void Usage() {
    std::fputs("usage: glimmeries-toy bracelet|jewelrybox|game [--name N] [--state FILE] [--dir DIR]\n"
               "                      [--charm ID]... [--friend VALUE]... [--points N]\n"
               "                      [--vendor HEX] [--product HEX] [--detached]\n"
               "The toy appears on the simulated bus ($GLIMMERIES_TOY_DIR, else\n"
               "$XDG_RUNTIME_DIR/glimmeries/toys) and reads commands from standard input:\n"
               "  touch charm ID | touch bracelet VALUE | meet NAME | points N | dump\n"
               "  hang | answer | fault reportid|short|none [N] | unplug\n"
               "It prints one line per event. --charm, --friend and --points fill a toy\n"
               "whose state file does not exist yet; the state file keeps the memory\n"
               "between runs (default $XDG_STATE_HOME/glimmeries/toys/NAME.state).\n"
               "--vendor and --product make it pose as another USB device. --detached\n"
               "reads no commands and stays plugged until SIGINT or SIGTERM.\n",
               stderr);
}

bool ParseUnsigned(const char* text, std::int64_t low, std::int64_t high, std::int64_t& value) {
    return text != nullptr && Toys::ParseNumber(text, value) && value >= low && value <= high;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || GlmDev::ProductIdForKindWord(argv[1]) == 0) {
        Usage();
        return 2;
    }
    Toys::VirtualToyOptions options;
    options.productId = GlmDev::ProductIdForKindWord(argv[1]);
    options.name = argv[1];
    bool statePathGiven = false;
    bool detached = false;
    for (int i = 2; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--detached") {
            detached = true;
            continue;
        }
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        std::int64_t number = 0;
        if (value == nullptr) {
            std::fprintf(stderr, "glimmeries-toy: %s needs a value\n", option.c_str());
            return 2;
        }
        ++i;
        if (option == "--name") {
            options.name = value;
        } else if (option == "--state") {
            options.statePath = value;
            statePathGiven = true;
        } else if (option == "--dir") {
            options.directory = value;
        } else if (option == "--charm" && ParseUnsigned(value, 1, 0x7FFFFFFF, number)) {
            options.charms.push_back(static_cast<std::int32_t>(number));
        } else if (option == "--friend" && ParseUnsigned(value, 0, 0xFFFFFFFFll, number)) {
            options.friends.push_back(static_cast<std::uint32_t>(number));
        } else if (option == "--points" && ParseUnsigned(value, 0, 99990, number)) {
            options.points = number;
        } else if (option == "--vendor" && ParseUnsigned(value, 0, 0xFFFF, number)) {
            options.vendorId = static_cast<std::uint16_t>(number);
        } else if (option == "--product" && ParseUnsigned(value, 0, 0xFFFF, number)) {
            options.productId = static_cast<std::uint16_t>(number);
        } else {
            std::fprintf(stderr, "glimmeries-toy: bad option or value: %s %s\n", option.c_str(), value);
            Usage();
            return 2;
        }
    }
    if (!statePathGiven) {
        options.statePath = Toys::DefaultStatePath(options.name);
    }

    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    std::signal(SIGPIPE, SIG_IGN);
    Toys::VirtualToy toy(options, [](const std::string& line) { std::printf("%s\n", line.c_str()); });
    std::string error;
    if (!toy.Plug(error)) {
        std::fprintf(stderr, "glimmeries-toy: %s\n", error.c_str());
        return 1;
    }
    g_toy = &toy;
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    toy.Run(detached ? -1 : 0);
    g_toy = nullptr;
    return 0;
}
