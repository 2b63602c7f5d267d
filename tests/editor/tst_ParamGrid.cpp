// SPDX-License-Identifier: MIT
// The parameter grid over a loaded document: what it lists, which cells may be edited, live edits,
// Enter and Escape, the wave-file test and the painting rules (read through the item roles).

#include "document/Loader.h"
#include "editor/ParamGrid.h"
#include "editor/QtText.h"
#include "testsupport/TestFolder.h"

#include <QFont>
#include <QLineEdit>
#include <QResizeEvent>
#include <QSignalSpy>
#include <QTest>

using namespace tonvale;

namespace {

const std::string Script = "\"sc.rain\"\r\n{\r\n"
                           "\t\"playrandom\"\r\n\t{\r\n"
                           "\t\t\"time\"\t\"4,12\"\r\n"
                           "\t\t\"rndwave\"\r\n\t\t{\r\n"
                           "\t\t\t\"wave\"\t\"amb/drip1.wav\"\r\n"
                           "\t\t\t\"wave\"\t\"amb\\drip2.wav\"\r\n"
                           "\t\t}\r\n\t}\r\n"
                           "}\r\n"
                           "\"sc.empty\"\r\n"
                           "\"sc.gap\"\r\n{\r\n"
                           "\t\"playrandom\"\r\n\t{\r\n\t\t\"rndwave\"\r\n\t\t{\r\n"
                           "\t\t\t\"wave\"\t\"a.wav\"\r\n\t\t\t   \r\n\t\t\t\"wave\"\t\"b.wav\"\r\n"
                           "\t\t}\r\n\t}\r\n"
                           "}\r\n";

const QColor Grey(236, 234, 230);
const QColor Green(211, 248, 215);

std::string valueOf(const Node* node) {
    const NodeData* data = node != nullptr ? node->data() : nullptr;
    return data != nullptr ? data->value : std::string();
}

// Types any text, Cyrillic included, as key events carrying the characters.
void typeText(QWidget* widget, const QString& text) {
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

} // namespace

class TestParamGrid : public QObject {
    Q_OBJECT

  private:
    SectionTree m_tree;
    std::unique_ptr<ParamGrid> m_grid;
    std::unique_ptr<TestFolder> m_sounds;

    Node* node(const std::string& text, int skip = 0) {
        for (Node* n : m_tree.preorder()) {
            if (n->text() == text && skip-- == 0)
                return n;
        }
        return nullptr;
    }
    void show(Node* selected) {
        m_grid->clearRows();
        m_grid->gridModel()->setSelectedNode(selected);
        m_grid->fillFor(selected);
    }
    QStringList names() const {
        QStringList result;
        for (int r = 0; r < m_grid->gridModel()->dataRows(); ++r)
            result << m_grid->gridModel()->rowName(r);
        return result;
    }
    QVariant role(int row, int column, int r) const {
        return m_grid->gridModel()->index(row, column).data(r);
    }
    void selectCell(int row, int column) { m_grid->setCurrentIndex(m_grid->gridModel()->index(row, column)); }
    QLineEdit* editor() const {
        return m_grid->viewport()->findChild<QLineEdit*>(QStringLiteral("gridCellEditor"));
    }

  private slots:
    void init() {
        LoadResult loaded = loadScript(Script);
        QVERIFY(loaded.ok());
        m_tree = std::move(loaded.tree);
        m_grid = std::make_unique<ParamGrid>(&m_tree);
        m_grid->resize(500, 300);
        m_sounds = std::make_unique<TestFolder>();
        m_grid->setSoundsFolder(m_sounds->path());
    }
    void cleanup() { m_grid.reset(); }

    void soundscapeListsItsDescendants() {
        show(node("\"sc.rain\""));
        QCOMPARE(names(), (QStringList{"\"playrandom\"", "\"time\"", "\"rndwave\"", "\"wave\"", "\"wave\""}));
        QVERIFY(m_grid->isEnabled());
        // Block rows: bold on grey in both columns, never editable.
        for (int row : {0, 2}) {
            for (int column : {0, 1}) {
                QCOMPARE(role(row, column, Qt::BackgroundRole).value<QColor>(), Grey);
                QVERIFY(role(row, column, Qt::FontRole).value<QFont>().bold());
                QVERIFY(!m_grid->gridModel()->isEditable(row, column));
            }
        }
        // Parameter rows: grey name, editable value.
        QCOMPARE(role(1, 0, Qt::BackgroundRole).value<QColor>(), Grey);
        QVERIFY(!role(1, 1, Qt::BackgroundRole).isValid());
        QVERIFY(m_grid->gridModel()->isEditable(1, 1));
        QVERIFY(!m_grid->gridModel()->isEditable(1, 0));
        QCOMPARE(m_grid->gridModel()->cellText(1, 1), QStringLiteral("\"4,12\""));
    }

