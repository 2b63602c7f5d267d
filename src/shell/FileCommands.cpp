// SPDX-License-Identifier: MIT
// The main window's file commands: open, save (the "~" file or the original after a confirmation),
// save as, new file, exit and close, the keep-changes question and the recent-files list.

#include "dialogs/Prompts.h"
#include "document/FileIO.h"
#include "document/Layout.h"
#include "document/Templates.h"
#include "document/TextHelpers.h"
#include "document/Writer.h"
#include "editor/ParamGrid.h"
#include "editor/QtText.h"
#include "editor/SectionTreeModel.h"
#include "editor/UpdatesFrozen.h"
#include "settings/Platform.h"
#include "shell/MainWindow.h"
#include "shell/StatusPanels.h"
#include "shell/TextPage.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QTabWidget>
#include <QTreeView>
#include <QtConcurrent/QtConcurrentRun>
#include <cerrno>
#include <cstring>
#include <optional>

namespace tonvale {

namespace {
QString ChangedOnDiskCaption() {
    return QCoreApplication::translate("tonvale", "Файл изменён другой программой");
}
const QString TxtFilter = QStringLiteral("TXT (*.txt)");
const QString WorkFileName = QStringLiteral("workfile.txt");
QString WorkFileRefusal() {
    return QCoreApplication::translate(
        "tonvale",
        "Вы не можете открыть файл \"workfile.txt\", т.к. этот файл является временным файлом приложения");
}

std::string nativePath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

bool isWorkFile(const QString& path) {
    return QFileInfo(path).fileName().toLower() == WorkFileName;
}

QString joinFolder(const QString& folder, const QString& name) {
    return QDir::cleanPath(folder + QLatin1Char('/') + name);
}

std::uint64_t g_backgroundLoadBytes = MainWindow::DefaultBackgroundLoadBytes;
} // namespace

void MainWindow::setBackgroundLoadBytes(std::uint64_t bytes) {
    g_backgroundLoadBytes = bytes;
}

std::uint64_t MainWindow::backgroundLoadBytes() {
    return g_backgroundLoadBytes;
}

// Reads and loads a script. A large file loads on another thread while a modal progress dialog keeps
// the window painted; nothing is given when the user cancelled (or the window was closed, or another
// load is under way), and the window is then as it was.
std::optional<LoadResult> MainWindow::readScript(const QString& path) {
    if (m_cancelLoad)
        return std::nullopt;
    const std::string native = nativePath(path);
    const FileStamp stamp = fileStamp(native);
    if (!stamp.exists || stamp.size <= g_backgroundLoadBytes || stamp.size > MaxScriptBytes)
        return loadScriptFileKeepingSource(native); // small, or refused before it is read
    QFutureWatcher<LoadResult> watcher;
    QProgressDialog progress(tr("Загрузка файла...") + QLatin1Char('\n') + QFileInfo(path).fileName(),
                             tr("Отмена"), 0, 0, this);
    progress.setObjectName(QStringLiteral("loadProgress"));
    progress.setWindowTitle(QStringLiteral("Tonvale"));
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setMinimumDuration(0);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    progress.setMinimumWidth(360);
    QEventLoop loop;
    bool stopped = false;
    m_cancelLoad = [&loop, &stopped] {
        stopped = true;
        loop.quit();
    };
    connect(&watcher, &QFutureWatcherBase::finished, &loop, &QEventLoop::quit);
    connect(&progress, &QProgressDialog::canceled, &loop, [this] { m_cancelLoad(); });
    connect(&progress, &QDialog::rejected, &loop, [this] { m_cancelLoad(); }); // Escape
    watcher.setFuture(QtConcurrent::run(&m_loadThreads, [native] {
        try {
            return loadScriptFileKeepingSource(native);
        } catch (const std::bad_alloc&) {
            LoadResult result;
            result.failure = LoadFailure::ReadError;
            result.readError = std::strerror(ENOMEM);
            return result;
        }
    }));
    progress.show();
    if (!stopped && !watcher.isFinished())
        loop.exec();
    m_cancelLoad = nullptr;
    if (stopped || !watcher.isFinished())
        return std::nullopt; // the thread ends by itself; what it loads is dropped
    return watcher.future().takeResult();
}

bool MainWindow::writeBytes(const QString& path, const std::string& bytes) {
    const FileResult written = saveFile(nativePath(path), bytes);
    if (written.ok())
        return true;
    m_prompts.message(QStringLiteral("Cannot create file \"%1\". %2")
                          .arg(QDir::toNativeSeparators(path), fromUtf8(written.text(nativePath(path)))),
                      QStringLiteral("TonvaleApp"), MessageIcon::Error);
    return false;
}

void MainWindow::replaceDocument(SectionTree&& tree, ScriptEncoding encoding, SectionTree* previous) {
    m_grid->clearRows();
    m_grid->gridModel()->setSelectedNode(nullptr);
    m_treeModel->beginReset();
    if (previous != nullptr)
        *previous = std::move(m_tree);
    m_tree = std::move(tree);
    setShownEncoding(encoding);
    m_treeModel->endReset();
    m_title->clear();
    m_status->setEncoding(fromUtf8(encodingName(encoding)));
}

QString MainWindow::readFailureText(const QString& path) const {
    return tr("Не удалось открыть файл \"%1\". %2")
        .arg(QDir::toNativeSeparators(path), QString::fromLocal8Bit(m_lastReadError.c_str()));
}

MainWindow::LoadOutcome MainWindow::loadFile(const QString& path) {
    std::optional<LoadResult> loaded = readScript(path);
    if (!loaded)
        return LoadOutcome::Cancelled;
    LoadResult& result = *loaded;
    if (result.failure == LoadFailure::ReadError) {
        // The open document stays as it was: nothing of it is dropped for a file that cannot be read.
        m_lastReadError = result.readError;
        return LoadOutcome::ReadError;
    }
    for (const Message& message : result.messages)
        showMessage(message);
    if (!result.ok()) {
        // Only a load that succeeds replaces the document: the one open keeps its file, title, tree,
        // grid, tab and modified flag.
        return LoadOutcome::Failed;
    }
    const FileStamp stamp = fileStamp(nativePath(path));
    setUpdatesFrozen(m_treeView, true);
    replaceDocument(std::move(result.tree), result.encoding);
    setUpdatesFrozen(m_treeView, false);
    m_history.clear(true); // a document loaded starts an empty history, in the state on disk

    if (result.levelError) {
        // The rest of the file is missing from the tree: it must not replace the file by a plain Save.
        // The document stays open for reading and for Save As, with no current file.
        setWindowTitle(QStringLiteral("Tonvale"));
        m_currentFile.clear();
        m_fileStamp = {};
        setStatus(3, captions::LoadError());
        setSaveOffered(false);
    } else {
        setCaptionFor(path);
        setSaveOffered(true);
        addRecentFile(path);
        m_currentFile = path;
        m_fileStamp = stamp;
        setStatus(3, QDir::toNativeSeparators(path));
    }
    if (m_page == TextTab) {
        // The editor shows the document just loaded, or leaving the tab would parse the old text back.
        if (!showTreeAsText())
            textEditor()->clear();
        textEditor()->document()->setModified(false);
    }
    updateCommands();
    return LoadOutcome::Loaded;
}

bool MainWindow::keepChanges(const QString& caption) {
    if (!m_modified)
        return true;
    const PromptButton answer =
        m_prompts.message(statusText(1) + QLatin1Char('?'), caption, MessageIcon::Question,
                          YesButton | NoButtonAnswer | CancelButton, YesButton);
    if (answer == YesButton) {
        // A save that fails or is refused stops the command; a document without a file to save to
        // (never saved, or its file gone) goes through Save As.
        return fileExists(m_currentFile) ? save() : saveAs();
    }
    return answer == NoButtonAnswer;
}

void MainWindow::newFile() {
    if (!keepChanges(tr("Сохранить")))
        return;
    const QString path =
        m_prompts.saveFile(tr("Новый файл"), joinFolder(m_settings.scriptsFolder, QStringLiteral("scripts")),
                           TxtFilter, QStringLiteral("txt"), QStringLiteral("soundscapes_myfile"));
    if (path.isEmpty())
        return;
    const PromptButton full = m_prompts.message(tr("Создать блоки автоматически?"), tr("Новый файл"),
                                                MessageIcon::Question, YesButton | NoButtonAnswer, YesButton);
    if (!writeBytes(path, newFileBytes(full == YesButton)))
        return;
    m_currentFile = path;
    if (const LoadOutcome outcome = loadFile(path);
        outcome == LoadOutcome::ReadError || outcome == LoadOutcome::Cancelled)
        return;
    m_history.clear(false); // a new file counts as not yet saved
    setModified(true);
    selectFirstNode();
}

void MainWindow::openFile() {
    if (!keepChanges(tr("Сохранить")))
        return;
    const QString path = m_prompts.openFile(tr("Открыть"), m_settings.scriptsFolder, TxtFilter);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().toLower() != QStringLiteral("txt")) {
        m_prompts.message(tr("Ошибка. Используйте файлы soundscapes с расширением:  *.txt"),
                          captions::OpenFile(), MessageIcon::Error);
        setStatus(3, captions::LoadError());
        setSaveOffered(false);
        return;
    }
    if (isWorkFile(path)) {
        m_prompts.message(WorkFileRefusal(), captions::OpenFile(), MessageIcon::Warning);
        return;
    }
    switch (loadFile(path)) {
    case LoadOutcome::ReadError:
        m_prompts.message(
            QStringLiteral("Cannot open file \"%1\". %2")
                .arg(QDir::toNativeSeparators(path), QString::fromLocal8Bit(m_lastReadError.c_str())),
            QStringLiteral("TonvaleApp"), MessageIcon::Error);
        return;
    case LoadOutcome::Failed:
    case LoadOutcome::Cancelled:
        return;
    case LoadOutcome::Loaded:
        break;
    }
    setModified(false);
    selectFirstNode();
}

