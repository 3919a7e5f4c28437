#pragma once

#include <string>

namespace Glm {

/// Where the patcher finds and puts its files.
struct PatcherLocations {
    /// The running program's full path.
    std::string runningPath;
    /// The program: the running path, or for the update process its path
    /// without ".ptch".
    std::string executablePath;
    /// The downloaded update: the program's path followed by ".ptch".
    std::string patchPath;
    /// Where the movies are read from and written to.
    std::string movieDirectory;
    /// The local parameter file ("parameters.txt").
    std::string localParametersFile;
    /// False for a packaged install: the program is then never replaced.
    bool programDirectoryWritable = true;

    /// The locations for a running program: a path ending in ".ptch" is the
    /// update process of the program without that ending. The program's
    /// directory is probed for writing.
    static PatcherLocations ForProgram(const std::string& runningPath, const std::string& movieDirectory,
                                       const std::string& localParametersFile);
    /// True when files can be created in directory (also false on a
    /// read-only mount).
    static bool IsDirectoryWritable(const std::string& directory);
    /// The directory part of path.
    static std::string DirectoryOf(const std::string& path);
    /// The file name part of path.
    static std::string FileNameOf(const std::string& path);
};

} // namespace Glm
