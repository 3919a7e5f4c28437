#include "toys/ToyFirmware.h"

#include "device/SupportedToys.h"

#include <cstdio>
#include <string>

namespace Toys {

namespace {

constexpr std::uint8_t kReadWord = 0x01;
constexpr std::uint8_t kWriteWord = 0x02;
constexpr std::uint8_t kReadTouch = 0x04;
constexpr std::uint8_t kBraceletAcknowledge = 7;
constexpr std::uint8_t kBoxAcknowledgeFirst = 13;
constexpr std::uint8_t kBoxAcknowledgeSecond = 5;
constexpr std::size_t kFirstSlot = 2;
constexpr std::size_t kWords = 32;

bool IsWordOffset(std::uint8_t offset, std::uint8_t length) {
    return offset % 4 == 0 && offset < kToyMemorySize && length == 4;
}

} // namespace

std::string HexBytes(const std::uint8_t* bytes, std::size_t count) {
    std::string text;
    char pair[4];
    for (std::size_t i = 0; i < count; ++i) {
        std::snprintf(pair, sizeof pair, "%02x", static_cast<unsigned>(bytes[i]));
        if (i > 0) {
            text += ' ';
        }
        text += pair;
    }
    return text;
}

ToyFirmware::ToyFirmware(std::uint16_t productId, EventSink events)
    : m_productId(productId), m_events(std::move(events)) {}

bool ToyFirmware::IsBracelet() const {
    return m_productId == GlmDev::kBraceletProductId;
}

bool ToyFirmware::IsJewelryBox() const {
    return m_productId == GlmDev::kJewelryBoxProductId;
}

bool ToyFirmware::IsGame() const {
    return m_productId == GlmDev::kGameProductId;
}

std::int32_t ToyFirmware::GetWord(std::size_t index) const {
    const std::size_t at = index * 4;
    const std::uint32_t value = static_cast<std::uint32_t>(m_memory[at]) |
                                static_cast<std::uint32_t>(m_memory[at + 1]) << 8 |
                                static_cast<std::uint32_t>(m_memory[at + 2]) << 16 |
                                static_cast<std::uint32_t>(m_memory[at + 3]) << 24;
    return static_cast<std::int32_t>(value);
}

void ToyFirmware::SetWord(std::size_t index, std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    for (std::size_t i = 0; i < 4; ++i) {
        m_memory[index * 4 + i] = static_cast<std::uint8_t>(bits >> (8 * i));
    }
    m_memoryChanged = true;
}

void ToyFirmware::Event(const std::string& line) const {
    if (m_events) {
        m_events(line);
    }
}

bool ToyFirmware::TakeMemoryChanged() {
    const bool changed = m_memoryChanged;
    m_memoryChanged = false;
    return changed;
}

std::optional<ToyReport> ToyFirmware::HandleReport(const std::uint8_t* data, std::size_t size) {
    if (size != 9 || data[0] != 0) {
        Event("ignored report of " + std::to_string(size) + " bytes");
        return std::nullopt;
    }
    const std::uint8_t* command = data + 1;
    ToyReport reply{};
    switch (command[0]) {
    case kReadWord:
        if (!IsWordOffset(command[1], command[2])) {
            Event("bad read " + std::to_string(command[1]));
            return reply;
        }
        for (std::size_t i = 0; i < 4; ++i) {
            reply[1 + i] = m_memory[command[1] + i];
        }
        Event("read " + std::to_string(command[1]));
        return reply;
    case kWriteWord:
        if (!IsWordOffset(command[1], command[2])) {
            Event("bad write " + std::to_string(command[1]));
            return std::nullopt;
        }
        for (std::size_t i = 0; i < 4; ++i) {
            m_memory[command[1] + i] = command[3 + i];
        }
        m_memoryChanged = true;
        Event("wrote " + std::to_string(command[1]) + " " + HexBytes(command + 3, 4));
        return std::nullopt;
    case kReadTouch: {
        const std::int32_t id = m_pendingTouch.value_or(0);
        reply[1] = m_pendingTouch ? kCharmTouchKind : kNoTouchKind;
        for (std::size_t i = 0; i < 4; ++i) {
            reply[2 + i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(id) >> (8 * i));
        }
        return reply;
    }
    default:
        OnCommand(command[0]);
        return std::nullopt;
    }
}

void ToyFirmware::OnCommand(std::uint8_t code) {
    Event("command " + std::to_string(code));
    bool acknowledged = false;
    if (IsBracelet() && code == kBraceletAcknowledge) {
        acknowledged = true;
    } else if (IsJewelryBox() && code == kBoxAcknowledgeFirst) {
        m_acknowledgeArmed = true;
        return;
    } else if (IsJewelryBox() && code == kBoxAcknowledgeSecond && m_acknowledgeArmed) {
        acknowledged = true;
    }
    m_acknowledgeArmed = false;
    if (acknowledged && m_pendingTouch) {
        Event("acknowledged charm " + std::to_string(*m_pendingTouch));
        m_pendingTouch.reset();
    }
}

int ToyFirmware::FindSlot(std::int32_t value) const {
    for (std::size_t word = kFirstSlot; word < kWords; ++word) {
        if (GetWord(word) == value) {
            return static_cast<int>(word);
        }
    }
    return -1;
}

int ToyFirmware::FreeSlot() const {
    return FindSlot(0);
}

bool ToyFirmware::StoreCharm(std::int32_t id) {
    if (IsGame()) {
        Event("error: a handheld game keeps no charms");
        return false;
    }
    const int slot = FreeSlot();
    if (slot < 0) {
        Event("memory full: charm " + std::to_string(id) + " not stored");
        return false;
    }
    SetWord(static_cast<std::size_t>(slot), id);
    Event("touched charm " + std::to_string(id) + " slot " + std::to_string(slot));
    return true;
}

bool ToyFirmware::TouchCharm(std::int32_t id) {
    if (!StoreCharm(id)) {
        return false;
    }
    // Only the latest touch is reported; an earlier one not yet
    // acknowledged stays in its slot.
    m_pendingTouch = id;
    m_acknowledgeArmed = false;
    return true;
}

bool ToyFirmware::AddFriend(std::uint32_t clickId) {
    if (!IsBracelet()) {
        Event("error: only a bracelet keeps friendships");
        return false;
    }
    const auto value = static_cast<std::int32_t>(clickId | 0x80000000u);
    if (FindSlot(value) >= 0) {
        Event("friend " + std::to_string(static_cast<std::uint32_t>(value)) + " already stored");
        return true;
    }
    const int slot = FreeSlot();
    if (slot < 0) {
        Event("memory full: friend " + std::to_string(static_cast<std::uint32_t>(value)) + " not stored");
        return false;
    }
    SetWord(static_cast<std::size_t>(slot), value);
    Event("friend " + std::to_string(static_cast<std::uint32_t>(value)) + " slot " + std::to_string(slot));
    return true;
}

bool ToyFirmware::SetPoints(std::int64_t points) {
    if (points < 0 || points > 99990) {
        Event("error: points must be 0 to 99990");
        return false;
    }
    std::int64_t tens = points / 10;
    for (std::size_t i = 7; i >= 4; --i) {
        m_memory[i] = static_cast<std::uint8_t>(tens % 10);
        tens /= 10;
    }
    m_memoryChanged = true;
    Event("points " + std::to_string(GetPoints()));
    return true;
}

std::int32_t ToyFirmware::GetPoints() const {
    std::int32_t points = 0;
    for (std::size_t i = 4; i < 8; ++i) {
        points = points * 10 + m_memory[i];
    }
    return points * 10;
}

std::string ToyFirmware::Dump() const {
    std::string text;
    for (std::size_t line = 0; line < 8; ++line) {
        text += HexBytes(m_memory.data() + line * 16, 16);
        text += '\n';
    }
    return text;
}

} // namespace Toys
