// SPDX-License-Identifier: MIT
#include "editor/ScriptHighlighter.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <algorithm>

namespace tonvale {

namespace {
// The mark of a line whose colouring waits until it is seen.
class PendingColour : public QTextBlockUserData {};

bool isBlank(QChar c) {
    return c.unicode() <= 32;
}
} // namespace

ScriptHighlighter::ScriptHighlighter(QTextDocument* document) : QSyntaxHighlighter(document) {
    m_key.setForeground(QColor(0, 0, 160));
    m_value.setForeground(QColor(150, 30, 0));
    m_brace.setForeground(QColor(128, 0, 128));
    m_brace.setFontWeight(QFont::Bold);
    m_comment.setForeground(QColor(0, 128, 0));
    m_comment.setFontItalic(true);
}

const QTextCharFormat& ScriptHighlighter::format(Part part) const {
    switch (part) {
    case Part::Key:
        return m_key;
    case Part::Value:
        return m_value;
    case Part::Brace:
        return m_brace;
    case Part::Comment:
        break;
    }
    return m_comment;
}

bool ScriptHighlighter::isPending(const QTextBlock& block) {
    return dynamic_cast<PendingColour*>(block.userData()) != nullptr;
}

void ScriptHighlighter::colourVisible(QPlainTextEdit* editor) {
    if (m_colouring || editor == nullptr || editor->document() != document())
        return;
    m_colouring = true;
    const QTextBlock last = editor->cursorForPosition(QPoint(0, editor->viewport()->height())).block();
    for (QTextBlock block = editor->cursorForPosition(QPoint(0, 0)).block(); block.isValid();
         block = block.next()) {
        if (isPending(block))
            rehighlightBlock(block);
        if (block == last)
            break;
    }
    m_colouring = false;
}

void ScriptHighlighter::highlightBlock(const QString& text) {
    if (m_deferred) {
        setCurrentBlockUserData(new PendingColour);
        return;
    }
    if (currentBlockUserData() != nullptr)
        setCurrentBlockUserData(nullptr);
    const qsizetype comment = text.indexOf(QLatin1String("//"));
    const qsizetype end = comment < 0 ? text.size() : comment;
    if (comment >= 0)
        setFormat(static_cast<int>(comment), static_cast<int>(text.size() - comment), m_comment);

    // Words are runs of non-blanks, or quoted texts with their quotes; the first is the key, the
    // rest of the line before the comment is the value. Braces stand out wherever they are.
    bool seenKey = false;
    qsizetype i = 0;
    while (i < end) {
        const QChar c = text.at(i);
        if (isBlank(c)) {
            ++i;
            continue;
        }
        if (c == QLatin1Char('{') || c == QLatin1Char('}')) {
            setFormat(static_cast<int>(i), 1, m_brace);
            ++i;
            continue;
        }
        qsizetype stop = i + 1;
        if (c == QLatin1Char('"')) {
            while (stop < end && text.at(stop) != QLatin1Char('"'))
                ++stop;
            stop = std::min(stop + 1, end);
        } else {
            while (stop < end && !isBlank(text.at(stop)) && text.at(stop) != QLatin1Char('"') &&
                   text.at(stop) != QLatin1Char('{') && text.at(stop) != QLatin1Char('}'))
                ++stop;
        }
        setFormat(static_cast<int>(i), static_cast<int>(stop - i), seenKey ? m_value : m_key);
        seenKey = true;
        i = stop;
    }
}

} // namespace tonvale
