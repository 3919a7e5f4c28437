// The sound player against ALSA's "null" device, configured through
// ALSA_CONFIG_PATH so no sound card is needed.

#include "Tools/SoundThread.h"

#include "common/Ex/FileLogger.h"

#include <alsa/asoundlib.h>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <sndfile.h>
#include <sstream>
#include <vector>

namespace {

namespace fs = std::filesystem;

class SoundThreadTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_directory = fs::temp_directory_path() / ("glm_sound_" + std::to_string(::getpid()));
        fs::create_directories(m_directory);
        const fs::path config = m_directory / "asound.conf";
        std::ofstream(config) << "pcm.!default { type null }\nctl.!default { type hw card 0 }\n";
        ::setenv("ALSA_CONFIG_PATH", config.c_str(), 1);
        m_logger =
            std::make_unique<Ex::FileLogger>(m_directory.string(), "sound.log", 100000, "test_sound_thread");
        m_previous = Ex::SetLogger(m_logger.get());
    }
    void TearDown() override {
        Ex::SetLogger(m_previous);
        m_logger.reset();
        fs::remove_all(m_directory);
    }

    // A mono 16-bit sine of the given length, as NAME.WAV in the directory.
    void WriteWav(const std::string& name, int frames, int rate = 8000) {
        SF_INFO info{};
        info.samplerate = rate;
        info.channels = 1;
        info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
        const std::string path = (m_directory / (name + ".WAV")).string();
        SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
        ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
        std::vector<short> samples(static_cast<std::size_t>(frames));
        for (int i = 0; i < frames; ++i) {
            samples[static_cast<std::size_t>(i)] = static_cast<short>(8000.0 * std::sin(i * 0.1));
        }
        sf_writef_short(file, samples.data(), frames);
        sf_close(file);
    }

    std::string ReadLog() const {
        std::ifstream in(m_directory / "sound.log");
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    fs::path m_directory;
    std::unique_ptr<Ex::FileLogger> m_logger;
    Ex::Logger* m_previous = nullptr;
};

TEST_F(SoundThreadTest, TwoSoundsInARowPlayCompletelyOneAfterTheOther) {
    WriteWav("FIRST_SOUND", 4000);
    WriteWav("SECOND_SOUND", 2000);
    Glm::SoundThread first("FIRST_SOUND", m_directory.string());
    Glm::SoundThread second("SECOND_SOUND", m_directory.string());
    // What the application does for each new sound: the previous one is shut
    // down first, which lets it play to its end.
    first.Start();
    first.ShutDown();
    second.Start();
    second.ShutDown();
    EXPECT_EQ(first.GetFramesPlayed(), 4000);
    EXPECT_EQ(second.GetFramesPlayed(), 2000);
    EXPECT_GE(second.GetStartTime(), first.GetEndTime());
    EXPECT_EQ(ReadLog().find("Glm::SoundThread::Run"), std::string::npos) << ReadLog();
}

TEST_F(SoundThreadTest, AFileAtAnotherRatePlaysToo) {
    WriteWav("THIRD_SOUND", 1000, 22050);
    Glm::SoundThread sound("THIRD_SOUND", m_directory.string());
    sound.Start();
    sound.ShutDown();
    EXPECT_EQ(sound.GetFramesPlayed(), 1000);
}

TEST_F(SoundThreadTest, AMissingSoundIsLoggedAndNothingPlays) {
    Glm::SoundThread missing("NO_SUCH_SOUND", m_directory.string());
    missing.Start();
    missing.ShutDown();
    EXPECT_EQ(missing.GetFramesPlayed(), 0);
    const std::string log = ReadLog();
    EXPECT_NE(log.find("Glm::SoundThread::Run"), std::string::npos) << log;
    EXPECT_NE(log.find("NO_SUCH_SOUND"), std::string::npos) << log;
}

TEST_F(SoundThreadTest, AnUnopenableDeviceIsLoggedNotFatal) {
    WriteWav("C_SOUND", 800);
    const fs::path config = m_directory / "broken.conf";
    std::ofstream(config) << "pcm.!default { type hw card 97 }\n";
    ::setenv("ALSA_CONFIG_PATH", config.c_str(), 1);
    snd_config_update_free_global();
    {
        Glm::SoundThread sound("C_SOUND", m_directory.string());
        sound.Start();
    }
    ::setenv("ALSA_CONFIG_PATH", (m_directory / "asound.conf").c_str(), 1);
    snd_config_update_free_global();
    EXPECT_NE(ReadLog().find("snd_pcm_open(default)"), std::string::npos) << ReadLog();
}

} // namespace