    void lineOfBlanksInAListIsBlank() {
        // A line of blanks is no element at any depth, so it no longer cuts the listing short.
        show(node("\"sc.gap\""));
        QCOMPARE(names(), (QStringList{"\"playrandom\"", "\"rndwave\"", "\"wave\"", "\"wave\""}));
    }

    void parameterNodeShowsItselfAndIsEditable() {
        show(node("\"time\""));
        QCOMPARE(names(), QStringList{"\"time\""});
        selectCell(0, 1);
        QVERIFY(!m_grid->readOnly());
        QCOMPARE(m_grid->savedCellText(), QStringLiteral("\"4,12\""));
    }

    void soundscapeWithoutContentIsAllGreyAndReadOnly() {
        show(node("\"sc.empty\""));
        QCOMPARE(names(), QStringList{"\"sc.empty\""});
        for (int column : {0, 1}) {
            QCOMPARE(role(0, column, Qt::BackgroundRole).value<QColor>(), Grey);
            QVERIFY(!m_grid->gridModel()->isEditable(0, column));
        }
        selectCell(0, 1);
        QVERIFY(m_grid->readOnly());
        QTest::keyClicks(m_grid.get(), QStringLiteral("x"));
        QCOMPARE(valueOf(node("\"sc.empty\"")), std::string());
    }

    void typingWritesEveryKeystrokeIntoTheNode() {
        Node* time = node("\"time\"");
        show(node("\"sc.rain\""));
        selectCell(1, 1);
        QSignalSpy edited(m_grid.get(), &ParamGrid::edited);
        QTest::keyClick(m_grid.get(), Qt::Key_1);
        QTRY_COMPARE(valueOf(time), std::string("1"));
        QVERIFY(editor() != nullptr);
        QTest::keyClicks(editor(), QStringLiteral(", 2"));
        QCOMPARE(valueOf(time), std::string("1, 2"));
        QCOMPARE(edited.size(), 4);
        // Escape brings back the text the cell had when it was selected, in the cell and the node.
        QTest::keyClick(editor(), Qt::Key_Escape);
        QCOMPARE(valueOf(time), std::string("\"4,12\""));
        QCOMPARE(m_grid->gridModel()->cellText(1, 1), QStringLiteral("\"4,12\""));
        QVERIFY(!m_grid->isEditing());
    }

    void enterNormalisesTheValue_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<std::string>("stored");
        QTest::newRow("bare number") << "0.5" << std::string("\"0.5\"");
        QTest::newRow("already quoted") << "\"0.5\"" << std::string("\"0.5\"");
        QTest::newRow("quote inside") << "a\"b" << std::string("\"a b\"");
        QTest::newRow("blanks around") << "  x  " << std::string("\"x\"");
        QTest::newRow("Cyrillic") << "дождь" << std::string("\"\xe4\xee\xe6\xe4\xfc\"");
    }
    void enterNormalisesTheValue() {
        QFETCH(QString, typed);
        QFETCH(std::string, stored);
        Node* time = node("\"time\"");
        show(time);
        selectCell(0, 1);
        m_grid->edit(m_grid->currentIndex());
        QVERIFY(editor() != nullptr);
        editor()->selectAll();
        typeText(editor(), typed);
        QTest::keyClick(editor(), Qt::Key_Return);
        QCOMPARE(valueOf(time), stored);
        QVERIFY(!m_grid->isEditing());
        // Enter on the closed cell normalises again (a no-op now) and opens the editor.
        QTest::keyClick(m_grid.get(), Qt::Key_Return);
        QCOMPARE(valueOf(time), stored);
        QVERIFY(m_grid->isEditing());
    }

    void enterOnAnEmptyCellGivesAPairOfQuotes() {
        Node* time = node("\"time\"");
        show(time);
        selectCell(0, 1);
        m_grid->gridModel()->writeValue(0, QString());
        QTest::keyClick(m_grid.get(), Qt::Key_Return);
        QCOMPARE(valueOf(time), std::string("\"\""));
    }

