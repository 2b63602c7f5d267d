// SPDX-License-Identifier: MIT
#pragma once

// Colours the text tab's editor as a script: the key (the first word or quoted text of a line), the
// value (what follows it), braces, and "//" comments (from the first "//" to the end of the line, as
// the loader cuts them). Every line is coloured on its own and carries no state into the next one, so
// an edit re-colours only the lines it touched, however long the script. When a whole script is put
// into the editor at once, colouring can be deferred: the lines are only marked, and each is coloured
// when it comes into view (colourVisible, on every repaint of the editor) or is edited.

#include <QSyntaxHighlighter>
#include <QTextCharFormat>

class QPlainTextEdit;

namespace tonvale {

class ScriptHighlighter : public QSyntaxHighlighter {
    Q_OBJECT
  public:
    enum class Part { Key, Value, Brace, Comment };

    explicit ScriptHighlighter(QTextDocument* document);
    const QTextCharFormat& format(Part part) const;

    void setDeferred(bool deferred) { m_deferred = deferred; }
    static bool isPending(const QTextBlock& block);
    // Colours the marked lines that the editor shows now.
    void colourVisible(QPlainTextEdit* editor);

  protected:
    void highlightBlock(const QString& text) override;

  private:
    QTextCharFormat m_key;
    QTextCharFormat m_value;
    QTextCharFormat m_brace;
    QTextCharFormat m_comment;
    bool m_deferred = false;
    bool m_colouring = false;
};

} // namespace tonvale
