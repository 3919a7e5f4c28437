#pragma once

#include <string>

namespace Service {

/// Paths of the service's TLS material inside its data directory.
struct CertificatePaths {
    std::string caCertificate; // ca.pem: the authority clients trust
    std::string caKey;         // ca.key
    std::string certificate;   // server.pem: for 127.0.0.1 and localhost, signed by the authority
    std::string key;           // server.key
};

/// Makes sure the data directory holds the authority and the server certificate, creating a pair
/// when both of its files are missing (keys mode 0600; each file appears whole or not at all),
/// under a lock on the directory. Returns the paths and sets `created` when the authority was made
/// now. Throws std::runtime_error naming the file when a file cannot be written, or when one is
/// missing, damaged or does not match the others (with the command that renews them).
CertificatePaths EnsureCertificates(const std::string& dataDirectory, bool& created);

/// Replaces the authority and the server certificate with new ones (`certificates renew`):
/// clients must then trust the new ca.pem.
void RenewCertificates(const std::string& dataDirectory);

} // namespace Service
