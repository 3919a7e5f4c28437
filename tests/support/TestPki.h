#pragma once
// Throw-away certificate authorities and server certificates for tests and
// benchmarks that need HTTPS on loopback.

#include "tests/support/TempDir.h"

#include <string>

namespace WebTest {

struct TestPki {
    std::string caFile;          // PEM of the authority
    std::string certificateFile; // PEM of the server certificate (127.0.0.1 and localhost)
    std::string keyFile;         // PEM of the server key
};

/// Makes a new authority and a server certificate signed by it in directory
/// (which must exist), the files named after prefix. Throws std::runtime_error.
TestPki MakeTestPki(const std::string& directory, const std::string& prefix);

using TempDirectory = GlmTest::TempDir;

} // namespace WebTest
