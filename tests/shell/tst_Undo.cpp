// SPDX-License-Identifier: MIT
// Undo and redo in the window: every command path leaves one step, named in the command's caption;
// undo brings the document back to the byte and the modified flag with it, without resetting the
// tree's views; the text tab keeps its own undo.

#include "WindowFixture.h"
#include "document/Writer.h"
#include "editor/ParamGrid.h"
#include "editor/ParamGridModel.h"
#include "editor/QtText.h"
#include "editor/SectionTreeModel.h"

#include <QAbstractItemModelTester>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QTreeView>
#include <functional>

using namespace tonvale;
using namespace tonvale::test;

namespace {
const std::string Script =
    "\"sc.one\"\r\n{\r\n\t\"dsp\"\t\"1\"\r\n\t\"playlooping\"\r\n\t{\r\n"
    "\t\t\"wave\"\t\"a.wav\"\r\n\t}\r\n}\r\n\"sc.two\"\r\n{\r\n\t\"dsp\"\t\"2\"\r\n}\r\n";

std::string bytesOf(MainWindow& w) {
    return writeScript(w.tree()).bytes;
}
} // namespace

using UndoCommand = std::function<void(tonvale::MainWindow&, tonvale::test::WindowFixture&)>;
Q_DECLARE_METATYPE(UndoCommand)

class TestUndo : public QObject {
    Q_OBJECT

    WindowFixture f;

    std::unique_ptr<MainWindow> openScript() {
        auto w = f.makeWindow();
        f.open(*w, f.write(QStringLiteral("scripts/a.txt"), Script));
        f.prompts.clear();
        return w;
    }

  private slots:
    void init() { f.reset(); }

