#include "common/Ex/FileLogger.h"

#include "common/Ex/Exceptions.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end = text.find('\n'); end != std::string::npos; end = text.find('\n', start)) {
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    EXPECT_EQ(start, text.size()) << "the file does not end with a whole line";
    return lines;
}

class FileLoggerTest : public ::testing::Test {
protected:
    void SetUp() override { Ex::SetTimestampsEnabled(false); }
    void TearDown() override { Ex::SetTimestampsEnabled(true); }
    GlmTest::TempDir m_dir;
    const std::string m_prefix = "<date and time suppressed> - ";
};

TEST_F(FileLoggerTest, HeaderFirstThenOneRecordPerLineAppended) {
    {
        Ex::FileLogger logger(m_dir.Path(), "Glimmeries.log", 100000, "glimmeries");
        logger.Log("V1.0.4.34");
        EXPECT_EQ(logger.GetPath(), m_dir / "Glimmeries.log");
    }
    { Ex::FileLogger again(m_dir.Path() + "/", "Glimmeries.log", 100000, "glimmeries"); }
    EXPECT_EQ(
        Lines(GlmTest::ReadFile(m_dir / "Glimmeries.log")),
        (std::vector<std::string>{m_prefix + "glimmeries", m_prefix + "V1.0.4.34", m_prefix + "glimmeries"}));
}

TEST_F(FileLoggerTest, RealTimePrefixHasTheDocumentedShape) {
    Ex::SetTimestampsEnabled(true);
    { Ex::FileLogger logger(m_dir.Path(), "t.log", 100000, "head"); }
    const std::string line = Lines(GlmTest::ReadFile(m_dir / "t.log")).at(0);
    EXPECT_TRUE(testing::internal::RE::FullMatch(
        line,
        testing::internal::RE("[0-9]+/[0-9]+/[0-9][0-9][0-9][0-9] [0-9]+:[0-9]+:[0-9]+ \\([-+][0-9]+ to "
                              "GMT\\): head")))
        << line;
}

TEST_F(FileLoggerTest, RotatesToBakAndStartsAgainWithTheHeader) {
    Ex::FileLogger logger(m_dir.Path(), "Glimmeries.log", 200, "hdr");
    // No backup exists before the first rotation; that is not an error.
    for (int i = 0; i < 5; ++i) {
        logger.Log("record " + std::to_string(i) + std::string(40, '.'));
    }
    const std::vector<std::string> backup = Lines(GlmTest::ReadFile(m_dir / "Glimmeries.bak"));
    const std::vector<std::string> current = Lines(GlmTest::ReadFile(m_dir / "Glimmeries.log"));
    ASSERT_FALSE(backup.empty());
    ASSERT_FALSE(current.empty());
    EXPECT_EQ(current.front(), m_prefix + "hdr");
    EXPECT_FALSE(std::filesystem::exists(m_dir / "Glimmeries.log.tmp"));
    // Every record is in one of the two files, whole.
    std::string all =
        GlmTest::ReadFile(m_dir / "Glimmeries.bak") + GlmTest::ReadFile(m_dir / "Glimmeries.log");
    EXPECT_NE(all.find("record 4" + std::string(40, '.') + "\n"), std::string::npos);
    EXPECT_NE(all.find("record 3" + std::string(40, '.') + "\n"), std::string::npos);
}

TEST_F(FileLoggerTest, PathWithoutADotRotatesToPathDotBak) {
    EXPECT_EQ(Ex::FileLogger::BackupPathFor("/var/log.d/glimmeries"), "/var/log.d/glimmeries.bak");
    EXPECT_EQ(Ex::FileLogger::BackupPathFor("/x/Glimmeries.log"), "/x/Glimmeries.bak");
    Ex::FileLogger logger(m_dir.Path(), "nodot", 10, "h");
    logger.Log("first record past the limit");
    EXPECT_TRUE(std::filesystem::exists(m_dir / "nodot.bak"));
}

TEST_F(FileLoggerTest, LimitSmallerThanTheHeaderDoesNotRotateForever) {
    Ex::FileLogger logger(m_dir.Path(), "tiny.log", 1, "a header longer than the limit");
    logger.Log("x");
    EXPECT_EQ(Lines(GlmTest::ReadFile(m_dir / "tiny.log")),
              std::vector<std::string>{m_prefix + "a header longer than the limit"});
    EXPECT_EQ(Lines(GlmTest::ReadFile(m_dir / "tiny.bak")).back(), m_prefix + "x");
}

