// SPDX-License-Identifier: MIT
#pragma once

// What the main window asks of the audio layer at start-up and shutdown, and the layer the previews
// play through. OpenAlAudio is the program's: the back-end's version, the default output device.
// NullAudio stands in where there is none (and in tests): it reports a correct version, starts
// without opening a device, and so every preview fails to open its sound.

#include "audio/AudioEngine.h"

#include <QString>

namespace tonvale {

class AudioOutput {
  public:
    virtual ~AudioOutput() = default;
    virtual bool versionOk() = 0; // the library is the version the program was built for
    virtual bool init() = 0;      // open the default output device
    virtual int errorCode() = 0;  // the library's code of the last failure
    virtual void free() = 0;      // stop every channel and release the device
    virtual AudioEngine& player() = 0;
};

class NullAudio : public AudioOutput {
  public:
    bool versionOk() override { return true; }
    bool init() override { return true; }
    int errorCode() override { return 0; }
    void free() override { m_player.shutdown(); }
    AudioEngine& player() override { return m_player; }

  private:
    AudioEngine m_player;
};

class OpenAlAudio : public AudioOutput {
  public:
    bool versionOk() override { return AudioEngine::versionSupported(); }
    bool init() override { return m_player.init(); }
    int errorCode() override { return m_player.lastError(); }
    void free() override { m_player.shutdown(); }
    AudioEngine& player() override { return m_player; }

  private:
    AudioEngine m_player;
};

// "<text>", CR LF, "(Error code: <code>)": the audio layer's own text.
inline QString audioErrorText(const QString& text, int code) {
    return QString::fromStdString(AudioEngine::errorText(text.toStdString(), code));
}

} // namespace tonvale
