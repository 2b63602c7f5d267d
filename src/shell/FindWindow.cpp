// SPDX-License-Identifier: MIT
#include "shell/FindWindow.h"

#include "dialogs/Prompts.h"
#include "editor/ParamGrid.h"
#include "editor/ScriptHighlighter.h"
#include "editor/TextFind.h"
#include "editor/UpdatesFrozen.h"
#include "shell/MainWindow.h"
#include "shell/TextPage.h"

#include <QCloseEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTabBar>
#include <QTabWidget>
#include <QTextCursor>
#include <vector>

namespace tonvale {

namespace {
constexpr int FindTab = 0;
constexpr int ReplaceTab = 1;
constexpr int Margin = 8;
constexpr int Gap = 6;
} // namespace

FindWindow::FindWindow(MainWindow& main, Prompts& prompts)
    : QWidget(&main, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint),
      m_main(main), m_prompts(prompts) {
    setObjectName(QStringLiteral("FindWindow"));
    setWindowTitle(tr("Поиск"));

    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("pages"));
    m_findPage = new QWidget;
    m_findPage->setObjectName(QStringLiteral("treeTab"));
    m_replacePage = new QWidget;
    m_replacePage->setObjectName(QStringLiteral("textTab"));
    m_pages->addTab(m_findPage, tr("Найти"));
    m_pages->addTab(m_replacePage, tr("Заменить"));

    auto button = [](QWidget* page, const char* name, const QString& caption) {
        auto* b = new QPushButton(caption, page);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };
    m_bevel = new QFrame(m_findPage);
    m_bevel->setObjectName(QStringLiteral("frame"));
    m_bevel->setFrameShape(QFrame::StyledPanel);
    m_bevel->setFrameShadow(QFrame::Sunken);
    m_findLabel = new QLabel(tr("Найти"), m_findPage);
    m_findLabel->setObjectName(QStringLiteral("findLabel"));
    m_findEdit = new QLineEdit(m_findPage);
    m_findEdit->setObjectName(QStringLiteral("findText"));
    m_findLabel->setBuddy(m_findEdit);
    m_searchButton = button(m_findPage, "searchButton", tr("Искать"));
    m_searchButton->setToolTip(tr("Поиск (F3)"));
    m_searchButton->setDefault(true);
    m_closeButton = button(m_findPage, "closeButton", tr("Закрыть"));
    m_replaceLabel = new QLabel(tr("Заменить на"), m_replacePage);
    m_replaceLabel->setObjectName(QStringLiteral("replaceLabel"));
    m_replaceEdit = new QLineEdit(m_replacePage);
    m_replaceEdit->setObjectName(QStringLiteral("replacementText"));
    m_replaceLabel->setBuddy(m_replaceEdit);
    m_replaceButton = button(m_replacePage, "replaceButton", tr("Заменить"));
    m_replaceAllButton = button(m_replacePage, "replaceAllButton", tr("Заменить все"));

    connect(m_searchButton, &QPushButton::clicked, this, [this] { search(); });
    connect(m_closeButton, &QPushButton::clicked, this, [this] { close(); });
    connect(m_replaceButton, &QPushButton::clicked, this, [this] { replaceOne(); });
    connect(m_replaceAllButton, &QPushButton::clicked, this, [this] { replaceAll(); });
    connect(m_pages, &QTabWidget::currentChanged, this, [this] { moveSharedControls(); });
    m_findPage->installEventFilter(this);
    m_replacePage->installEventFilter(this);

    // The same key as in the main window: F3 repeats the search while this window has the focus.
    auto* f3 = new QShortcut(QKeySequence(Qt::Key_F3), this);
    connect(f3, &QShortcut::activated, this, [this] { m_main.commands().trigger(CommandId::FindAgain); });

    m_main.commands().setExecute(CommandId::Find, [this] { showFind(); });
    m_main.commands().setExecute(CommandId::FindAgain, [this] { findAgain(); });
    connect(&m_main, &MainWindow::tabChanged, this, [this] {
        if (m_open)
            adaptToMainTab();
    });

    // 310 x 155, or what the captions need in the font of this machine.
    const int editHeight = m_findEdit->sizeHint().height();
    const int labelHeight = m_findLabel->sizeHint().height();
    const int buttonHeight = m_searchButton->sizeHint().height();
    const int buttonsWidth = m_replaceButton->sizeHint().width() + m_replaceAllButton->sizeHint().width() +
                             m_closeButton->sizeHint().width() + 2 * Gap + 2 * Margin;
    const int pageHeight =
        Margin + 2 * (labelHeight + editHeight + Gap) + Margin + Gap + buttonHeight + Margin;
    const int chrome = m_pages->tabBar()->sizeHint().height() + 8;
    setFixedSize(std::max(310, buttonsWidth + 8), std::max(155, pageHeight + chrome));
    m_pages->setGeometry(rect());
    m_pages->setCurrentIndex(FindTab);
    moveSharedControls();
}

