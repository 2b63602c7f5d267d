// The main window's tree edits: new soundscape and blocks from the templates, the new-element dialog,
// rename, delete, comments, moves by drag and drop, the wave file chooser, the two popup menus and the
// enabling rules that run when a menu opens. Every change goes through the document's edit functions
// with the tree model's observer, so the view gets exact row signals; the grid follows the selection.

#include "document/Edits.h"
#include "document/NewElements.h"
#include "document/SoundPaths.h"
#include "editor/Icons.h"
#include "editor/ParamGrid.h"
#include "editor/QtText.h"
#include "editor/SectionTreeModel.h"
#include "editor/SectionTreeView.h"
#include "shell/MainWindow.h"
#include "shell/Prompts.h"

#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QTreeView>

namespace tonvale {

namespace {
const QString WaveDialogTitle = QStringLiteral("Файлы звуков");
const QString WaveFilter = QStringLiteral("WAV (*.wav)");

std::string fileSystemPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QString fromFileSystem(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}
} // namespace

void MainWindow::attachTreeEdits() {
    auto& c = m_commands;
    c.setExecute(CommandId::NewSoundscape, [this] { newSoundscape(); });
    c.setExecute(CommandId::NewLoopingBlock, [this] { newLoopingBlock(); });
    c.setExecute(CommandId::NewRandomBlock, [this] { newRandomBlock(); });
    c.setExecute(CommandId::NewSoundscapeBlock, [this] { newSoundscapeBlock(); });
    c.setExecute(CommandId::NewElement, [this] { newElement(); });
    c.setExecute(CommandId::Rename, [this] { renameSelected(); });
    c.setExecute(CommandId::Delete, [this] { deleteSelected(); });
    c.setExecute(CommandId::Comments, [this] { editSelectedComments(); });
    c.setExecute(CommandId::ChooseWave, [this] { chooseWaveFile(); });

    // Icons of the commands that the first table left without one.
    const auto icon = [&c](std::initializer_list<CommandId> ids, IconId id) {
        for (CommandId cmd : ids) {
            if (c.action(cmd)->icon().isNull())
                c.action(cmd)->setIcon(commandIcon(id));
        }
    };
    icon({CommandId::NewSoundscape}, IconId::NewSoundscape);
    icon({CommandId::NewLoopingBlock, CommandId::NewRandomBlock, CommandId::NewSoundscapeBlock},
         IconId::NewElement);
    icon({CommandId::Rename}, IconId::Rename);
    icon({CommandId::Delete}, IconId::Delete);
    icon({CommandId::About}, IconId::About);

    const auto category = [&c](std::initializer_list<CommandId> ids, const QString& name) {
        for (CommandId id : ids)
            c.action(id)->setProperty("category", name);
    };
    category({CommandId::NewFile, CommandId::Open, CommandId::Save, CommandId::SaveAs, CommandId::Exit},
             QStringLiteral("Файл"));
    category({CommandId::NewSoundscape, CommandId::Rename, CommandId::Delete, CommandId::NewLoopingBlock,
              CommandId::NewRandomBlock, CommandId::NewSoundscapeBlock},
             QStringLiteral("Правка"));
    category({CommandId::About, CommandId::Help}, QStringLiteral("Помощь"));

    connect(static_cast<SectionTreeView*>(m_treeView), &SectionTreeView::nodeDropped, this,
            &MainWindow::onNodeDropped);
}

void MainWindow::buildPopupMenus() {
    auto& c = m_commands;
    m_treeMenu = new QMenu(this);
    m_treeMenu->setObjectName(QStringLiteral("treeMenu"));
    m_treeMenu->addAction(c.action(CommandId::ExpandAll));
    m_treeMenu->addAction(c.action(CommandId::CollapseAll));
    m_treeMenu->addSeparator();
    QMenu* edit = m_treeMenu->addMenu(QStringLiteral("Правка"));
    edit->setObjectName(QStringLiteral("editMenu"));
    edit->addAction(c.action(CommandId::NewLoopingBlock));
    edit->addAction(c.action(CommandId::NewRandomBlock));
    edit->addAction(c.action(CommandId::NewSoundscapeBlock));
    edit->addSeparator();
    edit->addAction(c.action(CommandId::NewSoundscape));
    edit->addAction(c.action(CommandId::Rename));
    edit->addSeparator();
    edit->addAction(c.action(CommandId::Delete));
    m_treeMenu->addAction(c.action(CommandId::Comments));
    m_treeMenu->addSeparator();
    m_treeMenu->addAction(c.action(CommandId::PlayerPanel));
    connect(m_treeMenu, &QMenu::aboutToShow, this, &MainWindow::treeMenuAboutToShow);
    m_treeView->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_treeView, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { m_treeMenu->popup(m_treeView->viewport()->mapToGlobal(at)); });

