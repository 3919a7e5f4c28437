// Many threads logging through one FileLogger whose small limit makes it
// rotate while they write: no record may be torn or mixed with another.

#include "common/Ex/FileLogger.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <regex>
#include <set>
#include <thread>

namespace {

TEST(FileLoggerConcurrency, RecordsNeverInterleaveAcrossRotations) {
    GlmTest::TempDir dir;
    constexpr int kThreads = 8;
    constexpr int kRecords = 300;
    {
        Ex::FileLogger logger(dir.Path(), "c.log", 4000, "header");
        std::vector<std::thread> threads;
        for (int t = 0; t < kThreads; ++t) {
            threads.emplace_back([&logger, t] {
                for (int i = 0; i < kRecords; ++i) {
                    // A long payload raises the odds of a torn write if the
                    // lock were missing.
                    logger.Log(
                        "thread " + std::to_string(t) + " record " + std::to_string(i) + " " +
                        std::string(static_cast<std::size_t>(20 + (i % 50)), static_cast<char>('a' + t)));
                }
            });
        }
        for (std::thread& thread : threads) {
            thread.join();
        }
    }
    const std::regex record(R"(.* \(.[0-9]+ to GMT\): (header|thread ([0-9]) record ([0-9]+) ([a-h]+)))");
    std::size_t seen = 0;
    for (const char* name : {"c.bak", "c.log"}) {
        const std::string text = GlmTest::ReadFile(dir / name);
        ASSERT_FALSE(text.empty()) << name;
        ASSERT_EQ(text.back(), '\n');
        std::size_t start = 0;
        for (std::size_t end = text.find('\n'); end != std::string::npos; end = text.find('\n', start)) {
            const std::string line = text.substr(start, end - start);
            start = end + 1;
            std::smatch match;
            ASSERT_TRUE(std::regex_match(line, match, record)) << line;
            if (match[1] == "header") {
                continue;
            }
            const char letter = static_cast<char>('a' + std::stoi(match[2]));
            const std::string payload = match[4];
            EXPECT_EQ(payload, std::string(static_cast<std::size_t>(20 + std::stoi(match[3]) % 50), letter))
                << line;
            ++seen;
        }
    }
    EXPECT_GT(seen, 0u);
}

} // namespace
