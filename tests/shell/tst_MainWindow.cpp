// SPDX-License-Identifier: MIT
// The main window driven offscreen: start-up and shutdown with the settings file, the file commands,
// the keep-changes question and the recent-files list. Dialogs are answered by ScriptedPrompts.

#include "document/Loader.h"
#include "document/TextHelpers.h"
#include "editor/ParamGrid.h"
#include "editor/QtText.h"
#include "editor/SectionTreeModel.h"
#include "settings/Platform.h"
#include "shell/AudioOutput.h"
#include "shell/MainWindow.h"
#include "testsupport/ScriptedPrompts.h"
#include "testsupport/TestFolder.h"
#include "testsupport/TestPlatform.h"

#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QSplitter>
#include <QTabWidget>
#include <QTest>
#include <QTreeView>
#include <memory>

using namespace tonvale;

namespace {

const std::string Script =
    "// rain\r\n"
    "\"sc.one\"\r\n{\r\n"
    "\t\"dsp\"\t\"1\"\r\n"
    "\t\"playlooping\"\r\n\t{\r\n\t\t\"wave\"\t\"amb/wind.wav\"\r\n\t\t\"volume\"\t\"0.5\"\r\n\t}\r\n"
    "}\r\n"
    "\"sc.two\"\r\n{\r\n\t\"dsp\"\t\"0\"\r\n}\r\n";

const QString TildeText = QStringLiteral("Сохранить изменения (во временный файл \"~\")");
const QString NoTarget = QStringLiteral("Ошибка. Файл не найден. Создайте или откройте файл");

std::string valueOf(const Node* node) {
    const NodeData* data = node != nullptr ? node->data() : nullptr;
    return data != nullptr ? data->value : std::string();
}

class FailingAudio : public NullAudio {
  public:
    bool versionOk() override { return m_version; }
    bool init() override { return false; }
    int errorCode() override { return 8; }
    bool m_version = true;
};

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<TestFolder> m_folder;
    std::unique_ptr<Platform> m_platform;
    ScriptedPrompts m_prompts;
    NullAudio m_audio;

    std::unique_ptr<MainWindow> makeWindow(AudioOutput* audio = nullptr) {
        return std::make_unique<MainWindow>(*m_platform, m_prompts, audio ? *audio : m_audio);
    }
    QString ini() const { return m_folder->file(QStringLiteral("tnv.ini")); }
    void writeIni(const std::string& text) { m_folder->write(QStringLiteral("tnv.ini"), text); }
    QString script(const QString& name = QStringLiteral("scripts/soundscapes_a.txt"),
                   const std::string& text = Script) {
        return m_folder->write(name, text);
    }
    // Opens the file through the Open command.
    void open(MainWindow& w, const QString& path) {
        m_prompts.answer(path);
        w.openFile();
    }
    // Selects the node with the given text and types into the current value cell.
    Node* findNode(MainWindow& w, const std::string& text) {
        for (Node* n : w.tree().preorder()) {
            if (n->text() == text)
                return n;
        }
        return nullptr;
    }
    void editFirstValue(MainWindow& w, const QString& typed) {
        w.selectNode(findNode(w, "\"dsp\""));
        ParamGrid* grid = w.grid();
        grid->setCurrentIndex(grid->gridModel()->index(0, 1));
        QTest::keyClicks(grid, typed);
    }

  private slots:
    void init() {
        m_folder = std::make_unique<TestFolder>();
        m_platform = std::make_unique<Platform>();
        isolatePlatform(*m_platform, m_folder->path());
        m_prompts.clear();
    }

