#include "shell/TfFind.h"

#include "editor/LockControl.h"
#include "editor/ParamGrid.h"
#include "editor/ScriptHighlighter.h"
#include "editor/TextFind.h"
#include "shell/Prompts.h"
#include "shell/TfSsMain.h"

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

TfFind::TfFind(TfSsMain& main, Prompts& prompts)
    : QWidget(&main, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint),
      m_main(main), m_prompts(prompts) {
    setObjectName(QStringLiteral("TfFind"));
    setWindowTitle(QStringLiteral("Поиск"));

    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("PageControl1"));
    m_findPage = new QWidget;
    m_findPage->setObjectName(QStringLiteral("TabSheet1"));
    m_replacePage = new QWidget;
    m_replacePage->setObjectName(QStringLiteral("TabSheet2"));
    m_pages->addTab(m_findPage, QStringLiteral("Найти"));
    m_pages->addTab(m_replacePage, QStringLiteral("Заменить"));

    auto button = [](QWidget* page, const char* name, const QString& caption) {
        auto* b = new QPushButton(caption, page);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };
    m_bevel = new QFrame(m_findPage);
    m_bevel->setObjectName(QStringLiteral("Bevel1"));
    m_bevel->setFrameShape(QFrame::StyledPanel);
    m_bevel->setFrameShadow(QFrame::Sunken);
    m_label1 = new QLabel(QStringLiteral("Найти"), m_findPage);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_edit1 = new QLineEdit(m_findPage);
    m_edit1->setObjectName(QStringLiteral("Edit1"));
    m_label1->setBuddy(m_edit1);
    m_button1 = button(m_findPage, "Button1", QStringLiteral("Искать"));
    m_button1->setToolTip(QStringLiteral("Поиск (F3)"));
    m_button1->setDefault(true);
    m_button2 = button(m_findPage, "Button2", QStringLiteral("Закрыть"));
    m_label3 = new QLabel(QStringLiteral("Заменить на"), m_replacePage);
    m_label3->setObjectName(QStringLiteral("Label3"));
    m_edit2 = new QLineEdit(m_replacePage);
    m_edit2->setObjectName(QStringLiteral("Edit2"));
    m_label3->setBuddy(m_edit2);
    m_button3 = button(m_replacePage, "Button3", QStringLiteral("Заменить"));
    m_button5 = button(m_replacePage, "Button5", QStringLiteral("Заменить все"));

    connect(m_button1, &QPushButton::clicked, this, [this] { findvulg(); });
    connect(m_button2, &QPushButton::clicked, this, [this] { close(); });
    connect(m_button3, &QPushButton::clicked, this, [this] { Button3Click(); });
    connect(m_button5, &QPushButton::clicked, this, [this] { Button5Click(); });
    connect(m_pages, &QTabWidget::currentChanged, this, [this] { parentconrolEd(); });
    m_findPage->installEventFilter(this);
    m_replacePage->installEventFilter(this);

    // The same key as in the main window: F3 repeats the search while this window has the focus.
    auto* f3 = new QShortcut(QKeySequence(Qt::Key_F3), this);
    connect(f3, &QShortcut::activated, this, [this] { m_main.commands().trigger(Cmd::A_findis); });

    m_main.commands().setExecute(Cmd::A_Find, [this] { A_FindExecute(); });
    m_main.commands().setExecute(Cmd::A_findis, [this] { A_findisExecute(); });
    connect(&m_main, &TfSsMain::tabChanged, this, [this] {
        if (m_open)
            adaptToMainTab();
    });

    // 310 x 155, or what the captions need in the font of this machine.
    const int editHeight = m_edit1->sizeHint().height();
    const int labelHeight = m_label1->sizeHint().height();
    const int buttonHeight = m_button1->sizeHint().height();
    const int buttonsWidth = m_button3->sizeHint().width() + m_button5->sizeHint().width() +
                             m_button2->sizeHint().width() + 2 * Gap + 2 * Margin;
    const int pageHeight = Margin + 2 * (labelHeight + editHeight + Gap) + Margin + Gap + buttonHeight + Margin;
    const int chrome = m_pages->tabBar()->sizeHint().height() + 8;
    setFixedSize(std::max(310, buttonsWidth + 8), std::max(155, pageHeight + chrome));
    m_pages->setGeometry(rect());
    m_pages->setCurrentIndex(FindTab);
    parentconrolEd();
}

