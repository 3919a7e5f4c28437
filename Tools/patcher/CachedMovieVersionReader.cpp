#include "Tools/patcher/CachedMovieVersionReader.h"

#include <cstdio>
#include <fstream>
#include <sys/stat.h>

namespace Glm {

namespace {

// "" when the file cannot be looked at.
std::string IdentityOf(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return {};
    }
    return std::to_string(info.st_dev) + ":" + std::to_string(info.st_ino) + ":" +
           std::to_string(info.st_size) + ":" + std::to_string(info.st_mtim.tv_sec) + "." +
           std::to_string(info.st_mtim.tv_nsec);
}

} // namespace

CachedMovieVersionReader::CachedMovieVersionReader(MovieVersionReader& reader, std::string cacheFile)
    : m_reader(reader), m_cacheFile(std::move(cacheFile)) {}

std::optional<std::string> CachedMovieVersionReader::ReadVersion(const std::string& moviePath) {
    const std::string identity = IdentityOf(moviePath);
    if (identity.empty()) {
        // A movie that is not there (not yet extracted on a first start)
        // has no version; playing it would only log the engine's error.
        return std::nullopt;
    }
    {
        std::lock_guard lock(m_mutex);
        Load();
        const auto found = m_entries.find(moviePath);
        if (found != m_entries.end() && found->second.identity == identity) {
            return found->second.version;
        }
    }
    std::optional<std::string> version = m_reader.ReadVersion(moviePath);
    // Only a file that did not change while it played is remembered.
    if (version && IdentityOf(moviePath) == identity &&
        version->find_first_of("\r\n\t") == std::string::npos) {
        std::lock_guard lock(m_mutex);
        m_entries[moviePath] = Entry{identity, *version};
        Save();
    }
    return version;
}

void CachedMovieVersionReader::Load() {
    if (m_loaded) {
        return;
    }
    m_loaded = true;
    std::ifstream file(m_cacheFile);
    std::string line;
    // PATH TAB IDENTITY TAB VERSION
    while (std::getline(file, line)) {
        const auto first = line.find('\t');
        const auto second = first == std::string::npos ? first : line.find('\t', first + 1);
        if (second == std::string::npos) {
            continue;
        }
        m_entries[line.substr(0, first)] =
            Entry{line.substr(first + 1, second - first - 1), line.substr(second + 1)};
    }
}

void CachedMovieVersionReader::Save() const {
    // Written beside and renamed, so a reader never sees half a file; a
    // cache that cannot be written only costs the next start some time.
    const std::string temporary = m_cacheFile + ".new";
    {
        std::ofstream file(temporary, std::ios::trunc);
        for (const auto& [path, entry] : m_entries) {
            if (path.find_first_of("\t\n") == std::string::npos) {
                file << path << '\t' << entry.identity << '\t' << entry.version << '\n';
            }
        }
        if (!file) {
            std::remove(temporary.c_str());
            return;
        }
    }
    if (std::rename(temporary.c_str(), m_cacheFile.c_str()) != 0) {
        std::remove(temporary.c_str());
    }
}

} // namespace Glm
