#pragma once
// The application's sound effects, synthesised from sine partials and seeded noise.

#include <QByteArray>
#include <QString>
#include <vector>

namespace Art {

constexpr int kSampleRate = 22050;

struct SoundEffect {
    QString name;    // resource name, e.g. "CLOSE_SOUND"
    QString purpose; // where the sound plays, for the resource table
    QByteArray wav;  // the whole WAV file: PCM, 16-bit, mono
    double seconds;  // length
};

/// Every sound effect, in name order.
std::vector<SoundEffect> MakeSounds();

/// Wraps normalised samples (peak at `peak` of full scale, no clipping) into a WAV file.
QByteArray EncodeWav(const std::vector<double>& samples, double peak);

} // namespace Art