    void everyCommandIsOneStepUndoneAndRedone_data() {
        QTest::addColumn<QString>("label");
        QTest::addColumn<std::function<void(MainWindow&, WindowFixture&)>>("command");
        using Command = std::function<void(MainWindow&, WindowFixture&)>;
        const auto select = [](MainWindow& w, const char* text) {
            w.selectNode(WindowFixture::findNode(w, text));
        };
        QTest::newRow("typed value") << "значение \"dsp\""
                                     << Command([select](MainWindow& w, WindowFixture&) {
                                            select(w, "\"sc.two\"");
                                            ParamGrid* grid = w.grid();
                                            grid->setCurrentIndex(grid->gridModel()->index(0, 1));
                                            QTest::keyClick(grid, Qt::Key_4);
                                            auto* editor = grid->viewport()->findChild<QLineEdit*>(
                                                QStringLiteral("gridCellEditor"));
                                            QTest::keyClick(editor, Qt::Key_2);
                                            QTest::keyClick(editor, Qt::Key_Return);
                                        });
        QTest::newRow("rename") << "переименование \"sc.two\""
                                << Command([select](MainWindow& w, WindowFixture& fixture) {
                                       select(w, "\"sc.two\"");
                                       fixture.prompts.answer(QStringLiteral("\"sc.2\""));
                                       w.commands().trigger(CommandId::Rename);
                                   });
        QTest::newRow("delete") << "удаление \"playlooping\""
                                << Command([select](MainWindow& w, WindowFixture& fixture) {
                                       select(w, "\"playlooping\"");
                                       fixture.prompts.answer(YesButton);
                                       w.commands().trigger(CommandId::Delete);
                                   });
        QTest::newRow("new soundscape")
            << "новый soundscape fresh" << Command([](MainWindow& w, WindowFixture& fixture) {
                   fixture.prompts.answer(QStringLiteral("fresh"));
                   w.commands().trigger(CommandId::NewSoundscape);
               });
        QTest::newRow("new block") << "новый блок \"playrandom\""
                                   << Command([select](MainWindow& w, WindowFixture&) {
                                          select(w, "\"sc.two\"");
                                          w.commands().trigger(CommandId::NewRandomBlock);
                                      });
        QTest::newRow("comments") << "комментарии \"sc.one\""
                                  << Command([select](MainWindow& w, WindowFixture& fixture) {
                                         select(w, "\"sc.one\"");
                                         fixture.prompts.answer(CommentAnswers{"beside", {"above"}});
                                         w.commands().trigger(CommandId::Comments);
                                     });
        QTest::newRow("drag and drop")
            << "перемещение \"playlooping\"" << Command([](MainWindow& w, WindowFixture& fixture) {
                   fixture.prompts.answer(NoButtonAnswer);
                   w.treeEditor()->onNodeDropped(WindowFixture::findNode(w, "\"playlooping\""),
                                                 WindowFixture::findNode(w, "\"sc.two\""));
               });
        QTest::newRow("new element") << "новый элемент"
                                     << Command([select](MainWindow& w, WindowFixture& fixture) {
                                            select(w, "\"playlooping\"");
                                            NewElementAnswers answers;
                                            answers.mode = NewElementMode::Parameter;
                                            answers.parameterName = "\"volume\"";
                                            answers.value = "\"0.3\"";
                                            fixture.prompts.answer(answers);
                                            fixture.prompts.answer(YesButton);
                                            w.commands().trigger(CommandId::NewElement);
                                        });
        QTest::newRow("wave chooser")
            << "выбор файла \"wave\"" << Command([select](MainWindow& w, WindowFixture& fixture) {
                   w.grid()->setSoundsFolder(fixture.folder->file(QStringLiteral("snd")));
                   select(w, "\"playlooping\"");
                   w.grid()->setCurrentIndex(w.grid()->gridModel()->index(0, 1));
                   fixture.prompts.answer(fixture.write(QStringLiteral("snd/b.wav"), "RIFF"));
                   w.commands().trigger(CommandId::ChooseWave);
               });
        QTest::newRow("edit as text") << "правка текстом" << Command([](MainWindow& w, WindowFixture&) {
            w.pages()->setCurrentIndex(MainWindow::TextTab);
            QTextCursor cursor = w.textEditor()->textCursor();
            cursor.movePosition(QTextCursor::End);
            cursor.insertText(QStringLiteral("\"sc.three\"\n{\n}\n"));
            w.pages()->setCurrentIndex(MainWindow::TreeTab);
        });
    }
    void everyCommandIsOneStepUndoneAndRedone() {
        QFETCH(QString, label);
        QFETCH(std::function<void(MainWindow&, WindowFixture&)>, command);
        auto w = openScript();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QAbstractItemModelTester tester(w->treeModel(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        const std::string original = bytesOf(*w);
        QVERIFY(!w->commands().isEnabled(CommandId::Undo));
        command(*w, f);
        const std::string edited = bytesOf(*w);
        QVERIFY(edited != original);
        QVERIFY(w->modified());
        QVERIFY(w->commands().isEnabled(CommandId::Undo));
        QCOMPARE(w->commands().action(CommandId::Undo)->text(), QStringLiteral("Отменить: ") + label);

        QSignalSpy reset(w->treeModel(), &QAbstractItemModel::modelReset);
        QTest::keyClick(w->treeView(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(bytesOf(*w), original);
        QVERIFY(!w->modified()); // back at the state loaded
        QVERIFY(!w->commands().isEnabled(CommandId::Save));
        QVERIFY(!w->commands().isEnabled(CommandId::Undo));
        QCOMPARE(w->commands().action(CommandId::Redo)->text(), QStringLiteral("Повторить: ") + label);
        QVERIFY(w->selectedNode() != nullptr);
        QTest::keyClick(w->treeView(), Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(bytesOf(*w), edited);
        QVERIFY(w->modified());
        QTest::keyClick(w->treeView(), Qt::Key_Z,
                        Qt::ControlModifier | Qt::ShiftModifier); // redo: nothing left
        QCOMPARE(bytesOf(*w), edited);
        // Only the whole text replaces the document; every other step reports its own rows.
        QCOMPARE(reset.size(), label == QStringLiteral("правка текстом") ? 2 : 0);
    }

    void savedStateClearsTheFlagAndTheTextTabKeepsItsOwnUndo() {
        auto w = openScript();
        Node* dsp = f.findNode(*w, "\"dsp\"");
        w->selectNode(dsp);
        ParamGrid* grid = w->grid();
        grid->setCurrentIndex(grid->gridModel()->index(0, 1));
        QTest::keyClick(grid, Qt::Key_5);
        QTest::keyClick(grid->viewport()->findChild<QLineEdit*>(QStringLiteral("gridCellEditor")),
                        Qt::Key_Return);
        QVERIFY(w->save());
        QVERIFY(!w->modified());
        w->undo();
        QVERIFY(w->modified()); // the state on disk was left
        w->redo();
        QVERIFY(!w->modified());
        QVERIFY(!w->commands().isEnabled(CommandId::Save));
        // On the text tab the commands give way to the editor's own undo.
        w->pages()->setCurrentIndex(MainWindow::TextTab);
        QVERIFY(!w->commands().isEnabled(CommandId::Undo));
        // Opening a file starts an empty history.
        f.open(*w, f.write(QStringLiteral("scripts/b.txt"), Script));
        QVERIFY(!w->commands().isEnabled(CommandId::Undo));
    }
};

QTEST_MAIN(TestUndo)
#include "tst_Undo.moc"
