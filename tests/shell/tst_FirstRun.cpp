// SPDX-License-Identifier: MIT
// A new user's first run and settings from older runs: the sample project opens with every wave
// found, stale folders and a read-only script folder are survived with the program's own messages,
// and the wave-file test finds hinted and case-changed names in a crowded sound folder.

#include "editor/ParamGrid.h"
#include "editor/QtText.h"
#include "settings/Platform.h"
#include "shell/AudioOutput.h"
#include "shell/MainWindow.h"
#include "testsupport/ScriptedPrompts.h"
#include "testsupport/TestFolder.h"
#include "testsupport/TestPlatform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>
#include <memory>

using namespace tonvale;

class TestFirstRun : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<TestFolder> m_folder;
    std::unique_ptr<Platform> m_platform;
    ScriptedPrompts m_prompts;
    NullAudio m_audio;

    std::unique_ptr<MainWindow> makeWindow() {
        return std::make_unique<MainWindow>(*m_platform, m_prompts, m_audio);
    }
    void writeIni(const std::string& text) { m_folder->write(QStringLiteral("tnv.ini"), text); }
    static std::string iniLine(const char* key, const QString& value) {
        return std::string(key) + '=' + value.toStdString() + "\r\n";
    }

    // Every "wave" row of every soundscape, as the wave-file test sees it: (soundscape, row value, found).
    struct WaveRow {
        QString soundscape;
        QString value;
        bool found;
    };
    static std::vector<WaveRow> waveRows(MainWindow& w) {
        std::vector<WaveRow> rows;
        for (Node* top : w.tree().topLevel()) {
            if (w.tree().isEndMarker(top))
                continue;
            w.selectNode(top);
            ParamGridModel* model = w.grid()->gridModel();
            for (int r = 0; r < model->dataRows(); ++r) {
                if (!model->isWaveRow(r))
                    continue;
                w.grid()->setCurrentIndex(model->index(r, ParamGridModel::ValueColumn));
                rows.push_back({scriptToQString(top->text()), model->cellText(r, ParamGridModel::ValueColumn),
                                w.grid()->playableWaveSelected()});
            }
        }
        return rows;
    }

  private slots:
    void init() {
        m_folder = std::make_unique<TestFolder>();
        m_platform = std::make_unique<Platform>();
        isolatePlatform(*m_platform, m_folder->path());
        m_prompts.clear();
    }

    // The settings file that scripts/run.sh gives a first run opens the sample script, and every wave
    // of both sample scripts is found in the folder the build made.
    void firstRunSettingsOpenTheSampleWithEveryWaveFound() {
        QProcess settings;
        settings.start(QStringLiteral("bash"),
                       {QStringLiteral(TONVALE_SOURCE_DIR "/scripts/first-run-settings.sh"),
                        QStringLiteral(TONVALE_SOURCE_DIR), QStringLiteral(TONVALE_SAMPLE_SOUNDS)});
        QVERIFY(settings.waitForFinished(10000));
        QCOMPARE(settings.exitCode(), 0);
        writeIni(settings.readAllStandardOutput().toStdString());

        auto w = makeWindow();
        QVERIFY2(m_prompts.records().empty(), "a first run asks nothing");
        QCOMPARE(w->windowTitle(), QStringLiteral("Tonvale [soundscapes_sample.txt]"));
        QVERIFY(w->selectedNode() == w->tree().first());
        QCOMPARE(w->recentActions().size(), 2);
        QCOMPARE(w->settings().scriptsFolder, QStringLiteral(TONVALE_SOURCE_DIR "/sample"));

        std::size_t waves = 0;
        for (const QString& name :
             {QStringLiteral("soundscapes_sample.txt"), QStringLiteral("soundscapes_interior.txt")}) {
            m_prompts.answer(QStringLiteral(TONVALE_SOURCE_DIR "/sample/scripts/") + name);
            w->openFile();
            QCOMPARE(w->windowTitle(), QStringLiteral("Tonvale [%1]").arg(name));
            for (const WaveRow& row : waveRows(*w)) {
                QVERIFY2(row.found, qPrintable(row.soundscape + QLatin1Char(' ') + row.value));
                ++waves;
            }
        }
        QVERIFY(waves >= 8);
        QVERIFY(m_prompts.messages().empty());
    }

    // Settings of an older run name folders and a file that are gone: the window opens empty and
    // silent, keeps the names, and marks waves as missing instead of failing.
    void staleFoldersInTheSettingsFile() {
        const QString gone = m_folder->file(QStringLiteral("gone"));
        writeIni("[Options]\r\n" + iniLine("Curdir", gone) +
                 iniLine("Sounddir", gone + QStringLiteral("/sound")) +
                 iniLine("LastFile", gone + QStringLiteral("/scripts/old.txt")) + "[LastF]\r\n" +
                 iniLine("f01", gone + QStringLiteral("/scripts/old.txt")));
        auto w = makeWindow();
        QVERIFY(m_prompts.records().empty());
        QVERIFY(w->tree().empty());
        QCOMPARE(w->windowTitle(), QStringLiteral("Tonvale"));

        const QString script = m_folder->write(
            QStringLiteral("here/a.txt"),
            "\"s\"\r\n{\r\n\t\"playlooping\"\r\n\t{\r\n\t\t\"wave\"\t\")amb/x.wav\"\r\n\t}\r\n}\r\n");
        m_prompts.answer(script);
        w->openFile();
        QCOMPARE(m_prompts.records().front().caption, gone); // the open dialog starts where it was told
        const std::vector<WaveRow> rows = waveRows(*w);
        QCOMPARE(rows.size(), std::size_t(1));
        QVERIFY(!rows.front().found);
        QVERIFY(m_prompts.messages().empty());
        w->close();
        const std::string written = TestFolder::read(m_folder->file(QStringLiteral("tnv.ini")));
        QVERIFY(written.find("Sounddir=" + gone.toStdString() + "/sound") != std::string::npos);
    }

    // A script in a folder the user may not write to: Save says so and the file stays as it was.
    void readOnlyScriptFolder() {
        const std::string original = "\"s\"\r\n{\r\n\t\"dsp\"\t\"1\"\r\n}\r\n";
        const QString script = m_folder->write(QStringLiteral("ro/scripts/a.txt"), original);
        const QString folder = QFileInfo(script).absolutePath();
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        const bool writable = QFileInfo(folder).isWritable();
        auto restore = qScopeGuard([folder] {
            QFile::setPermissions(folder,
                                  QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        });
        if (writable)
            QSKIP("this user writes into read-only folders (root)");
        auto w = makeWindow();
        m_prompts.answer(script);
        w->openFile();
        w->setModified(true);
        QVERIFY(!w->save());
        QVERIFY(!m_prompts.messages().empty());
        QCOMPARE(m_prompts.messages().back().text, QStringLiteral("Ошибка! Файл не сохранен"));
        QCOMPARE(m_prompts.messages().back().caption, QStringLiteral("Сохранить файл"));
        QVERIFY(w->modified());
        QCOMPARE(TestFolder::read(script), original);
        QVERIFY(!TestFolder::exists(folder + QStringLiteral("/~a.txt")));
    }

    // Thousands of waves in one folder; names written with hints and in another case are still found.
    void crowdedSoundFolder() {
        for (int i = 0; i < 3000; ++i)
            m_folder->write(QStringLiteral("sound/amb/w%1.wav").arg(i), "RIFF");
        m_folder->write(QStringLiteral("sound/Amb/Wind.WAV"), "RIFF");
        writeIni("[Options]\r\n" + iniLine("Sounddir", m_folder->file(QStringLiteral("sound"))));
        const QString script = m_folder->write(
            QStringLiteral("scripts/a.txt"),
            "\"s\"\r\n{\r\n\t\"playrandom\"\r\n\t{\r\n\t\t\"rndwave\"\r\n\t\t{\r\n"
            "\t\t\t\"wave\"\t\"amb/w2999.wav\"\r\n\t\t\t\"wave\"\t\"~)amb/w17.wav\"\r\n"
            "\t\t\t\"wave\"\t\"AMB/wind.wav\"\r\n\t\t\t\"wave\"\t\"amb/none.wav\"\r\n\t\t}\r\n\t}\r\n}\r\n");
        auto w = makeWindow();
        m_prompts.answer(script);
        w->openFile();
        std::vector<bool> found;
        for (const WaveRow& row : waveRows(*w))
            found.push_back(row.found);
        QCOMPARE(found, (std::vector<bool>{true, true, true, false}));
    }

    // A program in a writable build folder keeps its settings beside itself; an installed one (menu
    // entry beside its bin folder) in the per-user config folder, also when it could write beside itself.
    void settingsFolderOfABuiltAndAnInstalledProgram() {
        const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
        auto restore = qScopeGuard([oldConfig] { qputenv("XDG_CONFIG_HOME", oldConfig); });
        qputenv("XDG_CONFIG_HOME", m_folder->file(QStringLiteral("config")).toLocal8Bit());
        Platform built;
        built.setProgramFolder(m_folder->file(QStringLiteral("build/app")));
        QDir().mkpath(built.programFolder());
        QCOMPARE(built.writableFolder(), built.programFolder());

        m_folder->write(QStringLiteral("usr/share/applications/tonvale.desktop"), "[Desktop Entry]\n");
        Platform installed;
        installed.setProgramFolder(m_folder->file(QStringLiteral("usr/bin")));
        QDir().mkpath(installed.programFolder());
        const QString config = m_folder->file(QStringLiteral("config/tonvale")) + QLatin1Char('/');
        QCOMPARE(installed.writableFolder(), config);
        QVERIFY(QFileInfo(config).isDir());
    }
};

QTEST_MAIN(TestFirstRun)
#include "tst_FirstRun.moc"
