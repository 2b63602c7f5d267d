// SPDX-License-Identifier: MIT
#pragma once

#include "document/FileIO.h"
#include "document/Message.h"
#include "document/SectionTree.h"

#include <functional>
#include <string>
#include <string_view>

namespace tonvale {

namespace writetext {
inline constexpr std::string_view Caption = "Сохранить файл";
inline constexpr std::string_view NotFound = "Файл не найден";
inline constexpr std::string_view NoData = "Файл не имеет данных";
inline constexpr std::string_view BadFormat = "Ошибка! Не могу создать файл нужного формата";
inline constexpr std::string_view NoMemory = "Недостаточно памяти для записи файла";
} // namespace writetext

struct WriteResult {
    bool ok = false;
    std::string bytes; // the canonical text, when ok
    Message message;   // why it failed, when not ok

    explicit operator bool() const { return ok; }
};

// Receives the canonical text in chunks of up to about 64 KiB.
using ByteSink = std::function<void(std::string_view)>;
// The same, and returns false to stop the write there (a comparison found a difference, the output
// failed).
using StoppableSink = std::function<bool(std::string_view)>;

enum class WriteOutcome {
    Written,     // the whole text went to the sink
    Stopped,     // the sink asked to stop: only a part went to it
    Refused,     // the tree cannot be written (see the message); nothing went to the sink
    OutOfMemory, // memory ran out on the way: a part may have gone to the sink
};

// Writes the tree as script text in the canonical layout: one tab per level, every brace on a line
// of its own, values and beside comments on their element's line, comments above as "//" lines,
// CR LF after every line. The tree is never changed. Fails, with the message to show, when the tree
// has fewer than two nodes or the result would not pass the brace check.
WriteResult writeScript(const SectionTree& tree);
// The same, streaming the text into `sink`; nothing reaches the sink when the write fails.
bool writeScript(const SectionTree& tree, const ByteSink& sink, Message* failure);
// Streams the text into `sink` in chunks, so memory stays bounded whatever the size of the text.
WriteOutcome streamScript(const SectionTree& tree, const StoppableSink& sink, Message* failure);
// Saves the canonical text to the file as it is written (through saveFile's temporary file), never
// whole in memory. `outcome` is how the write went; it stays as given when the file failed before the
// text was asked for. A write that does not finish replaces nothing.
FileResult saveScriptFile(const std::string& path, const SectionTree& tree, WriteOutcome& outcome,
                          Message* failure);

} // namespace tonvale
