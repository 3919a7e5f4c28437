#include "common/Mod/Mod.h"

#include "tests/support/TempDir.h"

#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace {

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t count = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++count;
    }
    return count;
}

TEST(ModExecutable, PathDirectoryAndFileNameAgree) {
    const std::string path = Mod::GetExecutablePath();
    EXPECT_EQ(Mod::GetExecutableFileName(), "test_mod");
    EXPECT_EQ(Mod::GetExecutableDirectory() + "/" + Mod::GetExecutableFileName(), path);
    if (const char* build = std::getenv("GLM_BUILD_DIR")) {
        EXPECT_EQ(std::filesystem::weakly_canonical(Mod::GetExecutableDirectory()),
                  std::filesystem::weakly_canonical(std::string(build) + "/bin"));
    }
}

TEST(ModLoadString, SampleOfTheTableHasItsExactTexts) {
    EXPECT_EQ(Mod::LoadString(103), "Glimmeries");
    EXPECT_EQ(Mod::LoadString(153),
              "There has been an error reading your Glimmeries toy.\nPlease check that the "
              "Glimmeries toy is properly\nconnected to the computer.");
    EXPECT_EQ(Mod::LoadString(183), Mod::LoadString(153));
    EXPECT_EQ(Mod::LoadString(171), "A critical error has occured. The application will restart.");
    // Trailing and leading blanks are part of the texts.
    EXPECT_EQ(Mod::LoadString(123), "Dear %s, ");
    EXPECT_EQ(Mod::LoadString(125), "    Friendship from %s (Played by %s)");
    EXPECT_EQ(Mod::LoadString(195), " You already have the inventory item(s).");
    EXPECT_EQ(Mod::LoadString(191), "Use Glint\nPoints");
    EXPECT_EQ(Mod::LoadString(135), "<?xml version=\"1.0\" encoding=\"utf-8\" ?><ClickUploadFriendsRequest>"
                                    "<fairy_id>%s</fairy_id>");
    EXPECT_EQ(Mod::LoadString(12320), "<ClickUploadRequest><fairy_id>%s</fairy_id><click_id>%s</click_id>");
    EXPECT_EQ(Mod::LoadString(140), "<charm id=\"%s\"/>");
    EXPECT_EQ(Mod::LoadString(142), "<points>%s</points>");
    EXPECT_EQ(Mod::LoadString(1268), "The butterfly will fly with\n%s\nfor %s day(s) in Bramblemere.");
    EXPECT_EQ(Mod::LoadString(176),
              "You picked the butterfly that is now flying with\n%s.\nYour time will extend "
              "to\n%s day(s).\nDo you want to continue? ");
}

TEST(ModLoadString, LongEntriesAreCutToTheBuffer) {
    const std::string full = Mod::LoadString(114, 1 << 16);
    ASSERT_GT(full.size(), 255u);
    const std::string cut = Mod::LoadString(114);
    EXPECT_EQ(cut.size(), 255u);
    EXPECT_EQ(cut, full.substr(0, 255));
    EXPECT_EQ(Mod::LoadString(103, 4), "Gli");
    EXPECT_EQ(Mod::LoadString(103, 1), "");
    EXPECT_THROW(Mod::LoadString(103, 0), Ex::Precondition);
}

TEST(ModLoadString, BuiltInListsHoldTwentyMessagesAndThirtyGifts) {
    const std::string messages = Mod::LoadString(114, 1 << 16);
    const std::string gifts = Mod::LoadString(115, 1 << 16);
    EXPECT_EQ(Count(messages, "<message id="), 20u);
    EXPECT_NE(messages.find("<message id=\"20\">"), std::string::npos);
    EXPECT_EQ(Count(gifts, "<gift id="), 30u);
    EXPECT_NE(gifts.find("<gift id=\"2001\">"), std::string::npos);
    EXPECT_NE(gifts.find("<gift id=\"2030\">"), std::string::npos);
}

TEST(ModLoadString, MissingIdThrowsWithTheExecutableName) {
    try {
        Mod::LoadString(99999);
        FAIL() << "no exception";
    } catch (const Mod::CantFindResourceException& e) {
        EXPECT_EQ(e.GetName(), "CantFindResourceException");
        EXPECT_EQ(e.GetMessage(), "Can't find the resource with id: '99999' in this DLL 'test_mod'");
        ASSERT_TRUE(e.GetCause());
        EXPECT_EQ(e.GetCause()->GetName(), "Win32Exception");
        EXPECT_EQ(e.GetCause()->GetMessage().rfind("Call to LoadString() failed with (", 0), 0u);
    }
}

TEST(ModExtract, WritesAndReplacesTheFile) {
    GlmTest::TempDir dir;
    const std::string target = dir / "out.txt";
    const std::string expected = "A small resource for the extraction tests.\nSecond line.\n";
    Mod::ExtractResourceToDisk("SAMPLE", "TEST", target);
    EXPECT_EQ(GlmTest::ReadFile(target), expected);

    // A longer file already there is replaced, not overwritten in place.
    GlmTest::WriteFile(target, std::string(4096, 'x'));
    Mod::ExtractResourceToDisk("SAMPLE", "TEST", target);
    EXPECT_EQ(GlmTest::ReadFile(target), expected);
    EXPECT_FALSE(std::filesystem::exists(target + ".extracting"));
}

TEST(ModExtract, FailuresNameTheResourceAndTheStep) {
    GlmTest::TempDir dir;
    try {
        Mod::ExtractResourceToDisk("NO_SUCH", "TEST", dir / "a");
        FAIL() << "no exception";
    } catch (const CantExtractResourceToDiskException& e) {
        EXPECT_EQ(e.GetMessage(),
                  "Can't extract the resource Name='NO_SUCH' to fileName: '" + (dir / "a") + "'");
        ASSERT_TRUE(e.GetCause());
        EXPECT_EQ(e.GetCause()->GetMessage().rfind("Call to FindResource() failed", 0), 0u);
    }
    try {
        Mod::ExtractResourceToDisk(7, "TEST", dir / "b");
        FAIL() << "no exception";
    } catch (const CantExtractResourceToDiskException& e) {
        EXPECT_EQ(e.GetMessage(), "Can't extract the resource ID='7' to fileName: '" + (dir / "b") + "'");
    }
    try {
        Mod::ExtractResourceToDisk("SAMPLE", "TEST", dir / "missing-dir/c");
        FAIL() << "no exception";
    } catch (const CantExtractResourceToDiskException& e) {
        ASSERT_TRUE(e.GetCause());
        EXPECT_EQ(e.GetCause()->GetMessage().rfind("Call to CreateFile() failed", 0), 0u);
    }
}

TEST(ModExtract, ConcurrentExtractionsLeaveOneWholeFile) {
    GlmTest::TempDir dir;
    const std::string target = dir / "shared.txt";
    std::vector<std::thread> threads;
    for (int i = 0; i < 4; ++i) {
        threads.emplace_back([&] {
            for (int round = 0; round < 20; ++round) {
                Mod::ExtractResourceToDisk("SAMPLE", "TEST", target);
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(GlmTest::ReadFile(target), "A small resource for the extraction tests.\nSecond line.\n");
}

} // namespace
