#pragma once
// The 8-byte commands of the toy protocol.

#include <cstdint>

namespace GlmDev {

constexpr std::uint8_t kReadWordCode = 0x01;
constexpr std::uint8_t kWriteWordCode = 0x02;
constexpr std::uint8_t kReadTouchCode = 0x04;
constexpr std::uint8_t kWordLength = 0x04;
constexpr std::size_t kMemorySize = 128;
constexpr std::size_t kTouchRecordSize = 5;

struct Command {
    std::uint8_t bytes[8] = {0};
};

/// Read the word at offset (0, 4, ..., 124).
Command ReadWordCommand(std::uint8_t offset);
/// Write the four memory bytes at offset.
Command WriteWordCommand(std::uint8_t offset, const std::uint8_t* word);
/// A one-byte command.
Command OneByteCommand(std::uint8_t code);
/// Read the touch record.
Command ReadTouchCommand();

} // namespace GlmDev
