#pragma once
// File steps of the patcher that must not leave half a file behind.

#include <string>

namespace Glm {

/// Replaces target with a copy of source so that target is, at every
/// moment, either the old file or the new one whole: the copy is written
/// beside target under a temporary name, given target's mode bits (source's
/// when target does not exist), flushed to disk, renamed over target, and
/// the directory entry flushed too. Throws Win32::Win32Exception naming the
/// failing call; the temporary file is removed on failure.
void ReplaceFileAtomically(const std::string& source, const std::string& target);

/// Deletes path when it exists. Throws Win32::Win32Exception for any other
/// failure.
void DeleteFileIfPresent(const std::string& path);

/// The file's mode bits (permission, set-id and sticky bits), or
/// fallback when it cannot be read.
unsigned ModeBitsOf(const std::string& path, unsigned fallback);

} // namespace Glm
