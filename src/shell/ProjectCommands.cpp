// SPDX-License-Identifier: MIT
#include "shell/ProjectCommands.h"

#include "document/FileIO.h"
#include "document/TextHelpers.h"
#include "document/Writer.h"
#include "editor/ParamGrid.h"
#include "editor/QtText.h"
#include "editor/SectionTreeModel.h"
#include "settings/Settings.h"
#include "shell/CommandTable.h"
#include "shell/DocumentWindow.h"

#include <QComboBox>
#include <QDir>
#include <QDockWidget>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QHeaderView>
#include <QLabel>
#include <QMainWindow>
#include <QMouseEvent>
#include <QPointer>
#include <QStatusBar>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>
#include <fstream>
#include <iterator>
#include <unordered_map>

namespace tonvale {

using namespace project;

namespace {

constexpr int PathRole = Qt::UserRole;     // the file, as the project names it (bytes)
constexpr int LineRole = Qt::UserRole + 1; // the line of a place
constexpr int ColumnRole = Qt::UserRole + 2;
constexpr int PresentRole = Qt::UserRole + 3;

QString decodePath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

std::string encodePath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

// The same file on disk, however the two paths spell it.
QString fileKey(const QString& path) {
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

std::string readBytes(const QString& path) {
    std::ifstream in(encodePath(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A node's key as a script writes it without its double quotes.
std::string_view nodeKey(const Node* node) {
    std::string_view key = trim(node->text());
    if (key.size() >= 2 && key.front() == '"' && key.back() == '"')
        key = key.substr(1, key.size() - 2);
    return key;
}

// The first token of a value without its double quotes, as a game reads it: the editor keeps the
// rest of a line that holds more than one key in the value ("Clean.Yard" "volume" "0.5").
std::string unquoted(std::string_view value) {
    value = trim(value);
    if (!value.empty() && value.front() == '"') {
        value.remove_prefix(1);
        return std::string(value.substr(0, value.find('"')));
    }
    return std::string(value.substr(0, value.find_first_of(" \t")));
}

// A "name" key inside a playsoundscape block.
bool isPlayedName(const Node* node) {
    return node != nullptr && node->hasData() && node->parent() != nullptr &&
           foldName(nodeKey(node)) == "name" && foldName(nodeKey(node->parent())) == "playsoundscape";
}

QString severityText(Severity severity) {
    return severity == Severity::Error ? ProjectCommands::tr("ошибка")
                                       : ProjectCommands::tr("предупреждение");
}

// A file as the panels name it: below the project's scripts folder by its name there, below the
// project folder relative to it, elsewhere in full.
QString shownPath(const QString& projectFolder, const QString& path) {
    if (!projectFolder.isEmpty()) {
        for (const QString& base : {projectFolder + QStringLiteral("/scripts"), projectFolder}) {
            const QString relative = QDir(base).relativeFilePath(path);
            if (!relative.startsWith(QStringLiteral("..")) && !QDir::isAbsolutePath(relative))
                return QDir::toNativeSeparators(relative);
        }
    }
    return QDir::toNativeSeparators(path);
}

QTreeWidget* placeList(const char* name, const QStringList& headers) {
    auto* list = new QTreeWidget;
    list->setObjectName(QString::fromLatin1(name));
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setAlternatingRowColors(true);
    list->setHeaderLabels(headers);
    list->header()->setStretchLastSection(true);
    return list;
}

} // namespace

Node* nodeAtPosition(const SectionTree& tree, const ScriptOutline& outline, SourcePosition at) {
    const auto& elements = outline.elements;
    // The last element that starts at or before the place (elements are in file order).
    int element = -1;
    for (std::size_t i = 0; i < elements.size(); ++i) {
        const SourcePosition key = elements[i].keyAt;
        if (key.line > at.line || (key.line == at.line && at.column > 0 && key.column > at.column))
            break;
        element = static_cast<int>(i);
    }
    if (element < 0)
        return nullptr;
    std::vector<NameStep> path;
    for (int e = element; e >= 0; e = elements[static_cast<std::size_t>(e)].parent) {
        const OutlineElement& item = elements[static_cast<std::size_t>(e)];
        const std::size_t first = item.parent < 0 ? 0 : static_cast<std::size_t>(item.parent) + 1;
        const std::size_t end =
            item.parent < 0 ? elements.size() : elements[static_cast<std::size_t>(item.parent)].end;
        int before = 0;
        for (std::size_t sibling = first; sibling < end && sibling != static_cast<std::size_t>(e);
             sibling = std::max<std::size_t>(elements[sibling].end, sibling + 1))
            before += elements[sibling].key == item.key ? 1 : 0;
        path.push_back({item.key, before});
    }
    std::reverse(path.begin(), path.end());

    return nodeAtNamePath(tree, path, [&tree](const Node* node) -> std::optional<std::string_view> {
        if (tree.isEndMarker(node))
            return std::nullopt;
        return nodeKey(node);
    });
}

ProjectCommands::ProjectCommands(DocumentWindow& window, QMainWindow& mainWindow, QObject* parent)
    : QObject(parent), m_window(window), m_cancel(std::make_shared<std::atomic<bool>>(false)) {
    m_buildTimer = new QTimer(this);
    m_buildTimer->setSingleShot(true);
    m_buildTimer->setInterval(FolderDelayMs);
    connect(m_buildTimer, &QTimer::timeout, this, &ProjectCommands::startBuild);
    m_documentTimer = new QTimer(this);
    m_documentTimer->setSingleShot(true);
    m_documentTimer->setInterval(DocumentDelayMs);
    connect(m_documentTimer, &QTimer::timeout, this, &ProjectCommands::indexDocument);
    connect(&m_build, &QFutureWatcher<Built>::finished, this, &ProjectCommands::buildFinished);
    connect(&m_documentIndex, &QFutureWatcher<ScriptIndex>::finished, this,
            &ProjectCommands::documentIndexed);
    m_watcher = new QFileSystemWatcher(this);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, [this] { rebuild(); });
    connect(m_watcher, &QFileSystemWatcher::fileChanged, this, [this] { rebuild(); });

    buildDocks(mainWindow);

    CommandTable& c = window.commands();
    c.action(CommandId::ProjectPanel)->setCheckable(true);
    c.action(CommandId::ProblemsPanel)->setCheckable(true);
    c.setExecute(CommandId::ProjectPanel,
                 [this] { setProjectPanelShown(!m_window.settings().projectPanel); });
    c.setExecute(CommandId::ProblemsPanel,
                 [this] { setProblemsPanelShown(!m_window.settings().problemsPanel); });
    c.setExecute(CommandId::GoToDefinition, [this] { goToDefinition(); });
    c.setExecute(CommandId::FindReferences, [this] { findReferences(); });
    // The settings dialog may name other folders: the project follows once it has closed.
    connect(c.action(CommandId::Settings), &QAction::triggered, this, [this] {
        if (folderKey() != m_builtFor)
            rebuild(true);
    });

    // Every change of the document: loads, tree edits, grid edits.
    SectionTreeModel* model = window.treeModel();
    const auto changed = [this] { documentChanged(); };
    connect(model, &QAbstractItemModel::modelReset, this, changed);
    connect(model, &QAbstractItemModel::rowsInserted, this, changed);
    connect(model, &QAbstractItemModel::rowsRemoved, this, changed);
    connect(model, &QAbstractItemModel::rowsMoved, this, changed);
    connect(model, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex&, const QModelIndex&, const QList<int>& roles) {
                if (!roles.contains(Qt::ForegroundRole))
                    documentChanged();
            });
    connect(window.grid(), &ParamGrid::edited, this, changed);
    window.grid()->viewport()->installEventFilter(this);
    model->setMarker([this](const Node* node) { return marked(node); });

    setProjectPanelShown(window.settings().projectPanel);
    setProblemsPanelShown(window.settings().problemsPanel);
    rebuild(true);
}

ProjectCommands::~ProjectCommands() {
    // The threads may still run: they are told to stop and waited for, as they report to this object.
    m_cancel->store(true);
    m_build.waitForFinished();
    m_documentIndex.waitForFinished();
    m_window.treeModel()->setMarker({});
}

void ProjectCommands::buildDocks(QMainWindow& mainWindow) {
    m_scripts = placeList("projectScripts", {tr("Скрипт"), tr("Состояние")});
    m_scripts->setRootIsDecorated(false);
    m_scripts->setColumnWidth(0, 180);
    connect(m_scripts, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { activateScript(item); });
    m_projectDock = new QDockWidget(tr("Проект"), &mainWindow);
    m_projectDock->setObjectName(QStringLiteral("projectDock"));
    m_projectDock->setWidget(m_scripts);
    m_projectDock->installEventFilter(this);
    mainWindow.addDockWidget(Qt::LeftDockWidgetArea, m_projectDock);

    auto* problems = new QWidget;
    m_scope = new QComboBox;
    m_scope->setObjectName(QStringLiteral("problemScope"));
    m_scope->addItems({tr("Открытый файл"), tr("Весь проект")});
    connect(m_scope, &QComboBox::currentIndexChanged, this, [this] { fillProblems(); });
    m_problemList = placeList("problemList", {tr("Файл"), tr("Строка"), tr("Важность"), tr("Сообщение")});
    m_problemList->setColumnWidth(0, 190);
    m_problemList->setColumnWidth(1, 50);
    m_problemList->setColumnWidth(2, 120);
    connect(m_problemList, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { activatePlace(item); });
    auto* layout = new QVBoxLayout(problems);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    layout->addWidget(m_scope);
    layout->addWidget(m_problemList, 1);
    m_problemsDock = new QDockWidget(tr("Проблемы"), &mainWindow);
    m_problemsDock->setObjectName(QStringLiteral("problemsDock"));
    m_problemsDock->setWidget(problems);
    m_problemsDock->installEventFilter(this);
    mainWindow.addDockWidget(Qt::BottomDockWidgetArea, m_problemsDock);

    m_referenceList = placeList("referenceList", {tr("Файл"), tr("Строка"), QStringLiteral("Soundscape")});
    m_referenceList->setColumnWidth(0, 190);
    m_referenceList->setColumnWidth(1, 50);
    connect(m_referenceList, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { activatePlace(item); });
    m_referencesDock = new QDockWidget(tr("Ссылки"), &mainWindow);
    m_referencesDock->setObjectName(QStringLiteral("referencesDock"));
    m_referencesDock->setWidget(m_referenceList);
    mainWindow.addDockWidget(Qt::BottomDockWidgetArea, m_referencesDock);
    mainWindow.tabifyDockWidget(m_problemsDock, m_referencesDock);
    m_referencesDock->hide();

    m_status = new QLabel;
    m_status->setObjectName(QStringLiteral("projectStatus"));
    // The current file's panel keeps its room: the project's line is cut, and whole in its tooltip.
    m_status->setMaximumWidth(160);
    mainWindow.statusBar()->addPermanentWidget(m_status);
}

bool ProjectCommands::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Close) {
        // The dock's own close button hides it like the command does.
        if (watched == m_projectDock)
            setProjectPanelShown(false);
        else if (watched == m_problemsDock)
            setProblemsPanelShown(false);
    } else if (event->type() == QEvent::MouseButtonPress && watched == m_window.grid()->viewport()) {
        // Ctrl+click on the value of a playsoundscape's "name" goes to the soundscape it plays.
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && (mouse->modifiers() & Qt::ControlModifier)) {
            ParamGrid* grid = m_window.grid();
            const QModelIndex cell = grid->indexAt(mouse->position().toPoint());
            const Node* node = cell.isValid() ? grid->gridModel()->rowNode(cell.row()) : nullptr;
            if (cell.column() == ParamGridModel::ValueColumn && isPlayedName(node)) {
                goToDefinitionOf(unquoted(node->data()->value));
                return true;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------------------------
// Indexing

QString ProjectCommands::folderKey() const {
    return m_window.settings().scriptsFolder + QLatin1Char('\n') + m_window.settings().soundsFolder;
}

bool ProjectCommands::busy() const {
    return m_building || m_indexingDocument || m_buildTimer->isActive() || m_documentTimer->isActive() ||
           m_buildAgain || m_documentAgain;
}

void ProjectCommands::rebuild(bool now) {
    if (now) {
        m_buildTimer->stop();
        startBuild();
    } else {
        m_buildTimer->start();
    }
}

void ProjectCommands::startBuild() {
    if (m_building) {
        m_buildAgain = true; // the files changed while a build ran: one more follows it
        return;
    }
    m_buildAgain = false;
    m_building = true;
    m_builtFor = folderKey();
    const QString folder = m_window.settings().scriptsFolder;
    const std::string projectFolder = folder.isEmpty() ? std::string() : encodePath(folder);
    const std::string soundFolder = encodePath(m_window.settings().soundsFolder);
    showStatus(tr("Проект: индексация..."));
    QPointer<ProjectCommands> self(this);
    auto cancel = m_cancel;
    m_build.setFuture(QtConcurrent::run([self, cancel, projectFolder, soundFolder] {
        Built built;
        if (projectFolder.empty())
            return built;
        built.project = openProjectFolder(projectFolder, soundFolder);
        std::size_t shown = 0;
        built.index = buildProjectIndex(built.project, [&](std::size_t done, std::size_t total) {
            if (cancel->load())
                return false;
            // About twenty steps of progress, whatever the size of the project.
            if (done == total || done >= shown + std::max<std::size_t>(1, total / 20)) {
                shown = done;
                QMetaObject::invokeMethod(
                    self, // dropped when the object is gone: its destructor waits for this thread first
                    [self, done, total] {
                        if (self)
                            self->showStatus(tr("Проект: индексация %1 из %2").arg(done).arg(total));
                    },
                    Qt::QueuedConnection);
            }
            return true;
        });
        built.cancelled = cancel->load();
        return built;
    }));
}

void ProjectCommands::buildFinished() {
    m_building = false;
    Built built = m_build.result();
    if (built.cancelled)
        return;
    m_project = std::move(built.project);
    m_marksValid = false;
    m_index = std::move(built.index);
    watchProject();
    if (m_buildAgain) {
        startBuild();
        return;
    }
    // The open document is indexed from its own text, which may hold edits not yet saved.
    m_documentBytes.clear();
    m_documentPath.clear();
    indexDocument();
    recheck();
}

// The view asks for every row it lays out or paints: the names are gathered once for each state of the
// problems and of the open file.
bool ProjectCommands::marked(const Node* node) const {
    if (!m_marksValid || m_markedFor != m_window.currentPath()) {
        m_markedFor = m_window.currentPath();
        m_markedNames.clear();
        const std::string file = openDocumentPath();
        for (const Problem& p : m_problems) {
            if (!p.soundscape.empty() && p.file == file)
                m_markedNames.insert(foldName(p.soundscape));
        }
        m_marksValid = true;
    }
    return !m_markedNames.empty() && m_markedNames.count(foldName(nodeKey(node))) != 0;
}

void ProjectCommands::watchProject() {
    const QStringList old = m_watcher->files() + m_watcher->directories();
    if (!old.isEmpty())
        m_watcher->removePaths(old);
    QStringList paths;
    const QString folder = m_window.settings().scriptsFolder;
    if (!folder.isEmpty() && QFileInfo(folder + QStringLiteral("/scripts")).isDir())
        paths.append(folder + QStringLiteral("/scripts"));
    for (const ProjectScript& script : m_project.scripts) {
        if (script.present)
            paths.append(decodePath(script.path));
    }
    for (const Manifest& manifest : m_project.manifests)
        paths.append(decodePath(manifest.path));
    if (!paths.isEmpty())
        m_watcher->addPaths(paths);
}

void ProjectCommands::documentChanged() {
    m_documentTimer->start();
}

std::string ProjectCommands::openDocumentPath() const {
    const QString current = m_window.currentPath();
    if (current.isEmpty())
        return {};
    const QString key = fileKey(current);
    for (const ProjectScript& script : m_project.scripts) {
        if (script.present && fileKey(decodePath(script.path)) == key)
            return script.path;
    }
    return encodePath(current);
}

bool ProjectCommands::isOpenDocument(const std::string& file) const {
    return !file.empty() && file == openDocumentPath();
}

void ProjectCommands::indexDocument() {
    m_documentTimer->stop();
    if (m_building || m_indexingDocument) {
        m_documentAgain = true;
        return;
    }
    m_documentAgain = false;
    const std::string path = openDocumentPath();
    const auto inProject = [this](const std::string& file) {
        return std::any_of(
            m_project.scripts.begin(), m_project.scripts.end(),
            [&](const ProjectScript& script) { return script.present && script.path == file; });
    };
    if (!m_documentPath.empty() && path != m_documentPath &&
        (!m_documentBytes.empty() || !inProject(m_documentPath))) {
        // The document indexed last is no longer open: the project's files stand for it again.
        m_documentPath.clear();
        m_documentBytes.clear();
        rebuild(true);
        return;
    }
    if (path.empty() || m_window.tree().empty()) {
        recheck();
        return;
    }
    // An unchanged document is its file: the build indexed it when the project holds it, else it is
    // read on another thread. A changed one is indexed from the text the "Файл" tab shows for it,
    // written here (it takes milliseconds) and indexed on another thread.
    std::string bytes;
    if (m_window.modified()) {
        WriteResult written = writeScript(m_window.tree());
        if (!written.ok) {
            recheck();
            return;
        }
        bytes = std::move(written.bytes);
    }
    if (path == m_documentPath && bytes == m_documentBytes) {
        recheck();
        return;
    }
    if (bytes.empty() && inProject(path) && m_documentBytes.empty()) {
        m_documentPath = path; // the index holds the file as the build read it
        recheck();
        return;
    }
    m_documentPath = path;
    m_pendingBytes = bytes;
    m_indexingDocument = true;
    const std::string soundFolder = encodePath(m_window.settings().soundsFolder);
    m_documentIndex.setFuture(QtConcurrent::run([path, bytes = std::move(bytes), soundFolder] {
        WaveLookup waves(soundFolder);
        WaveLookup* lookup = soundFolder.empty() ? nullptr : &waves;
        return bytes.empty() ? indexScriptFile(path, lookup) : indexScript(path, bytes, lookup);
    }));
}

void ProjectCommands::documentIndexed() {
    m_indexingDocument = false;
    ScriptIndex script = m_documentIndex.result();
    if (m_building || m_buildAgain)
        return; // a full build follows, and the document after it
    if (script.path != openDocumentPath()) {
        m_documentPath.clear();
        indexDocument();
        return;
    }
    m_documentBytes = std::move(m_pendingBytes);
    m_index.replace(std::move(script));
    if (m_documentAgain) {
        indexDocument();
        return;
    }
    recheck();
}

// ---------------------------------------------------------------------------------------------
// Panels

void ProjectCommands::showStatus(const QString& text) {
    m_status->setText(text);
    m_status->setToolTip(text);
}

void ProjectCommands::recheck() {
    m_problems = checkProject(m_project, m_index);
    m_marksValid = false;
    const ProblemCounts counts = countProblems(m_problems);
    showStatus(m_project.scripts.empty() && m_index.scripts().empty()
                   ? QString()
                   : tr("Проект: скриптов %1, ошибок %2, предупреждений %3")
                         .arg(m_project.scripts.size())
                         .arg(counts.errors)
                         .arg(counts.warnings));
    fillScripts();
    fillProblems();
    m_window.treeModel()->refreshMarks();
    if (!busy())
        emit updated();
}

void ProjectCommands::fillScripts() {
    m_scripts->clear();
    const std::string open = openDocumentPath();
    const QString folder = m_window.settings().scriptsFolder;
    std::unordered_map<std::string, int> counts;
    for (const Problem& problem : m_problems)
        ++counts[problem.file];
    for (const ProjectScript& script : m_project.scripts) {
        const QString path = decodePath(script.path);
        auto* item = new QTreeWidgetItem(m_scripts);
        item->setText(0, shownPath(folder, path));
        item->setData(0, PathRole, QByteArray::fromStdString(script.path));
        item->setData(0, PresentRole, script.present);
        item->setToolTip(0, QDir::toNativeSeparators(path));
        QStringList state;
        if (!script.present) {
            state << tr("нет файла");
            item->setForeground(0, QColor(200, 0, 0));
            item->setForeground(1, QColor(200, 0, 0));
        } else if (!script.listed && script.besideManifest) {
            state << tr("нет в манифесте");
            item->setForeground(1, QColor(160, 110, 0));
        }
        if (script.path == open) {
            state.prepend(tr("открыт"));
            QFont bold = item->font(0);
            bold.setBold(true);
            item->setFont(0, bold);
            item->setFont(1, bold);
        }
        if (const int n = counts[script.path]; n > 0)
            state << tr("проблем: %1").arg(n);
        item->setText(1, state.join(QStringLiteral(", ")));
    }
}

void ProjectCommands::fillProblems() {
    m_problemList->clear();
    const bool wholeProject = m_scope->currentIndex() == 1;
    const std::string open = openDocumentPath();
    const QString folder = m_window.settings().scriptsFolder;
    // Other places a message names are shown below the project folder, as the file column shows them.
    const QString prefix = folder.isEmpty() ? QString() : QDir::cleanPath(folder) + QLatin1Char('/');
    // A script has thousands of problems at most: the file's texts are made once for a run of them, and
    // the items go into the list together.
    QList<QTreeWidgetItem*> items;
    const std::string* lastFile = nullptr;
    QString shown;
    QString tip;
    for (const Problem& problem : m_problems) {
        if (!wholeProject && problem.file != open)
            continue;
        auto* item = new QTreeWidgetItem;
        items.append(item);
        if (lastFile == nullptr || *lastFile != problem.file) {
            const QString path = decodePath(problem.file);
            shown = shownPath(folder, path);
            tip = QDir::toNativeSeparators(path);
            lastFile = &problem.file;
        }
        item->setText(0, shown);
        item->setToolTip(0, tip);
        item->setText(1, problem.at.line > 0 ? QString::number(problem.at.line) : QString());
        item->setText(2, severityText(problem.severity));
        item->setForeground(2, problem.severity == Severity::Error ? QColor(200, 0, 0) : QColor(160, 110, 0));
        QString message = fromUtf8(problem.message);
        if (!prefix.isEmpty())
            message.replace(prefix, QString());
        item->setText(3, message + QStringLiteral(" [") + fromUtf8(checkInfo(problem.check).name) +
                             QLatin1Char(']'));
        item->setData(0, PathRole, QByteArray::fromStdString(problem.file));
        item->setData(0, LineRole, problem.at.line);
        item->setData(0, ColumnRole, problem.at.column);
    }
    m_problemList->addTopLevelItems(items);
    m_problemsDock->setWindowTitle(wholeProject || open.empty()
                                       ? tr("Проблемы")
                                       : tr("Проблемы (%1)").arg(m_problemList->topLevelItemCount()));
}

void ProjectCommands::setProjectPanelShown(bool shown) {
    m_window.settings().projectPanel = shown;
    m_window.commands().action(CommandId::ProjectPanel)->setChecked(shown);
    m_projectDock->setVisible(shown);
}

void ProjectCommands::setProblemsPanelShown(bool shown) {
    m_window.settings().problemsPanel = shown;
    m_window.commands().action(CommandId::ProblemsPanel)->setChecked(shown);
    m_problemsDock->setVisible(shown);
}

void ProjectCommands::activateScript(QTreeWidgetItem* item) {
    const std::string file = item->data(0, PathRole).toByteArray().toStdString();
    const QString path = decodePath(file);
    if (!item->data(0, PresentRole).toBool()) {
        showStatus(tr("Нет файла: %1").arg(QDir::toNativeSeparators(path)));
        return;
    }
    if (!isOpenDocument(file))
        m_window.openScript(path);
}

void ProjectCommands::activatePlace(QTreeWidgetItem* item) {
    jumpTo(item->data(0, PathRole).toByteArray().toStdString(),
           {item->data(0, LineRole).toInt(), item->data(0, ColumnRole).toInt()});
}

// ---------------------------------------------------------------------------------------------
// Places

bool ProjectCommands::jumpTo(const std::string& file, SourcePosition at) {
    const QString path = decodePath(file);
    if (!isOpenDocument(file)) {
        if (!QFileInfo(path).isFile()) {
            showStatus(tr("Нет файла: %1").arg(QDir::toNativeSeparators(path)));
            return false;
        }
        if (!m_window.openScript(path))
            return false;
    }
    if (at.line <= 0)
        return true;
    // The place's line is one of the text the document was indexed from: the writer's text of the
    // open document, or the file on disk for a file just opened.
    const bool indexedText = m_documentPath == file && !m_documentBytes.empty();
    const ScriptOutline outline = readOutline(indexedText ? m_documentBytes : readBytes(path));
    selectAt(nodeAtPosition(m_window.tree(), outline, at));
    return true;
}

// A block is selected with its rows in the grid; a key is shown as the current row of its block.
void ProjectCommands::selectAt(Node* node) {
    if (node == nullptr)
        return;
    if (node->hasChildren() || node->parent() == nullptr) {
        m_window.selectNode(node);
        return;
    }
    m_window.selectNode(node->parent());
    ParamGrid* grid = m_window.grid();
    ParamGridModel* model = grid->gridModel();
    for (int row = 0; row < model->dataRows(); ++row) {
        if (model->rowNode(row) == node) {
            grid->setCurrentIndex(model->index(row, ParamGridModel::ValueColumn));
            grid->scrollTo(model->index(row, ParamGridModel::NameColumn));
            break;
        }
    }
}

std::optional<std::string> ProjectCommands::playedName() const {
    const ParamGridModel* model = m_window.grid()->gridModel();
    if (const Node* row = model->rowNode(model->currentRow()); isPlayedName(row))
        return unquoted(row->data()->value);
    const Node* selected = m_window.selectedNode();
    if (isPlayedName(selected))
        return unquoted(selected->data()->value);
    if (selected != nullptr && foldName(nodeKey(selected)) == "playsoundscape") {
        for (const Node* child : selected->children()) {
            if (isPlayedName(child))
                return unquoted(child->data()->value);
        }
    }
    return std::nullopt;
}

void ProjectCommands::goToDefinition() {
    const std::optional<std::string> name = playedName();
    if (!name) {
        showStatus(tr("Выберите строку \"name\" блока playsoundscape"));
        return;
    }
    goToDefinitionOf(*name);
}

bool ProjectCommands::goToDefinitionOf(const std::string& name) {
    const std::vector<ProjectPlace> places = m_index.definitions(name);
    if (places.empty()) {
        showStatus(
            tr("Soundscape \"%1\" не определён ни в одном скрипте проекта").arg(scriptToQString(name)));
        return false;
    }
    return jumpTo(places.front().file, places.front().at);
}

void ProjectCommands::findReferences() {
    const Node* selected = m_window.selectedNode();
    while (selected != nullptr && selected->parent() != nullptr)
        selected = selected->parent();
    if (selected == nullptr)
        return;
    const std::string name(nodeKey(selected));
    m_referenceList->clear();
    const QString folder = m_window.settings().scriptsFolder;
    for (const ProjectPlace& place : m_index.references(name)) {
        auto* item = new QTreeWidgetItem(m_referenceList);
        const QString path = decodePath(place.file);
        item->setText(0, shownPath(folder, path));
        item->setToolTip(0, QDir::toNativeSeparators(path));
        item->setText(1, QString::number(place.at.line));
        item->setText(2, scriptToQString(place.soundscape));
        item->setData(0, PathRole, QByteArray::fromStdString(place.file));
        item->setData(0, LineRole, place.at.line);
        item->setData(0, ColumnRole, place.at.column);
    }
    const int count = m_referenceList->topLevelItemCount();
    m_referencesDock->setWindowTitle(tr("Ссылки на %1: %2").arg(scriptToQString(name)).arg(count));
    m_referencesDock->show();
    m_referencesDock->raise();
    if (count == 0)
        showStatus(
            tr("Soundscape \"%1\" не играет ни один блок playsoundscape проекта").arg(scriptToQString(name)));
}

} // namespace tonvale
