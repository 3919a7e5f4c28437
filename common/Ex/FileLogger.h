#pragma once

#include "Logger.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>

namespace Ex {

/// Appends one flushed record per line to DIRECTORY/FILENAME and rotates the
/// file to a ".bak" beside it once it reaches maxSize bytes. Every newly
/// opened or rotated file starts with headerLine.
class FileLogger : public Logger {
public:
    /// Opens (appends to) the log and writes the header record. Throws
    /// Ex::CantOpenLogFileException (cause: Crt::ErrnoException "fopen").
    FileLogger(const std::string& directory, const std::string& fileName, std::uint32_t maxSize,
               const std::string& headerLine);
    ~FileLogger() override;

    /// Copies the log to DIRECTORY/newFileName (replacing it) and reopens the
    /// log empty, without a header.
    void MoveContentsAndReOpen(const std::string& newFileName) override;
    StringFormat GetStringFormat() const override { return Text; }
    /// Writes one record and rotates when the file has reached maxSize. A
    /// failing rotation throws Ex::FatalException with the cause.
    void Write(const std::string& formattedText) override;

    const std::string& GetPath() const { return m_path; }
    /// The backup name: the path up to its last "." plus ".bak".
    static std::string BackupPathFor(const std::string& path);

private:
    struct FileCloser {
        void operator()(std::FILE* file) const noexcept { std::fclose(file); }
    };

    void Open(const char* mode, int modeValue);
    void Rotate();

    std::recursive_mutex m_lock;
    std::string m_directory;
    std::string m_fileName;
    std::string m_path;
    std::string m_headerLine;
    std::unique_ptr<std::FILE, FileCloser> m_stream;
    std::uint32_t m_maxSize;
    bool m_rotating = false; // guarded by m_lock
};

} // namespace Ex
