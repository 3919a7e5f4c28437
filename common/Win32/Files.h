#pragma once
// Thin file functions whose failures are Win32::Win32Exception with the call
// text "Win32::CopyFile(SOURCE,TARGET)" and the like.

#include <string>

namespace Win32 {

/// Copies source to target; with failIfExists an existing target is an error.
void CopyFile(const std::string& source, const std::string& target, bool failIfExists);
/// Deletes path; a path that does not exist is not touched and not an error.
void DeleteFile(const std::string& path);
/// Renames source to target (target must not exist on the other side of a
/// file-system boundary; an existing target is replaced).
void MoveFile(const std::string& source, const std::string& target);

/// A file descriptor, closed with its owner.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor();
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int Get() const { return m_fd; }
    /// Closes now; false when close reports a failure (a delayed write error
    /// shows here).
    bool Close();

private:
    int m_fd;
};

/// Renames source over target (both in one directory) and flushes the
/// directory, so the rename survives a power cut. Throws Win32Exception
/// "rename(SOURCE, TARGET)" or "fsync(DIRECTORY)".
void RenameDurably(const std::string& source, const std::string& target);

/// Makes path hold content with the mode bits: written beside it under a
/// temporary name, flushed, renamed over it, the directory flushed; path is
/// at every moment the old file or the new one whole. Throws Win32Exception
/// naming the failing call; the temporary file is removed on failure.
void WriteFileDurably(const std::string& path, const std::string& content, unsigned mode);

} // namespace Win32
