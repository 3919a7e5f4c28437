#pragma once
// How the service writes the files of its data directory that are made once
// and read at every start (the authority, the server certificate, the
// signing key pair).

#include <cstdio>
#include <functional>
#include <string>
#include <sys/types.h>

namespace Service {

/// The data directory's lock for the files made on first start: two
/// services starting together must not both write them and mix their
/// halves. Waits for DIRECTORY/.certificates.lock; throws
/// std::runtime_error when it cannot be opened or locked.
class CertificatesLock {
public:
    explicit CertificatesLock(const std::string& directory);
    ~CertificatesLock();
    CertificatesLock(const CertificatesLock&) = delete;
    CertificatesLock& operator=(const CertificatesLock&) = delete;

private:
    int m_fd = -1;
};

/// Makes path either absent or whole: written under a temporary name in the
/// same directory by write (false: it failed), flushed to the disk, renamed
/// over path, the directory flushed. Throws std::runtime_error naming path.
void WriteAtomically(const std::string& path, mode_t mode, const std::function<bool(FILE*)>& write);
void WriteAtomically(const std::string& path, mode_t mode, const std::string& content);

} // namespace Service
