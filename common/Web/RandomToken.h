#pragma once

#include <string>

namespace Web {

/// Five pseudo-random numbers modulo 255, each in lower-case hexadecimal
/// without leading zeros, joined: 5 to 10 characters. Makes request URLs
/// unique so that no cache between us and the server answers them.
/// Thread-safe.
std::string MakeRandomToken();

} // namespace Web
