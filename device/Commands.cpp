#include "device/Commands.h"

#include <cstring>

namespace GlmDev {

Command ReadWordCommand(std::uint8_t offset) {
    Command command;
    command.bytes[0] = kReadWordCode;
    command.bytes[1] = offset;
    command.bytes[2] = kWordLength;
    return command;
}

Command WriteWordCommand(std::uint8_t offset, const std::uint8_t* word) {
    Command command;
    command.bytes[0] = kWriteWordCode;
    command.bytes[1] = offset;
    command.bytes[2] = kWordLength;
    std::memcpy(command.bytes + 3, word, kWordLength);
    return command;
}

Command OneByteCommand(std::uint8_t code) {
    Command command;
    command.bytes[0] = code;
    return command;
}

Command ReadTouchCommand() {
    return OneByteCommand(kReadTouchCode);
}

} // namespace GlmDev
