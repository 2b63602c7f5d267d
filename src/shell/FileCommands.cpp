// SPDX-License-Identifier: MIT
// The main window's file commands: open, save (the "~" file or the original after a confirmation),
// save as, new file, exit and close, the keep-changes question and the recent-files list.

#include "dialogs/Prompts.h"
#include "document/FileIO.h"
#include "document/Templates.h"
#include "document/TextHelpers.h"
#include "document/Writer.h"
#include "editor/ParamGrid.h"
#include "editor/QtText.h"
#include "editor/SectionTreeModel.h"
#include "editor/UpdatesFrozen.h"
#include "settings/Platform.h"
#include "shell/MainWindow.h"
#include "shell/TextPage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTreeView>

namespace tonvale {

namespace {
const QString TxtFilter = QStringLiteral("TXT (*.txt)");
const QString WorkFileName = QStringLiteral("workfile.txt");
const QString WorkFileRefusal = QStringLiteral(
    "Вы не можете открыть файл \"workfile.txt\", т.к. этот файл является временным файлом приложения");

std::string nativePath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

bool isWorkFile(const QString& path) {
    return QFileInfo(path).fileName().toLower() == WorkFileName;
}

QString joinFolder(const QString& folder, const QString& name) {
    return QDir::cleanPath(folder + QLatin1Char('/') + name);
}
} // namespace

bool MainWindow::writeBytes(const QString& path, const std::string& bytes) {
    std::string error;
    if (writeFileAtomic(nativePath(path), bytes, error))
        return true;
    m_prompts.message(QStringLiteral("Cannot create file \"%1\". %2")
                          .arg(QDir::toNativeSeparators(path), QString::fromLocal8Bit(error.c_str())),
                      QStringLiteral("TonvaleApp"), MessageIcon::Error);
    return false;
}

void MainWindow::replaceDocument(SectionTree&& tree) {
    m_grid->clearRows();
    m_grid->gridModel()->setSelectedNode(nullptr);
    m_treeModel->beginReset();
    m_tree = std::move(tree);
    m_treeModel->endReset();
    m_title->clear();
}

MainWindow::LoadOutcome MainWindow::loadFile(const QString& path) {
    LoadResult result = loadScriptFile(nativePath(path));
    if (result.failure == LoadFailure::ReadError) {
        // The open document stays as it was: nothing of it is dropped for a file that cannot be read.
        return LoadOutcome::ReadError;
    }
    setUpdatesFrozen(m_treeView, true);
    replaceDocument(std::move(result.tree));
    setUpdatesFrozen(m_treeView, false);
    for (const Message& message : result.messages)
        showMessage(message);

    if (result.failure != LoadFailure::None) {
        setStatus(3, captions::LoadError);
        setSaveOffered(false);
        if (result.failure == LoadFailure::LoadError) {
            m_currentFile.clear();
        } else if (!textEditor()->document()->isModified()) {
            m_currentFile.clear();
        }
        updateCommands();
        return LoadOutcome::Failed;
    }

    if (result.levelError) {
        // The rest of the file is missing from the tree: it must not replace the file by a plain Save.
        // The document stays open for reading and for Save As, with no current file.
        setWindowTitle(QStringLiteral("Tonvale"));
        m_currentFile.clear();
        setStatus(3, captions::LoadError);
        setSaveOffered(false);
    } else if (!isWorkFile(path)) {
        setCaptionFor(path);
        setSaveOffered(true);
        addRecentFile(path);
        m_currentFile = path;
        setStatus(3, QDir::toNativeSeparators(path));
    }
    if (m_page == TextTab) {
        // The editor shows the document just loaded, or leaving the tab would parse the old text back.
        const WriteResult written = writeScript(m_tree);
        if (written.ok && writeBytes(workingFile(), written.bytes))
            m_textPage->showText(written.bytes);
        textEditor()->document()->setModified(false);
    }
    updateCommands();
    return LoadOutcome::Loaded;
}

bool MainWindow::keepChanges(const QString& caption) {
    if (!m_modified || !fileExists(m_currentFile))
        return true;
    const PromptButton answer =
        m_prompts.message(statusText(1) + QLatin1Char('?'), caption, MessageIcon::Question,
                          YesButton | NoButtonAnswer | CancelButton, YesButton);
    if (answer == YesButton)
        return save(); // a save that fails or is refused stops the command
    return answer == NoButtonAnswer;
}

void MainWindow::newFile() {
    if (!keepChanges(QStringLiteral("Сохранить")))
        return;
    const QString path = m_prompts.saveFile(
        QStringLiteral("Новый файл"), joinFolder(m_settings.scriptsFolder, QStringLiteral("scripts")),
        TxtFilter, QStringLiteral("txt"), QStringLiteral("soundscapes_myfile"));
    if (path.isEmpty())
        return;
    const PromptButton full =
        m_prompts.message(QStringLiteral("Создать блоки автоматически?"), QStringLiteral("Новый файл"),
                          MessageIcon::Question, YesButton | NoButtonAnswer, YesButton);
    if (!writeBytes(path, newFileBytes(full == YesButton)))
        return;
    m_currentFile = path;
    if (loadFile(path) == LoadOutcome::ReadError)
        return;
    setModified(true);
    selectFirstNode();
}

void MainWindow::openFile() {
    if (!keepChanges(QStringLiteral("Сохранить")))
        return;
    const QString path = m_prompts.openFile(QStringLiteral("Открыть"), m_settings.scriptsFolder, TxtFilter);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().toLower() != QStringLiteral("txt")) {
        m_prompts.message(QStringLiteral("Ошибка. Используйте файлы soundscapes с расширением:  *.txt"),
                          captions::OpenFile, MessageIcon::Error);
        setStatus(3, captions::LoadError);
        setSaveOffered(false);
        return;
    }
    if (isWorkFile(path)) {
        m_prompts.message(WorkFileRefusal, captions::OpenFile, MessageIcon::Warning);
        return;
    }
    if (loadFile(path) == LoadOutcome::ReadError) {
        std::string bytes;
        std::string error;
        readWholeFile(nativePath(path), bytes, error);
        m_prompts.message(QStringLiteral("Cannot open file \"%1\". %2")
                              .arg(QDir::toNativeSeparators(path), QString::fromLocal8Bit(error.c_str())),
                          QStringLiteral("TonvaleApp"), MessageIcon::Error);
        return;
    }
    setModified(false);
    selectFirstNode();
}

