// SPDX-License-Identifier: MIT
// The window and the files under it: a file changed or removed by another program, a last file that
// cannot be read at start-up, a document too deep to expand, and large files that load behind a
// progress dialog.

#include "WindowFixture.h"
#include "document/Edits.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeView>
#include <functional>

using namespace tonvale;
using namespace tonvale::test;

namespace {
const std::string Script = "\"sc.one\"\r\n{\r\n\t\"dsp\"\t\"1\"\r\n}\r\n";
const std::string Appended = "\"sc.outside\"\r\n{\r\n\t\"dsp\"\t\"2\"\r\n}\r\n";
const QString ChangedCaption = QStringLiteral("Файл изменён другой программой");

// Runs `act` on the load's progress dialog as soon as it is shown.
class ProgressWatch : public QObject {
  public:
    explicit ProgressWatch(std::function<void(QProgressDialog&)> act) : m_act(std::move(act)) {
        qApp->installEventFilter(this);
    }
    ~ProgressWatch() override { qApp->removeEventFilter(this); }
    int shown = 0;
    QString label;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* dialog = qobject_cast<QProgressDialog*>(watched);
        if (event->type() == QEvent::Show && dialog != nullptr &&
            dialog->objectName() == QStringLiteral("loadProgress")) {
            shown += dialog->isModal() ? 1 : 100; // modal: nothing else of the window takes input
            label = dialog->findChild<QLabel*>()->text();
            m_act(*dialog);
        }
        return false;
    }

  private:
    std::function<void(QProgressDialog&)> m_act;
};

// A script of about 5 MB: soundscapes of ten waves each.
std::string largeScript() {
    std::string text;
    for (int i = 0; i < 20000; ++i) {
        text += "\"big." + std::to_string(i) +
                "\"\r\n{\r\n\t\"playrandom\"\r\n\t{\r\n\t\t\"rndwave\"\r\n\t\t{\r\n";
        for (int k = 0; k < 10; ++k)
            text += "\t\t\t\"wave\"\t\"ambient/wind/sound_" + std::to_string(k) + ".wav\"\r\n";
        text += "\t\t}\r\n\t}\r\n}\r\n";
    }
    return text;
}
} // namespace

class TestFileSafety : public QObject {
    Q_OBJECT

    WindowFixture f;

    std::unique_ptr<MainWindow>
    openEdited(const std::string& settings = "[Options]\r\nSaved=2\r\nSaveOriginFile=1\r\n") {
        f.write(QStringLiteral("tnv.ini"), settings);
        auto w = f.makeWindow();
        f.open(*w, f.write(QStringLiteral("scripts/a.txt"), Script));
        setNodeValue(w->tree(), f.findNode(*w, "\"dsp\""), "\"9\"");
        w->setModified(true);
        f.prompts.clear();
        return w;
    }
    QString path() const { return f.folder->file(QStringLiteral("scripts/a.txt")); }
    void changeOutside() const {
        QFile file(path());
        QVERIFY(file.open(QIODevice::Append));
        file.write(Appended.data(), static_cast<qint64>(Appended.size()));
    }

  private slots:
    void init() { f.reset(); }
    void cleanup() { MainWindow::setBackgroundLoadBytes(MainWindow::DefaultBackgroundLoadBytes); }

    void saveOverAFileChangedOutsideAsksFirst_data() {
        QTest::addColumn<int>("answer");
        QTest::newRow("reload") << int(YesButton);
        QTest::newRow("overwrite") << int(NoButtonAnswer);
        QTest::newRow("cancel") << int(CancelButton);
    }
    void saveOverAFileChangedOutsideAsksFirst() {
        QFETCH(int, answer);
        auto w = openEdited();
        changeOutside();
        f.prompts.answer(static_cast<PromptButton>(answer));
        const bool saved = w->save();
        QCOMPARE(f.prompts.messages().size(), std::size_t(1));
        QCOMPARE(f.prompts.messages()[0].caption, ChangedCaption);
        const std::string onDisk = TestFolder::read(path());
        QCOMPARE(saved, answer == NoButtonAnswer);
        if (answer == NoButtonAnswer) {
            QVERIFY(onDisk.find("sc.outside") == std::string::npos);
            QVERIFY(onDisk.find("\"9\"") != std::string::npos);
            // Saved now: the next save writes without asking.
            w->setModified(true);
            f.prompts.clear();
            QVERIFY(w->save());
            QVERIFY(f.prompts.messages().empty());
        } else {
            QCOMPARE(onDisk, Script + Appended);
        }
        QCOMPARE(f.findNode(*w, "\"sc.outside\"") != nullptr, answer == YesButton);
        QCOMPARE(w->modified(), answer == CancelButton);
    }

