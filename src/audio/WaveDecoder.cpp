// SPDX-License-Identifier: MIT
#include "audio/WaveDecoder.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace tonvale {

namespace {

// One descriptor and one libsndfile handle on it, both closed on every path.
class SndFile {
  public:
    explicit SndFile(int fd) : m_fd(fd) {
        if (m_fd >= 0)
            m_file = sf_open_fd(m_fd, SFM_READ, &m_info, SF_FALSE);
    }
    ~SndFile() {
        if (m_file)
            sf_close(m_file);
        if (m_fd >= 0)
            ::close(m_fd);
    }
    SndFile(const SndFile&) = delete;
    SndFile& operator=(const SndFile&) = delete;
    SNDFILE* get() const { return m_file; }
    const SF_INFO& info() const { return m_info; }

  private:
    int m_fd;
    SF_INFO m_info{};
    SNDFILE* m_file = nullptr;
};

constexpr sf_count_t ChunkFrames = sf_count_t{1} << 14;

// A decoded value as a 16-bit sample: 16-bit files come back exactly, louder values clip.
std::int16_t toSample(float v) {
    if (std::isnan(v))
        return 0;
    return static_cast<std::int16_t>(std::lround(std::clamp(v * 32768.0f, -32768.0f, 32767.0f)));
}

const char* notRegularReason(mode_t mode) {
    return S_ISDIR(mode)                    ? "not a regular file but a folder"
           : S_ISFIFO(mode)                 ? "not a regular file but a named pipe"
           : S_ISCHR(mode) || S_ISBLK(mode) ? "not a regular file but a device"
           : S_ISSOCK(mode)                 ? "not a regular file but a socket"
                                            : "not a regular file but a special file";
}

// Opens a regular file for reading without blocking; -1 with `reason` set otherwise.
int openRegularFile(const std::string& path, std::string& reason) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        reason = std::strerror(errno);
        return -1;
    }
    if (!S_ISREG(st.st_mode)) {
        reason = notRegularReason(st.st_mode);
        return -1;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0 || ::fstat(fd, &st) != 0) {
        reason = std::strerror(errno);
        if (fd >= 0)
            ::close(fd);
        return -1;
    }
    if (!S_ISREG(st.st_mode)) { // replaced since it was looked at
        reason = notRegularReason(st.st_mode);
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

bool decodeWaveFile(const std::string& path, DecodedWave& wave, std::string& reason) {
    wave = DecodedWave{};
    reason.clear();
    SndFile file(openRegularFile(path, reason));
    if (!reason.empty())
        return false;
    if (!file.get()) {
        reason = std::string("not a sound file libsndfile can read: ") + sf_strerror(nullptr);
        return false;
    }
    const SF_INFO& info = file.info();
    // Header-only files report 0 frames; ADPCM files may report padding frames that decode to
    // nothing, so the count that matters is what the reads below deliver.
    if (info.frames <= 0) {
        reason = "the file holds no sound";
        return false;
    }
    if (info.channels <= 0 || info.channels > 64 || info.samplerate <= 0) {
        reason = "the file claims " + std::to_string(info.channels) + " channels at " +
                 std::to_string(info.samplerate) + " Hz";
        return false;
    }
    // Read as floats and converted here, clamped: float and compressed files (Ogg Vorbis, MP3) keep
    // their own level instead of being scaled to their peak, and values beyond full scale clip
    // instead of wrapping round.

    const auto channels = static_cast<std::size_t>(info.channels);
    const bool mixDown = channels > 2;
    // The cap counts samples, so a file with many channels cannot multiply it.
    const sf_count_t wanted = std::min(info.frames, static_cast<sf_count_t>(MaxDecodedSamples / channels));
    sf_count_t got = 0;
    try {
        // Decoded in chunks: memory grows with what the file really holds.
        std::vector<float> floats(static_cast<std::size_t>(ChunkFrames) * channels);
        std::vector<std::int16_t> chunk(floats.size());
        while (got < wanted) {
            const sf_count_t n =
                sf_readf_float(file.get(), floats.data(), std::min(ChunkFrames, wanted - got));
            if (n <= 0)
                break;
            const auto frames = static_cast<std::size_t>(n);
            std::transform(floats.begin(), floats.begin() + static_cast<std::ptrdiff_t>(frames * channels),
                           chunk.begin(), toSample);
            if (!mixDown) {
                wave.samples.insert(wave.samples.end(), chunk.begin(),
                                    chunk.begin() + static_cast<std::ptrdiff_t>(frames * channels));
            } else {
                for (std::size_t f = 0; f < frames; ++f) {
                    long sum = 0;
                    for (std::size_t c = 0; c < channels; ++c)
                        sum += chunk[f * channels + c];
                    wave.samples.push_back(static_cast<std::int16_t>(sum / static_cast<long>(channels)));
                }
            }
            got += n;
        }
    } catch (const std::bad_alloc&) {
        wave = DecodedWave{};
        reason = "not enough memory to decode the file";
        return false;
    }
    if (got <= 0) {
        wave = DecodedWave{};
        reason = "the file holds no sound";
        return false;
    }
    wave.channels = mixDown ? 1 : info.channels;
    wave.sampleRate = static_cast<std::uint32_t>(info.samplerate);
    wave.frames = got;
    return true;
}

std::vector<std::string> readableSoundExtensions() {
    std::vector<std::string> out;
    auto add = [&out](const std::string& extension) {
        if (!extension.empty() && std::find(out.begin(), out.end(), extension) == out.end())
            out.push_back(extension);
    };
    int count = 0;
    sf_command(nullptr, SFC_GET_FORMAT_MAJOR_COUNT, &count, sizeof count);
    std::vector<std::pair<int, std::string>> majors;
    for (int i = 0; i < count; ++i) {
        SF_FORMAT_INFO info{};
        info.format = i;
        if (sf_command(nullptr, SFC_GET_FORMAT_MAJOR, &info, sizeof info) == 0 && info.extension)
            majors.emplace_back(info.format & SF_FORMAT_TYPEMASK, info.extension);
    }
    auto has = [&majors](int format) {
        return std::any_of(majors.begin(), majors.end(),
                           [format](const auto& m) { return m.first == format; });
    };
    // The names files of a kind are known by, the common ones first, where libsndfile names only one.
    const std::pair<int, std::vector<std::string>> known[] = {
        {SF_FORMAT_WAV, {"wav"}},         {SF_FORMAT_MPEG, {"mp3"}},
        {SF_FORMAT_OGG, {"ogg"}},         {SF_FORMAT_FLAC, {"flac"}},
        {SF_FORMAT_MPEG, {"mp2", "mp1"}}, {SF_FORMAT_AIFF, {"aiff", "aif", "aifc"}},
        {SF_FORMAT_AU, {"au", "snd"}},
    };
    for (const auto& [format, extensions] : known)
        if (has(format))
            for (const std::string& e : extensions)
                add(e);
    for (const auto& [format, extension] : majors)
        if (format != SF_FORMAT_RAW)
            add(extension);
    return out;
}

} // namespace tonvale
