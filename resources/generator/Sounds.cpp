#include "Sounds.h"

#include "Random.h"

#include <QtMath>
#include <algorithm>
#include <cmath>
#include <cstdint>

namespace Art {

namespace {

constexpr double kTwoPi = 6.283185307179586;

std::vector<double> Silence(double seconds) {
    return std::vector<double>(static_cast<std::size_t>(seconds * kSampleRate), 0.0);
}

double Frequency(int midiNote) {
    return 440.0 * std::pow(2.0, (midiNote - 69) / 12.0);
}

/// A bell-like note: a few inharmonic partials with their own decays and a soft attack.
void AddBell(std::vector<double>& out, double start, int midiNote, double length, double gain) {
    const double base = Frequency(midiNote);
    const struct {
        double ratio, level, decay;
    } partials[] = {{1.0, 1.0, 4.0}, {2.0, 0.45, 6.0}, {3.01, 0.2, 9.0}, {4.17, 0.08, 12.0}};
    const std::size_t first = static_cast<std::size_t>(start * kSampleRate);
    const std::size_t count = static_cast<std::size_t>(length * kSampleRate);
    for (std::size_t i = 0; i < count && first + i < out.size(); ++i) {
        const double t = static_cast<double>(i) / kSampleRate;
        const double attack = std::min(1.0, t / 0.006);
        double value = 0.0;
        for (const auto& p : partials) {
            value += p.level * std::exp(-p.decay * t / length) * std::sin(kTwoPi * base * p.ratio * t);
        }
        out[first + i] += gain * attack * value;
    }
}

/// A sine whose frequency glides from `from` to `to` (Hz) with a smooth envelope.
void AddGlide(std::vector<double>& out, double start, double from, double to, double length, double gain) {
    const std::size_t first = static_cast<std::size_t>(start * kSampleRate);
    const std::size_t count = static_cast<std::size_t>(length * kSampleRate);
    double phase = 0.0;
    for (std::size_t i = 0; i < count && first + i < out.size(); ++i) {
        const double k = static_cast<double>(i) / static_cast<double>(count);
        const double frequency = from * std::pow(to / from, k);
        phase += kTwoPi * frequency / kSampleRate;
        const double envelope = std::sin(M_PI * k) * std::exp(-2.0 * k);
        out[first + i] += gain * envelope * (std::sin(phase) + 0.25 * std::sin(2.0 * phase));
    }
}

/// Seeded noise through a moving band: the rustle of a page.
void AddRustle(std::vector<double>& out, double start, double length, double gain, std::uint32_t seed) {
    Random random(seed);
    const std::size_t first = static_cast<std::size_t>(start * kSampleRate);
    const std::size_t count = static_cast<std::size_t>(length * kSampleRate);
    double low = 0.0, band = 0.0;
    for (std::size_t i = 0; i < count && first + i < out.size(); ++i) {
        const double k = static_cast<double>(i) / static_cast<double>(count);
        const double noise = random.Uniform(-1.0, 1.0);
        // a state-variable filter whose centre sweeps upwards as the page turns
        const double centre = 900.0 + 2600.0 * k;
        const double f = 2.0 * std::sin(M_PI * centre / kSampleRate);
        low += f * band;
        const double high = noise - low - 0.6 * band;
        band += f * high;
        const double envelope = std::sin(M_PI * k) * (0.6 + 0.4 * std::sin(kTwoPi * 3.0 * k));
        out[first + i] += gain * envelope * band;
    }
}

/// Short fades at both ends so no sound starts or stops with a click.
void Fade(std::vector<double>& samples) {
    const std::size_t edge = std::min<std::size_t>(samples.size() / 4, kSampleRate / 200);
    for (std::size_t i = 0; i < edge; ++i) {
        const double k = static_cast<double>(i) / static_cast<double>(edge);
        samples[i] *= k;
        samples[samples.size() - 1 - i] *= k;
    }
}

void AppendLittleEndian(QByteArray& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.append(static_cast<char>((value >> (8 * i)) & 0xFFu));
    }
}

SoundEffect Finish(const QString& name, const QString& purpose, std::vector<double> samples, double peak) {
    Fade(samples);
    const double seconds = static_cast<double>(samples.size()) / kSampleRate;
    return SoundEffect{name, purpose, EncodeWav(samples, peak), seconds};
}

} // namespace

QByteArray EncodeWav(const std::vector<double>& samples, double peak) {
    double loudest = 0.0;
    for (double s : samples) {
        loudest = std::max(loudest, std::abs(s));
    }
    const double scale = loudest > 0.0 ? peak / loudest : 0.0;
    QByteArray out("RIFF");
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    AppendLittleEndian(out, 36 + dataBytes, 4);
    out.append("WAVEfmt ");
    AppendLittleEndian(out, 16, 4);
    AppendLittleEndian(out, 1, 2); // PCM
    AppendLittleEndian(out, 1, 2); // mono
    AppendLittleEndian(out, kSampleRate, 4);
    AppendLittleEndian(out, kSampleRate * 2, 4);
    AppendLittleEndian(out, 2, 2);
    AppendLittleEndian(out, 16, 2);
    out.append("data");
    AppendLittleEndian(out, dataBytes, 4);
    for (double s : samples) {
        const long value = std::lround(std::clamp(s * scale, -1.0, 1.0) * 32767.0);
        AppendLittleEndian(out, static_cast<std::uint32_t>(static_cast<std::int16_t>(value)) & 0xFFFFu, 2);
    }
    return out;
}

