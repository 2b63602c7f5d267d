#include "shell/MainWindow.h"

#include "document/TextHelpers.h"
#include "document/Writer.h"
#include "editor/Icons.h"
#include "editor/ParamGrid.h"
#include "editor/QtText.h"
#include "editor/ScriptHighlighter.h"
#include "editor/SectionTreeModel.h"
#include "editor/SectionTreeView.h"
#include "shell/AudioCommands.h"
#include "shell/AudioOutput.h"
#include "shell/Platform.h"
#include "shell/Prompts.h"

#include <QApplication>
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

namespace tonvale {

MainWindow::MainWindow(Platform& platform, Prompts& prompts, AudioOutput& audio, QWidget* parent)
    : QMainWindow(parent), m_platform(platform), m_prompts(prompts), m_audio(audio), m_commands(this) {
    setObjectName(QStringLiteral("MainWindow"));
    m_treeModel = new SectionTreeModel(&m_tree, this);
    buildCommands();
    buildLayout();
    buildMenus();
    attachTreeEdits();
    startUp();
    if (!m_aborted)
        m_audioCommands = new AudioCommands(*this, m_prompts, m_audio.player());
}

MainWindow::~MainWindow() {
    shutDown();
}

// ---------------------------------------------------------------------------------------------
// Commands

void MainWindow::buildCommands() {
    auto always = [] { return true; };
    auto& c = m_commands;
    c.define(
        CommandId::NewFile,
        {"NewFile", QStringLiteral("Новый файл..."), QStringLiteral("Новый файл..."),
         QKeySequence(QStringLiteral("Ctrl+N")), IconId::NewFile},
        [this] { newFile(); }, always);
    c.define(
        CommandId::Open,
        {"Open", QStringLiteral("Открыть..."), QStringLiteral("Открыть..."),
         QKeySequence(QStringLiteral("Ctrl+O")), IconId::Open},
        [this] { openFile(); }, always);
    c.define(
        CommandId::Save,
        {"Save", QStringLiteral("Сохранить"), QStringLiteral("Сохранить"),
         QKeySequence(QStringLiteral("Ctrl+S")), IconId::Save},
        [this] { save(); }, [this] { return m_saveEnabled; });
    c.define(
        CommandId::SaveAs,
        {"SaveAs",
         QStringLiteral("Сохранить как..."),
         {},
         QKeySequence(QStringLiteral("Shift+Ctrl+S")),
         std::nullopt},
        [this] { saveAs(); }, always);
    c.define(
        CommandId::Exit, {"Exit", QStringLiteral("Выход"), {}, {}, std::nullopt}, [this] { exitProgram(); },
        always);
    c.define(
        CommandId::Settings,
        {"Settings", QStringLiteral("Настройки..."), QStringLiteral("Настройки..."), {}, IconId::Settings},
        [this] { showSettings(); }, always);
    auto hasNodes = [this] { return !m_tree.empty(); };
    c.define(
        CommandId::ExpandAll,
        {"ExpandAll",
         QStringLiteral("Развернуть"),
         {},
         QKeySequence(QStringLiteral("Ctrl+Right")),
         IconId::Expand},
        [this] { setAllExpanded(true); }, hasNodes);
    c.define(
        CommandId::CollapseAll,
        {"CollapseAll",
         QStringLiteral("Свернуть"),
         {},
         QKeySequence(QStringLiteral("Ctrl+Left")),
         IconId::Collapse},
        [this] { setAllExpanded(false); }, hasNodes);
    // New, rename and delete keep the state the last opened menu gave them (treeMenuAboutToShow,
    // menuBarAboutToShow); their shortcuts act on it.
    auto onTreeTabWithNode = [this] { return m_newItemEnabled; };
    auto onTreeTabWithElement = [this] { return m_editItemEnabled; };
    c.define(CommandId::NewSoundscape,
             {"NewSoundscape",
              QStringLiteral("Новый soundscape..."),
              {},
              QKeySequence(QStringLiteral("Ctrl+Ins")),
              std::nullopt},
             nullptr, onTreeTabWithNode);
    c.define(CommandId::Rename,
             {"Rename",
              QStringLiteral("Изменить секцию (блок)..."),
              {},
              QKeySequence(QStringLiteral("Ctrl+Return")),
              std::nullopt},
             nullptr, onTreeTabWithElement);
    c.define(CommandId::Delete,
             {"Delete",
              QStringLiteral("Удалить секцию (блок)"),
              {},
              QKeySequence(QStringLiteral("Ctrl+Del")),
              std::nullopt},
             nullptr, onTreeTabWithElement);
    auto newBlock = [this] { return m_newBlockEnabled && m_page == TreeTab; };
    c.define(CommandId::NewLoopingBlock,
             {"NewLoopingBlock", QStringLiteral("Новый блок &playlooping"), {}, {}, std::nullopt}, nullptr,
             newBlock);
    c.define(CommandId::NewRandomBlock,
             {"NewRandomBlock", QStringLiteral("Новый блок p&layrandom"), {}, {}, std::nullopt}, nullptr,
             newBlock);
    c.define(CommandId::NewSoundscapeBlock,
             {"NewSoundscapeBlock", QStringLiteral("Новый блок playsoundscape"), {}, {}, std::nullopt},
             nullptr, newBlock);
    c.define(CommandId::Comments,
             {"Comments", QStringLiteral("Комментарии..."), QStringLiteral("Комментарии..."),
              QKeySequence(QStringLiteral("Ctrl+I")), IconId::Comment},
             nullptr, [this] { return m_commentEnabled; });
    auto newElement = [this] { return m_grid->newElementAllowed(); };
    auto waveCellSelected = [this] { return m_grid->waveCellSelected(); };
    auto hasCurrentRow = [this] { return m_grid->hasCurrentRow(); };
    c.define(CommandId::NewElement, {"NewElement", QStringLiteral("Новый..."), {}, {}, IconId::NewElement},
             nullptr, newElement);
    c.define(CommandId::ChooseWave,
             {"ChooseWave", QStringLiteral("Выбрать файл..."), {}, {}, IconId::ChooseFile}, nullptr,
             waveCellSelected);
    c.define(CommandId::Find,
             {"Find", {}, QStringLiteral("Найти..."), QKeySequence(QStringLiteral("Ctrl+F")), IconId::Find},
             nullptr, [this, hasCurrentRow] { return m_page == TextTab || hasCurrentRow(); });
    c.define(CommandId::FindAgain,
             {"FindAgain", QStringLiteral("FindAgain"), {}, QKeySequence(QStringLiteral("F3")), std::nullopt},
             nullptr, always);
    c.define(CommandId::PlayerPanel,
             {"PlayerPanel",
              QStringLiteral("Панель проигрывателя soundscape"),
              QStringLiteral("Панель проигрывателя soundscape"),
              {},
              IconId::Player},
             nullptr, [this] { return m_playSSEnabled; });
    c.define(
        CommandId::About, {"About", QStringLiteral("О программе..."), {}, {}, std::nullopt},
        [this] { showAbout(); }, always);
    c.define(
        CommandId::Help,
        {"Help", QStringLiteral("Справка..."), {}, QKeySequence(QStringLiteral("F1")), IconId::Help},
        [this] { showHelp(); }, always);
    // The grid's own commands run the main window's handlers.
    c.define(
        CommandId::GridNewElement,
        {"GridNewElement", QStringLiteral("Новый..."), QStringLiteral("Новый..."), {}, IconId::NewElement},
        [this] { m_commands.trigger(CommandId::NewElement); }, newElement);
    c.define(
        CommandId::GridChooseWave,
        {"GridChooseWave",
         QStringLiteral("Выбрать файл..."),
         QStringLiteral("Выбрать файл..."),
         {},
         IconId::ChooseFile},
        [this] { m_commands.trigger(CommandId::ChooseWave); }, waveCellSelected);
    c.define(
        CommandId::GridFind,
        {"GridFind", QStringLiteral("Найти..."), QStringLiteral("Найти..."), {}, IconId::Find},
        [this] { m_commands.trigger(CommandId::Find); }, hasCurrentRow);
    c.define(CommandId::PlayWave,
             {"Play", QStringLiteral("Play"), {}, QKeySequence(QStringLiteral("Ctrl+P")), IconId::Play},
             nullptr, [this] { return m_grid->playableWaveSelected(); });
    c.define(CommandId::MasterVolume,
             {"MasterVolume", QStringLiteral("Общая громкость"), {}, {}, IconId::Volume}, nullptr, always);
    // Commands without behaviour, in no menu.
    c.define(CommandId::EditParameter,
             {"EditParameter", QStringLiteral("Изменить параметр..."), {}, {}, std::nullopt}, nullptr,
             always);
    c.define(CommandId::OpenList, {"OpenList", QStringLiteral("OpenList"), {}, {}, std::nullopt}, nullptr,
             always);
}

void MainWindow::updateCommands() {
    m_commands.update();
}

// ---------------------------------------------------------------------------------------------
// Layout

void MainWindow::buildLayout() {
    setWindowTitle(QStringLiteral("Tonvale"));
    setMinimumSize(550, 600);
    resize(728, 657);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    auto* toolbar = addToolBar(QStringLiteral("mainToolBar"));
    toolbar->setObjectName(QStringLiteral("mainToolBar"));
    toolbar->setMovable(false);
    toolbar->setIconSize(QSize(22, 22));
    toolbar->addAction(m_commands.action(CommandId::NewFile));
    toolbar->addAction(m_commands.action(CommandId::Open));
    toolbar->addSeparator();
    toolbar->addAction(m_commands.action(CommandId::Save));
    toolbar->addSeparator();
    toolbar->addAction(m_commands.action(CommandId::Settings));
    toolbar->addSeparator();
    toolbar->addAction(m_commands.action(CommandId::Comments));
    toolbar->addSeparator();
    toolbar->addAction(m_commands.action(CommandId::PlayerPanel));

    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("pages"));
    m_pages->setDocumentMode(false);

