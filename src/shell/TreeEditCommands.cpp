// The main window's tree edits: new soundscape and blocks from the templates, the new-element dialog,
// rename, delete, comments, moves by drag and drop, the wave file chooser, the two popup menus and the
// enabling rules that run when a menu opens. Every change goes through the document's edit functions
// with the tree model's observer, so the view gets exact row signals; the grid follows the selection.

#include "shell/TfSsMain.h"

#include "document/Edits.h"
#include "document/NewElements.h"
#include "document/SoundPaths.h"
#include "editor/Icons.h"
#include "editor/ParamGrid.h"
#include "editor/QtText.h"
#include "editor/SectionTreeModel.h"
#include "editor/SectionTreeView.h"
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

void TfSsMain::attachTreeEdits() {
    auto& c = m_commands;
    c.setExecute(Cmd::A_NewItem, [this] { A_NewItemExecute(); });
    c.setExecute(Cmd::A_NewLoop, [this] { A_NewLoopExecute(); });
    c.setExecute(Cmd::A_NewRand, [this] { A_NewRandExecute(); });
    c.setExecute(Cmd::A_NewPlaySS, [this] { A_NewPlaySSExecute(); });
    c.setExecute(Cmd::A_NewCategory, [this] { A_NewCategoryExecute(); });
    c.setExecute(Cmd::A_EditItem, [this] { A_EditItemExecute(); });
    c.setExecute(Cmd::A_DeleteItem, [this] { A_DeleteItemExecute(); });
    c.setExecute(Cmd::A_Comment, [this] { A_CommentExecute(); });
    c.setExecute(Cmd::A_SelDir, [this] { A_SelDirExecute(); });

    // Icons of the commands that the first table left without one.
    const auto icon = [&c](std::initializer_list<Cmd> ids, IconId id) {
        for (Cmd cmd : ids) {
            if (c.action(cmd)->icon().isNull())
                c.action(cmd)->setIcon(commandIcon(id));
        }
    };
    icon({Cmd::A_NewItem}, IconId::NewSoundscape);
    icon({Cmd::A_NewLoop, Cmd::A_NewRand, Cmd::A_NewPlaySS}, IconId::NewElement);
    icon({Cmd::A_EditItem}, IconId::Rename);
    icon({Cmd::A_DeleteItem}, IconId::Delete);
    icon({Cmd::A_About}, IconId::About);

    const auto category = [&c](std::initializer_list<Cmd> ids, const QString& name) {
        for (Cmd id : ids)
            c.action(id)->setProperty("category", name);
    };
    category({Cmd::A_NewF, Cmd::A_OpenRes, Cmd::A_SaveRes, Cmd::A_SaveAs, Cmd::A_Exit}, QStringLiteral("Файл"));
    category({Cmd::A_NewItem, Cmd::A_EditItem, Cmd::A_DeleteItem, Cmd::A_NewLoop, Cmd::A_NewRand, Cmd::A_NewPlaySS},
             QStringLiteral("Правка"));
    category({Cmd::A_About, Cmd::A_Help}, QStringLiteral("Помощь"));

    connect(static_cast<SectionTreeView*>(m_tv1), &SectionTreeView::nodeDropped, this, &TfSsMain::TV1DragDrop);
}

void TfSsMain::buildPopupMenus() {
    auto& c = m_commands;
    m_popupMenu1 = new QMenu(this);
    m_popupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    m_popupMenu1->addAction(c.action(Cmd::A_ExpAll));
    m_popupMenu1->addAction(c.action(Cmd::A_CollAll));
    m_popupMenu1->addSeparator();
    QMenu* edit = m_popupMenu1->addMenu(QStringLiteral("Правка"));
    edit->setObjectName(QStringLiteral("PopupMenu1Edit"));
    edit->addAction(c.action(Cmd::A_NewLoop));
    edit->addAction(c.action(Cmd::A_NewRand));
    edit->addAction(c.action(Cmd::A_NewPlaySS));
    edit->addSeparator();
    edit->addAction(c.action(Cmd::A_NewItem));
    edit->addAction(c.action(Cmd::A_EditItem));
    edit->addSeparator();
    edit->addAction(c.action(Cmd::A_DeleteItem));
    m_popupMenu1->addAction(c.action(Cmd::A_Comment));
    m_popupMenu1->addSeparator();
    m_popupMenu1->addAction(c.action(Cmd::A_Play_SS));
    connect(m_popupMenu1, &QMenu::aboutToShow, this, &TfSsMain::PopupMenu1Popup);
    m_tv1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_tv1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { m_popupMenu1->popup(m_tv1->viewport()->mapToGlobal(at)); });

    m_popSG = new QMenu(this);
    m_popSG->setObjectName(QStringLiteral("PopSG"));
    m_popSG->addAction(c.action(Cmd::Action3));
    m_popSG->addAction(c.action(Cmd::Action4));
    m_popSG->addAction(c.action(Cmd::Play));
    m_popSG->addSeparator();
    m_popSG->addAction(c.action(Cmd::A_Vol));
    m_popSG->addSeparator();
    m_popSG->addAction(c.action(Cmd::Action5));
    connect(m_popSG, &QMenu::aboutToShow, this, [this] { updateCommands(); });
    m_grid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_grid, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { m_popSG->popup(m_grid->viewport()->mapToGlobal(at)); });
}

// ---------------------------------------------------------------------------------------------
// Enabling when a menu opens

void TfSsMain::PopupMenu1Popup() {
    const Node* node = selectedNode();
    m_newItemEnabled = fileExists(m_currentFile);
    m_editItemEnabled = !m_tree.empty() && node != nullptr && !m_tree.isEndMarker(node);
    m_commentEnabled = m_editItemEnabled;
    updateCommands();
}

