// SPDX-License-Identifier: MIT
#include "shell/MainWindow.h"

#include "dialogs/Prompts.h"
#include "document/Layout.h"
#include "document/TextHelpers.h"
#include "document/Writer.h"
#include "editor/Icons.h"
#include "editor/ParamGrid.h"
#include "editor/QtText.h"
#include "editor/SectionTreeModel.h"
#include "editor/SectionTreeView.h"
#include "editor/UpdatesFrozen.h"
#include "settings/Platform.h"
#include "shell/AudioCommands.h"
#include "shell/AudioOutput.h"
#include "shell/HelpCommands.h"
#include "shell/ProjectCommands.h"
#include "shell/StatusPanels.h"
#include "shell/TextPage.h"
#include "shell/TreeEditor.h"
#include "texts/CoreTexts.h"

#include <QApplication>
#include <QByteArray>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTextCursor>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>

namespace tonvale {

MainWindow::MainWindow(Platform& platform, Prompts& prompts, AudioOutput& audio, QWidget* parent)
    : QMainWindow(parent), m_platform(platform), m_prompts(prompts), m_audio(audio),
      m_commands([this] { return windowState(); }, this) {
    setObjectName(QStringLiteral("mainWindow"));
    m_treeModel = new SectionTreeModel(&m_tree, this);
    m_history.setNext(m_treeModel->observer());
    m_history.setStepsChanged([this] {
        if (m_commandsBuilt)
            updateCommands();
    });
    buildLayout();
    buildMenus();
    buildCommands();
    m_commandsBuilt = true;
    startUp();
    if (!m_aborted) {
        m_audioCommands = new AudioCommands(*this, m_prompts, m_audio.player(), this);
        m_projectCommands = new ProjectCommands(*this, *this, this);
    }
    // Before a shortcut is matched, every command's state is brought up to the moment.
    qApp->installEventFilter(this);
}

MainWindow::~MainWindow() {
    qApp->removeEventFilter(this);
    delete m_projectCommands; // it waits for its threads while the views it reports to still stand
    shutDown();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride)
        updateCommands();
    return QMainWindow::eventFilter(watched, event);
}

bool MainWindow::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate && !m_aborted) {
        // Another program may have changed the file while the window was in the background; the
        // question waits until the activation is over.
        QMetaObject::invokeMethod(
            this, [this] { checkFileChangedOnDisk(); }, Qt::QueuedConnection);
    }
    return QMainWindow::event(event);
}

// ---------------------------------------------------------------------------------------------
// Commands

void MainWindow::buildCommands() {
    auto& c = m_commands;
    c.setExecute(CommandId::NewFile, [this] { newFile(); });
    c.setExecute(CommandId::Open, [this] { openFile(); });
    c.setExecute(CommandId::Save, [this] { save(); });
    c.setExecute(CommandId::SaveAs, [this] { saveAs(); });
    c.setExecute(CommandId::Exit, [this] { exitProgram(); });
    c.setExecute(CommandId::Settings, [this] { showSettings(); });
    c.setExecute(CommandId::ExpandAll, [this] { setAllExpanded(true); });
    c.setExecute(CommandId::CollapseAll, [this] { setAllExpanded(false); });
    c.setExecute(CommandId::About, [this] { showAbout(m_prompts); });
    c.setExecute(CommandId::Help, [this] { showHelp(this, m_prompts); });
    c.setExecute(CommandId::GridFind, [this] { m_commands.trigger(CommandId::Find); });
    c.setExecute(CommandId::Undo, [this] { undo(); });
    c.setExecute(CommandId::Redo, [this] { redo(); });
    m_treeEditor = new TreeEditor(*this, m_prompts, this);
    connect(static_cast<SectionTreeView*>(m_treeView), &SectionTreeView::nodeDropped, m_treeEditor,
            &TreeEditor::onNodeDropped);
}

