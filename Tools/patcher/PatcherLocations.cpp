#include "Tools/patcher/PatcherLocations.h"

#include <sys/statvfs.h>
#include <unistd.h>

namespace Glm {

namespace {

constexpr const char* kPatchSuffix = ".ptch";

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

} // namespace

PatcherLocations PatcherLocations::ForProgram(const std::string& runningPath,
                                              const std::string& movieDirectory,
                                              const std::string& localParametersFile) {
    PatcherLocations locations;
    locations.runningPath = runningPath;
    if (EndsWith(runningPath, kPatchSuffix)) {
        locations.executablePath =
            runningPath.substr(0, runningPath.size() - std::string(kPatchSuffix).size());
    } else {
        locations.executablePath = runningPath;
    }
    locations.patchPath = locations.executablePath + kPatchSuffix;
    locations.movieDirectory = movieDirectory;
    locations.localParametersFile = localParametersFile;
    locations.programDirectoryWritable = IsDirectoryWritable(DirectoryOf(locations.executablePath));
    return locations;
}

bool PatcherLocations::IsDirectoryWritable(const std::string& directory) {
    if (::access(directory.c_str(), W_OK) != 0) {
        return false;
    }
    // access() says yes to root on a read-only file system.
    struct statvfs info {};
    return ::statvfs(directory.c_str(), &info) == 0 && (info.f_flag & ST_RDONLY) == 0;
}

std::string PatcherLocations::DirectoryOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string PatcherLocations::FileNameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace Glm
