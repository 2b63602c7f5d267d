// SPDX-License-Identifier: MIT
// Real scripts from game and mod projects, read in place: a load and a save keep what a game reads
// (every token, in the same nesting) and every comment line, in its block; a second save changes
// nothing. The counts are printed for the record.
#include "Helpers.h"
#include "IndependentReader.h"
#include "document/FileIO.h"

#include <filesystem>
#include <iostream>

using namespace tonvale;
using namespace tonvale::testing;
namespace fs = std::filesystem;

namespace {

std::vector<fs::path> realWorldScripts() {
    return scriptsIn(TONVALE_REALWORLD);
}

struct ReaderCase {
    const char* name;
    std::string text;
    std::vector<std::string> structure;
    std::map<std::string, std::vector<std::string>> comments;
};

} // namespace

TEST(IndependentReader, ReadsTokensBracesAndCommentsByBlock) {
    const ReaderCase cases[] = {
        {"BracesAnywhere", "\"a\" {b \"c d\"}}", {"\"a\"", "{", "b", "\"c d\"", "}", "}"}, {}},
        {"CommentsByBlock",
         "// top\n\"a\"\n{ // in a\n\t//x { \"y\" }  \t\n}\n\"b\"{}{//second\n}",
         {"\"a\"", "{", "}", "\"b\"", "{", "}", "{", "}"},
         {{"", {" top"}}, {"0", {" in a", "x { \"y\" }"}}, {"2", {"second"}}}},
        {"QuotesHideSlashesAndBraces", "\"a//b{\" c//d\n", {"\"a//b{\"", "c"}, {{"", {"d"}}}},
        {"UnclosedQuoteEndsWithTheLine", "\"a b\nc", {"\"a b", "c"}, {}},
        {"ByteOrderMarkAndControlCharacters",
         "\xEF\xBB\xBF"
         "a\x01"
         "b",
         {"a", "b"},
         {}},
    };
    for (const ReaderCase& c : cases) {
        const ReadScript read = readIndependently(c.text);
        EXPECT_EQ(read.structure, c.structure) << c.name;
        EXPECT_EQ(read.comments, c.comments) << c.name;
    }
    const ReadScript before = readIndependently("// a\n{\n// b\n// b\n}\n");
    EXPECT_EQ(commentsKeptInTheirBlock(before, readIndependently("{\n// b\n}\n// a\n")), 2u);
    EXPECT_EQ(commentsKeptInTheirBlock(before, readIndependently("// a\n// b\n{\n// b\n}\n")), 2u);
}

TEST(RealWorld, LoadAndSaveKeepStructureAndEveryCommentInItsBlock) {
    const auto files = realWorldScripts();
    if (files.empty())
        GTEST_SKIP() << "no real-world scripts beside the project";
    std::size_t loaded = 0;
    std::size_t sameStructure = 0;
    std::size_t stable = 0;
    std::size_t comments = 0;
    std::size_t kept = 0;
    std::ostringstream report;
    for (const auto& file : files) {
        const std::string name = file.filename().string();
        std::string bytes, error;
        ASSERT_TRUE(readWholeFile(file.string(), bytes, error)) << error;
        const ReadScript before = readIndependently(bytes);
        LoadResult first = loadScript(bytes);
        if (!first.ok()) {
            report << name << ": not loaded: " << first.messages.front().text << '\n';
            // A file is refused only for its braces, and the message names the line when there is one.
            EXPECT_EQ(first.failure, LoadFailure::BraceCheck) << name;
            continue;
        }
        ++loaded;
        const WriteResult once = writeScript(first.tree);
        ASSERT_TRUE(once.ok) << name << ": " << once.message.text;
        const ReadScript after = readIndependently(once.bytes);
        const std::size_t fileKept = commentsKeptInTheirBlock(before, after);
        comments += before.commentCount;
        kept += fileKept;
        sameStructure += before.structure == after.structure ? 1 : 0;
        const LoadResult second = loadScript(once.bytes);
        const bool fileStable = second.ok() && writeScript(second.tree).bytes == once.bytes &&
                                describe(second.tree) == describe(first.tree);
        stable += fileStable ? 1 : 0;
        report << name << ": " << fileKept << " of " << before.commentCount << " comments kept"
               << (before.structure == after.structure ? "" : ", STRUCTURE DIFFERS")
               << (fileStable ? "" : ", NOT STABLE") << '\n';
        EXPECT_EQ(after.structure, before.structure) << name;
        EXPECT_EQ(fileKept, before.commentCount) << name;
        EXPECT_EQ(after.commentCount, before.commentCount) << name;
        EXPECT_TRUE(fileStable) << name;
    }
    report << files.size() << " scripts, " << loaded << " loaded; same tokens and nesting: " << sameStructure
           << "; stable on a second save: " << stable << "; comments kept in their block: " << kept << " of "
           << comments << '\n';
    std::cout << report.str();
    RecordProperty("comments", std::to_string(kept) + " of " + std::to_string(comments));
}