std::vector<SoundEffect> MakeSounds() {
    constexpr double peak = 0.7; // about -3 dB: gentle, never clipping
    std::vector<SoundEffect> sounds;
    {
        // a bubble pops: a quick rising blip
        auto s = Silence(0.16);
        AddGlide(s, 0.0, 380.0, 1500.0, 0.09, 1.0);
        AddGlide(s, 0.07, 900.0, 1800.0, 0.06, 0.35);
        sounds.push_back(Finish(QStringLiteral("CLICK_BUBBLE_SOUND"),
                                QStringLiteral("main menu task buttons, device and list clicks"), s, peak));
    }
    {
        auto s = Silence(0.42);
        AddBell(s, 0.0, 88, 0.3, 0.8);   // E6
        AddBell(s, 0.09, 83, 0.33, 0.9); // B5
        sounds.push_back(Finish(QStringLiteral("CLOSE_SOUND"), QStringLiteral("closing a popup"), s, peak));
    }
    {
        // a rising major arpeggio with a sparkle on top
        auto s = Silence(1.7);
        const int notes[] = {72, 76, 79, 84};
        for (int i = 0; i < 4; ++i) {
            AddBell(s, 0.12 * i, notes[i], 1.1, 0.8);
        }
        AddBell(s, 0.5, 88, 1.0, 0.5);
        AddBell(s, 0.5, 91, 1.0, 0.35);
        for (int i = 0; i < 6; ++i) {
            AddBell(s, 0.62 + 0.08 * i, 96 + (i % 3) * 2, 0.35, 0.18);
        }
        sounds.push_back(
            Finish(QStringLiteral("CONGRATS_SOUND"), QStringLiteral("congratulation popups"), s, peak));
    }
    {
        auto s = Silence(0.7);
        AddBell(s, 0.0, 79, 0.4, 0.8);
        AddBell(s, 0.13, 76, 0.4, 0.8);
        AddBell(s, 0.26, 72, 0.42, 0.9);
        AddGlide(s, 0.0, 1400.0, 500.0, 0.5, 0.12);
        sounds.push_back(
            Finish(QStringLiteral("EXIT_SOUND"), QStringLiteral("exit button: hiding to the tray"), s, peak));
    }
    {
        auto s = Silence(0.55);
        AddBell(s, 0.0, 79, 0.35, 0.8);  // G5
        AddBell(s, 0.16, 86, 0.38, 0.8); // D6, the questioning step up
        sounds.push_back(
            Finish(QStringLiteral("HELP_SOUND"), QStringLiteral("help and what-is-this buttons"), s, peak));
    }
    {
        auto s = Silence(0.28);
        AddGlide(s, 0.0, 1300.0, 420.0, 0.26, 1.0);
        sounds.push_back(
            Finish(QStringLiteral("MINIMIZE_SOUND"), QStringLiteral("minimize button"), s, peak));
    }
    {
        // a soft two-step fall with a wobble
        auto s = Silence(0.62);
        AddGlide(s, 0.0, 660.0, 560.0, 0.22, 0.9);
        AddGlide(s, 0.2, 520.0, 330.0, 0.4, 1.0);
        AddBell(s, 0.2, 64, 0.4, 0.25);
        sounds.push_back(Finish(QStringLiteral("OOPS_SOUND"),
                                QStringLiteral("error popup, generic notice popup"), s, peak));
    }
    {
        auto s = Silence(0.32);
        AddRustle(s, 0.0, 0.3, 1.0, 0x5EA1u);
        sounds.push_back(Finish(QStringLiteral("PAGE_TURN_SOUND"),
                                QStringLiteral("next, back and answer buttons"), s, peak));
    }
    {
        // a shower of tiny bells on a pentatonic scale, seeded so it always falls the same way
        auto s = Silence(1.35);
        Random random(0xFA1Eu);
        const int scale[] = {84, 86, 88, 91, 93, 96, 98, 100};
        for (int i = 0; i < 14; ++i) {
            const int note = scale[random.Next() % 8];
            AddBell(s, 0.06 * i, note, 0.45, 0.35 + 0.02 * (i % 3));
        }
        AddGlide(s, 0.0, 2000.0, 3200.0, 0.8, 0.06);
        sounds.push_back(
            Finish(QStringLiteral("PIXIE_DUST_JINGLE_SOUND"), QStringLiteral("choosing a Fairy"), s, peak));
    }
    {
        auto s = Silence(0.32);
        AddBell(s, 0.0, 93, 0.3, 1.0); // A6
        sounds.push_back(
            Finish(QStringLiteral("SELECT_SOUND"), QStringLiteral("opening a friendship letter"), s, peak));
    }
    {
        // two calm low notes: attention without alarm
        auto s = Silence(0.75);
        AddBell(s, 0.0, 69, 0.32, 0.9);
        AddBell(s, 0.3, 69, 0.42, 0.9);
        AddGlide(s, 0.0, 440.0, 440.0, 0.7, 0.15);
        sounds.push_back(Finish(QStringLiteral("WARNING_SOUND"),
                                QStringLiteral("set-up and butterfly warnings"), s, peak));
    }
    return sounds;
}

} // namespace Art
