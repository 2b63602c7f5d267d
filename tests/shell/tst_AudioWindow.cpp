// SPDX-License-Identifier: MIT
// The main window's audio on the real audio layer (a null output driver, so no sound card is needed):
// start-up and shutdown of the audio, the wrong-version stop, the grid's Play preview with its timer
// and status panel, the player panel opened from the window and the modified flag after it, the whole
// soundscape played and saved from it, and the master volume kept across a restart. Test waves are written
// with libsndfile.

#include "AudioTestHelpers.h"
#include "audio/SoundscapePlayer.h"
#include "audiopanel/MasterVolumeWindow.h"
#include "audiopanel/PlayerPanel.h"
#include "audiopanel/WavePreview.h"
#include "editor/ParamGrid.h"
#include "settings/Platform.h"
#include "shell/AudioCommands.h"
#include "shell/AudioOutput.h"
#include "shell/MainWindow.h"
#include "testsupport/ScriptedPrompts.h"
#include "testsupport/TestFolder.h"
#include "testsupport/TestPlatform.h"

#include <QAction>
#include <QApplication>
#include <QLocale>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

using namespace tonvale;

namespace {

const std::string Script =
    "\"ss.both\"\r\n{\r\n"
    "\t\"playlooping\"\r\n\t{\r\n\t\t\"volume\"\t\"0.5\"\r\n\t\t\"wave\"\t\"amb/loop.wav\"\r\n\t}\r\n"
    "\t\"playrandom\"\r\n\t{\r\n\t\t\"time\"\t\"1,2\"\r\n\t\t\"volume\"\t\"0.5,1\"\r\n"
    "\t\t\"rndwave\"\r\n\t\t{\r\n\t\t\t\"wave\"\t\"amb/a.wav\"\r\n\t\t}\r\n\t}\r\n"
    "}\r\n"
    "\"ss.preview\"\r\n{\r\n"
    "\t\"playlooping\"\r\n\t{\r\n\t\t\"wave\"\t\"preview.wav\"\r\n\t}\r\n"
    "}\r\n"
    // A wave name in the script's code page (Windows-1251 "ветер"); the file on disk is named in UTF-8.
    "\"ss.cyrillic\"\r\n{\r\n"
    "\t\"playlooping\"\r\n\t{\r\n\t\t\"wave\"\t\"\xE2\xE5\xF2\xE5\xF0.wav\"\r\n\t}\r\n"
    "}\r\n";

class WrongVersion : public OpenAlAudio {
  public:
    bool versionOk() override { return false; }
};

// Runs `act` on the modal window once it is open (polled every 10 ms, given up after 3 s), then
// closes it.
void onModal(const std::function<void(QWidget*)>& act) {
    auto* poll = new QTimer;
    auto tries = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, [poll, tries, act] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr && ++*tries < 300)
            return;
        poll->stop();
        poll->deleteLater();
        if (modal != nullptr) {
            act(modal);
            modal->close();
        }
    });
    poll->start(10);
}

} // namespace

