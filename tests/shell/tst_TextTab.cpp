// SPDX-License-Identifier: MIT
// The text tab offscreen: every way of changing tabs (refusals, the brace message, the re-parse on
// return), locating the selected node in the text, the editor's modified mark, bytes in and out, the
// font size buttons and the syntax colouring.

#include "WindowFixture.h"
#include "editor/ScriptHighlighter.h"
#include "editor/SectionTreeModel.h"
#include "settings/Settings.h"

#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>
#include <QToolButton>
#include <QTreeView>

using namespace tonvale;
using namespace tonvale::test;

namespace {

const std::string Script = "// \"Rain.Street\" comes first, in another letter case\r\n"
                           "\"rain.street\"\r\n{\r\n"
                           "\t\"dsp\"\t\"1\"\r\n"
                           "\t$mix\t\"0.5\"\r\n"
                           "\t\"playlooping\"\r\n\t{\r\n\t\t\"wave\"\t\"amb/rain.wav\"\r\n\t}\r\n"
                           "}\r\n"
                           "\"sc.two\"\r\n{\r\n\t\"dsp\"\t\"0\"\r\n}\r\n";

const QString BraceMessage =
    QStringLiteral("Ошибка. Не найдена одна или несколько открывающих(закрывающих) фигурных скобок");

void replaceAll(QPlainTextEdit* textEditor, const QString& from, const QString& to) {
    // As the user would: select and type over, so the editor's modified mark is set.
    QString text = textEditor->toPlainText();
    const qsizetype at = text.indexOf(from);
    QVERIFY(at >= 0);
    QTextCursor cursor = textEditor->textCursor();
    cursor.setPosition(static_cast<int>(at));
    cursor.setPosition(static_cast<int>(at + from.size()), QTextCursor::KeepAnchor);
    cursor.insertText(to);
}

} // namespace

class TestTextTab : public QObject {
    Q_OBJECT

    WindowFixture f;

    std::unique_ptr<MainWindow> openScript(const std::string& text = Script) {
        auto w = f.makeWindow();
        f.open(*w, f.write(QStringLiteral("scripts/a.txt"), text));
        f.prompts.clear();
        return w;
    }
    static void toText(MainWindow& w) { w.pages()->setCurrentIndex(MainWindow::TextTab); }
    static void toTree(MainWindow& w) { w.pages()->setCurrentIndex(MainWindow::TreeTab); }

  private slots:
    void init() { f.reset(); }

    void treeTabIsNotLeftWithoutText_data() {
        QTest::addColumn<QString>("file");
        QTest::newRow("nothing open") << QString();
        QTest::newRow("end marker only") << QStringLiteral("\"one line\"\r\n");
    }
    void treeTabIsNotLeftWithoutText() {
        QFETCH(QString, file);
        auto w = f.makeWindow();
        if (!file.isEmpty())
            f.open(*w, f.write(QStringLiteral("one.txt"), file.toStdString()));
        QVERIFY(w->tree().size() <= 1);
        f.prompts.clear();
        QSignalSpy changed(w.get(), &MainWindow::tabChanged);
        toText(*w);
        QCOMPARE(w->pages()->currentIndex(), int(MainWindow::TreeTab));
        QVERIFY(f.prompts.records().empty());
        QVERIFY(w->textEditor()->document()->isEmpty());
        QCOMPARE(changed.count(), 0);
    }

    void arrivingShowsTheTreeAndDisablesSaveAndComments() {
        auto w = openScript();
        w->selectNode(f.findNode(*w, "\"dsp\""));
        QVERIFY(w->commands().isEnabled(CommandId::Comments));
        QSignalSpy changed(w.get(), &MainWindow::tabChanged);
        toText(*w);
        QCOMPARE(changed.count(), 1);
        QVERIFY(w->textEditor()->toPlainText().startsWith(QStringLiteral("//")));
        QVERIFY(!w->modified());
        QVERIFY(!w->textEditor()->document()->isModified());
        QVERIFY(!w->commands().isEnabled(CommandId::Save));
        QVERIFY(!w->commands().isEnabled(CommandId::Comments));
        // The working file holds what the editor shows.
        QCOMPARE(TestFolder::read(w->workingFile()), w->textPage()->editorBytes());
        // A parameter is not looked for: nothing is selected.
        QVERIFY(!w->textEditor()->textCursor().hasSelection());
    }