WindowState MainWindow::windowState() const {
    WindowState s;
    const Node* node = selectedNode();
    s.documentLoaded = !m_tree.empty();
    s.fileOnDisk = fileExists(m_currentFile);
    s.saveOffered = m_saveOffered;
    s.onTextTab = m_page == TextTab;
    s.nodeSelected = node != nullptr;
    s.endMarkerSelected = m_tree.isEndMarker(node);
    s.selectedLevel = node != nullptr ? node->level() : -1;
    s.selectedHasChildren = node != nullptr && node->hasChildren();
    s.gridHasCurrentRow = m_grid->hasCurrentRow();
    s.gridAllowsNewElement = m_grid->newElementAllowed();
    s.gridWaveCell = m_grid->waveCellSelected();
    s.playableWave = m_grid->playableWaveSelected();
    s.previewPlaying = m_audioCommands != nullptr && m_audioCommands->previewPlaying();
    s.canUndo = m_history.canUndo();
    s.canRedo = m_history.canRedo();
    return s;
}

void MainWindow::updateCommands() {
    // The step each command would take is named in its caption and hint.
    const auto name = [this](CommandId id, const QString& verb, const std::string& step) {
        QAction* action = m_commands.action(id);
        // A step that began by itself carries the history's own label, translated here.
        static const char* const Unnamed = QT_TRANSLATE_NOOP("tonvale", "изменение");
        const QString label =
            step == Unnamed ? QCoreApplication::translate("tonvale", Unnamed) : QString::fromStdString(step);
        const QString text = step.empty() ? verb : verb + QStringLiteral(": ") + label;
        if (action->text() != text) {
            action->setText(text);
            action->setIconText(text);
            action->setToolTip(text);
            action->setStatusTip(text);
        }
    };
    name(CommandId::Undo, tr("Отменить"), m_history.undoLabel());
    name(CommandId::Redo, tr("Повторить"), m_history.redoLabel());
    m_commands.update();
}

void MainWindow::undo() {
    stepThroughHistory(false);
}

void MainWindow::redo() {
    stepThroughHistory(true);
}

void MainWindow::stepThroughHistory(bool forward) {
    if (m_page == TextTab || !(forward ? m_history.canRedo() : m_history.canUndo()))
        return;
    // The grid lets go of its rows first: the step may remove the nodes they show.
    beginStructuralEdit();
    m_grid->clearRows();
    m_grid->gridModel()->setSelectedNode(nullptr);
    Node* changed = forward ? m_history.redo() : m_history.undo();
    if (changed == nullptr) // the whole document was swapped
        changed = m_tree.first();
    endStructuralEdit(changed);
    if (changed != nullptr)
        m_treeView->scrollTo(m_treeModel->indexOf(changed));
    setModified(!m_history.atSavedState());
}

// ---------------------------------------------------------------------------------------------
// Layout

void MainWindow::buildLayout() {
    setWindowTitle(QStringLiteral("Tonvale"));
    setMinimumSize(550, 600);
    // Room for the tree, the grid and the status bar's panels; a small screen gets most of itself.
    resize(980, 700);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        resize(std::min(width(), available.width() * 9 / 10),
               std::min(height(), available.height() * 9 / 10));
        move(available.center() - rect().center());
    }

    auto* toolbar = addToolBar(QStringLiteral("mainToolBar"));
    toolbar->setObjectName(QStringLiteral("mainToolBar"));
    toolbar->setMovable(false);
    toolbar->setIconSize(QSize(22, 22));
    m_commands.fill(toolbar, CommandGroup::MainToolBar);

    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("pages"));
    m_pages->setDocumentMode(false);
    m_pages->addTab(buildTreeTab(), tr("Конструктор"));
    m_textPage = new TextPage(m_commands.action(CommandId::Find));
    connect(m_textPage, &TextPage::edited, this, &MainWindow::onTextEdited);
    connect(m_textPage, &TextPage::fontSizeChanged, this, [this](int size) { m_settings.fontSize = size; });
    m_pages->addTab(m_textPage, tr("Файл"));
    connect(m_pages, &QTabWidget::currentChanged, this, &MainWindow::pageChanged);
    setCentralWidget(m_pages);
    m_status = std::make_unique<StatusPanels>(statusBar());
}