    m_gridMenu = new QMenu(this);
    m_gridMenu->setObjectName(QStringLiteral("gridMenu"));
    m_gridMenu->addAction(c.action(CommandId::GridNewElement));
    m_gridMenu->addAction(c.action(CommandId::GridChooseWave));
    m_gridMenu->addAction(c.action(CommandId::PlayWave));
    m_gridMenu->addSeparator();
    m_gridMenu->addAction(c.action(CommandId::MasterVolume));
    m_gridMenu->addSeparator();
    m_gridMenu->addAction(c.action(CommandId::GridFind));
    connect(m_gridMenu, &QMenu::aboutToShow, this, [this] { updateCommands(); });
    m_grid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_grid, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { m_gridMenu->popup(m_grid->viewport()->mapToGlobal(at)); });
}

// ---------------------------------------------------------------------------------------------
// Enabling when a menu opens

void MainWindow::treeMenuAboutToShow() {
    const Node* node = selectedNode();
    m_newItemEnabled = fileExists(m_currentFile);
    m_editItemEnabled = !m_tree.empty() && node != nullptr && !m_tree.isEndMarker(node);
    m_commentEnabled = m_editItemEnabled;
    updateCommands();
}

void MainWindow::menuBarAboutToShow() {
    const Node* node = selectedNode();
    const bool withNode = !m_tree.empty() && node != nullptr && m_page == TreeTab;
    m_newItemEnabled = withNode;
    m_editItemEnabled = withNode && !m_tree.isEndMarker(node);
    updateCommands();
}

// ---------------------------------------------------------------------------------------------
// Selection after an edit

// Ends a structural edit: selects `select` (when given) and fills the grid for the node selected now.
// While the edit ran, selection changes of the view were not followed, so the grid never listed a
// node that was about to go.
void MainWindow::afterStructuralEdit(Node* select) {
    m_treeEditing = false;
    if (select != nullptr && select != selectedNode())
        selectNode(select); // the selection signal fills the grid
    else
        onTreeSelectionChanged(selectedNode());
}

// ---------------------------------------------------------------------------------------------
// Templates: new soundscape and blocks

void MainWindow::newSoundscape() {
    if (!fileExists(m_currentFile)) {
        m_prompts.message(fromUtf8(newtext::OpenOrCreateFile), fromUtf8(newtext::SoundscapeCaption),
                          MessageIcon::None);
        return;
    }
    if (m_page == TextTab)
        return;
    const std::optional<QString> answer =
        m_prompts.inputText(fromUtf8(newtext::SoundscapePromptCaption), QString(), QString());
    if (answer && !answer->isEmpty()) {
        const CreateResult created =
            createSoundscape(m_tree, qstringToScript(*answer), m_treeModel->observer());
        if (created) {
            m_modified = true;
            afterStructuralEdit(created.node);
        } else if (created.message) {
            if (created.message->text == edittext::Unexpected)
                m_modified = false;
            showMessage(*created.message);
        }
    }
    setSaveEnabled(m_modified);
}

void MainWindow::newBlock(BlockKind kind) {
    Node* soundscape = selectedNode();
    const CreateResult created = createBlock(m_tree, soundscape, kind, m_treeModel->observer());
    if (!created) {
        showMessage(blockFailureMessage(kind));
        setSaveEnabled(m_modified);
        return;
    }
    m_modified = true;
    m_treeView->expand(m_treeModel->indexOf(soundscape));
    afterStructuralEdit(created.node);
    setSaveEnabled(m_modified);
}

void MainWindow::newLoopingBlock() {
    newBlock(BlockKind::PlayLooping);
}

void MainWindow::newRandomBlock() {
    newBlock(BlockKind::PlayRandom);
}

void MainWindow::newSoundscapeBlock() {
    newBlock(BlockKind::PlaySoundscape);
}

// ---------------------------------------------------------------------------------------------
// New element, rename, delete, comments

void MainWindow::newElement() {
    Node* selected = selectedNode();
    if (selected == nullptr)
        return;
    QStringList names;
    for (const std::string& name : suggestedParameters(blockKind(selected->text())))
        names.append(scriptToQString(name));
    const QString caption =
        QStringLiteral("Новый - [") + scriptToQString(selected->text()) + QLatin1Char(']');
    const std::optional<NewElementAnswers> answers = m_prompts.newElement(caption, names);
    if (!answers)
        return;
    if (const std::optional<Message> stop = checkNewElement(m_tree, selected, *answers)) {
        showMessage(*stop);
        return;
    }
    PlacementAnswer placement = PlacementAnswer::No;
    if (asksPlacement(*answers)) {
        const PromptButton first =
            m_prompts.message(fromUtf8(newtext::PlacementQuestion), fromUtf8(newtext::PlacementCaption),
                              MessageIcon::Question, YesButton | NoButtonAnswer, YesButton);
        placement = first == YesButton ? PlacementAnswer::Yes : PlacementAnswer::No;
    }
    const CreateResult created =
        addNewElement(m_tree, selected, *answers, placement, m_treeModel->observer());
    if (!created) {
        if (created.message)
            showMessage(*created.message);
        return;
    }
    setModified(true);
    afterStructuralEdit(created.node);
}