    void selectedNodeIsLocatedCaseSensitively_data() {
        QTest::addColumn<QString>("node");
        QTest::addColumn<QString>("selected");
        QTest::newRow("header") << "\"rain.street\""
                                << "\"rain.street\"";
        QTest::newRow("dollar parameter") << "$mix"
                                          << "$mix";
        QTest::newRow("block header") << "\"playlooping\""
                                      << "\"playlooping\"";
        QTest::newRow("quoted parameter") << "\"wave\"" << QString();
        QTest::newRow("end marker") << "" << QString();
    }
    void selectedNodeIsLocatedCaseSensitively() {
        QFETCH(QString, node);
        QFETCH(QString, selected);
        auto w = openScript();
        Node* n = node.isEmpty() ? w->tree().last() : f.findNode(*w, node.toStdString());
        QVERIFY(n != nullptr);
        w->selectNode(n);
        toText(*w);
        const QTextCursor cursor = w->textEditor()->textCursor();
        QCOMPARE(cursor.selectedText(), selected);
        if (!selected.isEmpty()) {
            // The first occurrence of exactly that text: the comment's "Rain.Street" does not match.
            QCOMPARE(cursor.selectionStart(), int(w->textEditor()->toPlainText().indexOf(selected)));
            QVERIFY(cursor.selectionStart() > w->textEditor()->toPlainText().indexOf(QStringLiteral("\n")));
        }
    }

    void unbalancedBracesKeepTheTextTab() {
        auto w = openScript();
        toText(*w);
        replaceAll(w->textEditor(), QStringLiteral("\"sc.two\""), QStringLiteral("\"sc.new\""));
        QVERIFY(w->modified());
        // Delete the last closing brace.
        const int brace = static_cast<int>(w->textEditor()->toPlainText().lastIndexOf(QLatin1Char('}')));
        QTextCursor cursor = w->textEditor()->textCursor();
        cursor.setPosition(brace);
        cursor.deleteChar();
        QVERIFY(w->textEditor()->document()->isModified());
        int tabWhileAsked = -1;
        f.prompts.onMessage = [&](const PromptRecord&) { tabWhileAsked = w->pages()->currentIndex(); };
        toTree(*w);
        QCOMPARE(tabWhileAsked, int(MainWindow::TextTab)); // the message stands over the text
        QCOMPARE(w->pages()->currentIndex(), int(MainWindow::TextTab));
        QCOMPARE(f.prompts.messages().size(), std::size_t(1));
        const PromptRecord& m = f.prompts.messages()[0];
        // The message names the line where the count goes wrong, and stands over the text.
        QVERIFY2(m.text.startsWith(BraceMessage) && m.text.contains(QStringLiteral("Строка ")),
                 qPrintable(m.text));
        QCOMPARE(m.caption, QStringLiteral("Сохранение временного файла"));
        QCOMPARE(m.icon, MessageIcon::Error);
        QVERIFY(!w->textEditor()->document()->isModified());
        QVERIFY(w->modified());
        QVERIFY(f.findNode(*w, "\"sc.two\"") != nullptr); // the tree is untouched

        // With the brace back the return rebuilds the tree from the text.
        cursor.setPosition(brace);
        cursor.insertText(QStringLiteral("}"));
        toTree(*w);
        QCOMPARE(w->pages()->currentIndex(), int(MainWindow::TreeTab));
        QVERIFY(f.findNode(*w, "\"sc.two\"") == nullptr);
        QVERIFY(f.findNode(*w, "\"sc.new\"") != nullptr);
        QVERIFY(!w->textEditor()->document()->isModified());
        QVERIFY(w->modified());
        QVERIFY(w->commands().isEnabled(CommandId::Save));
        QCOMPARE(w->commands().isEnabled(CommandId::Comments), w->selectedNode() != nullptr);
        QCOMPARE(w->currentFile(), f.folder->file(QStringLiteral("scripts/a.txt")));
    }