// The tab "Конструктор": the section tree beside the parameter pane.
QWidget* MainWindow::buildTreeTab() {
    auto* splitter = new QSplitter(Qt::Horizontal);
    splitter->setObjectName(QStringLiteral("splitter"));
    splitter->setHandleWidth(4);
    splitter->setChildrenCollapsible(false);
    m_treeView = new SectionTreeView;
    m_treeView->setObjectName(QStringLiteral("treeView"));
    m_treeView->setModel(m_treeModel);
    m_treeView->setHeaderHidden(true);
    m_treeView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_treeView->setSelectionMode(QAbstractItemView::SingleSelection);
    m_treeView->setUniformRowHeights(true);
    m_treeView->setIconSize(QSize(16, 16));
    m_treeView->setMinimumWidth(200);
    m_treeView->header()->setStretchLastSection(false);
    m_treeView->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    connect(
        m_treeView->selectionModel(), &QItemSelectionModel::currentChanged, this,
        [this](const QModelIndex& current) { onTreeSelectionChanged(SectionTreeModel::nodeOf(current)); });
    connect(m_treeView, &QTreeView::clicked, this, [this] { updateCommands(); });

    auto* panel = new QWidget;
    panel->setObjectName(QStringLiteral("parameterPane"));
    m_title = new QLabel;
    m_title->setObjectName(QStringLiteral("title"));
    m_title->setAlignment(Qt::AlignCenter);
    m_title->setFixedHeight(22);
    m_title->setTextFormat(Qt::PlainText);
    m_title->setStyleSheet(QStringLiteral("QLabel { color: navy; font-weight: bold; font-size: 13px; }"));
    auto* gridBar = new QToolBar;
    gridBar->setObjectName(QStringLiteral("gridToolBar"));
    gridBar->setIconSize(QSize(16, 16));
    gridBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_commands.fill(gridBar, CommandGroup::GridToolBar);
    m_grid = new ParamGrid(&m_tree);
    connect(m_grid, &ParamGrid::commandsChanged, this, [this] { updateCommands(); });
    connect(m_grid, &ParamGrid::edited, this, [this](bool ok) {
        if (!ok)
            m_prompts.message(tr("Ошибка сохранения параметра"), tr("Сохранить таблицу"), MessageIcon::Error);
        setModified(true);
    });
    m_grid->gridModel()->setObserver(&m_history);
    connect(m_grid, &ParamGrid::cellSelected, this, [this] {
        // What is typed into this cell from now on is one step, named after the row.
        const int row = m_grid->gridModel()->currentRow();
        const Node* node = row >= 0 ? m_grid->gridModel()->rowNode(row) : nullptr;
        m_history.setNextLabel(
            tr("значение %1").arg(node != nullptr ? scriptToQString(node->text()) : QString()).toStdString(),
            "grid " + std::to_string(++m_gridEditSession));
        updateCommands();
    });
    auto* panelLayout = new QVBoxLayout(panel);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    panelLayout->setSpacing(2);
    panelLayout->addWidget(m_title);
    panelLayout->addWidget(gridBar);
    panelLayout->addWidget(m_grid, 1);
    splitter->addWidget(m_treeView);
    splitter->addWidget(panel);
    // Both panes grow with the window, the grid twice as much as the tree.
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 2);
    splitter->setSizes({240, 480});
    m_splitter = splitter;
    auto* treeTab = new QWidget;
    treeTab->setObjectName(QStringLiteral("treeTab"));
    auto* treeLayout = new QVBoxLayout(treeTab);
    treeLayout->setContentsMargins(2, 2, 2, 2);
    treeLayout->addWidget(splitter);
    return treeTab;
}

