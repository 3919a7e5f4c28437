#pragma once
// Where the simulated bus lives and how its socket files are named. Shared
// by the device library and the virtual toy, so both agree.
//
// Every virtual toy listens on a SOCK_SEQPACKET Unix socket in the bus
// directory named
//     toy-VVVV-PPPP-NAME.sock
// with VVVV and PPPP the vendor and product id as four lower-case hex digits
// and NAME the toy's own name (letters, digits, '_' and '-', 1 to 64 of
// them). One socket message is one 9-byte report, report id first. A toy
// binds under a hidden name (starting with '.') and renames the socket to
// its final name once it listens, so a socket that appears under a toy
// name can be connected to at once; hidden names are not toys.

#include <cstdint>
#include <optional>
#include <string>

namespace GlmDev {

struct SimulatedToyName {
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::string name;
};

/// $GLIMMERIES_TOY_DIR when set and not empty, else
/// $XDG_RUNTIME_DIR/glimmeries/toys, else /tmp/glimmeries-UID/toys.
std::string SimulatedBusDirectory();

/// Creates the directory and its missing parents (mode 0700). False with
/// errno set when it cannot.
bool EnsureDirectory(const std::string& path);

/// True for a usable toy name.
bool IsValidToyName(const std::string& name);

/// The socket file name (no directory) for a toy.
std::string FormatToySocketName(std::uint16_t vendorId, std::uint16_t productId, const std::string& name);

/// Parses a socket file name (no directory); empty when it is not one.
std::optional<SimulatedToyName> ParseToySocketName(const std::string& fileName);

} // namespace GlmDev
