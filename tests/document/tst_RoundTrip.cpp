// SPDX-License-Identifier: MIT
// Canonical idempotence: for every input that loads and writes, writing what was written, after loading
// it again, gives the same bytes and the same tree.
#include "Helpers.h"
#include "ScriptGenerator.h"
#include "document/FileIO.h"
#include "document/Templates.h"

#include <filesystem>
#include <random>

using namespace tonvale;
using namespace tonvale::testing;
namespace fs = std::filesystem;

namespace {

void expectStable(const std::string& input, const std::string& label) {
    LoadResult first = loadScript(input);
    if (!first.ok())
        return;
    WriteResult once = writeScript(first.tree);
    if (!once.ok)
        return;
    LoadResult second = loadScript(once.bytes);
    ASSERT_TRUE(second.ok()) << label;
    EXPECT_EQ(describe(second.tree), describe(first.tree)) << label;
    WriteResult twice = writeScript(second.tree);
    ASSERT_TRUE(twice.ok) << label;
    EXPECT_EQ(twice.bytes, once.bytes) << label;
}

// Everything a load gives: the tree with its images, the failure and the messages.
std::vector<std::string> outcome(const LoadResult& r) {
    std::vector<std::string> out = describe(r.tree);
    for (const Node* node : r.tree.preorder())
        out.push_back("image " + std::to_string(node->image()) + "/" + std::to_string(node->selectedImage()));
    out.push_back("failure " + std::to_string(static_cast<int>(r.failure)) + " level error " +
                  std::to_string(r.levelError) + " mark " + std::to_string(r.tree.byteOrderMark()) +
                  " braces " + std::to_string(static_cast<int>(r.braces.problem)) + " line " +
                  std::to_string(r.braces.line) + " encoding " +
                  std::to_string(static_cast<int>(r.encoding)));
    for (const Message& message : r.messages)
        out.push_back(message.text);
    return out;
}

void expectSameLoads(const std::string& bytes, const std::string& label) {
    EXPECT_EQ(outcome(loadScript(bytes)), outcome(loadScriptInSteps(bytes))) << label;
}

} // namespace

// The loader cuts every text as it places the node, in one walk over the bytes; built in separate
// steps (whole lines first, cut afterwards), every script must give the same document.
TEST(RoundTrip, OneWalkLoadsWhatSeparateStepsLoad) {
    for (const char* folder :
         {TONVALE_FIXTURES, TONVALE_SAMPLE_SCRIPTS, TONVALE_REALWORLD, TONVALE_FUZZ_SEEDS}) {
        for (const auto& file : scriptsIn(folder))
            expectSameLoads(readFileBytes(file), file.string());
    }
    // Generated scripts with random damage: braces, quotes, comments, control characters, byte-order
    // marks and line breaks put in or taken out anywhere.
    static const char* const insertions[] = {"{",
                                             "}",
                                             "\"",
                                             "//",
                                             "\t",
                                             " ",
                                             "\r",
                                             "\n",
                                             "$",
                                             "\x01",
                                             "\xEF\xBB\xBF",
                                             "  ",
                                             "{ \"k\" \"v\" }",
                                             "// c {",
                                             "\"a\" // b\r\n{\r\n",
                                             "a b c"};
    std::mt19937 rng(7);
    const std::string base = bench::generateScript(120, 3);
    for (int i = 0; i < 2000; ++i) {
        std::string script = base;
        for (int edits = 1 + static_cast<int>(rng() % 6); edits > 0; --edits) {
            const std::size_t at = rng() % (script.size() + 1);
            if (rng() % 3 == 0 && at < script.size())
                script.erase(at, 1 + rng() % 12);
            else
                script.insert(at, insertions[rng() % std::size(insertions)]);
        }
        expectSameLoads(script, "damaged script " + std::to_string(i));
        if (::testing::Test::HasFailure())
            break;
    }
}

TEST(RoundTrip, EveryFixtureIsStable) {
    const auto files = scriptsIn(TONVALE_FIXTURES);
    ASSERT_GE(files.size(), 8u);
    for (const auto& file : files) {
        SCOPED_TRACE(file.filename().string());
        const std::string bytes = readFileBytes(file);
        LoadResult loaded = loadScript(bytes);
        EXPECT_TRUE(loaded.ok()) << "fixtures are meant to load";
        expectStable(bytes, file.filename().string());
    }
}

TEST(RoundTrip, SampleScriptsAreStable) {
    const auto files = scriptsIn(TONVALE_SAMPLE_SCRIPTS);
    ASSERT_FALSE(files.empty());
    for (const auto& file : files)
        expectStable(readFileBytes(file), file.filename().string());
}