void MainWindow::renameSelected() {
    Node* node = selectedNode();
    if (node == nullptr || m_page == TextTab || m_tree.isEndMarker(node))
        return;
    const std::optional<QString> answer =
        m_prompts.inputText(fromUtf8(edittext::RenameCaption), QString(), scriptToQString(node->text()));
    if (!answer)
        return;
    const std::string text = qstringToScript(*answer);
    if (storableLine(text).empty())
        return;
    renameNode(m_tree, node, text, m_treeModel->observer());
    onTreeSelectionChanged(node);
    setModified(true);
}

void MainWindow::deleteSelected() {
    Node* node = selectedNode();
    if (node == nullptr || m_page == TextTab || m_tree.isEndMarker(node))
        return;
    const Message question = deleteQuestion(*node);
    const PromptButton answer = m_prompts.message(fromUtf8(question.text), fromUtf8(question.caption),
                                                  question.icon, YesButton | NoButtonAnswer, NoButtonAnswer);
    if (answer == NoButtonAnswer)
        return;
    // The grid lets go of the rows before their nodes go; the view's own choice of a new current
    // node is not followed until the tree has its new shape.
    m_treeEditing = true;
    m_grid->clearRows();
    m_grid->gridModel()->setSelectedNode(nullptr);
    const DeleteResult deleted = deleteNode(m_tree, node, m_treeModel->observer());
    afterStructuralEdit(deleted.selectAfter);
    setModified(true);
}

void MainWindow::editSelectedComments() {
    Node* node = selectedNode();
    if (node == nullptr || node->data() == nullptr)
        return;
    const NodeData& comments = *node->data();
    const QString caption =
        QStringLiteral("Комментарии [") + scriptToQString(node->text()) + QLatin1Char(']');
    const std::optional<CommentAnswers> answer =
        m_prompts.editComments(caption, comments.commentBeside, comments.commentsAbove);
    if (!answer)
        return;
    setComments(m_tree, node, answer->beside, answer->aboveLines, m_treeModel->observer());
    setModified(true);
}

// ---------------------------------------------------------------------------------------------
// Moves by drag and drop

void MainWindow::onNodeDropped(Node* dragged, Node* target) {
    if (!dropMoves(m_tree, dragged, target))
        return;
    const PromptButton answer =
        m_prompts.message(fromUtf8(edittext::MoveQuestion), fromUtf8(edittext::MoveCaption),
                          MessageIcon::Question, YesButton | NoButtonAnswer | CancelButton, YesButton);
    const PlacementAnswer placement = answer == YesButton        ? PlacementAnswer::Yes
                                      : answer == NoButtonAnswer ? PlacementAnswer::No
                                                                 : PlacementAnswer::Cancel;
    if (placement == PlacementAnswer::Cancel)
        return;
    m_treeEditing = true;
    const MoveResult moved = moveNode(m_tree, dragged, target, placement, m_treeModel->observer());
    if (!moved.done()) {
        m_treeEditing = false;
        return;
    }
    m_treeView->expandRecursively(m_treeModel->indexOf(target));
    afterStructuralEdit(dragged);
    if (const Node* before = m_tree.previous(dragged))
        m_treeView->scrollTo(m_treeModel->indexOf(before), QAbstractItemView::PositionAtTop);
    setModified(true);
}

// ---------------------------------------------------------------------------------------------
// The wave file chooser

void MainWindow::chooseWaveFile() {
    if (!m_grid->waveCellSelected())
        return;
    ParamGridModel* grid = m_grid->gridModel();
    const int row = grid->currentRow();
    const std::string sounds = fileSystemPath(m_grid->soundsFolder());
    const std::string folder =
        waveChooserFolder(sounds, qstringToScript(grid->cellText(row, grid->currentColumn())),
                          [](const std::string& path) { return QFileInfo(fromFileSystem(path)).isDir(); });
    const QString chosen = m_prompts.openFile(WaveDialogTitle, fromFileSystem(folder), WaveFilter);
    if (chosen.isEmpty())
        return;
    // The grid writes the value into the node and reports it (modified flag, or the failure message).
    grid->writeValue(row, scriptToQString(storedWaveValue(sounds, fileSystemPath(chosen))));
    m_grid->widenColumns();
}

} // namespace tonvale