TEST_F(FileLoggerTest, UnwritableDirectoryIsCantOpenLogFileWithTheErrno) {
    for (const std::string& directory : {m_dir / "missing", m_dir / "file"}) {
        GlmTest::WriteFile(m_dir / "file", "not a directory");
        try {
            Ex::FileLogger logger(directory, "Glimmeries.log", 100000, "h");
            FAIL() << "no exception for " << directory;
        } catch (const Ex::CantOpenLogFileException& e) {
            EXPECT_EQ(e.GetMessage(),
                      "Can't open log file \"" + directory + "/Glimmeries.log\", open mode: 10");
            const auto* cause = dynamic_cast<const Crt::ErrnoException*>(e.GetCause().get());
            ASSERT_NE(cause, nullptr);
            EXPECT_TRUE(cause->GetErrno() == ENOENT || cause->GetErrno() == ENOTDIR);
            EXPECT_EQ(cause->GetMessage().rfind("Call to fopen failed with errno (", 0), 0u);
        }
    }
}

TEST_F(FileLoggerTest, FailedRotationIsFatalAndKeepsTheRecord) {
    Ex::FileLogger logger(m_dir.Path(), "Glimmeries.log", 100, "hdr");
    // The intermediate copy cannot be made while a directory has its name.
    std::filesystem::create_directory(m_dir / "Glimmeries.log.tmp");
    const std::string record = "the record that reaches the limit" + std::string(80, '!');
    try {
        logger.Log(record);
        FAIL() << "no exception";
    } catch (const Ex::FatalException& e) {
        EXPECT_EQ(e.GetMessage(), "A fatal exception has been detected.");
        ASSERT_TRUE(e.GetCause());
        EXPECT_EQ(e.GetCause()->GetName(), "Win32Exception");
        EXPECT_EQ(e.GetCause()->GetMessage().rfind("Call to Win32::CopyFile(" + (m_dir / "Glimmeries.log") +
                                                       "," + (m_dir / "Glimmeries.log.tmp") +
                                                       ") failed with (",
                                                   0),
                  0u)
            << e.GetCause()->GetMessage();
    }
    EXPECT_EQ(Lines(GlmTest::ReadFile(m_dir / "Glimmeries.log")).back(), m_prefix + record);
    // Once the obstacle is gone, logging goes on and rotates.
    std::filesystem::remove(m_dir / "Glimmeries.log.tmp");
    logger.Log("after");
    EXPECT_NE(GlmTest::ReadFile(m_dir / "Glimmeries.bak").find(m_prefix + "after\n"), std::string::npos);
}

TEST_F(FileLoggerTest, EmptyMessageWritesNothing) {
    Ex::FileLogger logger(m_dir.Path(), "e.log", 100000, "h");
    const std::string before = GlmTest::ReadFile(m_dir / "e.log");
    EXPECT_THROW(logger.Log(""), Ex::Precondition);
    EXPECT_EQ(GlmTest::ReadFile(m_dir / "e.log"), before);
}

TEST_F(FileLoggerTest, MoveContentsAndReOpen) {
    Ex::FileLogger logger(m_dir.Path(), "m.log", 100000, "h");
    logger.Log("kept");
    GlmTest::WriteFile(m_dir / "moved.log", "old");
    logger.MoveContentsAndReOpen("moved.log");
    EXPECT_EQ(Lines(GlmTest::ReadFile(m_dir / "moved.log")),
              (std::vector<std::string>{m_prefix + "h", m_prefix + "kept"}));
    EXPECT_EQ(GlmTest::ReadFile(m_dir / "m.log"), "");
    // An empty log leaves no copy behind.
    logger.MoveContentsAndReOpen("second.log");
    EXPECT_FALSE(std::filesystem::exists(m_dir / "second.log"));
    logger.Log("new");
    EXPECT_EQ(Lines(GlmTest::ReadFile(m_dir / "m.log")), std::vector<std::string>{m_prefix + "new"});
}

} // namespace