// The tree's text: in the layout of the text it was loaded from when that is asked for and possible,
// else in the canonical layout.
WriteResult MainWindow::treeText(bool keepLayout, bool* layoutLost) const {
    if (layoutLost != nullptr)
        *layoutLost = false;
    if (!keepLayout)
        return writeScript(m_tree);
    LayoutWriteResult written = writeKeepingLayout(m_tree);
    if (layoutLost != nullptr)
        *layoutLost = written.use == LayoutUse::NotPossible;
    return std::move(written.write);
}

// A save that was to keep the file's layout and cannot asks before writing the canonical text.
bool MainWindow::acceptLostLayout(bool layoutLost) {
    if (!layoutLost)
        return true;
    return m_prompts.message(tr("Оформление файла сохранить не удалось: изменения не ложатся в его текст "
                                "без потерь. Записать файл в каноническом виде?"),
                             captions::SaveFile(), MessageIcon::Warning, YesButton | NoButtonAnswer,
                             YesButton) == YesButton;
}

// What a save writes: on the text tab the editor's text is the document; elsewhere the tree's text.
WriteResult MainWindow::documentBytes(bool keepLayout, bool* layoutLost) const {
    if (layoutLost != nullptr)
        *layoutLost = false;
    if (m_pages->currentIndex() != TextTab)
        return treeText(keepLayout, layoutLost);
    WriteResult written;
    written.ok = true;
    written.bytes = m_textPage->editorBytes();
    return written;
}