    void aChangeOutsideIsNoticedWhenTheWindowComesBack() {
        f.write(QStringLiteral("tnv.ini"), "[Options]\r\nSaved=2\r\nSaveOriginFile=1\r\n");
        auto w = f.makeWindow();
        f.open(*w, f.write(QStringLiteral("scripts/a.txt"), Script));
        f.prompts.clear();
        changeOutside();
        const auto activate = [&w] {
            QEvent event(QEvent::WindowActivate);
            QCoreApplication::sendEvent(w.get(), &event);
            QCoreApplication::processEvents();
        };
        f.prompts.answer(NoButtonAnswer);
        activate();
        QCOMPARE(f.prompts.messages().size(), std::size_t(1));
        QCOMPARE(f.prompts.messages()[0].caption, ChangedCaption);
        QCOMPARE(f.prompts.messages()[0].defaultButton, YesButton); // nothing to lose: reload is offered
        activate(); // the same change is not asked about twice
        QCOMPARE(f.prompts.messages().size(), std::size_t(1));
        QVERIFY(f.findNode(*w, "\"sc.outside\"") == nullptr);

        changeOutside();
        f.prompts.answer(YesButton);
        activate();
        QCOMPARE(f.prompts.messages().size(), std::size_t(2));
        QVERIFY(f.findNode(*w, "\"sc.outside\"") != nullptr);
        QVERIFY(!w->modified());
    }

    void editsOfAFileRemovedOutsideAreAskedAboutAndSavedAs() {
        auto w = openEdited();
        QVERIFY(QFile::remove(path()));
        const QString elsewhere = f.folder->file(QStringLiteral("scripts/kept.txt"));
        f.prompts.answer(YesButton);
        f.prompts.answer(elsewhere);
        w->show();
        QVERIFY(w->close());
        QCOMPARE(f.prompts.records().at(0).caption, QStringLiteral("Выход"));
        QCOMPARE(f.prompts.records().at(1).kind, PromptRecord::Kind::SaveFile);
        QVERIFY(TestFolder::read(elsewhere).find("\"9\"") != std::string::npos);
    }

    // A document the writer refuses (nothing left but the end marker) leaves the file untouched.
    void aRefusedSaveLeavesTheFile() {
        auto w = openEdited();
        deleteNode(w->tree(), f.findNode(*w, "\"sc.one\""));
        QVERIFY(!w->save());
        QCOMPARE(f.prompts.messages().size(), std::size_t(2));
        QCOMPARE(f.prompts.messages()[0].text, QStringLiteral("Файл не имеет данных"));
        QCOMPARE(f.prompts.messages()[1].text, QStringLiteral("Ошибка! Файл не сохранен"));
        QCOMPARE(TestFolder::read(path()), Script);
        QVERIFY(w->modified());
    }

