// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <string>

namespace tonvale {

class AudioHost;
class AudioEngine;

// The single-wave preview of the parameter grid, as logic the main window hosts: the Play command's
// toggle state (its Tag, caption, hint and image index), the 300 ms stopTimer check that notices the
// end of the wave, and the text of status panel 2. The window shows the state after stateChanged
// and repaints its grid.
class WavePreview : public QObject {
    Q_OBJECT
  public:
    WavePreview(AudioEngine& audio, AudioHost& host, QObject* parent = nullptr);

    void setSoundDir(std::string soundDir) { m_soundDir = std::move(soundDir); }
    // The wave-found flag of the grid: whether the current row names an existing wave file.
    void setWaveFound(bool found) { m_waveFound = found; }

    // Starts the wave named by `cellValue` (the value cell, script bytes), or stops the preview.
    void togglePlay(const std::string& cellValue);
    void stop();
    void stopWhenFinished();

    int tag() const { return m_tag; }
    QString caption() const { return m_tag ? QStringLiteral("Stop") : QStringLiteral("Play"); }
    QString hint() const { return caption(); }
    int imageIndex() const { return m_tag ? 4 : 3; }
    bool enabled() const { return m_enabled; }
    QString statusText() const { return m_status; }
    QTimer& stopTimer() { return m_stopTimer; }

  signals:
    void stateChanged();

  private:
    AudioEngine& m_audio;
    AudioHost& m_host;
    std::string m_soundDir;
    QTimer m_stopTimer;
    QString m_status;
    int m_tag = 0;
    bool m_waveFound = true;
    bool m_enabled = true;
};

// The wave chooser's filter: every sound file the decoder reads ("Файлы звуков"), then WAV alone.
QString soundFileFilter();

} // namespace tonvale
