#include "common/FileSys/File.h"

#include "common/Win32/Files.h"
#include "common/Win32/Win32Exception.h"
#include "tests/support/TempDir.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace FileSys;

// Runs body and returns the message of the FileSys exception it throws,
// with the cause's message after " | ".
template <class ExceptionType, class Body>
std::string MessageOf(Body body) {
    try {
        body();
    } catch (const ExceptionType& e) {
        return e.GetMessage() + " | " + (e.GetCause() ? e.GetCause()->GetMessage() : std::string("no cause"));
    }
    return "no exception";
}

TEST(FileSysFile, WritesSeeksAndReadsBack) {
    GlmTest::TempDir dir;
    const std::string name = dir / "data.bin";
    {
        File file(name, GENERIC_WRITE | GENERIC_READ, CREATE_NEW);
        file.Write("hello world");
        EXPECT_EQ(file.GetFileAbsolutePosition(), 11);
        EXPECT_EQ(file.SetFilePosition(6, FILE_BEGIN), 6);
        file.Write("there");
        EXPECT_EQ(file.SetFilePosition(-5, FILE_END), 6);
        char buffer[16] = {};
        EXPECT_EQ(file.Read(buffer, sizeof buffer), 5u);
        EXPECT_EQ(std::string(buffer, 5), "there");
    }
    EXPECT_EQ(GlmTest::ReadFile(name), "hello there");
    // OPEN_ALWAYS keeps the content, CREATE_ALWAYS truncates it.
    { File file(name, GENERIC_WRITE, OPEN_ALWAYS); }
    EXPECT_EQ(GlmTest::ReadFile(name), "hello there");
    { File file(name, GENERIC_WRITE, CREATE_ALWAYS); }
    EXPECT_EQ(GlmTest::ReadFile(name), "");
}

TEST(FileSysFile, OpenFailuresNameTheFileAndTheCall) {
    GlmTest::TempDir dir;
    const std::string existing = dir / "there";
    GlmTest::WriteFile(existing, "x");
    // CREATE_NEW refuses an existing file: callers delete first.
    EXPECT_EQ(MessageOf<CantOpenFileException>([&] { File file(existing, GENERIC_WRITE, CREATE_NEW); }),
              "Can't Open file '" + existing + "' | Call to CreateFile failed with (17) File exists");
    const std::string missing = dir / "missing";
    EXPECT_EQ(MessageOf<CantOpenFileException>([&] { File file(missing, GENERIC_READ, OPEN_EXISTING); }),
              "Can't Open file '" + missing +
                  "' | Call to CreateFile failed with (2) No such file or directory");
    EXPECT_THROW(File(existing, 0, OPEN_EXISTING), Ex::Precondition);
    EXPECT_THROW(File(existing, GENERIC_READ, 42), Ex::Precondition);
    EXPECT_THROW(File("", GENERIC_READ, OPEN_EXISTING), Ex::Precondition);
}

TEST(FileSysFile, WriteWithoutWriteAccessAndToAFullDevice) {
    GlmTest::TempDir dir;
    const std::string name = dir / "read-only-open";
    GlmTest::WriteFile(name, "abc");
    File reader(name, GENERIC_READ, OPEN_EXISTING);
    EXPECT_EQ(MessageOf<CantWriteToFileException>([&] { reader.Write("more"); }).substr(0, 60),
              ("Can't write to file '" + name + "' | Call to WriteFile failed with (9)").substr(0, 60));

    // /dev/full accepts the open and refuses every byte with ENOSPC.
    File full("/dev/full", GENERIC_WRITE, OPEN_EXISTING);
    EXPECT_EQ(MessageOf<CantWriteToFileException>([&] { full.Write("data"); }),
              "Can't write to file '/dev/full' | Call to WriteFile failed with (28) No space left on device");
}

TEST(FileSysFile, SeekFailureIsCantMoveFilePointer) {
    GlmTest::TempDir dir;
    const std::string name = dir / "f";
    File file(name, GENERIC_WRITE, CREATE_NEW);
    EXPECT_EQ(MessageOf<CantMoveFilePointerException>([&] { file.SetFilePosition(-10, FILE_BEGIN); }),
              "Can't move file pointer in file '" + name +
                  "' | Call to SetFilePointer failed with (22) Invalid argument");
    EXPECT_THROW(file.SetFilePosition(0, 7), CantMoveFilePointerException);
}

TEST(FileSysFile, DeleteAndCopy) {
    GlmTest::TempDir dir;
    const std::string source = dir / "source";
    const std::string target = dir / "target";
    GlmTest::WriteFile(source, "payload");
    GlmTest::WriteFile(target, "old and longer content");
    File::Copy(source, target, false);
    EXPECT_EQ(GlmTest::ReadFile(target), "payload");
    EXPECT_EQ(MessageOf<CantCopyFileException>([&] { File::Copy(source, target, true); }).substr(0, 80),
              ("Can't copy file '" + source + "' to file '" + target + "' | Call to CopyFileEx failed")
                  .substr(0, 80));
    File::Delete(target);
    EXPECT_FALSE(std::filesystem::exists(target));
    EXPECT_EQ(MessageOf<CantDeleteFileException>([&] { File::Delete(target); }),
              "Can't delete file '" + target +
                  "' | Call to DeleteFile() failed with (2) No such file or directory");
}

} // namespace

TEST(FileSysFile, DurableWritesReplaceWholeOrNotAtAll) {
    GlmTest::TempDir dir;
    const std::string path = dir / "journal";
    Win32::WriteFileDurably(path, "first\n", 0600);
    Win32::WriteFileDurably(path, "second\n", 0600);
    std::ifstream in(path);
    std::string text;
    std::getline(in, text);
    EXPECT_EQ(text, "second");
    EXPECT_EQ(std::filesystem::file_size(path), 7U);
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777U, 0600U);
    EXPECT_FALSE(std::filesystem::exists(path + ".new")) << "no temporary file is left";

    // A directory that is not there: the call names what failed and the old file stays as it was.
    try {
        Win32::WriteFileDurably(dir / "missing/journal", "x", 0600);
        FAIL() << "no exception";
    } catch (const Win32::Win32Exception& failure) {
        EXPECT_NE(failure.ToString().find("open("), std::string::npos) << failure.ToString();
    }
    EXPECT_EQ(std::filesystem::file_size(path), 7U);
}
