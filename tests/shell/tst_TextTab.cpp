// The text tab offscreen: every way of changing tabs (refusals, the brace message, the re-parse on
// return), locating the selected node in the text, the editor's modified mark, bytes in and out, the
// font size buttons and the syntax colouring.

#include "WindowFixture.h"

#include "editor/ScriptHighlighter.h"
#include "shell/Settings.h"

#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>
#include <QToolButton>

using namespace tonvale;
using namespace tonvale::test;

namespace {

const std::string Script =
    "// \"Rain.Street\" comes first, in another letter case\r\n"
    "\"rain.street\"\r\n{\r\n"
    "\t\"dsp\"\t\"1\"\r\n"
    "\t$mix\t\"0.5\"\r\n"
    "\t\"playlooping\"\r\n\t{\r\n\t\t\"wave\"\t\"amb/rain.wav\"\r\n\t}\r\n"
    "}\r\n"
    "\"sc.two\"\r\n{\r\n\t\"dsp\"\t\"0\"\r\n}\r\n";

const QString BraceMessage = QStringLiteral("Ошибка. Не найдена одна или несколько открывающих(закрывающих) фигурных скобок");

void replaceAll(QPlainTextEdit* memo, const QString& from, const QString& to) {
    // As the user would: select and type over, so the editor's modified mark is set.
    QString text = memo->toPlainText();
    const qsizetype at = text.indexOf(from);
    QVERIFY(at >= 0);
    QTextCursor cursor = memo->textCursor();
    cursor.setPosition(static_cast<int>(at));
    cursor.setPosition(static_cast<int>(at + from.size()), QTextCursor::KeepAnchor);
    cursor.insertText(to);
}

} // namespace

class TestTextTab : public QObject {
    Q_OBJECT

    WindowFixture f;

