// SPDX-License-Identifier: MIT
#include "audio/SoundscapeRender.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <random>
#include <sndfile.h>
#include <system_error>

namespace tonvale {

namespace fs = std::filesystem;

namespace {

constexpr int OutputChannels = 2;
constexpr std::uint64_t BlockFrames = 4096;

// Receives rendered frames; false stops the render as failed.
using FrameSink = std::function<bool(const float* interleaved, std::size_t frames)>;

RenderResult render(const SoundscapeMix& mix, const RenderSettings& settings, const FrameSink& sink,
                    const RenderProgress& progress) {
    RenderResult result;
    if (!(settings.seconds > 0.0 && settings.seconds <= MaxRenderSeconds) ||
        settings.sampleRate < MinRenderRate || settings.sampleRate > MaxRenderRate) {
        result.error = "length or rate out of range";
        return result;
    }
    AudioEngine audio;
    if (!audio.initOffline(settings.sampleRate, OutputChannels)) {
        result.error = audio.errorText("The audio back-end cannot render");
        return result;
    }
    const auto rate = static_cast<std::uint64_t>(settings.sampleRate);
    const auto total = static_cast<std::uint64_t>(std::llround(settings.seconds * settings.sampleRate));
    const std::uint64_t reportEvery = std::max<std::uint64_t>(rate / 4, 1);
    auto frameOf = [rate](std::uint64_t ms) { return ms * rate / 1000; };

    SoundscapePlayer player(audio);
    player.setMix(mix);
    player.start(settings.seed);
    std::vector<float> block(BlockFrames * OutputChannels);
    std::uint64_t frame = 0;
    std::uint64_t nextReport = reportEvery;
    result.outcome = RenderOutcome::Written;
    while (frame < total) {
        std::optional<std::uint64_t> next = player.nextStartMs();
        while (next && frameOf(*next) <= frame) {
            player.advanceTo(*next);
            next = player.nextStartMs();
        }
        std::uint64_t until = std::min(total, frame + BlockFrames);
        if (next)
            until = std::min(until, frameOf(*next));
        const auto n = static_cast<std::size_t>(until - frame);
        audio.renderLoopback(block.data(), n);
        if (!sink(block.data(), n)) {
            result.outcome = RenderOutcome::WriteFailed;
            break;
        }
        frame = until;
        if (progress && (frame >= nextReport || frame == total)) {
            nextReport = frame + reportEvery;
            audio.leaveThread();
            const bool goOn = progress(static_cast<double>(frame) / static_cast<double>(total));
            audio.enterThread();
            if (!goOn) {
                result.outcome = RenderOutcome::Cancelled;
                break;
            }
        }
    }
    result.frames = frame;
    result.problems = player.problems();
    result.starts = player.starts();
    player.stop();
    return result;
}

// A libsndfile output file, closed on every path.
class WaveWriter {
  public:
    WaveWriter(const std::string& path, int rate) {
        SF_INFO info{};
        info.samplerate = rate;
        info.channels = OutputChannels;
        info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
        m_file = sf_open(path.c_str(), SFM_WRITE, &info);
        if (!m_file)
            m_error = sf_strerror(nullptr);
    }
    ~WaveWriter() { close(); }
    WaveWriter(const WaveWriter&) = delete;
    WaveWriter& operator=(const WaveWriter&) = delete;

    bool open() const { return m_file != nullptr; }
    bool write(const float* samples, std::size_t frames) {
        m_pcm.resize(frames * OutputChannels);
        std::transform(samples, samples + m_pcm.size(), m_pcm.begin(), toPcm16);
        const auto wanted = static_cast<sf_count_t>(frames);
        if (sf_writef_short(m_file, m_pcm.data(), wanted) != wanted) {
            m_error = sf_strerror(m_file);
            return false;
        }
        return true;
    }
    bool close() {
        if (!m_file)
            return m_error.empty();
        const int rc = sf_close(m_file);
        m_file = nullptr;
        if (rc != 0 && m_error.empty())
            m_error = sf_error_number(rc);
        return m_error.empty();
    }
    const std::string& error() const { return m_error; }

  private:
    SNDFILE* m_file = nullptr;
    std::string m_error;
    std::vector<short> m_pcm;
};

} // namespace

std::int16_t toPcm16(float value) {
    const float v = std::isnan(value) ? 0.0f : std::clamp(value, -1.0f, 1.0f);
    return static_cast<std::int16_t>(std::lround(v * 32767.0f));
}

RenderResult renderSoundscapeSamples(const SoundscapeMix& mix, const RenderSettings& settings,
                                     std::vector<float>& samples, const RenderProgress& progress) {
    samples.clear();
    return render(
        mix, settings,
        [&samples](const float* data, std::size_t frames) {
            samples.insert(samples.end(), data, data + frames * OutputChannels);
            return true;
        },
        progress);
}

RenderResult renderSoundscape(const SoundscapeMix& mix, const RenderSettings& settings,
                              const std::string& path, const RenderProgress& progress) {
    const fs::path target(path);
    std::error_code ec;
    if (path.empty() || fs::is_directory(target, ec)) {
        RenderResult result;
        result.outcome = RenderOutcome::WriteFailed;
        result.error = path.empty() ? "no file name" : "is a folder";
        return result;
    }
    std::random_device seed;
    const fs::path temp = target.parent_path() /
                          (".~" + target.filename().string() + ".tmp" + std::to_string(seed() % 1000000));
    RenderResult result;
    {
        WaveWriter writer(temp.string(), settings.sampleRate);
        if (!writer.open()) {
            result.outcome = RenderOutcome::WriteFailed;
            result.error = writer.error();
            return result;
        }
        result = render(
            mix, settings,
            [&writer](const float* data, std::size_t frames) { return writer.write(data, frames); },
            progress);
        if (!writer.close() && result.outcome == RenderOutcome::Written)
            result.outcome = RenderOutcome::WriteFailed;
        if (result.outcome == RenderOutcome::WriteFailed)
            result.error = writer.error();
    }
    if (result.outcome == RenderOutcome::Written) {
        fs::rename(temp, target, ec);
        if (ec) {
            result.outcome = RenderOutcome::WriteFailed;
            result.error = ec.message();
        }
    }
    if (result.outcome != RenderOutcome::Written)
        fs::remove(temp, ec);
    return result;
}

} // namespace tonvale