void MainWindow::buildMenus() {
    const auto menu = [this](QMenu* parent, const QString& title, const char* name, CommandGroup group) {
        QMenu* m = parent != nullptr ? parent->addMenu(title) : menuBar()->addMenu(title);
        m->setObjectName(QString::fromLatin1(name));
        m_commands.fill(m, group);
        connect(m, &QMenu::aboutToShow, this, [this] { updateCommands(); });
        return m;
    };
    m_fileMenu = menu(nullptr, tr("Файл"), "menuFile", CommandGroup::FileMenu);
    menu(nullptr, tr("Правка"), "menuEdit", CommandGroup::EditMenu);
    menu(nullptr, tr("Помощь"), "menuHelp", CommandGroup::HelpMenu);

    m_treeMenu = new QMenu(this);
    m_treeMenu->setObjectName(QStringLiteral("treeMenu"));
    m_commands.fill(m_treeMenu, CommandGroup::TreeMenu);
    // The "Правка" submenu stands after expanding and collapsing, before the comments.
    QAction* editMenu = menu(m_treeMenu, tr("Правка"), "editMenu", CommandGroup::TreeEditMenu)->menuAction();
    m_treeMenu->removeAction(editMenu);
    m_treeMenu->insertAction(m_commands.action(CommandId::Comments), editMenu);
    connect(m_treeMenu, &QMenu::aboutToShow, this, [this] { updateCommands(); });
    m_treeView->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_treeView, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { m_treeMenu->popup(m_treeView->viewport()->mapToGlobal(at)); });

    m_gridMenu = new QMenu(this);
    m_gridMenu->setObjectName(QStringLiteral("gridMenu"));
    m_commands.fill(m_gridMenu, CommandGroup::GridMenu);
    connect(m_gridMenu, &QMenu::aboutToShow, this, [this] { updateCommands(); });
    m_grid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_grid, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { m_gridMenu->popup(m_grid->viewport()->mapToGlobal(at)); });

    m_commands.fill(this, CommandGroup::Shortcuts);
}

// ---------------------------------------------------------------------------------------------
// Start-up and shutdown

QString MainWindow::settingsFile() const {
    return m_platform.writableFolder() + QString::fromLatin1(SettingsFileName);
}

QString MainWindow::workingFile() const {
    return m_platform.writableFolder() + QStringLiteral("workfile.txt");
}

void MainWindow::startUp() {
    m_currentFile.clear();
    m_title->clear();

    IniFile ini;
    ini.load(settingsFile().toStdString());
    m_settings = readSettings(ini, [this] { return m_platform.variableValue(QStringLiteral("VPROJECT")); });
    m_currentFile = m_settings.lastFile;
    m_grid->setSoundsFolder(m_settings.soundsFolder);

    m_textPage->setFontSize(m_settings.fontSize);
    if (!m_settings.windowGeometry.empty())
        restoreGeometry(QByteArray::fromBase64(QByteArray::fromStdString(m_settings.windowGeometry)));
    if (!m_settings.splitterState.empty())
        m_splitter->restoreState(QByteArray::fromBase64(QByteArray::fromStdString(m_settings.splitterState)));

    loadRecentFiles();

    if (!m_currentFile.isEmpty() && fileExists(m_currentFile)) {
        const LoadOutcome outcome = loadFile(m_currentFile);
        if (outcome == LoadOutcome::ReadError) {
            // The file named by LastFile exists but cannot be read: say which and why.
            setStatus(3, captions::LoadError());
            setSaveOffered(false);
            m_prompts.message(readFailureText(m_currentFile), captions::OpenFile(), MessageIcon::Error);
        } else if (outcome == LoadOutcome::Failed) {
            setStatus(3, captions::LoadError());
            setSaveOffered(false);
        } else if (outcome == LoadOutcome::Cancelled) {
            m_currentFile.clear(); // the window starts empty, as without a last file
        } else {
            selectFirstNode();
            m_treeView->setFocus();
        }
    }
    m_pages->setCurrentIndex(TreeTab);
    const QString modeText = saveModeText(m_settings.saveMode);
    if (!modeText.isEmpty())
        setStatus(1, modeText);
    setModified(false);

    if (!m_audio.versionOk()) {
        m_prompts.message(QStringLiteral("An incorrect version of BASS.DLL was loaded"), QString(),
                          MessageIcon::Error);
        m_aborted = true;
        return;
    }
    if (!m_audio.init()) {
        m_prompts.message(audioErrorText(QStringLiteral("Error initializing audio!"), m_audio.errorCode()),
                          tr("Инициализация"), MessageIcon::Error);
    }
    updateCommands();
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    updateCommands();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (m_cancelLoad) {
        // Closing while a large file loads cancels the load; the window then closes as always.
        m_cancelLoad();
        event->ignore();
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
        return;
    }
    if (m_aborted) {
        event->accept();
        return;
    }
    if (!keepChanges(tr("Выход"))) {
        event->ignore();
        return;
    }
    saveSettings();
    event->accept();
}