    void returnWithoutEditsKeepsTheTree() {
        auto w = openScript();
        toText(*w);
        Node* before = w->tree().first();
        toTree(*w);
        QCOMPARE(w->tree().first(), before);
        QCOMPARE(w->tree().first()->text(), std::string("\"rain.street\""));
        QVERIFY(!w->modified());
        QVERIFY(!w->commands().isEnabled(CommandId::Save));
        QVERIFY(f.prompts.records().empty());
    }

    void levelErrorKeepsTheTextAndTheDocument() {
        auto w = openScript();
        toText(*w);
        // A block opened twice: the tree would stop there and lose the rest of the text.
        replaceAll(w->textEditor(), QStringLiteral("\"sc.two\""),
                   QStringLiteral("\"sc.two\"\n{\n{\n\"x\" \"1\"\n}\n}\n\"sc.three\""));
        const QString typed = w->textEditor()->toPlainText();
        toTree(*w);
        QCOMPARE(w->pages()->currentIndex(), int(MainWindow::TextTab));
        QCOMPARE(w->textEditor()->toPlainText(), typed);
        QCOMPARE(f.prompts.messages().size(), std::size_t(1));
        QVERIFY2(f.prompts.messages()[0].text.startsWith(QStringLiteral("Error load Level. Строка ")),
                 qPrintable(f.prompts.messages()[0].text));
        QCOMPARE(w->currentFile(), f.folder->file(QStringLiteral("scripts/a.txt")));
        QVERIFY(w->modified());
        QVERIFY(f.findNode(*w, "\"sc.two\"") != nullptr);
        f.prompts.clear();
        f.prompts.answer(CancelButton);
        QVERIFY(!w->close()); // the edits are still asked about
        QCOMPARE(f.prompts.messages().size(), std::size_t(1));
    }

    void returnSelectsTheSameElementAgain() {
        auto w = openScript();
        w->selectNode(f.findNode(*w, "\"wave\""));
        toText(*w);
        replaceAll(w->textEditor(), QStringLiteral("\"sc.two\""), QStringLiteral("\"sc.2\""));
        toTree(*w);
        const Node* wave = f.findNode(*w, "\"wave\"");
        QCOMPARE(w->selectedNode(), wave);
        QVERIFY(w->treeView()->isExpanded(w->treeModel()->indexOf(wave->parent())));
        QCOMPARE(w->titleText(), QStringLiteral("\"wave\""));
    }

    void textThatCannotBeShownKeepsTheTreeTab_data() {
        QTest::addColumn<std::string>("script");
        QTest::addColumn<bool>("workingFileWritable");
        QTest::addColumn<QString>("message");
        QTest::newRow("working file not writable") << Script << false << QStringLiteral("Cannot create file");
        QTest::newRow("line over 64 KB")
            << "\"s\"\r\n{\r\n\t\"dsp\"\t\"" + std::string(70000, '1') + "\"\r\n}\r\n"
            << true << QStringLiteral("Строка 3 длиннее 64 КБ");
    }
    void textThatCannotBeShownKeepsTheTreeTab() {
        QFETCH(std::string, script);
        QFETCH(bool, workingFileWritable);
        QFETCH(QString, message);
        auto w = openScript(script);
        if (!workingFileWritable)
            QDir().mkpath(w->workingFile()); // a folder where the working file goes
        toText(*w);
        QCOMPARE(w->pages()->currentIndex(), int(MainWindow::TreeTab));
        QCOMPARE(f.prompts.messages().size(), std::size_t(1));
        QVERIFY2(f.prompts.messages()[0].text.startsWith(message), qPrintable(f.prompts.messages()[0].text));
        QVERIFY(w->textEditor()->document()->isEmpty());
        QVERIFY(f.findNode(*w, "\"dsp\"") != nullptr);
    }

