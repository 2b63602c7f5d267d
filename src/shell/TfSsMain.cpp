#include "shell/TfSsMain.h"

#include "document/TextHelpers.h"
#include "document/Writer.h"
#include "editor/Icons.h"
#include "editor/ParamGrid.h"
#include "editor/QtText.h"
#include "editor/ScriptHighlighter.h"
#include "editor/SectionTreeModel.h"
#include "shell/AudioCommands.h"
#include "editor/SectionTreeView.h"
#include "shell/AudioOutput.h"
#include "shell/Platform.h"
#include "shell/Prompts.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QGuiApplication>
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

TfSsMain::TfSsMain(Platform& platform, Prompts& prompts, AudioOutput& audio, QWidget* parent)
    : QMainWindow(parent), m_platform(platform), m_prompts(prompts), m_audio(audio), m_commands(this) {
    setObjectName(QStringLiteral("TfSsMain"));
    m_treeModel = new SectionTreeModel(&m_tree, this);
    buildCommands();
    buildLayout();
    buildMenus();
    attachTreeEdits();
    FormCreate();
    if (!m_aborted)
        m_audioCommands = new AudioCommands(*this, m_prompts, m_audio.player());
}

TfSsMain::~TfSsMain() {
    FormDestroy();
}

// ---------------------------------------------------------------------------------------------
// Commands

