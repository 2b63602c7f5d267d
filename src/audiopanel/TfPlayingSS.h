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
class PlayingWav;
class SectionTree;
class TrackBar;

// The soundscape player panel. It plays the soundscape the analysis gathered into the audio layer
// (LoopSound, PlayList, RandRanges): the loop continuously, the random waves one after another on
// the schedule drawn from the candidate lists. Nine bars with an edit box each are its editing
// surface; every bar change runs TrVolumeLoopChange, which updates the edit box, the audio and the
// lists. "Применить" writes the edit boxes' texts into the soundscape's Value fields through the
// document's edit functions and tells the host. Created per showing, modal, destroyed after.
class TfPlayingSS : public QDialog {
    Q_OBJECT
public:
    // `random` replaces the clock-seeded generator (tests); the panel does not own it.
    TfPlayingSS(SectionTree& tree, Node* soundscape, PlayingWav& audio, AudioHost& host, QWidget* parent = nullptr,
                RandomSource* random = nullptr);
    ~TfPlayingSS() override;

    bool Applied() const { return m_applied; }
    bool loopGroupVisible() const { return m_loopVisible; }
    bool randGroupVisible() const { return m_randVisible; }
    TrackBar* bar(int tag) const { return m_bars[static_cast<std::size_t>(tag - 1)]; }
    QLineEdit* edit(int tag) const { return m_edits[static_cast<std::size_t>(tag - 1)]; }
    const RandomSchedule& schedule() const { return m_schedule; }
    PlayerStatusBar* statusBar() const { return m_status; }
    int loopTag() const { return m_loopTag; }
    int randTag() const { return m_randTag; }
    int allTag() const { return m_allTag; }
    int LoopMarkLeft() const { return m_loopMarkLeft; }
    int RandMarkLeft() const { return m_randMarkLeft; }
    QTimer& TPRnd() { return m_tpRnd; }
    QTimer& TimerPlayLoop() { return m_timerPlayLoop; }
    QTimer& TimerPlayRand() { return m_timerPlayRand; }

public slots:
    void BtPlayLoopingClick();
    void BtPlayRandomClick();
    void btPlayAllClick();
    void btApplyClick();
    void TimerPlayLoopTimer();
    void TimerPlayRandTimer();
    void TPRndTimer();
    void PressEdit(QLineEdit* edit);
    void Enter1Click();

protected:
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void buildLoopGroup();
    void buildRandGroup();
    void buildMainGroup();
    void FormShow();
    void FormActivate();
    void TrVolumeLoopChange(TrackBar* changed);
    void giveSelection(TrackBar* bar);
    void updatePlayAll();
    void relayout();
    void setBar(int tag, int position);
    void BuildTimeList();
    void BuildVolList();
    void BuildPitchList();
    TrackBar* makeBar(QWidget* parent, int tag, const char* name, QRect geometry);
    QLineEdit* makeEdit(QWidget* parent, int tag, const char* name, QRect geometry);
    int tagOf(const QLineEdit* edit) const;
    QString editText(int tag) const;

    SectionTree& m_tree;
    Node* m_soundscape;
    PlayingWav& m_audio;
    AudioHost& m_host;
    std::unique_ptr<RandomSource> m_ownRandom;
    RandomSchedule m_schedule;

    std::array<TrackBar*, 9> m_bars{};
    std::array<QLineEdit*, 9> m_edits{};
    QGroupBox* m_gbLoop = nullptr;
    QGroupBox* m_gbRand = nullptr;
    QGroupBox* m_groupBox1 = nullptr;
    QPushButton* m_btPlayLooping = nullptr;
    QPushButton* m_btPlayRandom = nullptr;
    QPushButton* m_btPlayAll = nullptr;
    QPushButton* m_btApply = nullptr;
    QLabel* m_lTime = nullptr;
    QLabel* m_lVol = nullptr;
    QLabel* m_lPit = nullptr;
    QLabel* m_lLen = nullptr;
    QMenu* m_popupMenu1 = nullptr;
    PlayerStatusBar* m_status = nullptr;
    QTimer m_timerPlayLoop;
    QTimer m_timerPlayRand;
    QTimer m_tpRnd;

    QLineEdit* m_curEdit = nullptr;
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
bool A_Play_SSExecute(SectionTree& tree, Node* selected, const std::string& soundDir, PlayingWav& audio,
                      AudioHost& host, bool modified, QWidget* parent, QWidget* volumeWindow = nullptr);

} // namespace tonvale
