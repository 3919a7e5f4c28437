#pragma once
// The device library's flat interface: discovery of the toys on both buses,
// and the four operations that talk to a listed toy by its identifier.
// Every function returns one of the codes of ResultCodes.h and writes its
// diagnostic lines to standard error.

#include "device/DeviceEvent.h"
#include "device/DeviceList.h"

#include <cstdint>
#include <vector>

namespace GlmDev {

/// Starts discovery on the hidraw and the simulated bus with callback (may
/// be null) and its context. Returns once the toys present now are listed
/// and reported: 0, or -2 when discovery could not start (nothing is left
/// running then). A bus that cannot be watched here is left out with a
/// diagnostic line; discovery fails only when no bus can be watched.
/// Calling it while discovery runs stops that discovery first.
std::int32_t GlmDevStart(DeviceCallback callback, void* context);

/// Stops discovery, drops the callback and empties the list, so identifiers
/// start at 0 again. Returns 0; nothing happens when discovery is stopped.
/// Must not be called from the callback.
std::int32_t GlmDevStop();

/// Reads the toy's 128 bytes in 32 exchanges. On failure memory keeps what
/// was read before the failing exchange. Returns 0, -2, -3, -4 or -5.
std::int32_t GlmDevReadMemory(std::uint32_t deviceId, std::uint8_t (&memory)[128]);

/// Writes the 128 bytes as 32 words, 100 ms apart. On failure the toy keeps
/// the words written before. Returns 0, -2, -3, -4 or -5.
std::int32_t GlmDevWriteMemory(std::uint32_t deviceId, const std::uint8_t (&memory)[128]);

/// Every word of the memory, as a mask for GlmDevUpdateMemory.
constexpr std::uint32_t kAllWords = 0xFFFFFFFFu;

/// Makes the toy hold memory in the words wordMask selects (bit n for word
/// n, bytes 4n to 4n+3) while sending as few paced words as it can: reads
/// the toy, writes only the selected words it does not hold yet, in rising
/// order and 100 ms apart as GlmDevWriteMemory does, then reads the toy back.
/// Words outside the mask are neither written nor checked, so what the toy
/// recorded there meanwhile stays. Returns 0 when the toy holds every
/// selected word; -2, with a diagnostic line naming the first offset that
/// differs, when it does not; otherwise the code of the failing exchange.
/// Whatever happens, each word holds either its old or its new value.
std::int32_t GlmDevUpdateMemory(std::uint32_t deviceId, const std::uint8_t (&memory)[128],
                                std::uint32_t wordMask = kAllWords);

/// Sends a one-byte command; no reply is read. Returns 0, -2, -3, -4 or -5.
std::int32_t GlmDevSendCommand(std::uint32_t deviceId, std::uint8_t code);

/// Reads the 5-byte touch record. Returns 0, -2, -3, -4 or -5.
std::int32_t GlmDevReadTouch(std::uint32_t deviceId, std::uint8_t (&record)[5]);

/// The process-wide list discovery fills.
DeviceList& GlmDevGetDeviceList();

/// Adds path from bus when it is a supported toy; diagnostic lines otherwise.
void CheckDeviceSupported(const std::shared_ptr<Bus>& bus, const std::string& path);

/// The pause between two memory words written, in milliseconds.
constexpr int kWritePauseMs = 100;

} // namespace GlmDev