TfFind::~TfFind() {
    // The main window may outlive this window: its commands must not reach it any more.
    m_main.commands().setExecute(Cmd::A_Find, nullptr);
    m_main.commands().setExecute(Cmd::A_findis, nullptr);
}

// ---------------------------------------------------------------------------------------------
// Showing, closing and following the main window

void TfFind::A_FindExecute() {
    if (!onTextTab() && !m_main.grid()->isEnabled())
        return;
    if (!isVisible())
        show();
    raise();
    activateWindow();
}

void TfFind::A_findisExecute() {
    if (!onTextTab() || m_main.memo()->document()->isEmpty() || m_edit1->text().isEmpty())
        return;
    findvulg();
}

void TfFind::showEvent(QShowEvent* event) {
    if (!event->spontaneous())
        FormShow();
    QWidget::showEvent(event);
}

void TfFind::FormShow() {
    m_pages->setCurrentIndex(FindTab);
    m_next = 0;
    parentconrolEd();
    m_open = true;
    adaptToMainTab();
    move(m_main.geometry().center() - QPoint(width() / 2, height() / 2));
}

void TfFind::closeEvent(QCloseEvent* event) {
    FormClose();
    QWidget::closeEvent(event);
}

void TfFind::FormClose() {
    m_main.grid()->gridModel()->setSearchMode(false);
    m_open = false;
    m_main.grid()->viewport()->update();
}

void TfFind::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Escape:
        close();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (auto* focused = qobject_cast<QPushButton*>(focusWidget()))
            focused->click();
        else
            findvulg();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

bool TfFind::onTextTab() const {
    return m_main.pages()->currentIndex() == TfSsMain::TextTab;
}

void TfFind::adaptToMainTab() {
    if (onTextTab()) {
        setWindowTitle(QStringLiteral("Найти"));
        m_pages->setTabVisible(ReplaceTab, true);
        m_main.grid()->gridModel()->setSearchMode(false);
    } else {
        m_pages->setTabVisible(ReplaceTab, false);
        setWindowTitle(QStringLiteral("Найти в таблице"));
        m_main.grid()->gridModel()->setSearchMode(true);
    }
    parentconrolEd();
}

// The find text, its label, the frame and "Закрыть" belong to whichever tab is active.
void TfFind::parentconrolEd() {
    QWidget* page = m_pages->currentIndex() == ReplaceTab ? m_replacePage : m_findPage;
    for (QWidget* shared : {static_cast<QWidget*>(m_bevel), static_cast<QWidget*>(m_label1),
                            static_cast<QWidget*>(m_edit1), static_cast<QWidget*>(m_button2)}) {
        if (shared->parentWidget() != page)
            shared->setParent(page);
        shared->show();
    }
    m_bevel->lower();
    placeControls();
    m_edit1->setFocus();
}

void TfFind::placeControls() {
    QWidget* page = m_bevel->parentWidget();
    const bool replacing = page == m_replacePage;
    const int width = page->width();
    const int labelHeight = m_label1->sizeHint().height();
    const int editHeight = m_edit1->sizeHint().height();
    const int inner = Margin + 4;
    int y = Margin + 4;
    m_label1->setGeometry(inner, y, width - 2 * inner, labelHeight);
    y += labelHeight + 2;
    m_edit1->setGeometry(inner, y, width - 2 * inner, editHeight);
    y += editHeight + Gap;
    if (replacing) {
        m_label3->setGeometry(inner, y, width - 2 * inner, labelHeight);
        y += labelHeight + 2;
        m_edit2->setGeometry(inner, y, width - 2 * inner, editHeight);
        y += editHeight + Gap;
    }
    m_bevel->setGeometry(Margin / 2, Margin / 2, width - Margin, y - Margin / 2);
    y += Gap;
    const std::vector<QPushButton*> row =
        replacing ? std::vector<QPushButton*>{m_button3, m_button5, m_button2} : std::vector<QPushButton*>{m_button1, m_button2};
    int x = width - Margin;
    for (auto it = row.rbegin(); it != row.rend(); ++it) {
        const QSize size = (*it)->sizeHint().expandedTo(QSize(80, 0));
        x -= size.width();
        (*it)->setGeometry(x, y, size.width(), size.height());
        x -= Gap;
    }
}

