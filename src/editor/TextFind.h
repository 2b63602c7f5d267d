// SPDX-License-Identifier: MIT
#pragma once

// The find window's searches over text, without a widget: letters are compared lower-cased, one
// character at a time (Cyrillic included), and positions are 1-based character positions of the text
// with 0 for "not found", as the core's textSearch counts them. FoldedText lower-cases a text once so
// that repeated searches over it cost only the search; planReplaceAll works out a whole replace-all
// as one edit of the text.

#include <QString>
#include <cstddef>
#include <string>

namespace tonvale {

// Lower-cases each character on its own, so the result has the text's length and positions.
QString foldCase(const QString& text);

class FoldedText {
  public:
    explicit FoldedText(const QString& text);
    // Position of the first match of `pattern` (any letter case) starting at or after `from`
    // (0 behaves like 1); 0 when there is none or the pattern is empty.
    std::size_t find(std::size_t from, const QString& pattern) const;
    qsizetype size() const { return m_folded.size(); }

  private:
    QString m_folded;
    std::string m_bytes; // one byte per character, for the core's byte search
};

// Replace all from `from` to the end of the text: after each replacement the search goes on one
// character beyond the inserted text, so a replacement that contains the find text cannot loop. The
// change is the text between `begin` and `end` (0-based, end exclusive, in the original text), which
// becomes `replacement`; nothing changes when count is 0.
struct ReplaceAllPlan {
    int count = 0;
    qsizetype begin = 0;
    qsizetype end = 0;
    QString replacement;
};
ReplaceAllPlan planReplaceAll(const QString& text, std::size_t from, const QString& find,
                              const QString& replacement);

} // namespace tonvale
