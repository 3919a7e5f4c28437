#include "device/Toy.h"

#include "device/BusyIndicator.h"
#include "device/Commands.h"
#include "device/DeviceLibrary.h"
#include "device/ResultCodes.h"
#include "device/SupportedToys.h"

#include <cstring>

namespace Glm {

namespace {

constexpr std::uint8_t kNoNewTouch = 1;
constexpr std::uint8_t kHeldItemKind = 1;
constexpr std::size_t kPointsWord = 1;

std::uint32_t WordBit(std::size_t word) {
    return 1u << word;
}

// The device library works on plain arrays; the toy keeps std::array.
using RawMemory = std::uint8_t[Toy::kMemorySize];

RawMemory& Raw(Toy::Memory& memory) {
    return *reinterpret_cast<RawMemory*>(memory.data());
}

} // namespace

Toy::Toy(std::uint32_t deviceId, std::uint32_t productId) : m_productId(productId), m_deviceId(deviceId) {}

Toy::~Toy() = default;

std::uint32_t Toy::GetType() const {
    return GlmDev::KindWord(m_productId) != nullptr ? m_productId : 0;
}

std::int32_t Toy::GetWord(const Memory& memory, std::size_t index) {
    const std::size_t at = index * 4;
    const std::uint32_t value =
        static_cast<std::uint32_t>(memory[at]) | static_cast<std::uint32_t>(memory[at + 1]) << 8 |
        static_cast<std::uint32_t>(memory[at + 2]) << 16 | static_cast<std::uint32_t>(memory[at + 3]) << 24;
    return static_cast<std::int32_t>(value);
}

void Toy::SetWord(Memory& memory, std::size_t index, std::int32_t value) {
    const std::size_t at = index * 4;
    const auto bits = static_cast<std::uint32_t>(value);
    for (std::size_t i = 0; i < 4; ++i) {
        memory[at + i] = static_cast<std::uint8_t>(bits >> (8 * i));
    }
}

std::int32_t Toy::GetClickId() const {
    return GetWord(m_image, 0);
}

std::int32_t Toy::GetPoints() const {
    std::int32_t points = m_image[4];
    for (std::size_t i = 5; i < 8; ++i) {
        points = points * 10 + m_image[i];
    }
    return points * 10;
}

bool Toy::IsSameToy(const Toy& other) const {
    return m_deviceId == other.m_deviceId && other.GetType() == m_productId;
}

std::int32_t Toy::ReadMemory() {
    BusyScope busy;
    return GlmDev::GlmDevReadMemory(m_deviceId, Raw(m_image));
}

std::int32_t Toy::WriteMemory() {
    return WriteWords(GlmDev::kAllWords);
}

std::int32_t Toy::WriteWords(std::uint32_t wordMask) {
    BusyScope busy;
    return GlmDev::GlmDevUpdateMemory(m_deviceId, Raw(m_outgoing), wordMask);
}

std::int32_t Toy::SetClickId(std::int32_t clickId) {
    BusyScope busy;
    SetWord(m_outgoing, 0, clickId);
    std::int32_t result = WriteMemory();
    if (result == GlmDev::kOk) {
        result = ReadMemory();
    }
    m_resetPending = false;
    return result;
}

std::int32_t Toy::ClearPoints() {
    BusyScope busy;
    m_outgoing = m_image;
    std::memset(m_outgoing.data() + 4, 0, 4);
    const std::int32_t result = WriteWords(WordBit(kPointsWord));
    if (result != GlmDev::kOk) {
        return result;
    }
    m_image = m_outgoing;
    return GlmDev::kOk;
}

std::int32_t Toy::RemoveEntry(std::int32_t value) {
    for (std::size_t word = kFirstSlotWord; word < kWordCount; ++word) {
        if (GetWord(m_image, word) == value) {
            BusyScope busy;
            SetWord(m_image, word, 0);
            m_outgoing = m_image;
            return WriteWords(WordBit(word));
        }
    }
    return GlmDev::kOk;
}

std::int32_t Toy::GetFriends(std::vector<std::int32_t>& friends) const {
    if (m_productId != GlmDev::kBraceletProductId) {
        return 1;
    }
    for (std::size_t word = kFirstSlotWord; word < kWordCount; ++word) {
        const std::int32_t value = GetWord(m_image, word);
        if (value < 0) {
            friends.push_back(value);
        }
    }
    return 0;
}

bool Toy::ServesItems() const {
    return m_productId == GlmDev::kBraceletProductId || m_productId == GlmDev::kJewelryBoxProductId;
}

std::int32_t Toy::GetItems(const CharmLookup& catalogue, std::vector<ToyItem>& items) const {
    if (!ServesItems()) {
        return 1;
    }
    for (std::size_t word = kFirstSlotWord; word < kWordCount; ++word) {
        const std::int32_t id = GetWord(m_image, word);
        std::string name;
        if (id > 0 && catalogue.FindCharmName(id, name)) {
            items.push_back(ToyItem{kHeldItemKind, id, name});
        }
    }
    return 0;
}

std::int32_t Toy::ReadTouch(const CharmLookup& catalogue, ToyItem& item) {
    if (!ServesItems()) {
        return 1;
    }
    std::uint8_t record[GlmDev::kTouchRecordSize] = {0};
    {
        BusyScope busy;
        if (GlmDev::GlmDevReadTouch(m_deviceId, record) != GlmDev::kOk) {
            return 1;
        }
    }
    if (record[0] == kNoNewTouch) {
        return 1;
    }
    const auto id = static_cast<std::int32_t>(
        static_cast<std::uint32_t>(record[1]) | static_cast<std::uint32_t>(record[2]) << 8 |
        static_cast<std::uint32_t>(record[3]) << 16 | static_cast<std::uint32_t>(record[4]) << 24);
    if (id <= 0) {
        return 0;
    }
    std::string name;
    if (!catalogue.FindCharmName(id, name)) {
        return 1;
    }
    item = ToyItem{record[0], id, name};
    return 0;
}

std::int32_t Toy::SendCommand(std::uint8_t code) {
    const bool allowed = code == 5 || code == 6 || code == 7 || code == 9 || (code >= 13 && code <= 23);
    if (!allowed) {
        return 1;
    }
    BusyScope busy;
    return GlmDev::GlmDevSendCommand(m_deviceId, code);
}

} // namespace Glm
