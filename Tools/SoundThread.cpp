#include "SoundThread.h"

#include "common/Ex/Exceptions.h"
#include "common/Ex/Logger.h"
#include "common/Mod/Mod.h"
#include "common/Win32/Win32Exception.h"

#include <alsa/asoundlib.h>
#include <cerrno>
#include <memory>
#include <sndfile.h>
#include <sys/stat.h>
#include <vector>

namespace Glm {

namespace {

struct SndFileCloser {
    void operator()(SNDFILE* file) const noexcept { sf_close(file); }
};
struct PcmCloser {
    void operator()(snd_pcm_t* pcm) const noexcept { snd_pcm_close(pcm); }
};

// Device errors carry ALSA's own text, which errno's table does not know.
[[noreturn]] void ThrowAlsa(const std::string& call, int result) {
    Win32::Win32Exception failure(call, static_cast<std::uint32_t>(-result));
    failure.Message() << " (" << snd_strerror(result) << ")";
    throw failure;
}

bool FileExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

} // namespace

SoundThread::SoundThread(std::string name, std::string directory)
    : m_name(std::move(name)), m_directory(std::move(directory)), m_thread(this) {}

SoundThread::~SoundThread() {
    try {
        m_thread.ShutDown();
    } catch (Ex::Exception& e) {
        e.AddStackFrame(EX_FRAME);
        e.LogNoThrow("Glm::SoundThread::~SoundThread");
    }
}

void SoundThread::Start() {
    m_thread.Start();
}

void SoundThread::ShutDown() {
    m_thread.ShutDown();
}

std::string SoundThread::GetFilePath() const {
    return m_directory + "/" + m_name + ".WAV";
}

void SoundThread::Run() {
    m_startTime = Clock::now();
    try {
        // An empty name only stops a sound; with one sound at a time there is
        // never one left playing here.
        if (!m_name.empty()) {
            const std::string path = GetFilePath();
            ExtractIfMissing(path);
            PlayFile(path);
        }
    } catch (Ex::Exception& e) {
        e.AddStackFrame(EX_FRAME);
        e.LogNoThrow("Glm::SoundThread::Run");
    } catch (const std::exception& caught) {
        Ex::StlException e(caught);
        e.AddStackFrame(EX_FRAME);
        e.LogNoThrow("Glm::SoundThread::Run");
    } catch (...) {
        try {
            Ex::GetLogger()->Log("Call to PlaySound failed with (" + std::to_string(errno) + ")");
        } catch (...) {
            // Nothing more can be done about a log that fails here.
        }
    }
    m_endTime = Clock::now();
}

void SoundThread::ExtractIfMissing(const std::string& path) const {
    if (FileExists(path)) {
        return;
    }
    // The sounds live in the program; a copy in the application directory is
    // what gets played, and it is made again whenever it has gone.
    Mod::ExtractResourceToDisk(m_name, "WAV", path);
}

void SoundThread::PlayFile(const std::string& path) {
    SF_INFO info{};
    std::unique_ptr<SNDFILE, SndFileCloser> file(sf_open(path.c_str(), SFM_READ, &info));
    if (!file) {
        Win32::Win32Exception failure("sf_open(" + path + ")", static_cast<std::uint32_t>(sf_error(nullptr)));
        failure.Message() << " (" << sf_strerror(nullptr) << ")";
        throw failure;
    }
    snd_pcm_t* rawPcm = nullptr;
    int result = snd_pcm_open(&rawPcm, "default", SND_PCM_STREAM_PLAYBACK, 0);
    if (result < 0) {
        ThrowAlsa("snd_pcm_open(default)", result);
    }
    std::unique_ptr<snd_pcm_t, PcmCloser> pcm(rawPcm);
    result = snd_pcm_set_params(pcm.get(), SND_PCM_FORMAT_S16, SND_PCM_ACCESS_RW_INTERLEAVED,
                                static_cast<unsigned>(info.channels), static_cast<unsigned>(info.samplerate),
                                1, 100000);
    if (result < 0) {
        ThrowAlsa("snd_pcm_set_params", result);
    }
    constexpr sf_count_t kChunkFrames = 1024;
    std::vector<short> samples(static_cast<std::size_t>(kChunkFrames * info.channels));
    for (;;) {
        const sf_count_t read = sf_readf_short(file.get(), samples.data(), kChunkFrames);
        if (read <= 0) {
            break;
        }
        sf_count_t offset = 0;
        while (offset < read) {
            const snd_pcm_sframes_t written =
                snd_pcm_writei(pcm.get(), samples.data() + offset * info.channels,
                               static_cast<snd_pcm_uframes_t>(read - offset));
            if (written < 0) {
                // An underrun between two chunks is recoverable; anything else
                // ends this sound.
                const int recovered = snd_pcm_recover(pcm.get(), static_cast<int>(written), 1);
                if (recovered < 0) {
                    ThrowAlsa("snd_pcm_writei", recovered);
                }
                continue;
            }
            offset += written;
            m_framesPlayed += written;
        }
    }
    snd_pcm_drain(pcm.get());
}

} // namespace Glm
