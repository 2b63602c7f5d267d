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

class TfSsMain : public QMainWindow {
    Q_OBJECT
public:
    enum class LoadOutcome { Loaded, Failed, ReadError };
    static constexpr int TreeTab = 0;
    static constexpr int TextTab = 1;

    TfSsMain(Platform& platform, Prompts& prompts, AudioOutput& audio, QWidget* parent = nullptr);
    ~TfSsMain() override;

    // True when start-up ended early (a wrong audio library version): the program must end.
    bool startupAborted() const { return m_aborted; }

    // File commands.
    void A_NewFExecute();
    void A_OpenResExecute();
    bool A_SaveResExecute();  // true when the document was written
    void A_SaveAsExecute();
    void A_ExitExecute();
    void onklikmenu(const QString& path);
    void createmenu(const QString& path);
    // Loads a script into the window (steps around the loader: messages, caption, current file).
    LoadOutcome loadFileHud(const QString& path);

    // Tree edits and templates (TreeEditCommands.cpp).
    void A_NewItemExecute();
    void A_NewLoopExecute();
    void A_NewRandExecute();
    void A_NewPlaySSExecute();
    void A_NewCategoryExecute();
    void A_EditItemExecute();
    void A_DeleteItemExecute();
    void A_CommentExecute();
    void A_SelDirExecute();
    void TV1DragDrop(Node* dragged, Node* target);
    // Enabling when the tree's context menu or a menu of the main menu bar opens.
    void PopupMenu1Popup();
    void ActionMainMenuBar1Popup();
    QMenu* treePopup() const { return m_popupMenu1; }
    QMenu* gridPopup() const { return m_popSG; }

    // State, for the other parts of the window and for tests.
    SectionTree& tree() { return m_tree; }
    SectionTreeModel* treeModel() const { return m_treeModel; }
    QTreeView* treeView() const { return m_tv1; }
    ParamGrid* grid() const { return m_grid; }
    QPlainTextEdit* memo() const { return m_memo; }
    QTabWidget* pages() const { return m_pages; }
    CommandTable& commands() { return m_commands; }
    QMenu* fileMenu() const { return m_fileMenu; }
    const QList<QAction*>& recentActions() const { return m_recentActions; }
    const RecentFiles& recentFiles() const { return m_recent; }
    AppSettings& settings() { return m_settings; }
    const QString& currentFile() const { return m_currentFile; }
    bool modified() const { return m_modified; }
    QString statusText(int panel) const;  // panels 1..3
    QString titleText() const;
    QString workingFile() const;
    QString settingsFile() const;

    void setModified(bool modified);
    void EnablSaveBut(bool enabled);
    void selectNode(Node* node);
    Node* selectedNode() const;
    static QString saveModeText(int mode);  // empty for a mode that has none
    // The audio commands (preview, player panel, master volume); null after an aborted start-up.
    AudioCommands* audioCommands() const { return m_audioCommands; }

    // The text tab. The editor's text as the user sees it (no character replaced), and the bytes a
    // save or the return to the tree writes: every line of it followed by CR LF.
    QString memoText() const;
    std::string memoBytes() const;
    ScriptHighlighter* highlighter() const { return m_highlighter; }
    // The settings dialog: runs it and applies what it shows when it closes.
    void A_SettingsExecute();

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
    void FormCreate();
    void FormClose();
    void FormDestroy();
    void LoadMenu();
    void addRecentAction(int slot);
    bool keepChanges(const QString& caption);
    bool writeBytes(const QString& path, const std::string& bytes);
    void replaceDocument(SectionTree&& tree);
    void TV1Change(Node* node);
    void updateCommands();
    void showMessage(const Message& message);
    void selectFirstNode();
    bool fileExists(const QString& path) const;
    void setCaptionFor(const QString& path);
    void setStatus(int panel, const QString& text);
    // The text tab: conversions between the tree and the editor through the working file.
    void pageChanged(int index);
    bool PageControl1Changing(int from);
    void PageControl1Change(int to);
    void locateSelectedInMemo();
    void showInMemo(const std::string& scriptBytes);
    void Memo1Change();
    void SpeedButton2Click();
    void SpeedButton3Click();
    void A_ExpAllExecute(bool expand);
    void A_AboutExecute();
    void A_HelpExecute();
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
    bool m_loadingMemo = false;
    // Set only when a menu opens (see PopupMenu1Popup and ActionMainMenuBar1Popup).
    bool m_newItemEnabled = true;
    bool m_editItemEnabled = true;
    bool m_treeEditing = false;  // a structural edit is under way: selection changes wait for its end

    QTabWidget* m_pages = nullptr;
    QTreeView* m_tv1 = nullptr;
    QLabel* m_title = nullptr;
    QToolBar* m_gridBar = nullptr;
    ParamGrid* m_grid = nullptr;
    QPlainTextEdit* m_memo = nullptr;
    ScriptHighlighter* m_highlighter = nullptr;
    QToolButton* m_fontDown = nullptr;
    QToolButton* m_fontUp = nullptr;
    QMenu* m_fileMenu = nullptr;
    QMenu* m_popupMenu1 = nullptr;
    QMenu* m_popSG = nullptr;
    std::array<QLabel*, 3> m_status{};
};

} // namespace tonvale
