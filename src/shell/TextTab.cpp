// The tab "Файл": the whole script as text in the editor. The tree and the text are two views of one
// document and only the active one is edited; a change of tab converts one into the other through the
// working file. Arriving on the text tab writes the tree with the writer and shows that text; leaving
// it checks the braces, writes the editor's lines and loads them back with the loader. A change that
// would fail (too few nodes, unbalanced braces) is refused and the tab stays as it was.

#include "shell/TfSsMain.h"

#include "document/TextHelpers.h"
#include "document/Writer.h"
#include "editor/QtText.h"
#include "editor/ScriptHighlighter.h"
#include "editor/SectionTreeModel.h"
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

void setFontSize(QPlainTextEdit* memo, int size) {
    QFont font = memo->font();
    font.setPointSize(size);
    memo->setFont(font);
    memo->setTabStopDistance(QFontMetricsF(font).horizontalAdvance(QLatin1Char(' ')) * 4);
}
} // namespace

QString TfSsMain::memoText() const {
    // The raw text keeps no-break spaces, which the plain-text form turns into blanks; only the
    // document's own line separators become line breaks.
    QString text = m_memo->document()->toRawText();
    QChar* chars = text.data();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = chars[i].unicode();
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator || c == 0xFDD0 || c == 0xFDD1)
            chars[i] = QLatin1Char('\n');
    }
    return text;
}

std::string TfSsMain::memoBytes() const {
    const std::string text = qstringToScript(memoText());
    std::string bytes;
    bytes.reserve(text.size() + text.size() / 16);
    LineCursor lines(text);
    for (std::string_view line; lines.next(line);) {
        bytes.append(line);
        bytes.append("\r\n");
    }
    return bytes;
}

void TfSsMain::pageChanged(int index) {
    if (m_switchingPage || index == m_page)
        return;
    const int from = m_page;
    if (!PageControl1Changing(from)) {
        m_switchingPage = true;
        m_pages->setCurrentIndex(from);
        m_switchingPage = false;
        return;
    }
    m_page = index;
    PageControl1Change(index);
    updateCommands();
    emit tabChanged(index);
}

bool TfSsMain::PageControl1Changing(int from) {
    if (from == TreeTab)
        return m_tree.size() > 1;  // an empty document, or the end marker alone, has no text to show
    if (m_memo->document()->isEmpty())
        return true;
    if (!resValidScript(memoBytes())) {
        m_prompts.message(QStringLiteral("Ошибка. Не найдена одна или несколько открывающих(закрывающих) фигурных скобок"),
                          QStringLiteral("Сохранение временного файла"), MessageIcon::Error);
        m_memo->document()->setModified(false);
        return false;
    }
    return true;
}

void TfSsMain::PageControl1Change(int to) {
    // The conversions do not depend on the current file still being on disk: the editor never shows
    // the text of another document, and what it shows always goes back into the tree.
    if (to == TextTab) {
        EnablSaveBut(false);
        m_commentEnabled = false;
        if (!m_tree.empty()) {
            const WriteResult written = saveFileres(m_tree);
            if (!written.ok) {
                showMessage(written.message);
            } else if (writeBytes(workingFile(), written.bytes)) {
                showInMemo(written.bytes);
                EnablSaveBut(m_modified);
            }
        }
        locateSelectedInMemo();
        return;
    }
    if (fileExists(m_currentFile) && !m_tree.empty()) {
        EnablSaveBut(true);
        m_commentEnabled = true;
    }
    if (!m_tree.empty() && !m_memo->document()->isEmpty()) {
        if (writeBytes(workingFile(), memoBytes())) {
            loadFileHud(workingFile());
            m_memo->document()->setModified(false);
            EnablSaveBut(m_modified);
        }
    }
    if (selectedNode() != nullptr)
        m_tv1->setFocus();
}

void TfSsMain::locateSelectedInMemo() {
    // Only headers and "$" lines are looked for: a parameter's text is rarely unique in the script.
    const Node* node = selectedNode();
    if (node == nullptr || m_tree.isEndMarker(node) || m_memo->document()->isEmpty() || node->text().empty())
        return;
    if (!node->hasChildren() && node->text().front() != '$')
        return;
    const std::size_t at = textSearch(1, qstringToScriptUnits(memoText()), node->text());
    if (at == 0)
        return;
    QTextCursor cursor = m_memo->textCursor();
    cursor.setPosition(static_cast<int>(at - 1));
    cursor.setPosition(static_cast<int>(at - 1 + node->text().size()), QTextCursor::KeepAnchor);
    m_memo->setTextCursor(cursor);
    m_memo->setFocus();
}

void TfSsMain::showInMemo(const std::string& scriptBytes) {
    m_loadingMemo = true;
    m_highlighter->setDeferred(true);
    m_memo->setPlainText(scriptToQString(scriptBytes));
    m_highlighter->setDeferred(false);
    m_memo->document()->setModified(false);
    m_loadingMemo = false;
    m_highlighter->colourVisible(m_memo);
}

void TfSsMain::Memo1Change() {
    // Loading text into the editor does not count as a change; typing, pasting and replacing do.
    if (m_loadingMemo || !m_memo->document()->isModified())
        return;
    if (!m_modified || !m_saveEnabled)
        setModified(true);
}

void TfSsMain::SpeedButton2Click() {
    int size = m_memo->font().pointSize();
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
    setFontSize(m_memo, size);
    m_settings.fontSize = size;
}

void TfSsMain::SpeedButton3Click() {
    int size = m_memo->font().pointSize();
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
    setFontSize(m_memo, size);
    m_settings.fontSize = size;
}

} // namespace tonvale