void TfSsMain::buildCommands() {
    auto always = [] { return true; };
    auto& c = m_commands;
    c.define(Cmd::A_NewF, {"A_NewF", QStringLiteral("Новый файл..."), QStringLiteral("Новый файл..."), QKeySequence(QStringLiteral("Ctrl+N")), IconId::NewFile},
             [this] { A_NewFExecute(); }, always);
    c.define(Cmd::A_OpenRes, {"A_OpenRes", QStringLiteral("Открыть..."), QStringLiteral("Открыть..."), QKeySequence(QStringLiteral("Ctrl+O")), IconId::Open},
             [this] { A_OpenResExecute(); }, always);
    c.define(Cmd::A_SaveRes, {"A_SaveRes", QStringLiteral("Сохранить"), QStringLiteral("Сохранить"), QKeySequence(QStringLiteral("Ctrl+S")), IconId::Save},
             [this] { A_SaveResExecute(); }, [this] { return m_saveEnabled; });
    c.define(Cmd::A_SaveAs, {"A_SaveAs", QStringLiteral("Сохранить как..."), {}, QKeySequence(QStringLiteral("Shift+Ctrl+S")), std::nullopt},
             [this] { A_SaveAsExecute(); }, always);
    c.define(Cmd::A_Exit, {"A_Exit", QStringLiteral("Выход"), {}, {}, std::nullopt}, [this] { A_ExitExecute(); }, always);
    c.define(Cmd::A_Settings, {"A_Settings", QStringLiteral("Настройки..."), QStringLiteral("Настройки..."), {}, IconId::Settings},
             [this] { A_SettingsExecute(); }, always);
    auto hasNodes = [this] { return !m_tree.empty(); };
    c.define(Cmd::A_ExpAll, {"A_ExpAll", QStringLiteral("Развернуть"), {}, QKeySequence(QStringLiteral("Ctrl+Right")), IconId::Expand},
             [this] { A_ExpAllExecute(true); }, hasNodes);
    c.define(Cmd::A_CollAll, {"A_CollAll", QStringLiteral("Свернуть"), {}, QKeySequence(QStringLiteral("Ctrl+Left")), IconId::Collapse},
             [this] { A_ExpAllExecute(false); }, hasNodes);
    // New, rename and delete keep the state the last opened menu gave them (PopupMenu1Popup,
    // ActionMainMenuBar1Popup); their shortcuts act on it.
    auto onTreeTabWithNode = [this] { return m_newItemEnabled; };
    auto onTreeTabWithElement = [this] { return m_editItemEnabled; };
    c.define(Cmd::A_NewItem, {"A_NewItem", QStringLiteral("Новый soundscape..."), {}, QKeySequence(QStringLiteral("Ctrl+Ins")), std::nullopt},
             nullptr, onTreeTabWithNode);
    c.define(Cmd::A_EditItem, {"A_EditItem", QStringLiteral("Изменить секцию (блок)..."), {}, QKeySequence(QStringLiteral("Ctrl+Return")), std::nullopt},
             nullptr, onTreeTabWithElement);
    c.define(Cmd::A_DeleteItem, {"A_DeleteItem", QStringLiteral("Удалить секцию (блок)"), {}, QKeySequence(QStringLiteral("Ctrl+Del")), std::nullopt},
             nullptr, onTreeTabWithElement);
    auto newBlock = [this] { return m_newBlockEnabled && m_page == TreeTab; };
    c.define(Cmd::A_NewLoop, {"A_NewLoop", QStringLiteral("Новый блок &playlooping"), {}, {}, std::nullopt}, nullptr, newBlock);
    c.define(Cmd::A_NewRand, {"A_NewRand", QStringLiteral("Новый блок p&layrandom"), {}, {}, std::nullopt}, nullptr, newBlock);
    c.define(Cmd::A_NewPlaySS, {"A_NewPlaySS", QStringLiteral("Новый блок playsoundscape"), {}, {}, std::nullopt}, nullptr, newBlock);
    c.define(Cmd::A_Comment, {"A_Comment", QStringLiteral("Комментарии..."), QStringLiteral("Комментарии..."), QKeySequence(QStringLiteral("Ctrl+I")), IconId::Comment},
             nullptr, [this] { return m_commentEnabled; });
    auto newElement = [this] { return m_grid->newElementAllowed(); };
    auto waveCell = [this] { return m_grid->waveCell(); };
    auto listing = [this] { return m_grid->listing(); };
    c.define(Cmd::A_NewCategory, {"A_NewCategory", QStringLiteral("Новый..."), {}, {}, IconId::NewElement}, nullptr, newElement);
    c.define(Cmd::A_SelDir, {"A_SelDir", QStringLiteral("Выбрать файл..."), {}, {}, IconId::ChooseFile}, nullptr, waveCell);
    c.define(Cmd::A_Find, {"A_Find", {}, QStringLiteral("Найти..."), QKeySequence(QStringLiteral("Ctrl+F")), IconId::Find}, nullptr,
             [this, listing] { return m_page == TextTab || listing(); });
    c.define(Cmd::A_findis, {"A_findis", QStringLiteral("A_findis"), {}, QKeySequence(QStringLiteral("F3")), std::nullopt}, nullptr, always);
    c.define(Cmd::A_Play_SS, {"A_Play_SS", QStringLiteral("Панель проигрывателя soundscape"), QStringLiteral("Панель проигрывателя soundscape"), {}, IconId::Player},
             nullptr, [this] { return m_playSSEnabled; });
    c.define(Cmd::A_About, {"A_About", QStringLiteral("О программе..."), {}, {}, std::nullopt}, [this] { A_AboutExecute(); }, always);
    c.define(Cmd::A_Help, {"A_Help", QStringLiteral("Справка..."), {}, QKeySequence(QStringLiteral("F1")), IconId::Help},
             [this] { A_HelpExecute(); }, always);
    // The grid's own commands run the main window's handlers.
    c.define(Cmd::Action3, {"Action3", QStringLiteral("Новый..."), QStringLiteral("Новый..."), {}, IconId::NewElement},
             [this] { m_commands.trigger(Cmd::A_NewCategory); }, newElement);
    c.define(Cmd::Action4, {"Action4", QStringLiteral("Выбрать файл..."), QStringLiteral("Выбрать файл..."), {}, IconId::ChooseFile},
             [this] { m_commands.trigger(Cmd::A_SelDir); }, waveCell);
    c.define(Cmd::Action5, {"Action5", QStringLiteral("Найти..."), QStringLiteral("Найти..."), {}, IconId::Find},
             [this] { m_commands.trigger(Cmd::A_Find); }, listing);
    c.define(Cmd::Play, {"Play", QStringLiteral("Play"), {}, QKeySequence(QStringLiteral("Ctrl+P")), IconId::Play}, nullptr,
             [this] { return m_grid->waveFileTest(); });
    c.define(Cmd::A_Vol, {"A_Vol", QStringLiteral("Общая громкость"), {}, {}, IconId::Volume}, nullptr, always);
    // Commands without behaviour, in no menu.
    c.define(Cmd::A_EditCategory, {"A_EditCategory", QStringLiteral("Изменить параметр..."), {}, {}, std::nullopt}, nullptr, always);
    c.define(Cmd::A_OpenResList, {"A_OpenResList", QStringLiteral("A_OpenResList"), {}, {}, std::nullopt}, nullptr, always);
}

