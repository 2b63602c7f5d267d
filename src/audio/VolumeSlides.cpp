// SPDX-License-Identifier: MIT
#include "audio/VolumeSlides.h"

#include <algorithm>
#include <chrono>

namespace tonvale {

VolumeSlides::VolumeSlides(ApplyGain apply) : m_apply(std::move(apply)) {}

VolumeSlides::~VolumeSlides() {
    stopWorker();
}

void VolumeSlides::startWorker() {
    if (m_worker.joinable())
        return;
    {
        std::lock_guard lock(m_mutex);
        m_stop = false;
    }
    m_worker = std::thread([this] { run(); });
}

void VolumeSlides::stopWorker() {
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    if (m_worker.joinable())
        m_worker.join();
}

void VolumeSlides::start(unsigned source, float from, float to, double duration, double now) {
    {
        std::lock_guard lock(m_mutex);
        std::erase_if(m_slides, [source](const Slide& s) { return s.source == source; });
        m_slides.push_back(Slide{source, from, to, now, duration});
        m_apply(source, from);
    }
    m_wake.notify_all();
}

void VolumeSlides::cancel(unsigned source) {
    std::lock_guard lock(m_mutex);
    std::erase_if(m_slides, [source](const Slide& s) { return s.source == source; });
}

void VolumeSlides::clear() {
    std::lock_guard lock(m_mutex);
    m_slides.clear();
}

bool VolumeSlides::sliding(unsigned source) const {
    std::lock_guard lock(m_mutex);
    return std::any_of(m_slides.begin(), m_slides.end(),
                       [source](const Slide& s) { return s.source == source; });
}

void VolumeSlides::tick(double now) {
    std::lock_guard lock(m_mutex);
    tickLocked(now);
}

void VolumeSlides::tickLocked(double now) {
    for (const Slide& s : m_slides) {
        const double t = s.duration > 0 ? std::clamp((now - s.start) / s.duration, 0.0, 1.0) : 1.0;
        m_apply(s.source, static_cast<float>(s.from + (s.to - s.from) * t));
    }
    std::erase_if(m_slides, [now](const Slide& s) { return now - s.start >= s.duration; });
}

double VolumeSlides::steadyNow() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void VolumeSlides::run() {
    std::unique_lock lock(m_mutex);
    while (!m_stop) {
        if (m_slides.empty()) {
            // Idle: sleep until a slide starts, so a silent program costs no CPU.
            m_wake.wait(lock, [this] { return m_stop || !m_slides.empty(); });
            continue;
        }
        tickLocked(steadyNow());
        m_wake.wait_for(lock, std::chrono::milliseconds(10), [this] { return m_stop; });
    }
}

} // namespace tonvale
