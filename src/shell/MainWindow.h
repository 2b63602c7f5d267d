#pragma once

// The main window. It owns the document (the section tree) and the window state: current file,
// modified flag, save policy, folders, recent files. The tree view shows the document through
// SectionTreeModel; the parameter grid writes values into it through the document's edit functions;
// the file commands load with the loader and save with the writer, always through temporary files.
// Every dialog goes through Prompts, every machine question through Platform, audio through
// AudioOutput, so the whole window runs under tests.

#include "document/Loader.h"
#include "document/SectionTree.h"
#include "document/Templates.h"
#include "shell/CommandTable.h"
#include "shell/RecentFiles.h"
#include "shell/Settings.h"

#include <QMainWindow>

class QLabel;
class QMenu;
class QPlainTextEdit;
class QTabWidget;
class QToolBar;
class QToolButton;
class QTreeView;

namespace tonvale {

class AudioCommands;
class AudioOutput;
class ParamGrid;
class Platform;
class Prompts;
class ScriptHighlighter;
class SectionTreeModel;

namespace captions {
inline const QString SaveFile = QStringLiteral("Сохранить файл");
inline const QString OpenFile = QStringLiteral("Открыть файл");
inline const QString LoadError = QStringLiteral("Ошибка загрузки файла");
inline const QString ErrorLoadingFile = QStringLiteral("Error Loading File");
} // namespace captions

class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    enum class LoadOutcome { Loaded, Failed, ReadError };
    static constexpr int TreeTab = 0;
    static constexpr int TextTab = 1;

    MainWindow(Platform& platform, Prompts& prompts, AudioOutput& audio, QWidget* parent = nullptr);
    ~MainWindow() override;

    // True when start-up ended early (a wrong audio library version): the program must end.
    bool startupAborted() const { return m_aborted; }

    // File commands.
    void newFile();
    void openFile();
    bool save(); // true when the document was written
    void saveAs();
    void exitProgram();
    void openRecentFile(const QString& path);
    void addRecentFile(const QString& path);
    // Loads a script into the window (steps around the loader: messages, caption, current file).
    LoadOutcome loadFile(const QString& path);

    // Tree edits and templates (TreeEditCommands.cpp).
    void newSoundscape();
    void newLoopingBlock();
    void newRandomBlock();
    void newSoundscapeBlock();
    void newElement();
    void renameSelected();
    void deleteSelected();
    void editSelectedComments();
    void chooseWaveFile();
    void onNodeDropped(Node* dragged, Node* target);
    // Enabling when the tree's context menu or a menu of the main menu bar opens.
    void treeMenuAboutToShow();
    void menuBarAboutToShow();
    QMenu* treeMenu() const { return m_treeMenu; }
    QMenu* gridMenu() const { return m_gridMenu; }

    // State, for the other parts of the window and for tests.
    SectionTree& tree() { return m_tree; }
    SectionTreeModel* treeModel() const { return m_treeModel; }
    QTreeView* treeView() const { return m_treeView; }
    ParamGrid* grid() const { return m_grid; }
    QPlainTextEdit* textEditor() const { return m_textEditor; }
    QTabWidget* pages() const { return m_pages; }
    CommandTable& commands() { return m_commands; }
    QMenu* fileMenu() const { return m_fileMenu; }
    const QList<QAction*>& recentActions() const { return m_recentActions; }
    const RecentFiles& recentFiles() const { return m_recent; }
    AppSettings& settings() { return m_settings; }
    const QString& currentFile() const { return m_currentFile; }
    bool modified() const { return m_modified; }
    QString statusText(int panel) const; // panels 1..3
    QString titleText() const;
    QString workingFile() const;
    QString settingsFile() const;

    void setModified(bool modified);
    void setSaveEnabled(bool enabled);
    void selectNode(Node* node);
    Node* selectedNode() const;
    static QString saveModeText(int mode); // empty for a mode that has none
    // The audio commands (preview, player panel, master volume); null after an aborted start-up.
    AudioCommands* audioCommands() const { return m_audioCommands; }

    // The text tab. The editor's text as the user sees it (no character replaced), and the bytes a
    // save or the return to the tree writes: every line of it followed by CR LF.
    QString editorText() const;
    std::string editorBytes() const;
    ScriptHighlighter* highlighter() const { return m_highlighter; }
    // The settings dialog: runs it and applies what it shows when it closes.
    void showSettings();

  signals:
    // A change of the active tab that was allowed and completed (the find window follows it).
    void tabChanged(int index);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    friend class AudioCommands;
    void buildCommands();
    void buildLayout();
    void buildMenus();
    void startUp();
    void saveSettings();
    void shutDown();
    void loadRecentFiles();
    void addRecentAction(int slot);
    bool keepChanges(const QString& caption);
    bool writeBytes(const QString& path, const std::string& bytes);
    void replaceDocument(SectionTree&& tree);
    void onTreeSelectionChanged(Node* node);
    void updateCommands();
    void showMessage(const Message& message);
    void selectFirstNode();
    bool fileExists(const QString& path) const;
    void setCaptionFor(const QString& path);
    void setStatus(int panel, const QString& text);
    // The text tab: conversions between the tree and the editor through the working file.
    void pageChanged(int index);
    bool canLeaveTab(int from);
    void onTabEntered(int to);
    void locateSelectedInText();
    void showText(const std::string& scriptBytes);
    void onTextEdited();
    void decreaseFontSize();
    void increaseFontSize();
    void setAllExpanded(bool expand);
    void showAbout();
    void showHelp();
    void attachTreeEdits();
    void buildPopupMenus();
    void newBlock(BlockKind kind);
    void afterStructuralEdit(Node* select);

    Platform& m_platform;
    Prompts& m_prompts;
    AudioOutput& m_audio;
    CommandTable m_commands;
    AudioCommands* m_audioCommands = nullptr;

    SectionTree m_tree;
    SectionTreeModel* m_treeModel = nullptr;
    AppSettings m_settings;
    RecentFiles m_recent;
    QList<QAction*> m_recentActions;
    QString m_currentFile;
    bool m_modified = false;
    bool m_saveEnabled = false;
    bool m_commentEnabled = false;
    bool m_playSSEnabled = false;
    bool m_newBlockEnabled = false;
    bool m_aborted = false;
    bool m_closing = false;
    int m_page = TreeTab;
    bool m_switchingPage = false;
    bool m_loadingText = false;
    // Set only when a menu opens (see treeMenuAboutToShow and menuBarAboutToShow).
    bool m_newItemEnabled = true;
    bool m_editItemEnabled = true;
    bool m_treeEditing = false; // a structural edit is under way: selection changes wait for its end

    QTabWidget* m_pages = nullptr;
    QTreeView* m_treeView = nullptr;
    QLabel* m_title = nullptr;
    QToolBar* m_gridBar = nullptr;
    ParamGrid* m_grid = nullptr;
    QPlainTextEdit* m_textEditor = nullptr;
    ScriptHighlighter* m_highlighter = nullptr;
    QToolButton* m_fontDown = nullptr;
    QToolButton* m_fontUp = nullptr;
    QMenu* m_fileMenu = nullptr;
    QMenu* m_treeMenu = nullptr;
    QMenu* m_gridMenu = nullptr;
    std::array<QLabel*, 3> m_status{};
};

} // namespace tonvale
