// SPDX-License-Identifier: MIT
// The tree edits of the main window driven offscreen: new file, new soundscape and blocks, the
// new-element dialog's answers, rename, delete, comments, drag-and-drop moves through real drag
// events, the wave chooser, and the enabling rules of the menus. Dialog answers come from
// ScriptedPrompts; the tree model is watched by the model tester and signal spies.

#include "TonvaleVersion.h"
#include "document/Cp1251.h"
#include "document/Loader.h"
#include "document/NewElements.h"
#include "document/Writer.h"
#include "editor/ParamGrid.h"
#include "editor/QtText.h"
#include "editor/SectionTreeModel.h"
#include "editor/SectionTreeView.h"
#include "settings/Platform.h"
#include "shell/AudioOutput.h"
#include "shell/HelpCommands.h"
#include "shell/MainWindow.h"
#include "shell/TextPage.h"
#include "shell/TreeEditor.h"
#include "testsupport/ScriptedPrompts.h"
#include "testsupport/TestFolder.h"
#include "testsupport/TestPlatform.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QMenu>
#include <QMimeData>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QTextBrowser>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <memory>

using namespace tonvale;

namespace {

const std::string Script =
    "\"sc.one\"\r\n{\r\n"
    "\t\"dsp\"\t\"1\"\r\n"
    "\t\"playlooping\"\r\n\t{\r\n\t\t\"wave\"\t\"amb/wind.wav\"\r\n\t\t\"volume\"\t\"0.5\"\r\n\t}\r\n"
    "\t\"playrandom\"\r\n\t{\r\n\t\t\"time\"\t\"1,2\"\r\n\t\t\"rndwave\"\r\n\t\t{\r\n"
    "\t\t\t\"wave\"\t\"a.wav\"\r\n\t\t\t\"wave\"\t\"b.wav\"\r\n\t\t}\r\n\t}\r\n"
    "}\r\n"
    "\"sc.empty\"\r\n"
    "\"sc.two\"\r\n{\r\n\t\"dsp\"\t\"0\"\r\n}\r\n";

std::string valueOf(const Node* node) {
    return node != nullptr && node->data() != nullptr ? node->data()->value : std::string();
}

std::vector<std::string> childTexts(const Node* node) {
    std::vector<std::string> texts;
    for (const Node* child : node->children())
        texts.push_back(child->text());
    return texts;
}

// The tree as lines "level text = value", for comparing documents.
std::vector<std::string> shape(const SectionTree& tree) {
    std::vector<std::string> lines;
    for (const Node* node : tree.preorder())
        lines.push_back(std::to_string(node->level()) + " " + node->text() + " = " + valueOf(node));
    return lines;
}

class RecordingPlatform : public Platform {
  public:
    bool openDocument(const QString& path) const override {
        opened.append(path);
        return true;
    }
    mutable QStringList opened;
};

} // namespace

