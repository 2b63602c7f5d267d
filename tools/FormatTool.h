// SPDX-License-Identifier: MIT
#pragma once

// tonvale-format: the command-line companion for build pipelines. It loads scripts with the
// editor's own loader and writes them in the editor's canonical layout.

#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace tonvale {

enum FormatExit : int { ExitOk = 0, ExitNotCanonical = 1, ExitFailed = 2, ExitIoError = 3 };

// Runs the tool with its arguments (without the program name). Canonical text, file names and the
// tree go to `out`; the tool's own messages (UTF-8) go to `err`.
int runFormatTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The language of the messages the tool passes on from the loader and the writer (its own messages are
// English). Russian unless set; the program sets English unless the locale's messages are Russian.
void setToolMessagesEnglish(bool english);
// Whether LC_ALL, else LC_MESSAGES, else LANG names a Russian locale ("ru", "ru_RU.UTF-8", ...).
bool localeIsRussian();
// The program ends right after the tool ran: the tree of the last file is left to go with the process
// instead of being taken apart node by node (off unless set).
void setToolEndsProcess(bool ends);

// The document as JSON lines, one object a node in pre-order, ending with a newline: level, key (the
// node's text), value, the comment lines above it as a list, the beside comment, the trailing comment
// lines of its block as a list, and whether it opens a block. The top level's trailing comments are
// the end marker's lines above. Bytes above 127 and control bytes are written as \u00XX so that the
// script's bytes can be read back exactly.
std::string treeAsJsonLines(const class SectionTree& tree);
// The same, handed to `sink` in chunks; false when the sink asked to stop.
bool writeTreeAsJsonLines(const class SectionTree& tree, const std::function<bool(std::string_view)>& sink);

} // namespace tonvale
