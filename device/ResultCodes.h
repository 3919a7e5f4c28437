#pragma once
// The signed result codes every toy operation of the device library returns.

#include <cstdint>

namespace GlmDev {

constexpr std::int32_t kOk = 0;
/// Opening failed, or a report moved an unexpected number of bytes or carried
/// an unexpected report id.
constexpr std::int32_t kIoFailed = -2;
/// No toy with that device identifier is listed.
constexpr std::int32_t kNoSuchDevice = -3;
/// The record's handle was not in the state the call needs.
constexpr std::int32_t kWrongHandleState = -4;
/// A report did not go through within the report time limit.
constexpr std::int32_t kTimedOut = -5;

/// A short English explanation of a result code, for command-line tools and
/// logs; "unknown result" for a code the library never returns.
const char* ResultText(std::int32_t result);

} // namespace GlmDev
