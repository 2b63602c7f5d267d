// SPDX-License-Identifier: MIT
// The find window offscreen: the editor search with its repeat, replace and replace all, letter case
// (Cyrillic included), the grid search by column with the light-green match, F3 on each tab, and the
// window's caption and tabs following the main window's tab.

#include "WindowFixture.h"
#include "editor/ParamGrid.h"
#include "shell/FindWindow.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTest>
#include <QTextCursor>

using namespace tonvale;
using namespace tonvale::test;

namespace {

const std::string Script = "\"sc.one\"\r\n{\r\n"
                           "\t\"dsp\"\t\"1\"\r\n"
                           "\t\"wave\"\t\"amb/Wind.wav\"\r\n"
                           "\t\"volume\"\t\"0.5\"\r\n"
                           "\t\"pitch\"\t\"WIND\"\r\n"
                           "\t\"soundlevel\"\t\"\xC2\xE5\xF2\xE5\xF0\"\r\n" // "Ветер" in Windows-1251
                           "}\r\n";

const QString EditorEnd = QStringLiteral("Поиск завершен. Повторить поиск?");

} // namespace

class TestFind : public QObject {
    Q_OBJECT

    WindowFixture f;
    std::unique_ptr<MainWindow> w;
    std::unique_ptr<FindWindow> find;

    void openOnTextTab(const QString& text) {
        w->pages()->setCurrentIndex(MainWindow::TextTab);
        QCOMPARE(w->pages()->currentIndex(), int(MainWindow::TextTab));
        w->textEditor()->setPlainText(text);
        w->setModified(false);
        f.prompts.clear();
    }
    void search(const QString& text) {
        find->findText()->setText(text);
        find->search();
    }
    QString selected() const { return w->textEditor()->textCursor().selectedText(); }
    int selectionStart() const { return w->textEditor()->textCursor().selectionStart(); }
    ParamGridModel* model() const { return w->grid()->gridModel(); }

  private slots:
    void init() {
        f.reset();
        w = f.makeWindow();
        find = std::make_unique<FindWindow>(*w, f.prompts);
        f.open(*w, f.write(QStringLiteral("a.txt"), Script));
        f.prompts.clear();
    }
    void cleanup() {
        find.reset();
        w.reset();
    }

    void captionAndTabsFollowTheMainWindow() {
        w->selectNode(w->tree().first());
        QVERIFY(w->grid()->isEnabled());
        QVERIFY(w->commands().trigger(CommandId::Find));
        QVERIFY(find->isVisible() && find->isOpen());
        QCOMPARE(find->windowTitle(), QStringLiteral("Найти в таблице"));
        QVERIFY(!find->pages()->isTabVisible(1));
        QVERIFY(model()->searchMode());
        w->pages()->setCurrentIndex(MainWindow::TextTab);
        QCOMPARE(find->windowTitle(), QStringLiteral("Найти"));
        QVERIFY(find->pages()->isTabVisible(1));
        QVERIFY(!model()->searchMode());
        // The shared controls go to the active tab.
        find->pages()->setCurrentIndex(1);
        QCOMPARE(find->findText()->parentWidget(), find->pages()->widget(1));
        w->pages()->setCurrentIndex(MainWindow::TreeTab);
        QCOMPARE(find->windowTitle(), QStringLiteral("Найти в таблице"));
        QVERIFY(!find->pages()->isTabVisible(1));
        QCOMPARE(find->pages()->currentIndex(), 0);
        QCOMPARE(find->findText()->parentWidget(), find->pages()->widget(0));
        find->close();
        QVERIFY(!find->isOpen());
        QVERIFY(!model()->searchMode());
    }

    void showingOnTheTreeTabNeedsAnEnabledGrid() {
        w->selectNode(w->tree().last()); // the end marker: the grid is disabled
        QVERIFY(!w->grid()->isEnabled());
        find->showFind();
        QVERIFY(!find->isVisible());
    }

