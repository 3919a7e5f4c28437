#include "FileLogger.h"

#include "Exceptions.h"
#include "common/Win32/Files.h"

#include <cerrno>

namespace Ex {

namespace {
// The open-mode numbers the log's error texts have always carried.
constexpr int kAppendMode = 10;
constexpr int kTruncateMode = 18;
} // namespace

FileLogger::FileLogger(const std::string& directory, const std::string& fileName, std::uint32_t maxSize,
                       const std::string& headerLine)
    : m_directory(directory), m_fileName(fileName), m_headerLine(headerLine), m_maxSize(maxSize) {
    if (!m_directory.empty() && m_directory.back() != '/') {
        m_directory += '/';
    }
    m_path = m_directory + m_fileName;
    std::lock_guard lock(m_lock);
    Open("a", kAppendMode);
    Log(m_headerLine);
}

FileLogger::~FileLogger() = default;

void FileLogger::Open(const char* mode, int modeValue) {
    m_stream.reset();
    std::FILE* file = std::fopen(m_path.c_str(), mode);
    if (file == nullptr) {
        const Crt::ErrnoException cause("fopen", errno);
        throw CantOpenLogFileException(m_path, modeValue, &cause);
    }
    m_stream.reset(file);
}

std::string FileLogger::BackupPathFor(const std::string& path) {
    const std::size_t dot = path.rfind('.');
    const std::size_t slash = path.rfind('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
        return path + ".bak";
    }
    return path.substr(0, dot) + ".bak";
}

void FileLogger::Write(const std::string& formattedText) {
    std::lock_guard lock(m_lock);
    if (!m_stream) {
        // A failed reopen left no file; try once more so logging recovers
        // when the cause (a full disk, a missing directory) has gone away.
        Open("a", kAppendMode);
    }
    std::fputs(formattedText.c_str(), m_stream.get());
    std::fputc('\n', m_stream.get());
    std::fflush(m_stream.get());
    const long position = std::ftell(m_stream.get());
    // The header record written by a rotation never starts another one,
    // even when maxSize is smaller than the header itself.
    if (!m_rotating && position >= 0 && static_cast<std::uint64_t>(position) >= m_maxSize) {
        Rotate();
    }
}

void FileLogger::Rotate() {
    struct RotatingFlag {
        bool& flag;
        explicit RotatingFlag(bool& rotating) : flag(rotating) { flag = true; }
        ~RotatingFlag() { flag = false; }
        RotatingFlag(const RotatingFlag&) = delete;
        RotatingFlag& operator=(const RotatingFlag&) = delete;
    } rotating(m_rotating);
    try {
        const std::string temporary = m_path + ".tmp";
        const std::string backup = BackupPathFor(m_path);
        Win32::CopyFile(m_path, temporary, false);
        Win32::DeleteFile(backup);
        Win32::MoveFile(temporary, backup);
        Open("w", kTruncateMode);
        Log(m_headerLine);
    } catch (const Exception& caught) {
        throw FatalException(&caught);
    }
}

void FileLogger::MoveContentsAndReOpen(const std::string& newFileName) {
    std::lock_guard lock(m_lock);
    const std::string target = m_directory + newFileName;
    Win32::DeleteFile(target);
    const long size = m_stream ? std::ftell(m_stream.get()) : 0;
    m_stream.reset();
    if (size > 0) {
        Win32::CopyFile(m_path, target, false);
    }
    Open("w", kTruncateMode);
}

} // namespace Ex
