#include "audio/WaveDecoder.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <sndfile.h>

namespace tonvale {

namespace {

// One libsndfile handle, closed on every path.
class SndFile {
  public:
    explicit SndFile(const std::string& path) { m_file = sf_open(path.c_str(), SFM_READ, &m_info); }
    ~SndFile() {
        if (m_file)
            sf_close(m_file);
    }
    SndFile(const SndFile&) = delete;
    SndFile& operator=(const SndFile&) = delete;
    SNDFILE* get() const { return m_file; }
    const SF_INFO& info() const { return m_info; }

  private:
    SF_INFO m_info{};
    SNDFILE* m_file = nullptr;
};

// Frames beyond this are not decoded (about 50 minutes at 48 kHz): a corrupt header must not make
// the preview allocate gigabytes.
constexpr sf_count_t MaxFrames = sf_count_t{1} << 27;
constexpr sf_count_t BlockFrames = 65536;

// A decoded value as a 16-bit sample: 16-bit files come back exactly, louder values clip.
std::int16_t toSample(float v) {
    if (std::isnan(v))
        return 0;
    return static_cast<std::int16_t>(std::lround(std::clamp(v * 32768.0f, -32768.0f, 32767.0f)));
}

} // namespace

bool decodeWaveFile(const std::string& path, DecodedWave& wave) {
    wave = DecodedWave{};
    SndFile file(path);
    if (!file.get())
        return false;
    const SF_INFO& info = file.info();
    // Header-only files report 0 frames; ADPCM files may report padding frames that decode to
    // nothing, so the count that matters is what the reads below deliver.
    if (info.frames <= 0 || info.channels <= 0 || info.samplerate <= 0 || info.channels > 64)
        return false;
    // Read as floats and converted here, clamped: float and compressed files (Ogg Vorbis, MP3) keep
    // their own level instead of being scaled to their peak, and values beyond full scale clip
    // instead of wrapping round.
    const sf_count_t wanted = std::min(info.frames, MaxFrames);
    const auto channels = static_cast<std::size_t>(info.channels);
    std::vector<std::int16_t> raw;
    std::vector<float> block;
    try {
        raw.resize(static_cast<std::size_t>(wanted) * channels);
        block.resize(static_cast<std::size_t>(std::min<sf_count_t>(wanted, BlockFrames)) * channels);
    } catch (const std::bad_alloc&) {
        return false;
    }
    sf_count_t got = 0;
    while (got < wanted) {
        const sf_count_t n =
            sf_readf_float(file.get(), block.data(), std::min<sf_count_t>(wanted - got, BlockFrames));
        if (n <= 0)
            break;
        std::transform(block.begin(),
                       block.begin() + static_cast<std::ptrdiff_t>(static_cast<std::size_t>(n) * channels),
                       raw.begin() + static_cast<std::ptrdiff_t>(static_cast<std::size_t>(got) * channels),
                       toSample);
        got += n;
    }
    if (got <= 0)
        return false;
    raw.resize(static_cast<std::size_t>(got) * channels);

    if (channels <= 2) {
        wave.samples = std::move(raw);
        wave.channels = info.channels;
    } else {
        wave.samples.resize(static_cast<std::size_t>(got));
        for (std::size_t f = 0; f < static_cast<std::size_t>(got); ++f) {
            long sum = 0;
            for (std::size_t c = 0; c < channels; ++c)
                sum += raw[f * channels + c];
            wave.samples[f] = static_cast<std::int16_t>(sum / static_cast<long>(channels));
        }
        wave.channels = 1;
    }
    wave.sampleRate = static_cast<std::uint32_t>(info.samplerate);
    wave.frames = got;
    return true;
}

} // namespace tonvale
