#pragma once
// The running executable: its path, the compiled string table and the
// resources compiled into it (Qt resources under ":/res/<TYPE>/<NAME>").

#include "ModExceptions.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace Mod {

/// Full path of the running executable (/proc/self/exe). Throws
/// Win32::Win32Exception "GetModuleFileName()" when it cannot be read.
std::string GetExecutablePath();
/// The executable's directory, without a trailing slash.
std::string GetExecutableDirectory();
/// The executable's file name, without directory.
std::string GetExecutableFileName();

/// The string-table text of id, cut to bufferSize - 1 characters (the
/// default keeps at most 255). Throws Mod::CantFindResourceException (cause:
/// Win32::Win32Exception "LoadString()") for an id the table lacks, and
/// Ex::Precondition for a bufferSize of 0.
std::string LoadString(std::uint32_t id, std::size_t bufferSize = 256);

/// Writes the resource NAME of TYPE (":/res/TYPE/NAME") to fileName,
/// replacing an existing file. One process-wide lock serialises extractions.
/// Throws CantExtractResourceToDiskException, whose cause names the failing
/// step: "FindResource()" (no such resource), "LoadResource()" (unreadable),
/// "CreateFile()", "WriteFile()" or "CloseHandle()" (the target file).
void ExtractResourceToDisk(const std::string& name, const std::string& type, const std::string& fileName);
/// The same for a resource with a numeric id (":/res/TYPE/ID").
void ExtractResourceToDisk(std::uint32_t id, const std::string& type, const std::string& fileName);

} // namespace Mod
