#pragma once
// A program directory with a local parameter file pointing at a scripted
// content server, a key the program trusts, and a fake movie reader.

#include "PatcherTestSupport.h"
#include "Tools/patcher/MovieVersionReader.h"
#include "Tools/patcher/Patcher.h"
#include "Tools/patcher/PatcherLocations.h"
#include "common/UI/Messages.h"
#include "common/UI/RecordingMessageTarget.h"

#include <gtest/gtest.h>
#include <map>
#include <mutex>
#include <optional>

namespace PatcherTest {

/// Answers a version per movie file name; a missing file has none.
class FakeMovieReader : public Glm::MovieVersionReader {
public:
    void Answer(const std::string& fileName, std::optional<std::string> version) {
        std::lock_guard lock(m_mutex);
        m_versions[fileName] = std::move(version);
    }
    std::optional<std::string> ReadVersion(const std::string& moviePath) override {
        std::lock_guard lock(m_mutex);
        const auto found = m_versions.find(moviePath.substr(moviePath.rfind('/') + 1));
        if (!Exists(moviePath) || found == m_versions.end()) {
            return std::nullopt;
        }
        return found->second;
    }

private:
    std::mutex m_mutex;
    std::map<std::string, std::optional<std::string>> m_versions;
};

class PatcherFixture : public testing::Test {
protected:
    static constexpr const char* kVersion = "V1.0.4.34";

    PatcherFixture() {
        const std::string& dir = m_dir.Path();
        // A name of its own: processes are found by file name.
        m_program = dir + "/glmprog-" + dir.substr(dir.rfind('-') + 1);
        WriteFile(m_program, "#!/bin/sh\necho old >> " + dir + "/marker\n", 0750);
        m_key.WritePublicKey(dir + "/content.pub");
        WriteLocal("");
    }

    /// parameters.txt: the content server, the trusted key, then extra.
    void WriteLocal(const std::string& extra) {
        WriteFile(m_dir.Path() + "/parameters.txt", "GLM_PATCHER_BASE_URL=" + m_server.Base() +
                                                        "\nGLM_CONTENT_SIGNING_KEY_FILE=" + m_dir.Path() +
                                                        "/content.pub\n" + extra);
    }
    /// patcher.ver announcing these versions (none: the line is left out).
    void Announce(const std::string& program, const std::optional<std::string>& movies,
                  const std::string& extra = "") {
        std::string text = "PATCHER_VERSION_STRING_SERVER=" + program + "\n";
        if (movies) {
            text += "GLM_SWF_VERSION=" + *movies + "\n";
        }
        m_server.Put("patcher.ver", text + extra);
    }
    /// A program that leaves word in the marker file when it runs.
    std::string Script(const std::string& word) const {
        return "#!/bin/sh\necho " + word + " >> " + m_dir.Path() + "/marker\n";
    }
    Glm::PatcherLocations Locations(const std::string& running = "") const {
        return Glm::PatcherLocations::ForProgram(running.empty() ? m_program : running, m_dir.Path(),
                                                 m_dir.Path() + "/parameters.txt");
    }
    std::string Path(const std::string& name) const { return m_dir.Path() + "/" + name; }
    std::vector<std::uint32_t> Ids() const {
        std::vector<std::uint32_t> ids;
        for (const UI::Message& message : m_splash.Messages()) {
            ids.push_back(message.id);
        }
        return ids;
    }

    WebTest::TempDirectory m_dir;
    ContentServer m_server;
    SigningKey m_key;
    RecordingLogger m_logger;
    Ex::ScopedLogger m_scopedLogger{&m_logger};
    FakeMovieReader m_movies;
    UI::RecordingMessageTarget m_splash;
    std::string m_program;
};

} // namespace PatcherTest