    void utf8ScriptIsShownAsUtf8AndWrittenBackAsRead() {
        const std::string utf8 = "// Дождь на улице\r\n\"rain\"\r\n{\r\n\t\"dsp\"\t\"1\"\t// ливень\r\n}\r\n";
        auto w = openScript(utf8);
        QCOMPARE(w->findChild<QLabel*>(QStringLiteral("EncodingPanel"))->text(), QStringLiteral("UTF-8"));
        toText(*w);
        QVERIFY(w->textEditor()->toPlainText().startsWith(QStringLiteral("// Дождь на улице")));
        replaceAll(w->textEditor(), QStringLiteral("ливень"), QStringLiteral("гроза"));
        toTree(*w);
        QCOMPARE(QString::fromStdString(f.findNode(*w, "\"dsp\"")->data()->commentBeside),
                 QStringLiteral(" гроза"));
        QVERIFY(w->save());
        const std::string saved = TestFolder::read(f.folder->file(QStringLiteral("scripts/~a.txt")));
        QVERIFY(saved.find("// Дождь на улице\r\n") != std::string::npos);
        QVERIFY(saved.find("// гроза") != std::string::npos);
        // A Windows-1251 script is shown in Windows-1251 again.
        f.open(*w,
               f.write(QStringLiteral("scripts/b.txt"), "// \xC4\xEE\xE6\xE4\xFC\r\n\"s\"\r\n{\r\n}\r\n"));
        QCOMPARE(w->findChild<QLabel*>(QStringLiteral("EncodingPanel"))->text(),
                 QStringLiteral("Windows-1251"));
        QCOMPARE(w->tree().first()->data()->commentsAbove, std::string(" \xC4\xEE\xE6\xE4\xFC\r"));
        toText(*w);
        QVERIFY(w->textEditor()->toPlainText().startsWith(QStringLiteral("// Дождь")));
    }

    void emptiedEditorLeavesWithoutCheckAndKeepsTheTree() {
        auto w = openScript();
        toText(*w);
        w->textEditor()->selectAll();
        w->textEditor()->textCursor().removeSelectedText();
        QTextCursor cursor = w->textEditor()->textCursor();
        cursor.select(QTextCursor::Document);
        cursor.removeSelectedText();
        QVERIFY(w->textEditor()->document()->isEmpty());
        toTree(*w);
        QCOMPARE(w->pages()->currentIndex(), int(MainWindow::TreeTab));
        QVERIFY(f.prompts.records().empty());
        QVERIFY(f.findNode(*w, "\"sc.two\"") != nullptr);
    }

    void tabKeyTypesATabAndBytesComeBackAsShown() {
        // Windows-1251 letters, a no-break space (0xA0), "№" (0xB9) and the undefined 0x98.
        const std::string value = "\"\xC7\xE2\xF3\xEA\xA0\xB9\x98\"";
        auto w = openScript("\"sc.one\"\r\n{\r\n\t\"dsp\"\t" + value + "\r\n}\r\n");
        toText(*w);
        const std::string shown = w->textPage()->editorBytes();
        QVERIFY(shown.find(value) != std::string::npos);
        QTextCursor cursor = w->textEditor()->textCursor();
        cursor.movePosition(QTextCursor::End);
        w->textEditor()->setTextCursor(cursor);
        w->textEditor()->setFocus();
        QTest::keyClicks(w->textEditor(), QStringLiteral("//x"));
        QTest::keyClick(w->textEditor(), Qt::Key_Tab);
        QTest::keyClicks(w->textEditor(), QStringLiteral("y"));
        QCOMPARE(w->pages()->currentIndex(), int(MainWindow::TextTab));
        QVERIFY(w->textPage()->editorText().endsWith(QStringLiteral("//x\ty")));
        QVERIFY(w->save());
        const std::string saved = TestFolder::read(f.folder->file(QStringLiteral("scripts/~a.txt")));
        QCOMPARE(saved, shown + "//x\ty\r\n");
    }

