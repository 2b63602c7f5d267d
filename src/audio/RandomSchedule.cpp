// SPDX-License-Identifier: MIT
#include "audio/RandomSchedule.h"

#include "audio/Values.h"

#include <algorithm>
#include <chrono>

namespace tonvale {

ClockSeededRandom::ClockSeededRandom()
    : m_engine(
          static_cast<std::uint32_t>(std::chrono::high_resolution_clock::now().time_since_epoch().count())) {}

int ClockSeededRandom::below(int n) {
    if (n <= 1)
        return 0;
    return std::uniform_int_distribution<int>(0, n - 1)(m_engine);
}

int SeededRandom::below(int n) {
    if (n <= 1)
        return 0;
    const auto range = static_cast<std::uint32_t>(n);
    // The largest multiple of n that fits: draws at or above it would favour the low values.
    const std::uint32_t limit = 0xFFFFFFFFu - (0xFFFFFFFFu % range + 1) % range;
    std::uint32_t x = 0;
    do
        x = static_cast<std::uint32_t>(m_engine());
    while (x > limit);
    return static_cast<int>(x % range);
}

std::uint32_t SeededRandom::freshSeed() {
    std::random_device device;
    const auto clock =
        static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
    return device() ^ static_cast<std::uint32_t>(clock) ^ static_cast<std::uint32_t>(clock >> 32);
}

void RandomSchedule::buildTimeList(int startPos, int endPos) {
    const int n = startPos - endPos;
    m_timeList.clear();
    m_timeHigh = std::max(n, 0);
    for (int i = 0; i <= n; ++i)
        m_timeList.push_back(static_cast<std::uint32_t>(std::max(3001 - startPos + i, 0)) * 100u);
}

void RandomSchedule::buildVolumeList(int startPos, int endPos) {
    const int n = startPos - endPos;
    m_volList.clear();
    m_volHigh = std::max(n, 0);
    for (int i = 0; i <= n; ++i)
        m_volList.push_back((100 - startPos + i) / 100.0);
}

void RandomSchedule::buildPitchList(int startPos, int endPos) {
    const int n = startPos - endPos;
    m_pitchList.clear();
    m_pitchHigh = std::max(n, 0);
    for (int i = 0; i <= n; ++i)
        m_pitchList.push_back(250 - startPos + i);
}

std::optional<std::uint32_t> RandomSchedule::start() {
    if (m_timeList.empty() || m_volList.empty())
        return std::nullopt;
    m_curTime = draw(m_timeHigh);
    m_curVol = draw(m_volHigh);
    return m_timeList[static_cast<std::size_t>(m_curTime)];
}

std::optional<RandomDraw> RandomSchedule::next(int waveCount) {
    if (m_timeList.empty() || m_volList.empty() || m_pitchList.empty() || waveCount <= 0)
        return std::nullopt;
    RandomDraw d;
    m_curTime = draw(m_timeHigh);
    d.delayMs = m_timeList[static_cast<std::size_t>(m_curTime)];
    m_curWave = m_random.below(waveCount);
    d.wave = m_curWave;
    m_curVol = draw(m_volHigh);
    d.volume = m_volList[static_cast<std::size_t>(m_curVol)];
    m_curPitch = draw(m_pitchHigh);
    d.pitch = m_pitchList[static_cast<std::size_t>(m_curPitch)];
    return d;
}

namespace {

template <typename T> T entryOrLast(const std::vector<T>& list, int index, T fallback) {
    if (list.empty())
        return fallback;
    return list[static_cast<std::size_t>(std::clamp(index, 0, static_cast<int>(list.size()) - 1))];
}

} // namespace

std::string RandomSchedule::waitingText() const {
    const std::uint32_t delay = entryOrLast<std::uint32_t>(m_timeList, m_curTime, 0);
    const double volume = entryOrLast<double>(m_volList, m_curVol, 0.0);
    const int pitch = entryOrLast<int>(m_pitchList, m_curPitch, 100);
    return " Ожидание... через " + formatGeneral(delay / 1000.0, 5) +
           " сек. Volume = " + formatGeneral(volume, 3) + ". Pitch = " + std::to_string(pitch);
}

std::string RandomSchedule::playingText(const std::string& name, const RandomDraw& d) {
    return " [" + name + "] Volume = " + formatGeneral(d.volume, 3) + ". Pitch = " + std::to_string(d.pitch) +
           "; Ожидание... через " + formatGeneral(d.delayMs / 1000.0, 5) + " сек.";
}

} // namespace tonvale
