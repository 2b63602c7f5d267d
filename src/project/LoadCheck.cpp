// SPDX-License-Identifier: MIT
#include "project/LoadCheck.h"

#include "document/Cp1251.h"
#include "document/Loader.h"
#include "document/TextHelpers.h"

namespace tonvale::project {

namespace {

constexpr std::string_view NotLoaded = "the editor cannot load this script: ";

std::string quoted(std::string_view bytes) {
    return '"' + cp1251ToUtf8(bytes) + '"';
}

std::string braceFaultText(const ScriptOutline& outline) {
    const BraceFault& fault = outline.braceFault;
    if (fault.kind == BraceFault::Kind::Unopened)
        return "\"}\" closes no block";
    for (const OutlineElement& element : outline.elements) {
        if (element.keyAt == fault.at)
            return element.key.empty() ? "this \"{\" is never closed"
                                       : "the block of " + quoted(element.key) + " is never closed";
    }
    return "this \"{\" is never closed";
}

// The first line where a brace stands inside double quotes: the editor counts such braces, a game
// does not.
int quotedBraceLine(std::string_view bytes) {
    LineCursor cursor(bytes);
    int number = 0;
    for (std::string_view line; cursor.next(line);) {
        ++number;
        bool inQuotes = false;
        for (std::size_t i = 0; i < line.size(); ++i) {
            if (line[i] == '"')
                inQuotes = !inQuotes;
            else if (!inQuotes && line.substr(i, 2) == "//")
                break;
            else if (inQuotes && (line[i] == '{' || line[i] == '}'))
                return number;
        }
    }
    return 0;
}

Problem braceCheckProblem(const std::string& file, std::string_view bytes, const ScriptOutline& outline) {
    if (outline.braceFault.kind != BraceFault::Kind::None)
        return makeProblem(Check::LoadFailure, file, outline.braceFault.at,
                           std::string(NotLoaded) + braceFaultText(outline));
    if (const int line = quotedBraceLine(bytes))
        return makeProblem(Check::LoadFailure, file, {line, 1},
                           std::string(NotLoaded) + "a brace inside double quotes upsets its brace count");
    return makeProblem(Check::LoadFailure, file, {1, 1}, std::string(NotLoaded) + "it holds no block");
}

bool isShortBlank(std::string_view line) {
    return line.empty() || line == "\t" || line == "\t\t";
}

} // namespace

// Walks the lines as the loader does (blank lines skipped, brace lines setting the depth, a line's
// level being its depth plus the blanks that deleted braces leave in front) and finds the first line
// placed more than one level below the element before it.
int levelErrorLine(std::string_view bytes) {
    LineCursor cursor(bytes);
    std::size_t depth = 0;
    std::size_t lastLevel = 0;
    bool first = true;
    int number = 0;
    std::string content;
    for (std::string_view raw; cursor.next(raw);) {
        ++number;
        const bool isLast = cursor.atEnd();
        if (!isLast && isShortBlank(raw))
            continue;
        const std::string_view line = trim(raw);
        std::size_t lineDepth = depth;
        if (line == "{") {
            ++depth;
            lineDepth = 0;
        } else if (line == "}" && depth >= 1) {
            --depth;
            lineDepth = 0;
        }
        content.clear();
        for (char c : line) {
            if (c != '{' && c != '}')
                content.push_back(static_cast<unsigned char>(c) < 32 ? ' ' : c);
        }
        if (!isLast && content.empty() && lineDepth <= 2)
            continue;
        const std::size_t level = lineDepth + splitIndentation(content).level;
        if (!first && level > lastLevel + 1)
            return number;
        lastLevel = first ? 0 : level;
        first = false;
    }
    return 0;
}

std::optional<Problem> loadProblem(const std::string& file, std::string_view bytes,
                                   const ScriptOutline& outline) {
    const LoadResult loaded = loadScript(bytes);
    if (loaded.failure == LoadFailure::BraceCheck)
        return braceCheckProblem(file, bytes, outline);
    if (loaded.levelError) {
        const int line = levelErrorLine(bytes);
        return makeProblem(Check::LoadFailure, file, {line > 0 ? line : 1, 1},
                           std::string(NotLoaded) +
                               "this line lies more than one level deeper than the one before, "
                               "so the rest of the file is left out");
    }
    if (!loaded.ok())
        return makeProblem(Check::LoadFailure, file, {std::max(outline.lineCount, 1), 1},
                           std::string(NotLoaded) + "its last line lies inside a block");
    if (outline.braceFault.kind != BraceFault::Kind::None)
        return makeProblem(Check::LoadFailure, file, outline.braceFault.at, braceFaultText(outline));
    return std::nullopt;
}

} // namespace tonvale::project
