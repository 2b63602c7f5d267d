// SPDX-License-Identifier: MIT
#pragma once

// The main window. It owns the document (the section tree) and the window state: current file,
// modified flag, save policy, folders, recent files. The tree view shows the document through
// SectionTreeModel; the parameter grid writes values into it through the document's edit functions;
// the file commands load with the loader and save with the writer, always through temporary files.
// Every dialog goes through Prompts, every machine question through Platform, audio through
// AudioOutput, so the whole window runs under tests.

#include "document/FileIO.h"
#include "document/History.h"
#include "document/Loader.h"
#include "document/SectionTree.h"
#include "document/Templates.h"
#include "document/Writer.h"
#include "settings/RecentFiles.h"
#include "settings/Settings.h"
#include "shell/CommandTable.h"
#include "shell/DocumentWindow.h"

#include <QCoreApplication>
#include <QMainWindow>
#include <QThreadPool>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QLabel;
class QMenu;
class QPlainTextEdit;
class QSplitter;
class QTabWidget;
class QTreeView;

namespace tonvale {

class AudioCommands;
class AudioOutput;
class ProjectCommands;
class ParamGrid;
class Platform;
class Prompts;
class SectionTreeModel;
class StatusPanels;
class TextPage;
class TreeEditor;

namespace captions {
inline QString SaveFile() {
    return QCoreApplication::translate("tonvale", "Сохранить файл");
}
inline QString OpenFile() {
    return QCoreApplication::translate("tonvale", "Открыть файл");
}
inline QString LoadError() {
    return QCoreApplication::translate("tonvale", "Ошибка загрузки файла");
}
inline const QString ErrorLoadingFile = QStringLiteral("Error Loading File");
} // namespace captions

class MainWindow : public QMainWindow, public DocumentWindow {
    Q_OBJECT
  public:
    // Cancelled: the user stopped the load of a large file; nothing of the window changed.
    enum class LoadOutcome { Loaded, Failed, ReadError, Cancelled };
    static constexpr int TreeTab = 0;
    static constexpr int TextTab = 1;
    // Lines longer than this are not shown on the text tab: the editor lays out a whole line at every
    // cursor move, which would freeze the window.
    static constexpr std::size_t MaxTextTabLine = 64 * 1024;
    // "Развернуть" refuses documents nested this deep or deeper (real scripts are under ten levels).
    static constexpr int MaxExpandDepth = 1000;
    // Files larger than this load on another thread behind a progress dialog that can cancel the load;
    // smaller ones load at once. The setting is for the whole process (tests lower it).
    static constexpr std::uint64_t DefaultBackgroundLoadBytes = std::uint64_t{4} << 20;
    static void setBackgroundLoadBytes(std::uint64_t bytes);
    static std::uint64_t backgroundLoadBytes();

    MainWindow(Platform& platform, Prompts& prompts, AudioOutput& audio, QWidget* parent = nullptr);
    ~MainWindow() override;

    // True when start-up ended early (a wrong audio library version): the program must end.
    bool startupAborted() const { return m_aborted; }

    // File commands.
    void newFile();
    void openFile();
    bool save();   // true when the document was written
    bool saveAs(); // true when the document was written
    void exitProgram();
    void openRecentFile(const QString& path);
    void addRecentFile(const QString& path);
    // Loads a script into the window (steps around the loader: messages, caption, current file).
    LoadOutcome loadFile(const QString& path);
    // True while a large file loads behind the progress dialog.
    bool loading() const { return static_cast<bool>(m_cancelLoad); }
    // The settings dialog: runs it and applies what it shows when it closes.
    void showSettings();

    // The parts of the window.
    TreeEditor* treeEditor() const { return m_treeEditor; }
    TextPage* textPage() const { return m_textPage; }
    QPlainTextEdit* textEditor() const;
    // The audio commands (preview, player panel, master volume); null after an aborted start-up.
    AudioCommands* audioCommands() const { return m_audioCommands; }
    // The project panel, the problems panel and the commands across files; null after an aborted
    // start-up.
    ProjectCommands* projectCommands() const { return m_projectCommands; }
    QMenu* treeMenu() const { return m_treeMenu; }
    QMenu* gridMenu() const { return m_gridMenu; }
    QTabWidget* pages() const { return m_pages; }
    QMenu* fileMenu() const { return m_fileMenu; }
    const QList<QAction*>& recentActions() const { return m_recentActions; }
    const RecentFiles& recentFiles() const { return m_recent; }
    const QString& currentFile() const { return m_currentFile; }
    QString statusText(int panel) const; // panels 1..3
    QString titleText() const;
    QString workingFile() const;
    QString settingsFile() const;
    // The state every command's enabled flag follows.
    WindowState windowState() const;