TEST(RoundTrip, RealWorldScriptsLoadWithoutCrashAndAreStable) {
    const auto files = scriptsIn(TONVALE_REALWORLD);
    if (files.empty())
        GTEST_SKIP() << "no real-world scripts beside the project";
    std::size_t loaded = 0;
    for (const auto& file : files) {
        const std::string bytes = readFileBytes(file);
        loaded += loadScript(bytes).ok() ? 1 : 0;
        expectStable(bytes, file.filename().string());
    }
    EXPECT_GE(loaded * 10, files.size() * 8) << "most real-world scripts must load";
}

TEST(RoundTrip, TemplatesAreStable) {
    std::vector<std::string> full;
    appendDefaultBlocks(full);
    expectStable(crlf(full), "full new file");
    expectStable(crlf(shortNewFileLines()), "short new file");
    for (BlockKind kind : {BlockKind::PlayLooping, BlockKind::PlayRandom, BlockKind::PlaySoundscape}) {
        LoadResult doc = mustLoad(crlf(shortNewFileLines()));
        addBlockFromTemplate(doc.tree, doc.tree.first(), blockTemplate(kind));
        WriteResult w = writeScript(doc.tree);
        ASSERT_TRUE(w.ok);
        LoadResult back = mustLoad(w.bytes);
        EXPECT_EQ(describe(back.tree), describe(doc.tree)) << blockTemplate(kind).keyword;
        expectStable(w.bytes, std::string(blockTemplate(kind).keyword));
    }
}

TEST(RoundTrip, GeneratedScriptsAreStable) {
    for (unsigned seed = 1; seed <= 5; ++seed)
        expectStable(bench::generateScript(3000, seed), "seed " + std::to_string(seed));
}

TEST(RoundTrip, AwkwardLinesAreStable) {
    const std::vector<std::string> lines = {
        "\"a\" {", "b {", "{ \"c\" \"d\"", "\"e\" \"f\" }", "\"unterminated value", "$v a b c", "$", "\"\"",
        "\"k\" \"v\" // c // d", "//", "// x", "a b c d", "\"q\"\"r\"", "x \"y\" \"z\"", "  ", "\t\t\t", "}",
        "{", "\"w\" \"C:\\sound\\a.wav\"", "\x93quoted\x94 \xE0\xE1\xE2", "tail //",
        // control characters that a deleted brace leaves at the ends of a text
        "}\x1d$", "x \x01}", "{\x02\x03 \"k\" \"v\"",
        // a control character beside the blank where the key is cut off
        "\xDE \x1a , 0.5 o:: x\" \"2\"", "a \x0c b\x1a c"};
    for (const std::string& a : lines) {
        for (const std::string& b : lines) {
            const std::string script = crlf({"\"s\"", "{", "\"p\"", "{", a, "{", b, "}", "}", "}", a});
            expectStable(script, a + " / " + b);
        }
    }
}

TEST(RoundTrip, HundredThousandLevelsDeep) {
    constexpr std::size_t depth = 100000;
    std::string script;
    for (std::size_t i = 0; i < depth; ++i)
        script += "\"n\"\n{\n";
    script += "\"leaf\" \"1\"\n";
    for (std::size_t i = 0; i < depth; ++i)
        script += "}\n";
    auto loaded = std::make_unique<LoadResult>(loadScript(script));
    ASSERT_TRUE(loaded->ok());
    ASSERT_EQ(loaded->tree.size(), depth + 2);
    EXPECT_EQ(loaded->tree.nodeAt(depth)->level(), static_cast<int>(depth));

    // The canonical text holds one tab per level on every line, and every closing brace after the
    // innermost line is indented by the number of braces closed there: about 2 * depth^2 bytes. Measure
    // it rather than keep it.
    std::size_t size = 0;
    std::string head;
    std::string tail;
    Message failure;
    ASSERT_TRUE(writeScript(
        loaded->tree,
        [&](std::string_view chunk) {
            size += chunk.size();
            if (head.size() < 64)
                head.append(chunk.substr(0, 64));
            tail = (tail + std::string(chunk.substr(chunk.size() > 64 ? chunk.size() - 64 : 0)));
            tail = tail.substr(tail.size() > 64 ? tail.size() - 64 : 0);
        },
        &failure))
        << failure.text;
    EXPECT_EQ(head.substr(0, 14), "\"n\" \r\n\t{\r\n\t\"n\"");
    EXPECT_TRUE(tail.ends_with("\t} \r\n\r\n"));
    EXPECT_EQ(size, 2 * depth * depth + 15 * depth + 21);
    loaded.reset();
}