void TfSsMain::ActionMainMenuBar1Popup() {
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
void TfSsMain::afterStructuralEdit(Node* select) {
    m_treeEditing = false;
    if (select != nullptr && select != selectedNode())
        selectNode(select);  // the selection signal fills the grid
    else
        TV1Change(selectedNode());
}

// ---------------------------------------------------------------------------------------------
// Templates: new soundscape and blocks

void TfSsMain::A_NewItemExecute() {
    if (!fileExists(m_currentFile)) {
        m_prompts.message(fromUtf8(newtext::OpenOrCreateFile), fromUtf8(newtext::SoundscapeCaption), MessageIcon::None);
        return;
    }
    if (m_page == TextTab)
        return;
    const std::optional<QString> answer =
        m_prompts.inputText(fromUtf8(newtext::SoundscapePromptCaption), QString(), QString());
    if (answer && !answer->isEmpty()) {
        const CreateResult created = Create0Level(m_tree, qstringToScript(*answer), m_treeModel->observer());
        if (created) {
            m_modified = true;
            afterStructuralEdit(created.node);
        } else if (created.message) {
            if (created.message->text == edittext::Unexpected)
                m_modified = false;
            showMessage(*created.message);
        }
    }
    EnablSaveBut(m_modified);
}

void TfSsMain::newBlock(BlockKind kind) {
    Node* soundscape = selectedNode();
    const CreateResult created = createBlock(m_tree, soundscape, kind, m_treeModel->observer());
    if (!created) {
        showMessage(blockFailureMessage(kind));
        EnablSaveBut(m_modified);
        return;
    }
    m_modified = true;
    m_tv1->expand(m_treeModel->indexOf(soundscape));
    afterStructuralEdit(created.node);
    EnablSaveBut(m_modified);
}

void TfSsMain::A_NewLoopExecute() {
    newBlock(BlockKind::PlayLooping);
}

void TfSsMain::A_NewRandExecute() {
    newBlock(BlockKind::PlayRandom);
}

void TfSsMain::A_NewPlaySSExecute() {
    newBlock(BlockKind::PlaySoundscape);
}

// ---------------------------------------------------------------------------------------------
// New element, rename, delete, comments

void TfSsMain::A_NewCategoryExecute() {
    Node* selected = selectedNode();
    if (selected == nullptr)
        return;
    QStringList names;
    for (const std::string& name : GetParamForSections(blockKind(selected->text())))
        names.append(scriptToQString(name));
    const QString caption = QStringLiteral("Новый - [") + scriptToQString(selected->text()) + QLatin1Char(']');
    const std::optional<NewElementAnswers> answers = m_prompts.newElement(caption, names);
    if (!answers)
        return;
    if (const std::optional<Message> stop = checkNewElement(m_tree, selected, *answers)) {
        showMessage(*stop);
        return;
    }
    PlacementAnswer placement = PlacementAnswer::No;
    if (asksPlacement(*answers)) {
        const PromptButton first = m_prompts.message(fromUtf8(newtext::PlacementQuestion), fromUtf8(newtext::PlacementCaption),
                                                     MessageIcon::Question, YesButton | NoButtonAnswer, YesButton);
        placement = first == YesButton ? PlacementAnswer::Yes : PlacementAnswer::No;
    }
    const CreateResult created = addNewElement(m_tree, selected, *answers, placement, m_treeModel->observer());
    if (!created) {
        if (created.message)
            showMessage(*created.message);
        return;
    }
    setModified(true);
    afterStructuralEdit(created.node);
}

void TfSsMain::A_EditItemExecute() {
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
    TV1Change(node);
    setModified(true);
}

void TfSsMain::A_DeleteItemExecute() {
    Node* node = selectedNode();
    if (node == nullptr || m_page == TextTab || m_tree.isEndMarker(node))
        return;
    const Message question = deleteQuestion(*node);
    const PromptButton answer = m_prompts.message(fromUtf8(question.text), fromUtf8(question.caption), question.icon,
                                                  YesButton | NoButtonAnswer, NoButtonAnswer);
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

void TfSsMain::A_CommentExecute() {
    Node* node = selectedNode();
    if (node == nullptr || node->data() == nullptr)
        return;
    const TNodeData& comments = *node->data();
    const QString caption = QStringLiteral("Комментарии [") + scriptToQString(node->text()) + QLatin1Char(']');
    const std::optional<CommentAnswers> answer = m_prompts.editComments(caption, comments.CommentBeside, comments.CommentsAbove);
    if (!answer)
        return;
    setComments(m_tree, node, answer->beside, answer->aboveLines, m_treeModel->observer());
    setModified(true);
}

// ---------------------------------------------------------------------------------------------
// Moves by drag and drop

void TfSsMain::TV1DragDrop(Node* dragged, Node* target) {
    if (!dropMoves(m_tree, dragged, target))
        return;
    const PromptButton answer = m_prompts.message(fromUtf8(edittext::MoveQuestion), fromUtf8(edittext::MoveCaption),
                                                  MessageIcon::Question, YesButton | NoButtonAnswer | CancelButton,
                                                  YesButton);
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
    m_tv1->expandRecursively(m_treeModel->indexOf(target));
    afterStructuralEdit(dragged);
    if (const Node* before = m_tree.previous(dragged))
        m_tv1->scrollTo(m_treeModel->indexOf(before), QAbstractItemView::PositionAtTop);
    setModified(true);
}

// ---------------------------------------------------------------------------------------------
// The wave file chooser

void TfSsMain::A_SelDirExecute() {
    if (!m_grid->waveCell())
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