void MainWindow::saveSettings() {
    m_settings.lastFile = m_currentFile;
    m_settings.recent = m_recent.paths();
    m_settings.fontSize = m_textPage->fontSize();
    m_settings.soundsFolder = m_grid->soundsFolder();
    m_settings.windowGeometry = saveGeometry().toBase64().toStdString();
    m_settings.splitterState = m_splitter->saveState().toBase64().toStdString();
    IniFile ini;
    const std::string path = settingsFile().toStdString();
    ini.load(path);
    writeSettings(ini, m_settings);
    std::string error;
    if (!ini.save(path, error))
        m_prompts.message(QStringLiteral("Unable to write to ") + settingsFile(),
                          QStringLiteral("TonvaleApp"), MessageIcon::Error);
}

void MainWindow::shutDown() {
    m_grid->clearRows();
    m_grid->gridModel()->setSelectedNode(nullptr);
    m_treeModel->beginReset();
    m_tree.clear();
    m_treeModel->endReset();
    if (!m_aborted)
        m_audio.free();
}

// ---------------------------------------------------------------------------------------------
// State

QString MainWindow::statusText(int panel) const {
    return m_status->text(panel);
}

void MainWindow::setStatus(int panel, const QString& text) {
    m_status->setText(panel, text);
}

QString MainWindow::titleText() const {
    return m_title->text();
}

void MainWindow::setSaveOffered(bool offered) {
    m_saveOffered = offered;
    updateCommands();
}

void MainWindow::setModified(bool modified) {
    m_modified = modified;
    setSaveOffered(modified);
}

bool MainWindow::fileExists(const QString& path) const {
    return !path.isEmpty() && QFileInfo(path).isFile();
}

void MainWindow::setCaptionFor(const QString& path) {
    setWindowTitle(QStringLiteral("Tonvale [") + QFileInfo(path).fileName() + QLatin1Char(']'));
}

void MainWindow::showMessage(const Message& message) {
    m_prompts.message(coreText(message.text), coreText(message.caption), message.icon);
}

// ---------------------------------------------------------------------------------------------
// Tree and grid

Node* MainWindow::selectedNode() const {
    return SectionTreeModel::nodeOf(m_treeView->currentIndex());
}

void MainWindow::selectNode(Node* node) {
    const QModelIndex at = m_treeModel->indexOf(node);
    m_treeView->setCurrentIndex(at);
    if (at.isValid())
        m_treeView->scrollTo(at);
}

void MainWindow::selectFirstNode() {
    if (!m_tree.empty())
        selectNode(m_tree.first());
}

