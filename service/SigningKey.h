#pragma once

#include <string>

namespace Service {

/// The service's own Ed25519 key, with which it signs the programs and movies it publishes.
struct SigningKeyPaths {
    std::string privateKey; // signing.key, PKCS#8 PEM, mode 0600
    std::string publicKey;  // signing.pub, the key clients trust (SubjectPublicKeyInfo PEM)
};

/// Makes sure the data directory holds the signing key, creating it when missing. Returns the
/// paths. Throws std::runtime_error with the failing call and OpenSSL's or the system's reason.
SigningKeyPaths EnsureSigningKey(const std::string& dataDirectory);

/// The 64-byte Ed25519 signature of the whole file by the private key at keyPath. Throws
/// std::runtime_error when the key or the file cannot be read.
std::string SignFile(const std::string& keyPath, const std::string& filePath);

} // namespace Service
