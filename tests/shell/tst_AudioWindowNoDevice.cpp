// SPDX-License-Identifier: MIT
// The main window on a machine without a sound device (a driver list that matches no back-end): the
// failed initialisation is reported once, the window runs on, and a preview reports its failure.

#include "AudioTestHelpers.h"
#include "audiopanel/WavePreview.h"
#include "editor/ParamGrid.h"
#include "settings/Platform.h"
#include "shell/AudioCommands.h"
#include "shell/AudioOutput.h"
#include "shell/MainWindow.h"
#include "testsupport/ScriptedPrompts.h"
#include "testsupport/TestFolder.h"

#include <QAction>
#include <QTest>

using namespace tonvale;

class TestAudioWindowNoDevice : public QObject {
    Q_OBJECT

  private slots:
    void startsWithoutSoundAndReportsItOnce() {
        TestFolder folder;
        Platform platform;
        platform.setProgramFolder(folder.path());
        platform.setWritableFolder(folder.path());
        platform.setEnvironmentLookup([](const QString&) { return false; });
        const QString script = folder.write(
            QStringLiteral("scripts/a.txt"),
            "\"ss\"\r\n{\r\n\t\"playlooping\"\r\n\t{\r\n\t\t\"wave\"\t\"a.wav\"\r\n\t}\r\n}\r\n");
        folder.write(QStringLiteral("sound/.keep"), "");
        QVERIFY(testing::writeWave(folder.file(QStringLiteral("sound/a.wav")).toStdString(),
                                   {.seconds = 1.0, .sampleRate = 8000}));
        folder.write(QStringLiteral("tnv.ini"),
                     "[Options]\nLastFile=" + script.toStdString() +
                         "\nSounddir=" + folder.file(QStringLiteral("sound")).toStdString() + "\n");
        ScriptedPrompts prompts;
        OpenAlAudio audio;
        MainWindow w(platform, prompts, audio);
        QVERIFY(!w.startupAborted());
        QCOMPARE(prompts.messages().size(), std::size_t{1});
        QCOMPARE(prompts.messages()[0].text,
                 QStringLiteral("Error initializing audio!\r\n(Error code: %1)").arg(AudioErrorDevice));
        QCOMPARE(prompts.messages()[0].caption, QStringLiteral("Инициализация"));
        QCOMPARE(prompts.messages()[0].icon, MessageIcon::Error);
        QVERIFY(!audio.player().initialised());

        // The grid still finds the wave; playing it fails with the preview's own message.
        w.selectNode(w.tree().first()->child(0));
        ParamGridModel* model = w.grid()->gridModel();
        w.grid()->setCurrentIndex(model->index(0, ParamGridModel::ValueColumn));
        QVERIFY(w.commands().isEnabled(CommandId::PlayWave));
        QVERIFY(w.commands().trigger(CommandId::PlayWave));
        QCOMPARE(prompts.messages().size(), std::size_t{2});
        QCOMPARE(prompts.messages()[1].text, QStringLiteral("Ошибка воспроизведения файла"));
        QCOMPARE(prompts.messages()[1].caption, QStringLiteral("Play"));
        QCOMPARE(w.commands().action(CommandId::PlayWave)->text(), QStringLiteral("Play"));
        QVERIFY(!w.audioCommands()->preview().stopTimer().isActive());
        QVERIFY(w.statusText(2).isEmpty());
    }
};

QTEST_MAIN(TestAudioWindowNoDevice)
#include "tst_AudioWindowNoDevice.moc"