bool TfFind::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize && watched == m_bevel->parentWidget())
        placeControls();
    return QWidget::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------------------------
// Searching

bool TfFind::askAgain(const QString& text, const QString& caption) {
    return m_prompts.message(text, caption, MessageIcon::Question, YesButton | NoButtonAnswer, YesButton) == YesButton;
}

void TfFind::findvulg() {
    if (m_edit1->text().isEmpty())
        return;
    if (onTextTab())
        searchEditor();
    else
        searchGrid();
}

void TfFind::selectInMemo(std::size_t at, qsizetype length) {
    QPlainTextEdit* memo = m_main.memo();
    QTextCursor cursor = memo->textCursor();
    cursor.setPosition(static_cast<int>(at - 1));
    cursor.setPosition(static_cast<int>(at - 1 + static_cast<std::size_t>(length)), QTextCursor::KeepAnchor);
    memo->setTextCursor(cursor);
}

void TfFind::searchEditor() {
    const QString find = m_edit1->text();
    const FoldedText text(m_main.memoText());
    for (;;) {
        const std::size_t at = text.find(m_next, find);
        m_next = at;
        if (at != 0) {
            selectInMemo(at, find.size());
            m_main.memo()->setFocus();
            m_next = at + static_cast<std::size_t>(find.size()) + 1;
            return;
        }
        if (!askAgain(QStringLiteral("Поиск завершен. Повторить поиск?"), QStringLiteral("Поиск")))
            return;
        m_next = 0;
    }
}

bool TfFind::searchGridFrom(int row, int column) {
    ParamGrid* grid = m_main.grid();
    ParamGridModel* model = grid->gridModel();
    const QString find = foldCase(m_edit1->text());
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

void TfFind::searchGrid() {
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
        if (!askAgain(QStringLiteral("Поиск по столбцу %1 завершен. Повтороить поиск?").arg(column + 1), QStringLiteral("Найти")))
            return;
        // Starting again makes the first row current and examines it too.
        if (model->dataRows() > 0)
            grid->setCurrentIndex(model->index(0, column));
        start = 0;
    }
}

// ---------------------------------------------------------------------------------------------
// Replacing

void TfFind::Button3Click() {
    const QString find = m_edit1->text();
    if (find.isEmpty())
        return;
    QPlainTextEdit* memo = m_main.memo();
    for (;;) {
        const std::size_t at = FoldedText(m_main.memoText()).find(m_next, find);
        m_next = at;
        if (at != 0) {
            selectInMemo(at, find.size());
            const QString replacement = m_edit2->text();
            QTextCursor cursor = memo->textCursor();
            cursor.insertText(replacement);
            memo->setTextCursor(cursor);
            m_next = at + static_cast<std::size_t>(replacement.size()) + 1;
            memo->setFocus();
            return;
        }
        if (!askAgain(QStringLiteral("Поиск завершен. Повторить поиск с заменой?"), QStringLiteral("Заменить")))
            return;
        m_next = 0;
    }
}

void TfFind::Button5Click() {
    const QString find = m_edit1->text();
    if (find.isEmpty())
        return;
    QPlainTextEdit* memo = m_main.memo();
    const ReplaceAllPlan plan = planReplaceAll(m_main.memoText(), m_next, find, m_edit2->text());
    LockControl(memo, true);
    if (plan.count > 0) {
        // One edit of the document (and one undo step) for all the replacements.
        QTextCursor cursor = memo->textCursor();
        cursor.setPosition(static_cast<int>(plan.begin));
        cursor.setPosition(static_cast<int>(plan.end), QTextCursor::KeepAnchor);
        m_main.highlighter()->setDeferred(true);
        cursor.beginEditBlock();
        cursor.insertText(plan.replacement);
        cursor.endEditBlock();
        m_main.highlighter()->setDeferred(false);
        memo->setTextCursor(cursor);
    }
    LockControl(memo, false);
    m_main.highlighter()->colourVisible(memo);
    m_prompts.message(QStringLiteral("Поиск с заменой завершен"), QStringLiteral("Заменить все"), MessageIcon::Information);
    m_next = 0;
}

} // namespace tonvale
