// SPDX-License-Identifier: MIT
#pragma once

// The texts the core hands to the window (load and write messages, the questions of the tree edits,
// the random playback's status) are Russian UTF-8 without Qt. The window shows them through
// coreText, which looks them up in the translation of the interface language: whole, then line by
// line, and a line that names a line number, an element or a value by the form of the line.

#include <QString>
#include <QStringList>
#include <string>
#include <string_view>

namespace tonvale {

inline constexpr const char* CoreTextContext = "tonvale";

QString coreText(std::string_view utf8);

// A window text whose Russian source is marked with QT_TRANSLATE_NOOP("tonvale", ...), in the interface
// language, with %1, %2... (up to %9) replaced by `parts` all at once (a part holding "%2" stays so).
QString uiText(const char* source, const QStringList& parts = {});
// The same as UTF-8, for a Message.
std::string uiTextUtf8(const char* source, const QStringList& parts = {});

} // namespace tonvale
