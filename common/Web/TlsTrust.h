#pragma once
// Which certificate authorities HTTPS requests trust: always the system's
// store, plus the certificates of one optional extra CA file (a private
// deployment such as the embedded game service makes its own authority).

#include <memory>
#include <string>

namespace Web {

/// Sets the extra CA file for connections made from now on. An empty path,
/// or a path where no file exists when a connection is made, means the
/// system store alone. Thread-safe.
void SetExtraCaFile(const std::string& path);
std::string GetExtraCaFile();

/// The extra authorities, loaded from the file set above; empty (no
/// certificates) when no file is set or none exists. A file that exists but
/// holds no readable certificate is logged once and trusted for nothing.
/// The result stays valid while held.
class ExtraCaCertificates;
std::shared_ptr<const ExtraCaCertificates> LoadExtraCaCertificates();

/// Adds the certificates to an OpenSSL SSL_CTX's trust store (passed as
/// void* so that callers need no OpenSSL headers).
void AddExtraCaCertificatesTo(const ExtraCaCertificates& certificates, void* sslContext);
bool HasCertificates(const ExtraCaCertificates& certificates);

/// Where the system's trusted authorities are read from. When the system
/// keeps them as a hashed directory (as Debian's ca-certificates does), only
/// that directory is named: OpenSSL then reads a certificate when it needs
/// it, where a bundle file would be parsed whole (about 50 ms) for every new
/// TLS connection. Otherwise both are empty and libcurl's defaults apply.
struct SystemTrust {
    std::string hashedDirectory;
};
const SystemTrust& GetSystemTrust();

} // namespace Web
