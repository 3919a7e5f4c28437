#include "toys/VirtualToy.h"

#include "device/SupportedToys.h"
#include "device/bus/SimulatedBus.h"
#include "device/bus/SimulatedBusNames.h"
#include "toys/ToyStateFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace Toys {

namespace {

constexpr char kMeetTag[4] = {'M', 'E', 'E', 'T'};
constexpr char kRefuseTag[4] = {'N', 'O', 'P', 'E'};
constexpr int kMeetTimeoutMs = 2000;

bool MakeAddress(const std::string& path, sockaddr_un& address) {
    address = sockaddr_un{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) {
        errno = ENAMETOOLONG;
        return false;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

std::array<std::uint8_t, 8> MeetMessage(const char (&tag)[4], std::int32_t clickId) {
    std::array<std::uint8_t, 8> message{};
    std::memcpy(message.data(), tag, 4);
    for (std::size_t i = 0; i < 4; ++i) {
        message[4 + i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(clickId) >> (8 * i));
    }
    return message;
}

std::uint32_t MeetClickId(const std::uint8_t* message) {
    return static_cast<std::uint32_t>(message[4]) | static_cast<std::uint32_t>(message[5]) << 8 |
           static_cast<std::uint32_t>(message[6]) << 16 | static_cast<std::uint32_t>(message[7]) << 24;
}

std::string KindName(std::uint16_t productId) {
    const char* word = GlmDev::KindWord(productId);
    if (word != nullptr) {
        return word;
    }
    char text[32];
    std::snprintf(text, sizeof text, "product-%04x", static_cast<unsigned>(productId));
    return text;
}

} // namespace

VirtualToy::VirtualToy(VirtualToyOptions options, LineSink output)
    : m_options(std::move(options)), m_output(std::move(output)),
      m_firmware(m_options.productId, [this](const std::string& line) { Output(line); }) {
    m_stop = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
}

VirtualToy::~VirtualToy() {
    Unplug();
    if (m_stop >= 0) {
        ::close(m_stop);
    }
}

void VirtualToy::Output(const std::string& line) const {
    if (m_output) {
        m_output(line);
    }
}

void VirtualToy::Persist() {
    if (!m_firmware.TakeMemoryChanged() || m_options.statePath.empty()) {
        return;
    }
    std::string error;
    if (!SaveToyState(m_options.statePath, m_options.productId, m_firmware.GetMemory(), error)) {
        Output("error: " + error);
    }
}

bool VirtualToy::Plug(std::string& error) {
    if (!GlmDev::IsValidToyName(m_options.name)) {
        error = "the name \"" + m_options.name + "\" is not usable: letters, digits, '_' and '-' only";
        return false;
    }
    ToyMemory memory{};
    StateLoad load = StateLoad::Missing;
    if (!m_options.statePath.empty()) {
        load = LoadToyState(m_options.statePath, m_options.productId, memory, error);
        if (load == StateLoad::Damaged) {
            error = "damaged state file: " + error + " (left as it is)";
            return false;
        }
    }
    if (load == StateLoad::Loaded) {
        m_firmware.SetMemory(memory);
    } else {
        // A new toy: the presets are what it collected away from the
        // computer, stored quietly and not reported as touches.
        const LineSink output = std::move(m_output);
        m_output = nullptr;
        for (const std::int32_t charm : m_options.charms) {
            m_firmware.StoreCharm(charm);
        }
        for (const std::uint32_t friendValue : m_options.friends) {
            m_firmware.AddFriend(friendValue);
        }
        if (m_options.points) {
            m_firmware.SetPoints(*m_options.points);
        }
        m_output = output;
    }
    if (m_options.directory.empty()) {
        m_options.directory = GlmDev::SimulatedBusDirectory();
    }
    if (!GlmDev::EnsureDirectory(m_options.directory)) {
        error = "cannot create " + m_options.directory + ": " + std::strerror(errno);
        return false;
    }
    const std::string finalPath =
        m_options.directory + "/" +
        GlmDev::FormatToySocketName(m_options.vendorId, m_options.productId, m_options.name);
    const int existing = GlmDev::ConnectToySocket(finalPath, 500);
    if (existing >= 0) {
        ::close(existing);
        error = "a toy named " + m_options.name + " is already plugged (" + finalPath + ")";
        return false;
    }
    // A socket left by a toy of this name that did not unplug cleanly: its
    // removal first, so discovery reports this plug-in as a new arrival.
    ::unlink(finalPath.c_str());
    const std::string bindingPath = m_options.directory + "/." + m_options.name + ".binding";
    sockaddr_un address{};
    if (!MakeAddress(bindingPath, address) || !MakeAddress(finalPath, address)) {
        error = "the bus directory's path is too long for a socket";
        return false;
    }
    MakeAddress(bindingPath, address);
    ::unlink(bindingPath.c_str());
    m_listener = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (m_listener < 0 ||
        ::bind(m_listener, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(m_listener, 16) != 0) {
        error = "cannot listen on " + bindingPath + ": " + std::strerror(errno);
        ::unlink(bindingPath.c_str());
        Unplug();
        return false;
    }
    // Appear under the toy name only once listening, so whoever sees the
    // name can connect at once.
    if (std::rename(bindingPath.c_str(), finalPath.c_str()) != 0) {
        error = "cannot appear as " + finalPath + ": " + std::strerror(errno);
        ::unlink(bindingPath.c_str());
        Unplug();
        return false;
    }
    m_socketPath = finalPath;
    if (load != StateLoad::Loaded) {
        m_firmware.SetWord(0, m_firmware.GetWord(0)); // marks the state to be written
    }
    Persist();
    Output("plugged " + KindName(m_options.productId) + " " + m_options.name + " " + m_socketPath);
    return true;
}

void VirtualToy::Unplug() {
    for (const int client : m_clients) {
        ::close(client);
    }
    m_clients.clear();
    if (m_listener >= 0) {
        ::close(m_listener);
        m_listener = -1;
    }
    if (!m_socketPath.empty()) {
        ::unlink(m_socketPath.c_str());
        m_socketPath.clear();
        Output("unplugged");
    }
}

void VirtualToy::RequestStop() {
    const std::uint64_t one = 1;
    (void)!::write(m_stop, &one, sizeof one);
}

void VirtualToy::Run(int inputFd) {
    bool running = m_listener >= 0;
    while (running) {
        std::vector<pollfd> fds;
        fds.push_back(pollfd{m_stop, POLLIN, 0});
        fds.push_back(pollfd{m_listener, POLLIN, 0});
        fds.push_back(pollfd{inputFd, POLLIN, 0});
        for (const int client : m_clients) {
            fds.push_back(pollfd{client, POLLIN, 0});
        }
        if (::poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            Output(std::string("error: poll failed: ") + std::strerror(errno));
            break;
        }
        if (fds[0].revents != 0) {
            break;
        }
        if (fds[1].revents != 0) {
            AcceptClient();
        }
        std::vector<int> gone;
        for (std::size_t i = 3; i < fds.size(); ++i) {
            if (fds[i].revents != 0 && !ServeClient(fds[i].fd)) {
                gone.push_back(fds[i].fd);
            }
        }
        for (const int client : gone) {
            ::close(client);
            m_clients.erase(std::remove(m_clients.begin(), m_clients.end(), client), m_clients.end());
        }
        if (inputFd >= 0 && fds[2].revents != 0) {
            char buffer[4096];
            const ssize_t count = ::read(inputFd, buffer, sizeof buffer);
            if (count <= 0 && !(count < 0 && (errno == EINTR || errno == EAGAIN))) {
                if (!m_pendingInput.empty()) {
                    ExecuteLine(m_pendingInput);
                }
                break; // end of the commands
            }
            if (count > 0) {
                m_pendingInput.append(buffer, static_cast<std::size_t>(count));
            }
            for (std::size_t end = m_pendingInput.find('\n'); running && end != std::string::npos;
                 end = m_pendingInput.find('\n')) {
                const std::string line = m_pendingInput.substr(0, end);
                m_pendingInput.erase(0, end + 1);
                running = ExecuteLine(line);
            }
        }
    }
    Unplug();
}

void VirtualToy::AcceptClient() {
    for (;;) {
        const int client = ::accept4(m_listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (client < 0) {
            return;
        }
        m_clients.push_back(client);
    }
}

bool VirtualToy::ServeClient(int client) {
    std::uint8_t message[64];
    const ssize_t count = ::recv(client, message, sizeof message, MSG_TRUNC);
    if (count < 0) {
        return errno == EAGAIN || errno == EINTR;
    }
    if (count == 0) {
        return false; // the application closed the device
    }
    const auto size = std::min(static_cast<std::size_t>(count), sizeof message);
    if (size == 8 && std::memcmp(message, kMeetTag, 4) == 0) {
        const std::uint32_t theirs = MeetClickId(message);
        const bool accepted = m_firmware.IsBracelet() && m_firmware.AddFriend(theirs);
        const auto reply = MeetMessage(accepted ? kMeetTag : kRefuseTag, m_firmware.GetClickId());
        ::send(client, reply.data(), reply.size(), MSG_NOSIGNAL);
        Persist();
        return true;
    }
    if (m_hanging) {
        Output("ignored report (hanging)");
        return true;
    }
    std::optional<ToyReport> reply = m_firmware.HandleReport(message, size);
    Persist();
    if (reply) {
        std::size_t length = reply->size();
        if (m_fault != Fault::None && m_faultAfter > 0) {
            --m_faultAfter;
        } else if (m_fault != Fault::None) {
            if (m_fault == Fault::ReportId) {
                (*reply)[0] = 1;
            } else {
                length = 5;
            }
            m_fault = Fault::None;
        }
        ::send(client, reply->data(), length, MSG_NOSIGNAL);
    }
    return true;
}

std::optional<std::string> VirtualToy::FindToySocket(const std::string& name) const {
    DIR* directory = ::opendir(m_options.directory.c_str());
    if (directory == nullptr) {
        return std::nullopt;
    }
    std::optional<std::string> found;
    while (const dirent* entry = ::readdir(directory)) {
        const auto parsed = GlmDev::ParseToySocketName(entry->d_name);
        if (parsed && parsed->name == name) {
            found = m_options.directory + "/" + entry->d_name;
            break;
        }
    }
    ::closedir(directory);
    return found;
}

void VirtualToy::Meet(const std::string& name) {
    if (!m_firmware.IsBracelet()) {
        Output("error: only bracelets meet");
        return;
    }
    if (name == m_options.name) {
        Output("error: a bracelet cannot meet itself");
        return;
    }
    const std::optional<std::string> path = FindToySocket(name);
    if (!path) {
        Output("error: no plugged toy named " + name);
        return;
    }
    const int peer = GlmDev::ConnectToySocket(*path, kMeetTimeoutMs);
    if (peer < 0) {
        Output("error: cannot reach " + name + ": " + std::strerror(errno));
        return;
    }
    const auto request = MeetMessage(kMeetTag, m_firmware.GetClickId());
    std::uint8_t reply[8] = {0};
    pollfd fd{peer, POLLIN, 0};
    const bool answered = ::send(peer, request.data(), request.size(), MSG_NOSIGNAL) == 8 &&
                          ::poll(&fd, 1, kMeetTimeoutMs) == 1 && ::recv(peer, reply, sizeof reply, 0) == 8;
    ::close(peer);
    if (!answered) {
        Output("error: " + name + " did not answer");
        return;
    }
    if (std::memcmp(reply, kMeetTag, 4) != 0) {
        Output("error: " + name + " is not a bracelet");
        return;
    }
    Output("met " + name);
    m_firmware.AddFriend(MeetClickId(reply));
}

} // namespace Toys
