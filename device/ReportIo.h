#pragma once
// The two report primitives shared by every bus: one output report written
// in one go, one input report read in one go, each within a time limit.

#include "device/bus/Bus.h"

#include <cstdint>

namespace GlmDev {

/// The limit on every report, in milliseconds (10000 unless a test changed it).
int GetReportTimeoutMs();
/// Changes the limit for the whole process; for tests that cannot wait ten
/// seconds. Values below 1 are taken as 1.
void SetReportTimeoutMs(int timeoutMs);

/// Writes report id 0 and the 8-byte command to handle. Returns 0; -5 when
/// the device did not take it within the limit; -2, with a diagnostic
/// line, when the write failed or moved other than 9 bytes.
std::int32_t WriteCommandReport(Bus& bus, int handle, const std::uint8_t (&command)[8], int timeoutMs);

/// Reads one input report from handle into reply (its bytes 1..8). Returns
/// 0; -5 when nothing came within the limit; -2, with a diagnostic line,
/// when the read failed, moved other than 9 bytes or the report id was not
/// 0. reply is changed only on success.
std::int32_t ReadReplyReport(Bus& bus, int handle, std::uint8_t (&reply)[8], int timeoutMs);

} // namespace GlmDev