bool MainWindow::save() {
    if (m_tree.empty())
        return false;
    QString target;
    if (!m_currentFile.isEmpty()) {
        const QFileInfo file(m_currentFile);
        // Only mode 2 writes the file itself; every other stored mode behaves as mode 1.
        target = m_settings.saveMode == 2 ? m_currentFile
                                          : file.dir().filePath(QLatin1Char('~') + file.fileName());
    }
    if (target.isEmpty()) {
        m_prompts.message(tr("Ошибка. Файл не найден. Создайте или откройте файл"), captions::SaveFile(),
                          MessageIcon::Error);
        return false;
    }
    if (m_settings.saveMode == 2 && !m_settings.saveOriginFile) {
        const SaveOriginAnswer answer = m_prompts.confirmSaveOriginal();
        if (!answer.yes)
            return false;
        m_settings.saveOriginFile = answer.dontAsk;
    }
    if (target == m_currentFile && !confirmOverwriteChangedFile())
        return false;
    const bool fromText = m_pages->currentIndex() == TextTab;
    const auto refused = [this](const Message& why) {
        showMessage(why);
        m_prompts.message(tr("Ошибка! Файл не сохранен"), captions::SaveFile(), MessageIcon::Error);
        return false;
    };
    FileResult saved;
    if (!fromText && !m_settings.keepLayout) {
        // The canonical text goes to the file as it is written, never whole in memory.
        Message failure;
        WriteOutcome outcome = WriteOutcome::Written;
        saved = saveScriptFile(nativePath(target), m_tree, outcome, &failure);
        if (outcome != WriteOutcome::Written)
            return refused(failure);
    } else {
        bool layoutLost = false;
        const WriteResult written = documentBytes(m_settings.keepLayout, &layoutLost);
        if (!written.ok)
            return refused(written.message);
        if (!acceptLostLayout(layoutLost))
            return false;
        saved = saveFile(nativePath(target), written.bytes);
    }
    if (!saved.ok()) {
        m_prompts.message(
            tr("Ошибка! Файл не сохранен\r%1\r%2")
                .arg(QDir::toNativeSeparators(target), fromUtf8(saved.text(nativePath(target)))),
            captions::SaveFile(), MessageIcon::Error);
        return false;
    }
    if (target == m_currentFile)
        m_fileStamp = saved.stamp;
    if (fromText)
        textEditor()->document()->setModified(false);
    m_history.markSaved();
    setModified(false);
    return true;
}

