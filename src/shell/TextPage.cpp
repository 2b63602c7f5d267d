// SPDX-License-Identifier: MIT
#include "shell/TextPage.h"

#include "document/SectionTree.h"
#include "document/TextHelpers.h"
#include "editor/QtText.h"
#include "editor/ScriptHighlighter.h"

#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QPlainTextDocumentLayout>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolButton>
#include <QVBoxLayout>

namespace tonvale {

namespace {
constexpr int FontStep = 2;
}

TextPage::TextPage(QAction* findAction, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("textTab"));
    auto* bar = new QWidget;
    bar->setObjectName(QStringLiteral("textToolBar"));
    auto* barLayout = new QHBoxLayout(bar);
    barLayout->setContentsMargins(2, 2, 2, 2);
    auto* findButton = new QToolButton;
    findButton->setObjectName(QStringLiteral("findButton"));
    findButton->setDefaultAction(findAction);
    m_fontDown = new QToolButton;
    m_fontDown->setObjectName(QStringLiteral("fontDown"));
    m_fontDown->setText(QStringLiteral("A−"));
    m_fontDown->setToolTip(tr("Уменьшить"));
    m_fontUp = new QToolButton;
    m_fontUp->setObjectName(QStringLiteral("fontUp"));
    m_fontUp->setText(QStringLiteral("A+"));
    m_fontUp->setToolTip(tr("Увеличить"));
    connect(m_fontDown, &QToolButton::clicked, this, [this] { decreaseFontSize(); });
    connect(m_fontUp, &QToolButton::clicked, this, [this] { increaseFontSize(); });
    barLayout->addWidget(findButton);
    barLayout->addWidget(m_fontDown);
    barLayout->addWidget(m_fontUp);
    barLayout->addStretch();

    m_editor = new QPlainTextEdit;
    m_editor->setObjectName(QStringLiteral("textEditor"));
    m_editor->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_editor->setTabChangesFocus(false);
    QFont font(QStringLiteral("Monospace"));
    font.setStyleHint(QFont::TypeWriter);
    m_editor->setFont(font);
    // Loading text into the editor does not count as a change; typing, pasting and replacing do.
    connect(m_editor, &QPlainTextEdit::textChanged, this, [this] {
        // Colouring also reports a change of the contents; only an edit marks the document.
        if (m_loading || !m_editor->document()->isModified())
            return;
        m_changedSinceShown = true;
        emit edited();
    });
    m_highlighter = new ScriptHighlighter(m_editor->document());
    m_highlighter->setParent(this); // it outlives the documents it colours
    connect(m_editor, &QPlainTextEdit::updateRequest, this,
            [this] { m_highlighter->colourVisible(m_editor); });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(bar);
    layout->addWidget(m_editor, 1);
}

QString TextPage::editorText() const {
    return documentText(*m_editor->document());
}

std::string TextPage::editorBytes() const {
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

void TextPage::showText(const std::string& scriptBytes) {
    m_loading = true;
    m_highlighter->setDeferred(true);
    // Each shown text gets a document of its own. Filled again, a document reuses the pieces of its
    // previous text in scattered order, and reading the whole text back (the return to the tree)
    // then costs several times more.
    QTextDocument* shown = m_editor->document();
    auto* fresh = new QTextDocument(this);
    fresh->setDocumentLayout(new QPlainTextDocumentLayout(fresh));
    fresh->setDefaultFont(shown->defaultFont());
    fresh->setDefaultTextOption(shown->defaultTextOption()); // the tab stops
    fresh->setDocumentMargin(shown->documentMargin());
    const bool ownShown = shown->parent() == this; // the editor deletes the first one itself
    m_editor->setDocument(fresh);
    if (ownShown)
        delete shown;
    // Attached while the document is empty, the colouring is not redone for the whole text at once.
    m_highlighter->setDocument(fresh);
    m_editor->setPlainText(scriptToQString(scriptBytes));
    m_highlighter->setDeferred(false);
    m_editor->document()->setModified(false);
    m_loading = false;
    m_changedSinceShown = false;
    m_highlighter->colourVisible(m_editor);
}

void TextPage::locate(const Node& node) {
    if (m_editor->document()->isEmpty() || node.text().empty())
        return;
    if (!node.hasChildren() && node.text().front() != '$')
        return;
    const QString name = scriptToQString(node.text());
    const std::size_t at = textSearch(1, qstringToScriptUnits(editorText()), qstringToScriptUnits(name));
    if (at == 0)
        return;
    QTextCursor cursor = m_editor->textCursor();
    cursor.setPosition(static_cast<int>(at - 1));
    cursor.setPosition(static_cast<int>(at - 1) + static_cast<int>(name.size()), QTextCursor::KeepAnchor);
    m_editor->setTextCursor(cursor);
    m_editor->setFocus();
}

int TextPage::fontSize() const {
    return m_editor->font().pointSize();
}

void TextPage::setFontSize(int size) {
    QFont font = m_editor->font();
    font.setPointSize(std::max(1, size));
    m_editor->setFont(font);
    m_editor->setTabStopDistance(QFontMetricsF(font).horizontalAdvance(QLatin1Char(' ')) * 4);
}

void TextPage::decreaseFontSize() {
    stepFontSize(-FontStep);
}

void TextPage::increaseFontSize() {
    stepFontSize(FontStep);
}

// At a limit the button only disables itself; otherwise the size moves one step and both buttons
// are enabled unless the new size is a limit.
void TextPage::stepFontSize(int step) {
    int size = fontSize();
    QToolButton* towards = step < 0 ? m_fontDown : m_fontUp;
    QToolButton* away = step < 0 ? m_fontUp : m_fontDown;
    if (step < 0 ? size <= SmallestFont : size >= LargestFont) {
        towards->setEnabled(false);
        away->setEnabled(true);
        emit fontSizeChanged(size);
        return;
    }
    size += step;
    if (size != SmallestFont && size != LargestFont) {
        m_fontDown->setEnabled(true);
        m_fontUp->setEnabled(true);
    }
    setFontSize(size);
    emit fontSizeChanged(size);
}

} // namespace tonvale
