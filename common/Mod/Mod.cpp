#include "Mod.h"

#include "StringTable.h"
#include "common/Win32/Win32Exception.h"

#include <QFile>
#include <QString>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <mutex>
#include <unistd.h>

namespace Mod {

const StringTableEntry* FindStringTableEntry(std::uint32_t id) {
    const StringTableEntry* end = kStringTable + kStringTableSize;
    const StringTableEntry* found =
        std::lower_bound(kStringTable, end, id, [](const StringTableEntry& entry, std::uint32_t wanted) {
            return entry.id < wanted;
        });
    return (found != end && found->id == id) ? found : nullptr;
}

std::string GetExecutablePath() {
    char buffer[PATH_MAX + 1];
    const ssize_t length = ::readlink("/proc/self/exe", buffer, PATH_MAX);
    if (length < 0) {
        throw Win32::Win32Exception::FromErrno("GetModuleFileName()");
    }
    return std::string(buffer, static_cast<std::size_t>(length));
}

std::string GetExecutableDirectory() {
    const std::string path = GetExecutablePath();
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string GetExecutableFileName() {
    const std::string path = GetExecutablePath();
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string LoadString(std::uint32_t id, std::size_t bufferSize) {
    EX_PRECONDITION(bufferSize > 0);
    const StringTableEntry* entry = FindStringTableEntry(id);
    if (entry == nullptr) {
        const Win32::Win32Exception cause("LoadString()", ENOENT);
        CantFindResourceException failure(&cause);
        failure.Message() << "Can't find the resource with id: '" << id << "'"
                          << " in this DLL '" << GetExecutableFileName() << "'";
        failure.AddStackFrame(EX_FRAME);
        throw failure;
    }
    return std::string(entry->text, std::min(entry->length, bufferSize - 1));
}

namespace {

std::mutex& ExtractionLock() {
    static std::mutex lock;
    return lock;
}

[[noreturn]] void ThrowExtractFailure(const std::string& what, const std::string& fileName,
                                      const std::string& call, std::uint32_t code) {
    const Win32::Win32Exception cause(call, code);
    CantExtractResourceToDiskException failure(&cause);
    failure.Message() << "Can't extract the resource " << what << " to fileName: '" << fileName << "'";
    failure.AddStackFrame(EX_FRAME);
    throw failure;
}

void Extract(const std::string& what, const QString& resourcePath, const std::string& fileName) {
    QFile resource(resourcePath);
    if (!resource.exists()) {
        ThrowExtractFailure(what, fileName, "FindResource()", ENOENT);
    }
    std::lock_guard lock(ExtractionLock());
    if (!resource.open(QIODevice::ReadOnly)) {
        ThrowExtractFailure(what, fileName, "LoadResource()", EIO);
    }
    const QByteArray bytes = resource.readAll();
    if (bytes.size() != resource.size()) {
        ThrowExtractFailure(what, fileName, "LoadResource()", EIO);
    }
    // Written beside the target first and renamed over it, so a reader never
    // sees half a file and a failed write leaves the old file in place.
    const std::string temporary = fileName + ".extracting";
    QFile target(QString::fromStdString(temporary));
    if (!target.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        ThrowExtractFailure(what, fileName, "CreateFile()", EACCES);
    }
    const qint64 written = target.write(bytes);
    if (written != bytes.size() || !target.flush()) {
        target.close();
        target.remove();
        ThrowExtractFailure(what, fileName, "WriteFile()", ENOSPC);
    }
    target.close();
    if (target.error() != QFileDevice::NoError) {
        target.remove();
        ThrowExtractFailure(what, fileName, "CloseHandle()", EIO);
    }
    if (::rename(temporary.c_str(), fileName.c_str()) != 0) {
        const int error = errno;
        target.remove();
        ThrowExtractFailure(what, fileName, "CreateFile()", static_cast<std::uint32_t>(error));
    }
}

} // namespace

void ExtractResourceToDisk(const std::string& name, const std::string& type, const std::string& fileName) {
    Extract("Name='" + name + "'", QString::fromStdString(":/res/" + type + "/" + name), fileName);
}

void ExtractResourceToDisk(std::uint32_t id, const std::string& type, const std::string& fileName) {
    Extract("ID='" + std::to_string(id) + "'",
            QString::fromStdString(":/res/" + type + "/" + std::to_string(id)), fileName);
}

} // namespace Mod
