#include "Tools/patcher/PatcherFiles.h"

#include "Tools/patcher/PatcherLocations.h"
#include "common/Win32/Files.h"
#include "common/Win32/Win32Exception.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace Glm {

namespace {

[[noreturn]] void Fail(const std::string& call) {
    throw Win32::Win32Exception::FromErrno(call);
}

void CopyContent(int from, int to, const std::string& source, const std::string& temporary) {
    std::vector<char> buffer(1 << 20);
    for (;;) {
        const ssize_t got = ::read(from, buffer.data(), buffer.size());
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            Fail("read(" + source + ")");
        }
        if (got == 0) {
            return;
        }
        for (ssize_t written = 0; written < got;) {
            const ssize_t put = ::write(to, buffer.data() + written, static_cast<std::size_t>(got - written));
            if (put < 0) {
                if (errno == EINTR) {
                    continue;
                }
                Fail("write(" + temporary + ")");
            }
            written += put;
        }
    }
}

} // namespace

unsigned ModeBitsOf(const std::string& path, unsigned fallback) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return fallback;
    }
    return static_cast<unsigned>(info.st_mode) & 07777U;
}

void ReplaceFileAtomically(const std::string& source, const std::string& target) {
    Win32::FileDescriptor from(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
    if (from.Get() < 0) {
        Fail("open(" + source + ")");
    }
    const unsigned mode = ModeBitsOf(target, ModeBitsOf(source, 0755));
    // A name no other program uses, beside the target so the rename stays
    // on one file system.
    std::string temporary =
        PatcherLocations::DirectoryOf(target) + "/." + PatcherLocations::FileNameOf(target) + ".new-XXXXXX";
    Win32::FileDescriptor to(::mkostemp(temporary.data(), O_CLOEXEC));
    if (to.Get() < 0) {
        Fail("mkstemp(" + temporary + ")");
    }
    try {
        CopyContent(from.Get(), to.Get(), source, temporary);
        if (::fchmod(to.Get(), static_cast<mode_t>(mode)) != 0) {
            Fail("fchmod(" + temporary + ")");
        }
        if (::fsync(to.Get()) != 0) {
            Fail("fsync(" + temporary + ")");
        }
        if (!to.Close()) {
            Fail("close(" + temporary + ")");
        }
        Win32::RenameDurably(temporary, target);
    } catch (...) {
        ::unlink(temporary.c_str());
        throw;
    }
}

void DeleteFileIfPresent(const std::string& path) {
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) {
        Fail("unlink(" + path + ")");
    }
}

} // namespace Glm
