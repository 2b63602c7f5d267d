// SPDX-License-Identifier: MIT
#pragma once

#include "document/Cp1251.h"
#include "document/Message.h"
#include "document/SectionTree.h"
#include "document/TextHelpers.h"

#include <string>
#include <string_view>
#include <vector>

namespace tonvale {

enum class LoadFailure {
    None,
    BraceCheck, // the brace check failed: the tree is empty
    LoadError,  // building the tree failed: the tree keeps what was built
    ReadError,  // the file could not be read: the tree is empty
};

// The outcome of reading a script: the tree, the messages the window must show, in order, and the
// failure kind. `levelError` is set when a line was more than one level deeper than the one before:
// the rest of the file is then missing from the tree, which must not silently replace the file.
struct LoadResult {
    SectionTree tree;
    LoadFailure failure = LoadFailure::None;
    bool levelError = false;
    std::size_t levelErrorLine = 0; // the line the tree stopped at, when levelError is set
    std::vector<Message> messages;
    std::string readError; // what the system said when the file could not be read
    // Why the brace check failed and the line it names (0: none), when failure is BraceCheck.
    BraceCheck braces;
    // How the script's texts are shown; decided from the bytes that were read.
    ScriptEncoding encoding = ScriptEncoding::Windows1251;
    // Memory ran out while the tree was built (failure is LoadError).
    bool outOfMemory = false;

    bool ok() const { return failure == LoadFailure::None; }
};

namespace loadtext {
inline constexpr std::string_view BraceMessage =
    "Ошибка. Не найдена одна или несколько открывающих(закрывающих) фигурных скобок. "
    "Или файл непригоден для загрузки в программу.";
inline constexpr std::string_view BraceCaption = "Загрузка файла";
inline constexpr std::string_view LoadErrorMessage = "Ошибка загрузки файла";
inline constexpr std::string_view LoadErrorCaption = "Открыть файл";
inline constexpr std::string_view LevelMessage = "Error load Level";
inline constexpr std::string_view LevelCaption = "Load Tree";
// "Строка N: " and what is wrong there, for a brace check that names a line; empty otherwise.
std::string braceLineText(const BraceCheck& check);
// The brace message, followed by braceLineText when the check names a line.
std::string braceMessage(const BraceCheck& check);
} // namespace loadtext

// Turns script bytes into the section tree (the text-to-tree steps of loading a file). A UTF-8
// byte-order mark at the start is no part of the text: the tree remembers it for the writer.
// `asciiOnly` is the encoding a script of ASCII bytes only is given (LoadResult::encoding): text that
// comes back from the text tab keeps the encoding of the document it came from.
LoadResult loadScript(std::string_view bytes, ScriptEncoding asciiOnly = ScriptEncoding::Windows1251);
// Reads the file, then loads it; a file that cannot be read gives LoadFailure::ReadError. The bytes
// read go to `bytesRead` when it is given.
LoadResult loadScriptFile(const std::string& path, ScriptEncoding asciiOnly = ScriptEncoding::Windows1251,
                          std::string* bytesRead = nullptr);

// The stages of loading, exposed for tests and tools. `buildTreeFromLines` builds the tree from lines
// whose leading tabs and blanks give the level; it returns false on a level jump of more than one.
bool buildTreeFromLines(SectionTree& tree, const std::vector<std::string>& lines);
// Cuts every node's text into key, value and comments. Comment lines (nodes whose text begins with
// "//") end in the data of the element below them in their block; those that no element follows end
// as the block's trailing comments (the top level's, for the last ones before the end marker).
void attachNodeData(SectionTree& tree);
// Sets the images; false when the last node is not at the top level (such a tree is not accepted).
bool assignImages(SectionTree& tree);
// What loadScript gives, built in separate steps: every node with its whole line text first, then
// attachNodeData and assignImages. loadScript cuts the texts as it places the nodes, in one walk over
// the bytes; it must give the same document (the tests compare the two).
LoadResult loadScriptInSteps(std::string_view bytes, ScriptEncoding asciiOnly = ScriptEncoding::Windows1251);

} // namespace tonvale
