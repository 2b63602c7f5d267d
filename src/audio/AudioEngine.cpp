// SPDX-License-Identifier: MIT
#include "audio/AudioEngine.h"

#include "audio/WaveDecoder.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>
#include <algorithm>
#include <filesystem>
#include <sndfile.h>
#include <system_error>

namespace tonvale {

namespace {

// An OpenAL buffer shared by a decode-only stream and the playback channel made from it; deleted
// when the last holder goes, after every source using it was deleted.
struct SharedBuffer {
    ALuint id = 0;
    SharedBuffer() = default;
    SharedBuffer(const SharedBuffer&) = delete;
    SharedBuffer& operator=(const SharedBuffer&) = delete;
    ~SharedBuffer() {
        if (id != 0)
            alDeleteBuffers(1, &id);
    }
};

bool fileExists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && std::filesystem::is_regular_file(std::filesystem::path(path), ec);
}

} // namespace

struct AudioEngine::Device {
    ALCdevice* device = nullptr;
    ALCcontext* context = nullptr;
    LPALCRENDERSAMPLESSOFT renderSamples = nullptr;
    PFNALCSETTHREADCONTEXTPROC setThreadContext = nullptr;
    PFNALCGETTHREADCONTEXTPROC getThreadContext = nullptr;
    ALCcontext* previousThreadContext = nullptr; // the thread's context before an offline engine took it
};

struct AudioEngine::Channel {
    std::shared_ptr<SharedBuffer> buffer;
    ALuint source = 0;            // 0 for a decode-only stream
    AudioChannel freesSource = 0; // the decode stream freed together with this channel
    std::uint32_t sampleRate = 0;
    std::int64_t frames = 0;
    bool decodeOnly = false;
};

AudioEngine::AudioEngine()
    : m_slides([](unsigned source, float gain) { alSourcef(source, AL_GAIN, gain); }) {}

AudioEngine::~AudioEngine() {
    shutdown();
}

bool AudioEngine::versionAccepted(int alcMajor, int alcMinor, std::string_view sndfileVersion) {
    constexpr std::string_view prefix = "libsndfile-1.";
    return alcMajor == 1 && alcMinor >= 1 && sndfileVersion.substr(0, prefix.size()) == prefix;
}

bool AudioEngine::versionSupported() {
    ALCint major = 0;
    ALCint minor = 0;
    alcGetIntegerv(nullptr, ALC_MAJOR_VERSION, 1, &major);
    alcGetIntegerv(nullptr, ALC_MINOR_VERSION, 1, &minor);
    const char* sndfile = sf_version_string();
    return versionAccepted(major, minor, sndfile ? sndfile : "");
}

bool AudioEngine::initialised() const {
    return m_device != nullptr;
}