void TfSsMain::updateCommands() {
    m_commands.update();
}

// ---------------------------------------------------------------------------------------------
// Layout

void TfSsMain::buildLayout() {
    setWindowTitle(QStringLiteral("Tonvale"));
    setMinimumSize(550, 600);
    resize(728, 657);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    auto* toolbar = addToolBar(QStringLiteral("ActionToolBar1"));
    toolbar->setObjectName(QStringLiteral("ActionToolBar1"));
    toolbar->setMovable(false);
    toolbar->setIconSize(QSize(22, 22));
    toolbar->addAction(m_commands.action(Cmd::A_NewF));
    toolbar->addAction(m_commands.action(Cmd::A_OpenRes));
    toolbar->addSeparator();
    toolbar->addAction(m_commands.action(Cmd::A_SaveRes));
    toolbar->addSeparator();
    toolbar->addAction(m_commands.action(Cmd::A_Settings));
    toolbar->addSeparator();
    toolbar->addAction(m_commands.action(Cmd::A_Comment));
    toolbar->addSeparator();
    toolbar->addAction(m_commands.action(Cmd::A_Play_SS));

    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("PageControl1"));
    m_pages->setDocumentMode(false);

    // Tab "Конструктор": the section tree beside the parameter pane.
    auto* splitter = new QSplitter(Qt::Horizontal);
    splitter->setObjectName(QStringLiteral("Splitter1"));
    splitter->setHandleWidth(4);
    splitter->setChildrenCollapsible(false);
    m_tv1 = new SectionTreeView;
    m_tv1->setObjectName(QStringLiteral("TV1"));
    m_tv1->setModel(m_treeModel);
    m_tv1->setHeaderHidden(true);
    m_tv1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tv1->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tv1->setUniformRowHeights(true);
    m_tv1->setIconSize(QSize(16, 16));
    m_tv1->setMinimumWidth(200);
    m_tv1->setMaximumWidth(465);
    m_tv1->header()->setStretchLastSection(false);
    m_tv1->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    connect(m_tv1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { TV1Change(SectionTreeModel::nodeOf(current)); });
    connect(m_tv1, &QTreeView::clicked, this, [this] { updateCommands(); });

    auto* panel = new QWidget;
    panel->setObjectName(QStringLiteral("Panel1"));
    m_title = new QLabel;
    m_title->setObjectName(QStringLiteral("StaticText1"));
    m_title->setAlignment(Qt::AlignCenter);
    m_title->setFixedHeight(22);
    m_title->setTextFormat(Qt::PlainText);
    m_title->setStyleSheet(QStringLiteral("QLabel { color: navy; font-weight: bold; font-size: 13px; }"));
    m_gridBar = new QToolBar;
    m_gridBar->setObjectName(QStringLiteral("ToolBar1"));
    m_gridBar->setIconSize(QSize(16, 16));
    m_gridBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_gridBar->addAction(m_commands.action(Cmd::Action3));
    m_gridBar->addSeparator();
    m_gridBar->addAction(m_commands.action(Cmd::Action4));
    m_gridBar->addSeparator();
    m_gridBar->addAction(m_commands.action(Cmd::Action5));
    m_gridBar->addSeparator();
    m_gridBar->addAction(m_commands.action(Cmd::Play));
    m_grid = new ParamGrid(&m_tree);
    connect(m_grid, &ParamGrid::commandsChanged, this, [this] { updateCommands(); });
    connect(m_grid, &ParamGrid::edited, this, [this](bool ok) {
        if (!ok)
            m_prompts.message(QStringLiteral("Ошибка сохранения параметра"), QStringLiteral("Сохранить таблицу"), MessageIcon::Error);
        setModified(true);
    });
    connect(m_grid, &ParamGrid::cellSelected, this, [this] { updateCommands(); });
    auto* panelLayout = new QVBoxLayout(panel);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    panelLayout->setSpacing(2);
    panelLayout->addWidget(m_title);
    panelLayout->addWidget(m_gridBar);
    panelLayout->addWidget(m_grid, 1);
    splitter->addWidget(m_tv1);
    splitter->addWidget(panel);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({200, 520});
    auto* treeTab = new QWidget;
    treeTab->setObjectName(QStringLiteral("TabSheet1"));
    auto* treeLayout = new QVBoxLayout(treeTab);
    treeLayout->setContentsMargins(2, 2, 2, 2);
    treeLayout->addWidget(splitter);
    m_pages->addTab(treeTab, QStringLiteral("Конструктор"));

    // Tab "Файл": the script as text.
    auto* textTab = new QWidget;
    textTab->setObjectName(QStringLiteral("TabSheet2"));
    auto* bar = new QWidget;
    bar->setObjectName(QStringLiteral("Panel3"));
    auto* barLayout = new QHBoxLayout(bar);
    barLayout->setContentsMargins(2, 2, 2, 2);
    auto* findButton = new QToolButton;
    findButton->setObjectName(QStringLiteral("SB_Find"));
    findButton->setDefaultAction(m_commands.action(Cmd::A_Find));
    m_fontDown = new QToolButton;
    m_fontDown->setObjectName(QStringLiteral("SpeedButton2"));
    m_fontDown->setText(QStringLiteral("A−"));
    m_fontDown->setToolTip(QStringLiteral("Уменьшить"));
    m_fontUp = new QToolButton;
    m_fontUp->setObjectName(QStringLiteral("SpeedButton3"));
    m_fontUp->setText(QStringLiteral("A+"));
    m_fontUp->setToolTip(QStringLiteral("Увеличить"));
    connect(m_fontDown, &QToolButton::clicked, this, [this] { SpeedButton2Click(); });
    connect(m_fontUp, &QToolButton::clicked, this, [this] { SpeedButton3Click(); });
    barLayout->addWidget(findButton);
    barLayout->addWidget(m_fontDown);
    barLayout->addWidget(m_fontUp);
    barLayout->addStretch();
    m_memo = new QPlainTextEdit;
    m_memo->setObjectName(QStringLiteral("Memo1"));
    m_memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_memo->setTabChangesFocus(false);
    connect(m_memo, &QPlainTextEdit::textChanged, this, [this] { Memo1Change(); });
    m_highlighter = new ScriptHighlighter(m_memo->document());
    connect(m_memo, &QPlainTextEdit::updateRequest, this, [this] { m_highlighter->colourVisible(m_memo); });
    auto* textLayout = new QVBoxLayout(textTab);
    textLayout->setContentsMargins(2, 2, 2, 2);
    textLayout->addWidget(bar);
    textLayout->addWidget(m_memo, 1);
    m_pages->addTab(textTab, QStringLiteral("Файл"));
    connect(m_pages, &QTabWidget::currentChanged, this, &TfSsMain::pageChanged);
    setCentralWidget(m_pages);

    for (std::size_t i = 0; i < m_status.size(); ++i) {
        m_status[i] = new QLabel;
        m_status[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i + 1));
        m_status[i]->setFrameShape(QFrame::StyledPanel);
        m_status[i]->setFrameShadow(QFrame::Sunken);
    }
    // 280 pixels, or what the longer save-mode text needs in this font.
    m_status[0]->setFixedWidth(std::max(280, m_status[0]->fontMetrics().horizontalAdvance(saveModeText(1)) + 16));
    m_status[0]->setAlignment(Qt::AlignCenter);
    // 150 pixels, or what the preview's text of a long wave needs in this font.
    m_status[1]->setFixedWidth(
        std::max(150, m_status[1]->fontMetrics().horizontalAdvance(QStringLiteral("Воспроизведение: 1,2e+02 сек.")) + 16));
    m_status[1]->setAlignment(Qt::AlignCenter);
    m_status[2]->setMinimumWidth(10);
    statusBar()->addWidget(m_status[0]);
    statusBar()->addWidget(m_status[1]);
    statusBar()->addWidget(m_status[2], 1);
}

