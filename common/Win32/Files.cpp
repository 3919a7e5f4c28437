#include "Files.h"

#include "Win32Exception.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace Win32 {

void CopyFile(const std::string& source, const std::string& target, bool failIfExists) {
    std::error_code error;
    const auto options = failIfExists ? std::filesystem::copy_options::none
                                      : std::filesystem::copy_options::overwrite_existing;
    std::filesystem::copy_file(source, target, options, error);
    if (error) {
        throw Win32Exception("Win32::CopyFile(" + source + "," + target + ")",
                             static_cast<std::uint32_t>(error.value()));
    }
}

void DeleteFile(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) {
        return; // nothing there: nothing to do
    }
    if (std::remove(path.c_str()) != 0) {
        throw Win32Exception::FromErrno("Win32::DeleteFile(" + path + ")");
    }
}

void MoveFile(const std::string& source, const std::string& target) {
    if (std::rename(source.c_str(), target.c_str()) != 0) {
        throw Win32Exception::FromErrno("Win32::MoveFile(" + source + "," + target + ")");
    }
}

FileDescriptor::~FileDescriptor() {
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

bool FileDescriptor::Close() {
    const int fd = m_fd;
    m_fd = -1;
    return ::close(fd) == 0;
}

void RenameDurably(const std::string& source, const std::string& target) {
    if (::rename(source.c_str(), target.c_str()) != 0) {
        throw Win32Exception::FromErrno("rename(" + source + ", " + target + ")");
    }
    const std::filesystem::path parent = std::filesystem::path(target).parent_path();
    const std::string directory = parent.empty() ? std::string(".") : parent.string();
    FileDescriptor fd(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.Get() < 0 || ::fsync(fd.Get()) != 0) {
        throw Win32Exception::FromErrno("fsync(" + directory + ")");
    }
}

void WriteFileDurably(const std::string& path, const std::string& content, unsigned mode) {
    const std::string temporary = path + ".new";
    try {
        FileDescriptor file(
            ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, static_cast<mode_t>(mode)));
        if (file.Get() < 0) {
            throw Win32Exception::FromErrno("open(" + temporary + ")");
        }
        std::size_t written = 0;
        while (written < content.size()) {
            const ssize_t n = ::write(file.Get(), content.data() + written, content.size() - written);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                throw Win32Exception::FromErrno("write(" + temporary + ")");
            }
            written += static_cast<std::size_t>(n);
        }
        if (::fchmod(file.Get(), static_cast<mode_t>(mode)) != 0 || ::fsync(file.Get()) != 0) {
            throw Win32Exception::FromErrno("fsync(" + temporary + ")");
        }
        if (!file.Close()) {
            throw Win32Exception::FromErrno("close(" + temporary + ")");
        }
        RenameDurably(temporary, path);
    } catch (...) {
        ::unlink(temporary.c_str());
        throw;
    }
}

} // namespace Win32