    // Tab "Конструктор": the section tree beside the parameter pane.
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
    m_treeView->setMaximumWidth(465);
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
    m_gridBar = new QToolBar;
    m_gridBar->setObjectName(QStringLiteral("gridToolBar"));
    m_gridBar->setIconSize(QSize(16, 16));
    m_gridBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_gridBar->addAction(m_commands.action(CommandId::GridNewElement));
    m_gridBar->addSeparator();
    m_gridBar->addAction(m_commands.action(CommandId::GridChooseWave));
    m_gridBar->addSeparator();
    m_gridBar->addAction(m_commands.action(CommandId::GridFind));
    m_gridBar->addSeparator();
    m_gridBar->addAction(m_commands.action(CommandId::PlayWave));
    m_grid = new ParamGrid(&m_tree);
    connect(m_grid, &ParamGrid::commandsChanged, this, [this] { updateCommands(); });
    connect(m_grid, &ParamGrid::edited, this, [this](bool ok) {
        if (!ok)
            m_prompts.message(QStringLiteral("Ошибка сохранения параметра"),
                              QStringLiteral("Сохранить таблицу"), MessageIcon::Error);
        setModified(true);
    });
    connect(m_grid, &ParamGrid::cellSelected, this, [this] { updateCommands(); });
    auto* panelLayout = new QVBoxLayout(panel);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    panelLayout->setSpacing(2);
    panelLayout->addWidget(m_title);
    panelLayout->addWidget(m_gridBar);
    panelLayout->addWidget(m_grid, 1);
    splitter->addWidget(m_treeView);
    splitter->addWidget(panel);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({200, 520});
    auto* treeTab = new QWidget;
    treeTab->setObjectName(QStringLiteral("treeTab"));
    auto* treeLayout = new QVBoxLayout(treeTab);
    treeLayout->setContentsMargins(2, 2, 2, 2);
    treeLayout->addWidget(splitter);
    m_pages->addTab(treeTab, QStringLiteral("Конструктор"));

