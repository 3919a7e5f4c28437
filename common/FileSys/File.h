#pragma once
// An open file, owned: opened in the constructor, closed in the destructor.

#include "FileSysExceptions.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace FileSys {

// Access rights, combinable.
constexpr std::uint32_t GENERIC_READ = 0x80000000u;
constexpr std::uint32_t GENERIC_WRITE = 0x40000000u;

// What to do when the file exists or not.
constexpr std::uint32_t CREATE_NEW = 1;        // create; an existing file is an error
constexpr std::uint32_t CREATE_ALWAYS = 2;     // create, or truncate an existing file
constexpr std::uint32_t OPEN_EXISTING = 3;     // open; a missing file is an error
constexpr std::uint32_t OPEN_ALWAYS = 4;       // open, or create a missing file
constexpr std::uint32_t TRUNCATE_EXISTING = 5; // open and truncate; a missing file is an error

// Origins of SetFilePosition.
constexpr int FILE_BEGIN = 0;
constexpr int FILE_CURRENT = 1;
constexpr int FILE_END = 2;

class File {
public:
    /// Opens name. Throws CantOpenFileException (cause: Win32::Win32Exception
    /// "CreateFile" with the errno) when it cannot, and Ex::Precondition for
    /// an empty name, no access right or an unknown disposition.
    File(const std::string& name, std::uint32_t access, std::uint32_t creationDisposition);
    /// Closes the file; a failing close ends the process through the
    /// fatal-error handler ("FileSys::File::~File").
    ~File();
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    /// Writes all size bytes at the current position. Nothing written at all:
    /// CantWriteToFileException; a part written: CantWriteAllDataException
    /// with the counts. The cause is the Win32::Win32Exception "WriteFile".
    void Write(const void* data, std::size_t size);
    void Write(const std::string& data) { Write(data.data(), data.size()); }

    /// Reads up to size bytes; returns how many (0 at the end of the file).
    /// Throws Win32::Win32Exception "ReadFile".
    std::size_t Read(void* data, std::size_t size);

    /// Moves the position by distance from origin (FILE_BEGIN, FILE_CURRENT,
    /// FILE_END) and returns the new absolute position. Throws
    /// CantMoveFilePointerException (cause "SetFilePointer").
    std::int64_t SetFilePosition(std::int64_t distance, int origin);
    /// The current absolute position. Throws CantMoveFilePointerException.
    std::int64_t GetFileAbsolutePosition();

    const std::string& GetName() const { return m_name; }

    /// Deletes name. Throws CantDeleteFileException (cause "DeleteFile()"),
    /// also when there is no such file.
    static void Delete(const std::string& name);
    /// Copies source to target (replacing it unless failIfExists). Throws
    /// CantCopyFileException (cause "CopyFileEx").
    static void Copy(const std::string& source, const std::string& target, bool failIfExists);

private:
    int m_handle = -1;
    std::string m_name;
};

} // namespace FileSys