bool AudioEngine::openContext(bool loopback, int sampleRate, int channels, bool threadLocal) {
    if (m_device) {
        m_lastError = AudioErrorAlreadyInit;
        return false;
    }
    if (channels != 1 && channels != 2) {
        m_lastError = AudioErrorParameter;
        return false;
    }
    auto dev = std::make_unique<Device>();
    if (threadLocal) {
        if (alcIsExtensionPresent(nullptr, "ALC_EXT_thread_local_context") != ALC_TRUE) {
            m_lastError = AudioErrorDriver;
            return false;
        }
        dev->setThreadContext =
            reinterpret_cast<PFNALCSETTHREADCONTEXTPROC>(alcGetProcAddress(nullptr, "alcSetThreadContext"));
        dev->getThreadContext =
            reinterpret_cast<PFNALCGETTHREADCONTEXTPROC>(alcGetProcAddress(nullptr, "alcGetThreadContext"));
        if (!dev->setThreadContext || !dev->getThreadContext) {
            m_lastError = AudioErrorDriver;
            return false;
        }
    }
    std::vector<ALCint> attrs;
    if (loopback) {
        if (alcIsExtensionPresent(nullptr, "ALC_SOFT_loopback") != ALC_TRUE) {
            m_lastError = AudioErrorDriver;
            return false;
        }
        auto openLoopback = reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(
            alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"));
        dev->renderSamples =
            reinterpret_cast<LPALCRENDERSAMPLESSOFT>(alcGetProcAddress(nullptr, "alcRenderSamplesSOFT"));
        if (!openLoopback || !dev->renderSamples) {
            m_lastError = AudioErrorDriver;
            return false;
        }
        dev->device = openLoopback(nullptr);
        attrs = {ALC_FORMAT_CHANNELS_SOFT,
                 channels == 2 ? ALC_STEREO_SOFT : ALC_MONO_SOFT,
                 ALC_FORMAT_TYPE_SOFT,
                 ALC_FLOAT_SOFT,
                 ALC_FREQUENCY,
                 sampleRate,
                 ALC_HRTF_SOFT,
                 ALC_FALSE,
                 ALC_OUTPUT_LIMITER_SOFT,
                 ALC_FALSE,
                 0};
    } else {
        dev->device = alcOpenDevice(nullptr);
        attrs = {ALC_FREQUENCY, sampleRate, 0};
    }
    if (!dev->device) {
        m_lastError = AudioErrorDevice;
        return false;
    }
    dev->context = alcCreateContext(dev->device, attrs.data());
    if (dev->context && threadLocal)
        dev->previousThreadContext = dev->getThreadContext();
    const bool current = dev->context && (threadLocal ? dev->setThreadContext(dev->context) == ALC_TRUE
                                                      : alcMakeContextCurrent(dev->context) == ALC_TRUE);
    if (!current) {
        if (dev->context)
            alcDestroyContext(dev->context);
        alcCloseDevice(dev->device);
        m_lastError = AudioErrorDriver;
        return false;
    }
    m_device = std::move(dev);
    m_loopback = loopback;
    m_sampleRate = sampleRate;
    m_outputChannels = loopback ? channels : 2;
    m_threadLocal = threadLocal;
    m_renderedFrames = 0;
    m_lastError = AudioOk;
    if (!loopback)
        m_slides.startWorker();
    return true;
}

bool AudioEngine::init(void* /*window*/) {
    return openContext(false, 44100, 2, false);
}

bool AudioEngine::initLoopback(int sampleRate, int channels) {
    return openContext(true, sampleRate, channels, false);
}

bool AudioEngine::initOffline(int sampleRate, int channels) {
    return openContext(true, sampleRate, channels, true);
}

void AudioEngine::leaveThread() {
    if (m_device && m_threadLocal)
        m_device->setThreadContext(m_device->previousThreadContext);
}

void AudioEngine::enterThread() {
    if (m_device && m_threadLocal)
        m_device->setThreadContext(m_device->context);
}

std::string AudioEngine::errorText(std::string_view message, int code) {
    return std::string(message) + "\r\n(Error code: " + std::to_string(code) + ")";
}

std::string AudioEngine::errorText(std::string_view message) const {
    return errorText(message, m_lastError);
}

void AudioEngine::shutdown() {
    releaseAll();
    m_slides.stopWorker();
    m_slides.clear();
    while (!m_channels.empty())
        freeChannel(m_channels.begin()->first);
    if (m_device) {
        if (m_threadLocal)
            m_device->setThreadContext(m_device->previousThreadContext);
        else if (alcGetCurrentContext() == m_device->context)
            alcMakeContextCurrent(nullptr);
        alcDestroyContext(m_device->context);
        alcCloseDevice(m_device->device);
        m_device.reset();
    }
    m_loopback = false;
    m_threadLocal = false;
}

AudioEngine::Channel* AudioEngine::find(AudioChannel channel) const {
    if (channel == 0)
        return nullptr;
    auto it = m_channels.find(channel);
    return it == m_channels.end() ? nullptr : it->second.get();
}

// Gives a channel its playing source: not positioned in space, looping or not, over the channel's buffer.
bool AudioEngine::attachSource(Channel& channel, bool loop) {
    alGetError();
    alGenSources(1, &channel.source);
    if (alGetError() != AL_NO_ERROR)
        return false;
    alSourcei(channel.source, AL_SOURCE_RELATIVE, AL_TRUE);
    alSource3f(channel.source, AL_POSITION, 0.0f, 0.0f, 0.0f);
    alSourcef(channel.source, AL_ROLLOFF_FACTOR, 0.0f);
    alSourcei(channel.source, AL_LOOPING, loop ? AL_TRUE : AL_FALSE);
    alSourcei(channel.source, AL_BUFFER, static_cast<ALint>(channel.buffer->id));
    return true;
}

AudioChannel AudioEngine::issue(std::unique_ptr<Channel> channel) {
    AudioChannel handle = m_nextHandle++;
    if (m_nextHandle == 0)
        m_nextHandle = 1;
    m_channels.emplace(handle, std::move(channel));
    return handle;
}

double AudioEngine::now() const {
    if (m_loopback)
        return static_cast<double>(m_renderedFrames) / m_sampleRate;
    return VolumeSlides::steadyNow();
}

AudioChannel AudioEngine::openStream(const std::string& path, bool decodeOnly, bool looping, bool asStereo) {
    m_lastErrorReason.clear();
    if (!m_device) {
        m_lastError = AudioErrorInit;
        return 0;
    }
    DecodedWave wave;
    if (!decodeWaveFile(path, wave, m_lastErrorReason)) {
        m_lastError = fileExists(path) ? AudioErrorFormat : AudioErrorFileOpen;
        return 0;
    }
    if (asStereo && wave.channels == 1) {
        std::vector<std::int16_t> both(wave.samples.size() * 2);
        for (std::size_t i = 0; i < wave.samples.size(); ++i)
            both[2 * i] = both[2 * i + 1] = wave.samples[i];
        wave.samples = std::move(both);
        wave.channels = 2;
    }
    auto channel = std::make_unique<Channel>();
    channel->buffer = std::make_shared<SharedBuffer>();
    alGetError();
    alGenBuffers(1, &channel->buffer->id);
    const ALenum format = wave.channels == 2 ? AL_FORMAT_STEREO16 : AL_FORMAT_MONO16;
    alBufferData(channel->buffer->id, format, wave.samples.data(),
                 static_cast<ALsizei>(wave.samples.size() * sizeof(std::int16_t)),
                 static_cast<ALsizei>(wave.sampleRate));
    if (alGetError() != AL_NO_ERROR) {
        m_lastError = AudioErrorFormat;
        return 0;
    }
    channel->sampleRate = wave.sampleRate;
    channel->frames = wave.frames;
    channel->decodeOnly = decodeOnly;
    if (!decodeOnly && !attachSource(*channel, looping)) {
        m_lastError = AudioErrorDriver;
        return 0;
    }
    m_lastError = AudioOk;
    return issue(std::move(channel));
}

AudioChannel AudioEngine::createPlaybackChannel(AudioChannel source, bool freeSource, bool looping) {
    Channel* from = find(source);
    if (!from || !from->decodeOnly) {
        m_lastError = AudioErrorHandle;
        return 0;
    }
    auto channel = std::make_unique<Channel>();
    channel->buffer = from->buffer;
    channel->sampleRate = from->sampleRate;
    channel->frames = from->frames;
    if (!attachSource(*channel, looping)) {
        m_lastError = AudioErrorDriver;
        return 0;
    }
    if (freeSource)
        channel->freesSource = source;
    m_lastError = AudioOk;
    return issue(std::move(channel));
}

bool AudioEngine::freeChannel(AudioChannel channel) {
    auto it = m_channels.find(channel);
    if (channel == 0 || it == m_channels.end()) {
        m_lastError = AudioErrorHandle;
        return false;
    }
    std::unique_ptr<Channel> owned = std::move(it->second);
    m_channels.erase(it);
    if (owned->source != 0) {
        m_slides.cancel(owned->source);
        alSourceStop(owned->source);
        alSourcei(owned->source, AL_BUFFER, 0);
        alDeleteSources(1, &owned->source);
    }
    if (owned->freesSource != 0)
        freeChannel(owned->freesSource);
    return true;
}

bool AudioEngine::openLoop() {
    if (!fileExists(loopingSound.path))
        return false;
    loopingSound.channel = openStream(loopingSound.path, true, true);
    if (loopingSound.channel == 0)
        return false;
    const AudioChannel decoded = loopingSound.channel;
    loopingSound.channel = createPlaybackChannel(decoded, true, true);
    if (loopingSound.channel == 0) {
        // No playable channel: report the failure instead of handing a dead handle to the panel.
        freeChannel(decoded);
        return false;
    }
    loopingSound.sampleRate = channelFrequency(loopingSound.channel);
    return true;
}

bool AudioEngine::openRandomWaves(const std::vector<std::string>& paths) {
    if (paths.empty())
        return false;
    for (AudioChannel ch : randomWaves.channels) {
        stopChannel(ch);
        freeChannel(ch);
    }
    randomWaves.channels.clear();
    randomWaves.names.clear();
    randomWaves.sampleRates.clear();
    for (const std::string& path : paths) {
        // One decode per wave: the decode-only stream is wrapped at once by a playback channel that
        // frees it, so nothing is opened twice.
        const AudioChannel decoded = openStream(path, true, false);
        if (decoded == 0)
            continue;
        const AudioChannel channel = createPlaybackChannel(decoded, true, false);
        if (channel == 0) {
            freeChannel(decoded);
            continue;
        }
        randomWaves.channels.push_back(channel);
        randomWaves.sampleRate = channelFrequency(channel);
        randomWaves.sampleRates.push_back(randomWaves.sampleRate);
        randomWaves.names.push_back(fileNamePart(path));
    }
    return !randomWaves.channels.empty();
}

void AudioEngine::releaseAll() {
    stopChannel(loopingSound.channel);
    stopChannel(previewChannel);
    freeChannel(previewChannel);
    freeChannel(loopingSound.channel);
    previewChannel = 0;
    loopingSound = LoopingSound{};
    randomRanges = RandomRanges{};
    for (AudioChannel ch : randomWaves.channels) {
        stopChannel(ch);
        freeChannel(ch);
    }
    randomWaves.channels.clear();
    randomWaves.names.clear();
    randomWaves.sampleRates.clear();
}

bool AudioEngine::playFile(const std::string& path) {
    stopChannel(previewChannel);
    freeChannel(previewChannel);
    previewChannel = openStream(path, false, false);
    if (previewChannel == 0)
        return false;
    playChannel(previewChannel);
    return true;
}

bool AudioEngine::playChannel(AudioChannel channel) {
    Channel* ch = find(channel);
    if (!ch || ch->source == 0) {
        m_lastError = ch ? AudioErrorNotPlayable : AudioErrorHandle;
        return false;
    }
    alGetError();
    alSourceRewind(ch->source);
    alSourcePlay(ch->source);
    return alGetError() == AL_NO_ERROR;
}

void AudioEngine::stopChannel(AudioChannel channel) {
    Channel* ch = find(channel);
    if (ch && ch->source != 0)
        alSourceStop(ch->source);
}

bool AudioEngine::isPlaying(AudioChannel channel) const {
    Channel* ch = find(channel);
    if (!ch || ch->source == 0)
        return false;
    ALint state = AL_STOPPED;
    alGetSourcei(ch->source, AL_SOURCE_STATE, &state);
    return state == AL_PLAYING;
}

bool AudioEngine::setVolume(AudioChannel channel, float value) {
    Channel* ch = find(channel);
    if (!ch || ch->source == 0 || !(value >= 0.0f))
        return false;
    // Setting the volume ends a slide that is still running.
    m_slides.cancel(ch->source);
    alSourcef(ch->source, AL_GAIN, value);
    return true;
}

bool AudioEngine::fadeInVolume(AudioChannel channel, float value) {
    Channel* ch = find(channel);
    if (!ch || ch->source == 0 || !(value >= 0.0f))
        return false;
    m_slides.start(ch->source, 0.0f, value, FadeInSeconds, now());
    return true;
}

std::uint32_t AudioEngine::pitchedFrequency(std::uint32_t sampleRate, std::int64_t pitch) {
    const std::uint32_t product = sampleRate * static_cast<std::uint32_t>(pitch);
    return product / 100u;
}

bool AudioEngine::setPitch(AudioChannel channel, std::uint32_t sampleRate, int pitch) {
    Channel* ch = find(channel);
    const std::uint32_t freq = pitchedFrequency(sampleRate, pitch);
    if (!ch || ch->source == 0 || ch->sampleRate == 0 || freq == 0) {
        m_lastError = AudioErrorParameter;
        return false;
    }
    alSourcef(ch->source, AL_PITCH, static_cast<float>(freq) / static_cast<float>(ch->sampleRate));
    return true;
}

std::uint32_t AudioEngine::channelFrequency(AudioChannel channel) const {
    Channel* ch = find(channel);
    return ch ? ch->sampleRate : 0;
}

float AudioEngine::lengthSeconds(AudioChannel channel) const {
    Channel* ch = find(channel);
    if (!ch || ch->sampleRate == 0)
        return 0.0f;
    return static_cast<float>(static_cast<double>(ch->frames) / ch->sampleRate);
}

bool AudioEngine::setMasterVolume(float value) {
    if (!m_device || !(value >= 0.0f && value <= 1.0f))
        return false;
    alListenerf(AL_GAIN, value);
    return true;
}

float AudioEngine::channelGain(AudioChannel channel) const {
    Channel* ch = find(channel);
    if (!ch || ch->source == 0)
        return 0.0f;
    ALfloat gain = 0.0f;
    alGetSourcef(ch->source, AL_GAIN, &gain);
    return gain;
}

float AudioEngine::masterVolume() const {
    if (!m_device)
        return 0.0f;
    ALfloat gain = 0.0f;
    alGetListenerf(AL_GAIN, &gain);
    return gain;
}

std::vector<float> AudioEngine::renderLoopback(std::size_t frames) {
    std::vector<float> out(frames * static_cast<std::size_t>(m_outputChannels), 0.0f);
    renderLoopback(out.data(), frames);
    return out;
}

void AudioEngine::renderLoopback(float* out, std::size_t frames) {
    if (!m_device || !m_loopback) {
        std::fill(out, out + frames * static_cast<std::size_t>(m_outputChannels), 0.0f);
        return;
    }
    // Slides advance on the rendered clock in 5 ms steps, like the worker does on the real clock.
    const std::size_t step = static_cast<std::size_t>(m_sampleRate) / 200;
    for (std::size_t done = 0; done < frames;) {
        const std::size_t n = std::min(step, frames - done);
        m_slides.tick(now());
        m_device->renderSamples(m_device->device, out + done * static_cast<std::size_t>(m_outputChannels),
                                static_cast<ALCsizei>(n));
        done += n;
        m_renderedFrames += n;
    }
}

std::string fileNamePart(std::string_view path) {
    const std::size_t pos = path.find_last_of("/\\:");
    return std::string(pos == std::string_view::npos ? path : path.substr(pos + 1));
}

} // namespace tonvale
