#pragma once

// The main window's audio: the grid's Play command (single-wave preview), the player panel command
// A_Play_SS and the master volume command A_Vol. It owns the preview logic and the master volume
// window, which lives hidden for the whole run, and is the AudioHost of both and of the player
// panel: their messages go through the window's Prompts, GenVol lives in the window's settings
// (written to tnv.ini at exit), and a document change goes through the window's modified flag,
// which keeps the Save command in step.

#include "audiopanel/AudioHost.h"

#include <QObject>

namespace tonvale {

class PlayingWav;
class Prompts;
class TfMainVolume;
class TfSsMain;
class WavePreview;

class AudioCommands : public QObject, public AudioHost {
    Q_OBJECT
public:
    AudioCommands(TfSsMain& window, Prompts& prompts, PlayingWav& audio);
    ~AudioCommands() override;

    WavePreview& preview() const { return *m_preview; }
    TfMainVolume* volumeWindow() const { return m_volume; }

    // Command handlers.
    void PlayExecute();
    void A_Play_SSExecute();
    void A_VolExecute();

    // AudioHost.
    void showMessage(const Message& message) override;
    int genVol() const override;
    void setGenVol(int value) override;
    void documentChanged() override;

private:
    void showPreviewState();
    void stopPreviewForCell();
    void stopPreview();

    TfSsMain& m_window;
    Prompts& m_prompts;
    PlayingWav& m_audio;
    WavePreview* m_preview = nullptr;
    TfMainVolume* m_volume = nullptr;
};

} // namespace tonvale