void MainWindow::onTreeSelectionChanged(Node* node) {
    if (node == nullptr || m_treeEditing)
        return;
    m_grid->clearRows();
    m_grid->gridModel()->setSelectedNode(node);
    if (m_tree.isEndMarker(node)) {
        m_title->clear();
        m_grid->gridModel()->setGridEnabled(false);
    } else {
        m_title->setText(scriptToQString(node->text()));
        m_grid->fillFor(node);
    }
    updateCommands();
}

// Ends a structural edit: selects `select` (when given) and fills the grid for the node selected now.
// While the edit ran, selection changes of the view were not followed, so the grid never listed a
// node that was about to go.
void MainWindow::endStructuralEdit(Node* select) {
    m_treeEditing = false;
    if (select != nullptr && select != selectedNode())
        selectNode(select); // the selection signal fills the grid
    else
        onTreeSelectionChanged(selectedNode());
}

QPlainTextEdit* MainWindow::textEditor() const {
    return m_textPage->editor();
}

// ---------------------------------------------------------------------------------------------
// Tabs: arriving on the text tab writes the tree with the writer and shows that text; leaving it
// checks the braces, writes the editor's lines and loads them back with the loader. A change that
// would fail (too few nodes, unbalanced braces) is refused and the tab stays as it was. The
// conversions do not depend on the current file still being on disk: the editor never shows the
// text of another document, and what it shows always goes back into the tree.

void MainWindow::pageChanged(int index) {
    if (m_switchingPage || index == m_page)
        return;
    const int from = m_page;
    std::optional<Message> refusal = leaveTab(from);
    if (refusal) {
        // Back to the tab the user is on before anything is said, so the message stands over it.
        m_switchingPage = true;
        m_pages->setCurrentIndex(from);
        m_switchingPage = false;
        if (!refusal->text.empty())
            showMessage(*refusal);
        return;
    }
    m_page = index;
    onTabEntered(index);
    updateCommands();
    emit tabChanged(index);
}

namespace {
Message tabMessage(const QString& text, const QString& caption) {
    return {text.toStdString(), caption.toStdString(), MessageIcon::Error};
}

// The first line longer than `limit` bytes (1-based), or 0.
std::size_t firstLongLine(std::string_view bytes, std::size_t limit) {
    LineCursor lines(bytes);
    std::size_t number = 0;
    for (std::string_view line; lines.next(line);) {
        ++number;
        if (line.size() > limit)
            return number;
    }
    return 0;
}
} // namespace

namespace {
// The same element is found again by its text after the document was built anew from the text tab.
std::optional<std::string_view> nodeText(const Node* node) {
    return std::string_view(node->text());
}
} // namespace

// Converts the document for the tab being left. Nothing is given when the tab may change; otherwise
// the message to show (empty for a refusal that says nothing).
std::optional<Message> MainWindow::leaveTab(int from) {
    if (from == TreeTab) {
        if (m_tree.size() <= 1)
            return Message{}; // an empty document, or the end marker alone, has no text to show
        return showTreeAsText() ? std::nullopt : std::optional<Message>(Message{});
    }
    QTextDocument* text = textEditor()->document();
    if (text->isEmpty() || !m_textPage->changedSinceShown())
        return std::nullopt; // the tree is the document the text shows
    try {
        std::string bytes = m_textPage->editorBytes();
        LoadResult result = loadScript(bytes, shownEncoding());
        if (result.failure == LoadFailure::BraceCheck) {
            text->setModified(false);
            return tabMessage(
                tr("Ошибка. Не найдена одна или несколько открывающих(закрывающих) фигурных скобок. ") +
                    coreText(loadtext::braceLineText(result.braces)),
                tr("Сохранение временного файла"));
        }
        if (!writeBytes(workingFile(), bytes))
            return Message{};
        if (result.levelError || !result.ok()) {
            // The text would give a document cut short: the user's text stays as typed.
            QString where;
            if (result.levelErrorLine != 0)
                where = tr(" Строка %1: блок вложен глубже, чем на один уровень.").arg(result.levelErrorLine);
            return tabMessage(coreText(loadtext::LevelMessage) + QLatin1Char('.') + where,
                              coreText(loadtext::LevelCaption));
        }
        // The text as typed is the layout a layout-keeping save starts from.
        keepSource(result.tree, std::move(bytes));
        std::vector<NameStep> path = namePathOf(m_tree, selectedNode(), nodeText);
        setUpdatesFrozen(m_treeView, true);
        SectionTree previous;
        replaceDocument(std::move(result.tree), result.encoding, &previous);
        setUpdatesFrozen(m_treeView, false);
        m_history.documentReplaced(tr("правка текстом").toStdString(), std::move(previous));
        text->setModified(false);
        m_textPage->markTreeRebuilt();
        m_reselectPath = std::move(path);
    } catch (const std::bad_alloc&) {
        return tabMessage(tr("Недостаточно памяти: текст слишком велик, чтобы вернуть его в дерево."),
                          tr("Конструктор"));
    }
    return std::nullopt;
}

