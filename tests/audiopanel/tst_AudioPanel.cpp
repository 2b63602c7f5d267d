// SPDX-License-Identifier: MIT
#include "AudioTestHelpers.h"
#include "SeparatorGuard.h"
#include "audio/AudioEngine.h"
#include "audio/RangeBars.h"
#include "audio/SoundscapeAnalysis.h"
#include "audio/SoundscapePlayer.h"
#include "audio/WaveDecoder.h"
#include "audiopanel/AudioHost.h"
#include "audiopanel/MasterVolumeWindow.h"
#include "audiopanel/PlayerPanel.h"
#include "audiopanel/PlayerStatusBar.h"
#include "audiopanel/TrackBar.h"
#include "audiopanel/WavePreview.h"
#include "document/Loader.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <memory>

using namespace tonvale;
using namespace tonvale::testing;

namespace {

class TestHost : public AudioHost {
  public:
    void showMessage(const Message& message) override { messages.push_back(message); }
    int masterVolumeSetting() const override { return gen; }
    void setMasterVolumeSetting(int value) override { gen = value; }
    void documentChanged() override { ++changes; }
    std::string renderFileName(const std::string& suggestedName) override {
        suggested = suggestedName;
        return renderPath;
    }
    std::vector<Message> messages;
    std::string suggested;
    std::string renderPath; // empty: the save dialog is cancelled
    int gen = 0;
    int changes = 0;
};

class FixedRandom : public RandomSource {
  public:
    int below(int n) override { return n > 1 ? (m_next++ % n) : 0; }

  private:
    int m_next = 0;
};

const char* const BothGroups = R"("ss"
{
	"playlooping"
	{
		"volume"	"0.5"	// loud enough
		"pitch"	"100"
		"wave"	"loop.wav"
	}
	"playrandom"
	{
		"time"	"1,6"
		"volume"	"1.0,0.5"
		"pitch"	"50,50"
		"rndwave"
		{
			"wave"	"a.wav"
			"wave"	"b.wav"
		}
		"volume"	"0.3"
	}
}
"next"
{
	"playlooping"
	{
		"volume"	"0.9"
		"wave"	"loop.wav"
	}
}
)";

// Random blocks before the loop, the second without pitch, the loop without pitch.
const char* const RandomsFirst = R"("ss"
{
	"playrandom"
	{
		"time"	"3"
		"volume"	"0.3"
		"pitch"	"90,110"
		"rndwave"
		{
			"wave"	"a.wav"
		}
	}
	"playrandom"
	{
		"time"	"5"
		"volume"	"0.5,1.0"
		"rndwave"
		{
			"wave"	"b.wav"
		}
	}
	"playlooping"
	{
		"volume"	"0.4"
		"wave"	"loop.wav"
	}
}
)";

// A loop, a random block with a missing wave, a child soundscape that plays the top one again (a
// cycle), and one that another script defines.
const char* const Nested = R"("top"
{
	"playlooping"
	{
		"volume"	"0.5"
		"wave"	"loop.wav"
	}
	"playrandom"
	{
		"time"	"1"
		"volume"	"1"
		"rndwave"
		{
			"wave"	"a.wav"
			"wave"	"missing.wav"
		}
	}
	"playsoundscape"
	{
		"name"	"child"
		"volume"	"0.5"
	}
	"playsoundscape"
	{
		"name"	"elsewhere"
	}
}
"child"
{
	"playlooping"
	{
		"wave"	"b.wav"
	}
	"playsoundscape"
	{
		"name"	"top"
	}
}
)";

const char* const OtherScript = R"("elsewhere"
{
	"playlooping"
	{
		"volume"	"0.2"
		"wave"	"c.wav"
	}
}
)";

// The value of the parameter `key` among the children of `block`.
std::string paramValue(const Node* block, const std::string& key) {
    for (int i = 0; i < block->childCount(); ++i)
        if (block->child(i)->text() == "\"" + key + "\"" && block->child(i)->data())
            return block->child(i)->data()->value;
    return "-";
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    text.replace(text.find(from), from.size(), to);
    return text;
}

std::string valueOf(const SectionTree& tree, std::size_t index) {
    const NodeData* data = tree.nodeAt(index)->data();
    return data ? data->value : std::string("-");
}

} // namespace

class AudioPanelTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<TempFolder> m_sounds;
    std::unique_ptr<AudioEngine> m_audio;
    LoadResult m_doc;
    TestHost m_host;
    FixedRandom m_random;

    std::unique_ptr<PlayerPanel> openPanel(const std::string& script) {
        m_doc = loadScript(script);
        if (!m_doc.ok())
            return nullptr;
        const SoundscapeValueNodes nodes =
            analyseSoundscape(m_doc.tree, m_doc.tree.topLevel()[0], m_sounds->path(), *m_audio);
        auto panel = std::make_unique<PlayerPanel>(m_doc.tree, m_doc.tree.topLevel()[0], nodes, *m_audio,
                                                   m_host, nullptr, &m_random);
        panel->show();
        return panel;
    }
    template <typename T> static T* child(QWidget* w, const char* name) {
        return w->findChild<T*>(QString::fromLatin1(name));
    }
    bool anyRandomPlaying() const {
        for (AudioChannel ch : m_audio->randomWaves.channels)
            if (m_audio->isPlaying(ch))
                return true;
        return false;
    }

  private slots:
    void init() {
        m_sounds = std::make_unique<TempFolder>();
        for (const char* name : {"loop.wav", "a.wav", "b.wav"})
            QVERIFY(writeWave(m_sounds->file(name), {.seconds = 0.5}));
        m_audio = std::make_unique<AudioEngine>();
        QVERIFY(m_audio->initLoopback());
        m_host = TestHost{};
    }
    void cleanup() {
        m_audio.reset();
        m_sounds.reset();
    }

    void panelShowsTheDocumentsValues() {
        auto panel = openPanel(BothGroups);
        QVERIFY(panel);
        QCOMPARE(panel->width(), 638);
        QCOMPARE(panel->height(), 509);
        QVERIFY(child<QPushButton>(panel.get(), "playAllButton")->isEnabled());
        QCOMPARE(panel->bar(BarLoopVolume)->value(), 50);
        QCOMPARE(child<QLineEdit>(panel.get(), "loopVolumeEdit")->text(), QStringLiteral("0.5"));
        QCOMPARE(panel->bar(BarLoopPitch)->value(), 160);
        QCOMPARE(child<QLineEdit>(panel.get(), "loopPitchEdit")->text(), QStringLiteral("100"));
        QCOMPARE(panel->bar(BarTimeStart)->value(), 2991);
        QCOMPARE(panel->bar(BarTimeEnd)->value(), 2941);
        QCOMPARE(panel->schedule().timeList().size(), std::size_t{51});
        QCOMPARE(panel->schedule().timeList().back(), 6000u);
        // 1.0,0.5 runs high to low: the end bar drags the start bar to it.
        QCOMPARE(panel->bar(BarVolumeStart)->value(), 50);
        QCOMPARE(panel->bar(BarVolumeEnd)->value(), 50);
        QCOMPARE(panel->bar(BarPitchStart)->value(), 200);
        QCOMPARE(child<QLineEdit>(panel.get(), "pitchStartEdit")->text(), QStringLiteral("50"));
        QCOMPARE(child<QLineEdit>(panel.get(), "pitchEndEdit")->text(), QStringLiteral("50"));
        QCOMPARE(panel->schedule().pitchList(), std::vector<int>{50});
        QCOMPARE(panel->randomMarkLeft(), 202);
        QCOMPARE(m_audio->channelGain(m_audio->loopingSound.channel), 0.5f);
        // GenVol 0 puts the master bar at the top and applies full volume.
        QCOMPARE(panel->bar(BarMasterVolume)->value(), 0);
        QCOMPARE(child<QLineEdit>(panel.get(), "masterVolumeEdit")->text(), QStringLiteral("1"));
        QCOMPARE(m_audio->masterVolume(), 1.0f);
    }

    void groupsLeftOutNarrowTheWindow() {
        // Only random waves: the loop file does not exist.
        auto panel = openPanel(replaced(BothGroups, "\"loop.wav\"", "\"missing.wav\""));
        QVERIFY(panel);
        QCOMPARE(panel->width(), 638 - 117);
        QVERIFY(!panel->loopGroupVisible());
        QVERIFY(!child<QPushButton>(panel.get(), "playAllButton")->isEnabled());
        QCOMPARE(panel->randomMarkLeft(), 2);
        QCOMPARE(panel->statusBar()->panelWidth(0), 0);
        QCOMPARE(panel->statusBar()->panelWidth(1), 0);
        panel.reset();

        // Only a loop: no random wave opens.
        panel = openPanel(replaced(replaced(BothGroups, "\"a.wav\"", "\"x.wav\""), "\"b.wav\"", "\"y.wav\""));
        QVERIFY(panel);
        QCOMPARE(panel->width(), 638 - 379);
        QVERIFY(!panel->randGroupVisible());
        QVERIFY(!child<QPushButton>(panel.get(), "playAllButton")->isEnabled());
        QCOMPARE(panel->statusBar()->panelWidth(2), 0);
        QCOMPARE(panel->statusBar()->panelWidth(1), 178 + 379);
    }

    void loopThatDoesNotOpenIsReportedAndHidden() {
        writeBytes(m_sounds->file("loop.wav"), "not a wave at all");
        auto panel = openPanel(BothGroups);
        QVERIFY(panel);
        QCOMPARE(m_host.messages.size(), std::size_t{1});
        QCOMPARE(m_host.messages[0].text, std::string("Ошибка! Файл не загружен"));
        QCOMPARE(m_host.messages[0].caption, std::string("Play Looping"));
        QVERIFY(!panel->loopGroupVisible());
        QCOMPARE(panel->width(), 638 - 117);
        QCOMPARE(panel->schedule().timeList().size(), std::size_t{51}); // the random part still works
    }

    void editBoxesFilterAndPressEdit() {
        SeparatorGuard comma(',');
        auto panel = openPanel(BothGroups);
        QVERIFY(panel);
        auto* edVol = child<QLineEdit>(panel.get(), "loopVolumeEdit");
        QCOMPARE(edVol->text(), QStringLiteral("0,5"));
        QCOMPARE(edVol->toolTip(), QString::fromUtf8("<Enter> - установить значение"));
        edVol->clear();
        QTest::keyClicks(edVol, QStringLiteral("a0.,7-5x"));
        QCOMPARE(edVol->text(), QStringLiteral("0,75"));
        QApplication::clipboard()->setText(QStringLiteral("123"));
        QTest::keyClick(edVol, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(edVol->text(), QStringLiteral("0,75"));
        QTest::keyClick(edVol, Qt::Key_Return);
        QCOMPARE(panel->bar(BarLoopVolume)->value(), 25);
        QCOMPARE(m_audio->channelGain(m_audio->loopingSound.channel), 0.75f);

        // Enter with the bar's own value keeps the text as typed.
        edVol->setText(QStringLiteral(",75"));
        QTest::keyClick(edVol, Qt::Key_Return);
        QCOMPARE(edVol->text(), QStringLiteral(",75"));

        auto* edPit = child<QLineEdit>(panel.get(), "loopPitchEdit");
        edPit->clear();
        QTest::keyClicks(edPit, QStringLiteral("3,0.0"));
        QCOMPARE(edPit->text(), QStringLiteral("300"));
        QTest::keyClick(edPit, Qt::Key_Enter);
        QCOMPARE(panel->bar(BarLoopPitch)->value(), 10);
        QCOMPARE(edPit->text(), QStringLiteral("250"));
        QCOMPARE(m_audio->loopingSound.pitch, 250);

        // The popup command takes the edit box that had the focus last.
        auto* edTmS = child<QLineEdit>(panel.get(), "timeStartEdit");
        panel->activateWindow();
        edTmS->setFocus();
        QCoreApplication::processEvents();
        edTmS->setText(QStringLiteral("2,5"));
        panel->applyCurrentEdit();
        QTRY_COMPARE(panel->bar(BarTimeStart)->value(), 2976);
    }

    void rangeBarsStayOrderedAndListsFollow() {
        auto panel = openPanel(BothGroups);
        QVERIFY(panel);
        auto* applyButton = child<QPushButton>(panel.get(), "applyButton");
        applyButton->setEnabled(false);
        panel->bar(BarTimeStart)->setValue(2900); // start 10.1 s, past the end at 6 s
        QCOMPARE(panel->bar(BarTimeEnd)->value(), 2900);
        QCOMPARE(panel->schedule().timeList(), std::vector<std::uint32_t>{10100});
        QVERIFY(applyButton->isEnabled());
        panel->bar(BarTimeEnd)->setValue(1); // 300 s
        QCOMPARE(panel->bar(BarTimeStart)->value(), 2900);
        QCOMPARE(panel->schedule().timeList().size(), std::size_t{2900});
        QCOMPARE(child<QLineEdit>(panel.get(), "timeEndEdit")->text(), QStringLiteral("300"));

        panel->bar(BarVolumeEnd)->setValue(60); // end 0.4 below the start's 0.5: the start follows
        QCOMPARE(panel->bar(BarVolumeStart)->value(), 60);
        panel->bar(BarVolumeStart)->setValue(10); // start 0.9 above the end: the end follows
        QCOMPARE(panel->bar(BarVolumeEnd)->value(), 10);
        QCOMPARE(panel->schedule().volumeList(), std::vector<double>{0.9});
        panel->bar(BarVolumeStart)->setValue(60); // ordered again: nothing is dragged
        QCOMPARE(panel->bar(BarVolumeEnd)->value(), 10);
        QCOMPARE(panel->schedule().volumeList().size(), std::size_t{51});
        panel->bar(BarPitchEnd)->setValue(0);
        QCOMPARE(panel->schedule().pitchList().size(), std::size_t{201});
        QCOMPARE(panel->bar(BarPitchEnd)->selectionStart(), 0);
        QCOMPARE(panel->bar(BarPitchEnd)->selectionEnd(), 200);

        // Re-activating the panel disables Apply even with changes pending.
        QVERIFY(applyButton->isEnabled());
        QEvent activate(QEvent::WindowActivate);
        QApplication::sendEvent(panel.get(), &activate);
        QVERIFY(!applyButton->isEnabled());
        // The master volume bar is no document value: Apply stays disabled.
        panel->bar(BarMasterVolume)->setValue(75);
        QVERIFY(!applyButton->isEnabled());
        QCOMPARE(m_host.gen, 75);
        QCOMPARE(m_audio->masterVolume(), 0.25f);
    }

    void playLoopingRandomAndAll() {
        auto panel = openPanel(BothGroups);
        QVERIFY(panel);
        auto* loopButton = child<QPushButton>(panel.get(), "playLoopButton");
        auto* randButton = child<QPushButton>(panel.get(), "playRandomButton");
        auto* allButton = child<QPushButton>(panel.get(), "playAllButton");

        QTest::mouseClick(loopButton, Qt::LeftButton);
        QCOMPARE(panel->loopTag(), 1);
        QCOMPARE(loopButton->text(), QStringLiteral("Stop Looping"));
        QVERIFY(m_audio->isPlaying(m_audio->loopingSound.channel));
        QVERIFY(m_audio->channelGain(m_audio->loopingSound.channel) < 0.1f); // fading in
        QVERIFY(panel->loopIndicatorTimer().isActive());
        QCOMPARE(panel->statusBar()->panelText(1), QStringLiteral(" Looping: loop.wav"));
        QCOMPARE(allButton->text(), QStringLiteral("Play All"));
        panel->animateLoopIndicator();
        QCOMPARE(panel->statusBar()->indicatorFrame(panel->loopMarkLeft()), 0);
        panel->animateLoopIndicator();
        QCOMPARE(panel->statusBar()->indicatorFrame(panel->loopMarkLeft()), 1);

        QTest::mouseClick(randButton, Qt::LeftButton);
        QCOMPARE(panel->randTag(), 1);
        QCOMPARE(randButton->text(), QStringLiteral("Stop Random"));
        QCOMPARE(allButton->text(), QStringLiteral("Stop All"));
        QVERIFY(!anyRandomPlaying()); // the first wave waits for its delay
        const int delay = panel->randomTimer().interval();
        QVERIFY(delay >= 1000 && delay <= 6000);
        QVERIFY(panel->randomTimer().isActive());

        panel->playNextRandomWave();
        QVERIFY(anyRandomPlaying());
        QVERIFY(panel->statusBar()->panelText(3).startsWith(QStringLiteral(" [")));
        QVERIFY(panel->statusBar()->panelText(3).contains(QStringLiteral("Pitch = 50; ")));
        QCOMPARE(child<QLabel>(panel.get(), "L_Pit")->text(), QStringLiteral("50"));
        QCOMPARE(child<QLabel>(panel.get(), "L_Len")->text(), QStringLiteral("0.5"));
        panel->animateRandomIndicator();
        QCOMPARE(panel->statusBar()->indicatorFrame(panel->randomMarkLeft()), 0);

        QTest::mouseClick(allButton, Qt::LeftButton);
        QCOMPARE(panel->loopTag(), 0);
        QCOMPARE(panel->randTag(), 0);
        QCOMPARE(allButton->text(), QStringLiteral("Play All"));
        QVERIFY(!m_audio->isPlaying(m_audio->loopingSound.channel));
        QVERIFY(!anyRandomPlaying());
        QVERIFY(!panel->randomTimer().isActive());
        QCOMPARE(child<QLabel>(panel.get(), "L_Pit")->text(), QStringLiteral("0"));
        QCOMPARE(panel->statusBar()->indicatorFrame(panel->randomMarkLeft()), -1);
        QVERIFY(panel->statusBar()->panelText(3).isEmpty());

        QTest::mouseClick(allButton, Qt::LeftButton);
        QCOMPARE(panel->loopTag(), 1);
        QCOMPARE(panel->randTag(), 1);
    }

    void waitingTextStaysInsideNarrowedLists() {
        SeparatorGuard point('.');
        auto panel = openPanel(BothGroups);
        QVERIFY(panel);
        panel->bar(BarTimeEnd)->setValue(1); // 0.9 .. 300 s, many delays
        panel->toggleRandom();
        for (int i = 0; i < 20 && panel->schedule().currentTime() < 10; ++i)
            panel->playNextRandomWave();
        QVERIFY(panel->schedule().currentTime() >= 10);
        for (AudioChannel ch : m_audio->randomWaves.channels)
            m_audio->stopChannel(ch);
        panel->bar(BarTimeEnd)->setValue(panel->bar(BarTimeStart)->value()); // one delay left
        panel->animateRandomIndicator();
        QCOMPARE(panel->statusBar()->panelText(3),
                 QString::fromUtf8(" Ожидание... через 1 сек. Volume = 0.5. Pitch = 50"));
    }

    void applyWritesOnlyValueFields() {
        SeparatorGuard comma(',');
        auto panel = openPanel(BothGroups);
        QVERIFY(panel);
        panel->bar(BarLoopVolume)->setValue(25);
        panel->bar(BarVolumeStart)->setValue(30);
        child<QLineEdit>(panel.get(), "timeEndEdit")->setText(QStringLiteral("6,5")); // typed, no Enter
        const std::vector<std::string> textsBefore = [&] {
            std::vector<std::string> t;
            for (const Node* n : m_doc.tree.preorder())
                t.push_back(n->text() + "|" + (n->data() ? n->data()->commentBeside : std::string()));
            return t;
        }();
        QTest::mouseClick(child<QPushButton>(panel.get(), "applyButton"), Qt::LeftButton);
        QVERIFY(panel->applied());
        QCOMPARE(m_host.changes, 1);
        QVERIFY(!child<QPushButton>(panel.get(), "applyButton")->isEnabled());
        // Node order: 0 "ss", 1 playlooping, 2 volume, 3 pitch, 4 wave, 5 playrandom, 6 time,
        // 7 volume, 8 pitch, 9 rndwave, 10/11 waves, 12 volume after the rndwave block, 13 "next"...
        QCOMPARE(valueOf(m_doc.tree, 2), std::string("\"0.75\""));
        QCOMPARE(valueOf(m_doc.tree, 3), std::string("\"100\""));
        QCOMPARE(valueOf(m_doc.tree, 4), std::string("\"loop.wav\""));
        QCOMPARE(valueOf(m_doc.tree, 6), std::string("\"1,6.5\""));
        QCOMPARE(valueOf(m_doc.tree, 7), std::string("\"0.7,0.7\""));
        QCOMPARE(valueOf(m_doc.tree, 8), std::string("\"50,50\""));
        QCOMPARE(valueOf(m_doc.tree, 12), std::string("\"0.3\""));
        QCOMPARE(valueOf(m_doc.tree, 15), std::string("\"0.9\"")); // the next soundscape
        std::vector<std::string> textsAfter;
        for (const Node* n : m_doc.tree.preorder())
            textsAfter.push_back(n->text() + "|" + (n->data() ? n->data()->commentBeside : std::string()));
        QCOMPARE(textsAfter, textsBefore);
    }

    void applyLeavesTheValuesOfAHiddenGroup() {
        auto panel = openPanel(replaced(BothGroups, "\"loop.wav\"", "\"missing.wav\""));
        QVERIFY(panel);
        panel->bar(BarLoopVolume)->setValue(10);
        panel->bar(BarTimeStart)->setValue(2900);
        panel->applyToDocument();
        QCOMPARE(valueOf(m_doc.tree, 2), std::string("\"0.5\""));
        QCOMPARE(valueOf(m_doc.tree, 3), std::string("\"100\""));
        QCOMPARE(valueOf(m_doc.tree, 6), std::string("\"10.1,10.1\""));
        panel.reset();

        // No random wave opens: the random group is hidden and its values stay.
        panel = openPanel(replaced(replaced(BothGroups, "\"a.wav\"", "\"x.wav\""), "\"b.wav\"", "\"y.wav\""));
        QVERIFY(panel);
        QVERIFY(!panel->randGroupVisible());
        panel->bar(BarTimeStart)->setValue(2900);
        panel->bar(BarVolumeEnd)->setValue(0);
        panel->bar(BarLoopVolume)->setValue(10);
        panel->applyToDocument();
        QCOMPARE(valueOf(m_doc.tree, 2), std::string("\"0.9\""));
        QCOMPARE(valueOf(m_doc.tree, 6), std::string("\"1,6\""));
        QCOMPARE(valueOf(m_doc.tree, 7), std::string("\"1.0,0.5\""));
        QCOMPARE(valueOf(m_doc.tree, 8), std::string("\"50,50\""));
    }

    void applyWritesWhereEachValueWasRead() {
        SeparatorGuard point('.');
        auto panel = openPanel(RandomsFirst);
        QVERIFY(panel);
        Node* ss = m_doc.tree.topLevel()[0];
        Node* first = ss->child(0);
        Node* second = ss->child(1);
        Node* loop = ss->child(2);
        // The panel shows the last block's time and volume, and the first block's pitch.
        QCOMPARE(panel->edit(BarTimeStart)->text(), QStringLiteral("5"));
        QCOMPARE(panel->edit(BarVolumeEnd)->text(), QStringLiteral("1"));
        QCOMPARE(panel->edit(BarPitchEnd)->text(), QStringLiteral("110"));

        // Nothing changed: nothing is written, the document stays unmodified.
        panel->applyToDocument();
        QCOMPARE(m_host.changes, 0);
        QVERIFY(!panel->applied());

        panel->edit(BarTimeStart)->setText(QStringLiteral("4")); // typed, no Enter
        panel->bar(BarLoopVolume)->setValue(25);
        panel->bar(BarLoopPitch)->setValue(60); // 200, a parameter the loop block does not have
        panel->applyToDocument();
        QCOMPARE(m_host.changes, 1);
        QVERIFY(panel->applied());
        QCOMPARE(paramValue(first, "time"), std::string("\"3\""));
        QCOMPARE(paramValue(first, "volume"), std::string("\"0.3\""));
        QCOMPARE(paramValue(first, "pitch"), std::string("\"90,110\""));
        QCOMPARE(paramValue(second, "time"), std::string("\"4,5\""));
        QCOMPARE(paramValue(second, "volume"), std::string("\"0.5,1.0\"")); // untouched: as written
        QCOMPARE(paramValue(second, "pitch"), std::string("-"));
        QCOMPARE(paramValue(loop, "volume"), std::string("\"0.75\""));
        // The new parameter stands first in the loop block, where the next reading finds it.
        QCOMPARE(loop->child(0)->text(), std::string("\"pitch\""));
        QCOMPARE(paramValue(loop, "pitch"), std::string("\"200\""));
        AudioEngine again;
        analyseSoundscape(m_doc.tree, ss, m_sounds->path(), again);
        QCOMPARE(again.loopingSound.pitch, 200);
        QCOMPARE(again.loopingSound.volume, 0.75f);

        // The random pitch goes back to the first block, which it was read from; the added loop
        // pitch is written in place, not added twice.
        panel->bar(BarPitchEnd)->setValue(130);  // 120
        panel->bar(BarLoopPitch)->setValue(110); // 150
        panel->applyToDocument();
        QCOMPARE(m_host.changes, 2);
        QCOMPARE(paramValue(first, "pitch"), std::string("\"90,120\""));
        QCOMPARE(paramValue(second, "pitch"), std::string("-"));
        QCOMPARE(paramValue(loop, "pitch"), std::string("\"150\""));
        QCOMPARE(loop->childCount(), 3); // pitch, volume, wave
    }

    void randomTimerFiresNoEarlierThanItsDelay() {
        auto panel = openPanel(replaced(BothGroups, "\"1,6\"", "\"1.5,1.5\""));
        QVERIFY(panel);
        QCOMPARE(panel->randomTimer().timerType(), Qt::PreciseTimer);
        QSignalSpy fired(&panel->randomTimer(), &QTimer::timeout);
        QElapsedTimer clock;
        clock.start();
        panel->toggleRandom();
        QCOMPARE(panel->randomTimer().interval(), 1500);
        QVERIFY(fired.wait(3000));
        QVERIFY2(clock.elapsed() >= 1500, qPrintable(QString::number(clock.elapsed())));
    }

    void editBoxesTakeNothingPastedOrDropped() {
        SeparatorGuard point('.');
        auto panel = openPanel(BothGroups);
        QVERIFY(panel);
        QLineEdit* volume = panel->edit(BarLoopVolume);
        QCOMPARE(volume->text(), QStringLiteral("0.5"));
        // An input method's commit string.
        volume->setFocus();
        QInputMethodEvent commit;
        commit.setCommitString(QStringLiteral("{x}"));
        QApplication::sendEvent(volume, &commit);
        QCOMPARE(volume->text(), QStringLiteral("0.5"));
        QInputMethodEvent digits;
        digits.setCommitString(QStringLiteral("7"));
        QApplication::sendEvent(volume, &digits);
        QCOMPARE(volume->text(), QStringLiteral("0.57"));
        // A drop.
        QMimeData mime;
        mime.setText(QStringLiteral("{x}"));
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(volume, &drop);
        QCOMPARE(volume->text(), QStringLiteral("0.57"));
        // The middle button's paste of the selection.
        if (QApplication::clipboard()->supportsSelection()) {
            QApplication::clipboard()->setText(QStringLiteral("{x}"), QClipboard::Selection);
            QTest::mouseClick(volume, Qt::MiddleButton);
            QCOMPARE(volume->text(), QStringLiteral("0.57"));
        }
        // Pitch boxes take no separator whichever way it comes.
        QLineEdit* pitch = panel->edit(BarLoopPitch);
        QInputMethodEvent separator;
        separator.setCommitString(QStringLiteral("."));
        QApplication::sendEvent(pitch, &separator);
        QCOMPARE(pitch->text(), QStringLiteral("100"));
        panel->applyToDocument();
        QCOMPARE(valueOf(m_doc.tree, 2), std::string("\"0.57\""));
    }

    void escapeLeavesThePanelOpen() {
        auto panel = openPanel(BothGroups);
        QVERIFY(panel);
        panel->bar(BarLoopVolume)->setValue(25);
        QTest::keyClick(panel.get(), Qt::Key_Escape);
        QVERIFY(panel->isVisible());
        panel->edit(BarTimeStart)->setFocus();
        QTest::keyClick(panel->edit(BarTimeStart), Qt::Key_Escape);
        QVERIFY(panel->isVisible());
        QVERIFY(child<QPushButton>(panel.get(), "applyButton")->isEnabled());
        panel->close(); // the title-bar button still closes it
        QVERIFY(!panel->isVisible());
    }

    void randomWavesPlayAtTheirOwnSampleRates() {
        QVERIFY(writeWave(m_sounds->file("a.wav"), {.frequency = 440, .seconds = 0.5, .sampleRate = 22050}));
        QVERIFY(writeWave(m_sounds->file("b.wav"), {.frequency = 440, .seconds = 0.5, .sampleRate = 44100}));
        auto panel = openPanel(replaced(BothGroups, "\"50,50\"", "\"100\""));
        QVERIFY(panel);
        QCOMPARE(m_audio->randomWaves.sampleRates, (std::vector<std::uint32_t>{22050, 44100}));
        std::array<double, 2> measured{};
        for (int i = 0; i < 12 && (measured[0] == 0.0 || measured[1] == 0.0); ++i) {
            for (AudioChannel ch : m_audio->randomWaves.channels)
                m_audio->stopChannel(ch);
            panel->playNextRandomWave();
            const int wave = panel->schedule().currentWave();
            const std::vector<float> out = m_audio->renderLoopback(8820);
            measured[static_cast<std::size_t>(wave)] = zeroCrossingFrequency(out, 0, out.size(), 44100);
            m_random.below(2); // shifts the fixed draws, so that the other wave comes next
        }
        QVERIFY2(std::abs(measured[0] - 440.0) < 5.0, qPrintable(QString::number(measured[0])));
        QVERIFY2(std::abs(measured[1] - 440.0) < 5.0, qPrintable(QString::number(measured[1])));
    }

    void wholeSoundscapePlaysEverySoundAndStopsThem() {
        SeparatorGuard point('.');
        QVERIFY(writeWave(m_sounds->file("b.wav"), {.frequency = 660, .seconds = 0.5}));
        QVERIFY(writeWave(m_sounds->file("c.wav"), {.frequency = 880, .seconds = 0.5}));
        LoadResult other = loadScript(OtherScript);
        QVERIFY(other.ok());
        auto panel = openPanel(Nested);
        QVERIFY(panel);
        int lookups = 0;
        panel->setSoundscapeSources(m_sounds->path(), [&](std::string_view name) -> SoundscapeRef {
            ++lookups;
            const Node* found = findSoundscape(other.tree, name);
            return found ? SoundscapeRef{&other.tree, found} : SoundscapeRef{};
        });
        panel->setSeed(11);
        const std::size_t before = m_audio->liveChannelCount();
        auto* whole = child<QPushButton>(panel.get(), "playWholeButton");
        QTest::mouseClick(whole, Qt::LeftButton);
        QVERIFY(panel->wholePlaying());
        QCOMPARE(whole->text(), QStringLiteral("Stop Soundscape"));
        QVERIFY(panel->wholeTimer().isActive());
        QCOMPARE(lookups, 1); // only "elsewhere" is not in the document
        // The missing wave and the cycle are told, and the rest plays.
        QCOMPARE(m_host.messages.size(), std::size_t{1});
        QCOMPARE(m_host.messages[0].caption, std::string("Play Soundscape"));
        QVERIFY(m_host.messages[0].text.find("missing.wav") != std::string::npos);
        QVERIFY(m_host.messages[0].text.find("top -> child -> top") != std::string::npos);
        const SoundscapeMix& mix = panel->wholePlayer().mix();
        QCOMPARE(mix.loops.size(), std::size_t{3});
        QCOMPARE(mix.loops[1].volume, 0.5f); // the child's loop at its reference's volume
        QCOMPARE(mix.loops[2].volume, 0.2f);
        QCOMPARE(mix.randoms.size(), std::size_t{1});
        QCOMPARE(mix.randoms[0].waves.size(), std::size_t{1});
        QVERIFY(m_audio->liveChannelCount() > before);
        QCOMPARE(panel->statusBar()->panelText(1),
                 QStringLiteral(" Looping: loop.wav, b.wav (child), c.wav (elsewhere)"));
        QCOMPARE(panel->statusBar()->panelText(3), QString::fromUtf8(" Random: ожидание... через 1 сек."));

        panel->wholePlayer().tickAt(1000); // the random block's first start
        panel->updateWhole();
        QVERIFY(panel->statusBar()->panelText(3).startsWith(QStringLiteral(" Random: [a.wav] Volume = 1.")));
        QCOMPARE(panel->wholePlayer().starts().size(), std::size_t{1});
        const std::vector<float> out = m_audio->renderLoopback(4410);
        QVERIFY(peak(out, 0, out.size()) > 0.3f);

        // Play Looping takes over: the whole soundscape stops and gives every channel back.
        QTest::mouseClick(child<QPushButton>(panel.get(), "playLoopButton"), Qt::LeftButton);
        QVERIFY(!panel->wholePlaying());
        QCOMPARE(panel->loopTag(), 1);
        QCOMPARE(m_audio->liveChannelCount(), before);
        QTest::mouseClick(whole, Qt::LeftButton);
        QVERIFY(panel->wholePlaying());
        QCOMPARE(panel->loopTag(), 0);
        QVERIFY(!m_audio->isPlaying(m_audio->loopingSound.channel));
        QTest::mouseClick(whole, Qt::LeftButton);
        QVERIFY(!panel->wholePlaying());
        QCOMPARE(whole->text(), QStringLiteral("Play Soundscape"));
        QCOMPARE(m_audio->liveChannelCount(), before);
        QVERIFY(panel->statusBar()->panelText(1).isEmpty());
        QVERIFY(!panel->wholeTimer().isActive());
    }

    void savingTheSoundscapeWritesAMeasuredWave() {
        SeparatorGuard point('.');
        auto panel = openPanel(replaced(BothGroups, "\"b.wav\"", "\"missing.wav\""));
        QVERIFY(panel);
        panel->setSoundscapeSources(m_sounds->path(), {});
        panel->setSeed(5);
        panel->setRenderSeconds(1.0);
        m_host.renderPath = m_sounds->file("out.wav");
        QTest::mouseClick(child<QPushButton>(panel.get(), "saveWaveButton"), Qt::LeftButton);
        QCOMPARE(m_host.suggested, std::string("ss.wav"));
        QCOMPARE(m_host.messages.size(), std::size_t{1});
        const Message& done = m_host.messages[0];
        QCOMPARE(done.icon, MessageIcon::Warning); // written, with the missing wave left out
        QVERIFY(done.text.find(m_host.renderPath) != std::string::npos);
        QVERIFY(done.text.find("seed 5") != std::string::npos);
        QVERIFY(done.text.find("missing.wav") != std::string::npos);

        SF_INFO info{};
        SNDFILE* file = sf_open(m_host.renderPath.c_str(), SFM_READ, &info);
        QVERIFY(file);
        QCOMPARE(info.channels, 2);
        QCOMPARE(info.samplerate, 44100);
        QCOMPARE(info.frames, sf_count_t{44100});
        std::vector<float> frames(static_cast<std::size_t>(info.frames) * 2);
        sf_readf_float(file, frames.data(), info.frames);
        sf_close(file);
        // The loop: 440 Hz at volume 0.5 of a 0.8 tone, until the first random wave (1 to 6 s).
        std::vector<float> left(frames.size() / 2);
        for (std::size_t i = 0; i < left.size(); ++i)
            left[i] = frames[2 * i];
        QVERIFY(std::abs(zeroCrossingFrequency(left, 0, 22050, 44100) - 440.0) < 2.0);
        QVERIFY(std::abs(peak(left, 0, 22050) - 0.4f) < 0.02f);

        // An output that cannot be written is reported with its path and the reason.
        m_host.messages.clear();
        m_host.renderPath = m_sounds->file("no-such-folder/out.wav");
        panel->saveSoundscapeWave();
        QCOMPARE(m_host.messages.size(), std::size_t{1});
        QCOMPARE(m_host.messages[0].icon, MessageIcon::Error);
        const std::string& text = m_host.messages[0].text;
        const std::size_t at = text.find(m_host.renderPath);
        QVERIFY(at != std::string::npos);
        QVERIFY(text.size() > at + m_host.renderPath.size() + 2); // the reason follows the path
        QVERIFY(!std::filesystem::exists(m_host.renderPath));

        // A cancelled save dialog renders nothing.
        m_host.messages.clear();
        m_host.renderPath.clear();
        panel->saveSoundscapeWave();
        QVERIFY(m_host.messages.empty());
    }

    void cancellingTheRenderLeavesNoFile() {
        auto panel = openPanel(BothGroups);
        QVERIFY(panel);
        panel->setSoundscapeSources(m_sounds->path(), {});
        panel->setRenderSeconds(3600.0);
        m_host.renderPath = m_sounds->file("long.wav");
        const auto entriesBefore = std::distance(std::filesystem::directory_iterator(m_sounds->path()),
                                                 std::filesystem::directory_iterator());
        bool progressShown = false;
        QTimer cancelWhenShown;
        cancelWhenShown.setInterval(20);
        connect(&cancelWhenShown, &QTimer::timeout, [&] {
            auto* progress = panel->findChild<QProgressDialog*>(QStringLiteral("renderProgress"));
            if (progress && progress->isVisible()) {
                progressShown = true;
                // The window is not frozen: this timer runs, and the panel refuses to close.
                panel->close();
                progress->findChild<QPushButton*>()->click();
            }
        });
        cancelWhenShown.start();
        QElapsedTimer clock;
        clock.start();
        panel->saveSoundscapeWave();
        cancelWhenShown.stop();
        QVERIFY(progressShown);
        QVERIFY(clock.elapsed() < 20000);
        QVERIFY(panel->isVisible());
        QVERIFY(m_host.messages.empty());
        QVERIFY(!std::filesystem::exists(m_host.renderPath));
        QCOMPARE(std::distance(std::filesystem::directory_iterator(m_sounds->path()),
                               std::filesystem::directory_iterator()),
                 entriesBefore);
    }

    void waveChooserListsEveryReadableFormat() {
        const QString filter = soundFileFilter();
        QVERIFY(filter.startsWith(QString::fromUtf8("Файлы звуков (*.wav *.mp3 *.ogg")));
        QVERIFY(filter.endsWith(QStringLiteral(";;WAV (*.wav)")));
        // Files of each kind, made with libsndfile, are decoded and their extension is listed.
        struct Kind {
            const char* extension;
            int format;
        };
        for (const Kind& k :
             {Kind{"flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16}, Kind{"ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS},
              Kind{"mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III},
              Kind{"aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_16}}) {
            const std::string path = m_sounds->file(std::string("tone.") + k.extension);
            QVERIFY2(writeWave(path, {.seconds = 0.2, .format = k.format}), k.extension);
            DecodedWave wave;
            std::string reason;
            QVERIFY2(decodeWaveFile(path, wave, reason), k.extension);
            QVERIFY2(
                filter.contains(QStringLiteral("*.") + QString::fromLatin1(k.extension) + QLatin1Char(' ')),
                k.extension);
        }
        QVERIFY(!filter.contains(QStringLiteral("*.raw")));
    }

    void openingCommandKeepsTheModifiedFlag() {
        m_doc = loadScript(
            replaced(replaced(replaced(BothGroups, "\"loop.wav\"", "\"x.wav\""), "\"a.wav\"", "\"y.wav\""),
                     "\"b.wav\"", "\"z.wav\""));
        Node* ss = m_doc.tree.topLevel()[0];
        QCOMPARE(openPlayerPanel(m_doc.tree, ss, m_sounds->path(), *m_audio, m_host, true, nullptr), true);
        QCOMPARE(m_host.messages.size(), std::size_t{1});
        QCOMPARE(m_host.messages[0].caption, std::string("Воспроизвести soundscape"));
        QCOMPARE(m_host.messages[0].icon, MessageIcon::Warning);

        m_doc = loadScript(BothGroups);
        ss = m_doc.tree.topLevel()[0];
        QString title;
        auto closeModal = [&title](bool apply) {
            QTimer::singleShot(50, [&title, apply] {
                QWidget* modal = QApplication::activeModalWidget();
                if (!modal)
                    return;
                title = modal->windowTitle();
                if (apply) {
                    modal->findChild<TrackBar*>(QStringLiteral("loopVolumeBar"))->setValue(30);
                    modal->findChild<QPushButton*>(QStringLiteral("applyButton"))->click();
                }
                modal->close();
            });
        };
        MasterVolumeWindow volume(*m_audio, m_host);
        volume.show();
        closeModal(false);
        QCOMPARE(openPlayerPanel(m_doc.tree, ss, m_sounds->path(), *m_audio, m_host, true, nullptr, &volume),
                 true);
        QCOMPARE(title, QStringLiteral("\"ss\""));
        QVERIFY(!volume.isVisible());
        QCOMPARE(m_audio->liveChannelCount(), std::size_t{0});
        closeModal(false);
        QCOMPARE(openPlayerPanel(m_doc.tree, ss, m_sounds->path(), *m_audio, m_host, false, nullptr), false);
        closeModal(true);
        QCOMPARE(openPlayerPanel(m_doc.tree, ss, m_sounds->path(), *m_audio, m_host, false, nullptr), true);
        // Not a soundscape: nothing opens.
        QCOMPARE(
            openPlayerPanel(m_doc.tree, ss->child(0), m_sounds->path(), *m_audio, m_host, false, nullptr),
            false);
    }

    void masterVolumeWindow() {
        SeparatorGuard comma(',');
        m_host.gen = 25;
        MasterVolumeWindow window(*m_audio, m_host);
        window.show();
        QCOMPARE(window.slider()->value(), 75);
        QCOMPARE(window.windowTitle(), QString::fromUtf8("Общая громкость [0,75]"));
        QCOMPARE(m_audio->masterVolume(), 0.75f);
        window.slider()->setValue(0);
        QCOMPARE(m_host.gen, 100);
        QVERIFY(window.windowTitle().endsWith(QStringLiteral("[0]")));
        QCOMPARE(m_audio->masterVolume(), 0.0f);
        window.slider()->setValue(100);
        QVERIFY(window.windowTitle().endsWith(QStringLiteral("[1]")));
        QTest::keyClick(&window, Qt::Key_Escape);
        QVERIFY(!window.isVisible());
        QCOMPARE(m_host.gen, 0);
    }

    void wavePreviewTogglesAndNoticesTheEnd() {
        SeparatorGuard comma(',');
        WavePreview preview(*m_audio, m_host);
        preview.setSoundDir(m_sounds->path());
        QSignalSpy changed(&preview, &WavePreview::stateChanged);
        QVERIFY(writeWave(m_sounds->file("long.wav"), {.seconds = 3.456}));
        preview.togglePlay("\"long.wav\"");
        QCOMPARE(preview.tag(), 1);
        QCOMPARE(preview.caption(), QStringLiteral("Stop"));
        QCOMPARE(preview.imageIndex(), 4);
        QCOMPARE(preview.statusText(), QString::fromUtf8("Воспроизведение: 3,5 сек."));
        QVERIFY(preview.stopTimer().isActive());
        QCOMPARE(preview.stopTimer().interval(), 300);
        preview.togglePlay("\"long.wav\""); // the second press stops
        QCOMPARE(preview.tag(), 0);
        QCOMPARE(preview.caption(), QStringLiteral("Play"));
        QCOMPARE(preview.statusText(), QString::fromUtf8("Остановлено"));
        QVERIFY(!m_audio->isPlaying(m_audio->previewChannel));
        QCOMPARE(changed.count(), 2);

        // The end of the wave is noticed by the timer.
        preview.togglePlay("\"a.wav\"");
        QCOMPARE(preview.tag(), 1);
        preview.stopWhenFinished();
        QCOMPARE(preview.tag(), 1);
        m_audio->renderLoopback(44100);
        preview.setWaveFound(false);
        preview.stopWhenFinished();
        QCOMPARE(preview.tag(), 0);
        QVERIFY(!preview.enabled());
        QVERIFY(!preview.stopTimer().isActive());

        preview.togglePlay("\"missing.wav\"");
        QCOMPARE(preview.tag(), 0);
        QCOMPARE(m_host.messages.back().text, std::string("Ошибка воспроизведения файла"));
        QCOMPARE(m_host.messages.back().caption, std::string("Play"));
    }
};

QTEST_MAIN(AudioPanelTest)
#include "tst_AudioPanel.moc"
