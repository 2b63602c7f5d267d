// SPDX-License-Identifier: MIT
#include "editor/TextFind.h"

#include "document/TextHelpers.h"
#include "editor/QtText.h"

#include <QStringView>
#include <vector>

namespace tonvale {

QString foldCase(const QString& text) {
    QString folded(text);
    QChar* chars = folded.data();
    for (qsizetype i = 0; i < folded.size(); ++i)
        chars[i] = chars[i].toLower();
    return folded;
}

FoldedText::FoldedText(const QString& text)
    : m_folded(foldCase(text)), m_bytes(qstringToScriptUnits(m_folded)) {}

std::size_t FoldedText::find(std::size_t from, const QString& pattern) const {
    if (pattern.isEmpty() || m_folded.isEmpty())
        return 0;
    const QString wanted = foldCase(pattern);
    const std::string wantedBytes = qstringToScriptUnits(wanted);
    for (std::size_t start = from;;) {
        const std::size_t at = textSearch(start, m_bytes, wantedBytes);
        if (at == 0)
            return 0;
        // Characters without a byte of their own search as "?": confirm on the characters.
        if (QStringView(m_folded).mid(static_cast<qsizetype>(at - 1), wanted.size()) == wanted)
            return at;
        start = at + 1;
    }
}

ReplaceAllPlan planReplaceAll(const QString& text, std::size_t from, const QString& find,
                              const QString& replacement) {
    ReplaceAllPlan plan;
    if (find.isEmpty())
        return plan;
    const FoldedText folded(text);
    const auto length = static_cast<std::size_t>(find.size());
    std::vector<std::size_t> matches;
    // In the text as it is being changed, the next search starts at p + length of the replacement + 1;
    // in the original text that is one character beyond the end of the match.
    for (std::size_t at = folded.find(from, find); at != 0; at = folded.find(at + length + 1, find))
        matches.push_back(at - 1);
    if (matches.empty())
        return plan;
    plan.count = static_cast<int>(matches.size());
    plan.begin = static_cast<qsizetype>(matches.front());
    plan.end = static_cast<qsizetype>(matches.back() + length);
    QString& out = plan.replacement;
    out.reserve(plan.end - plan.begin +
                static_cast<qsizetype>(matches.size()) * (replacement.size() - find.size()));
    qsizetype copied = plan.begin;
    for (std::size_t match : matches) {
        out += QStringView(text).mid(copied, static_cast<qsizetype>(match) - copied);
        out += replacement;
        copied = static_cast<qsizetype>(match + length);
    }
    return plan;
}

} // namespace tonvale
