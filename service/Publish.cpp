#include "Publish.h"

#include "SigningKey.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace Service {

namespace {

namespace fs = std::filesystem;

constexpr const char* kDefaultProgramName = "glimmeries.exe";
// What the content server announces while the content directory has no patcher.ver.
constexpr const char* kDefaultPatcherFile = "PATCHER_VERSION_STRING_SERVER=V1.0.4.34\nGLM_SWF_VERSION=1\n";

bool PlainName(const std::string& name) {
    if (name.empty() || name.size() > 128 || name.front() == '.') {
        return false;
    }
    for (const char c : name) {
        const bool allowed = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                             c == '.' || c == '_' || c == '-';
        if (!allowed) {
            return false;
        }
    }
    return true;
}

// A value becomes one line of patcher.ver: no line breaks, nothing the parser trims away.
bool PlainValue(const std::string& value) {
    if (value.empty() || value.size() > 200) {
        return false;
    }
    for (const char c : value) {
        if (c <= ' ' || c == 0x7F) {
            return false;
        }
    }
    return true;
}

std::string ReadOr(const fs::path& path, const std::string& fallback) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return fallback;
    }
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

// Readers of the content directory see the old file or the new one, never half.
void WriteReplacing(const fs::path& path, const std::string& content) {
    const fs::path temporary = path.string() + ".publishing";
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        file << content;
        file.flush();
        if (!file) {
            throw std::runtime_error("cannot write " + temporary.string());
        }
    }
    fs::rename(temporary, path);
}

std::string Trimmed(const std::string& text) {
    const auto begin = text.find_first_not_of(" \t\r");
    if (begin == std::string::npos) {
        return {};
    }
    return text.substr(begin, text.find_last_not_of(" \t\r") - begin + 1);
}

} // namespace

std::string SetPatcherVersionLine(const std::string& patcherFile, const std::string& key,
                                  const std::string& value) {
    std::istringstream lines(patcherFile);
    std::string result;
    std::string line;
    bool set = false;
    while (std::getline(lines, line)) {
        const auto equals = line.find('=');
        const bool isKey = line.empty() || line.front() == '#' || equals == std::string::npos
                               ? false
                               : Trimmed(line.substr(0, equals)) == key;
        if (isKey) {
            if (!set) {
                result += key + "=" + value + "\n";
                set = true;
            }
            continue;
        }
        result += line + "\n";
    }
    if (!set) {
        result += key + "=" + value + "\n";
    }
    return result;
}

int RunPublishCommand(const std::vector<std::string>& arguments, const std::string& dataDirectory,
                      const std::string& contentDirectory, std::ostream& out, std::ostream& err) {
    if (arguments.size() != 4 && arguments.size() != 6) {
        return 2;
    }
    const std::string& kind = arguments[1];
    const fs::path source = arguments[2];
    const std::string& version = arguments[3];
    if (kind != "program" && kind != "movie") {
        return 2;
    }
    std::string name = kind == "program" ? kDefaultProgramName : source.filename().string();
    if (arguments.size() == 6) {
        if (arguments[4] != "--name") {
            return 2;
        }
        name = arguments[5];
    }
    if (!PlainName(name)) {
        err << "publish: '" << name << "' is not a plain file name\n";
        return 1;
    }
    if (!PlainValue(version)) {
        err << "publish: '" << version << "' is not a version (no blanks or line breaks)\n";
        return 1;
    }
    std::error_code error;
    if (!fs::is_regular_file(source, error)) {
        err << "publish: no such file: " << source.string() << "\n";
        return 1;
    }
    fs::create_directories(contentDirectory, error);
    const SigningKeyPaths key = EnsureSigningKey(dataDirectory);
    const fs::path target = fs::path(contentDirectory) / name;
    const std::string signature = SignFile(key.privateKey, source.string());
    // The signature goes first: a client that sees the new file always finds its signature, and
    // one that fetched the old file with the new signature refuses it and tries again next start.
    WriteReplacing(target.string() + ".sig", signature);
    const fs::path staged = target.string() + ".publishing";
    fs::copy_file(source, staged, fs::copy_options::overwrite_existing);
    fs::rename(staged, target);
    const fs::path patcherFile = fs::path(contentDirectory) / "patcher.ver";
    const std::string announced = kind == "program" ? "PATCHER_VERSION_STRING_SERVER" : "GLM_SWF_VERSION";
    WriteReplacing(patcherFile,
                   SetPatcherVersionLine(ReadOr(patcherFile, kDefaultPatcherFile), announced, version));
    out << "published " << name << " version " << version << " (signature " << name << ".sig, key "
        << key.publicKey << ")\n";
    return 0;
}

} // namespace Service