FindWindow::~FindWindow() {
    // The main window may outlive this window: its commands must not reach it any more.
    m_main.commands().setExecute(CommandId::Find, nullptr);
    m_main.commands().setExecute(CommandId::FindAgain, nullptr);
}

// ---------------------------------------------------------------------------------------------
// Showing, closing and following the main window

void FindWindow::showFind() {
    if (!onTextTab() && !m_main.grid()->isEnabled())
        return;
    if (!isVisible())
        show();
    raise();
    activateWindow();
}

void FindWindow::findAgain() {
    if (!onTextTab() || m_main.textEditor()->document()->isEmpty() || m_findEdit->text().isEmpty())
        return;
    search();
}

void FindWindow::showEvent(QShowEvent* event) {
    if (!event->spontaneous())
        onShown();
    QWidget::showEvent(event);
}

void FindWindow::onShown() {
    m_pages->setCurrentIndex(FindTab);
    m_next = 0;
    moveSharedControls();
    m_open = true;
    adaptToMainTab();
    move(m_main.geometry().center() - QPoint(width() / 2, height() / 2));
    // What is typed replaces the last search text rather than being appended to it.
    m_findEdit->selectAll();
    m_findEdit->setFocus();
}

void FindWindow::closeEvent(QCloseEvent* event) {
    onClosed();
    QWidget::closeEvent(event);
}

void FindWindow::onClosed() {
    m_main.grid()->gridModel()->setSearchMode(false);
    m_open = false;
    m_main.grid()->viewport()->update();
}

void FindWindow::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Escape:
        close();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (auto* focused = qobject_cast<QPushButton*>(focusWidget()))
            focused->click();
        else
            search();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

bool FindWindow::onTextTab() const {
    return m_main.pages()->currentIndex() == MainWindow::TextTab;
}

void FindWindow::adaptToMainTab() {
    if (onTextTab()) {
        setWindowTitle(tr("Найти"));
        m_pages->setTabVisible(ReplaceTab, true);
        m_main.grid()->gridModel()->setSearchMode(false);
    } else {
        m_pages->setTabVisible(ReplaceTab, false);
        setWindowTitle(tr("Найти в таблице"));
        m_main.grid()->gridModel()->setSearchMode(true);
    }
    moveSharedControls();
}

// The find text, its label, the frame and "Закрыть" belong to whichever tab is active.
void FindWindow::moveSharedControls() {
    QWidget* page = m_pages->currentIndex() == ReplaceTab ? m_replacePage : m_findPage;
    for (QWidget* shared : {static_cast<QWidget*>(m_bevel), static_cast<QWidget*>(m_findLabel),
                            static_cast<QWidget*>(m_findEdit), static_cast<QWidget*>(m_closeButton)}) {
        if (shared->parentWidget() != page)
            shared->setParent(page);
        shared->show();
    }
    m_bevel->lower();
    placeControls();
    m_findEdit->setFocus();
}

void FindWindow::placeControls() {
    QWidget* page = m_bevel->parentWidget();
    const bool replacing = page == m_replacePage;
    const int width = page->width();
    const int labelHeight = m_findLabel->sizeHint().height();
    const int editHeight = m_findEdit->sizeHint().height();
    const int inner = Margin + 4;
    int y = Margin + 4;
    m_findLabel->setGeometry(inner, y, width - 2 * inner, labelHeight);
    y += labelHeight + 2;
    m_findEdit->setGeometry(inner, y, width - 2 * inner, editHeight);
    y += editHeight + Gap;
    if (replacing) {
        m_replaceLabel->setGeometry(inner, y, width - 2 * inner, labelHeight);
        y += labelHeight + 2;
        m_replaceEdit->setGeometry(inner, y, width - 2 * inner, editHeight);
        y += editHeight + Gap;
    }
    m_bevel->setGeometry(Margin / 2, Margin / 2, width - Margin, y - Margin / 2);
    y += Gap;
    const std::vector<QPushButton*> row =
        replacing ? std::vector<QPushButton*>{m_replaceButton, m_replaceAllButton, m_closeButton}
                  : std::vector<QPushButton*>{m_searchButton, m_closeButton};
    int x = width - Margin;
    for (auto it = row.rbegin(); it != row.rend(); ++it) {
        const QSize size = (*it)->sizeHint().expandedTo(QSize(80, 0));
        x -= size.width();
        (*it)->setGeometry(x, y, size.width(), size.height());
        x -= Gap;
    }
}

bool FindWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize && watched == m_bevel->parentWidget())
        placeControls();
    return QWidget::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------------------------
// Searching

bool FindWindow::askAgain(const QString& text, const QString& caption) {
    return m_prompts.message(text, caption, MessageIcon::Question, YesButton | NoButtonAnswer, YesButton) ==
           YesButton;
}