    void waveRows_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("file"); // created below the sounds folder, empty: none
        QTest::addColumn<bool>("found");
        QTest::newRow("slash, present") << 3 << "amb/drip1.wav" << true;
        QTest::newRow("backslash, present") << 4 << "amb/drip2.wav" << true;
        QTest::newRow("missing") << 3 << QString() << false;
    }
    void waveRows() {
        QFETCH(int, row);
        QFETCH(QString, file);
        QFETCH(bool, found);
        if (!file.isEmpty())
            m_sounds->write(file, "RIFF");
        show(node("\"sc.rain\""));
        selectCell(row, 1);
        QCOMPARE(m_grid->playableWaveSelected(), found);
        QVERIFY(m_grid->waveCellSelected());
        const QVariant red = role(row, 1, Qt::ForegroundRole);
        QCOMPARE(red.isValid(), !found);
        if (!found) {
            QCOMPARE(red.value<QColor>(), QColor(255, 0, 0));
            QCOMPARE(role(row, 0, Qt::ForegroundRole).value<QColor>(), QColor(255, 0, 0));
        }
        // The current cell of a grid without the keyboard focus shows the window's text colours;
        // the other cell of the row stays red.
        const QModelIndex value = m_grid->gridModel()->index(row, 1);
        const QModelIndex name = m_grid->gridModel()->index(row, 0);
        if (!found) {
            QVERIFY(!m_grid->hasFocus());
            QCOMPARE(m_grid->cellTextColour(value), m_grid->palette().color(QPalette::HighlightedText));
            QCOMPARE(m_grid->cellTextColour(name), QColor(255, 0, 0));
            m_grid->setCurrentIndex(name);
            QCOMPARE(m_grid->cellTextColour(name), m_grid->palette().color(QPalette::WindowText));
            QCOMPARE(m_grid->cellTextColour(value), QColor(255, 0, 0));
            m_grid->setCurrentIndex(value);
        }
        // Other rows are not red; a missing wave stays red when another row becomes current.
        QVERIFY(!role(1, 1, Qt::ForegroundRole).isValid());
        selectCell(1, 1);
        QVERIFY(!m_grid->waveCellSelected());
        QCOMPARE(role(row, 1, Qt::ForegroundRole).isValid(), !found);
        // A value typed in is looked up again.
        if (found) {
            const QString stored = m_grid->gridModel()->cellText(row, 1);
            m_grid->gridModel()->writeValue(row, QStringLiteral("\"amb/none.wav\""));
            QVERIFY(role(row, 0, Qt::ForegroundRole).isValid());
            m_grid->gridModel()->writeValue(row, stored);
            QVERIFY(!role(row, 0, Qt::ForegroundRole).isValid());
        }
    }

    void searchMatchIsGreenUntilAClick() {
        show(node("\"sc.rain\""));
        selectCell(1, 1);
        m_grid->gridModel()->setSearchMode(true);
        m_grid->gridModel()->setSearchMatch(true);
        QCOMPARE(role(1, 1, Qt::BackgroundRole).value<QColor>(), Green);
        QCOMPARE(role(1, 0, Qt::BackgroundRole).value<QColor>(), Grey);
        const QRect cell = m_grid->visualRect(m_grid->gridModel()->index(1, 1));
        QTest::mouseClick(m_grid->viewport(), Qt::LeftButton, {}, cell.center());
        QVERIFY(!role(1, 1, Qt::BackgroundRole).isValid());
    }

    void commandConditions() {
        show(node("\"sc.rain\""));
        selectCell(1, 0);
        QVERIFY(m_grid->hasCurrentRow());
        QVERIFY(m_grid->newElementAllowed());
        QVERIFY(!m_grid->waveCellSelected());
        show(node("\"wave\"")); // an entry of a rndwave list, level 3
        selectCell(0, 1);
        QVERIFY(m_grid->hasCurrentRow());
        QVERIFY(!m_grid->newElementAllowed());
        QVERIFY(m_grid->waveCellSelected());
    }

    void columnsOnlyGrow() {
        const int before = m_grid->columnWidth(0);
        QCOMPARE(before, 166);
        LoadResult loaded = loadScript("\"s\"\r\n{\r\n\t\"" + std::string(80, 'k') +
                                       "\"\t\"1\"\r\n}\r\n\"t\"\r\n{\r\n\t\"x\"\t\"1\"\r\n}\r\n");
        m_grid->clearRows();
        m_tree = std::move(loaded.tree);
        show(m_tree.first());
        const int wide = m_grid->columnWidth(0);
        QVERIFY(wide > before);
        show(m_tree.topLevel()[1]);
        QCOMPARE(m_grid->columnWidth(0), wide);
        // The value column keeps a width the user gave it when the pane is resized.
        m_grid->setColumnWidth(1, 900);
        m_grid->resize(m_grid->width() + 10, m_grid->height());
        QCoreApplication::sendPostedEvents();
        QResizeEvent resized(m_grid->size(), m_grid->size() - QSize(10, 0));
        QCoreApplication::sendEvent(m_grid.get(), &resized);
        QCOMPARE(m_grid->columnWidth(1), 900);
    }
};

QTEST_MAIN(TestParamGrid)
#include "tst_ParamGrid.moc"
