// The points journal on disk, and the hand-over's decisions against a small
// server with a toy that cannot be written (no such device).

#include "FakeHttpServer.h"
#include "WebApiTestSupport.h"
#include "common/UI/Messages.h"
#include "common/UI/RecordingMessageTarget.h"
#include "device/SupportedToys.h"
#include "device/Toy.h"
#include "tests/support/TempDir.h"
#include "webapi/PointsHandOver.h"
#include "webapi/WebApi.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace {

class PointsJournalFile : public ::testing::Test {
protected:
    WebApiTest::RecordingLogger m_log;
    Ex::ScopedLogger m_scoped{&m_log};
    GlmTest::TempDir m_dir;
};

TEST_F(PointsJournalFile, RecordsSurviveANewJournalObjectAndSettleOneByOne) {
    const std::string directory = m_dir.Path() + "/data/glimmeries"; // made on the first write
    Glm::PointsJournal journal(directory);
    EXPECT_FALSE(journal.Find(5).has_value());
    EXPECT_TRUE(journal.Settle(5)); // nothing to settle
    ASSERT_TRUE(journal.Put({5, 370, "12 %x\n", Glm::PointsRecord::Sending}));
    ASSERT_TRUE(journal.Put({4000000000u, 99990, "", Glm::PointsRecord::Accepted}));
    ASSERT_TRUE(journal.Put({5, 370, "12 %x\n", Glm::PointsRecord::Accepted})); // replaces

    const Glm::PointsJournal reopened(directory);
    const std::optional<Glm::PointsRecord> first = reopened.Find(5);
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(first->points, 370);
    EXPECT_EQ(first->fairyId, "12 %x\n");
    EXPECT_EQ(first->state, Glm::PointsRecord::Accepted);
    const std::optional<Glm::PointsRecord> second = reopened.Find(4000000000u);
    ASSERT_TRUE(second.has_value());
    EXPECT_EQ(second->fairyId, "");
    EXPECT_EQ(second->points, 99990);

    ASSERT_TRUE(journal.Settle(5));
    EXPECT_FALSE(reopened.Find(5).has_value());
    EXPECT_TRUE(reopened.Find(4000000000u).has_value());
    ASSERT_TRUE(journal.Settle(4000000000u));
    EXPECT_EQ(GlmTest::ReadFile(journal.GetPath()), "");
    EXPECT_FALSE(std::filesystem::exists(journal.GetPath() + ".new"));
}

TEST_F(PointsJournalFile, DamagedLinesAreLeftOutButKeptAsideAndAnUnwritableJournalSaysSo) {
    Glm::PointsJournal journal(m_dir.Path());
    {
        std::ofstream out(journal.GetPath());
        out << "7 120 accepted =31\nnot a record\n8 -5 accepted =1\n9 10 maybe =1\n10 20 sending =%G1\n";
    }
    const std::optional<Glm::PointsRecord> kept = journal.Find(7);
    ASSERT_TRUE(kept.has_value());
    EXPECT_EQ(kept->fairyId, "31");
    EXPECT_EQ(m_log.Count("is damaged and left out"), 4u);
    EXPECT_TRUE(m_log.Contains(": line 2 is damaged"));
    EXPECT_FALSE(journal.Find(8).has_value());
    EXPECT_FALSE(journal.Find(10).has_value());
    EXPECT_NE(GlmTest::ReadFile(journal.GetPath() + ".damaged").find("not a record"), std::string::npos);
    ASSERT_TRUE(journal.Settle(7));
    EXPECT_EQ(GlmTest::ReadFile(journal.GetPath()), "");

    // A directory that is a file: the write fails and is logged.
    const std::string blocked = m_dir.Path() + "/blocked";
    std::ofstream(blocked) << "x";
    Glm::PointsJournal unwritable(blocked);
    EXPECT_FALSE(unwritable.Put({1, 10, "2", Glm::PointsRecord::Sending}));
    // The log names the journal and the call that failed.
    EXPECT_TRUE(m_log.Contains("Points journal " + blocked + "/glintpoints.journal: "));
    EXPECT_TRUE(m_log.Contains("open(" + blocked + "/glintpoints.journal.new)"));
}