    void startupWithoutSettingsFile() {
        auto w = makeWindow();
        QCOMPARE(w->windowTitle(), QStringLiteral("Tonvale"));
        QCOMPARE(w->settings().saveMode, 1);
        QCOMPARE(w->statusText(1), TildeText);
        QVERIFY(w->settings().scriptsFolder.isEmpty());
        QCOMPARE(w->settings().soundsFolder, QStringLiteral("/sound"));
        QCOMPARE(w->textEditor()->font().pointSize(), 8);
        QVERIFY(w->recentActions().isEmpty());
        QVERIFY(w->tree().empty());
        QVERIFY(!w->commands().isEnabled(CommandId::Save));
        QVERIFY(!w->commands().isEnabled(CommandId::Comments));
        QVERIFY(!w->grid()->isEnabled());
        QVERIFY(m_prompts.records().empty());
        w->close();
        const QString written = QString::fromStdString(TestFolder::read(ini()));
        QVERIFY2(written.startsWith(QStringLiteral(
                     "[Options]\r\nSaved=1\r\nLastFile=\r\nFontS=8\r\nCurdir=\r\nSomeText=Brindle Kit\r\n"
                     "SaveOriginFile=0\r\nSounddir=/sound\r\nGenVol=0\r\n\r\n"
                     "[LastF]\r\nf01=\r\nf02=\r\nf03=\r\nf04=\r\nf05=\r\n\r\n[Window]\r\nGeometry=")),
                 qPrintable(written));
        QVERIFY(written.contains(QStringLiteral("\r\nSplitter=")));
    }

    void windowGeometryAndTreeWidthAreKept() {
        {
            auto w = makeWindow();
            w->show();
            QVERIFY(QTest::qWaitForWindowExposed(w.get()));
            w->resize(1000, 700);
            auto* splitter = w->findChild<QSplitter*>(QStringLiteral("splitter"));
            splitter->setSizes({400, 580});
            const int tree = splitter->sizes()[0];
            QVERIFY(tree > 300); // the tree pane may grow past its old limit
            w->close();
        }
        auto w = makeWindow();
        QCOMPARE(w->size(), QSize(1000, 700));
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QVERIFY(w->findChild<QSplitter*>(QStringLiteral("splitter"))->sizes()[0] > 300);
    }

    void startupEdgeCases_data() {
        QTest::addColumn<QString>("settings");
        QTest::addColumn<QString>("status1");
        QTest::addColumn<int>("fontSize");
        QTest::addColumn<QString>("someText");
        QTest::newRow("mode 0") << "[Options]\nSaved=0\n" << TildeText << 8 << "Brindle Kit";
        QTest::newRow("mode 2 hex") << "[options]\nsaved=0x2\n"
                                    << QStringLiteral("Сохранить изменения (в оригинальный файл)") << 8
                                    << "Brindle Kit";
        QTest::newRow("mode 3") << "[Options]\nSaved=3\n" << TildeText << 8 << "Brindle Kit";
        QTest::newRow("garbage mode") << "[Options]\nSaved=two\n" << TildeText << 8 << "Brindle Kit";
        QTest::newRow("font 12") << "[Options]\nFontS=12\n" << TildeText << 12 << "Brindle Kit";
        QTest::newRow("empty some text") << "[Options]\nSomeText=\n" << TildeText << 8 << "Brindle Kit";
        QTest::newRow("own some text") << "[Options]\nSomeText=Mine\n" << TildeText << 8 << "Mine";
    }
    void startupEdgeCases() {
        QFETCH(QString, settings);
        QFETCH(QString, status1);
        QFETCH(int, fontSize);
        QFETCH(QString, someText);
        writeIni(settings.toStdString() + "garbage without equals\n[Mine]\nkeep=this\n");
        auto w = makeWindow();
        QCOMPARE(w->statusText(1), status1);
        QCOMPARE(w->textEditor()->font().pointSize(), fontSize);
        w->close();
        const QString written = QString::fromStdString(TestFolder::read(ini()));
        QVERIFY2(written.contains(QStringLiteral("SomeText=") + someText + QStringLiteral("\r\n")),
                 qPrintable(written));
        QVERIFY(written.contains(QStringLiteral("FontS=%1\r\n").arg(fontSize)));
        QVERIFY(written.contains(QStringLiteral("garbage without equals")));
        QVERIFY(written.contains(QStringLiteral("[Mine]\r\nkeep=this")));
    }