void TfSsMain::buildMenus() {
    m_fileMenu = menuBar()->addMenu(QStringLiteral("Файл"));
    m_fileMenu->setObjectName(QStringLiteral("menuFile"));
    m_fileMenu->addAction(m_commands.action(Cmd::A_NewF));
    m_fileMenu->addAction(m_commands.action(Cmd::A_OpenRes));
    m_fileMenu->addSeparator();
    m_fileMenu->addAction(m_commands.action(Cmd::A_SaveRes));
    m_fileMenu->addAction(m_commands.action(Cmd::A_SaveAs));
    m_fileMenu->addSeparator();
    m_fileMenu->addAction(m_commands.action(Cmd::A_Exit));
    m_fileMenu->addSeparator();

    QMenu* edit = menuBar()->addMenu(QStringLiteral("Правка"));
    edit->setObjectName(QStringLiteral("menuEdit"));
    edit->addAction(m_commands.action(Cmd::A_NewLoop));
    edit->addAction(m_commands.action(Cmd::A_NewRand));
    edit->addAction(m_commands.action(Cmd::A_NewPlaySS));
    edit->addSeparator();
    edit->addAction(m_commands.action(Cmd::A_NewItem));
    edit->addAction(m_commands.action(Cmd::A_EditItem));
    edit->addSeparator();
    edit->addAction(m_commands.action(Cmd::A_DeleteItem));
    edit->addSeparator();
    edit->addAction(m_commands.action(Cmd::A_Comment));

    QMenu* help = menuBar()->addMenu(QStringLiteral("Помощь"));
    help->setObjectName(QStringLiteral("menuHelp"));
    help->addAction(m_commands.action(Cmd::A_About));
    help->addAction(m_commands.action(Cmd::A_Help));
    for (QMenu* menu : {m_fileMenu, edit, help})
        connect(menu, &QMenu::aboutToShow, this, &TfSsMain::ActionMainMenuBar1Popup);

    buildPopupMenus();
    // Commands that stand in no menu still act through their shortcuts.
    addAction(m_commands.action(Cmd::A_findis));
    addAction(m_commands.action(Cmd::A_ExpAll));
    addAction(m_commands.action(Cmd::A_CollAll));
    addAction(m_commands.action(Cmd::A_Find));
    addAction(m_commands.action(Cmd::Play));
}