void FindWindow::search() {
    if (m_findEdit->text().isEmpty())
        return;
    if (onTextTab())
        searchEditor();
    else
        searchGrid();
}

void FindWindow::selectInEditor(std::size_t at, qsizetype length) {
    QPlainTextEdit* textEditor = m_main.textEditor();
    QTextCursor cursor = textEditor->textCursor();
    cursor.setPosition(static_cast<int>(at - 1));
    cursor.setPosition(static_cast<int>(at - 1 + static_cast<std::size_t>(length)), QTextCursor::KeepAnchor);
    textEditor->setTextCursor(cursor);
}

void FindWindow::searchEditor() {
    const QString find = m_findEdit->text();
    const FoldedText text(m_main.textPage()->editorText());
    for (;;) {
        const std::size_t at = text.find(m_next, find);
        m_next = at;
        if (at != 0) {
            selectInEditor(at, find.size());
            m_main.textEditor()->setFocus();
            m_next = at + static_cast<std::size_t>(find.size()) + 1;
            return;
        }
        if (!askAgain(tr("Поиск завершен. Повторить поиск?"), tr("Поиск")))
            return;
        m_next = 0;
    }
}

bool FindWindow::searchGridFrom(int row, int column) {
    ParamGrid* grid = m_main.grid();
    ParamGridModel* model = grid->gridModel();
    const QString find = foldCase(m_findEdit->text());
    for (; row < model->dataRows(); ++row) {
        if (!foldCase(model->cellText(row, column)).contains(find))
            continue;
        const QModelIndex at = model->index(row, column);
        grid->setCurrentIndex(at);
        grid->scrollTo(at);
        model->setSearchMatch(true);
        grid->viewport()->update();
        return true;
    }
    return false;
}

void FindWindow::searchGrid() {
    ParamGrid* grid = m_main.grid();
    ParamGridModel* model = grid->gridModel();
    const int column = model->currentColumn();
    const int current = model->currentRow();
    int start = current == model->dataRows() - 1 ? current : current + 1;
    for (;;) {
        if (searchGridFrom(std::max(start, 0), column))
            return;
        model->setSearchMatch(false);
        grid->viewport()->update();
        if (!askAgain(tr("Поиск по столбцу %1 завершен. Повтороить поиск?").arg(column + 1), tr("Найти")))
            return;
        // Starting again makes the first row current and examines it too.
        if (model->dataRows() > 0)
            grid->setCurrentIndex(model->index(0, column));
        start = 0;
    }
}

// ---------------------------------------------------------------------------------------------
// Replacing

void FindWindow::replaceOne() {
    const QString find = m_findEdit->text();
    if (find.isEmpty())
        return;
    QPlainTextEdit* textEditor = m_main.textEditor();
    for (;;) {
        const std::size_t at = FoldedText(m_main.textPage()->editorText()).find(m_next, find);
        m_next = at;
        if (at != 0) {
            selectInEditor(at, find.size());
            const QString replacement = m_replaceEdit->text();
            QTextCursor cursor = textEditor->textCursor();
            cursor.insertText(replacement);
            textEditor->setTextCursor(cursor);
            m_next = at + static_cast<std::size_t>(replacement.size()) + 1;
            textEditor->setFocus();
            return;
        }
        if (!askAgain(tr("Поиск завершен. Повторить поиск с заменой?"), tr("Заменить")))
            return;
        m_next = 0;
    }
}

void FindWindow::replaceAll() {
    const QString find = m_findEdit->text();
    if (find.isEmpty())
        return;
    QPlainTextEdit* textEditor = m_main.textEditor();
    const ReplaceAllPlan plan =
        planReplaceAll(m_main.textPage()->editorText(), m_next, find, m_replaceEdit->text());
    setUpdatesFrozen(textEditor, true);
    if (plan.count > 0) {
        // One edit of the document (and one undo step) for all the replacements.
        QTextCursor cursor = textEditor->textCursor();
        cursor.setPosition(static_cast<int>(plan.begin));
        cursor.setPosition(static_cast<int>(plan.end), QTextCursor::KeepAnchor);
        m_main.textPage()->highlighter()->setDeferred(true);
        cursor.beginEditBlock();
        cursor.insertText(plan.replacement);
        cursor.endEditBlock();
        m_main.textPage()->highlighter()->setDeferred(false);
        textEditor->setTextCursor(cursor);
    }
    setUpdatesFrozen(textEditor, false);
    m_main.textPage()->highlighter()->colourVisible(textEditor);
    m_prompts.message(tr("Поиск с заменой завершен\rЗаменено: %1").arg(plan.count), tr("Заменить все"),
                      MessageIcon::Information);
    m_next = 0;
}

} // namespace tonvale