    void saveAsOnTheTextTabWritesTheEditorsText() {
        auto w = openScript();
        toText(*w);
        replaceAll(w->textEditor(), QStringLiteral("\"sc.two\""), QStringLiteral("\"sc.renamed\""));
        const QString target = f.folder->file(QStringLiteral("scripts/b.txt"));
        f.prompts.answer(target);
        w->saveAs();
        QCOMPARE(TestFolder::read(target), w->textPage()->editorBytes());
        QVERIFY(TestFolder::read(target).find("\"sc.renamed\"") != std::string::npos);
        QCOMPARE(w->currentFile(), target);
        QVERIFY(!w->modified());
        QVERIFY(!w->textEditor()->document()->isModified());
        toTree(*w);
        QVERIFY(f.findNode(*w, "\"sc.renamed\"") != nullptr);
    }

    void typingMarksTheDocumentLoadingDoesNot() {
        auto w = openScript();
        toText(*w);
        QVERIFY(!w->modified());
        w->textEditor()->setFocus();
        QTest::keyClick(w->textEditor(), Qt::Key_End);
        QTest::keyClicks(w->textEditor(), QStringLiteral(" "));
        QVERIFY(w->modified());
        QVERIFY(w->commands().isEnabled(CommandId::Save));
    }

    void fontSizeButtons() {
        auto w = f.makeWindow();
        auto* down = w->findChild<QToolButton*>(QStringLiteral("fontDown"));
        auto* up = w->findChild<QToolButton*>(QStringLiteral("fontUp"));
        QVERIFY(down && up);
        auto size = [&] { return w->textEditor()->font().pointSize(); };
        QCOMPARE(size(), 8);
        down->click(); // at the limit: stays, and the button goes off
        QCOMPARE(size(), 8);
        QVERIFY(!down->isEnabled());
        QVERIFY(up->isEnabled());
        up->click();
        QCOMPARE(size(), 10);
        QVERIFY(down->isEnabled() && up->isEnabled());
        up->click();
        up->click();
        QCOMPARE(size(), 14);
        QVERIFY(down->isEnabled() && up->isEnabled());
        up->click();
        QCOMPARE(size(), 14);
        QVERIFY(!up->isEnabled());
        QVERIFY(down->isEnabled());
        down->click();
        QCOMPARE(size(), 12);
        QVERIFY(down->isEnabled() && up->isEnabled());
        w->close();
        QVERIFY(TestFolder::read(f.folder->file(QStringLiteral("tnv.ini"))).find("FontS=12") !=
                std::string::npos);
    }

    // Each shown text is a new document: it takes the editor's font and tab stops, and is coloured.
    void textShownAgainKeepsFontTabStopsAndColouring() {
        auto w = openScript();
        toText(*w);
        w->textPage()->increaseFontSize();
        const QFont font = w->textEditor()->document()->defaultFont();
        const qreal tabs = w->textEditor()->tabStopDistance();
        toTree(*w);
        toText(*w);
        QTextDocument* shown = w->textEditor()->document();
        QCOMPARE(shown->defaultFont(), font);
        QCOMPARE(w->textEditor()->tabStopDistance(), tabs);
        QCOMPARE(w->textPage()->highlighter()->document(), shown);
        QVERIFY(!shown->firstBlock().layout()->formats().isEmpty());
        QVERIFY(!shown->isModified());
    }