class TestTreeEdits : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<TestFolder> m_folder;
    std::unique_ptr<RecordingPlatform> m_platform;
    ScriptedPrompts m_prompts;
    NullAudio m_audio;

    std::unique_ptr<MainWindow> openWindow(const std::string& text = Script) {
        auto w = std::make_unique<MainWindow>(*m_platform, m_prompts, m_audio);
        m_prompts.answer(m_folder->write(QStringLiteral("scripts/soundscapes_a.txt"), text));
        w->openFile();
        m_prompts.clear();
        return w;
    }
    static Node* find(MainWindow& w, const std::string& text, int nth = 0) {
        for (Node* n : w.tree().preorder()) {
            if (n->text() == text && nth-- == 0)
                return n;
        }
        return nullptr;
    }
    static void select(MainWindow& w, const std::string& text, int nth = 0) {
        Node* node = find(w, text, nth);
        QVERIFY2(node != nullptr, text.c_str());
        w.selectNode(node);
    }
    // Messages recorded so far, as "text|caption|icon".
    QStringList messages() const {
        QStringList out;
        for (const PromptRecord& r : m_prompts.messages())
            out << r.text + QLatin1Char('|') + r.caption + QLatin1Char('|') +
                       QString::number(static_cast<int>(r.icon));
        return out;
    }
    static QString msg(const char* text, const char* caption, MessageIcon icon) {
        return QString::fromUtf8(text) + QLatin1Char('|') + QString::fromUtf8(caption) + QLatin1Char('|') +
               QString::number(static_cast<int>(icon));
    }
    // Rows of the grid as "name = value".
    static QStringList gridRows(MainWindow& w) {
        QStringList rows;
        ParamGridModel* grid = w.grid()->gridModel();
        for (int r = 0; r < grid->dataRows(); ++r)
            rows << grid->cellText(r, 0) + QStringLiteral(" = ") + grid->cellText(r, 1);
        return rows;
    }
    // Sends a drag of the selected node onto `target` through the tree's viewport, as a mouse drag would.
    static bool dragOnto(MainWindow& w, const Node* target, Qt::DropAction* accepted = nullptr) {
        QTreeView* view = w.treeView();
        const QPoint at =
            target != nullptr ? view->visualRect(w.treeModel()->indexOf(target)).center() : QPoint(5, 5);
        QMimeData mime;
        mime.setData(SectionTreeView::MimeType, QByteArray());
        QDragEnterEvent enter(at, Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view->viewport(), &enter);
        QDragMoveEvent move(at, Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view->viewport(), &move);
        if (accepted != nullptr)
            *accepted = move.isAccepted() ? move.dropAction() : Qt::IgnoreAction;
        QDropEvent drop(QPointF(at), Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view->viewport(), &drop);
        QCoreApplication::processEvents();
        return drop.isAccepted();
    }

  private slots:
    void init() {
        m_folder = std::make_unique<TestFolder>();
        m_platform = std::make_unique<RecordingPlatform>();
        isolatePlatform(*m_platform, m_folder->path());
        m_prompts.clear();
    }

    // ---- New file ----

    void newFileWritesTheTemplate_data() {
        QTest::addColumn<bool>("blocks");
        QTest::newRow("with blocks") << true;
        QTest::newRow("without blocks") << false;
    }
    void newFileWritesTheTemplate() {
        QFETCH(bool, blocks);
        auto w = openWindow();
        const QString path = m_folder->file(QStringLiteral("scripts/soundscapes_myfile.txt"));
        m_prompts.answer(path);
        m_prompts.answer(blocks ? YesButton : NoButtonAnswer);
        QVERIFY(w->commands().trigger(CommandId::NewFile));
        QCOMPARE(m_prompts.records().at(0).caption,
                 QDir::cleanPath(w->settings().scriptsFolder + QStringLiteral("/scripts")));
        QCOMPARE(TestFolder::read(path), newFileBytes(blocks));
        QCOMPARE(w->currentFile(), path);
        QVERIFY(w->modified());
        QVERIFY(w->commands().isEnabled(CommandId::Save));
        Node* first = w->tree().first();
        QCOMPARE(w->selectedNode(), first);
        QCOMPARE(first->text(), std::string(DefaultSectionName));
        QVERIFY(first->data()->commentsAbove.find("soundscapes_myfile") != std::string::npos);
        const std::vector<std::string> expected =
            blocks ? std::vector<std::string>{"\"dsp\"", "\"playlooping\"", "\"playrandom\""}
                   : std::vector<std::string>{};
        QCOMPARE(childTexts(first), expected);
    }

    void newFileCancelledSaveDialogKeepsTheDocument() {
        auto w = openWindow();
        select(*w, "\"dsp\"");
        w->grid()->gridModel()->writeValue(0, QStringLiteral("\"7\""));
        QVERIFY(w->modified());
        const std::vector<std::string> before = shape(w->tree());
        const QString file = w->currentFile();
        m_prompts.answer(NoButtonAnswer); // do not save; then the save dialog is cancelled
        w->newFile();
        QCOMPARE(m_prompts.records().size(), std::size_t(2));
        QCOMPARE(m_prompts.records()[0].buttons, YesButton | NoButtonAnswer | CancelButton);
        QCOMPARE(m_prompts.records()[1].kind, PromptRecord::Kind::SaveFile);
        QCOMPARE(shape(w->tree()), before);
        QCOMPARE(w->currentFile(), file);
        QVERIFY(w->modified());
    }

    // ---- New soundscape ----

    void newSoundscape_data() {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<std::string>("added"); // empty: nothing added
        QTest::addColumn<QString>("message");
        QTest::newRow("plain name") << "fresh.one" << std::string("\"fresh.one\"") << QString();
        QTest::newRow("blanks and quotes") << "  \"odd\"name  " << std::string("\"odd name\"") << QString();
        QTest::newRow("duplicate") << "sc.one" << std::string()
                                   << msg("Секция с таким названием уже имеется", "Новый soundscape",
                                          MessageIcon::Warning);
        QTest::newRow("duplicate upper case")
            << "SC.ONE" << std::string()
            << msg("Секция с таким названием уже имеется", "Новый soundscape", MessageIcon::Warning);
        QTest::newRow("duplicate with quotes")
            << "\"Sc.Two\"" << std::string()
            << msg("Секция с таким названием уже имеется", "Новый soundscape", MessageIcon::Warning);
        QTest::newRow("empty answer") << "" << std::string() << QString();
        QTest::newRow("tab and braces") << "a\t{b}\nc" << std::string("\"a b c\"") << QString();
    }
    void newSoundscape() {
        QFETCH(QString, answer);
        QFETCH(std::string, added);
        QFETCH(QString, message);
        auto w = openWindow();
        QAbstractItemModelTester tester(w->treeModel(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy inserted(w->treeModel(), &QAbstractItemModel::rowsInserted);
        QSignalSpy reset(w->treeModel(), &QAbstractItemModel::modelReset);
        const std::size_t topBefore = w->tree().topLevel().size();
        m_prompts.answer(answer);
        QVERIFY(w->commands().trigger(CommandId::NewSoundscape));
        const PromptRecord& input = m_prompts.records().at(0);
        QCOMPARE(input.kind, PromptRecord::Kind::Input);
        QCOMPARE(input.caption, QStringLiteral("Новый soundscape (название)"));
        QCOMPARE(input.text, QStringLiteral("Название нового soundscape:"));
        QVERIFY(input.initial.isEmpty());
        QCOMPARE(messages(), message.isEmpty() ? QStringList() : QStringList{message});
        if (!message.isEmpty()) {
            // After the warning the prompt comes back with the name to correct (cancelled here).
            QCOMPARE(m_prompts.records().size(), std::size_t(3));
            QCOMPARE(m_prompts.records()[2].kind, PromptRecord::Kind::Input);
            QCOMPARE(m_prompts.records()[2].initial, answer);
        }
        QCOMPARE(reset.size(), 0);
        if (added.empty()) {
            QCOMPARE(w->tree().topLevel().size(), topBefore);
            QCOMPARE(inserted.size(), 0);
            QVERIFY(!w->modified());
            return;
        }
        const auto& top = w->tree().topLevel();
        QCOMPARE(top.size(), topBefore + 1);
        Node* node = top[top.size() - 2]; // just before the end marker
        QCOMPARE(node->text(), added);
        QVERIFY(w->tree().isEndMarker(top.back()));
        QCOMPARE(inserted.size(), 1);
        QCOMPARE(inserted[0][1].toInt(), static_cast<int>(topBefore) - 1);
        QCOMPARE(w->selectedNode(), node);
        QCOMPARE(node->image(), static_cast<int>(ImageHeader));
        QVERIFY(w->modified() && w->commands().isEnabled(CommandId::Save));
        // Saved with an empty block (a bare name would take the next name as its value), and read
        // back the same.
        const WriteResult written = writeScript(w->tree());
        QVERIFY(written.ok);
        QVERIFY(written.bytes.find("\r\n" + added + " \r\n\t{\r\n\t} \r\n") != std::string::npos);
        QCOMPARE(shape(loadScript(written.bytes).tree), shape(w->tree()));
    }

    void newSoundscapeGuards() {
        auto w = std::make_unique<MainWindow>(*m_platform, m_prompts, m_audio);
        QVERIFY(!w->commands().trigger(CommandId::NewSoundscape)); // nothing open: nothing to add to
        QVERIFY(m_prompts.records().empty());
        // A document whose file has gone from the disk: the command says what to do.
        w = openWindow();
        QVERIFY(QFile::remove(w->currentFile()));
        QVERIFY(w->commands().trigger(CommandId::NewSoundscape));
        QCOMPARE(messages(), QStringList{msg("Откройте или создайте soundscape файл", "Новый soundscape",
                                             MessageIcon::None)});
        QCOMPARE(m_prompts.messages()[0].buttons, OkButton);
        w = openWindow();
        w->pages()->setCurrentIndex(MainWindow::TextTab);
        m_prompts.clear();
        w->treeEditor()->newSoundscape();
        QVERIFY(m_prompts.records().empty()); // on the text tab nothing is asked
        w->pages()->setCurrentIndex(MainWindow::TreeTab);
        m_prompts.answer(CancelButton);
        w->treeEditor()->newSoundscape();
        QCOMPARE(w->tree().topLevel().size(), std::size_t(4));
    }

    // ---- Blocks ----

    void newBlocks_data() {
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("kind");
        QTest::newRow("playlooping") << int(CommandId::NewLoopingBlock) << int(BlockKind::PlayLooping);
        QTest::newRow("playrandom") << int(CommandId::NewRandomBlock) << int(BlockKind::PlayRandom);
        QTest::newRow("playsoundscape")
            << int(CommandId::NewSoundscapeBlock) << int(BlockKind::PlaySoundscape);
    }
    void newBlocks() {
        QFETCH(int, command);
        QFETCH(int, kind);
        auto w = openWindow();
        QAbstractItemModelTester tester(w->treeModel(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy inserted(w->treeModel(), &QAbstractItemModel::rowsInserted);
        QSignalSpy reset(w->treeModel(), &QAbstractItemModel::modelReset);
        select(*w, "\"sc.one\"");
        Node* soundscape = w->selectedNode();
        const int before = soundscape->childCount();
        QVERIFY(w->commands().trigger(static_cast<CommandId>(command)));
        QCOMPARE(reset.size(), 0);
        QCOMPARE(inserted.size(), 1);
        QCOMPARE(soundscape->childCount(), before + 1);
        Node* block = soundscape->child(before); // after all existing children
        const BlockTemplate& t = blockTemplate(static_cast<BlockKind>(kind));
        QCOMPARE(block->text(), std::string(t.keyword));
        QCOMPARE(w->selectedNode(), block);
        QVERIFY(w->treeView()->isExpanded(w->treeModel()->indexOf(soundscape)));
        QVERIFY(w->modified());
        // Every template line in order, parameters with their values.
        std::vector<std::string> got;
        std::vector<std::string> want;
        for (const TemplateEntry& e : t.entries)
            want.push_back(std::to_string(e.depth) + std::string(e.key) + "=" + std::string(e.value));
        for (Node* n = w->tree().next(block); n != nullptr && n->level() > block->level();
             n = w->tree().next(n))
            got.push_back(std::to_string(n->level() - block->level()) + n->text() + "=" + valueOf(n));
        QCOMPARE(got, want);
        // The grid lists the new block.
        QCOMPARE(w->grid()->gridModel()->dataRows(), static_cast<int>(t.entries.size()));
    }

    void blockCommandWithoutASoundscapeShowsItsMessage_data() {
        QTest::addColumn<int>("command");
        QTest::addColumn<QString>("message");
        QTest::newRow("loop") << int(CommandId::NewLoopingBlock)
                              << msg("Ошибка создания блока playlooping", "Новый блок playlooping",
                                     MessageIcon::Error);
        QTest::newRow("rand") << int(CommandId::NewRandomBlock)
                              << msg("Ошибка создания блока playrandom", "Новый блок playrandom",
                                     MessageIcon::Error);
        QTest::newRow("playsoundscape") << int(CommandId::NewSoundscapeBlock)
                                        << msg("Ошибка создания блока playsoundscape\"",
                                               "Новый блок playsoundscape\"", MessageIcon::Error);
    }
    void blockCommandWithoutASoundscapeShowsItsMessage() {
        QFETCH(int, command);
        QFETCH(QString, message);
        auto w = openWindow();
        select(*w, "\"dsp\"");
        QVERIFY(!w->commands().isEnabled(static_cast<CommandId>(command)));
        const std::vector<std::string> before = shape(w->tree());
        if (command == int(CommandId::NewLoopingBlock))
            w->treeEditor()->newBlock(BlockKind::PlayLooping);
        else if (command == int(CommandId::NewRandomBlock))
            w->treeEditor()->newBlock(BlockKind::PlayRandom);
        else
            w->treeEditor()->newBlock(BlockKind::PlaySoundscape);
        QCOMPARE(messages(), QStringList{message});
        QCOMPARE(shape(w->tree()), before);
        QVERIFY(!w->modified());
    }

    // ---- New header or parameter ----

    void newElement_data() {
        QTest::addColumn<std::string>("under");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("value"); // "-" : the field was never entered
        QTest::addColumn<int>("placement"); // answer to "Переместить в начало?"; 0: not asked
        QTest::addColumn<int>("row");       // -1: last
        QTest::addColumn<std::string>("text");
        QTest::addColumn<std::string>("stored");
        QTest::addColumn<QString>("message");
        const int header = int(NewElementMode::Header);
        const int parameter = int(NewElementMode::Parameter);
        const std::string valueDefault = "\"" + utf8ToCp1251("Значение") + "\"";
        QTest::newRow("header appended")
            << std::string("\"sc.one\"") << header << "playlooping"
            << "-" << 0 << -1 << std::string("\"playlooping\"") << std::string() << QString();
        QTest::newRow("parameter first") << std::string("\"playlooping\"") << parameter << "volume"
                                         << "0.5" << int(YesButton) << 0 << std::string("\"volume\"")
                                         << std::string("\"0.5\"") << QString();
        QTest::newRow("parameter last") << std::string("\"playlooping\"") << parameter << "\"pitch\""
                                        << "100" << int(NoButtonAnswer) << -1 << std::string("\"pitch\"")
                                        << std::string("\"100\"") << QString();
        QTest::newRow("value never entered")
            << std::string("\"sc.two\"") << parameter << "soundmixer"
            << "-" << int(NoButtonAnswer) << -1 << std::string("\"soundmixer\"") << valueDefault << QString();
        QTest::newRow("value left empty")
            << std::string("\"sc.two\"") << parameter << "x"
            << "" << int(NoButtonAnswer) << -1 << std::string("\"x\"") << std::string("\"\"") << QString();
        QTest::newRow("default name") << std::string("\"sc.two\"") << parameter << "Параметр"
                                      << "1" << int(YesButton) << 0 << "\"" + utf8ToCp1251("Параметр") + "\""
                                      << std::string("\"1\"") << QString();
        QTest::newRow("tabs braces breaks") << std::string("\"sc.two\"") << parameter << "a\tb{"
                                            << "v}\r\nw" << int(YesButton) << 0 << std::string("\"a b\"")
                                            << std::string("\"v w\"") << QString();
        QTest::newRow("empty header name")
            << std::string("\"sc.one\"") << header << ""
            << "-" << 0 << 0 << std::string() << std::string()
            << msg("Не введено имя заголовка в секции", "Новый", MessageIcon::Error);
        QTest::newRow("empty parameter name")
            << std::string("\"sc.one\"") << parameter << ""
            << "1" << 0 << 0 << std::string() << std::string()
            << msg("Не введено наименование параметра (переменной)", "Новый", MessageIcon::Error);
    }
    void newElement() {
        QFETCH(std::string, under);
        QFETCH(int, mode);
        QFETCH(QString, name);
        QFETCH(QString, value);
        QFETCH(int, placement);
        QFETCH(int, row);
        QFETCH(std::string, text);
        QFETCH(std::string, stored);
        QFETCH(QString, message);
        auto w = openWindow();
        QAbstractItemModelTester tester(w->treeModel(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy inserted(w->treeModel(), &QAbstractItemModel::rowsInserted);
        select(*w, under);
        Node* parent = w->selectedNode();
        const int before = parent->childCount();
        NewElementAnswers answers;
        answers.mode = static_cast<NewElementMode>(mode);
        (mode == int(NewElementMode::Header) ? answers.headerName : answers.parameterName) =
            qstringToScript(name);
        if (value != QStringLiteral("-")) {
            answers.enterValue();
            answers.value = qstringToScript(value);
        }
        answers.commentBeside = "beside";
        answers.commentLines = {"one", "", "two"};
        m_prompts.answer(answers);
        if (placement != 0)
            m_prompts.answer(static_cast<PromptButton>(placement));
        w->treeEditor()->newElement();
        const PromptRecord& dialog = m_prompts.records().at(0);
        QCOMPARE(dialog.kind, PromptRecord::Kind::NewElement);
        QCOMPARE(dialog.caption, QStringLiteral("Новый - [") + scriptToQString(under) + QLatin1Char(']'));
        if (!message.isEmpty()) {
            QCOMPARE(messages(), QStringList{message});
            QCOMPARE(parent->childCount(), before);
            QVERIFY(!w->modified());
            return;
        }
        if (placement != 0) {
            QCOMPARE(messages(),
                     QStringList{msg("Переместить в начало?", "Новая секция", MessageIcon::Question)});
            QCOMPARE(m_prompts.messages()[0].buttons, YesButton | NoButtonAnswer);
        } else {
            QVERIFY(messages().isEmpty());
        }
        QCOMPARE(parent->childCount(), before + 1);
        QCOMPARE(inserted.size(), 1);
        Node* node = parent->child(row < 0 ? before : row);
        QCOMPARE(node->text(), text);
        QCOMPARE(node->data()->value, stored);
        QCOMPARE(node->data()->commentBeside, std::string("beside"));
        QCOMPARE(node->data()->commentsAbove, std::string("one\r\rtwo\r"));
        QCOMPARE(w->selectedNode(), node);
        QVERIFY(w->modified());
        QCOMPARE(shape(loadScript(writeScript(w->tree()).bytes).tree), shape(w->tree()));
    }

    void newElementSuggestsNamesByBlockKind_data() {
        QTest::addColumn<std::string>("node");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("soundscape") << std::string("\"sc.one\"") << QStringList{"\"dsp\"", "\"soundmixer\""};
        QTest::newRow("parameter") << std::string("\"dsp\"") << QStringList{"\"dsp\"", "\"soundmixer\""};
        QTest::newRow("playlooping") << std::string("\"playlooping\"")
                                     << QStringList{"\"wave\"", "\"volume\"", "\"pitch\"", "\"attenuation\"",
                                                    "\"position\""};
        QTest::newRow("playrandom") << std::string("\"playrandom\"")
                                    << QStringList{"\"time\"",        "\"volume\"",  "\"pitch\"",
                                                   "\"attenuation\"", "\"rndwave\"", "\"position\"",
                                                   "\"soundlevel\""};
        QTest::newRow("rndwave") << std::string("\"rndwave\"") << QStringList{"\"wave\""};
    }
    void newElementSuggestsNamesByBlockKind() {
        QFETCH(std::string, node);
        QFETCH(QStringList, names);
        auto w = openWindow();
        select(*w, node);
        w->treeEditor()->newElement(); // cancelled: the queue is empty
        QCOMPARE(m_prompts.records().at(0).items, names);
        QVERIFY(!w->modified());
    }

    // ---- Rename ----

    void rename_data() {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<std::string>("text"); // expected text afterwards
        QTest::addColumn<bool>("modified");
        QTest::newRow("new name") << "\"sc.renamed\"" << std::string("\"sc.renamed\"") << true;
        QTest::newRow("trimmed, quotes kept as typed") << "  \"x.y\"  " << std::string("\"x.y\"") << true;
        QTest::newRow("no quotes added") << "plain" << std::string("plain") << true;
        QTest::newRow("blanks only") << "   " << std::string("\"sc.two\"") << false;
        QTest::newRow("tab and braces") << "\"a\t{b}\"" << std::string("\"a b\"") << true;
    }
    void rename() {
        QFETCH(QString, answer);
        QFETCH(std::string, text);
        QFETCH(bool, modified);
        auto w = openWindow();
        QSignalSpy changed(w->treeModel(), &QAbstractItemModel::dataChanged);
        QSignalSpy reset(w->treeModel(), &QAbstractItemModel::modelReset);
        select(*w, "\"sc.two\"");
        Node* node = w->selectedNode();
        m_prompts.answer(answer);
        QVERIFY(w->commands().trigger(CommandId::Rename));
        const PromptRecord& input = m_prompts.records().at(0);
        QCOMPARE(input.caption, QStringLiteral("Изменить"));
        QCOMPARE(input.initial, QStringLiteral("\"sc.two\""));
        QCOMPARE(node->text(), text);
        QCOMPARE(w->modified(), modified);
        QCOMPARE(reset.size(), 0);
        QCOMPARE(changed.isEmpty(), !modified);
        QCOMPARE(w->titleText(), scriptToQString(text));
        QCOMPARE(gridRows(*w), QStringList{QStringLiteral("\"dsp\" = \"0\"")});
        QCOMPARE(shape(loadScript(writeScript(w->tree()).bytes).tree), shape(w->tree()));
    }

    // ---- Delete ----

    void deleteAsksAndTheGridFollows() {
        auto w = openWindow();
        QAbstractItemModelTester tester(w->treeModel(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy removed(w->treeModel(), &QAbstractItemModel::rowsRemoved);
        QSignalSpy reset(w->treeModel(), &QAbstractItemModel::modelReset);
        select(*w, "\"playlooping\"");
        Node* soundscape = find(*w, "\"sc.one\"");
        m_prompts.answer(NoButtonAnswer);
        QVERIFY(w->commands().trigger(CommandId::Delete));
        const PromptRecord& question = m_prompts.records().at(0);
        QCOMPARE(question.text, QStringLiteral("Вы действительно хотите удалить заголовок (параметр, секцию) "
                                               "[\"playlooping\"] в [\"sc.one\"]?\r"
                                               "Внимание, комментарии также удаляются."));
        QCOMPARE(question.caption, QStringLiteral("Удалить"));
        QCOMPARE(question.icon, MessageIcon::Warning);
        QCOMPARE(question.buttons, YesButton | NoButtonAnswer);
        QCOMPARE(question.defaultButton, NoButtonAnswer);
        QCOMPARE(soundscape->childCount(), 3);
        QCOMPARE(removed.size(), 0);

        m_prompts.answer(YesButton);
        QVERIFY(w->commands().trigger(CommandId::Delete));
        QCOMPARE(childTexts(soundscape), (std::vector<std::string>{"\"dsp\"", "\"playrandom\""}));
        QVERIFY(find(*w, "\"amb/wind.wav\"") == nullptr && find(*w, "\"wave\"", 2) == nullptr);
        QCOMPARE(removed.size(), 1);
        QCOMPARE(reset.size(), 0);
        QVERIFY(w->modified());
        // The node that took its row is selected, and the grid lists exactly its rows.
        QCOMPARE(w->selectedNode(), find(*w, "\"playrandom\""));
        QCOMPARE(gridRows(*w), (QStringList{"\"time\" = \"1,2\"", "\"rndwave\" = ", "\"wave\" = \"a.wav\"",
                                            "\"wave\" = \"b.wav\""}));
        QCOMPARE(w->titleText(), QStringLiteral("\"playrandom\""));
    }

    void deleteTheOnlyChildSelectsItsParent() {
        auto w = openWindow();
        select(*w, "\"dsp\"", 1); // the one of sc.two
        m_prompts.answer(YesButton);
        w->treeEditor()->deleteSelected();
        QCOMPARE(w->selectedNode(), find(*w, "\"sc.two\""));
        QCOMPARE(gridRows(*w), QStringList{QStringLiteral("\"sc.two\" = ")});
        // Deleting every soundscape leaves the end marker: nothing more to add to.
        for (const char* name : {"\"sc.one\"", "\"sc.two\"", "\"sc.empty\""}) {
            select(*w, name);
            m_prompts.answer(YesButton);
            w->treeEditor()->deleteSelected();
        }
        QCOMPARE(w->tree().size(), std::size_t(1));
        QCOMPARE(w->selectedNode(), w->tree().last());
        QVERIFY(!w->commands().isEnabled(CommandId::NewElement));
        QVERIFY(!w->commands().isEnabled(CommandId::GridNewElement));
        m_prompts.clear();
        w->treeEditor()->deleteSelected(); // the end marker is never deleted, and nothing is asked
        QVERIFY(m_prompts.records().empty());
        QCOMPARE(w->tree().size(), std::size_t(1));
    }

    // ---- Comments ----

    void commentsOfSeveralLines() {
        auto w = openWindow();
        select(*w, "\"volume\"");
        Node* node = w->selectedNode();
        CommentAnswers answer{"next to it", {"a", "", "b"}};
        m_prompts.answer(answer);
        QVERIFY(w->commands().trigger(CommandId::Comments));
        QCOMPARE(m_prompts.records().at(0).caption, QStringLiteral("Комментарии [\"volume\"]"));
        QCOMPARE(node->data()->commentsAbove, std::string("a\r\rb\r"));
        QCOMPARE(node->data()->commentBeside, std::string("next to it"));
        QVERIFY(w->modified());
        // Shown again as the same three lines; Cancel changes nothing.
        m_prompts.answer(CancelButton);
        w->treeEditor()->editSelectedComments();
        QCOMPARE(m_prompts.records().at(1).items, (QStringList{"a", "", "b"}));
        QCOMPARE(m_prompts.records().at(1).initial, QStringLiteral("next to it"));
        QCOMPARE(node->data()->commentsAbove, std::string("a\r\rb\r"));
        // Braces and tabs are comment text: kept, and read back as typed.
        m_prompts.answer(CommentAnswers{"x{\ty}", {"c}d"}});
        w->treeEditor()->editSelectedComments();
        QCOMPARE(node->data()->commentBeside, std::string("x{\ty}"));
        QCOMPARE(node->data()->commentsAbove, std::string("c}d\r"));
        const LoadResult back = loadScript(writeScript(w->tree()).bytes);
        QVERIFY(back.ok());
        QCOMPARE(shape(back.tree), shape(w->tree()));
        const Node* reread = back.tree.nodeAt(w->tree().absoluteIndex(node));
        QCOMPARE(reread->data()->commentBeside, std::string("x{\ty}"));
        QCOMPARE(reread->data()->commentsAbove, std::string("c}d\r"));
    }

    // ---- Drag and drop ----

    void dragAndDropMoves_data() {
        QTest::addColumn<std::string>("dragged");
        QTest::addColumn<std::string>("target");
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("row"); // the dragged node's row under the target; -1: not moved
        QTest::newRow("yes: first child")
            << std::string("\"playrandom\"") << std::string("\"sc.two\"") << int(YesButton) << 0;
        QTest::newRow("no: last child")
            << std::string("\"playrandom\"") << std::string("\"sc.two\"") << int(NoButtonAnswer) << 1;
        QTest::newRow("cancel") << std::string("\"playrandom\"") << std::string("\"sc.two\"")
                                << int(CancelButton) << -1;
        QTest::newRow("under a parameter")
            << std::string("\"playlooping\"") << std::string("\"dsp\"") << int(YesButton) << 0;
        QTest::newRow("to the top of its own parent")
            << std::string("\"playrandom\"") << std::string("\"sc.one\"") << int(YesButton) << 0;
    }
    void dragAndDropMoves() {
        QFETCH(std::string, dragged);
        QFETCH(std::string, target);
        QFETCH(int, answer);
        QFETCH(int, row);
        auto w = openWindow();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        w->treeView()->expandAll();
        QAbstractItemModelTester tester(w->treeModel(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy moved(w->treeModel(), &QAbstractItemModel::rowsMoved);
        QSignalSpy reset(w->treeModel(), &QAbstractItemModel::modelReset);
        select(*w, dragged);
        Node* node = w->selectedNode();
        Node* to = find(*w, target);
        const std::vector<std::string> subtree = [&] {
            std::vector<std::string> lines;
            for (Node* n = w->tree().next(node); n != nullptr && n->level() > node->level();
                 n = w->tree().next(n))
                lines.push_back(std::to_string(n->level() - node->level()) + n->text() + valueOf(n));
            return lines;
        }();
        const std::vector<std::string> before = shape(w->tree());
        m_prompts.answer(static_cast<PromptButton>(answer));
        QVERIFY(dragOnto(*w, to));
        const QString question = QStringLiteral("Переместить [%1] в начало [%2]?\rДа - первым элементом, "
                                                "Нет - последним элементом.")
                                     .arg(QString::fromStdString(dragged), QString::fromStdString(target));
        QCOMPARE(messages(),
                 QStringList{msg(question.toUtf8().constData(), "Перемещение", MessageIcon::Question)});
        QCOMPARE(m_prompts.messages()[0].buttons, YesButton | NoButtonAnswer | CancelButton);
        QCOMPARE(reset.size(), 0);
        if (row < 0) {
            QCOMPARE(shape(w->tree()), before);
            QCOMPARE(moved.size(), 0);
            QVERIFY(!w->modified());
            return;
        }
        QCOMPARE(moved.size(), 1);
        QCOMPARE(node->parent(), to);
        QCOMPARE(node->row(), row);
        QCOMPARE(node->level(), to->level() + 1);
        std::vector<std::string> after;
        for (Node* n = w->tree().next(node); n != nullptr && n->level() > node->level();
             n = w->tree().next(n))
            after.push_back(std::to_string(n->level() - node->level()) + n->text() + valueOf(n));
        QCOMPARE(after, subtree); // descendants kept in order, data travelled with them
        QCOMPARE(w->selectedNode(), node);
        QVERIFY(w->treeView()->isExpanded(w->treeModel()->indexOf(to)));
        QVERIFY(w->modified());
        QCOMPARE(to->image(), static_cast<int>(ImageHeader));
        QCOMPARE(shape(loadScript(writeScript(w->tree()).bytes).tree), shape(w->tree()));
    }

    void dragAndDropRefusals() {
        auto w = openWindow();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        w->treeView()->expandAll();
        const std::vector<std::string> before = shape(w->tree());
        Qt::DropAction action = Qt::MoveAction;
        // Into its own subtree.
        select(*w, "\"sc.one\"");
        QVERIFY(!dragOnto(*w, find(*w, "\"rndwave\""), &action));
        QCOMPARE(action, Qt::IgnoreAction);
        // Onto itself.
        QVERIFY(!dragOnto(*w, find(*w, "\"sc.one\""), &action));
        QCOMPARE(action, Qt::IgnoreAction);
        // The end marker is never dragged.
        w->selectNode(w->tree().last());
        QVERIFY(!dragOnto(*w, find(*w, "\"sc.two\""), &action));
        QCOMPARE(action, Qt::IgnoreAction);
        // A drop on the end marker is accepted while dragging but does nothing.
        select(*w, "\"sc.two\"");
        QVERIFY(!dragOnto(*w, w->tree().last(), &action));
        QCOMPARE(action, Qt::MoveAction);
        QVERIFY(m_prompts.records().empty());
        QCOMPARE(shape(w->tree()), before);
        QVERIFY(!w->modified());
    }

    void automaticScrollingWhileDragging() {
        std::string text;
        for (int i = 0; i < 80; ++i)
            text += "\"sc." + std::to_string(i) + "\"\r\n{\r\n\t\"dsp\"\t\"1\"\r\n}\r\n";
        auto w = openWindow(text);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        w->selectNode(w->tree().first());
        auto* view = static_cast<SectionTreeView*>(w->treeView());
        const auto topRow = [view] { return view->indexAt(QPoint(1, 1)).row(); };
        QCOMPARE(topRow(), 0);
        QMimeData mime;
        mime.setData(SectionTreeView::MimeType, QByteArray());
        const auto moveTo = [&](int y) {
            QDragMoveEvent move(QPoint(20, y), Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(view->viewport(), &move);
        };
        QDragEnterEvent enter(QPoint(20, 40), Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view->viewport(), &enter);
        moveTo(view->viewport()->height() - 4);
        QCOMPARE(topRow(), 1); // one node at once
        QTRY_VERIFY_WITH_TIMEOUT(topRow() >= 3,
                                 2000); // then one node every 100 ms while the pointer rests there
        moveTo(view->viewport()->height() / 2);
        const int rested = topRow();
        QTest::qWait(250);
        QCOMPARE(topRow(), rested); // away from the edges it stops
        moveTo(3);
        QCOMPARE(topRow(), rested - 1);
        QDragLeaveEvent leave;
        QApplication::sendEvent(view->viewport(), &leave);
        const int left = topRow();
        QTest::qWait(250);
        QCOMPARE(topRow(), left);
    }

    // ---- Wave chooser ----

    void waveChooser_data() {
        QTest::addColumn<QString>("sounds"); // sounds folder, relative to the test folder
        QTest::addColumn<QString>("cell");   // value of the wave row before
        QTest::addColumn<QString>("folder"); // folder the dialog opens in, relative
        QTest::addColumn<QString>("chosen"); // file picked, relative; empty: cancelled
        QTest::addColumn<QString>("stored"); // value afterwards; "@" stands for the test folder with "/"
        QTest::newRow("below the sounds folder") << "game/sound"
                                                 << "\"amb/wind.wav\""
                                                 << "game/sound/amb/"
                                                 << "game/sound/ambient/rain.wav"
                                                 << "\"ambient/rain.wav\"";
        QTest::newRow("backslashes in the value") << "game/sound"
                                                  << "\"amb\\wind.wav\""
                                                  << "game/sound/amb/"
                                                  << "game/sound/amb/x.wav"
                                                  << "\"amb/x.wav\"";
        QTest::newRow("missing folder") << "game/sound"
                                        << "\"gone/wind.wav\""
                                        << "game/sound"
                                        << "game/sound/a.wav"
                                        << "\"a.wav\"";
        QTest::newRow("outside any sound folder") << "game/sound"
                                                  << "\"amb/wind.wav\""
                                                  << "game/sound/amb/"
                                                  << "other/b.wav"
                                                  << "\"@/other/b.wav\"";
        QTest::newRow("a sounds folder") << "game/sound"
                                         << "\"amb/wind.wav\""
                                         << "game/sound/amb/"
                                         << "mods/sounds/c.wav"
                                         << "\"/c.wav\"";
        QTest::newRow("folder in another letter case") << "game/sound"
                                                       << "\"AMB/wind.wav\""
                                                       << "game/sound/amb/"
                                                       << ""
                                                       << "\"AMB/wind.wav\"";
        QTest::newRow("cancelled") << "game/sound"
                                   << "\"amb/wind.wav\""
                                   << "game/sound/amb/"
                                   << ""
                                   << "\"amb/wind.wav\"";
    }
    void waveChooser() {
        QFETCH(QString, sounds);
        QFETCH(QString, cell);
        QFETCH(QString, folder);
        QFETCH(QString, chosen);
        QFETCH(QString, stored);
        if (m_folder->path().contains(QStringLiteral("sound")))
            QSKIP("the temporary folder's path holds \"sound\"");
        QDir().mkpath(m_folder->file(sounds + QStringLiteral("/amb")));
        auto w = openWindow(std::string("\"s\"\r\n{\r\n\t\"playlooping\"\r\n\t{\r\n\t\t\"wave\"\t") +
                            cell.toStdString() + "\r\n\t}\r\n}\r\n");
        w->grid()->setSoundsFolder(m_folder->file(sounds));
        select(*w, "\"wave\"");
        ParamGrid* grid = w->grid();
        grid->setCurrentIndex(grid->gridModel()->index(0, 0));
        QVERIFY(!w->commands().isEnabled(CommandId::ChooseWave)); // the name cell
        grid->setCurrentIndex(grid->gridModel()->index(0, 1));
        QVERIFY(w->commands().isEnabled(CommandId::ChooseWave));
        QVERIFY(w->commands().isEnabled(CommandId::GridChooseWave));
        if (!chosen.isEmpty())
            m_prompts.answer(m_folder->file(chosen));
        QVERIFY(w->commands().trigger(CommandId::GridChooseWave));
        const PromptRecord& dialog = m_prompts.records().at(0);
        QCOMPARE(dialog.kind, PromptRecord::Kind::OpenFile);
        QCOMPARE(dialog.text, QStringLiteral("Файлы звуков"));
        QCOMPARE(dialog.caption, m_folder->file(folder));
        const QString expected = QString(stored).replace(QLatin1Char('@'), m_folder->path());
        QCOMPARE(grid->gridModel()->cellText(0, 1), expected);
        QCOMPARE(scriptToQString(valueOf(find(*w, "\"wave\""))), expected);
        QCOMPARE(w->modified(), !chosen.isEmpty());
    }

    // ---- Enabling ----

    void enablingBySelection_data() {
        QTest::addColumn<std::string>("node"); // "" : nothing selected; "#end": the end marker
        QTest::addColumn<bool>("textTab");
        QTest::addColumn<QString>("expected");
        // Comment, player, blocks, new element, menu: new soundscape / edit+delete, popup: new soundscape /
        // edit+delete+comment
        QTest::newRow("soundscape with children")
            << std::string("\"sc.one\"") << false << "C P B N | n e | n e c";
        QTest::newRow("empty soundscape") << std::string("\"sc.empty\"") << false << "C . B N | n e | n e c";
        QTest::newRow("block") << std::string("\"playrandom\"") << false << "C . . N | n e | n e c";
        QTest::newRow("parameter") << std::string("\"dsp\"") << false << "C . . N | n e | n e c";
        QTest::newRow("rndwave list") << std::string("\"rndwave\"") << false << "C . . N | n e | n e c";
        QTest::newRow("wave entry") << std::string("\"wave\"") << false << "C . . N | n e | n e c";
        QTest::newRow("wave in rndwave") << std::string("\"wave\"#1") << false << "C . . . | n e | n e c";
        QTest::newRow("end marker") << std::string("#end") << false << ". . . . | n . | n . .";
        QTest::newRow("text tab") << std::string("\"sc.one\"") << true << ". P . . | . . | . . .";
    }
    void enablingBySelection() {
        QFETCH(std::string, node);
        QFETCH(bool, textTab);
        QFETCH(QString, expected);
        auto w = openWindow();
        if (node == "#end") {
            w->selectNode(w->tree().last());
        } else {
            const auto hash = node.find('#');
            select(*w, node.substr(0, hash),
                   hash == std::string::npos ? 0 : std::stoi(node.substr(hash + 1)));
        }
        if (textTab)
            w->pages()->setCurrentIndex(MainWindow::TextTab);
        auto& c = w->commands();
        const auto flag = [&c](CommandId id, const char* on) {
            return c.isEnabled(id) ? QString::fromLatin1(on) : QStringLiteral(".");
        };
        QString got = flag(CommandId::Comments, "C") + QLatin1Char(' ') + flag(CommandId::PlayerPanel, "P") +
                      QLatin1Char(' ') + flag(CommandId::NewLoopingBlock, "B") + QLatin1Char(' ') +
                      flag(CommandId::GridNewElement, "N");
        QCOMPARE(c.isEnabled(CommandId::NewRandomBlock), c.isEnabled(CommandId::NewLoopingBlock));
        QCOMPARE(c.isEnabled(CommandId::NewSoundscapeBlock), c.isEnabled(CommandId::NewLoopingBlock));
        QCOMPARE(c.isEnabled(CommandId::NewElement), c.isEnabled(CommandId::GridNewElement));
        QMenu* edit = w->findChild<QMenu*>(QStringLiteral("menuEdit"));
        edit->popup(QPoint(0, 0));
        edit->hide();
        got += QStringLiteral(" | ") + flag(CommandId::NewSoundscape, "n") + QLatin1Char(' ') +
               flag(CommandId::Rename, "e");
        QCOMPARE(c.isEnabled(CommandId::Delete), c.isEnabled(CommandId::Rename));
        w->treeMenu()->popup(QPoint(0, 0));
        w->treeMenu()->hide();
        got += QStringLiteral(" | ") + flag(CommandId::NewSoundscape, "n") + QLatin1Char(' ') +
               flag(CommandId::Rename, "e") + QLatin1Char(' ') + flag(CommandId::Comments, "c");
        QCOMPARE(c.isEnabled(CommandId::Delete), c.isEnabled(CommandId::Rename));
        QCOMPARE(got, expected);
    }

    void newSoundscapeIsOfferedWhileTheFileIsOnDisk() {
        auto empty = std::make_unique<MainWindow>(*m_platform, m_prompts, m_audio);
        QVERIFY(empty->tree().empty());
        empty->treeMenu()->popup(QPoint(0, 0));
        empty->treeMenu()->hide();
        for (CommandId id : {CommandId::ExpandAll, CommandId::CollapseAll, CommandId::NewSoundscape,
                             CommandId::Rename, CommandId::Delete, CommandId::Comments})
            QVERIFY(!empty->commands().isEnabled(id));
        auto w = openWindow();
        w->treeMenu()->popup(QPoint(0, 0));
        w->treeMenu()->hide();
        QVERIFY(w->commands().isEnabled(CommandId::NewSoundscape));
        QVERIFY(w->commands().isEnabled(CommandId::ExpandAll));
        // Without its file the document still offers the command, which then says what to do.
        QVERIFY(QFile::remove(w->currentFile()));
        w->treeMenu()->popup(QPoint(0, 0));
        w->treeMenu()->hide();
        QVERIFY(w->commands().isEnabled(CommandId::NewSoundscape));
    }

    void popupMenusHoldTheirCommands() {
        auto w = openWindow();
        QStringList names;
        for (QAction* a : w->treeMenu()->actions())
            names << (a->isSeparator() ? QStringLiteral("-")
                      : a->menu()      ? a->menu()->title()
                                       : a->objectName());
        QCOMPARE(names,
                 (QStringList{"Undo", "Redo", "-", "ExpandAll", "CollapseAll", "-", "Правка", "Comments", "-",
                              "PlayerPanel", "-", "GoToDefinition", "FindReferences"}));
        names.clear();
        for (QAction* a : w->treeMenu()->actions()[6]->menu()->actions())
            names << (a->isSeparator() ? QStringLiteral("-") : a->objectName());
        QCOMPARE(names, (QStringList{"NewLoopingBlock", "NewRandomBlock", "NewSoundscapeBlock", "-",
                                     "NewSoundscape", "Rename", "-", "Delete"}));
        names.clear();
        for (QAction* a : w->gridMenu()->actions())
            names << (a->isSeparator() ? QStringLiteral("-") : a->objectName());
        QCOMPARE(names, (QStringList{"Undo", "Redo", "-", "GridNewElement", "GridChooseWave", "Play", "-",
                                     "MasterVolume", "-", "GridFind", "-", "GoToDefinition"}));
        // The grid's tool buttons show their captions whole, "..." included.
        QStringList shown;
        for (QToolButton* button :
             w->findChild<QToolBar*>(QStringLiteral("gridToolBar"))->findChildren<QToolButton*>())
            if (button->defaultAction() != nullptr)
                shown << button->text();
        QVERIFY2(shown.contains(QStringLiteral("Новый...")) &&
                     shown.contains(QStringLiteral("Выбрать файл...")) &&
                     shown.contains(QStringLiteral("Найти...")),
                 qPrintable(shown.join(QLatin1Char('|'))));
    }

    // ---- Expand, collapse, about, help ----

    void expandAndCollapseAll() {
        auto w = openWindow();
        QVERIFY(w->commands().trigger(CommandId::ExpandAll));
        QVERIFY(w->treeView()->isExpanded(w->treeModel()->indexOf(find(*w, "\"rndwave\""))));
        QVERIFY(w->commands().trigger(CommandId::CollapseAll));
        QVERIFY(!w->treeView()->isExpanded(w->treeModel()->indexOf(find(*w, "\"sc.one\""))));
    }

    void aboutBox() {
        auto w = openWindow();
        QVERIFY(w->commands().trigger(CommandId::About));
        QCOMPARE(m_prompts.messages().size(), std::size_t(1));
        QCOMPARE(m_prompts.messages()[0].caption, QStringLiteral("О программе"));
        QCOMPARE(m_prompts.messages()[0].icon, MessageIcon::Information);
        QCOMPARE(m_prompts.messages()[0].buttons, OkButton);
        QVERIFY(m_prompts.messages()[0].text.startsWith(
            QStringLiteral("Tonvale %1\n").arg(QString::fromLatin1(ProgramVersion))));
    }

    void helpByF1ShowsTheUserGuide() {
        auto w = std::make_unique<MainWindow>(*m_platform, m_prompts, m_audio);
        w->show();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QTest::keyClick(w->treeView(), Qt::Key_F1);
        QVERIFY(m_prompts.messages().empty());
        auto* help = w->findChild<QWidget*>(QStringLiteral("helpWindow"));
        QVERIFY(help != nullptr && help->isVisible());
        const QString text = help->findChild<QTextBrowser*>(QStringLiteral("helpText"))->toPlainText();
        QVERIFY(text.startsWith(QStringLiteral("Tonvale user guide")));
        QVERIFY(text.contains(QStringLiteral("Keyboard shortcuts")));
        // A guide that is missing is said to be.
        showHelp(w.get(), m_prompts, QStringLiteral(":/help/no-such-guide.md"));
        QCOMPARE(messages(), QStringList{msg("Sorry, cannot file exists", "Справка", MessageIcon::Error)});
    }

    // ---- Shortcuts of the tree commands ----

    void shortcutsReachTheCommands() {
        auto w = openWindow();
        w->show();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        // A menu opened over the end marker leaves nothing behind: the shortcuts follow the selection.
        w->selectNode(w->tree().last());
        emit w->treeMenu()->aboutToShow();
        select(*w, "\"sc.two\"");
        m_prompts.answer(QStringLiteral("sc.renamed"));
        QTest::keyClick(w->treeView(), Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(find(*w, "sc.renamed"), w->selectedNode());
        m_prompts.answer(NoButtonAnswer);
        QTest::keyClick(w->treeView(), Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(m_prompts.messages().back().caption, QStringLiteral("Удалить"));
        m_prompts.answer(QStringLiteral("sc.three"));
        QTest::keyClick(w->treeView(), Qt::Key_Insert, Qt::ControlModifier);
        QVERIFY(find(*w, "\"sc.three\"") != nullptr);
        m_prompts.answer(CommentAnswers{"b", {}});
        QTest::keyClick(w->treeView(), Qt::Key_I, Qt::ControlModifier);
        QCOMPARE(find(*w, "\"sc.three\"")->data()->commentBeside, std::string("b"));
    }
};

QTEST_MAIN(TestTreeEdits)
#include "tst_TreeEdits.moc"
