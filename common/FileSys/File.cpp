#include "File.h"

#include "common/Ex/MessageBoxLogger.h"
#include "common/Win32/Win32Exception.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace FileSys {

namespace {

int OpenFlags(std::uint32_t access, std::uint32_t creationDisposition) {
    int flags = O_CLOEXEC;
    const bool read = (access & GENERIC_READ) != 0;
    const bool write = (access & GENERIC_WRITE) != 0;
    flags |= (read && write) ? O_RDWR : (write ? O_WRONLY : O_RDONLY);
    switch (creationDisposition) {
    case CREATE_NEW:
        return flags | O_CREAT | O_EXCL;
    case CREATE_ALWAYS:
        return flags | O_CREAT | O_TRUNC;
    case OPEN_EXISTING:
        return flags;
    case OPEN_ALWAYS:
        return flags | O_CREAT;
    case TRUNCATE_EXISTING:
        return flags | O_TRUNC;
    default:
        return -1;
    }
}

template <class ExceptionType>
[[noreturn]] void ThrowWithCause(const std::string& message, const std::string& call, int error) {
    const Win32::Win32Exception cause(call, static_cast<std::uint32_t>(error));
    ExceptionType failure(&cause);
    failure.Message() << message;
    throw failure;
}

} // namespace

File::File(const std::string& name, std::uint32_t access, std::uint32_t creationDisposition) : m_name(name) {
    EX_PRECONDITION(!name.empty());
    EX_PRECONDITION((access & (GENERIC_READ | GENERIC_WRITE)) != 0);
    const int flags = OpenFlags(access, creationDisposition);
    EX_PRECONDITION(flags != -1);
    // O_TRUNC without write access is undefined; a read-only truncating
    // open asks for something that cannot be done.
    EX_PRECONDITION((flags & O_TRUNC) == 0 || (access & GENERIC_WRITE) != 0);
    do {
        m_handle = ::open(name.c_str(), flags, 0644);
    } while (m_handle < 0 && errno == EINTR);
    if (m_handle < 0) {
        ThrowWithCause<CantOpenFileException>("Can't Open file '" + name + "'", "CreateFile", errno);
    }
}

File::~File() {
    if (m_handle >= 0 && ::close(m_handle) != 0 && errno != EINTR) {
        const Win32::Win32Exception failed = Win32::Win32Exception::FromErrno("CloseHandle");
        Ex::FatalError("FileSys::File::~File", failed, true);
    }
}

void File::Write(const void* data, std::size_t size) {
    const auto* bytes = static_cast<const char*>(data);
    std::size_t written = 0;
    while (written < size) {
        const ssize_t now = ::write(m_handle, bytes + written, size - written);
        if (now > 0) {
            written += static_cast<std::size_t>(now);
            continue;
        }
        if (now < 0 && errno == EINTR) {
            continue;
        }
        // A zero-byte write makes no progress: report it like the full disk
        // it almost always is.
        const int error = now < 0 ? errno : ENOSPC;
        if (written == 0) {
            ThrowWithCause<CantWriteToFileException>("Can't write to file '" + m_name + "'", "WriteFile",
                                                     error);
        }
        ThrowWithCause<CantWriteAllDataException>("Can't write all data to file '" + m_name + "'" + " only " +
                                                      std::to_string(written) + " of " +
                                                      std::to_string(size) + " bytes written.",
                                                  "WriteFile", error);
    }
}

std::size_t File::Read(void* data, std::size_t size) {
    for (;;) {
        const ssize_t got = ::read(m_handle, data, size);
        if (got >= 0) {
            return static_cast<std::size_t>(got);
        }
        if (errno != EINTR) {
            throw Win32::Win32Exception::FromErrno("ReadFile");
        }
    }
}

std::int64_t File::SetFilePosition(std::int64_t distance, int origin) {
    int whence = SEEK_SET;
    switch (origin) {
    case FILE_BEGIN:
        whence = SEEK_SET;
        break;
    case FILE_CURRENT:
        whence = SEEK_CUR;
        break;
    case FILE_END:
        whence = SEEK_END;
        break;
    default:
        ThrowWithCause<CantMoveFilePointerException>("Can't move file pointer in file '" + m_name + "'",
                                                     "SetFilePointer", EINVAL);
    }
    const off_t position = ::lseek(m_handle, static_cast<off_t>(distance), whence);
    if (position < 0) {
        ThrowWithCause<CantMoveFilePointerException>("Can't move file pointer in file '" + m_name + "'",
                                                     "SetFilePointer", errno);
    }
    return static_cast<std::int64_t>(position);
}

std::int64_t File::GetFileAbsolutePosition() {
    return SetFilePosition(0, FILE_CURRENT);
}

void File::Delete(const std::string& name) {
    if (::unlink(name.c_str()) != 0) {
        ThrowWithCause<CantDeleteFileException>("Can't delete file '" + name + "'", "DeleteFile()", errno);
    }
}

void File::Copy(const std::string& source, const std::string& target, bool failIfExists) {
    std::error_code error;
    const auto options = failIfExists ? std::filesystem::copy_options::none
                                      : std::filesystem::copy_options::overwrite_existing;
    std::filesystem::copy_file(source, target, options, error);
    if (error) {
        ThrowWithCause<CantCopyFileException>("Can't copy file '" + source + "' to file '" + target + "'",
                                              "CopyFileEx", error.value());
    }
}

} // namespace FileSys
