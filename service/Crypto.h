#pragma once

#include <string>
#include <string_view>

namespace Service {

/// Hashes a password as "pbkdf2-sha256$<iterations>$<salt hex>$<hash hex>" with a fresh 16-byte
/// salt. Throws std::runtime_error when OpenSSL fails.
std::string HashPassword(std::string_view password, int iterations);

/// True when `password` matches a stored hash made by HashPassword; false for any malformed record.
bool VerifyPassword(std::string_view password, std::string_view stored);

/// `bytes` random bytes from OpenSSL's generator, as lower-case hexadecimal.
std::string RandomHex(int bytes);

/// A uniformly random number in [low, high]. Throws std::runtime_error when OpenSSL fails.
unsigned RandomNumber(unsigned low, unsigned high);

} // namespace Service
