#include "DataFiles.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Service {

namespace {

struct FileClose {
    void operator()(FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<FILE, FileClose>;

} // namespace

CertificatesLock::CertificatesLock(const std::string& directory) {
    const std::string path = (std::filesystem::path(directory) / ".certificates.lock").string();
    m_fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_fd < 0 || ::flock(m_fd, LOCK_EX) != 0) {
        const std::string reason = std::strerror(errno);
        if (m_fd >= 0) {
            ::close(m_fd);
        }
        throw std::runtime_error("Cannot lock " + path + ": " + reason);
    }
}

// Closing the descriptor releases the lock.
CertificatesLock::~CertificatesLock() {
    ::close(m_fd);
}

void WriteAtomically(const std::string& path, mode_t mode, const std::function<bool(FILE*)>& write) {
    std::string temporary = path + ".tmp-XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        throw std::runtime_error("Cannot create a file beside " + path + ": " + std::strerror(errno));
    }
    const auto fail = [&temporary, &path](const std::string& what) {
        const std::string reason = std::strerror(errno);
        ::unlink(temporary.c_str());
        throw std::runtime_error("Cannot write " + path + ": " + what +
                                 (errno != 0 ? " (" + reason + ")" : ""));
    };
    FilePtr file(::fdopen(fd, "w"));
    if (!file) {
        ::close(fd);
        fail("fdopen");
    }
    errno = 0;
    if (::fchmod(fd, mode) != 0 || !write(file.get()) || std::fflush(file.get()) != 0 || ::fsync(fd) != 0) {
        fail("no space or no permission");
    }
    if (std::fclose(file.release()) != 0) {
        fail("close");
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        fail("rename");
    }
    const std::string directory = std::filesystem::path(path).parent_path().string();
    const int dirFd = ::open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
}

void WriteAtomically(const std::string& path, mode_t mode, const std::string& content) {
    WriteAtomically(path, mode, [&content](FILE* file) {
        return std::fwrite(content.data(), 1, content.size(), file) == content.size();
    });
}

} // namespace Service
