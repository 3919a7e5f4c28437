// Every sound is a short 16-bit PCM WAV, normalised, without clipping and without a click at
// either end.

#include "resources/Resources.h"

#include <QFile>
#include <cstdint>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

std::uint32_t Little(const QByteArray& bytes, qsizetype at, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) {
        value = (value << 8) | static_cast<std::uint8_t>(bytes[at + i]);
    }
    return value;
}

class SoundTest : public ::testing::TestWithParam<const char*> {};

TEST_P(SoundTest, IsShortGentleAndUnclipped) {
    GlmInitResources();
    QFile file(GlmResourcePath(QStringLiteral("WAV"), QLatin1String(GetParam())));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << GetParam();
    const QByteArray wav = file.readAll();
    ASSERT_GE(wav.size(), 44);
    EXPECT_EQ(wav.left(4), QByteArray("RIFF"));
    EXPECT_EQ(wav.mid(8, 8), QByteArray("WAVEfmt "));
    EXPECT_EQ(Little(wav, 20, 2), 1u) << "PCM";
    EXPECT_EQ(Little(wav, 22, 2), 1u) << "mono";
    EXPECT_EQ(Little(wav, 34, 2), 16u) << "16-bit";
    const std::uint32_t rate = Little(wav, 24, 4);
    ASSERT_EQ(wav.mid(36, 4), QByteArray("data"));
    const std::uint32_t dataBytes = Little(wav, 40, 4);
    ASSERT_EQ(static_cast<qsizetype>(dataBytes) + 44, wav.size());
    const std::uint32_t samples = dataBytes / 2;
    const double seconds = static_cast<double>(samples) / rate;
    EXPECT_GE(seconds, 0.1) << GetParam();
    EXPECT_LE(seconds, 2.0) << GetParam();

    int peak = 0;
    for (std::uint32_t i = 0; i < samples; ++i) {
        peak =
            std::max(peak, std::abs(static_cast<int>(static_cast<std::int16_t>(Little(wav, 44 + 2 * i, 2)))));
    }
    EXPECT_LT(peak, 32000) << GetParam() << " clips";
    EXPECT_GT(peak, 16000) << GetParam() << " is not normalised";
    const auto edge = [&](std::uint32_t i) {
        return std::abs(static_cast<std::int16_t>(Little(wav, 44 + 2 * i, 2)));
    };
    EXPECT_LT(edge(0), 500) << GetParam() << " starts with a click";
    EXPECT_LT(edge(samples - 1), 500) << GetParam() << " ends with a click";
}

INSTANTIATE_TEST_SUITE_P(Sounds, SoundTest,
                         ::testing::Values("CLICK_BUBBLE_SOUND", "CLOSE_SOUND", "CONGRATS_SOUND",
                                           "EXIT_SOUND", "HELP_SOUND", "MINIMIZE_SOUND", "OOPS_SOUND",
                                           "PAGE_TURN_SOUND", "PIXIE_DUST_JINGLE_SOUND", "SELECT_SOUND",
                                           "WARNING_SOUND"));

} // namespace
