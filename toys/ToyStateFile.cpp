#include "toys/ToyStateFile.h"

#include "device/SupportedToys.h"
#include "device/bus/SimulatedBusNames.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace Toys {

namespace {

const char* const kHeader = "glimmeries-toy state 1";

std::string DirectoryOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos || slash == 0 ? std::string(slash == 0 ? "/" : ".")
                                                    : path.substr(0, slash);
}

bool ParseHexLine(const std::string& line, std::uint8_t* bytes) {
    std::istringstream in(line);
    std::string pair;
    std::size_t count = 0;
    while (in >> pair) {
        if (count == 16 || pair.size() != 2 || std::strspn(pair.c_str(), "0123456789abcdef") != 2) {
            return false;
        }
        bytes[count++] = static_cast<std::uint8_t>(std::strtoul(pair.c_str(), nullptr, 16));
    }
    return count == 16;
}

} // namespace

StateLoad LoadToyState(const std::string& path, std::uint16_t productId, ToyMemory& memory,
                       std::string& error) {
    std::ifstream in(path);
    if (!in) {
        if (errno == ENOENT) {
            return StateLoad::Missing;
        }
        error = "cannot read " + path + ": " + std::strerror(errno);
        return StateLoad::Damaged;
    }
    std::string line;
    if (!std::getline(in, line) || line != kHeader) {
        error = path + " is not a glimmeries-toy state file (first line)";
        return StateLoad::Damaged;
    }
    const char* kind = GlmDev::KindWord(productId);
    if (!std::getline(in, line) || line != std::string("kind ") + (kind != nullptr ? kind : "?")) {
        error = path + " holds another kind of toy (line 2: \"" + line + "\")";
        return StateLoad::Damaged;
    }
    ToyMemory loaded{};
    for (std::size_t row = 0; row < 8; ++row) {
        if (!std::getline(in, line) || !ParseHexLine(line, loaded.data() + row * 16)) {
            error = path + ": memory line " + std::to_string(row + 1) + " is damaged";
            return StateLoad::Damaged;
        }
    }
    while (std::getline(in, line)) {
        if (!line.empty()) {
            error = path + ": unexpected text after the memory";
            return StateLoad::Damaged;
        }
    }
    memory = loaded;
    return StateLoad::Loaded;
}

bool SaveToyState(const std::string& path, std::uint16_t productId, const ToyMemory& memory,
                  std::string& error) {
    const std::string directory = DirectoryOf(path);
    if (!GlmDev::EnsureDirectory(directory)) {
        error = "cannot create " + directory + ": " + std::strerror(errno);
        return false;
    }
    const std::string temporary = path + ".new";
    {
        std::ofstream out(temporary, std::ios::trunc);
        const char* kind = GlmDev::KindWord(productId);
        out << kHeader << '\n' << "kind " << (kind != nullptr ? kind : "?") << '\n';
        for (std::size_t row = 0; row < 8; ++row) {
            out << HexBytes(memory.data() + row * 16, 16) << '\n';
        }
        out.flush();
        if (!out) {
            error = "cannot write " + temporary + ": " + std::strerror(errno);
            ::unlink(temporary.c_str());
            return false;
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        error = "cannot replace " + path + ": " + std::strerror(errno);
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

std::string DefaultStatePath(const std::string& name) {
    const char* state = std::getenv("XDG_STATE_HOME");
    std::string base;
    if (state != nullptr && *state != '\0') {
        base = state;
    } else {
        const char* home = std::getenv("HOME");
        base = std::string(home != nullptr && *home != '\0' ? home : "/tmp") + "/.local/state";
    }
    return base + "/glimmeries/toys/" + name + ".state";
}

} // namespace Toys
