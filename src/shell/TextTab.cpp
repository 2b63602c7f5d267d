// The tab "Файл": the whole script as text in the editor. The tree and the text are two views of one
// document and only the active one is edited; a change of tab converts one into the other through the
// working file. Arriving on the text tab writes the tree with the writer and shows that text; leaving
// it checks the braces, writes the editor's lines and loads them back with the loader. A change that
// would fail (too few nodes, unbalanced braces) is refused and the tab stays as it was.

#include "document/TextHelpers.h"
#include "document/Writer.h"
#include "editor/QtText.h"
#include "editor/ScriptHighlighter.h"
#include "editor/SectionTreeModel.h"
#include "shell/MainWindow.h"
#include "shell/Prompts.h"

#include <QFontMetricsF>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolButton>
#include <QTreeView>

namespace tonvale {

namespace {
constexpr int SmallestFont = 8;
constexpr int LargestFont = 14;
constexpr int FontStep = 2;

void setFontSize(QPlainTextEdit* textEditor, int size) {
    QFont font = textEditor->font();
    font.setPointSize(size);
    textEditor->setFont(font);
    textEditor->setTabStopDistance(QFontMetricsF(font).horizontalAdvance(QLatin1Char(' ')) * 4);
}
} // namespace

QString MainWindow::editorText() const {
    // The raw text keeps no-break spaces, which the plain-text form turns into blanks; only the
    // document's own line separators become line breaks.
    QString text = m_textEditor->document()->toRawText();
    QChar* chars = text.data();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = chars[i].unicode();
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator || c == 0xFDD0 || c == 0xFDD1)
            chars[i] = QLatin1Char('\n');
    }
    return text;
}

std::string MainWindow::editorBytes() const {
    const std::string text = qstringToScript(editorText());
    std::string bytes;
    bytes.reserve(text.size() + text.size() / 16);
    LineCursor lines(text);
    for (std::string_view line; lines.next(line);) {
        bytes.append(line);
        bytes.append("\r\n");
    }
    return bytes;
}

void MainWindow::pageChanged(int index) {
    if (m_switchingPage || index == m_page)
        return;
    const int from = m_page;
    if (!canLeaveTab(from)) {
        m_switchingPage = true;
        m_pages->setCurrentIndex(from);
        m_switchingPage = false;
        return;
    }
    m_page = index;
    onTabEntered(index);
    updateCommands();
    emit tabChanged(index);
}

bool MainWindow::canLeaveTab(int from) {
    if (from == TreeTab)
        return m_tree.size() > 1; // an empty document, or the end marker alone, has no text to show
    if (m_textEditor->document()->isEmpty())
        return true;
    if (!scriptBracesBalanced(editorBytes())) {
        m_prompts.message(
            QStringLiteral("Ошибка. Не найдена одна или несколько открывающих(закрывающих) фигурных скобок"),
            QStringLiteral("Сохранение временного файла"), MessageIcon::Error);
        m_textEditor->document()->setModified(false);
        return false;
    }
    return true;
}

void MainWindow::onTabEntered(int to) {
    // The conversions do not depend on the current file still being on disk: the editor never shows
    // the text of another document, and what it shows always goes back into the tree.
    if (to == TextTab) {
        setSaveEnabled(false);
        m_commentEnabled = false;
        if (!m_tree.empty()) {
            const WriteResult written = writeScript(m_tree);
            if (!written.ok) {
                showMessage(written.message);
            } else if (writeBytes(workingFile(), written.bytes)) {
                showText(written.bytes);
                setSaveEnabled(m_modified);
            }
        }
        locateSelectedInText();
        return;
    }
    if (fileExists(m_currentFile) && !m_tree.empty()) {
        setSaveEnabled(true);
        m_commentEnabled = true;
    }
    if (!m_tree.empty() && !m_textEditor->document()->isEmpty()) {
        if (writeBytes(workingFile(), editorBytes())) {
            loadFile(workingFile());
            m_textEditor->document()->setModified(false);
            setSaveEnabled(m_modified);
        }
    }
    if (selectedNode() != nullptr)
        m_treeView->setFocus();
}

void MainWindow::locateSelectedInText() {
    // Only headers and "$" lines are looked for: a parameter's text is rarely unique in the script.
    const Node* node = selectedNode();
    if (node == nullptr || m_tree.isEndMarker(node) || m_textEditor->document()->isEmpty() ||
        node->text().empty())
        return;
    if (!node->hasChildren() && node->text().front() != '$')
        return;
    const std::size_t at = textSearch(1, qstringToScriptUnits(editorText()), node->text());
    if (at == 0)
        return;
    QTextCursor cursor = m_textEditor->textCursor();
    cursor.setPosition(static_cast<int>(at - 1));
    cursor.setPosition(static_cast<int>(at - 1 + node->text().size()), QTextCursor::KeepAnchor);
    m_textEditor->setTextCursor(cursor);
    m_textEditor->setFocus();
}

void MainWindow::showText(const std::string& scriptBytes) {
    m_loadingText = true;
    m_highlighter->setDeferred(true);
    m_textEditor->setPlainText(scriptToQString(scriptBytes));
    m_highlighter->setDeferred(false);
    m_textEditor->document()->setModified(false);
    m_loadingText = false;
    m_highlighter->colourVisible(m_textEditor);
}

void MainWindow::onTextEdited() {
    // Loading text into the editor does not count as a change; typing, pasting and replacing do.
    if (m_loadingText || !m_textEditor->document()->isModified())
        return;
    if (!m_modified || !m_saveEnabled)
        setModified(true);
}

void MainWindow::decreaseFontSize() {
    int size = m_textEditor->font().pointSize();
    m_settings.fontSize = size;
    if (size <= SmallestFont) {
        m_fontDown->setEnabled(false);
        m_fontUp->setEnabled(true);
        return;
    }
    size -= FontStep;
    if (size != SmallestFont && size != LargestFont) {
        m_fontDown->setEnabled(true);
        m_fontUp->setEnabled(true);
    }
    setFontSize(m_textEditor, size);
    m_settings.fontSize = size;
}

void MainWindow::increaseFontSize() {
    int size = m_textEditor->font().pointSize();
    m_settings.fontSize = size;
    if (size >= LargestFont) {
        m_fontUp->setEnabled(false);
        m_fontDown->setEnabled(true);
        return;
    }
    size += FontStep;
    if (size != SmallestFont && size != LargestFont) {
        m_fontDown->setEnabled(true);
        m_fontUp->setEnabled(true);
    }
    setFontSize(m_textEditor, size);
    m_settings.fontSize = size;
}

} // namespace tonvale