bool MainWindow::save() {
    if (m_tree.empty())
        return false;
    QString target;
    if (!m_currentFile.isEmpty()) {
        const QFileInfo file(m_currentFile);
        if (m_settings.saveMode == 1)
            target = file.dir().filePath(QLatin1Char('~') + file.fileName());
        else if (m_settings.saveMode == 2)
            target = m_currentFile;
    }
    if (target.isEmpty()) {
        m_prompts.message(QStringLiteral("Ошибка. Файл не найден. Создайте или откройте файл"),
                          captions::SaveFile, MessageIcon::Error);
        return false;
    }
    if (m_settings.saveMode == 2 && !m_settings.saveOriginFile) {
        const SaveOriginAnswer answer = m_prompts.confirmSaveOriginal();
        if (!answer.yes)
            return false;
        m_settings.saveOriginFile = answer.dontAsk;
    }
    if (m_pages->currentIndex() == TextTab) {
        if (!writeBytes(target, m_textPage->editorBytes()))
            return false;
        textEditor()->document()->setModified(false);
        setModified(false);
        return true;
    }
    const WriteResult written = writeScript(m_tree);
    std::string error;
    if (!written.ok || !writeFileAtomic(nativePath(target), written.bytes, error)) {
        if (!written.ok)
            showMessage(written.message);
        m_prompts.message(QStringLiteral("Ошибка! Файл не сохранен"), captions::SaveFile, MessageIcon::Error);
        return false;
    }
    setModified(false);
    return true;
}

void MainWindow::saveAs() {
    const QString path = m_prompts.saveFile(QStringLiteral("Сохранить как"),
                                            joinFolder(m_settings.scriptsFolder, QStringLiteral("scripts")),
                                            TxtFilter, QStringLiteral("txt"));
    if (path.isEmpty() || path.toLower() == m_currentFile.toLower())
        return;
    // On the text tab the editor's text is the document: that is what gets written.
    const bool fromText = m_pages->currentIndex() == TextTab;
    WriteResult written;
    if (fromText) {
        written.ok = true;
        written.bytes = m_textPage->editorBytes();
    } else {
        written = writeScript(m_tree);
    }
    if (!written.ok) {
        showMessage(written.message);
        m_prompts.message(QStringLiteral("Ошибка! Не могу сохранить файл под новым именем."),
                          QStringLiteral("Сохранить как..."), MessageIcon::Error);
        return;
    }
    if (!writeBytes(path, written.bytes))
        return;
    if (fromText)
        textEditor()->document()->setModified(false);
    setCaptionFor(path);
    addRecentFile(path);
    m_currentFile = path;
    setStatus(3, QDir::toNativeSeparators(path));
    setModified(false);
}

void MainWindow::exitProgram() {
    close();
}

// ---------------------------------------------------------------------------------------------
// Recent files

void MainWindow::addRecentAction(int slot) {
    const QString& path = m_recent.slot(slot);
    auto* action = new QAction(QString(path).replace(QLatin1Char('&'), QStringLiteral("&&")), this);
    action->setObjectName(QStringLiteral("recent%1").arg(slot));
    action->setData(path);
    connect(action, &QAction::triggered, this, [this, action] { openRecentFile(action->data().toString()); });
    m_fileMenu->addAction(action);
    m_recentActions.append(action);
}

void MainWindow::loadRecentFiles() {
    m_recent.setPaths(m_settings.recent);
    m_recent.rebuild([this](const QString& path) { return fileExists(path); });
    for (int i = 0; i < m_recent.count(); ++i)
        addRecentAction(i);
}

void MainWindow::addRecentFile(const QString& path) {
    const RecentFiles::Result result = m_recent.add(path);
    if (result.change == RecentFiles::Change::Appended) {
        addRecentAction(result.slot);
    } else if (result.change == RecentFiles::Change::Replaced && result.slot < m_recentActions.size()) {
        QAction* action = m_recentActions[result.slot];
        action->setText(QString(path).replace(QLatin1Char('&'), QStringLiteral("&&")));
        action->setData(path);
    }
}

void MainWindow::openRecentFile(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix != QStringLiteral("res") && suffix != QStringLiteral("txt"))
        return;
    if (!fileExists(path))
        return;
    if (isWorkFile(path)) {
        m_prompts.message(WorkFileRefusal, captions::OpenFile, MessageIcon::Warning);
        return;
    }
    if (!keepChanges(QStringLiteral("Сохранить")))
        return;
    if (loadFile(path) == LoadOutcome::ReadError) {
        m_prompts.message(QStringLiteral("Error"), QStringLiteral("Loading File"), MessageIcon::Error);
        setStatus(3, captions::ErrorLoadingFile);
        setSaveOffered(false);
        return;
    }
    setModified(false);
    setStatus(3, QDir::toNativeSeparators(path));
    selectFirstNode();
}

} // namespace tonvale
