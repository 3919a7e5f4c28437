#pragma once
// A virtual toy on the simulated bus: the firmware's behaviour behind a
// listening socket, driven by text commands and reporting one line per
// event. The glimmeries-toy program runs one with standard input as its
// command stream; tests and benchmarks run one in-process on a thread.
//
// Commands (one per line):
//   touch charm ID        a charm touched to the toy while plugged in
//   touch bracelet VALUE  a bracelet with click id VALUE touched to it
//   meet NAME             touch the plugged virtual bracelet NAME: each
//                         stores the other's click id with bit 31 set
//   points N              set the Glint Points counter
//   dump                  print the memory
//   hang | answer         stop answering reports, and start again
//   fault reportid|short|none [N]  damage the reply after N good ones
//   unplug                (or the end of the commands) leave the bus

#include "toys/ToyFirmware.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace Toys {

struct VirtualToyOptions {
    std::uint16_t vendorId = 0x1D9B;
    std::uint16_t productId = 0x1011;
    std::string name;
    /// Empty: the memory is not kept between runs.
    std::string statePath;
    /// Empty: the simulated bus's default directory.
    std::string directory;
    /// Given to a toy whose state file does not exist yet.
    std::vector<std::int32_t> charms;
    std::vector<std::uint32_t> friends;
    std::optional<std::int64_t> points;
};

class VirtualToy {
public:
    using LineSink = std::function<void(const std::string& line)>;

    VirtualToy(VirtualToyOptions options, LineSink output);
    /// Leaves the bus when still plugged.
    ~VirtualToy();
    VirtualToy(const VirtualToy&) = delete;
    VirtualToy& operator=(const VirtualToy&) = delete;

    /// Loads the state (or applies the presets to a new toy) and appears on
    /// the bus. False with the reason in error: a damaged state file (left
    /// untouched), a name in use, a socket that cannot be made.
    bool Plug(std::string& error);
    /// Serves reports and runs the commands read from inputFd (-1: none)
    /// until "unplug", the end of input or RequestStop; then leaves the bus.
    void Run(int inputFd);
    /// Makes Run return soon; callable from any thread.
    void RequestStop();
    /// Runs one command line; false when it asks to unplug.
    bool ExecuteLine(const std::string& line);
    /// Leaves the bus: removes the socket and closes every connection.
    void Unplug();

    const std::string& GetSocketPath() const { return m_socketPath; }
    ToyFirmware& GetFirmware() { return m_firmware; }

private:
    void Output(const std::string& line) const;
    void Persist();
    void AcceptClient();
    /// False when the client went away.
    bool ServeClient(int client);
    void Meet(const std::string& name);
    std::optional<std::string> FindToySocket(const std::string& name) const;

    VirtualToyOptions m_options;
    LineSink m_output;
    ToyFirmware m_firmware;
    std::string m_socketPath;
    int m_listener = -1;
    int m_stop = -1;
    std::vector<int> m_clients;
    std::string m_pendingInput;
    bool m_hanging = false;
    enum class Fault { None, ReportId, Short } m_fault = Fault::None;
    std::int64_t m_faultAfter = 0; // good replies before the fault
};

/// Parses a decimal or 0x-hex number into value; false when it is not one.
bool ParseNumber(const std::string& text, std::int64_t& value);

} // namespace Toys