    std::unique_ptr<TfSsMain> openScript(const std::string& text = Script) {
        auto w = f.makeWindow();
        f.open(*w, f.write(QStringLiteral("scripts/a.txt"), text));
        f.prompts.clear();
        return w;
    }
    static void toText(TfSsMain& w) { w.pages()->setCurrentIndex(TfSsMain::TextTab); }
    static void toTree(TfSsMain& w) { w.pages()->setCurrentIndex(TfSsMain::TreeTab); }

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
        QSignalSpy changed(w.get(), &TfSsMain::tabChanged);
        toText(*w);
        QCOMPARE(w->pages()->currentIndex(), int(TfSsMain::TreeTab));
        QVERIFY(f.prompts.records().empty());
        QVERIFY(w->memo()->document()->isEmpty());
        QCOMPARE(changed.count(), 0);
    }

    void arrivingShowsTheTreeAndDisablesSaveAndComments() {
        auto w = openScript();
        w->selectNode(f.findNode(*w, "\"dsp\""));
        QVERIFY(w->commands().isEnabled(Cmd::A_Comment));
        QSignalSpy changed(w.get(), &TfSsMain::tabChanged);
        toText(*w);
        QCOMPARE(changed.count(), 1);
        QVERIFY(w->memo()->toPlainText().startsWith(QStringLiteral("//")));
        QVERIFY(!w->modified());
        QVERIFY(!w->memo()->document()->isModified());
        QVERIFY(!w->commands().isEnabled(Cmd::A_SaveRes));
        QVERIFY(!w->commands().isEnabled(Cmd::A_Comment));
        // The working file holds what the editor shows.
        QCOMPARE(TestFolder::read(w->workingFile()), w->memoBytes());
        // A parameter is not looked for: nothing is selected.
        QVERIFY(!w->memo()->textCursor().hasSelection());
    }

    void selectedNodeIsLocatedCaseSensitively_data() {
        QTest::addColumn<QString>("node");
        QTest::addColumn<QString>("selected");
        QTest::newRow("header") << "\"rain.street\"" << "\"rain.street\"";
        QTest::newRow("dollar parameter") << "$mix" << "$mix";
        QTest::newRow("block header") << "\"playlooping\"" << "\"playlooping\"";
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
        const QTextCursor cursor = w->memo()->textCursor();
        QCOMPARE(cursor.selectedText(), selected);
        if (!selected.isEmpty()) {
            // The first occurrence of exactly that text: the comment's "Rain.Street" does not match.
            QCOMPARE(cursor.selectionStart(), int(w->memo()->toPlainText().indexOf(selected)));
            QVERIFY(cursor.selectionStart() > w->memo()->toPlainText().indexOf(QStringLiteral("\n")));
        }
    }

    void unbalancedBracesKeepTheTextTab() {
        auto w = openScript();
        toText(*w);
        replaceAll(w->memo(), QStringLiteral("\"sc.two\""), QStringLiteral("\"sc.new\""));
        QVERIFY(w->modified());
        // Delete the last closing brace.
        const int brace = static_cast<int>(w->memo()->toPlainText().lastIndexOf(QLatin1Char('}')));
        QTextCursor cursor = w->memo()->textCursor();
        cursor.setPosition(brace);
        cursor.deleteChar();
        QVERIFY(w->memo()->document()->isModified());
        toTree(*w);
        QCOMPARE(w->pages()->currentIndex(), int(TfSsMain::TextTab));
        QCOMPARE(f.prompts.messages().size(), std::size_t(1));
        const PromptRecord& m = f.prompts.messages()[0];
        QCOMPARE(m.text, BraceMessage);
        QCOMPARE(m.caption, QStringLiteral("Сохранение временного файла"));
        QCOMPARE(m.icon, MessageIcon::Error);
        QVERIFY(!w->memo()->document()->isModified());
        QVERIFY(w->modified());
        QVERIFY(f.findNode(*w, "\"sc.two\"") != nullptr);  // the tree is untouched

        // With the brace back the return rebuilds the tree from the text.
        cursor.setPosition(brace);
        cursor.insertText(QStringLiteral("}"));
        toTree(*w);
        QCOMPARE(w->pages()->currentIndex(), int(TfSsMain::TreeTab));
        QVERIFY(f.findNode(*w, "\"sc.two\"") == nullptr);
        QVERIFY(f.findNode(*w, "\"sc.new\"") != nullptr);
        QVERIFY(!w->memo()->document()->isModified());
        QVERIFY(w->modified());
        QVERIFY(w->commands().isEnabled(Cmd::A_SaveRes));
        QVERIFY(w->commands().isEnabled(Cmd::A_Comment));
        QCOMPARE(w->currentFile(), f.folder->file(QStringLiteral("scripts/a.txt")));
    }

    void everyReturnReparsesTheText() {
        auto w = openScript();
        toText(*w);
        Node* before = w->tree().first();
        toTree(*w);
        QVERIFY(w->tree().first() != before || w->tree().first()->text() == "\"rain.street\"");
        QCOMPARE(w->tree().first()->text(), std::string("\"rain.street\""));
        QVERIFY(!w->modified());
        QVERIFY(!w->commands().isEnabled(Cmd::A_SaveRes));
        QVERIFY(f.prompts.records().empty());
    }

    void emptiedEditorLeavesWithoutCheckAndKeepsTheTree() {
        auto w = openScript();
        toText(*w);
        w->memo()->selectAll();
        w->memo()->textCursor().removeSelectedText();
        QTextCursor cursor = w->memo()->textCursor();
        cursor.select(QTextCursor::Document);
        cursor.removeSelectedText();
        QVERIFY(w->memo()->document()->isEmpty());
        toTree(*w);
        QCOMPARE(w->pages()->currentIndex(), int(TfSsMain::TreeTab));
        QVERIFY(f.prompts.records().empty());
        QVERIFY(f.findNode(*w, "\"sc.two\"") != nullptr);
    }

    void tabKeyTypesATabAndBytesComeBackAsShown() {
        // Windows-1251 letters, a no-break space (0xA0), "№" (0xB9) and the undefined 0x98.
        const std::string value = "\"\xC7\xE2\xF3\xEA\xA0\xB9\x98\"";
        auto w = openScript("\"sc.one\"\r\n{\r\n\t\"dsp\"\t" + value + "\r\n}\r\n");
        toText(*w);
        const std::string shown = w->memoBytes();
        QVERIFY(shown.find(value) != std::string::npos);
        QTextCursor cursor = w->memo()->textCursor();
        cursor.movePosition(QTextCursor::End);
        w->memo()->setTextCursor(cursor);
        w->memo()->setFocus();
        QTest::keyClicks(w->memo(), QStringLiteral("//x"));
        QTest::keyClick(w->memo(), Qt::Key_Tab);
        QTest::keyClicks(w->memo(), QStringLiteral("y"));
        QCOMPARE(w->pages()->currentIndex(), int(TfSsMain::TextTab));
        QVERIFY(w->memoText().endsWith(QStringLiteral("//x\ty")));
        QVERIFY(w->A_SaveResExecute());
        const std::string saved = TestFolder::read(f.folder->file(QStringLiteral("scripts/~a.txt")));
        QCOMPARE(saved, shown + "//x\ty\r\n");
    }

    void saveAsOnTheTextTabWritesTheEditorsText() {
        auto w = openScript();
        toText(*w);
        replaceAll(w->memo(), QStringLiteral("\"sc.two\""), QStringLiteral("\"sc.renamed\""));
        const QString target = f.folder->file(QStringLiteral("scripts/b.txt"));
        f.prompts.answer(target);
        w->A_SaveAsExecute();
        QCOMPARE(TestFolder::read(target), w->memoBytes());
        QVERIFY(TestFolder::read(target).find("\"sc.renamed\"") != std::string::npos);
        QCOMPARE(w->currentFile(), target);
        QVERIFY(!w->modified());
        QVERIFY(!w->memo()->document()->isModified());
        toTree(*w);
        QVERIFY(f.findNode(*w, "\"sc.renamed\"") != nullptr);
    }

    void typingMarksTheDocumentLoadingDoesNot() {
        auto w = openScript();
        toText(*w);
        QVERIFY(!w->modified());
        w->memo()->setFocus();
        QTest::keyClick(w->memo(), Qt::Key_End);
        QTest::keyClicks(w->memo(), QStringLiteral(" "));
        QVERIFY(w->modified());
        QVERIFY(w->commands().isEnabled(Cmd::A_SaveRes));
    }

    void fontSizeButtons() {
        auto w = f.makeWindow();
        auto* down = w->findChild<QToolButton*>(QStringLiteral("SpeedButton2"));
        auto* up = w->findChild<QToolButton*>(QStringLiteral("SpeedButton3"));
        QVERIFY(down && up);
        auto size = [&] { return w->memo()->font().pointSize(); };
        QCOMPARE(size(), 8);
        down->click();  // at the limit: stays, and the button goes off
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
        QVERIFY(TestFolder::read(f.folder->file(QStringLiteral("tnv.ini"))).find("FontS=12") != std::string::npos);
    }

    void oddStoredFontSizesStayWithinTheLimits_data() {
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("lowest");
        QTest::addColumn<int>("highest");
        QTest::newRow("9") << 9 << 7 << 15;
        QTest::newRow("20") << 20 << 8 << 14;
        QTest::newRow("3") << 3 << 3 << 15;
    }
    void oddStoredFontSizesStayWithinTheLimits() {
        QFETCH(int, stored);
        QFETCH(int, lowest);
        QFETCH(int, highest);
        f.write(QStringLiteral("tnv.ini"), "[Options]\r\nFontS=" + std::to_string(stored) + "\r\n");
        auto w = f.makeWindow();
        auto* down = w->findChild<QToolButton*>(QStringLiteral("SpeedButton2"));
        auto* up = w->findChild<QToolButton*>(QStringLiteral("SpeedButton3"));
        for (int i = 0; i < 10; ++i)
            down->click();
        QCOMPARE(w->memo()->font().pointSize(), lowest);
        for (int i = 0; i < 10; ++i)
            up->click();
        QCOMPARE(w->memo()->font().pointSize(), highest);
    }

    void syntaxColouring() {
        auto w = f.makeWindow();
        QCoreApplication::processEvents();  // the highlighter takes the document over from the event loop
        w->memo()->setPlainText(QStringLiteral("// top\n\"sc.one\"\n{\n\t\"wave\"\t\"a b.wav\"  // loop {x}\n}\n"));
        ScriptHighlighter* h = w->highlighter();
        auto formatAt = [&](const QString& line, const QString& piece) {
            for (QTextBlock b = w->memo()->document()->begin(); b.isValid(); b = b.next()) {
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
        const QTextDocument* doc = w->memo()->document();
        const QTextBlock first = doc->firstBlock();
        QTextBlock last = doc->lastBlock();
        while (!last.text().contains(QLatin1Char('"')))
            last = last.previous();
        QVERIFY(!ScriptHighlighter::isPending(first));
        QVERIFY(!first.layout()->formats().isEmpty());
        QVERIFY(ScriptHighlighter::isPending(last));
        QVERIFY(last.layout()->formats().isEmpty());
        w->memo()->moveCursor(QTextCursor::End);
        QTRY_VERIFY(!ScriptHighlighter::isPending(last));
        QVERIFY(!last.layout()->formats().isEmpty());
    }
};

QTEST_MAIN(TestTextTab)
#include "tst_TextTab.moc"
