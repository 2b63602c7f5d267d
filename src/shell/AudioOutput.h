#pragma once

// What the main window asks of the audio layer at start-up and shutdown. The audio layer implements
// it; NullAudio stands in where there is none (and in tests): it reports a correct version, starts
// without a device and plays nothing.

#include <QString>

namespace tonvale {

class AudioOutput {
public:
    virtual ~AudioOutput() = default;
    virtual bool versionOk() = 0;  // the library is the version the program was built for
    virtual bool init() = 0;       // open the default output device
    virtual int errorCode() = 0;   // the library's code of the last failure
    virtual void free() = 0;       // stop every channel and release the device
    virtual bool previewPlaying() { return false; }
    virtual void stopPreview() {}
};

class NullAudio : public AudioOutput {
public:
    bool versionOk() override { return true; }
    bool init() override { return true; }
    int errorCode() override { return 0; }
    void free() override {}
};

// "<text>", a line break, "(Error code: <code>)".
inline QString audioErrorText(const QString& text, int code) {
    return text + QStringLiteral("\n(Error code: ") + QString::number(code) + QLatin1Char(')');
}

} // namespace tonvale
