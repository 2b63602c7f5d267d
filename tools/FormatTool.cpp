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
#include <functional>
#include <memory>
#include <new>
#include <ostream>
#include <string_view>
#include <vector>

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
bool g_endsProcess = false;

// With the process about to end, a loaded tree is kept from being destroyed: the system takes its
// memory back all at once. The trees stay reachable, so leak checkers do not count them.
class LeftForTheSystem {
  public:
    LeftForTheSystem(LoadResult& loaded, bool lastFile)
        : m_loaded(loaded), m_leave(g_endsProcess && lastFile) {}
    LeftForTheSystem(const LeftForTheSystem&) = delete;
    LeftForTheSystem& operator=(const LeftForTheSystem&) = delete;
    ~LeftForTheSystem() {
        if (!m_leave)
            return;
        try {
            static auto* const left = new std::vector<std::unique_ptr<LoadResult>>();
            left->push_back(std::make_unique<LoadResult>(std::move(m_loaded)));
        } catch (const std::bad_alloc&) { // then it is destroyed as usual
        }
    }

  private:
    LoadResult& m_loaded;
    const bool m_leave;
};

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

// Reads and loads one file. Returns the exit status for it.
int loadFile(const std::string& file, std::ostream& err, std::string& original, LoadResult& loaded) {
    std::string error;
    if (!readWholeFile(file, original, error)) {
        err << file << ": error: cannot read the file: " << error << '\n';
        return ExitIoError;
    }
    loaded = loadScript(original);
    reportLoad(err, file, loaded);
    if (loaded.outOfMemory)
        err << file << ": error: out of memory while loading the file\n";
    return loadStatus(file, loaded, err);
}

// The exit status of a write that did not give the whole text.
int writeFailure(const std::string& file, WriteOutcome outcome, const Message& message, std::ostream& err) {
    if (outcome == WriteOutcome::OutOfMemory) {
        err << file << ": error: out of memory while writing the canonical text\n";
        return ExitFailed;
    }
    report(err, file, message, "error");
    return ExitFailed;
}

// Compares the canonical text with the file's bytes as it is written, and stops at the first
// difference. Returns ExitOk or ExitNotCanonical, or the failure of the write.
int compareCanonical(const std::string& file, const SectionTree& tree, std::string_view original,
                     std::ostream& err) {
    std::size_t at = 0;
    Message failure;
    const WriteOutcome outcome = streamScript(
        tree,
        [&at, original](std::string_view chunk) {
            if (original.substr(at, chunk.size()) != chunk)
                return false;
            at += chunk.size();
            return true;
        },
        &failure);
    if (outcome == WriteOutcome::Stopped)
        return ExitNotCanonical;
    if (outcome != WriteOutcome::Written)
        return writeFailure(file, outcome, failure, err);
    return at == original.size() ? ExitOk : ExitNotCanonical;
}

// Streams the canonical text to `out`.
int printCanonical(const std::string& file, const SectionTree& tree, std::ostream& out, std::ostream& err) {
    Message failure;
    const WriteOutcome outcome = streamScript(
        tree,
        [&out](std::string_view chunk) {
            out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
            return out.good();
        },
        &failure);
    if (outcome == WriteOutcome::Stopped)
        return ExitIoError;
    if (outcome != WriteOutcome::Written)
        return writeFailure(file, outcome, failure, err);
    return out.good() ? ExitOk : ExitIoError;
}

// Streams the canonical text into the file, through a temporary file renamed over it.
int rewriteCanonical(const std::string& file, const SectionTree& tree, std::ostream& err) {
    WriteOutcome outcome = WriteOutcome::Written;
    Message failure;
    const FileResult saved = saveScriptFile(file, tree, outcome, &failure);
    if (outcome != WriteOutcome::Written)
        return writeFailure(file, outcome, failure, err);
    if (!saved) {
        err << file << ": error: cannot write the file: " << saved.text(file) << '\n';
        return ExitIoError;
    }
    return ExitOk;
}

// One file in the given mode ("", "--check" or "--write").
int formatFile(const std::string& file, const std::string& mode, bool lastFile, std::ostream& out,
               std::ostream& err) {
    std::string original;
    LoadResult loaded;
    const LeftForTheSystem left(loaded, lastFile);
    if (const int status = loadFile(file, err, original, loaded); status != ExitOk)
        return status;
    if (mode.empty()) {
        std::string().swap(original); // the tree holds copies of its texts: the bytes' memory goes back
        return printCanonical(file, loaded.tree, out, err);
    }
    const int compared = compareCanonical(file, loaded.tree, original, err);
    if (compared != ExitNotCanonical)
        return compared;
    if (mode == "--check") {
        out << file << '\n';
        return ExitNotCanonical;
    }
    std::string().swap(original); // not needed any more: its memory goes back before the write
    return rewriteCanonical(file, loaded.tree, err);
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

bool writeTreeAsJsonLines(const SectionTree& tree, const std::function<bool(std::string_view)>& sink) {
    constexpr std::size_t ChunkSize = std::size_t{1} << 16;
    std::string out;
    out.reserve(ChunkSize + 256);
    const Node* endMarker = tree.last();
    for (const Node* node : tree.preorder()) {
        const NodeData* data = node->data();
        const auto field = [data](NodeText NodeData::*member) {
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
        if (out.size() >= ChunkSize) {
            if (!sink(out))
                return false;
            out.clear();
        }
    }
    return out.empty() || sink(out);
}

std::string treeAsJsonLines(const SectionTree& tree) {
    std::string out;
    writeTreeAsJsonLines(tree, [&out](std::string_view chunk) {
        out.append(chunk);
        return true;
    });
    return out;
}

namespace {

int printTree(const std::string& file, std::ostream& out, std::ostream& err) {
    std::string original;
    LoadResult loaded;
    const LeftForTheSystem left(loaded, true);
    if (const int status = loadFile(file, err, original, loaded); status != ExitOk)
        return status;
    std::string().swap(original);
    const bool written = writeTreeAsJsonLines(loaded.tree, [&out](std::string_view chunk) {
        out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
        return out.good();
    });
    return written && out.good() ? ExitOk : ExitIoError;
}

// Runs one file in its mode; memory running out anywhere on the way is a failure said in words.
int runOnFile(const std::string& file, const std::string& mode, bool lastFile, std::ostream& out,
              std::ostream& err) {
    try {
        return mode == "--tree" ? printTree(file, out, err) : formatFile(file, mode, lastFile, out, err);
    } catch (const std::bad_alloc&) {
        err << file << ": error: out of memory\n";
        return ExitFailed;
    }
}

} // namespace

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

    int status = ExitOk;
    for (std::size_t i = 0; i < files.size(); ++i)
        status = std::max(status, runOnFile(files[i], mode, i + 1 == files.size(), out, err));
    return status;
}

void setToolMessagesEnglish(bool english) {
    g_english = english;
}

void setToolEndsProcess(bool ends) {
    g_endsProcess = ends;
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