    // Tab "Файл": the script as text.
    auto* textTab = new QWidget;
    textTab->setObjectName(QStringLiteral("textTab"));
    auto* bar = new QWidget;
    bar->setObjectName(QStringLiteral("textToolBar"));
    auto* barLayout = new QHBoxLayout(bar);
    barLayout->setContentsMargins(2, 2, 2, 2);
    auto* findButton = new QToolButton;
    findButton->setObjectName(QStringLiteral("findButton"));
    findButton->setDefaultAction(m_commands.action(CommandId::Find));
    m_fontDown = new QToolButton;
    m_fontDown->setObjectName(QStringLiteral("fontDown"));
    m_fontDown->setText(QStringLiteral("A−"));
    m_fontDown->setToolTip(QStringLiteral("Уменьшить"));
    m_fontUp = new QToolButton;
    m_fontUp->setObjectName(QStringLiteral("fontUp"));
    m_fontUp->setText(QStringLiteral("A+"));
    m_fontUp->setToolTip(QStringLiteral("Увеличить"));
    connect(m_fontDown, &QToolButton::clicked, this, [this] { decreaseFontSize(); });
    connect(m_fontUp, &QToolButton::clicked, this, [this] { increaseFontSize(); });
    barLayout->addWidget(findButton);
    barLayout->addWidget(m_fontDown);
    barLayout->addWidget(m_fontUp);
    barLayout->addStretch();
    m_textEditor = new QPlainTextEdit;
    m_textEditor->setObjectName(QStringLiteral("textEditor"));
    m_textEditor->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_textEditor->setTabChangesFocus(false);
    connect(m_textEditor, &QPlainTextEdit::textChanged, this, [this] { onTextEdited(); });
    m_highlighter = new ScriptHighlighter(m_textEditor->document());
    connect(m_textEditor, &QPlainTextEdit::updateRequest, this,
            [this] { m_highlighter->colourVisible(m_textEditor); });
    auto* textLayout = new QVBoxLayout(textTab);
    textLayout->setContentsMargins(2, 2, 2, 2);
    textLayout->addWidget(bar);
    textLayout->addWidget(m_textEditor, 1);
    m_pages->addTab(textTab, QStringLiteral("Файл"));
    connect(m_pages, &QTabWidget::currentChanged, this, &MainWindow::pageChanged);
    setCentralWidget(m_pages);