    // DocumentWindow.
    SectionTree& tree() override { return m_tree; }
    SectionTreeModel* treeModel() const override { return m_treeModel; }
    QTreeView* treeView() const override { return m_treeView; }
    ParamGrid* grid() const override { return m_grid; }
    CommandTable& commands() override { return m_commands; }
    AppSettings& settings() override { return m_settings; }
    QWidget* dialogParent() override { return this; }
    Node* selectedNode() const override;
    void selectNode(Node* node) override;
    bool onTextTab() const override { return m_page == TextTab; }
    bool fileOnDisk() const override { return fileExists(m_currentFile); }
    QString currentPath() const override { return m_currentFile; }
    bool openScript(const QString& path) override;
    bool modified() const override { return m_modified; }
    void setModified(bool modified) override;
    void showMessage(const Message& message) override;
    void setStatus(int panel, const QString& text) override;
    void beginStructuralEdit() override { m_treeEditing = true; }
    TreeObserver* editObserver() override { return &m_history; }
    EditHistory& history() override { return m_history; }
    // Takes back the last step of the history, or makes again the last one taken back.
    void undo();
    void redo();
    void endStructuralEdit(Node* select) override;

    void setSaveOffered(bool offered);

  signals:
    // A change of the active tab that was allowed and completed (the find window follows it).
    void tabChanged(int index);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;

  private:
    void buildCommands();
    void buildLayout();
    QWidget* buildTreeTab();
    void buildMenus();
    void startUp();
    void saveSettings();
    void shutDown();
    void loadRecentFiles();
    void addRecentAction(int slot);
    bool keepChanges(const QString& caption);
    bool writeBytes(const QString& path, const std::string& bytes);
    std::optional<LoadResult> readScript(const QString& path);
    void replaceDocument(SectionTree&& tree, ScriptEncoding encoding, SectionTree* previous = nullptr);
    void stepThroughHistory(bool forward);
    QString readFailureText(const QString& path) const;
    bool confirmOverwriteChangedFile();
    // What a save writes (see FileCommands); `keepLayout` asks for the script's own layout, and
    // `layoutLost` tells when it could not be kept and the canonical text was written instead.
    WriteResult documentBytes(bool keepLayout, bool* layoutLost = nullptr) const;
    WriteResult treeText(bool keepLayout, bool* layoutLost = nullptr) const;
    bool acceptLostLayout(bool layoutLost);
    void reloadCurrentFile();
    void checkFileChangedOnDisk();
    void onTreeSelectionChanged(Node* node);
    void updateCommands();
    void selectFirstNode();
    bool fileExists(const QString& path) const;
    void setCaptionFor(const QString& path);
    // Tab changes: the tree and the text are converted into each other through the working file.
    void pageChanged(int index);
    std::optional<Message> leaveTab(int from);
    bool showTreeAsText();
    void onTabEntered(int to);
    void onTextEdited();
    void setAllExpanded(bool expand);

    Platform& m_platform;
    Prompts& m_prompts;
    AudioOutput& m_audio;
    CommandTable m_commands;
    AudioCommands* m_audioCommands = nullptr;
    ProjectCommands* m_projectCommands = nullptr;
    TreeEditor* m_treeEditor = nullptr;

    SectionTree m_tree;
    mutable EditHistory m_history{m_tree}; // queries close a step that began by itself
    bool m_commandsBuilt = false;
    int m_gridEditSession = 0; // the keystrokes of one cell edit are one step of the history
    SectionTreeModel* m_treeModel = nullptr;
    AppSettings m_settings;
    RecentFiles m_recent;
    QList<QAction*> m_recentActions;
    QString m_currentFile;
    FileStamp m_fileStamp;     // the current file as it was loaded or last saved
    FileStamp m_declinedStamp; // a change on disk the user chose not to load
    bool m_checkingDisk = false;
    std::string m_lastReadError;          // why the last file could not be read
    std::vector<NameStep> m_reselectPath; // the node to select again after the text tab
    bool m_modified = false;
    bool m_saveOffered = false;
    bool m_aborted = false;
    int m_page = TreeTab;
    bool m_switchingPage = false;
    bool m_treeEditing = false; // a structural edit is under way: selection changes wait for its end

    QTabWidget* m_pages = nullptr;
    QTreeView* m_treeView = nullptr;
    QSplitter* m_splitter = nullptr;
    QLabel* m_title = nullptr;
    ParamGrid* m_grid = nullptr;
    TextPage* m_textPage = nullptr;
    QMenu* m_fileMenu = nullptr;
    QMenu* m_treeMenu = nullptr;
    QMenu* m_gridMenu = nullptr;
    std::unique_ptr<StatusPanels> m_status;
    // The loads of large files run here; the pool waits for a cancelled one when the window goes.
    QThreadPool m_loadThreads;
    std::function<void()> m_cancelLoad; // set while a large file loads
};

} // namespace tonvale
