#include "Files.h"

#include "Win32Exception.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <sys/stat.h>

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

} // namespace Win32