    // Save, the text tab and Save As with the file's own layout kept: one edit changes one line.
    void theFilesLayoutIsKeptWhenAsked() {
        const std::string script = "// table\n\"sc.one\" {\n    \"dsp\"   \"1\"   // room\n\n"
                                   "    \"playlooping\" {\n        \"wave\" \"a.wav\"\n    }\n}";
        std::string expected = script;
        expected.replace(expected.find("\"1\""), 3, "\"9\"");
        f.write(QStringLiteral("tnv.ini"), "[Options]\r\nSaved=2\r\nSaveOriginFile=1\r\nKeepLayout=1\r\n");
        auto w = f.makeWindow();
        f.open(*w, f.write(QStringLiteral("scripts/a.txt"), script));
        setNodeValue(w->tree(), f.findNode(*w, "\"dsp\""), "\"9\"");
        w->setModified(true);
        QVERIFY(w->save());
        QCOMPARE(TestFolder::read(path()), expected);
        w->pages()->setCurrentIndex(MainWindow::TextTab);
        QCOMPARE(w->textEditor()->toPlainText().toStdString(), expected);
        w->pages()->setCurrentIndex(MainWindow::TreeTab);

        const QString other = f.folder->file(QStringLiteral("scripts/b.txt"));
        f.prompts.answer(SaveAsAnswer{other, false});
        QVERIFY(w->saveAs());
        QCOMPARE(TestFolder::read(other), writeScript(w->tree()).bytes);
    }

    // A layout that cannot hold the edit (a block after a "}" without an element of its own): Save asks
    // before writing the canonical text; No writes nothing.
    void aLayoutThatCannotBeKeptIsAskedAbout() {
        const std::string script = "\"a\"\r\n{\r\n}\r\n{\r\n\"b\" \"1\"\r\n}\r\n";
        f.write(QStringLiteral("tnv.ini"), "[Options]\r\nSaved=2\r\nSaveOriginFile=1\r\nKeepLayout=1\r\n");
        auto w = f.makeWindow();
        f.open(*w, f.write(QStringLiteral("scripts/a.txt"), script));
        setNodeValue(w->tree(), f.findNode(*w, "\"b\""), "\"2\"");
        w->setModified(true);
        f.prompts.clear();
        f.prompts.answer(NoButtonAnswer);
        QVERIFY(!w->save());
        QCOMPARE(f.prompts.messages().size(), std::size_t(1));
        QCOMPARE(f.prompts.messages()[0].icon, MessageIcon::Warning);
        QCOMPARE(TestFolder::read(path()), script);
        f.prompts.answer(YesButton);
        QVERIFY(w->save());
        QCOMPARE(TestFolder::read(path()), writeScript(w->tree()).bytes);
    }

