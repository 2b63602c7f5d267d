// SPDX-License-Identifier: MIT
#pragma once

#include "audio/RandomSchedule.h"
#include "audio/SoundscapeAnalysis.h"
#include "audio/SoundscapeMix.h"

#include <QDialog>
#include <QTimer>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
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
class SoundscapePlayer;
class TrackBar;

// The soundscape player panel. It plays the soundscape the analysis gathered into the audio layer
// (loop, randomWaves, randomRanges): the loop continuously, the random waves one after another on
// the schedule drawn from the candidate lists. Nine bars with an edit box each are its editing
// surface; every bar change runs onBarMoved, which updates the edit box, the audio and the
// lists. "Применить" writes the values the user changed back into the parameters they were read
// from (`valueNodes`, from the analysis) through the document's edit functions and tells the host.
// Besides these modes, "Play Soundscape" plays the whole soundscape as a game does (every loop,
// every random block on its own timer, the soundscapes it plays) through the soundscape player, and
// "Сохранить звучание в WAV..." renders the same offline into a file. Created per showing, modal,
// destroyed after.
class PlayerPanel : public QDialog {
    Q_OBJECT
  public:
    // `random` replaces the clock-seeded generator (tests); the panel does not own it.
    PlayerPanel(SectionTree& tree, Node* soundscape, const SoundscapeValueNodes& valueNodes,
                AudioEngine& audio, AudioHost& host, QWidget* parent = nullptr,
                RandomSource* random = nullptr);
    ~PlayerPanel() override;

    // Where the whole soundscape's waves and referenced soundscapes are looked up: waves below
    // `soundDir`, soundscapes in the panel's document first, then through `lookup`.
    void setSoundscapeSources(std::string soundDir, SoundscapeLookup lookup);
    // The seed of the whole soundscape's random sounds and of the next render; drawn afresh each time
    // when not given.
    void setSeed(std::optional<std::uint32_t> seed) { m_seed = seed; }
    void setRenderSeconds(double seconds) { m_renderSeconds = seconds; }
    double renderSeconds() const { return m_renderSeconds; }
    bool wholePlaying() const;
    SoundscapePlayer& wholePlayer() const { return *m_wholePlayer; }
    QTimer& wholeTimer() { return m_wholeTimer; }

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
    void toggleWhole();
    void updateWhole();
    void saveSoundscapeWave();

  protected:
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

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
    bool editChanged(int tag) const;
    void rememberShownValues();
    void stopWhole();
    SoundscapeMix gatherWhole() const;
    std::uint32_t drawSeed() const;
    void reportProblems(const std::vector<MixProblem>& problems, const char* caption);

    SectionTree& m_tree;
    Node* m_soundscape;
    SoundscapeValueNodes m_valueNodes;
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
    QPushButton* m_playWholeButton = nullptr;
    QPushButton* m_saveWaveButton = nullptr;
    QLabel* m_timeLabel = nullptr;
    QLabel* m_volumeLabel = nullptr;
    QLabel* m_pitchLabel = nullptr;
    QLabel* m_lengthLabel = nullptr;
    QMenu* m_editMenu = nullptr;
    PlayerStatusBar* m_status = nullptr;
    QTimer m_loopIndicatorTimer;
    QTimer m_randomIndicatorTimer;
    QTimer m_randomTimer;
    QTimer m_wholeTimer;
    std::unique_ptr<SoundscapePlayer> m_wholePlayer;
    std::string m_soundDir;
    SoundscapeLookup m_lookup;
    std::optional<std::uint32_t> m_seed;
    double m_renderSeconds = 30.0;
    bool m_rendering = false;
    int m_loopPanelWidth = 0;            // the loop text panel's width before the whole soundscape played
    std::array<QString, 9> m_shownTexts; // the edit boxes' texts as the document gave them

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
// reports a soundscape without usable sounds (its own or those of the soundscapes it plays), closes
// the master volume window, shows the panel modally and releases every channel afterwards.
// Soundscapes it plays that the document does not define are looked up in the scripts of the
// project in `projectFolder` (its "scripts" folder). Returns the document's modified flag after the
// panel closed: still set when it was set before, and set when Apply wrote values.
bool openPlayerPanel(SectionTree& tree, Node* selected, const std::string& soundDir, AudioEngine& audio,
                     AudioHost& host, bool modified, QWidget* parent, QWidget* volumeWindow = nullptr,
                     const std::string& projectFolder = {});

} // namespace tonvale
