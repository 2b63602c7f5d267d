// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>

class QSlider;

namespace tonvale {

class AudioHost;
class AudioEngine;

// The master volume window: a small always-on-top tool window with one horizontal bar (left =
// silent, right = full). Showing it applies the stored GenVol; moving the bar stores GenVol, shows
// the volume in the caption and sets the audio layer's master volume. It lives for the whole run
// and is shown modeless.
class MasterVolumeWindow : public QDialog {
    Q_OBJECT
  public:
    MasterVolumeWindow(AudioEngine& audio, AudioHost& host, QWidget* parent = nullptr);

    QSlider* slider() const { return m_slider; }
    void applyVolume();

  protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    AudioEngine& m_audio;
    AudioHost& m_host;
    QSlider* m_slider;
};

} // namespace tonvale