    void editorSearchRepeats() {
        openOnTextTab(QStringLiteral("abab"));
        find->show();
        search(QStringLiteral("ab"));
        QCOMPARE(selectionStart(), 0);
        QCOMPARE(selected(), QStringLiteral("ab"));
        QCOMPARE(find->nextFindPosition(), std::size_t(4));
        QCOMPARE(w->focusWidget(), w->textEditor());
        f.prompts.answer(YesButton);
        find->search();
        QCOMPARE(f.prompts.messages().size(), std::size_t(1));
        QCOMPARE(f.prompts.messages()[0].text, EditorEnd);
        QCOMPARE(f.prompts.messages()[0].caption, QStringLiteral("Поиск"));
        QCOMPARE(f.prompts.messages()[0].buttons, YesButton | NoButtonAnswer);
        QCOMPARE(selectionStart(), 0);
        f.prompts.answer(NoButtonAnswer);
        find->search();
        QCOMPARE(find->nextFindPosition(), std::size_t(0));
        // Enter in the find text searches; Escape closes the window.
        QTest::keyClick(find->findText(), Qt::Key_Return);
        QCOMPARE(find->nextFindPosition(), std::size_t(4));
        QTest::keyClick(find->findText(), Qt::Key_Escape);
        QVERIFY(!find->isVisible());
        QVERIFY(!find->isOpen());
        // Shown again, the last text is selected: typing replaces it.
        find->show();
        QCOMPARE(find->findText()->selectedText(), QStringLiteral("ab"));
    }

