#pragma once
// What a virtual toy does with the reports it receives and the touches it
// is given: the behaviour of the toy's own firmware, without any I/O.
//
// Reports (9 bytes, id 0 first; command in bytes 1..8):
//   01 OFF 04 .. : reply with the four memory bytes at OFF
//   02 OFF 04 B0 B1 B2 B3 : store the four bytes at OFF, no reply
//   04 ..        : reply with the touch record: kind, item id (LE)
//   other code   : a one-byte command, no reply
// Touch record: kind 1 when nothing new, kind 2 and the charm id for a
// charm touched while plugged in. It stays until acknowledged: command 7 on
// a bracelet, command 13 followed by command 5 on a jewelry box.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace Toys {

constexpr std::size_t kToyMemorySize = 128;
using ToyMemory = std::array<std::uint8_t, kToyMemorySize>;
using ToyReport = std::array<std::uint8_t, 9>;

constexpr std::uint8_t kNoTouchKind = 1;
constexpr std::uint8_t kCharmTouchKind = 2;

class ToyFirmware {
public:
    /// Receives one line per event ("wrote 8 01 00 00 00").
    using EventSink = std::function<void(const std::string& line)>;

    ToyFirmware(std::uint16_t productId, EventSink events);

    std::uint16_t GetProductId() const { return m_productId; }
    bool IsBracelet() const;
    bool IsJewelryBox() const;
    bool IsGame() const;

    const ToyMemory& GetMemory() const { return m_memory; }
    void SetMemory(const ToyMemory& memory) { m_memory = memory; }
    std::int32_t GetWord(std::size_t index) const;
    void SetWord(std::size_t index, std::int32_t value);
    std::int32_t GetClickId() const { return GetWord(0); }

    /// Handles one report from the application; the reply, when the command
    /// has one. Sets the memory-changed flag when memory was written.
    std::optional<ToyReport> HandleReport(const std::uint8_t* data, std::size_t size);

    /// Stores id in the first free slot and makes it the pending touch.
    /// False (with an event line) when the toy keeps no charms or is full.
    bool TouchCharm(std::int32_t id);
    /// Stores id in the first free slot without a pending touch (a charm
    /// touched away from the computer). False when full or not kept.
    bool StoreCharm(std::int32_t id);
    /// Records a friendship: clickId with bit 31 set, in the first free
    /// slot, once. False for a toy other than a bracelet or when full.
    bool AddFriend(std::uint32_t clickId);
    /// Sets the points counter to points (0 to 99990, rounded down to
    /// tens). False when out of range.
    bool SetPoints(std::int64_t points);
    /// The points the counter holds.
    std::int32_t GetPoints() const;
    /// The memory as 8 lines of 16 lower-case hex bytes.
    std::string Dump() const;

    bool HasPendingTouch() const { return m_pendingTouch.has_value(); }
    /// True once after memory changed (to persist it).
    bool TakeMemoryChanged();

private:
    int FindSlot(std::int32_t value) const;
    int FreeSlot() const;
    void Event(const std::string& line) const;
    void OnCommand(std::uint8_t code);

    std::uint16_t m_productId;
    EventSink m_events;
    ToyMemory m_memory{};
    std::optional<std::int32_t> m_pendingTouch;
    bool m_acknowledgeArmed = false; // a jewelry box got 13 and waits for 5
    bool m_memoryChanged = false;
};

/// Formats bytes as lower-case hex pairs separated by blanks.
std::string HexBytes(const std::uint8_t* bytes, std::size_t count);

} // namespace Toys