// Writes the tree and shows it on the text tab. The text is not shown (and the tree tab stays) when it
// cannot be written to the working file, has a line too long for the editor to handle, or does not
// fit in memory; the user is told why.
bool MainWindow::showTreeAsText() {
    try {
        const WriteResult written = treeText(m_settings.keepLayout);
        if (!written.ok) {
            showMessage(written.message);
            return false;
        }
        if (const std::size_t line = firstLongLine(written.bytes, MaxTextTabLine); line != 0) {
            m_prompts.message(tr("Строка %1 длиннее %2 КБ: такой текст не показывается во вкладке "
                                 "\"Файл\". Документ можно править в дереве.")
                                  .arg(line)
                                  .arg(MaxTextTabLine / 1024),
                              tr("Файл"), MessageIcon::Warning);
            return false;
        }
        if (!writeBytes(workingFile(), written.bytes))
            return false;
        m_textPage->showText(written.bytes);
    } catch (const std::bad_alloc&) {
        textEditor()->clear();
        m_prompts.message(tr("Недостаточно памяти: документ слишком велик, чтобы показать его текстом."),
                          tr("Файл"), MessageIcon::Error);
        return false;
    }
    return true;
}

void MainWindow::onTabEntered(int to) {
    if (to == TextTab) {
        setSaveOffered(m_modified);
        if (const Node* node = selectedNode(); node != nullptr && !m_tree.isEndMarker(node))
            m_textPage->locate(*node);
        return;
    }
    setSaveOffered(m_modified);
    if (!m_reselectPath.empty() || selectedNode() == nullptr) {
        Node* node = nodeAtNamePath(m_tree, m_reselectPath, nodeText);
        m_reselectPath.clear();
        selectNode(node != nullptr ? node : m_tree.first());
    }
    if (selectedNode() != nullptr)
        m_treeView->setFocus();
}

void MainWindow::onTextEdited() {
    if (!m_modified || !m_saveOffered)
        setModified(true);
}

void MainWindow::setAllExpanded(bool expand) {
    if (m_tree.empty())
        return;
    if (expand) {
        // The view lays out expanded rows recursively: a document nested deeper than any real script
        // would exhaust the stack, so it is refused with a message.
        int depth = 0;
        for (const Node* node : m_tree.preorder())
            depth = std::max(depth, node->level());
        if (depth >= MaxExpandDepth) {
            m_prompts.message(tr("Документ вложен слишком глубоко (%1 уровней), чтобы развернуть его "
                                 "целиком. Разворачивайте ветви по одной.")
                                  .arg(depth + 1),
                              tr("Развернуть"), MessageIcon::Warning);
            return;
        }
    }
    m_treeView->setUpdatesEnabled(false);
    if (expand)
        m_treeView->expandAll();
    else
        m_treeView->collapseAll();
    m_treeView->setUpdatesEnabled(true);
}

} // namespace tonvale
