// SPDX-License-Identifier: MIT
#pragma once

// The main window's view of the whole project: the project panel (the scripts of the scripts folder
// and of the manifest), the problems panel (the open file's problems or the whole project's), the
// references list, and the commands "Перейти к определению" and "Найти ссылки". The project index is
// built off the user-interface thread, again when a file of the project changes on disk and, a moment
// after the last edit, for the open document: that one is indexed from the text the writer gives for
// it (the text the "Файл" tab shows), so its lines are the lines of that text. The window is reached
// through DocumentWindow only.

#include "project/ProjectChecks.h"
#include "project/ProjectIndex.h"

#include <QFutureWatcher>
#include <QObject>
#include <QString>
#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

class QComboBox;
class QDockWidget;
class QFileSystemWatcher;
class QLabel;
class QMainWindow;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

namespace tonvale {

class DocumentWindow;
class Node;
class SectionTree;

// The node of `tree` that stands where `at` points in the script text `outline` was read from: the
// element starting there is found by the names from the top level down (each with the number of
// siblings of the same name before it). The nearest enclosing element that exists in the tree when
// the element itself does not; nullptr when nothing matches.
Node* nodeAtPosition(const SectionTree& tree, const project::ScriptOutline& outline,
                     project::SourcePosition at);

class ProjectCommands : public QObject {
    Q_OBJECT
  public:
    // The delay after the last edit or file change before the index follows it.
    static constexpr int DocumentDelayMs = 400;
    static constexpr int FolderDelayMs = 300;

    ProjectCommands(DocumentWindow& window, QMainWindow& mainWindow, QObject* parent = nullptr);
    ~ProjectCommands() override;

    QDockWidget* projectDock() const { return m_projectDock; }
    QDockWidget* problemsDock() const { return m_problemsDock; }
    QDockWidget* referencesDock() const { return m_referencesDock; }
    QTreeWidget* scriptList() const { return m_scripts; }
    QTreeWidget* problemList() const { return m_problemList; }
    QTreeWidget* referenceList() const { return m_referenceList; }
    QComboBox* problemScope() const { return m_scope; }
    QLabel* statusLabel() const { return m_status; }

    const project::Project& project() const { return m_project; }
    const project::ProjectIndex& index() const { return m_index; }
    const std::vector<project::Problem>& problems() const { return m_problems; }
    // True while the project or the open document is being indexed or waits to be.
    bool busy() const;

    // Rebuilds the whole index (after a short delay; at once with `now`).
    void rebuild(bool now = false);
    // The open document changed: it is indexed again after DocumentDelayMs.
    void documentChanged();

    // Command handlers.
    void setProjectPanelShown(bool shown);
    void setProblemsPanelShown(bool shown);
    void goToDefinition();
    void findReferences();
    // Opens the file when it is not the open one (with the keep-changes question) and selects the
    // element at the place; false when the file could not be opened.
    bool jumpTo(const std::string& file, project::SourcePosition at);
    // The soundscape a playsoundscape "name" names at the grid's current row or the selected element.
    std::optional<std::string> playedName() const;

  signals:
    // The panels show a new state of the index.
    void updated();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct Built {
        project::Project project;
        project::ProjectIndex index;
        bool cancelled = false;
    };
    void buildDocks(QMainWindow& mainWindow);
    void startBuild();
    void buildFinished();
    void indexDocument();
    void documentIndexed();
    void watchProject();
    void recheck();
    void fillScripts();
    void fillProblems();
    void showStatus(const QString& text);
    void activateScript(QTreeWidgetItem* item);
    void activatePlace(QTreeWidgetItem* item);
    bool goToDefinitionOf(const std::string& name);
    // The project's name for the open document's file (the path the index knows it by), or the file
    // itself when the project does not hold it; empty without a file.
    std::string openDocumentPath() const;
    bool isOpenDocument(const std::string& file) const;
    // True for a soundscape of the open document that has problems (drawn red in the tree).
    bool marked(const Node* node) const;
    void selectAt(Node* node);
    QString folderKey() const;

    DocumentWindow& m_window;
    project::Project m_project;
    project::ProjectIndex m_index;
    std::vector<project::Problem> m_problems;
    // The folded names of the open document's soundscapes with problems, for the file named here.
    mutable std::unordered_set<std::string> m_markedNames;
    mutable QString m_markedFor;
    mutable bool m_marksValid = false;
    std::string m_documentBytes; // the open document's text as last indexed
    std::string m_documentPath;  // ... and the path it was indexed under

    QFutureWatcher<Built> m_build;
    QFutureWatcher<project::ScriptIndex> m_documentIndex;
    std::shared_ptr<std::atomic<bool>> m_cancel;
    std::string m_pendingBytes;
    bool m_building = false; // a build runs or its result has not been taken yet
    bool m_indexingDocument = false;
    bool m_buildAgain = false;
    bool m_documentAgain = false;
    QString m_builtFor; // the folders of the last build
    QTimer* m_buildTimer = nullptr;
    QTimer* m_documentTimer = nullptr;
    QFileSystemWatcher* m_watcher = nullptr;

    QDockWidget* m_projectDock = nullptr;
    QDockWidget* m_problemsDock = nullptr;
    QDockWidget* m_referencesDock = nullptr;
    QTreeWidget* m_scripts = nullptr;
    QTreeWidget* m_problemList = nullptr;
    QTreeWidget* m_referenceList = nullptr;
    QComboBox* m_scope = nullptr;
    QLabel* m_status = nullptr;
};

} // namespace tonvale