    void storedFontSizesSnapIntoTheEvenSizesOfTheButtons_data() {
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("shown");
        QTest::newRow("0") << 0 << 8;
        QTest::newRow("3") << 3 << 8;
        QTest::newRow("9") << 9 << 8;
        QTest::newRow("13") << 13 << 12;
        QTest::newRow("20") << 20 << 14;
    }
    void storedFontSizesSnapIntoTheEvenSizesOfTheButtons() {
        QFETCH(int, stored);
        QFETCH(int, shown);
        f.write(QStringLiteral("tnv.ini"), "[Options]\r\nFontS=" + std::to_string(stored) + "\r\n");
        auto w = f.makeWindow();
        QCOMPARE(w->textEditor()->font().pointSize(), shown);
        auto* down = w->findChild<QToolButton*>(QStringLiteral("fontDown"));
        auto* up = w->findChild<QToolButton*>(QStringLiteral("fontUp"));
        for (int i = 0; i < 10; ++i)
            down->click();
        QCOMPARE(w->textEditor()->font().pointSize(), 8);
        for (int i = 0; i < 10; ++i)
            up->click();
        QCOMPARE(w->textEditor()->font().pointSize(), 14);
        w->close();
        QVERIFY(TestFolder::read(f.folder->file(QStringLiteral("tnv.ini"))).find("FontS=14") !=
                std::string::npos);
    }

    void syntaxColouring() {
        auto w = f.makeWindow();
        QCoreApplication::processEvents(); // the highlighter takes the document over from the event loop
        w->textEditor()->setPlainText(
            QStringLiteral("// top\n\"sc.one\"\n{\n\t\"wave\"\t\"a b.wav\"  // loop {x}\n}\n"));
        ScriptHighlighter* h = w->textPage()->highlighter();
        auto formatAt = [&](const QString& line, const QString& piece) {
            for (QTextBlock b = w->textEditor()->document()->begin(); b.isValid(); b = b.next()) {
                if (!b.text().contains(line))
                    continue;
                const int at = static_cast<int>(b.text().indexOf(piece));
                for (const QTextLayout::FormatRange& r : b.layout()->formats()) {
                    if (r.start <= at && at < r.start + r.length)
                        return r.format.foreground().color();
                }
                return QColor();
            }
            return QColor();
        };
        using P = ScriptHighlighter::Part;
        const QColor key = h->format(P::Key).foreground().color();
        const QColor value = h->format(P::Value).foreground().color();
        const QColor brace = h->format(P::Brace).foreground().color();
        const QColor comment = h->format(P::Comment).foreground().color();
        QCOMPARE(formatAt(QStringLiteral("// top"), QStringLiteral("top")), comment);
        QCOMPARE(formatAt(QStringLiteral("\"sc.one\""), QStringLiteral("sc.one")), key);
        QCOMPARE(formatAt(QStringLiteral("\"wave\""), QStringLiteral("wave")), key);
        QCOMPARE(formatAt(QStringLiteral("\"wave\""), QStringLiteral("b.wav")), value);
        QCOMPARE(formatAt(QStringLiteral("\"wave\""), QStringLiteral("{x}")), comment);
        QCOMPARE(formatAt(QStringLiteral("{"), QStringLiteral("{")), brace);
        QVERIFY(key != value && value != brace && brace != comment && key != comment);
    }

    void aLoadedScriptIsColouredWhereItIsSeen() {
        std::string text;
        for (int i = 0; i < 500; ++i)
            text += "\"sc." + std::to_string(i) + "\"\r\n{\r\n\t\"dsp\"\t\"1\"\r\n}\r\n";
        auto w = openScript(text);
        w->resize(700, 600);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        toText(*w);
        QCoreApplication::processEvents();
        const QTextDocument* doc = w->textEditor()->document();
        const QTextBlock first = doc->firstBlock();
        QTextBlock last = doc->lastBlock();
        while (!last.text().contains(QLatin1Char('"')))
            last = last.previous();
        QVERIFY(!ScriptHighlighter::isPending(first));
        QVERIFY(!first.layout()->formats().isEmpty());
        QVERIFY(ScriptHighlighter::isPending(last));
        QVERIFY(last.layout()->formats().isEmpty());
        w->textEditor()->moveCursor(QTextCursor::End);
        QTRY_VERIFY(!ScriptHighlighter::isPending(last));
        QVERIFY(!last.layout()->formats().isEmpty());
    }
};

QTEST_MAIN(TestTextTab)
#include "tst_TextTab.moc"