class PointsHandOverFake : public PointsJournalFile {
protected:
    void SetUp() override {
        m_api.Init(&m_window, m_server.Origin() + "/api/", "1");
        Glm::Toy::Memory memory{};
        Glm::Toy::SetWord(memory, 0, 77);
        memory[4] = 0, memory[5] = 0, memory[6] = 2, memory[7] = 5; // 250 points
        m_game.SetImage(memory);
    }
    std::size_t Uploads() const {
        std::size_t count = 0;
        for (const WebApiTest::SeenRequest& request : m_server.Requests()) {
            count += request.path == "/api/ClickUploadRequest" ? 1 : 0;
        }
        return count;
    }

    UI::RecordingMessageTarget m_window;
    WebApiTest::FakeHttpServer m_server;
    Glm::WebApi m_api;
    // Not on any bus: every write to it fails.
    Glm::Toy m_game{4711, GlmDev::kGameProductId};
};

TEST_F(PointsHandOverFake, AcceptedPointsAreNeverSentTwiceWhileTheToyCannotBeCleared) {
    m_server.Put("/api/ClickUploadRequest",
                 "<ClickUploadResponse><success>true</success><points><success>true"
                 "</success></points></ClickUploadResponse>");
    Glm::PointsJournal journal(m_dir.Path());
    const Glm::PointsHandOver first = Glm::GivePoints(m_api, m_game, "31", journal);
    EXPECT_EQ(first.outcome, Glm::PointsHandOver::ClearFailed);
    EXPECT_TRUE(first.uploaded);
    EXPECT_EQ(first.points, 250);
    EXPECT_EQ(m_server.Requests().at(0).body,
              "<ClickUploadRequest><fairy_id>31</fairy_id><click_id>77</click_id><points>250</points>"
              "</ClickUploadRequest>");
    for (int attempt = 0; attempt < 2; ++attempt) {
        const Glm::PointsHandOver again = Glm::GivePoints(m_api, m_game, "32", journal);
        EXPECT_EQ(again.outcome, Glm::PointsHandOver::ClearFailed);
        EXPECT_FALSE(again.uploaded);
        EXPECT_EQ(again.creditedFairyId, "31");
    }
    EXPECT_EQ(Uploads(), 1u);
    EXPECT_TRUE(
        m_log.Contains("were given to Fairy 31 before; clearing the toy without uploading them again"));

    // The toy shows another count: it was cleared meanwhile and earned
    // again, so these points are new.
    Glm::Toy::Memory memory = m_game.GetImage();
    memory[6] = 3;
    m_game.SetImage(memory);
    const Glm::PointsHandOver other = Glm::GivePoints(m_api, m_game, "32", journal);
    EXPECT_TRUE(other.uploaded);
    EXPECT_EQ(other.points, 350);
    EXPECT_EQ(Uploads(), 2u);
    EXPECT_EQ(journal.Find(77)->fairyId, "32");
}

TEST_F(PointsHandOverFake, RefusedOrMalformedAnswersCreditNothingAndSettleTheJournal) {
    Glm::PointsJournal journal(m_dir.Path());
    m_server.Put("/api/ClickUploadRequest",
                 "<ClickUploadResponse><success>true</success><points><success>false</success></points>"
                 "<charm><error code=\"INVALID_POINTS\"/></charm></ClickUploadResponse>");
    Glm::PointsHandOver refused = Glm::GivePoints(m_api, m_game, "31", journal);
    EXPECT_EQ(refused.outcome, Glm::PointsHandOver::UploadFailed);
    EXPECT_EQ(refused.errorCode, "INVALID_POINTS");
    EXPECT_FALSE(journal.Find(77).has_value());

    m_server.Put("/api/ClickUploadRequest",
                 "<ClickUploadResponse><success>true</success></ClickUploadResponse>");
    refused = Glm::GivePoints(m_api, m_game, "31", journal);
    EXPECT_EQ(refused.outcome, Glm::PointsHandOver::UploadFailed);
    EXPECT_TRUE(m_window.WaitFor(UI::WM_GLM_RESPONSE_ERROR, std::chrono::milliseconds(0)).has_value());
    EXPECT_FALSE(journal.Find(77).has_value());

    // No points, no toy: nothing is sent.
    const std::size_t sent = Uploads();
    Glm::Toy::Memory memory = m_game.GetImage();
    memory[6] = memory[7] = 0;
    m_game.SetImage(memory);
    EXPECT_EQ(Glm::GivePoints(m_api, m_game, "31", journal).outcome, Glm::PointsHandOver::NothingToGive);
    m_game.SetPresent(false);
    EXPECT_EQ(Glm::GivePoints(m_api, m_game, "31", journal).outcome, Glm::PointsHandOver::NoToy);
    EXPECT_EQ(Uploads(), sent);
}

} // namespace
