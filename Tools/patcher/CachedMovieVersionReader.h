#pragma once
// Remembers what each movie file answered, so that a start with nothing to
// patch does not play every movie again. An answer is kept per file with
// its device, inode, size and modification time: a replaced or changed file
// is played afresh. The answers are kept in a small text file (one line per
// movie path) in the movie directory.

#include "Tools/patcher/MovieVersionReader.h"

#include <map>
#include <mutex>
#include <string>

namespace Glm {

class CachedMovieVersionReader : public MovieVersionReader {
public:
    /// reader answers what is not known yet and must outlive this object;
    /// cacheFile is where the answers are kept.
    CachedMovieVersionReader(MovieVersionReader& reader, std::string cacheFile);

    std::optional<std::string> ReadVersion(const std::string& moviePath) override;

private:
    struct Entry {
        std::string identity; // device, inode, size, modification time
        std::string version;
    };
    void Load();
    void Save() const;

    MovieVersionReader& m_reader;
    const std::string m_cacheFile;
    std::mutex m_mutex;
    bool m_loaded = false;
    std::map<std::string, Entry> m_entries; // by movie path
};

} // namespace Glm