    void lettersMatchInAnyCase_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QList<int>>("starts");
        QTest::newRow("latin") << "wave WAVE Wave"
                               << "Wave" << QList<int>{0, 5, 10};
        QTest::newRow("cyrillic") << "звук\nЗВУК ЗвУк"
                                  << "Звук" << QList<int>{0, 5, 10};
        QTest::newRow("yo") << "ёлка ЁЛКА"
                            << "Ёлка" << QList<int>{0, 5};
        // A character without a Windows-1251 byte is not a question mark.
        QTest::newRow("outside the code page") << "\U0001F600 ? \u4E2D?"
                                               << "?" << QList<int>{3, 6};
    }
    void lettersMatchInAnyCase() {
        QFETCH(QString, text);
        QFETCH(QString, pattern);
        QFETCH(QList<int>, starts);
        openOnTextTab(text);
        find->findText()->setText(pattern);
        for (int start : starts) {
            find->search();
            QCOMPARE(selectionStart(), start);
            QCOMPARE(selected().toLower(), pattern.toLower());
        }
        QVERIFY(f.prompts.records().empty());
    }

    void replaceOneAtATime() {
        openOnTextTab(QStringLiteral("cat cat"));
        find->replacementText()->setText(QStringLiteral("dog"));
        find->findText()->setText(QStringLiteral("CAT"));
        find->replaceOne();
        QCOMPARE(w->textEditor()->toPlainText(), QStringLiteral("dog cat"));
        QVERIFY(w->modified());
        find->replaceOne();
        QCOMPARE(w->textEditor()->toPlainText(), QStringLiteral("dog dog"));
        f.prompts.answer(NoButtonAnswer);
        find->replaceOne();
        QCOMPARE(f.prompts.messages().size(), std::size_t(1));
        QCOMPARE(f.prompts.messages()[0].text, QStringLiteral("Поиск завершен. Повторить поиск с заменой?"));
        QCOMPARE(f.prompts.messages()[0].caption, QStringLiteral("Заменить"));
        // An empty replacement removes the text found.
        find->replacementText()->clear();
        find->findText()->setText(QStringLiteral("dog "));
        f.prompts.answer(YesButton);
        find->replaceOne();
        QCOMPARE(w->textEditor()->toPlainText(), QStringLiteral("dog"));
    }

    void replaceAllEnds_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<QString>("result");
        QTest::addColumn<int>("count");
        QTest::newRow("plain") << "cat cat"
                               << "cat"
                               << "dog"
                               << "dog dog" << 2;
        QTest::newRow("replacement holds the find text") << "a a"
                                                         << "a"
                                                         << "ab"
                                                         << "ab ab" << 2;
        QTest::newRow("replacement is the find text twice") << "aa\naa"
                                                            << "A"
                                                            << "aa"
                                                            << "aaa\naaa" << 2;
        QTest::newRow("empty replacement") << "aaaa"
                                           << "a"
                                           << ""
                                           << "aa" << 2;
        QTest::newRow("cyrillic any case") << "Кот и КОТ"
                                           << "кот"
                                           << "пёс"
                                           << "пёс и пёс" << 2;
        QTest::newRow("not found") << "abc"
                                   << "x"
                                   << "y"
                                   << "abc" << 0;
    }
    void replaceAllEnds() {
        QFETCH(QString, text);
        QFETCH(QString, pattern);
        QFETCH(QString, replacement);
        QFETCH(QString, result);
        QFETCH(int, count);
        openOnTextTab(text);
        find->findText()->setText(pattern);
        find->replacementText()->setText(replacement);
        find->replaceAll();
        QCOMPARE(w->textEditor()->toPlainText(), result);
        QCOMPARE(f.prompts.messages().size(), std::size_t(1));
        QCOMPARE(f.prompts.messages()[0].text,
                 QStringLiteral("Поиск с заменой завершен\rЗаменено: %1").arg(count));
        QCOMPARE(f.prompts.messages()[0].caption, QStringLiteral("Заменить все"));
        QCOMPARE(f.prompts.messages()[0].icon, MessageIcon::Information);
        QCOMPARE(find->nextFindPosition(), std::size_t(0));
        QCOMPARE(w->modified(), text != result);
        QVERIFY(w->textEditor()->updatesEnabled());
        // One undo step brings the text back.
        w->textEditor()->undo();
        QCOMPARE(w->textEditor()->toPlainText(), text);
    }

    void replaceAllStartsAtTheNextFindPosition() {
        openOnTextTab(QStringLiteral("x1 x2 x3"));
        find->findText()->setText(QStringLiteral("x"));
        find->search();
        find->search(); // next find position is now beyond the second x
        find->replacementText()->setText(QStringLiteral("y"));
        find->replaceAll();
        QCOMPARE(w->textEditor()->toPlainText(), QStringLiteral("x1 x2 y3"));
    }

    void f3OnEachTab() {
        find->findText()->setText(QStringLiteral("dsp"));
        // Tree tab: nothing happens, whatever the grid shows.
        w->selectNode(w->tree().first());
        const int row = model()->currentRow();
        QVERIFY(w->commands().trigger(CommandId::FindAgain));
        QCOMPARE(model()->currentRow(), row);
        QVERIFY(f.prompts.records().empty());
        // Text tab: the next occurrence is selected.
        w->pages()->setCurrentIndex(MainWindow::TextTab);
        QVERIFY(w->commands().trigger(CommandId::FindAgain));
        QCOMPARE(selected(), QStringLiteral("dsp"));
        // No find text: nothing.
        find->findText()->clear();
        w->textEditor()->moveCursor(QTextCursor::Start);
        QVERIFY(w->commands().trigger(CommandId::FindAgain));
        QVERIFY(!w->textEditor()->textCursor().hasSelection());
    }

    void gridSearchByColumnWithRepeat() {
        w->selectNode(w->tree().first());
        find->showFind();
        QVERIFY(find->isVisible());
        // Rows: dsp, wave, volume, pitch, soundlevel. Value column, first row.
        w->grid()->setCurrentIndex(model()->index(0, ParamGridModel::ValueColumn));
        search(QStringLiteral("wind"));
        QCOMPARE(model()->currentRow(), 1);
        QVERIFY(model()->searchMatch());
        QCOMPARE(model()->index(1, 1).data(Qt::BackgroundRole).value<QColor>(), QColor(211, 248, 215));
        find->search();
        QCOMPARE(model()->currentRow(), 3);
        // The end: the message names the column; Yes starts again at the top.
        f.prompts.answer(YesButton);
        find->search();
        QCOMPARE(f.prompts.messages().size(), std::size_t(1));
        QCOMPARE(f.prompts.messages()[0].text,
                 QStringLiteral("Поиск по столбцу 2 завершен. Повтороить поиск?"));
        QCOMPARE(f.prompts.messages()[0].caption, QStringLiteral("Найти"));
        QCOMPARE(f.prompts.messages()[0].icon, MessageIcon::Question);
        QCOMPARE(model()->currentRow(), 1);
        QVERIFY(model()->searchMatch());
        // Cyrillic in any case; the name column does not hold it.
        search(QStringLiteral("ВЕТЕР"));
        QCOMPARE(model()->currentRow(), 4);
        w->grid()->setCurrentIndex(model()->index(0, ParamGridModel::NameColumn));
        f.prompts.answer(NoButtonAnswer);
        find->search();
        QCOMPARE(f.prompts.messages().back().text,
                 QStringLiteral("Поиск по столбцу 1 завершен. Повтороить поиск?"));
        QVERIFY(!model()->searchMatch());
        QCOMPARE(model()->currentRow(), 0);
    }

    void gridSearchOnTheLastRowLooksOnlyThere() {
        w->selectNode(w->tree().first());
        find->showFind();
        const int last = model()->dataRows() - 1;
        w->grid()->setCurrentIndex(model()->index(last, ParamGridModel::NameColumn));
        search(QStringLiteral("soundlevel"));
        QCOMPARE(model()->currentRow(), last);
        QVERIFY(model()->searchMatch());
        QVERIFY(f.prompts.records().empty());
        f.prompts.answer(NoButtonAnswer);
        search(QStringLiteral("dsp")); // in row 1 only
        QCOMPARE(f.prompts.messages().size(), std::size_t(1));
        QCOMPARE(model()->currentRow(), last);
    }
};

QTEST_MAIN(TestFind)
#include "tst_Find.moc"
