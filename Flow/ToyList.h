#pragma once
// The application's list of plugged toys, in order of arrival: a copy of
// each toy whose memory could be read when it arrived. It follows the toy
// discovery messages and survives restarts of the interface; the toy in use
// (m_currentDevice) names an entry by its device identifier.

#include "device/Toy.h"

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace Glm {

class ToyList {
public:
    enum class Change {
        Added,      // arrival: read and appended
        Removed,    // removal: the listed toy was taken out
        Unreadable, // arrival: the toy's memory could not be read; not listed
        Ignored     // another kind of toy, a toy listed already, an unknown removal or event
    };
    /// Reads a toy's memory into it; a device library result code (0 = read).
    using Reader = std::function<std::int32_t(Toy& toy)>;

    /// Reads with Toy::ReadMemory.
    ToyList();
    /// Reads with reader instead (tests).
    explicit ToyList(Reader reader);

    /// Applies one WM_GLM_DEVICE_CHANGE: on arrival (1) a bracelet, game or
    /// jewelry box whose device id is not listed is read and, when the read
    /// works, a copy is appended; on removal (2) the listed toy that is the
    /// same toy is taken out. A null toy changes nothing. readResult receives
    /// the reader's code when a read was made.
    Change Apply(std::uint32_t eventCode, const Toy* toy, std::int32_t* readResult = nullptr);

    /// A copy of the listed toy with that device id.
    std::optional<Toy> Find(std::uint32_t deviceId) const;
    /// Copies of every listed toy, in list order.
    std::vector<Toy> List() const;
    std::size_t GetCount() const;
    /// Runs change on the listed toy with that device id under the list's
    /// lock; false when none is listed.
    bool Update(std::uint32_t deviceId, const std::function<void(Toy&)>& change);

    /// "bracelet", "game", "jewelrybox" or "toy" for the log.
    static std::string KindText(std::uint32_t productId);

private:
    Reader m_reader;
    mutable std::mutex m_mutex;
    std::vector<Toy> m_toys;
};

} // namespace Glm
