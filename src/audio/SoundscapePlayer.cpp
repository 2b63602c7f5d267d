// SPDX-License-Identifier: MIT
#include "audio/SoundscapePlayer.h"

#include "audio/Values.h"

#include <algorithm>

namespace tonvale {

SoundscapeSchedule::SoundscapeSchedule(const std::vector<MixRandomBlock>& blocks, std::uint32_t seed)
    : m_blocks(blocks), m_random(seed) {
    m_next.reserve(blocks.size());
    for (const MixRandomBlock& block : blocks)
        m_next.push_back(drawDelay(block));
}

std::uint32_t SoundscapeSchedule::drawDelay(const MixRandomBlock& block) {
    const std::uint32_t span = block.delayMaxMs - block.delayMinMs;
    return block.delayMinMs + static_cast<std::uint32_t>(m_random.below(static_cast<int>(span) + 1));
}

std::optional<std::uint64_t> SoundscapeSchedule::nextMs() const {
    if (m_next.empty())
        return std::nullopt;
    return *std::min_element(m_next.begin(), m_next.end());
}

std::optional<RandomStart> SoundscapeSchedule::takeDue(std::uint64_t nowMs) {
    if (m_next.empty())
        return std::nullopt;
    const auto first = std::min_element(m_next.begin(), m_next.end()); // the lowest index at equal times
    if (*first > nowMs)
        return std::nullopt;
    RandomStart s;
    s.ms = *first;
    s.block = static_cast<int>(first - m_next.begin());
    const MixRandomBlock& block = m_blocks[static_cast<std::size_t>(s.block)];
    *first += drawDelay(block);
    s.wave = m_random.below(static_cast<int>(block.waves.size()));
    s.volume = block.volumeMin +
               (block.volumeMax - block.volumeMin) * static_cast<float>(m_random.below(1001)) / 1000.0f;
    s.pitch = block.pitchMin + m_random.below(block.pitchMax - block.pitchMin + 1);
    return s;
}

std::vector<RandomStart> SoundscapeSchedule::predict(const std::vector<MixRandomBlock>& blocks,
                                                     std::uint32_t seed, std::uint64_t untilMs) {
    std::vector<RandomStart> out;
    if (untilMs == 0)
        return out;
    SoundscapeSchedule schedule(blocks, seed);
    while (std::optional<RandomStart> s = schedule.takeDue(untilMs - 1))
        out.push_back(*s);
    return out;
}

SoundscapePlayer::SoundscapePlayer(AudioEngine& audio) : m_audio(audio) {}

SoundscapePlayer::~SoundscapePlayer() {
    stop();
}

void SoundscapePlayer::setMix(SoundscapeMix mix) {
    stop();
    m_source = std::move(mix);
    m_mix = m_source;
}

bool SoundscapePlayer::openLoops() {
    std::vector<MixLoop> kept;
    for (MixLoop& loop : m_mix.loops) {
        const AudioChannel decoded = m_audio.openStream(loop.wave.path, true, true, true);
        const AudioChannel channel = decoded ? m_audio.createPlaybackChannel(decoded, true, true) : 0;
        if (channel == 0) {
            if (decoded)
                m_audio.freeChannel(decoded);
            m_mix.problems.push_back({MixProblemKind::UndecodableWave, loop.soundscape, loop.wave.value});
            continue;
        }
        m_audio.setVolume(channel, loop.volume);
        m_audio.setPitch(channel, m_audio.channelFrequency(channel), loop.pitch);
        m_loopChannels.push_back(channel);
        kept.push_back(std::move(loop));
    }
    m_mix.loops = std::move(kept);
    return !m_mix.loops.empty();
}

void SoundscapePlayer::openRandomWaves() {
    std::vector<MixRandomBlock> kept;
    for (MixRandomBlock& block : m_mix.randoms) {
        std::vector<MixWave> waves;
        std::vector<AudioChannel> channels;
        for (MixWave& wave : block.waves) {
            const AudioChannel decoded = m_audio.openStream(wave.path, true, false, true);
            if (decoded == 0) {
                m_mix.problems.push_back({MixProblemKind::UndecodableWave, block.soundscape, wave.value});
                continue;
            }
            channels.push_back(decoded);
            waves.push_back(std::move(wave));
        }
        if (waves.empty())
            continue;
        block.waves = std::move(waves);
        m_decoded.push_back(std::move(channels));
        kept.push_back(std::move(block));
    }
    m_mix.randoms = std::move(kept);
}

bool SoundscapePlayer::start(std::uint32_t seed) {
    stop();
    m_mix = m_source;
    if (!m_audio.initialised())
        return false;
    openLoops();
    openRandomWaves();
    if (!m_mix.hasSounds()) {
        stop();
        return false;
    }
    m_schedule.emplace(m_mix.randoms, seed);
    for (AudioChannel channel : m_loopChannels)
        m_audio.playChannel(channel);
    m_startedAt = std::chrono::steady_clock::now();
    m_nowMs = 0;
    m_playing = true;
    return true;
}

void SoundscapePlayer::stop() {
    for (const Voice& v : m_voices)
        m_audio.freeChannel(v.channel);
    for (AudioChannel channel : m_loopChannels)
        m_audio.freeChannel(channel);
    for (const auto& block : m_decoded)
        for (AudioChannel channel : block)
            m_audio.freeChannel(channel);
    m_voices.clear();
    m_loopChannels.clear();
    m_decoded.clear();
    m_schedule.reset();
    m_starts.clear();
    m_playing = false;
}

std::uint64_t SoundscapePlayer::elapsedMs() const {
    if (!m_playing)
        return 0;
    const auto elapsed = std::chrono::steady_clock::now() - m_startedAt;
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

void SoundscapePlayer::tick() {
    tickAt(elapsedMs());
}

void SoundscapePlayer::tickAt(std::uint64_t nowMs) {
    if (!m_playing || !m_schedule)
        return;
    m_nowMs = std::max(m_nowMs, nowMs);
    while (std::optional<RandomStart> s = m_schedule->takeDue(nowMs))
        if (nowMs - s->ms <= LateStartMs)
            fire(*s);
}

void SoundscapePlayer::advanceTo(std::uint64_t ms) {
    if (!m_playing || !m_schedule)
        return;
    m_nowMs = std::max(m_nowMs, ms);
    while (std::optional<RandomStart> s = m_schedule->takeDue(ms))
        fire(*s);
}

std::optional<std::uint64_t> SoundscapePlayer::nextStartMs() const {
    return m_schedule ? m_schedule->nextMs() : std::nullopt;
}

std::optional<std::uint64_t> SoundscapePlayer::msUntilNextStart() const {
    const std::optional<std::uint64_t> next = nextStartMs();
    if (!next)
        return std::nullopt;
    const std::uint64_t now = elapsedMs();
    return *next > now ? *next - now : 0;
}

AudioChannel SoundscapePlayer::voiceFor(int block, int wave) {
    const AudioChannel decoded = m_decoded[static_cast<std::size_t>(block)][static_cast<std::size_t>(wave)];
    auto idle = std::find_if(m_voices.begin(), m_voices.end(), [&](const Voice& v) {
        return v.block == block && v.wave == wave && !m_audio.isPlaying(v.channel);
    });
    if (idle != m_voices.end())
        return idle->channel;
    if (m_voices.size() >= MaxVoices) {
        // Give up a finished voice of another wave, else cut off the oldest one.
        auto victim = std::find_if(m_voices.begin(), m_voices.end(),
                                   [&](const Voice& v) { return !m_audio.isPlaying(v.channel); });
        if (victim == m_voices.end())
            victim = std::min_element(m_voices.begin(), m_voices.end(), [](const Voice& a, const Voice& b) {
                return a.startedMs < b.startedMs;
            });
        m_audio.freeChannel(victim->channel);
        m_voices.erase(victim);
    }
    const AudioChannel channel = m_audio.createPlaybackChannel(decoded, false, false);
    if (channel == 0)
        return 0;
    Voice v;
    v.channel = channel;
    v.block = block;
    v.wave = wave;
    m_voices.push_back(v);
    return channel;
}

void SoundscapePlayer::fire(const RandomStart& start) {
    const AudioChannel channel = voiceFor(start.block, start.wave);
    if (channel == 0)
        return;
    m_audio.setVolume(channel, start.volume);
    m_audio.setPitch(channel, m_audio.channelFrequency(channel), start.pitch);
    m_audio.playChannel(channel);
    for (Voice& v : m_voices)
        if (v.channel == channel) {
            v.startedMs = start.ms;
            v.volume = start.volume;
            v.pitch = start.pitch;
        }
    m_starts.push_back(start);
}

std::vector<PlayingSound> SoundscapePlayer::nowPlaying() const {
    std::vector<PlayingSound> out;
    if (!m_playing)
        return out;
    for (const MixLoop& loop : m_mix.loops)
        out.push_back({true, loop.soundscape, fileNamePart(loop.wave.value), loop.volume, loop.pitch});
    std::vector<const Voice*> sounding;
    for (const Voice& v : m_voices)
        if (m_audio.isPlaying(v.channel))
            sounding.push_back(&v);
    std::sort(sounding.begin(), sounding.end(),
              [](const Voice* a, const Voice* b) { return a->startedMs < b->startedMs; });
    for (const Voice* v : sounding) {
        const MixRandomBlock& block = m_mix.randoms[static_cast<std::size_t>(v->block)];
        out.push_back({false, block.soundscape,
                       fileNamePart(block.waves[static_cast<std::size_t>(v->wave)].value), v->volume,
                       v->pitch});
    }
    return out;
}

std::string SoundscapePlayer::statusText() const {
    std::string loops;
    std::string randoms;
    for (const PlayingSound& s : nowPlaying()) {
        if (s.looping) {
            loops += (loops.empty() ? "" : ", ") + s.file;
        } else {
            randoms +=
                (randoms.empty() ? "" : ", ") + ("[" + s.file + "] Volume = " + formatGeneral(s.volume, 3) +
                                                 ". Pitch = " + std::to_string(s.pitch));
        }
    }
    std::string text;
    if (!loops.empty())
        text += " Looping: " + loops;
    if (!randoms.empty())
        text += (text.empty() ? " " : "; ") + ("Random: " + randoms);
    return text;
}

std::size_t SoundscapePlayer::channelCount() const {
    std::size_t n = m_voices.size() + m_loopChannels.size();
    for (const auto& block : m_decoded)
        n += block.size();
    return n;
}

} // namespace tonvale
