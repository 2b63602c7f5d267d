// SPDX-License-Identifier: MIT
// Tree edits: new soundscape and blocks from the templates, the new-element dialog, rename, delete,
// comments, moves by drag and drop and the wave file chooser. Every change goes through the
// document's edit functions with the tree model's observer, so the view gets exact row signals; the
// grid follows the selection.

#include "shell/TreeEditor.h"

#include "audiopanel/WavePreview.h"
#include "dialogs/Prompts.h"
#include "document/BlockKinds.h"
#include "document/Edits.h"
#include "document/History.h"
#include "document/NewElements.h"
#include "document/SoundPaths.h"
#include "editor/ParamGrid.h"
#include "editor/QtText.h"
#include "editor/SectionTreeModel.h"
#include "shell/CommandTable.h"
#include "texts/CoreTexts.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTreeView>

namespace tonvale {

namespace {
QString WaveDialogTitle() {
    return QCoreApplication::translate("tonvale", "Файлы звуков");
}

std::string fileSystemPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QString fromFileSystem(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}
} // namespace

TreeEditor::TreeEditor(DocumentWindow& window, Prompts& prompts, QObject* parent)
    : QObject(parent), m_window(window), m_prompts(prompts) {
    CommandTable& c = window.commands();
    c.setExecute(CommandId::NewSoundscape, [this] { newSoundscape(); });
    c.setExecute(CommandId::NewLoopingBlock, [this] { newBlock(BlockKind::PlayLooping); });
    c.setExecute(CommandId::NewRandomBlock, [this] { newBlock(BlockKind::PlayRandom); });
    c.setExecute(CommandId::NewSoundscapeBlock, [this] { newBlock(BlockKind::PlaySoundscape); });
    c.setExecute(CommandId::NewElement, [this] { newElement(); });
    c.setExecute(CommandId::GridNewElement, [this] { newElement(); });
    c.setExecute(CommandId::Rename, [this] { renameSelected(); });
    c.setExecute(CommandId::Delete, [this] { deleteSelected(); });
    c.setExecute(CommandId::Comments, [this] { editSelectedComments(); });
    c.setExecute(CommandId::ChooseWave, [this] { chooseWaveFile(); });
    c.setExecute(CommandId::GridChooseWave, [this] { chooseWaveFile(); });
}

// ---------------------------------------------------------------------------------------------
// Templates: new soundscape and blocks

namespace {
// A node's text as the history names it.
QString nameOf(const Node* node) {
    return node != nullptr ? scriptToQString(node->text()) : QString();
}
} // namespace

void TreeEditor::newSoundscape() {
    if (!m_window.fileOnDisk()) {
        m_prompts.message(coreText(newtext::OpenOrCreateFile), coreText(newtext::SoundscapeCaption),
                          MessageIcon::None);
        return;
    }
    if (m_window.onTextTab())
        return;
    QString name;
    for (;;) {
        const std::optional<QString> answer = m_prompts.inputText(coreText(newtext::SoundscapePromptCaption),
                                                                  tr("Название нового soundscape:"), name);
        if (!answer || answer->isEmpty())
            break;
        HistoryStep step(m_window.history(), tr("новый soundscape %1").arg(answer->trimmed()).toStdString());
        const CreateResult created =
            createSoundscape(m_window.tree(), qstringToScript(*answer), m_window.editObserver());
        if (created) {
            m_window.endStructuralEdit(created.node);
            m_window.setModified(true);
            return;
        }
        if (!created.message)
            break;
        if (created.message->text == edittext::Unexpected)
            m_window.setModified(false);
        m_window.showMessage(*created.message);
        if (created.message->text != newtext::DuplicateName)
            break;
        name = *answer; // asked again, with the name to correct
    }
    m_window.setModified(m_window.modified());
}

void TreeEditor::newBlock(BlockKind kind) {
    Node* soundscape = m_window.selectedNode();
    HistoryStep step(m_window.history(),
                     tr("новый блок %1").arg(QString::fromUtf8(blockKindInfo(kind).keyword)).toStdString());
    const CreateResult created = createBlock(m_window.tree(), soundscape, kind, m_window.editObserver());
    if (!created) {
        m_window.showMessage(blockFailureMessage(kind));
        m_window.setModified(m_window.modified());
        return;
    }
    m_window.treeView()->expand(m_window.treeModel()->indexOf(soundscape));
    m_window.endStructuralEdit(created.node);
    m_window.setModified(true);
}

// ---------------------------------------------------------------------------------------------
// New element, rename, delete, comments

void TreeEditor::newElement() {
    Node* selected = m_window.selectedNode();
    if (selected == nullptr)
        return;
    QStringList names;
    for (const std::string& name : suggestedParameters(blockKind(selected->text())))
        names.append(scriptToQString(name));
    const QString caption = tr("Новый - [") + scriptToQString(selected->text()) + QLatin1Char(']');
    const std::optional<NewElementAnswers> answers = m_prompts.newElement(caption, names);
    if (!answers)
        return;
    if (const std::optional<Message> stop = checkNewElement(m_window.tree(), selected, *answers)) {
        m_window.showMessage(*stop);
        return;
    }
    PlacementAnswer placement = PlacementAnswer::No;
    if (asksPlacement(*answers)) {
        const PromptButton first =
            m_prompts.message(coreText(newtext::PlacementQuestion), coreText(newtext::PlacementCaption),
                              MessageIcon::Question, YesButton | NoButtonAnswer, YesButton);
        placement = first == YesButton ? PlacementAnswer::Yes : PlacementAnswer::No;
    }
    HistoryStep step(m_window.history(), tr("новый элемент").toStdString());
    const CreateResult created =
        addNewElement(m_window.tree(), selected, *answers, placement, m_window.editObserver());
    if (!created) {
        if (created.message)
            m_window.showMessage(*created.message);
        return;
    }
    m_window.setModified(true);
    m_window.endStructuralEdit(created.node);
}

void TreeEditor::renameSelected() {
    Node* node = m_window.selectedNode();
    if (node == nullptr || m_window.onTextTab() || m_window.tree().isEndMarker(node))
        return;
    const std::optional<QString> answer =
        m_prompts.inputText(coreText(edittext::RenameCaption), QString(), scriptToQString(node->text()));
    if (!answer)
        return;
    const std::string text = qstringToScript(*answer);
    if (storableLine(text).empty())
        return;
    {
        HistoryStep step(m_window.history(), tr("переименование %1").arg(nameOf(node)).toStdString());
        renameNode(m_window.tree(), node, text, m_window.editObserver());
    }
    m_window.endStructuralEdit(nullptr);
    m_window.setModified(true);
}

void TreeEditor::deleteSelected() {
    Node* node = m_window.selectedNode();
    if (node == nullptr || m_window.onTextTab() || m_window.tree().isEndMarker(node))
        return;
    const Message question = deleteQuestion(*node, shownEncoding());
    const PromptButton answer = m_prompts.message(coreText(question.text), coreText(question.caption),
                                                  question.icon, YesButton | NoButtonAnswer, NoButtonAnswer);
    if (answer == NoButtonAnswer)
        return;
    // The grid lets go of the rows before their nodes go; the view's own choice of a new current
    // node is not followed until the tree has its new shape.
    m_window.beginStructuralEdit();
    m_window.grid()->clearRows();
    m_window.grid()->gridModel()->setSelectedNode(nullptr);
    HistoryStep step(m_window.history(), tr("удаление %1").arg(nameOf(node)).toStdString());
    const DeleteResult deleted = deleteNode(m_window.tree(), node, m_window.editObserver());
    m_window.endStructuralEdit(deleted.selectAfter);
    m_window.setModified(true);
}

void TreeEditor::editSelectedComments() {
    Node* node = m_window.selectedNode();
    if (node == nullptr || node->data() == nullptr)
        return;
    const NodeData& comments = *node->data();
    const QString caption = tr("Комментарии [") + scriptToQString(node->text()) + QLatin1Char(']');
    const std::optional<CommentAnswers> answer =
        m_prompts.editComments(caption, comments.commentBeside, comments.commentsAbove);
    if (!answer)
        return;
    HistoryStep step(m_window.history(), tr("комментарии %1").arg(nameOf(node)).toStdString());
    setComments(m_window.tree(), node, answer->beside, answer->aboveLines, m_window.editObserver());
    m_window.setModified(true);
}

// ---------------------------------------------------------------------------------------------
// Moves by drag and drop

void TreeEditor::onNodeDropped(Node* dragged, Node* target) {
    if (!dropMoves(m_window.tree(), dragged, target))
        return;
    const Message question = moveQuestion(*dragged, *target, shownEncoding());
    const PromptButton answer =
        m_prompts.message(coreText(question.text), coreText(question.caption), question.icon,
                          YesButton | NoButtonAnswer | CancelButton, YesButton);
    const PlacementAnswer placement = answer == YesButton        ? PlacementAnswer::Yes
                                      : answer == NoButtonAnswer ? PlacementAnswer::No
                                                                 : PlacementAnswer::Cancel;
    if (placement == PlacementAnswer::Cancel)
        return;
    m_window.beginStructuralEdit();
    HistoryStep step(m_window.history(), tr("перемещение %1").arg(nameOf(dragged)).toStdString());
    const MoveResult moved = moveNode(m_window.tree(), dragged, target, placement, m_window.editObserver());
    if (!moved.done()) {
        m_window.endStructuralEdit(nullptr);
        return;
    }
    m_window.treeView()->expandRecursively(m_window.treeModel()->indexOf(target));
    m_window.endStructuralEdit(dragged);
    if (const Node* before = m_window.tree().previous(dragged))
        m_window.treeView()->scrollTo(m_window.treeModel()->indexOf(before),
                                      QAbstractItemView::PositionAtTop);
    m_window.setModified(true);
}

// ---------------------------------------------------------------------------------------------
// The wave file chooser

void TreeEditor::chooseWaveFile() {
    if (!m_window.grid()->waveCellSelected())
        return;
    ParamGridModel* grid = m_window.grid()->gridModel();
    const int row = grid->currentRow();
    const std::string sounds = fileSystemPath(m_window.grid()->soundsFolder());
    // The folders are found as the grid finds the wave: in any letter case.
    const std::string folder =
        waveChooserFolder(sounds, qstringToScript(grid->cellText(row, grid->currentColumn())));
    const QString chosen = m_prompts.openFile(WaveDialogTitle(), fromFileSystem(folder), soundFileFilter());
    if (chosen.isEmpty())
        return;
    // The grid writes the value into the node and reports it (modified flag, or the failure message).
    HistoryStep step(
        m_window.history(),
        tr("выбор файла %1").arg(nameOf(m_window.grid()->gridModel()->rowNode(row))).toStdString());
    grid->writeValue(row, scriptToQString(storedWaveValue(sounds, fileSystemPath(chosen))));
    m_window.grid()->widenColumns();
}

} // namespace tonvale
