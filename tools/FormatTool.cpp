// SPDX-License-Identifier: MIT
#include "FormatTool.h"

#include "Lint.h"
#include "TonvaleVersion.h"
#include "document/Edits.h"
#include "document/FileIO.h"
#include "document/Loader.h"
#include "document/Writer.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <ostream>
#include <string_view>

namespace tonvale {

namespace {

constexpr const char* Usage =
    "Usage: tonvale-format FILE            print FILE in canonical form\n"
    "       tonvale-format --check FILE... name the files that are not in canonical form (exit 1)\n"
    "       tonvale-format --write FILE... rewrite the files in canonical form\n"
    "       tonvale-format --tree FILE     print the section tree as JSON lines\n"
    "       tonvale-format --help          print this help\n"
    "       tonvale-format --version       print the version\n"
    "       tonvale-format --lint [OPTIONS] PATH... check a project (--lint --help for more)\n"
    "Exit status: 0 ok, 1 not canonical, 2 a load or write failed, 3 an I/O error.\n";

bool g_english = false;

// The English of the loader's and the writer's fixed texts.
constexpr std::array<std::pair<std::string_view, std::string_view>, 9> EnglishTexts = {{
    {loadtext::BraceMessage, "Error. One or more opening (closing) braces are missing. Or the file cannot be "
                             "loaded into the program."},
    {loadtext::BraceCaption, "Loading the File"},
    {loadtext::LoadErrorMessage, "Error loading the file"},
    {loadtext::LoadErrorCaption, "Open File"},
    {writetext::Caption, "Save File"},
    {writetext::NotFound, "File not found"},
    {writetext::NoData, "The file has no data"},
    {writetext::BadFormat, "Error! Cannot create a file of the required format"},
    {edittext::Unexpected, "Unexpected error"},
}};

std::string english(const std::string& text) {
    for (const auto& [russian, translated] : EnglishTexts) {
        if (text == russian)
            return std::string(translated);
    }
    return text;
}

// The brace message names the line and what is wrong there.
std::string englishBraceMessage(const BraceCheck& check) {
    std::string text(english(std::string(loadtext::BraceMessage)));
    const std::string line = " Line " + std::to_string(check.line) + ": ";
    switch (check.problem) {
    case BraceProblem::UnmatchedClose:
        return text + line + "closing brace \"}\" without an opening one.";
    case BraceProblem::LeftOpen:
        return text + line + "opening brace \"{\" is not closed.";
    case BraceProblem::InQuotes:
        return text + line + "brace inside quotes.";
    case BraceProblem::None:
    case BraceProblem::NoBraces:
        break;
    }
    return text;
}

void report(std::ostream& err, const std::string& file, const Message& message, const char* kind,
            const BraceCheck* braces = nullptr) {
    std::string text = message.text;
    std::string caption = message.caption;
    if (g_english) {
        text = braces != nullptr && text == loadtext::braceMessage(*braces) ? englishBraceMessage(*braces)
                                                                            : english(text);
        caption = english(caption);
    }
    err << file << ": " << kind << ": " << text;
    if (!caption.empty())
        err << " (" << caption << ")";
    err << '\n';
}

// The status of a load: a document of which only a part could be loaded is a failure in every mode,
// since printing, checking, rewriting or listing that part would pass it off as the whole file.
int loadStatus(const std::string& file, const LoadResult& loaded, std::ostream& err) {
    if (!loaded.ok())
        return ExitFailed;
    if (loaded.levelError) {
        err << file << ": error: incomplete: only the part before the level error could be loaded\n";
        return ExitFailed;
    }
    return ExitOk;
}

// The loader's messages, in order. A brace check that names a line puts it after the file name, as
// compilers do, so editors can jump there.
void reportLoad(std::ostream& err, const std::string& file, const LoadResult& loaded) {
    for (const Message& message : loaded.messages) {
        const bool braces = loaded.failure == LoadFailure::BraceCheck && loaded.braces.line != 0;
        report(err, braces ? file + ":" + std::to_string(loaded.braces.line) : file, message,
               message.text == loadtext::LevelMessage ? "warning" : "error", &loaded.braces);
    }
}

// Loads and writes one file. Returns the exit status for it; `canonical` receives the text.
int formatFile(const std::string& file, std::ostream& err, std::string& original, std::string& canonical) {
    std::string error;
    if (!readWholeFile(file, original, error)) {
        err << file << ": error: cannot read the file: " << error << '\n';
        return ExitIoError;
    }
    LoadResult loaded = loadScript(original);
    reportLoad(err, file, loaded);
    if (const int status = loadStatus(file, loaded, err); status != ExitOk)
        return status;
    WriteResult written = writeScript(loaded.tree);
    if (!written) {
        report(err, file, written.message, "error");
        return ExitFailed;
    }
    canonical = std::move(written.bytes);
    return ExitOk;
}

void appendJsonString(std::string& out, std::string_view text) {
    static const char* hex = "0123456789ABCDEF";
    out.push_back('"');
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\') {
            out.push_back('\\');
            out.push_back(ch);
        } else if (c < 0x20 || c > 0x7E) {
            out += "\\u00";
            out.push_back(hex[c >> 4]);
            out.push_back(hex[c & 0xF]);
        } else {
            out.push_back(ch);
        }
    }
    out.push_back('"');
}

