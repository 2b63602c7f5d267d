// SPDX-License-Identifier: MIT
#pragma once

#include "audio/RandomSchedule.h"

#include <QDialog>
#include <QTimer>
#include <array>
#include <memory>
#include <string>

class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

namespace tonvale {

class AudioHost;
class Node;
class PlayerStatusBar;
class AudioEngine;
class SectionTree;
class TrackBar;

// The soundscape player panel. It plays the soundscape the analysis gathered into the audio layer
// (loop, randomWaves, randomRanges): the loop continuously, the random waves one after another on
// the schedule drawn from the candidate lists. Nine bars with an edit box each are its editing
// surface; every bar change runs onBarMoved, which updates the edit box, the audio and the
// lists. "Применить" writes the edit boxes' texts into the soundscape's Value fields through the
// document's edit functions and tells the host. Created per showing, modal, destroyed after.
class PlayerPanel : public QDialog {
    Q_OBJECT
  public:
    // `random` replaces the clock-seeded generator (tests); the panel does not own it.
    PlayerPanel(SectionTree& tree, Node* soundscape, AudioEngine& audio, AudioHost& host,
                QWidget* parent = nullptr, RandomSource* random = nullptr);
    ~PlayerPanel() override;

    bool applied() const { return m_applied; }
    bool loopGroupVisible() const { return m_loopVisible; }
    bool randGroupVisible() const { return m_randVisible; }
    TrackBar* bar(int tag) const { return m_bars[static_cast<std::size_t>(tag - 1)]; }
    QLineEdit* edit(int tag) const { return m_edits[static_cast<std::size_t>(tag - 1)]; }
    const RandomSchedule& schedule() const { return m_schedule; }
    PlayerStatusBar* statusBar() const { return m_status; }
    int loopTag() const { return m_loopTag; }
    int randTag() const { return m_randTag; }
    int allTag() const { return m_allTag; }
    int loopMarkLeft() const { return m_loopMarkLeft; }
    int randomMarkLeft() const { return m_randMarkLeft; }
    QTimer& randomTimer() { return m_randomTimer; }
    QTimer& loopIndicatorTimer() { return m_loopIndicatorTimer; }
    QTimer& randomIndicatorTimer() { return m_randomIndicatorTimer; }

  public slots:
    void toggleLoop();
    void toggleRandom();
    void toggleAll();
    void applyToDocument();
    void animateLoopIndicator();
    void animateRandomIndicator();
    void playNextRandomWave();
    void applyEdit(QLineEdit* edit);
    void applyCurrentEdit();

  protected:
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildPanel();
    void buildLoopGroup();
    void buildRandGroup();
    void buildMainGroup();
    void onShown();
    void onActivated();
    void onBarMoved(TrackBar* changed);
    void giveSelection(TrackBar* bar);
    void updatePlayAll();
    void relayout();
    void setBar(int tag, int position);
    void buildTimeList();
    void buildVolumeList();
    void buildPitchList();
    TrackBar* makeBar(QWidget* parent, int tag, const char* name, QRect geometry);
    QLineEdit* makeEdit(QWidget* parent, int tag, const char* name, QRect geometry);
    int tagOf(const QLineEdit* edit) const;
    QString editText(int tag) const;

    SectionTree& m_tree;
    Node* m_soundscape;
    AudioEngine& m_audio;
    AudioHost& m_host;
    std::unique_ptr<RandomSource> m_ownRandom;
    RandomSchedule m_schedule;

    std::array<TrackBar*, 9> m_bars{};
    std::array<QLineEdit*, 9> m_edits{};
    QGroupBox* m_loopGroup = nullptr;
    QGroupBox* m_randomGroup = nullptr;
    QGroupBox* m_mainGroup = nullptr;
    QPushButton* m_playLoopButton = nullptr;
    QPushButton* m_playRandomButton = nullptr;
    QPushButton* m_playAllButton = nullptr;
    QPushButton* m_applyButton = nullptr;
    QLabel* m_timeLabel = nullptr;
    QLabel* m_volumeLabel = nullptr;
    QLabel* m_pitchLabel = nullptr;
    QLabel* m_lengthLabel = nullptr;
    QMenu* m_editMenu = nullptr;
    PlayerStatusBar* m_status = nullptr;
    QTimer m_loopIndicatorTimer;
    QTimer m_randomIndicatorTimer;
    QTimer m_randomTimer;

    QLineEdit* m_currentEdit = nullptr;
    int m_loopFrame = 4;
    int m_randFrame = 4;
    int m_loopMarkLeft = 2;
    int m_loopMarkRight = 19;
    int m_randMarkLeft = 202;
    int m_randMarkRight = 219;
    int m_loopTag = 0;
    int m_randTag = 0;
    int m_allTag = 0;
    bool m_applied = false;
    bool m_shown = false;
    bool m_loopVisible = false;
    bool m_randVisible = false;
};

// The command that opens the panel for the selected top-level soundscape: gathers its sounds,
// reports a soundscape without usable sounds, closes the master volume window, shows the panel
// modally and releases every channel afterwards. Returns the document's modified flag after the
// panel closed: still set when it was set before, and set when Apply wrote values.
bool openPlayerPanel(SectionTree& tree, Node* selected, const std::string& soundDir, AudioEngine& audio,
                     AudioHost& host, bool modified, QWidget* parent, QWidget* volumeWindow = nullptr);

} // namespace tonvale
