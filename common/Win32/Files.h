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

} // namespace Win32
