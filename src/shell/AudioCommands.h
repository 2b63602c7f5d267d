// SPDX-License-Identifier: MIT
#pragma once

// The main window's audio: the grid's Play command (single-wave preview), the player panel command
// PlayerPanel and the master volume command MasterVolume. It owns the preview logic and the master volume
// window, which lives hidden for the whole run, and is the AudioHost of both and of the player
// panel: their messages go through the window's Prompts, GenVol lives in the window's settings
// (written to tnv.ini at exit), and a document change goes through the window's modified flag,
// which keeps the Save command in step.

#include "audiopanel/AudioHost.h"

#include <QObject>

namespace tonvale {

class AudioEngine;
class Prompts;
class MasterVolumeWindow;
class DocumentWindow;
class WavePreview;

class AudioCommands : public QObject, public AudioHost {
    Q_OBJECT
  public:
    AudioCommands(DocumentWindow& window, Prompts& prompts, AudioEngine& audio, QObject* parent = nullptr);
    ~AudioCommands() override;

    WavePreview& preview() const { return *m_preview; }
    MasterVolumeWindow* volumeWindow() const { return m_volume; }
    // While a preview plays, Play stays enabled so that the same command stops it.
    bool previewPlaying() const;

    // Command handlers.
    void togglePlay();
    void openPlayerPanel();
    void showMasterVolume();

    // AudioHost.
    void showMessage(const Message& message) override;
    int masterVolumeSetting() const override;
    void setMasterVolumeSetting(int value) override;
    void documentChanged() override;
    std::string renderFileName(const std::string& suggestedName) override;
    void editDocument(const std::function<void(TreeObserver* observer)>& edit) override;

  private:
    void showPreviewState();
    void stopPreviewForCell();
    void stopPreview();

    DocumentWindow& m_window;
    Prompts& m_prompts;
    AudioEngine& m_audio;
    WavePreview* m_preview = nullptr;
    MasterVolumeWindow* m_volume = nullptr;
};

} // namespace tonvale