    for (std::size_t i = 0; i < m_status.size(); ++i) {
        m_status[i] = new QLabel;
        m_status[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i + 1));
        m_status[i]->setFrameShape(QFrame::StyledPanel);
        m_status[i]->setFrameShadow(QFrame::Sunken);
    }
    // 280 pixels, or what the longer save-mode text needs in this font.
    m_status[0]->setFixedWidth(
        std::max(280, m_status[0]->fontMetrics().horizontalAdvance(saveModeText(1)) + 16));
    m_status[0]->setAlignment(Qt::AlignCenter);
    // 150 pixels, or what the preview's text of a long wave needs in this font.
    m_status[1]->setFixedWidth(std::max(
        150,
        m_status[1]->fontMetrics().horizontalAdvance(QStringLiteral("Воспроизведение: 1,2e+02 сек.")) + 16));
    m_status[1]->setAlignment(Qt::AlignCenter);
    m_status[2]->setMinimumWidth(10);
    statusBar()->addWidget(m_status[0]);
    statusBar()->addWidget(m_status[1]);
    statusBar()->addWidget(m_status[2], 1);
}

void MainWindow::buildMenus() {
    m_fileMenu = menuBar()->addMenu(QStringLiteral("Файл"));
    m_fileMenu->setObjectName(QStringLiteral("menuFile"));
    m_fileMenu->addAction(m_commands.action(CommandId::NewFile));
    m_fileMenu->addAction(m_commands.action(CommandId::Open));
    m_fileMenu->addSeparator();
    m_fileMenu->addAction(m_commands.action(CommandId::Save));
    m_fileMenu->addAction(m_commands.action(CommandId::SaveAs));
    m_fileMenu->addSeparator();
    m_fileMenu->addAction(m_commands.action(CommandId::Exit));
    m_fileMenu->addSeparator();

    QMenu* edit = menuBar()->addMenu(QStringLiteral("Правка"));
    edit->setObjectName(QStringLiteral("menuEdit"));
    edit->addAction(m_commands.action(CommandId::NewLoopingBlock));
    edit->addAction(m_commands.action(CommandId::NewRandomBlock));
    edit->addAction(m_commands.action(CommandId::NewSoundscapeBlock));
    edit->addSeparator();
    edit->addAction(m_commands.action(CommandId::NewSoundscape));
    edit->addAction(m_commands.action(CommandId::Rename));
    edit->addSeparator();
    edit->addAction(m_commands.action(CommandId::Delete));
    edit->addSeparator();
    edit->addAction(m_commands.action(CommandId::Comments));

    QMenu* help = menuBar()->addMenu(QStringLiteral("Помощь"));
    help->setObjectName(QStringLiteral("menuHelp"));
    help->addAction(m_commands.action(CommandId::About));
    help->addAction(m_commands.action(CommandId::Help));
    for (QMenu* menu : {m_fileMenu, edit, help})
        connect(menu, &QMenu::aboutToShow, this, &MainWindow::menuBarAboutToShow);

    buildPopupMenus();
    // Commands that stand in no menu still act through their shortcuts.
    addAction(m_commands.action(CommandId::FindAgain));
    addAction(m_commands.action(CommandId::ExpandAll));
    addAction(m_commands.action(CommandId::CollapseAll));
    addAction(m_commands.action(CommandId::Find));
    addAction(m_commands.action(CommandId::PlayWave));
}

// ---------------------------------------------------------------------------------------------
// Start-up and shutdown

QString MainWindow::settingsFile() const {
    return m_platform.writableFolder() + QString::fromLatin1(SettingsFileName);
}