class TestAudioWindow : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<TestFolder> m_folder;
    std::unique_ptr<Platform> m_platform;
    ScriptedPrompts m_prompts;
    OpenAlAudio m_audio;
    QString m_script;

    std::unique_ptr<MainWindow> makeWindow(AudioOutput* audio = nullptr) {
        return std::make_unique<MainWindow>(*m_platform, m_prompts, audio != nullptr ? *audio : m_audio);
    }
    std::string sound(const QString& name) const {
        return m_folder->file(QStringLiteral("sound/") + name).toStdString();
    }
    QString ini() const { return m_folder->file(QStringLiteral("tnv.ini")); }
    void writeIni(const std::string& extra = {}) {
        m_folder->write(QStringLiteral("tnv.ini"),
                        "[Options]\nLastFile=" + m_script.toStdString() + "\nSounddir=" +
                            m_folder->file(QStringLiteral("sound")).toStdString() + "\n" + extra);
    }
    static Node* soundscape(MainWindow& w, int index) {
        return w.tree().topLevel()[static_cast<std::size_t>(index)];
    }
    // Selects the "wave" row of the soundscape's loop in the grid, on the value cell.
    static void selectLoopWave(MainWindow& w, int soundscapeIndex) {
        w.selectNode(soundscape(w, soundscapeIndex)->child(0));
        ParamGridModel* model = w.grid()->gridModel();
        for (int row = 0; row < model->dataRows(); ++row) {
            if (model->isWaveRow(row))
                w.grid()->setCurrentIndex(model->index(row, ParamGridModel::ValueColumn));
        }
    }
    static QString playCaption(MainWindow& w) { return w.commands().action(CommandId::PlayWave)->text(); }

  private slots:
    void initTestCase() {
        QLocale::setDefault(QLocale::c());
        QVERIFY(m_audio.versionOk());
    }

    void init() {
        m_folder = std::make_unique<TestFolder>();
        m_platform = std::make_unique<Platform>();
        isolatePlatform(*m_platform, m_folder->path());
        m_prompts.clear();
        m_script = m_folder->write(QStringLiteral("scripts/soundscapes_a.txt"), Script);
        m_folder->write(QStringLiteral("sound/amb/.keep"), "");
        QVERIFY(testing::writeWave(sound(QStringLiteral("amb/loop.wav")),
                                   {.frequency = 220, .seconds = 1.0, .sampleRate = 8000}));
        QVERIFY(testing::writeWave(sound(QStringLiteral("amb/a.wav")),
                                   {.frequency = 0, .seconds = 0.3, .sampleRate = 8000}));
        writeIni();
    }

    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void startupOpensTheDeviceAndShutdownReleasesIt() {
        writeIni("GenVol=50\n");
        {
            auto w = makeWindow();
            QVERIFY(!w->startupAborted());
            QVERIFY(m_prompts.records().empty());
            QVERIFY(m_audio.player().initialised());
            // The stored master volume reaches the audio only when a volume control is shown.
            QCOMPARE(m_audio.player().masterVolume(), 1.0f);
            QVERIFY(w->audioCommands() != nullptr);
            QVERIFY(!w->audioCommands()->volumeWindow()->isVisible());
            QCOMPARE(playCaption(*w), QStringLiteral("Play"));
        }
        QVERIFY(!m_audio.player().initialised());
    }

    void wrongVersionEndsStartUpWithoutTouchingTheSettings() {
        QFile::remove(ini());
        WrongVersion audio;
        auto w = makeWindow(&audio);
        QVERIFY(w->startupAborted());
        QCOMPARE(m_prompts.messages().size(), std::size_t{1});
        const PromptRecord message = m_prompts.messages()[0];
        QCOMPARE(message.text, QStringLiteral("An incorrect version of BASS.DLL was loaded"));
        QVERIFY(message.caption.isEmpty());
        QCOMPARE(message.icon, MessageIcon::Error);
        QVERIFY(!audio.player().initialised());
        QVERIFY(w->audioCommands() == nullptr);
        w->close();
        w.reset();
        QVERIFY(!QFile::exists(ini()));
    }

    void playTogglesAndShowsTheLength_data() {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<bool>("commaLocale");
        QTest::addColumn<QString>("status");
        QTest::newRow("3.456 s") << 3.456 << false << QStringLiteral("Воспроизведение: 3.5 сек.");
        QTest::newRow("3.456 s, comma locale")
            << 3.456 << true << QStringLiteral("Воспроизведение: 3,5 сек.");
        QTest::newRow("12.3 s") << 12.3 << false << QStringLiteral("Воспроизведение: 12 сек.");
    }
    void playTogglesAndShowsTheLength() {
        QFETCH(double, seconds);
        QFETCH(bool, commaLocale);
        QFETCH(QString, status);
        if (commaLocale)
            QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
        QVERIFY(testing::writeWave(sound(QStringLiteral("preview.wav")),
                                   {.seconds = seconds, .sampleRate = 8000}));
        auto w = makeWindow();
        selectLoopWave(*w, 1);
        QVERIFY(w->commands().isEnabled(CommandId::PlayWave));
        WavePreview& preview = w->audioCommands()->preview();

        QVERIFY(w->commands().trigger(CommandId::PlayWave));
        QCOMPARE(playCaption(*w), QStringLiteral("Stop"));
        QCOMPARE(w->commands().action(CommandId::PlayWave)->toolTip(), QStringLiteral("Stop"));
        QCOMPARE(w->statusText(2), status);
        QVERIFY(preview.stopTimer().isActive());
        QVERIFY(m_audio.player().isPlaying(m_audio.player().previewChannel));

        // The second press stops without playing again.
        QVERIFY(w->commands().trigger(CommandId::PlayWave));
        QCOMPARE(playCaption(*w), QStringLiteral("Play"));
        QCOMPARE(w->statusText(2), QStringLiteral("Остановлено"));
        QVERIFY(!preview.stopTimer().isActive());
        QCOMPARE(m_audio.player().liveChannelCount(), std::size_t{0});
        QVERIFY(m_prompts.messages().empty());
    }

    void timerEndsThePreviewAndAnotherCellStopsIt() {
        QVERIFY(
            testing::writeWave(sound(QStringLiteral("preview.wav")), {.seconds = 0.2, .sampleRate = 8000}));
        auto w = makeWindow();
        selectLoopWave(*w, 1);
        QVERIFY(w->commands().trigger(CommandId::PlayWave));
        QCOMPARE(w->statusText(2), QStringLiteral("Воспроизведение: 0.2 сек."));
        QTRY_COMPARE_WITH_TIMEOUT(playCaption(*w), QStringLiteral("Play"), 3000);
        QCOMPARE(w->statusText(2), QStringLiteral("Остановлено"));
        QVERIFY(!w->audioCommands()->preview().stopTimer().isActive());
        QVERIFY(w->commands().isEnabled(CommandId::PlayWave));

        QVERIFY(
            testing::writeWave(sound(QStringLiteral("preview.wav")), {.seconds = 5.0, .sampleRate = 8000}));
        QVERIFY(w->commands().trigger(CommandId::PlayWave));
        QCOMPARE(playCaption(*w), QStringLiteral("Stop"));
        w->grid()->setCurrentIndex(w->grid()->gridModel()->index(0, ParamGridModel::NameColumn));
        QCOMPARE(playCaption(*w), QStringLiteral("Play"));
        QCOMPARE(w->statusText(2), QStringLiteral("Остановлено"));
        QCOMPARE(m_audio.player().liveChannelCount(), std::size_t{0});
    }

    void playStaysEnabledWhileTheWaveCellIsEdited() {
        QVERIFY(
            testing::writeWave(sound(QStringLiteral("preview.wav")), {.seconds = 5.0, .sampleRate = 8000}));
        auto w = makeWindow();
        selectLoopWave(*w, 1);
        QVERIFY(w->commands().trigger(CommandId::PlayWave));
        // Typing in the cell names a missing file, yet the same command still stops the preview.
        const int row = w->grid()->gridModel()->currentRow();
        QVERIFY(w->grid()->gridModel()->writeValue(row, QStringLiteral("\"nothing.wav\"")));
        QVERIFY(!w->grid()->playableWaveSelected());
        QVERIFY(w->commands().trigger(CommandId::PlayWave));
        QCOMPARE(playCaption(*w), QStringLiteral("Play"));
        QVERIFY(!w->commands().isEnabled(CommandId::PlayWave));
        QVERIFY(w->modified());
    }

    void previewFindsAWaveNamedInTheScriptsCodePage() {
        QVERIFY(testing::writeWave(sound(QStringLiteral("ветер.wav")), {.seconds = 2.0, .sampleRate = 8000}));
        auto w = makeWindow();
        selectLoopWave(*w, 2);
        QVERIFY(w->commands().isEnabled(CommandId::PlayWave));
        QVERIFY(w->commands().trigger(CommandId::PlayWave));
        QCOMPARE(playCaption(*w), QStringLiteral("Stop"));
        QCOMPARE(w->statusText(2), QStringLiteral("Воспроизведение: 2 сек."));
        QVERIFY(m_prompts.messages().empty());
    }

    void playerPanelFromTheWindowKeepsTheModifiedFlag_data() {
        QTest::addColumn<bool>("modifiedBefore");
        QTest::addColumn<bool>("apply");
        QTest::addColumn<bool>("modifiedAfter");
        QTest::newRow("clean, closed") << false << false << false;
        QTest::newRow("unsaved changes, closed") << true << false << true;
        QTest::newRow("clean, applied") << false << true << true;
        QTest::newRow("unsaved changes, applied") << true << true << true;
    }
    void playerPanelFromTheWindowKeepsTheModifiedFlag() {
        QFETCH(bool, modifiedBefore);
        QFETCH(bool, apply);
        QFETCH(bool, modifiedAfter);
        auto w = makeWindow();
        Node* ss = soundscape(*w, 0);
        w->selectNode(ss);
        w->setModified(modifiedBefore);
        QVERIFY(w->commands().isEnabled(CommandId::PlayerPanel));
        QString title;
        bool isPanel = false;
        onModal([&](QWidget* modal) {
            title = modal->windowTitle();
            isPanel = qobject_cast<PlayerPanel*>(modal) != nullptr;
            if (apply) {
                modal->findChild<QSlider*>(QStringLiteral("loopVolumeBar"))->setValue(30);
                modal->findChild<QPushButton*>(QStringLiteral("applyButton"))->click();
            }
        });
        QVERIFY(w->commands().trigger(CommandId::PlayerPanel));
        QVERIFY(isPanel);
        QCOMPARE(title, QStringLiteral("\"ss.both\""));
        QCOMPARE(w->modified(), modifiedAfter);
        QCOMPARE(w->commands().isEnabled(CommandId::Save), modifiedAfter);
        QCOMPARE(m_audio.player().liveChannelCount(), std::size_t{0});
        const std::string loopVolume = ss->child(0)->child(0)->data()->value;
        QCOMPARE(loopVolume, apply ? std::string("\"0.7\"") : std::string("\"0.5\""));
        // The grid shows the soundscape again after the panel.
        QCOMPARE(w->grid()->gridModel()->selectedNode(), ss);
        QVERIFY(w->grid()->gridModel()->dataRows() > 0);
        QVERIFY(m_prompts.messages().empty());
    }

    // A soundscape that only plays another script's soundscape: the panel opens for it, plays it
    // whole from the project's scripts, and saves it through the window's save dialog.
    void wholeSoundscapeFromTheProjectAndItsWaveFile() {
        m_folder->write(QStringLiteral("scripts/soundscapes_b.txt"),
                        "\"ss.other\"\r\n{\r\n\t\"playlooping\"\r\n\t{\r\n\t\t\"volume\"\t\"0.4\"\r\n"
                        "\t\t\"wave\"\t\"amb/loop.wav\"\r\n\t}\r\n}\r\n");
        m_script =
            m_folder->write(QStringLiteral("scripts/soundscapes_c.txt"),
                            "\"ss.ref\"\r\n{\r\n\t\"playsoundscape\"\r\n\t{\r\n\t\t\"name\"\t\"ss.other\"\r\n"
                            "\t\t\"volume\"\t\"0.5\"\r\n\t}\r\n}\r\n");
        writeIni("Curdir=" + m_folder->path().toStdString() + "\n");
        auto w = makeWindow();
        w->selectNode(soundscape(*w, 0));
        const QString out = m_folder->file(QStringLiteral("out.wav"));
        m_prompts.answer(out);
        std::size_t loops = 0;
        float volume = 0.0f;
        bool channelsPlayed = false;
        bool channelsGiven = false;
        onModal([&](QWidget* modal) {
            auto* panel = qobject_cast<PlayerPanel*>(modal);
            if (!panel)
                return;
            const std::size_t before = m_audio.player().liveChannelCount();
            panel->findChild<QPushButton*>(QStringLiteral("playWholeButton"))->click();
            loops = panel->wholePlayer().mix().loops.size();
            volume = loops ? panel->wholePlayer().mix().loops[0].volume : 0.0f;
            channelsPlayed = m_audio.player().liveChannelCount() > before;
            panel->findChild<QPushButton*>(QStringLiteral("playWholeButton"))->click();
            channelsGiven = m_audio.player().liveChannelCount() == before;
            panel->setRenderSeconds(0.5);
            panel->findChild<QPushButton*>(QStringLiteral("saveWaveButton"))->click();
        });
        QVERIFY(w->commands().trigger(CommandId::PlayerPanel));
        QCOMPARE(loops, std::size_t{1});
        QCOMPARE(volume, 0.2f);
        QVERIFY(channelsPlayed);
        QVERIFY(channelsGiven);
        QCOMPARE(m_prompts.records().front().kind, PromptRecord::Kind::SaveFile);
        QCOMPARE(m_prompts.records().front().fileName, QStringLiteral("ss.ref.wav"));
        const std::vector<PromptRecord> messages = m_prompts.messages();
        QCOMPARE(messages.size(), std::size_t{1});
        QCOMPARE(messages[0].icon, MessageIcon::Information);
        QVERIFY(messages[0].text.contains(out));
        SF_INFO info{};
        SNDFILE* file = sf_open(out.toLocal8Bit().constData(), SFM_READ, &info);
        QVERIFY(file);
        std::vector<float> frames(static_cast<std::size_t>(info.frames) * 2);
        sf_readf_float(file, frames.data(), info.frames);
        sf_close(file);
        QCOMPARE(info.frames, sf_count_t{22050});
        // The loop at 0.4 of its reference's 0.5: 0.2 of the 0.8 tone.
        QVERIFY(std::abs(testing::peak(frames, 0, frames.size()) - 0.16f) < 0.01f);
        QVERIFY(!w->modified());
    }

    void aPlayingPreviewStopsBeforeThePanelPlays() {
        QVERIFY(
            testing::writeWave(sound(QStringLiteral("preview.wav")), {.seconds = 5.0, .sampleRate = 8000}));
        auto w = makeWindow();
        w->selectNode(soundscape(*w, 0));
        // A preview still playing when the panel opens (the grid's cell change normally ends it first).
        WavePreview& preview = w->audioCommands()->preview();
        preview.setSoundDir(m_folder->file(QStringLiteral("sound")).toStdString());
        preview.togglePlay("\"preview.wav\"");
        QCOMPARE(playCaption(*w), QStringLiteral("Stop"));
        bool loopKept = false;
        QString captionInPanel;
        onModal([&](QWidget*) {
            captionInPanel = playCaption(*w);
            // Well past the preview timer's 300 ms: the timer must not release the panel's channels.
            QTest::qWait(700);
            loopKept = m_audio.player().loopingSound.channel != 0 && m_audio.player().liveChannelCount() > 0;
        });
        QVERIFY(w->commands().trigger(CommandId::PlayerPanel));
        QVERIFY(loopKept);
        QCOMPARE(captionInPanel, QStringLiteral("Play"));
        QCOMPARE(w->statusText(2), QStringLiteral("Остановлено"));
    }

    void masterVolumeIsKeptAcrossARestart() {
        {
            auto w = makeWindow();
            MasterVolumeWindow* volume = w->audioCommands()->volumeWindow();
            QVERIFY(w->commands().trigger(CommandId::MasterVolume));
            QVERIFY(volume->isVisible());
            QCOMPARE(volume->slider()->value(), 100);
            volume->slider()->setValue(75);
            QCOMPARE(w->settings().masterVolumeSetting, 25);
            QCOMPARE(m_audio.player().masterVolume(), 0.75f);
            w->close();
        }
        QVERIFY(QString::fromStdString(TestFolder::read(ini())).contains(QStringLiteral("GenVol=25\r\n")));
        auto w = makeWindow();
        QCOMPARE(w->settings().masterVolumeSetting, 25);
        MasterVolumeWindow* volume = w->audioCommands()->volumeWindow();
        QVERIFY(w->commands().trigger(CommandId::MasterVolume));
        QCOMPARE(volume->slider()->value(), 75);
        QCOMPARE(volume->windowTitle(), QStringLiteral("Общая громкость [0.75]"));
        // The panel closes the volume window and shows the same GenVol on its own bar.
        w->selectNode(soundscape(*w, 0));
        bool volumeHidden = false;
        int panelBar = -1;
        onModal([&](QWidget* modal) {
            volumeHidden = !volume->isVisible();
            panelBar = modal->findChild<QSlider*>(QStringLiteral("masterVolumeBar"))->value();
        });
        QVERIFY(w->commands().trigger(CommandId::PlayerPanel));
        QVERIFY(volumeHidden);
        QCOMPARE(panelBar, 25);
    }
};

QTEST_MAIN(TestAudioWindow)
#include "tst_AudioWindow.moc"