    void startupProjectFolderFromSystemEnvironment() {
        m_folder->write(QStringLiteral("environment"), "# machine\nVPROJECT=\"/srv/game\"\n");
        m_platform->setEnvironmentLookup(
            [](const QString& name) { return name == QStringLiteral("VPROJECT"); });
        auto w = makeWindow();
        QCOMPARE(w->settings().scriptsFolder, QStringLiteral("/srv/game"));
        QCOMPARE(w->settings().soundsFolder, QStringLiteral("/srv/game/sound"));
        // Present in the process but absent from the system file: empty defaults.
        m_folder->write(QStringLiteral("environment"), "OTHER=1\n");
        auto w2 = makeWindow();
        QVERIFY(w2->settings().scriptsFolder.isEmpty());
        QCOMPARE(w2->settings().soundsFolder, QStringLiteral("/sound"));
        // Present in the system file but absent from the process: empty defaults too.
        m_folder->write(QStringLiteral("environment"), "VPROJECT=/srv/game\n");
        m_platform->setEnvironmentLookup([](const QString&) { return false; });
        auto w3 = makeWindow();
        QVERIFY(w3->settings().scriptsFolder.isEmpty());
        QCOMPARE(w3->settings().soundsFolder, QStringLiteral("/sound"));
    }

    void startupReopensLastFileAndKeepsAMissingOne() {
        const QString path = script();
        writeIni("[Options]\nLastFile=" + path.toStdString() + "\n");
        {
            auto w = makeWindow();
            QCOMPARE(w->currentFile(), path);
            QCOMPARE(w->windowTitle(), QStringLiteral("Tonvale [soundscapes_a.txt]"));
            QCOMPARE(w->statusText(3), path);
            QVERIFY(!w->modified());
            QVERIFY(!w->commands().isEnabled(CommandId::Save));
            QCOMPARE(w->selectedNode(), w->tree().first());
            QCOMPARE(w->recentActions().size(), 1);
        }
        const QString gone = m_folder->file(QStringLiteral("gone.txt"));
        writeIni("[Options]\nLastFile=" + gone.toStdString() + "\n");
        auto w = makeWindow();
        QVERIFY(w->tree().empty());
        QCOMPARE(w->currentFile(), gone);
        w->close();
        QVERIFY(TestFolder::read(ini()).find("LastFile=" + gone.toStdString() + "\r\n") != std::string::npos);
    }

    void startupAudioFailures() {
        FailingAudio audio;
        auto w = makeWindow(&audio);
        QVERIFY(!w->startupAborted());
        QCOMPARE(m_prompts.messages().size(), std::size_t(1));
        QCOMPARE(m_prompts.messages()[0].text,
                 QStringLiteral("Error initializing audio!\r\n(Error code: 8)"));
        QCOMPARE(m_prompts.messages()[0].caption, QStringLiteral("Инициализация"));
        w.reset();
        m_prompts.clear();
        QFile::remove(ini());
        audio.m_version = false;
        auto w2 = makeWindow(&audio);
        QVERIFY(w2->startupAborted());
        QCOMPARE(m_prompts.messages()[0].text, QStringLiteral("An incorrect version of BASS.DLL was loaded"));
        w2->close();
        QVERIFY(!TestFolder::exists(ini())); // a run that ends at the version check writes nothing
    }

