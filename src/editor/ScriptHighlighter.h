#pragma once

// Colours the text tab's editor as a script: the key (the first word or quoted text of a line), the
// value (what follows it), braces, and "//" comments (from the first "//" to the end of the line, as
// the loader cuts them). Every line is coloured on its own and carries no state into the next one, so
// an edit re-colours only the lines it touched, however long the script.

#include <QSyntaxHighlighter>
#include <QTextCharFormat>

namespace tonvale {

class ScriptHighlighter : public QSyntaxHighlighter {
    Q_OBJECT
public:
    enum class Part { Key, Value, Brace, Comment };

    explicit ScriptHighlighter(QTextDocument* document);
    const QTextCharFormat& format(Part part) const;

protected:
    void highlightBlock(const QString& text) override;

private:
    QTextCharFormat m_key;
    QTextCharFormat m_value;
    QTextCharFormat m_brace;
    QTextCharFormat m_comment;
};

} // namespace tonvale
