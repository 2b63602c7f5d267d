// SPDX-License-Identifier: MIT
#pragma once

#include "audio/VolumeSlides.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tonvale {

// A channel handle: 0 means no channel and is what a failed open returns.
using AudioChannel = std::uint32_t;

// The looping sound of the player.
struct LoopingSound {
    std::string path; // full path of the looping wave file
    AudioChannel channel = 0;
    float volume = 0.0f;          // 0.0 to 1.0
    std::int32_t pitch = 100;     // percent, 100 = unchanged speed
    std::uint32_t sampleRate = 0; // sample rate of channel in Hz
};

// The random waves of the player, index-aligned.
struct RandomWaveList {
    std::vector<AudioChannel> channels;
    std::vector<std::string> names;         // file name (no folder) of each wave
    std::vector<std::uint32_t> sampleRates; // sample rate of each wave: each one is pitched from its own rate
    std::uint32_t sampleRate = 0;           // sample rate of the last wave opened
};

// The ranges of a soundscape's random part as bar positions and values. The time positions and the
// pitches are kept signed and unwrapped, so an out-of-range document value clamps to the nearest end
// of the bar instead of wrapping round to the far end.
struct RandomRanges {
    int timeStart = 0;
    int timeEnd = 0;
    float volumeStart = 0.0f;
    float volumeEnd = 0.0f;
    int pitchStart = 100;
    int pitchEnd = 100;
};

// Error codes reported by errorText.
enum AudioErrorCode : int {
    AudioOk = 0,
    AudioErrorFileOpen = 2,
    AudioErrorDriver = 3,
    AudioErrorHandle = 5,
    AudioErrorFormat = 6,
    AudioErrorInit = 8,
    AudioErrorAlreadyInit = 14,
    AudioErrorDevice = 23,
    AudioErrorNotPlayable = 38,
    AudioErrorParameter = 20,
};

// The audio output layer: the only code that talks to the sound back-end (OpenAL Soft for output,
// libsndfile for decoding). It issues 32-bit channel handles and owns the playback state the preview
// shares: loop, randomWaves, randomRanges and previewChannel. The analysis fills the state, the
// previews and the panels play through it. Calls come from the GUI thread only; the one thread of its
// own is the slide worker, which only sets source gains. Whether a sound still plays is polled.
// The program keeps one instance on its device (the back-end's current context is process-wide):
// open one such device at a time. Offline engines (initOffline) make their context current on their
// own thread only, so the renderer's engine can live beside the program's.
class AudioEngine {
  public:
    AudioEngine();
    ~AudioEngine();
    AudioEngine(const AudioEngine&) = delete;
    AudioEngine& operator=(const AudioEngine&) = delete;

    LoopingSound loopingSound;
    RandomWaveList randomWaves;
    RandomRanges randomRanges;
    AudioChannel previewChannel = 0;

    // True when the back-end is a version this program was built for (OpenAL 1.1 API, libsndfile 1.x).
    static bool versionSupported();
    static bool versionAccepted(int alcMajor, int alcMinor, std::string_view sndfileVersion);
    // Opens the default output device at 44100 Hz. `window` is accepted for symmetry with the
    // platform's window handle and not used.
    bool init(void* window = nullptr);
    // Opens a loopback device (32-bit float, mono or stereo) rendered with renderLoopback.
    bool initLoopback(int sampleRate = 44100, int channels = 1);
    // Opens a loopback device whose context is current on the calling thread only, so offline
    // rendering can run beside the program's own device, on that device's thread or another one.
    // Every later call on this engine comes from the same thread.
    bool initOffline(int sampleRate, int channels);
    // While an offline engine's thread runs other code (a progress report that may use the
    // program's device), its context steps aside and then comes back.
    void leaveThread();
    void enterThread();
    bool initialised() const;
    std::string errorText(std::string_view message) const;
    static std::string errorText(std::string_view message, int code);
    int lastError() const { return m_lastError; }
    // Why the last file that was opened could not be decoded (the decoder's words, with no file name);
    // empty when the last open decoded its file.
    const std::string& lastErrorReason() const { return m_lastErrorReason; }
    void shutdown();

    bool openLoop();
    bool openRandomWaves(const std::vector<std::string>& paths);
    void releaseAll();
    bool playFile(const std::string& path);

    bool playChannel(AudioChannel channel);
    void stopChannel(AudioChannel channel);
    bool isPlaying(AudioChannel channel) const;
    bool setVolume(AudioChannel channel, float value);
    bool fadeInVolume(AudioChannel channel, float value);
    bool setPitch(AudioChannel channel, std::uint32_t sampleRate, int pitch);
    static std::uint32_t pitchedFrequency(std::uint32_t sampleRate, std::int64_t pitch);
    std::uint32_t channelFrequency(AudioChannel channel) const;
    float lengthSeconds(AudioChannel channel) const;
    bool setMasterVolume(float value);

    // Stream building blocks. A decode-only stream holds the decoded data and cannot play; a playback
    // channel made from it plays, loops if asked, takes a playback frequency, and frees its source
    // when asked to.
    // `asStereo` plays a mono file as two equal channels, so it reaches both sides of a stereo
    // output at its own level instead of being panned to the centre.
    AudioChannel openStream(const std::string& path, bool decodeOnly, bool looping, bool asStereo = false);
    AudioChannel createPlaybackChannel(AudioChannel source, bool freeSource, bool looping);
    bool freeChannel(AudioChannel channel);

    // Loopback devices: renders `frames` frames (interleaved when stereo) and advances the slides by
    // the same time.
    std::vector<float> renderLoopback(std::size_t frames);
    void renderLoopback(float* out, std::size_t frames);
    int outputChannels() const { return m_outputChannels; }
    bool isLoopback() const { return m_loopback; }
    std::size_t liveChannelCount() const { return m_channels.size(); }
    float channelGain(AudioChannel channel) const;
    float masterVolume() const;

    static constexpr double FadeInSeconds = 1.010;

  private:
    struct Channel;
    Channel* find(AudioChannel channel) const;
    AudioChannel issue(std::unique_ptr<Channel> channel);
    static bool attachSource(Channel& channel, bool loop);
    bool openContext(bool loopback, int sampleRate, int channels, bool threadLocal);
    double now() const;

    struct Device;
    std::unique_ptr<Device> m_device;
    std::map<AudioChannel, std::unique_ptr<Channel>> m_channels;
    AudioChannel m_nextHandle = 1;
    int m_lastError = AudioOk;
    std::string m_lastErrorReason;
    bool m_loopback = false;
    int m_sampleRate = 44100;
    int m_outputChannels = 1;
    bool m_threadLocal = false;
    std::uint64_t m_renderedFrames = 0;
    VolumeSlides m_slides;
};

// The file-name part of a path: the text after the last "/", "\" or ":".
std::string fileNamePart(std::string_view path);

} // namespace tonvale