    void openChecks_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<std::string>("content");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("icon");
        QTest::addColumn<bool>("loaded");
        const auto error = static_cast<int>(MessageIcon::Error);
        QTest::newRow("upper-case extension") << "Notes.TXT" << Script << QString() << QString() << 0 << true;
        QTest::newRow("wrong extension")
            << "a.text" << Script
            << QStringLiteral("Ошибка. Используйте файлы soundscapes с расширением:  *.txt")
            << QStringLiteral("Открыть файл") << error << false;
        QTest::newRow("working file")
            << "WorkFile.txt" << Script
            << QStringLiteral("Вы не можете открыть файл \"workfile.txt\", т.к. этот файл является временным "
                              "файлом приложения")
            << QStringLiteral("Открыть файл") << static_cast<int>(MessageIcon::Warning) << false;
        QTest::newRow("no braces") << "flat.txt" << std::string("\"a\"\r\n\"b\"\r\n")
                                   << fromUtf8(loadtext::BraceMessage) << QStringLiteral("Загрузка файла")
                                   << error << false;
    }
    void openChecks() {
        QFETCH(QString, name);
        QFETCH(std::string, content);
        QFETCH(QString, message);
        QFETCH(QString, caption);
        QFETCH(int, icon);
        QFETCH(bool, loaded);
        auto w = makeWindow();
        const QString previous = script(QStringLiteral("scripts/previous.txt"));
        open(*w, previous);
        const Node* shown = w->tree().first();
        m_prompts.clear();
        const QString path = script(name, content);
        open(*w, path);
        // A file that cannot be loaded leaves the open document as it was: file, title, tree.
        QCOMPARE(w->currentFile(), loaded ? path : previous);
        QCOMPARE(w->windowTitle(), loaded ? QStringLiteral("Tonvale [%1]").arg(QFileInfo(path).fileName())
                                          : QStringLiteral("Tonvale [previous.txt]"));
        QCOMPARE(w->tree().first() == shown, !loaded);
        QVERIFY(!w->modified());
        const auto messages = m_prompts.messages();
        if (message.isEmpty()) {
            QVERIFY(messages.empty());
            return;
        }
        QCOMPARE(messages.size(), std::size_t(1));
        QCOMPARE(messages[0].text, message);
        QCOMPARE(messages[0].caption, caption);
        QCOMPARE(static_cast<int>(messages[0].icon), icon);
    }

    void openUnreadableKeepsTheOpenDocument() {
        auto w = makeWindow();
        const QString path = script();
        open(*w, path);
        const std::size_t nodes = w->tree().size();
        const QString folder = m_folder->file(QStringLiteral("folder.txt"));
        QDir().mkpath(folder);
        open(*w, folder);
        QCOMPARE(m_prompts.messages().size(), std::size_t(1));
        QVERIFY(m_prompts.messages()[0].text.startsWith(QStringLiteral("Cannot open file \"")));
        QCOMPARE(w->tree().size(), nodes);
        QCOMPARE(w->currentFile(), path);
    }

    void valueEditedKeystrokeByKeystroke() {
        auto w = makeWindow();
        open(*w, script());
        QVERIFY(!w->commands().isEnabled(CommandId::Save));
        Node* dsp = findNode(*w, "\"dsp\"");
        w->selectNode(dsp);
        ParamGrid* grid = w->grid();
        grid->setCurrentIndex(grid->gridModel()->index(0, 1));
        QVERIFY(!grid->readOnly());
        QTest::keyClick(grid, Qt::Key_4);
        QTRY_COMPARE(valueOf(dsp), std::string("4"));
        QVERIFY(w->modified());
        QVERIFY(w->commands().isEnabled(CommandId::Save));
        QVERIFY(w->commands().action(CommandId::Save)->isEnabled());
        auto* editor = grid->viewport()->findChild<QLineEdit*>(QStringLiteral("gridCellEditor"));
        QVERIFY(editor != nullptr);
        QTest::keyClick(editor, Qt::Key_2);
        QTRY_COMPARE(valueOf(dsp), std::string("42"));
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_COMPARE(valueOf(dsp), std::string("\"42\""));
    }

    void endMarkerSelectionEmptiesTheGrid() {
        auto w = makeWindow();
        open(*w, script());
        w->selectNode(w->tree().first());
        QVERIFY(w->commands().isEnabled(CommandId::Comments));
        QCOMPARE(w->titleText(), QStringLiteral("\"sc.one\""));
        w->selectNode(w->tree().last());
        QVERIFY(w->titleText().isEmpty());
        QVERIFY(!w->grid()->isEnabled());
        QVERIFY(!w->commands().isEnabled(CommandId::Comments));
        QVERIFY(!w->commands().isEnabled(CommandId::PlayerPanel));
        QVERIFY(!w->commands().isEnabled(CommandId::NewLoopingBlock));
        w->selectNode(w->tree().first());
        QVERIFY(w->grid()->isEnabled());
        QVERIFY(w->commands().isEnabled(CommandId::PlayerPanel));
        QVERIFY(w->commands().isEnabled(CommandId::NewLoopingBlock));
    }

    void saveModes_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("confirm"); // answer to the save-as-original question
        QTest::addColumn<bool>("dontAsk");
        QTest::addColumn<QString>("target"); // file written, relative to scripts/, empty: none
        QTest::addColumn<QString>("message");
        QTest::newRow("mode 1") << 1 << false << false << "~soundscapes_a.txt" << QString();
        QTest::newRow("mode 2 yes") << 2 << true << false << "soundscapes_a.txt" << QString();
        QTest::newRow("mode 2 yes, do not ask") << 2 << true << true << "soundscapes_a.txt" << QString();
        QTest::newRow("mode 2 no") << 2 << false << false << QString() << QString();
        QTest::newRow("mode 0 saves as mode 1") << 0 << false << false << "~soundscapes_a.txt" << QString();
        QTest::newRow("mode 3 saves as mode 1") << 3 << false << false << "~soundscapes_a.txt" << QString();
    }
    void saveModes() {
        QFETCH(int, mode);
        QFETCH(bool, confirm);
        QFETCH(bool, dontAsk);
        QFETCH(QString, target);
        QFETCH(QString, message);
        writeIni("[Options]\nSaved=" + std::to_string(mode) + "\n");
        auto w = makeWindow();
        const QString path = script();
        open(*w, path);
        editFirstValue(*w, QStringLiteral("7"));
        QVERIFY(w->modified());
        m_prompts.clear();
        if (mode == 2)
            m_prompts.answer(SaveOriginAnswer{confirm, dontAsk});
        else
            QCOMPARE(w->settings().saveMode, 1);
        const bool saved = w->save();
        QCOMPARE(saved, !target.isEmpty());
        QCOMPARE(w->modified(), target.isEmpty());
        QCOMPARE(w->currentFile(), path);
        QCOMPARE(w->windowTitle(), QStringLiteral("Tonvale [soundscapes_a.txt]"));
        const QString tilde = m_folder->file(QStringLiteral("scripts/~soundscapes_a.txt"));
        if (target.isEmpty()) {
            QVERIFY(!TestFolder::exists(tilde));
            QCOMPARE(TestFolder::read(path), Script);
        } else {
            const std::string written = TestFolder::read(m_folder->file(QStringLiteral("scripts/") + target));
            QVERIFY(written.find("\"dsp\"      7") != std::string::npos);
            if (mode != 2)
                QCOMPARE(TestFolder::read(path), Script);
        }
        if (message.isEmpty()) {
            QVERIFY(m_prompts.messages().empty());
        } else {
            QCOMPARE(m_prompts.messages().size(), std::size_t(1));
            QCOMPARE(m_prompts.messages()[0].text, message);
            QCOMPARE(m_prompts.messages()[0].caption, QStringLiteral("Сохранить файл"));
        }
        if (mode == 2) {
            // "Больше не спрашивать" turns the question off for the next save and for the settings file.
            m_prompts.clear();
            editFirstValue(*w, QStringLiteral("8"));
            m_prompts.answer(SaveOriginAnswer{true, false});
            w->save();
            const bool asked = !m_prompts.records().empty();
            QCOMPARE(asked, !(confirm && dontAsk));
        }
    }

    void saveWithEmptyTreeDoesNothing() {
        for (int mode : {0, 1, 2, 3}) {
            writeIni("[Options]\nSaved=" + std::to_string(mode) + "\n");
            auto w = makeWindow();
            QVERIFY(!w->save());
            QVERIFY(m_prompts.records().empty());
        }
    }

    void saveAsOntoItselfInAnyCaseDoesNothing() {
        auto w = makeWindow();
        const QString path = script();
        open(*w, path);
        editFirstValue(*w, QStringLiteral("5"));
        m_prompts.clear();
        m_prompts.answer(path.toUpper());
        w->saveAs();
        QCOMPARE(m_prompts.records().size(), std::size_t(1)); // the dialog only
        QCOMPARE(TestFolder::read(path), Script);
        QVERIFY(w->modified());
    }

    void saveAsWritesAndSwitchesTheCurrentFile() {
        auto w = makeWindow();
        open(*w, script());
        editFirstValue(*w, QStringLiteral("5"));
        const QString other = m_folder->file(QStringLiteral("scripts/other.txt"));
        m_prompts.clear();
        m_prompts.answer(other);
        w->saveAs();
        QCOMPARE(m_prompts.records()[0].text, QStringLiteral("Сохранить как"));
        QCOMPARE(m_prompts.records()[0].caption, QStringLiteral("/scripts"));
        QCOMPARE(w->currentFile(), other);
        QCOMPARE(w->windowTitle(), QStringLiteral("Tonvale [other.txt]"));
        QCOMPARE(w->statusText(3), other);
        QVERIFY(!w->modified());
        QCOMPARE(w->recentActions().size(), 2);
        QVERIFY(TestFolder::read(other).find("\"dsp\"      5") != std::string::npos);
    }

    void levelErrorDocumentIsNeverSavedOverTheFile() {
        const std::string jumpy = "\"a\"\r\n{\r\n{\r\n\t\"deep\"\t\"1\"\r\n}\r\n}\r\n\"b\"\r\n{\r\n}\r\n";
        writeIni("[Options]\nSaved=2\nSaveOriginFile=1\n");
        auto w = makeWindow();
        const QString path = script(QStringLiteral("scripts/jumpy.txt"), jumpy);
        open(*w, path);
        QCOMPARE(m_prompts.messages()[0].text, QStringLiteral("Error load Level"));
        QCOMPARE(m_prompts.messages()[0].caption, QStringLiteral("Load Tree"));
        QVERIFY(w->currentFile().isEmpty());
        m_prompts.clear();
        QVERIFY(!w->save());
        QCOMPARE(m_prompts.messages()[0].text, NoTarget);
        QCOMPARE(TestFolder::read(path), jumpy);
    }

    void keepChangesQuestion_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("proceeds");
        QTest::newRow("cancel") << int(CancelButton) << 1 << false;
        QTest::newRow("no") << int(NoButtonAnswer) << 1 << true;
        QTest::newRow("yes saves") << int(YesButton) << 1 << true;
        QTest::newRow("yes, save fails") << int(YesButton) << 0 << false; // 0: the "~" file cannot be written
    }
    void keepChangesQuestion() {
        QFETCH(int, answer);
        QFETCH(int, mode);
        QFETCH(bool, proceeds);
        writeIni("[Options]\nSaved=" + std::to_string(std::max(mode, 1)) + "\n");
        const QString second = script(QStringLiteral("scripts/b.txt"));
        if (mode == 0)
            QDir().mkpath(m_folder->file(QStringLiteral("scripts/~soundscapes_a.txt")));
        for (int route = 0; route < 3; ++route) { // Open, recent file, close
            m_prompts.clear();
            auto w = makeWindow();
            open(*w, script());
            editFirstValue(*w, QStringLiteral("9"));
            m_prompts.clear();
            m_prompts.answer(static_cast<PromptButton>(answer));
            bool closed = false;
            if (route == 0) {
                m_prompts.answer(second);
                w->openFile();
            } else if (route == 1) {
                w->openRecentFile(second);
            } else {
                w->show();
                closed = w->close();
            }
            const PromptRecord& question = m_prompts.records().at(0);
            QCOMPARE(question.text, saveModeText(std::max(mode, 1)) + QLatin1Char('?'));
            QCOMPARE(question.caption, route == 2 ? QStringLiteral("Выход") : QStringLiteral("Сохранить"));
            QCOMPARE(question.icon, MessageIcon::Question);
            QCOMPARE(question.buttons, YesButton | NoButtonAnswer | CancelButton);
            if (route == 2)
                QCOMPARE(closed, proceeds);
            else
                QCOMPARE(w->currentFile().endsWith(QStringLiteral("b.txt")), proceeds);
            // Changes are dropped only when the user said so or they were saved.
            if (!proceeds)
                QVERIFY(w->modified());
        }
    }

    void recentFilesRebuildAndRing() {
        const QString a = script(QStringLiteral("a.txt"));
        const QString b = script(QStringLiteral("b.txt"));
        writeIni("[LastF]\nf01=" + a.toStdString() +
                 "\nf02=" + m_folder->file(QStringLiteral("missing.txt")).toStdString() +
                 "\nf03=" + b.toStdString() + "\n");
        auto w = makeWindow();
        QCOMPARE(w->recentActions().size(), 2);
        QCOMPARE(w->recentActions()[0]->data().toString(), a);
        QCOMPARE(w->recentActions()[1]->data().toString(), b);
        const auto items = w->fileMenu()->actions();
        QCOMPARE(items.size(), 11 + 2);
        QCOMPARE(items[11], w->recentActions()[0]);
        for (const char* name : {"c.txt", "d.txt", "e.txt"})
            open(*w, script(QString::fromLatin1(name)));
        QCOMPARE(w->recentActions().size(), 5);
        // The sixth distinct file overwrites f01, and its entry now opens the new file.
        const QString f = script(QStringLiteral("f.txt"));
        open(*w, f);
        QCOMPARE(w->recentActions().size(), 5);
        QCOMPARE(w->recentActions()[0]->data().toString(), f);
        QCOMPARE(w->recentActions()[0]->text(), f);
        open(*w, a);
        w->recentActions()[0]->trigger();
        QCOMPARE(w->currentFile(), f);
        w->close();
        const std::string written = TestFolder::read(ini());
        // The next new path took the following slot of the ring: "a" came back in place of "b".
        QVERIFY(written.find("f01=" + f.toStdString() + "\r\nf02=" + a.toStdString()) != std::string::npos);
    }

    void recentEntryOfVanishedFileDoesNothing() {
        const QString a = script(QStringLiteral("a.txt"));
        writeIni("[LastF]\nf01=" + a.toStdString() + "\n");
        auto w = makeWindow();
        QFile::remove(a);
        w->recentActions()[0]->trigger();
        QVERIFY(m_prompts.records().empty());
        QVERIFY(w->tree().empty());
        QCOMPARE(w->recentActions().size(), 1);
    }

    void newFileFromTemplate_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("soundscapeChildren");
        QTest::newRow("full") << int(YesButton) << 3; // dsp, playlooping, playrandom
        QTest::newRow("short") << int(NoButtonAnswer) << 0;
    }
    void newFileFromTemplate() {
        QFETCH(int, answer);
        QFETCH(int, soundscapeChildren);
        auto w = makeWindow();
        const QString path = m_folder->file(QStringLiteral("soundscapes_new.txt"));
        m_prompts.answer(path);
        m_prompts.answer(static_cast<PromptButton>(answer));
        w->newFile();
        const PromptRecord& dialog = m_prompts.records().at(0);
        QCOMPARE(dialog.kind, PromptRecord::Kind::SaveFile);
        QCOMPARE(dialog.text, QStringLiteral("Новый файл"));
        QCOMPARE(dialog.fileName, QStringLiteral("soundscapes_myfile"));
        const PromptRecord& question = m_prompts.records().at(1);
        QCOMPARE(question.text, QStringLiteral("Создать блоки автоматически?"));
        QCOMPARE(question.caption, QStringLiteral("Новый файл"));
        QCOMPARE(question.buttons, YesButton | NoButtonAnswer);
        QCOMPARE(w->currentFile(), path);
        QVERIFY(w->modified());
        QCOMPARE(w->selectedNode(), w->tree().first());
        QCOMPARE(w->tree().first()->childCount(), soundscapeChildren);
        QCOMPARE(w->tree().first()->data()->commentsAbove.empty(), false);
    }

    void failedSaveKeepsTheChanges() {
        auto w = makeWindow();
        const QString path = script();
        open(*w, path);
        editFirstValue(*w, QStringLiteral("3"));
        QDir().mkpath(
            m_folder->file(QStringLiteral("scripts/~soundscapes_a.txt"))); // the target cannot be written
        m_prompts.clear();
        QVERIFY(!w->save());
        // The message names the file and says why it could not be written.
        const QString tilde =
            QDir::toNativeSeparators(m_folder->file(QStringLiteral("scripts/~soundscapes_a.txt")));
        QCOMPARE(m_prompts.messages().back().text,
                 QStringLiteral("Ошибка! Файл не сохранен\r%1\rnot a regular file but a folder").arg(tilde));
        QCOMPARE(m_prompts.messages().back().caption, QStringLiteral("Сохранить файл"));
        QVERIFY(w->modified());
        QVERIFY(w->commands().isEnabled(CommandId::Save));
        QCOMPARE(TestFolder::read(path), Script);
        // The close question's Yes with a failing save keeps the window open.
        m_prompts.clear();
        m_prompts.answer(YesButton);
        w->show();
        QVERIFY(!w->close());
    }

    void settingsFileThatCannotBeWritten() {
        QDir().mkpath(ini());
        auto w = makeWindow();
        QCOMPARE(w->settings().saveMode, 1);
        w->close();
        QCOMPARE(m_prompts.messages().size(), std::size_t(1));
        QCOMPARE(m_prompts.messages()[0].text, QStringLiteral("Unable to write to ") + ini());
    }

    void textTabRoundTripAndSaveFromText() {
        auto w = makeWindow();
        const QString path = script();
        open(*w, path);
        w->pages()->setCurrentIndex(MainWindow::TextTab);
        QCOMPARE(w->pages()->currentIndex(), int(MainWindow::TextTab));
        QVERIFY(w->textEditor()->toPlainText().contains(QStringLiteral("\"sc.one\"")));
        QVERIFY(!w->modified());
        w->textEditor()->setFocus();
        QTextCursor cursor = w->textEditor()->textCursor();
        cursor.movePosition(QTextCursor::End);
        w->textEditor()->setTextCursor(cursor);
        for (const QString& line :
             {QStringLiteral("\"sc.three\""), QStringLiteral("{"), QStringLiteral("}")}) {
            QTest::keyClick(w->textEditor(), Qt::Key_Return);
            QTest::keyClicks(w->textEditor(), line);
        }
        QVERIFY(w->modified());
        QVERIFY(w->save());
        QVERIFY(TestFolder::read(m_folder->file(QStringLiteral("scripts/~soundscapes_a.txt")))
                    .find("\"sc.three\"") != std::string::npos);
        w->pages()->setCurrentIndex(MainWindow::TreeTab);
        QVERIFY(findNode(*w, "\"sc.three\"") != nullptr);
        QCOMPARE(w->currentFile(), path);
    }

    void realWorldScriptsOpenSelectAndSave() {
        const QDir folder(QStringLiteral(TONVALE_REALWORLD));
        const QStringList files = folder.entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name);
        if (files.isEmpty())
            QSKIP("no real-world scripts");
        auto w = makeWindow();
        for (const QString& name : files) {
            m_prompts.clear();
            const QString copy =
                script(QStringLiteral("rw/") + name, TestFolder::read(folder.filePath(name)));
            open(*w, copy);
            if (!m_prompts.messages().empty() &&
                m_prompts.messages().front().caption == fromUtf8(loadtext::BraceCaption))
                continue; // refused, with the line named: the previous document stays open
            // The window opens on the first soundscape: its title above the grid, its first element in row 0.
            if (Node* first = w->tree().first(); first != nullptr && !w->tree().isEndMarker(first)) {
                QCOMPARE(w->selectedNode(), first);
                QCOMPARE(w->titleText(), scriptToQString(first->text()));
                const Node* child = w->tree().next(first);
                if (first->hasChildren() && child != nullptr && child->data() != nullptr &&
                    !child->text().empty())
                    QCOMPARE(w->grid()->gridModel()->rowName(0), scriptToQString(trim(child->text())));
            }
            // Every soundscape fills the grid; the document saves to the "~" file.
            for (Node* top : w->tree().topLevel())
                w->selectNode(top);
            QVERIFY2(w->grid()->gridModel()->dataRows() >= 1, qPrintable(name));
            if (w->currentFile().isEmpty())
                continue;
            const bool saved = w->save();
            QCOMPARE(TestFolder::exists(m_folder->file(QStringLiteral("rw/~") + name)), saved);
            if (w->tree().size() >= 2)
                QVERIFY2(saved, qPrintable(name));
            else // a one-line file loads as the end marker alone, which the writer refuses
                QVERIFY(
                    m_prompts.messages().back().text.startsWith(QStringLiteral("Ошибка! Файл не сохранен")));
        }
    }

    void openWhileOnTheTextTabShowsTheNewDocument() {
        auto w = makeWindow();
        open(*w, script());
        w->pages()->setCurrentIndex(MainWindow::TextTab);
        const QString other =
            script(QStringLiteral("scripts/other.txt"), "\"sc.other\"\r\n{\r\n\t\"dsp\"\t\"2\"\r\n}\r\n");
        open(*w, other);
        QVERIFY(w->textEditor()->toPlainText().contains(QStringLiteral("\"sc.other\"")));
        QVERIFY(!w->textEditor()->toPlainText().contains(QStringLiteral("\"sc.one\"")));
        w->pages()->setCurrentIndex(MainWindow::TreeTab);
        QVERIFY(findNode(*w, "\"sc.other\"") != nullptr);
        QVERIFY(findNode(*w, "\"sc.one\"") == nullptr);
        QCOMPARE(w->currentFile(), other);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_MainWindow.moc"