QString MainWindow::workingFile() const {
    return m_platform.writableFolder() + QStringLiteral("workfile.txt");
}

QString MainWindow::saveModeText(int mode) {
    if (mode == 0 || mode == 1)
        return QStringLiteral("Сохранить изменеия (во временный файл \"~\")");
    if (mode == 2)
        return QStringLiteral("Сохранить изменения (в оригинальный файл)");
    return {};
}

void MainWindow::startUp() {
    m_currentFile.clear();
    m_title->clear();
    m_commentEnabled = false;

    IniFile ini;
    ini.load(settingsFile().toStdString());
    m_settings = readSettings(ini, [this] { return m_platform.variableValue(QStringLiteral("VPROJECT")); });
    m_currentFile = m_settings.lastFile;
    m_grid->setSoundsFolder(m_settings.soundsFolder);

    QFont memoFont(QStringLiteral("Monospace"));
    memoFont.setStyleHint(QFont::TypeWriter);
    memoFont.setPointSize(std::max(1, m_settings.fontSize));
    m_textEditor->setFont(memoFont);
    m_textEditor->setTabStopDistance(QFontMetricsF(memoFont).horizontalAdvance(QLatin1Char(' ')) * 4);

    loadRecentFiles();

    if (!m_currentFile.isEmpty() && fileExists(m_currentFile)) {
        if (loadFile(m_currentFile) == LoadOutcome::ReadError) {
            setStatus(3, captions::ErrorLoadingFile);
            setSaveEnabled(false);
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
                          QStringLiteral("Инициализация"), MessageIcon::Error);
    }
    updateCommands();
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    updateCommands();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (m_aborted) {
        event->accept();
        return;
    }
    if (!keepChanges(QStringLiteral("Выход"))) {
        event->ignore();
        return;
    }
    saveSettings();
    event->accept();
}

void MainWindow::saveSettings() {
    m_settings.lastFile = m_currentFile;
    m_settings.recent = m_recent.paths();
    m_settings.fontSize = m_textEditor->font().pointSize();
    m_settings.soundsFolder = m_grid->soundsFolder();
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
    return panel >= 1 && panel <= 3 ? m_status[static_cast<std::size_t>(panel - 1)]->text() : QString();
}

void MainWindow::setStatus(int panel, const QString& text) {
    m_status[static_cast<std::size_t>(panel - 1)]->setText(text);
}

QString MainWindow::titleText() const {
    return m_title->text();
}

void MainWindow::setSaveEnabled(bool enabled) {
    m_saveEnabled = enabled;
    m_commands.action(CommandId::Save)->setEnabled(m_commands.isEnabled(CommandId::Save));
}

void MainWindow::setModified(bool modified) {
    m_modified = modified;
    setSaveEnabled(modified);
}

bool MainWindow::fileExists(const QString& path) const {
    return !path.isEmpty() && QFileInfo(path).isFile();
}

void MainWindow::setCaptionFor(const QString& path) {
    setWindowTitle(QStringLiteral("Tonvale [") + QFileInfo(path).fileName() + QLatin1Char(']'));
}

void MainWindow::showMessage(const Message& message) {
    m_prompts.message(fromUtf8(message.text), fromUtf8(message.caption), message.icon);
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
        m_commentEnabled = false;
        m_playSSEnabled = false;
        m_newBlockEnabled = false;
        updateCommands();
        return;
    }
    m_commentEnabled = true;
    m_title->setText(scriptToQString(node->text()));
    m_grid->fillFor(node);
    m_playSSEnabled = node->level() == 0 && node->hasChildren();
    m_newBlockEnabled = node->level() == 0;
    updateCommands();
}

void MainWindow::setAllExpanded(bool expand) {
    if (m_tree.empty())
        return;
    m_treeView->setUpdatesEnabled(false);
    if (expand)
        m_treeView->expandAll();
    else
        m_treeView->collapseAll();
    m_treeView->setUpdatesEnabled(true);
}

void MainWindow::showAbout() {
    m_prompts.message(QStringLiteral("Tonvale\nРедактор soundscape-скриптов с прослушиванием звуков."),
                      QStringLiteral("О программе"), MessageIcon::Information);
}

void MainWindow::showHelp() {
    const QString help = m_platform.programFolder() + QStringLiteral("HelpTNV.chm");
    if (fileExists(help))
        m_platform.openDocument(help);
    else
        m_prompts.message(QStringLiteral("Sorry, cannot file exists"), QStringLiteral("Справка"),
                          MessageIcon::Error);
}

} // namespace tonvale