// ---------------------------------------------------------------------------------------------
// Start-up and shutdown

QString TfSsMain::settingsFile() const {
    return m_platform.writableFolder() + QString::fromLatin1(SettingsFileName);
}

QString TfSsMain::workingFile() const {
    return m_platform.writableFolder() + QStringLiteral("workfile.txt");
}

QString TfSsMain::saveModeText(int mode) {
    if (mode == 0 || mode == 1)
        return QStringLiteral("Сохранить изменеия (во временный файл \"~\")");
    if (mode == 2)
        return QStringLiteral("Сохранить изменения (в оригинальный файл)");
    return {};
}

void TfSsMain::FormCreate() {
    m_currentFile.clear();
    m_title->clear();
    m_commentEnabled = false;

    IniFile ini;
    ini.load(settingsFile().toStdString());
    m_settings = readSettings(ini, [this] { return m_platform.startdir(QStringLiteral("VPROJECT")); });
    m_currentFile = m_settings.lastFile;
    m_grid->setSoundsFolder(m_settings.sounddir);

    QFont memoFont(QStringLiteral("Monospace"));
    memoFont.setStyleHint(QFont::TypeWriter);
    memoFont.setPointSize(std::max(1, m_settings.fontSize));
    m_memo->setFont(memoFont);
    m_memo->setTabStopDistance(QFontMetricsF(memoFont).horizontalAdvance(QLatin1Char(' ')) * 4);

    LoadMenu();

    if (!m_currentFile.isEmpty() && fileExists(m_currentFile)) {
        if (loadFileHud(m_currentFile) == LoadOutcome::ReadError) {
            setStatus(3, captions::ErrorLoadingFile);
            EnablSaveBut(false);
        } else {
            selectFirstNode();
            m_tv1->setFocus();
        }
    }
    m_pages->setCurrentIndex(TreeTab);
    const QString modeText = saveModeText(m_settings.saveMode);
    if (!modeText.isEmpty())
        setStatus(1, modeText);
    setModified(false);

    if (!m_audio.versionOk()) {
        m_prompts.message(QStringLiteral("An incorrect version of BASS.DLL was loaded"), QString(), MessageIcon::Error);
        m_aborted = true;
        return;
    }
    if (!m_audio.init()) {
        m_prompts.message(audioErrorText(QStringLiteral("Error initializing audio!"), m_audio.errorCode()),
                          QStringLiteral("Инициализация"), MessageIcon::Error);
    }
    updateCommands();
}

void TfSsMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    updateCommands();
}

void TfSsMain::closeEvent(QCloseEvent* event) {
    if (m_aborted) {
        event->accept();
        return;
    }
    if (!keepChanges(QStringLiteral("Выход"))) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

void TfSsMain::FormClose() {
    m_settings.lastFile = m_currentFile;
    m_settings.recent = m_recent.paths();
    m_settings.fontSize = m_memo->font().pointSize();
    m_settings.sounddir = m_grid->soundsFolder();
    IniFile ini;
    const std::string path = settingsFile().toStdString();
    ini.load(path);
    writeSettings(ini, m_settings);
    std::string error;
    if (!ini.save(path, error))
        m_prompts.message(QStringLiteral("Unable to write to ") + settingsFile(), QStringLiteral("TonvaleApp"), MessageIcon::Error);
}

void TfSsMain::FormDestroy() {
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

QString TfSsMain::statusText(int panel) const {
    return panel >= 1 && panel <= 3 ? m_status[static_cast<std::size_t>(panel - 1)]->text() : QString();
}

void TfSsMain::setStatus(int panel, const QString& text) {
    m_status[static_cast<std::size_t>(panel - 1)]->setText(text);
}

QString TfSsMain::titleText() const {
    return m_title->text();
}

void TfSsMain::EnablSaveBut(bool enabled) {
    m_saveEnabled = enabled;
    m_commands.action(Cmd::A_SaveRes)->setEnabled(m_commands.isEnabled(Cmd::A_SaveRes));
}

void TfSsMain::setModified(bool modified) {
    m_modified = modified;
    EnablSaveBut(modified);
}

bool TfSsMain::fileExists(const QString& path) const {
    return !path.isEmpty() && QFileInfo(path).isFile();
}

void TfSsMain::setCaptionFor(const QString& path) {
    setWindowTitle(QStringLiteral("Tonvale [") + QFileInfo(path).fileName() + QLatin1Char(']'));
}

void TfSsMain::showMessage(const Message& message) {
    m_prompts.message(fromUtf8(message.text), fromUtf8(message.caption), message.icon);
}

// ---------------------------------------------------------------------------------------------
// Tree and grid

Node* TfSsMain::selectedNode() const {
    return SectionTreeModel::nodeOf(m_tv1->currentIndex());
}

void TfSsMain::selectNode(Node* node) {
    const QModelIndex at = m_treeModel->indexOf(node);
    m_tv1->setCurrentIndex(at);
    if (at.isValid())
        m_tv1->scrollTo(at);
}

void TfSsMain::selectFirstNode() {
    if (!m_tree.empty())
        selectNode(m_tree.first());
}

void TfSsMain::TV1Change(Node* node) {
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

void TfSsMain::A_ExpAllExecute(bool expand) {
    if (m_tree.empty())
        return;
    m_tv1->setUpdatesEnabled(false);
    if (expand)
        m_tv1->expandAll();
    else
        m_tv1->collapseAll();
    m_tv1->setUpdatesEnabled(true);
}

void TfSsMain::A_AboutExecute() {
    m_prompts.message(QStringLiteral("Tonvale\nРедактор soundscape-скриптов с прослушиванием звуков."),
                      QStringLiteral("О программе"), MessageIcon::Information);
}

void TfSsMain::A_HelpExecute() {
    const QString help = m_platform.programFolder() + QStringLiteral("HelpTNV.chm");
    if (fileExists(help))
        m_platform.openDocument(help);
    else
        m_prompts.message(QStringLiteral("Sorry, cannot file exists"), QStringLiteral("Справка"), MessageIcon::Error);
}

} // namespace tonvale