    void anUnreadableLastFileIsNamedAtStartUp() {
        // Larger than any script may be (a sparse file: nothing is written).
        const QString big = f.folder->file(QStringLiteral("scripts/huge.txt"));
        {
            QFile file(f.write(QStringLiteral("scripts/huge.txt"), ""));
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.resize(qint64{300} << 20));
        }
        f.write(QStringLiteral("tnv.ini"), "[Options]\r\nLastFile=" + big.toStdString() + "\r\n");
        auto w = f.makeWindow();
        QCOMPARE(f.prompts.messages().size(), std::size_t(1));
        const QString text = f.prompts.messages()[0].text;
        QVERIFY2(text.startsWith(QStringLiteral("Не удалось открыть файл \"")) && text.contains(big),
                 qPrintable(text));
        QVERIFY(w->tree().empty());
        QVERIFY(!w->commands().isEnabled(CommandId::Save));
        // From the recent files the same file leaves the open document as it was.
        f.open(*w, f.write(QStringLiteral("scripts/a.txt"), Script));
        f.prompts.clear();
        w->openRecentFile(big);
        QCOMPARE(f.prompts.messages().size(), std::size_t(1));
        QVERIFY(f.prompts.messages()[0].text.contains(big));
        QCOMPARE(w->currentFile(), path());
        QVERIFY(f.findNode(*w, "\"dsp\"") != nullptr);
    }

    void expandingADocumentTooDeepIsRefused() {
        const int depth = 100000;
        std::string deep;
        for (int i = 0; i < depth; ++i)
            deep += "\"n\"\r\n{\r\n";
        deep += "\"dsp\"\t\"1\"\r\n";
        for (int i = 0; i < depth; ++i)
            deep += "}\r\n";
        auto w = f.makeWindow();
        f.open(*w, f.write(QStringLiteral("scripts/deep.txt"), deep));
        QCOMPARE(w->tree().size(), std::size_t(depth + 2));
        f.prompts.clear();
        w->commands().trigger(CommandId::ExpandAll);
        QCOMPARE(f.prompts.messages().size(), std::size_t(1));
        QCOMPARE(f.prompts.messages()[0].caption, QStringLiteral("Развернуть"));
        // A real script expands.
        f.open(*w, f.write(QStringLiteral("scripts/a.txt"), Script));
        f.prompts.clear();
        w->commands().trigger(CommandId::ExpandAll);
        QVERIFY(f.prompts.messages().empty());
        QVERIFY(w->treeView()->isExpanded(w->treeView()->model()->index(0, 0)));
    }

    // A file above the size limit loads on another thread behind a modal progress dialog. Cancelling
    // it, or closing the window meanwhile, leaves the open document, its file and its changes as they
    // were; the window closes once the load is cancelled, and the thread is waited for.
    void aLargeFileLoadsBehindAProgressDialog_data() {
        QTest::addColumn<QString>("action");
        QTest::newRow("load") << QStringLiteral("load");
        QTest::newRow("cancel") << QStringLiteral("cancel");
        QTest::newRow("close the window") << QStringLiteral("close");
        QTest::newRow("last file at start-up") << QStringLiteral("start-up");
    }
    void aLargeFileLoadsBehindAProgressDialog() {
        QFETCH(QString, action);
        const QString big = f.write(QStringLiteral("scripts/big.txt"), largeScript());
        MainWindow::setBackgroundLoadBytes(1 << 20);
        std::unique_ptr<MainWindow> w;
        ProgressWatch watch([&](QProgressDialog& dialog) {
            if (action == QStringLiteral("cancel"))
                dialog.findChild<QPushButton*>()->click();
            else if (action == QStringLiteral("close"))
                w->close();
        });
        if (action == QStringLiteral("start-up")) {
            f.write(QStringLiteral("tnv.ini"), "[Options]\r\nLastFile=" + big.toStdString() + "\r\n");
            w = f.makeWindow();
            QCOMPARE(watch.shown, 1);
            QCOMPARE(w->currentFile(), big);
            QCOMPARE(w->tree().topLevel().size(), std::size_t(20001));
            QCOMPARE(w->selectedNode(), w->tree().first());
            return;
        }
        w = f.makeWindow();
        w->show();
        f.open(*w, f.write(QStringLiteral("scripts/a.txt"), Script));
        QCOMPARE(watch.shown, 0); // a small file loads at once
        setNodeValue(w->tree(), f.findNode(*w, "\"dsp\""), "\"9\"");
        w->setModified(true);
        f.prompts.clear();
        f.prompts.answer(NoButtonAnswer); // the keep-changes question before the open...
        f.prompts.answer(big);
        f.prompts.answer(NoButtonAnswer); // ...and before the window closes
        w->openFile();
        QCOMPARE(watch.shown, 1);
        QVERIFY2(watch.label.contains(QStringLiteral("big.txt")), qPrintable(watch.label));
        QVERIFY(!w->loading());
        if (action == QStringLiteral("load")) {
            QCOMPARE(w->currentFile(), big);
            QCOMPARE(w->tree().topLevel().size(), std::size_t(20001)); // the end marker included
            QCOMPARE(w->selectedNode(), w->tree().first());
            QVERIFY(!w->modified());
            QCOMPARE(w->windowTitle(), QStringLiteral("Tonvale [big.txt]"));
            return;
        }
        QCOMPARE(w->currentFile(), path());
        QVERIFY(writeScript(w->tree()).bytes.find("\"9\"") != std::string::npos); // the edit is kept
        QVERIFY(w->modified());
        QCOMPARE(f.prompts.messages().size(), std::size_t(1)); // nothing said about the cancelled load
        QCoreApplication::processEvents();
        QCOMPARE(w->isVisible(), action == QStringLiteral("cancel"));
        if (action == QStringLiteral("close"))
            QCOMPARE(f.prompts.messages().at(1).caption, QStringLiteral("Выход"));
        w.reset(); // the cancelled load may still run: the window waits for it
    }
};

QTEST_MAIN(TestFileSafety)
#include "tst_FileSafety.moc"
