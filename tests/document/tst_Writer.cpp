#include "Helpers.h"
#include "document/Cp1251.h"
#include "document/Templates.h"

using namespace tonvale;
using namespace tonvale::testing;

namespace {

std::string fullTemplate() {
    std::vector<std::string> lines;
    appendDefaultBlocks(lines);
    return crlf(lines);
}

// Builds "tabs + content + trailing blanks" lines of the canonical layout.
std::string row(int tabs, const std::string& content, int blanks) {
    return std::string(static_cast<std::size_t>(tabs), '\t') + content +
           std::string(static_cast<std::size_t>(blanks), ' ');
}

} // namespace

TEST(Writer, FullNewFileTemplateGivesTheCanonicalTwentyFourLines) {
    const std::string six = "      ";
    const std::string comment = utf8ToCp1251(
        "//soundscapes_myfile. Создана секция по умолчанию \"myfile.defsection\".Чтобы изменить ее название "
        "выберите из главного меню \"Правка\" -> \"Изменить\".");
    // The comment line loses its "/" characters inside the text: they become blanks, then the text is
    // trimmed; the template's "->" has none, so only the leading "//" goes and comes back.
    const std::vector<std::string> expected = {
        comment,
        row(0, "\"myfile.defsection\"", 1),
        row(1, "{", 0),
        row(0, "", 0),
        row(1, "\"dsp\"" + six + "\"0\"", 2),
        row(1, "\"playlooping\"", 1),
        row(2, "{", 0),
        row(2, "\"volume\"" + six + "\"0.5\"", 2),
        row(2, "\"wave\"" + six + "\"wave file name\"", 2),
        row(2, "\"pitch\"" + six + "\"100\"", 3),
        row(1, "}", 1),
        row(1, "\"playrandom\"", 1),
        row(2, "{", 0),
        row(2, "\"time\"" + six + "\"1,6\"", 2),
        row(2, "\"volume\"" + six + "\"0.5,1.0\"", 2),
        row(2, "\"pitch\"" + six + "\"100\"", 2),
        row(2, "\"rndwave\"", 1),
        row(3, "{", 0),
        row(3, "\"wave\"" + six + "\"first wave file name\"", 2),
        row(3, "\"wave\"" + six + "\"second wave file name\"", 3),
        row(3, "}", 2),
        row(3, "}", 2),
        row(3, "}", 1),
        row(0, "", 0),
    };
    const std::string first = canonical(fullTemplate());
    EXPECT_EQ(first, crlf(expected));
    EXPECT_EQ(canonical(first), first);
}

namespace {

// A tree built by hand: soundscape "s" with the given children, then an empty end marker.
struct Doc {
    SectionTree tree;
    Node* soundscape;
    Doc() {
        soundscape = tree.append(nullptr, "\"s\"");
        tree.ensureData(soundscape);
    }
    Node* add(Node* parent, const std::string& text, const std::string& value = "",
              const std::string& above = "", const std::string& beside = "") {
        Node* node = tree.append(parent, text);
        NodeData& data = tree.ensureData(node);
        data.value = value;
        data.commentsAbove = above;
        data.commentBeside = beside;
        return node;
    }
    std::string write() {
        if (tree.last() == nullptr || tree.last()->level() != 0 || tree.last()->hasData())
            tree.append(nullptr, "");
        WriteResult w = writeScript(tree);
        EXPECT_TRUE(w.ok) << w.message.text;
        return w.bytes;
    }
};

} // namespace

TEST(Writer, ValueAndBesideCommentLayout) {
    Doc doc;
    doc.add(doc.soundscape, "\"wave\"", "\"a.wav\"", "", "rain");
    doc.add(doc.soundscape, "\"dsp\"", "", "", "no value");
    doc.add(doc.soundscape, "\"pitch\"", "\"100\"");
    EXPECT_EQ(doc.write(), crlf({"\"s\" ", "\t{", "\t\"wave\"      \"a.wav\"    //rain",
                                 "\t\"dsp\"  //no value", "\t\"pitch\"      \"100\"   ", "\t} ", ""}));
}

