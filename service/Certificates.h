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

/// Makes sure the data directory holds the authority and the server certificate, creating
/// whichever is missing (keys are written with mode 0600). Returns the paths and sets `created`
/// when the authority was made now. Throws std::runtime_error with OpenSSL's reason on failure.
CertificatePaths EnsureCertificates(const std::string& dataDirectory, bool& created);

} // namespace Service