// Comment lines (each followed by a CR) as a JSON list of strings.
void appendJsonLines(std::string& out, std::string_view comments) {
    out.push_back('[');
    for (bool first = true; !comments.empty(); first = false) {
        const std::size_t cr = std::min(comments.find('\r'), comments.size());
        if (!first)
            out.push_back(',');
        appendJsonString(out, comments.substr(0, cr));
        comments.remove_prefix(std::min(cr + 1, comments.size()));
    }
    out.push_back(']');
}

} // namespace

std::string treeAsJsonLines(const SectionTree& tree) {
    std::string out;
    const Node* endMarker = tree.last();
    for (const Node* node : tree.preorder()) {
        const NodeData* data = node->data();
        const auto field = [data](std::string NodeData::*member) {
            return data != nullptr ? std::string_view(data->*member) : std::string_view();
        };
        out += "{\"level\":" + std::to_string(node->level()) + ",\"key\":";
        appendJsonString(out, node->text());
        out += ",\"value\":";
        appendJsonString(out, field(&NodeData::value));
        out += ",\"above\":";
        // The top level's trailing comments stand above the end marker line.
        appendJsonLines(out, node == endMarker ? std::string_view(tree.topLevelComments())
                                               : field(&NodeData::commentsAbove));
        out += ",\"beside\":";
        appendJsonString(out, field(&NodeData::commentBeside));
        out += ",\"trailing\":";
        appendJsonLines(out, field(&NodeData::trailingComments));
        out += ",\"block\":";
        out += opensBlock(node) ? "true" : "false";
        out += "}\n";
    }
    return out;
}

int runFormatTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty() || args[0] == "--help" || args[0] == "-h") {
        (args.empty() ? err : out) << Usage;
        return args.empty() ? ExitFailed : ExitOk;
    }
    if (args[0] == "--version") {
        out << "tonvale-format " << ProgramVersion << '\n';
        return out.good() ? ExitOk : ExitIoError;
    }
    if (args[0] == "--lint")
        return runLint(std::vector<std::string>(args.begin() + 1, args.end()), out, err);
    const std::string mode = args[0].starts_with("--") ? args[0] : std::string();
    const std::vector<std::string> files(args.begin() + (mode.empty() ? 0 : 1), args.end());
    const bool single = mode.empty() || mode == "--tree";
    if ((mode != "" && mode != "--check" && mode != "--write" && mode != "--tree") || files.empty() ||
        (single && files.size() != 1)) {
        err << Usage;
        return ExitFailed;
    }

    if (mode == "--tree") {
        std::string original;
        std::string error;
        if (!readWholeFile(files[0], original, error)) {
            err << files[0] << ": error: cannot read the file: " << error << '\n';
            return ExitIoError;
        }
        LoadResult loaded = loadScript(original);
        reportLoad(err, files[0], loaded);
        if (const int status = loadStatus(files[0], loaded, err); status != ExitOk)
            return status;
        out << treeAsJsonLines(loaded.tree);
        return out.good() ? ExitOk : ExitIoError;
    }

    int status = ExitOk;
    for (const std::string& file : files) {
        std::string original;
        std::string canonical;
        int result = formatFile(file, err, original, canonical);
        if (result == ExitOk) {
            if (mode.empty()) {
                out.write(canonical.data(), static_cast<std::streamsize>(canonical.size()));
                if (!out.good())
                    result = ExitIoError;
            } else if (mode == "--check") {
                if (canonical != original) {
                    out << file << '\n';
                    result = ExitNotCanonical;
                }
            } else if (canonical != original) {
                std::string error;
                if (!writeFileAtomic(file, canonical, error)) {
                    err << file << ": error: cannot write the file: " << error << '\n';
                    result = ExitIoError;
                }
            }
        }
        status = std::max(status, result);
    }
    return status;
}

void setToolMessagesEnglish(bool english) {
    g_english = english;
}

bool localeIsRussian() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0')
            return std::string_view(value).starts_with("ru");
    }
    return false;
}

} // namespace tonvale