TEST(Writer, CommentsAboveBecomeLinesFollowedByAnEmptyLine) {
    Doc doc;
    doc.add(doc.soundscape, "\"dsp\"", "\"1\"", "first\rsecond\r");
    EXPECT_EQ(doc.write(), crlf({"\"s\" ", "\t{", "//first", "//second", "//", "\t\"dsp\"      \"1\"   ",
                                 "\t} ", "", ""}));
}

TEST(Writer, ScriptWithoutBlocksGetsABraceLine) {
    SectionTree tree;
    tree.ensureData(tree.append(nullptr, "\"a\""));
    tree.append(nullptr, "");
    WriteResult w = writeScript(tree);
    ASSERT_TRUE(w.ok);
    EXPECT_EQ(w.bytes, crlf({"\"a\"", "", "{}"}));
    EXPECT_EQ(canonical(w.bytes), w.bytes);
}

TEST(Writer, ScriptWithoutBlocksKeepsItsTrailingComment) {
    LoadResult r = mustLoad(crlf({"\"a\" \"1\"", "{}", "// the end"}));
    ASSERT_EQ(r.tree.last()->text(), "// the end");
    WriteResult first = writeScript(r.tree);
    ASSERT_TRUE(first.ok);
    LoadResult again = mustLoad(first.bytes);
    EXPECT_EQ(again.tree.last()->text(), "// the end");
    EXPECT_EQ(canonical(first.bytes), first.bytes);
}

TEST(Writer, VariableWithChildrenStillOpensItsBlock) {
    SectionTree tree;
    Node* var = tree.append(nullptr, "$group");
    tree.ensureData(var);
    tree.ensureData(tree.append(var, "\"a\"")).value = "\"1\"";
    tree.ensureData(tree.append(nullptr, "$flat")).value = "on";
    tree.append(nullptr, "");
    WriteResult w = writeScript(tree);
    ASSERT_TRUE(w.ok) << w.message.text;
    EXPECT_EQ(w.bytes, crlf({"$group ", "\t{", "\t\"a\"      \"1\"   ", "\t} ", "$flat      on  ", ""}));
    LoadResult back = mustLoad(w.bytes);
    EXPECT_EQ(describe(back.tree), describe(tree));
}

TEST(Writer, TooFewNodesIsReported) {
    SectionTree empty;
    WriteResult w = writeScript(empty);
    EXPECT_FALSE(w.ok);
    EXPECT_EQ(w.message, (Message{"Файл не имеет данных", "Сохранить файл", MessageIcon::Error}));
    SectionTree one;
    one.append(nullptr, "soundscapes_manifest");
    EXPECT_FALSE(writeScript(one).ok);
}

TEST(Writer, UnbalancedBracesInTextsAreRefused) {
    Doc doc;
    doc.add(doc.soundscape, "\"a\"", "\"{\"");
    doc.tree.append(nullptr, "");
    WriteResult w = writeScript(doc.tree);
    EXPECT_FALSE(w.ok);
    EXPECT_EQ(w.message.text, "Ошибка! Не могу создать файл нужного формата");
    EXPECT_TRUE(w.bytes.empty());
}

TEST(Writer, WritingDoesNotChangeTheTree) {
    LoadResult r = mustLoad(crlf({"// c", "\"s\"", "{", "\"a\" \"1\" // b", "}"}));
    const auto before = describe(r.tree);
    ASSERT_TRUE(writeScript(r.tree).ok);
    EXPECT_EQ(describe(r.tree), before);
}

TEST(Writer, LineBreaksAreAlwaysCrLf) {
    Doc doc;
    doc.add(doc.soundscape, "\"a\"", "\"1\"", "one\rtwo");
    const std::string out = doc.write();
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (out[i] == '\r') {
            EXPECT_EQ(out[i + 1], '\n') << "lone CR at " << i;
        }
        if (out[i] == '\n') {
            EXPECT_EQ(out[i - 1], '\r') << "lone LF at " << i;
        }
    }
}
