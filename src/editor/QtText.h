// SPDX-License-Identifier: MIT
#pragma once

// The one place where script bytes meet Qt text. Every widget that shows or takes a node's text, a
// value or a comment goes through these functions, in the encoding of the open document (Windows-1251,
// or UTF-8 for a script whose bytes are UTF-8); captions and messages, which are UTF-8 in the source,
// use fromUtf8.

#include "document/Cp1251.h"

#include <QString>

class QTextDocument;
#include <string>
#include <string_view>

namespace tonvale {

// The encoding the open document's texts are shown and typed in. The window sets it whenever a
// document replaces the one shown; there is one document a process.
void setShownEncoding(ScriptEncoding encoding);
ScriptEncoding shownEncoding();

QString scriptToQString(std::string_view scriptBytes);
std::string qstringToScript(const QString& text); // characters without a byte become "?"
// One byte per UTF-16 unit (a unit without a byte, each half of a surrogate pair included, becomes
// "?"), so that byte positions are the text's character positions: for searching Qt text with the
// core's byte search.
std::string qstringToScriptUnits(const QString& text);

// The text of an editor's document as typed: no-break spaces and every other character kept, lines
// separated by "\n".
QString documentText(const QTextDocument& document);

inline QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace tonvale