// Before the file itself is written: when another program changed or replaced it since it was loaded
// or saved, the user chooses between loading it again, writing over it and doing nothing.
bool MainWindow::confirmOverwriteChangedFile() {
    const FileStamp now = fileStamp(nativePath(m_currentFile));
    if (!now.exists || !m_fileStamp.exists || now == m_fileStamp)
        return true;
    const PromptButton answer = m_prompts.message(
        tr("Файл изменён другой программой:\r%1\r\rДа - загрузить его заново (изменения "
           "документа будут потеряны), Нет - записать документ поверх него, Отмена - ничего "
           "не делать.")
            .arg(QDir::toNativeSeparators(m_currentFile)),
        ChangedOnDiskCaption(), MessageIcon::Warning, YesButton | NoButtonAnswer | CancelButton,
        CancelButton);
    if (answer == YesButton)
        reloadCurrentFile();
    return answer == NoButtonAnswer;
}

void MainWindow::reloadCurrentFile() {
    const QString path = m_currentFile;
    const int tab = m_page;
    const LoadOutcome outcome = loadFile(path);
    if (outcome == LoadOutcome::Loaded) {
        setModified(false);
        if (tab == TreeTab)
            selectFirstNode();
        return;
    }
    m_declinedStamp = fileStamp(nativePath(path)); // asked once for this change (cancelled included)
    if (outcome == LoadOutcome::ReadError)
        m_prompts.message(readFailureText(path), captions::OpenFile(), MessageIcon::Error);
}

// The window came back to the front: a current file that another program changed since it was loaded
// or saved is offered for loading again, once for each change.
void MainWindow::checkFileChangedOnDisk() {
    if (m_checkingDisk || m_cancelLoad || m_currentFile.isEmpty() || !m_fileStamp.exists)
        return;
    const FileStamp now = fileStamp(nativePath(m_currentFile));
    if (!now.exists || now == m_fileStamp || now == m_declinedStamp)
        return;
    m_checkingDisk = true;
    const QString text =
        m_modified ? tr("Файл изменён другой программой:\r%1\rЗагрузить его заново? Изменения документа "
                        "будут потеряны.")
                   : tr("Файл изменён другой программой:\r%1\rЗагрузить его заново?");
    const PromptButton answer = m_prompts.message(
        text.arg(QDir::toNativeSeparators(m_currentFile)), ChangedOnDiskCaption(), MessageIcon::Question,
        YesButton | NoButtonAnswer, m_modified ? NoButtonAnswer : YesButton);
    if (answer == YesButton)
        reloadCurrentFile();
    else
        m_declinedStamp = now; // not asked again for this change; Save still asks before writing over it
    m_checkingDisk = false;
}

bool MainWindow::saveAs() {
    const SaveAsAnswer answer = m_prompts.saveScriptAs(
        tr("Сохранить как"), joinFolder(m_settings.scriptsFolder, QStringLiteral("scripts")), TxtFilter,
        QStringLiteral("txt"), m_settings.keepLayout, m_tree.source() != nullptr);
    const QString& path = answer.path;
    if (path.isEmpty() || path.toLower() == m_currentFile.toLower())
        return false;
    const bool fromText = m_pages->currentIndex() == TextTab;
    bool layoutLost = false;
    const WriteResult written = documentBytes(answer.keepLayout, &layoutLost);
    if (!written.ok) {
        showMessage(written.message);
        m_prompts.message(tr("Ошибка! Не могу сохранить файл под новым именем."), tr("Сохранить как..."),
                          MessageIcon::Error);
        return false;
    }
    if (!acceptLostLayout(layoutLost))
        return false;
    if (!writeBytes(path, written.bytes))
        return false;
    if (fromText)
        textEditor()->document()->setModified(false);
    setCaptionFor(path);
    addRecentFile(path);
    m_currentFile = path;
    m_fileStamp = fileStamp(nativePath(path));
    setStatus(3, QDir::toNativeSeparators(path));
    m_history.markSaved();
    setModified(false);
    return true;
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

bool MainWindow::openScript(const QString& path) {
    openRecentFile(path);
    return !m_currentFile.isEmpty() && QFileInfo(m_currentFile) == QFileInfo(path);
}

void MainWindow::openRecentFile(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix != QStringLiteral("res") && suffix != QStringLiteral("txt"))
        return;
    if (!fileExists(path))
        return;
    if (isWorkFile(path)) {
        m_prompts.message(WorkFileRefusal(), captions::OpenFile(), MessageIcon::Warning);
        return;
    }
    if (!keepChanges(tr("Сохранить")))
        return;
    switch (loadFile(path)) {
    case LoadOutcome::ReadError:
        m_prompts.message(readFailureText(path), captions::OpenFile(), MessageIcon::Error);
        return;
    case LoadOutcome::Failed:
    case LoadOutcome::Cancelled:
        return;
    case LoadOutcome::Loaded:
        break;
    }
    setModified(false);
    selectFirstNode();
}

} // namespace tonvale
