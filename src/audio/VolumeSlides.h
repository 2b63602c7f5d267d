// SPDX-License-Identifier: MIT
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace tonvale {

// Volume slides of playing channels (the fade-in). Each slide moves a source's gain linearly from one
// value to another over a duration. With a real device a small worker thread advances the slides
// every 10 ms on the steady clock; on a loopback device the layer advances them itself from the
// rendered sample clock, so tests see exact envelopes. The apply function sets one source's gain.
class VolumeSlides {
  public:
    using ApplyGain = std::function<void(unsigned source, float gain)>;

    explicit VolumeSlides(ApplyGain apply);
    ~VolumeSlides();
    VolumeSlides(const VolumeSlides&) = delete;
    VolumeSlides& operator=(const VolumeSlides&) = delete;

    // Starts the worker thread (real devices only); stopWorker ends it.
    void startWorker();
    void stopWorker();
    bool workerRunning() const { return m_worker.joinable(); }

    // Replaces any slide of `source`. Times are in seconds on the caller's clock.
    void start(unsigned source, float from, float to, double duration, double now);
    void cancel(unsigned source);
    void clear();
    bool sliding(unsigned source) const;
    // Applies the gains at time `now` and drops finished slides (their final gain applied).
    void tick(double now);

    static double steadyNow();

  private:
    struct Slide {
        unsigned source;
        float from;
        float to;
        double start;
        double duration;
    };
    void tickLocked(double now);
    void run();

    ApplyGain m_apply;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::vector<Slide> m_slides;
    std::thread m_worker;
    bool m_stop = false;
};

} // namespace tonvale
