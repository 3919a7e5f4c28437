#pragma once
// One plugged toy as the application sees it: its kind, its identifier in
// the device list, the copy of its 128-byte memory as last read and the copy
// the next write sends, and the owner details the screens fill in.
//
// Memory: 32 little-endian 32-bit words. Word 0 is the click id the web
// service gave the toy at set-up (not positive before); bytes 4 to 7 are the
// Glint Points as four decimal figures, most significant first, in tens;
// words 2 to 31 are thirty entry slots, 0 meaning empty. On a bracelet a
// negative slot is a friendship (the other bracelet's click id with bit 31
// set) and a positive one an item id; on a jewelry box a positive slot is a
// charm id.

#include "device/CharmLookup.h"
#include "device/ToyItem.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace Glm {

class Toy {
public:
    static constexpr std::size_t kMemorySize = 128;
    static constexpr std::size_t kFirstSlotWord = 2;
    static constexpr std::size_t kWordCount = 32;
    using Memory = std::array<std::uint8_t, kMemorySize>;

    /// A present toy with both memory copies zero and no owner details.
    Toy(std::uint32_t deviceId, std::uint32_t productId);
    Toy(const Toy&) = default;
    Toy& operator=(const Toy&) = default;
    virtual ~Toy();

    /// productId when it names a toy kind (0x1011, 0x1012, 0x1013), else 0.
    std::uint32_t GetType() const;
    std::uint32_t GetProductId() const { return m_productId; }
    std::uint32_t GetDeviceId() const { return m_deviceId; }
    /// Word 0 of the image.
    std::int32_t GetClickId() const;
    /// The Glint Points of the image: the four figures of bytes 4 to 7 as a
    /// number, times 10. Figures above 9 are taken as they are.
    std::int32_t GetPoints() const;
    /// Same deviceId, and other's type equals this toy's productId.
    bool IsSameToy(const Toy& other) const;

    /// Reads the toy into the image. A result code of the device library;
    /// on failure the image holds what was read before the failing exchange.
    std::int32_t ReadMemory();
    /// Makes the toy hold the outgoing copy: reads the toy, writes only the
    /// words that differ (each still paced) and reads it back. A result
    /// code; -2 when the toy does not hold what was written.
    std::int32_t WriteMemory();
    /// Puts clickId in word 0 of the outgoing copy, writes it and, when that
    /// worked, reads the toy back. Clears resetPending whatever happens.
    /// Returns the first non-zero result code, or 0.
    std::int32_t SetClickId(std::int32_t clickId);
    /// Zeroes the points word on the toy (the one word written, when it is
    /// not zero already); the image follows only when the write worked. The
    /// other words stay as the toy holds them, so a charm recorded since the
    /// image was read is kept. A result code.
    std::int32_t ClearPoints();
    /// Empties the lowest slot (words 2 to 31) of the image holding value and
    /// writes that slot alone to the toy. 0 without writing when no slot
    /// holds it; else a result code.
    std::int32_t RemoveEntry(std::int32_t value);
    /// Appends the friendship slots of a bracelet in slot order. 1 for any
    /// other kind (friends untouched), else 0.
    std::int32_t GetFriends(std::vector<std::int32_t>& friends) const;
    /// Appends the positive slots the catalogue knows, in slot order, with
    /// kind 1. 1 for a toy other than a bracelet or jewelry box, else 0.
    std::int32_t GetItems(const CharmLookup& catalogue, std::vector<ToyItem>& items) const;
    /// The item touched most recently. 0 with item filled for a known charm,
    /// 0 with item untouched for a touch with an id that is not positive, 1
    /// when there is nothing new, the id is unknown, the toy cannot be read
    /// or is not a bracelet or jewelry box.
    std::int32_t ReadTouch(const CharmLookup& catalogue, ToyItem& item);
    /// Sends one of the codes 5, 6, 7, 9 and 13 to 23 and returns the result
    /// code; any other code is not sent and gives 1.
    std::int32_t SendCommand(std::uint8_t code);

    bool IsPresent() const { return m_present; }
    void SetPresent(bool present) { m_present = present; }
    bool IsResetPending() const { return m_resetPending; }
    void SetResetPending(bool pending) { m_resetPending = pending; }

    const std::string& GetOwnerName() const { return m_ownerName; }
    void SetOwnerName(const std::string& name) { m_ownerName = name; }
    const std::string& GetOwnerUserId() const { return m_ownerUserId; }
    void SetOwnerUserId(const std::string& userId) { m_ownerUserId = userId; }
    const std::string& GetFairyId() const { return m_fairyId; }
    void SetFairyId(const std::string& fairyId) { m_fairyId = fairyId; }
    const std::string& GetFairyName() const { return m_fairyName; }
    void SetFairyName(const std::string& fairyName) { m_fairyName = fairyName; }

    const Memory& GetImage() const { return m_image; }
    /// Replaces the image, as if it had been read (for screens and tests).
    void SetImage(const Memory& image) { m_image = image; }
    const Memory& GetOutgoing() const { return m_outgoing; }

    /// Word index of a memory copy, little-endian.
    static std::int32_t GetWord(const Memory& memory, std::size_t index);
    static void SetWord(Memory& memory, std::size_t index, std::int32_t value);

private:
    bool ServesItems() const;
    /// Makes the toy hold the words of the outgoing copy that wordMask
    /// selects (bit n for word n).
    std::int32_t WriteWords(std::uint32_t wordMask);

    std::uint32_t m_productId;
    std::uint32_t m_deviceId;
    bool m_present = true;
    bool m_resetPending = false;
    std::string m_ownerName;
    std::string m_ownerUserId;
    std::string m_fairyId;
    std::string m_fairyName;
    Memory m_image{};
    Memory m_outgoing{};
};

} // namespace Glm
