// SPDX-License-Identifier: MIT
// New files, new soundscapes, blocks from the templates and the new-element dialog's header and
// parameter.
#include "EditChecks.h"
#include "document/NewElements.h"

using namespace tonvale;
using namespace tonvale::testing;

namespace {

std::string cp(std::string_view utf8) {
    return utf8ToCp1251(utf8);
}

SectionTree newFile(bool withBlocks) {
    return mustLoad(newFileBytes(withBlocks)).tree;
}

const std::string TemplateComment = "soundscapes_myfile. Создана секция по умолчанию "
                                    "\"myfile.defsection\".Чтобы изменить ее название выберите "
                                    "из главного меню \"Правка\" -> \"Изменить\".";

TEST(NewFile, ShortTextIsTheDefaultSoundscapeWithItsComment) {
    const std::string bytes = newFileBytes(false);
    EXPECT_EQ(bytes, crlf(shortNewFileLines()));
    const SectionTree tree = newFile(false);
    // The soundscape has no children yet: it keeps its empty block.
    EXPECT_EQ(describe(tree), (std::vector<std::string>{
                                  "0|\"myfile.defsection\"||" + cp(TemplateComment) + "\r||{}", "0||-"}));
}

TEST(NewFile, TextsAreExactlyTheTemplates) {
    const std::string comment = "//" + cp(TemplateComment) + "\r\n";
    EXPECT_EQ(newFileBytes(false), comment + "\"myfile.defsection\"\r\n\t{\r\n\t}\r\n");
    EXPECT_EQ(newFileBytes(true),
              comment + "\"myfile.defsection\"\r\n\t{\r\n\t\"dsp\"\t\"0\"\r\n\t\"playlooping\"\r\n"
                        "\t\t{\r\n\t\t\"volume\"\t\"0.5\"\r\n\t\t\"wave\"\t\"wave file name\"\r\n"
                        "\t\t\"pitch\"\t\"100\"\r\n\t\t}\r\n\t\"playrandom\"\r\n\t\t{\r\n"
                        "\t\t\"time\"\t\"1,6\"\r\n\t\t\"volume\"\t\"0.5,1.0\"\r\n\t\t\"pitch\"\t\"100\"\r\n"
                        "\t\t\"rndwave\"\r\n\t\t\t{\r\n\t\t\t\"wave\"\t\"first wave file name\"\r\n"
                        "\t\t\t\"wave\"\t\"second wave file name\"\r\n\t\t\t}\r\n\t}\r\n}\r\n");
}

TEST(NewFile, FullTextHasTheDefaultBlocks) {
    std::vector<std::string> lines;
    appendDefaultBlocks(lines);
    ASSERT_EQ(lines.size(), 22U);
    EXPECT_EQ(newFileBytes(true), crlf(lines));
    const SectionTree tree = newFile(true);
    EXPECT_EQ(describe(tree), (std::vector<std::string>{
                                  "0|\"myfile.defsection\"||" + cp(TemplateComment) + "\r|",
                                  "1|\"dsp\"|\"0\"||",
                                  "1|\"playlooping\"|||",
                                  "2|\"volume\"|\"0.5\"||",
                                  "2|\"wave\"|\"wave file name\"||",
                                  "2|\"pitch\"|\"100\"||",
                                  "1|\"playrandom\"|||",
                                  "2|\"time\"|\"1,6\"||",
                                  "2|\"volume\"|\"0.5,1.0\"||",
                                  "2|\"pitch\"|\"100\"||",
                                  "2|\"rndwave\"|||",
                                  "3|\"wave\"|\"first wave file name\"||",
                                  "3|\"wave\"|\"second wave file name\"||",
                                  "0||-",
                              }));
}

TEST(BlockKind, KeywordsAreExactWithTheirQuotes) {
    const std::pair<const char*, int> cases[] = {
        {"\"playlooping\"", 1},
        {"\"playrandom\"", 2},
        {"\"rndwave\"", 3},
        {"\"playsoundscape\"", 4},
        {"", -1},
        {"playlooping", 0},
        {"\"PlayLooping\"", 0},
        {"\"dsp\"", 0},
        {"\"rndwave\" ", 0},
    };
    for (const auto& [text, kind] : cases)
        EXPECT_EQ(blockKind(text), kind) << text;
    EXPECT_EQ(suggestedParameters(0), (std::vector<std::string>{"\"dsp\"", "\"soundmixer\""}));
    EXPECT_EQ(suggestedParameters(3), (std::vector<std::string>{"\"wave\""}));
    EXPECT_EQ(suggestedParameters(2).size(), 7U);
    EXPECT_EQ(suggestedParameters(4).back(), "\"ambientpositionoverride\"");
    EXPECT_TRUE(suggestedParameters(-1).empty());
}

TEST(NewSoundscape, DuplicateNamesInAnyLatinCaseAreRefused) {
    for (const char* answer :
         {"myfile.defsection", "MYFILE.DEFSECTION", "\"MyFile.DefSection\"", " myfile.defsection "}) {
        SectionTree tree = newFile(true);
        ModelMirror mirror(tree);
        const CreateResult result = createSoundscape(tree, answer, &mirror);
        EXPECT_FALSE(result) << answer;
        ASSERT_TRUE(result.message.has_value());
        EXPECT_EQ(*result.message, (Message{"Секция с таким названием уже имеется", "Новый soundscape",
                                            MessageIcon::Warning}));
        EXPECT_EQ(mirror.structuralReports(), 0);
    }
}

TEST(NewSoundscape, OtherBytesCompareExactly) {
    SectionTree tree = mustLoad(crlf({"\"" + cp("звук") + "\"", "{", "\t\"k\"\t\"v\"", "}"})).tree;
    EXPECT_TRUE(sectionNameExists(tree, "\"" + cp("звук") + "\""));
    EXPECT_FALSE(sectionNameExists(tree, "\"" + cp("ЗВУК") + "\""));
    EXPECT_TRUE(createSoundscape(tree, cp("ЗВУК")));
}

TEST(NewSoundscape, GoesJustBeforeTheEndMarkerAndSavesWithAnEmptyBlock) {
    SectionTree tree = newFile(true);
    ModelMirror mirror(tree);
    const CreateResult result = createSoundscape(tree, "  new.area  ", &mirror);
    ASSERT_TRUE(result);
    EXPECT_FALSE(result.message.has_value());
    EXPECT_EQ(result.node->text(), "\"new.area\"");
    EXPECT_EQ(result.parent, nullptr);
    EXPECT_EQ(result.row, 1);
    EXPECT_EQ(tree.topLevel().size(), 3U);
    EXPECT_EQ(tree.topLevel()[1], result.node);
    EXPECT_TRUE(tree.isEndMarker(tree.next(result.node)));
    EXPECT_TRUE(opensBlock(result.node));
    EXPECT_EQ(dataOf(result.node).value, "");
    EXPECT_EQ(result.node->image(), ImageHeader);
    EXPECT_EQ(result.node->selectedImage(), ImageHeaderSelected);
    mirror.expectInSync();
    const WriteResult written = writeScript(tree);
    ASSERT_TRUE(written.ok);
    // A bare name would make the game read the next soundscape's name as its value.
    EXPECT_TRUE(written.bytes.ends_with("} \r\n\"new.area\" \r\n\t{\r\n\t} \r\n\r\n")) << written.bytes;
    const LoadResult reloaded = mustLoad(written.bytes);
    EXPECT_EQ(describe(reloaded.tree), describe(tree));
}

TEST(NewSoundscape, EmptyAnswerAddsNothingAndAnEmptyTreeIsAnUnexpectedError) {
    SectionTree tree = newFile(false);
    for (const char* answer : {"", "   ", "\"\"", "\t"}) {
        const CreateResult result = createSoundscape(tree, answer);
        EXPECT_FALSE(result);
        EXPECT_FALSE(result.message.has_value()) << answer;
    }
    EXPECT_EQ(tree.size(), 2U);
    SectionTree empty;
    const CreateResult result = createSoundscape(empty, "x");
    EXPECT_FALSE(result);
    EXPECT_EQ(result.message, (Message{"Непредвиденная ошибка", "Новый soundscape", MessageIcon::Error}));
    EXPECT_TRUE(empty.empty());
}

struct BlockCase {
    BlockKind kind;
    std::vector<std::string> subtree; // "depth|text|value" of the block and its descendants
};

TEST(NewBlock, EachTemplateAddsItsChildrenAndValuesLastInTheSoundscape) {
    const BlockCase cases[] = {
        {BlockKind::PlayLooping,
         {"0|\"playlooping\"|", "1|\"wave\"|\"wav file name\"", "1|\"volume\"|\"0.5\"", "1|\"pitch\"|\"100\"",
          "1|\"attenuation\"|\"0\""}},
        {BlockKind::PlayRandom,
         {"0|\"playrandom\"|", "1|\"time\"|\"1,5\"", "1|\"volume\"|\"0.35, 0.5\"", "1|\"pitch\"|\"100,100\"",
          "1|\"attenuation\"|\"0\"", "1|\"position\"|\"random\"", "1|\"soundlevel\"|\"SNDLVL_140db\"",
          "1|\"rndwave\"|", "2|\"wave\"|\"first wav file name\"", "2|\"wave\"|\"second wav file name\"",
          "2|\"wave\"|\"third wav file name\""}},
        {BlockKind::PlaySoundscape,
         {"0|\"playsoundscape\"|", "1|\"name\"|\"soundscape name\"", "1|\"volume\"|\"0.5\"",
          "1|\"position\"|\"0\"", "1|\"positionoverride\"|\"0\"", "1|\"ambientpositionoverride\"|\"1\""}},
    };
    for (const BlockCase& c : cases) {
        SectionTree tree = newFile(true);
        Node* soundscape = tree.first();
        ModelMirror mirror(tree);
        const CreateResult result = createBlock(tree, soundscape, c.kind, &mirror);
        ASSERT_TRUE(result);
        EXPECT_EQ(result.parent, soundscape);
        EXPECT_EQ(result.row, 3);
        EXPECT_EQ(soundscape->children().back(), result.node);
        std::vector<std::string> subtree;
        for (const Node* n = result.node; n != nullptr && SectionTree::isWithin(n, result.node);
             n = tree.next(n))
            subtree.push_back(std::to_string(n->level() - 1) + "|" + n->text() + "|" + dataOf(n).value);
        EXPECT_EQ(subtree, c.subtree);
        EXPECT_EQ(mirror.structuralReports(), 1);
        mirror.expectInSync();
        expectImages(tree);
    }
}

TEST(NewBlock, SecondBlockGoesAfterAllChildrenAndAnEmptySoundscapeBecomesAHeader) {
    SectionTree tree = newFile(false);
    Node* soundscape = tree.first();
    ASSERT_TRUE(createLoopingBlock(tree, soundscape));
    ASSERT_TRUE(createSoundscapeBlock(tree, soundscape));
    const CreateResult second = createLoopingBlock(tree, soundscape);
    ASSERT_TRUE(second);
    EXPECT_EQ(second.row, 2);
    EXPECT_EQ(soundscape->childCount(), 3);
    EXPECT_EQ(soundscape->image(), ImageHeader);
    expectReadsBack(tree);
}

TEST(NewBlock, OnlyUnderATopLevelNodeOtherThanTheEndMarker) {
    SectionTree tree = newFile(true);
    const std::vector<std::string> before = describe(tree);
    EXPECT_FALSE(createRandomBlock(tree, nullptr));
    EXPECT_FALSE(createRandomBlock(tree, findNode(tree, "\"playlooping\"")));
    EXPECT_FALSE(createRandomBlock(tree, findNode(tree, "\"dsp\"")));
    EXPECT_FALSE(createRandomBlock(tree, tree.last()));
    EXPECT_EQ(describe(tree), before);
    SectionTree empty;
    EXPECT_FALSE(createLoopingBlock(empty, nullptr));
    EXPECT_EQ(blockFailureMessage(BlockKind::PlayLooping),
              (Message{"Ошибка создания блока playlooping", "Новый блок playlooping", MessageIcon::Error}));
    EXPECT_EQ(blockFailureMessage(BlockKind::PlaySoundscape),
              (Message{"Ошибка создания блока playsoundscape\"", "Новый блок playsoundscape\"",
                       MessageIcon::Error}));
}

NewElementAnswers parameter(std::string name, std::string value) {
    NewElementAnswers answers;
    answers.mode = NewElementMode::Parameter;
    answers.parameterName = std::move(name);
    answers.value = std::move(value);
    return answers;
}

TEST(NewElement, ParameterIsNormalisedAndPlacedByThePlacementAnswer) {
    SectionTree tree = newFile(true);
    Node* block = findNode(tree, "\"playlooping\"");
    ModelMirror mirror(tree);
    const CreateResult first =
        addNewElement(tree, block, parameter("volume", "0.5"), PlacementAnswer::Yes, &mirror);
    ASSERT_TRUE(first);
    EXPECT_EQ(first.row, 0);
    EXPECT_EQ(block->child(0), first.node);
    EXPECT_EQ(first.node->text(), "\"volume\"");
    EXPECT_EQ(dataOf(first.node).value, "\"0.5\"");
    const CreateResult last =
        addNewElement(tree, block, parameter("\"pitch\"", ""), PlacementAnswer::No, &mirror);
    ASSERT_TRUE(last);
    EXPECT_EQ(last.row, 4);
    EXPECT_EQ(block->children().back(), last.node);
    EXPECT_EQ(dataOf(last.node).value, "\"\"");
    mirror.expectInSync();
    expectImages(tree);
    EXPECT_FALSE(addNewElement(tree, block, parameter("x", "y"), PlacementAnswer::Cancel));
    EXPECT_EQ(block->childCount(), 5);
}

TEST(NewElement, DefaultFieldsGiveParameterAndValueInQuotes) {
    SectionTree tree = newFile(false);
    NewElementAnswers answers;
    answers.mode = NewElementMode::Parameter;
    EXPECT_TRUE(asksPlacement(answers));
    const CreateResult untouched = addNewElement(tree, tree.first(), answers, PlacementAnswer::No);
    ASSERT_TRUE(untouched);
    EXPECT_EQ(untouched.node->text(), "\"" + cp("Параметр") + "\"");
    EXPECT_EQ(dataOf(untouched.node).value, "\"" + cp("Значение") + "\"");
    answers.enterValue(); // the value field took the focus while still holding "Значение"
    EXPECT_EQ(answers.value, "");
    answers.value = "typed";
    answers.enterValue(); // once changed, entering the field keeps its text
    EXPECT_EQ(answers.value, "typed");
    answers.value.clear();
    const CreateResult emptied = addNewElement(tree, tree.first(), answers, PlacementAnswer::No);
    EXPECT_EQ(dataOf(emptied.node).value, "\"\"");
}

TEST(NewElement, DefaultTextsFollowTheScriptsEncoding) {
    NewElementAnswers answers(ScriptEncoding::Utf8);
    EXPECT_EQ(answers.parameterName, "Параметр");
    EXPECT_EQ(answers.value, "Значение");
    answers.enterValue();
    EXPECT_EQ(answers.value, "");
    EXPECT_EQ(NewElementAnswers(ScriptEncoding::Windows1251).value, cp("Значение"));
}

TEST(NewElement, HeaderIsAppendedWithTheDialogComments) {
    SectionTree tree = newFile(true);
    Node* soundscape = tree.first();
    NewElementAnswers answers;
    answers.mode = NewElementMode::Header;
    answers.headerName = "playlooping";
    answers.value = "ignored";
    answers.commentBeside = "next to it";
    answers.commentLines = {"a", "", "b"};
    EXPECT_FALSE(asksPlacement(answers));
    ModelMirror mirror(tree);
    const CreateResult result = addNewElement(tree, soundscape, answers, PlacementAnswer::Yes, &mirror);
    ASSERT_TRUE(result);
    EXPECT_EQ(soundscape->children().back(), result.node); // a header always goes last
    EXPECT_EQ(result.node->text(), "\"playlooping\"");
    EXPECT_EQ(dataOf(result.node).commentsAbove, "a\r\rb\r");
    EXPECT_EQ(dataOf(result.node).commentBeside, "next to it");
    EXPECT_EQ(dataOf(result.node).value, "");
    EXPECT_FALSE(result.node->hasChildren());
    // A header opens its block from the start: it shows as a header and is written with braces.
    EXPECT_TRUE(opensBlock(result.node));
    EXPECT_EQ(result.node->image(), ImageHeader);
    mirror.expectInSync();
    expectReadsBack(tree);
}

TEST(NewElement, MissingNamesAndSelectionGiveTheirMessages) {
    SectionTree tree = newFile(true);
    NewElementAnswers header;
    header.mode = NewElementMode::Header;
    const Message noHeader{"Не введено имя заголовка в секции", "Новый", MessageIcon::Error};
    const Message noParameter{"Не введено наименование параметра (переменной)", "Новый", MessageIcon::Error};
    const Message unexpected{"Непредвиденная ошибка", "Новый", MessageIcon::Error};
    EXPECT_EQ(checkNewElement(tree, tree.first(), header), noHeader);
    EXPECT_EQ(addNewElement(tree, tree.first(), header, PlacementAnswer::No).message, noHeader);
    EXPECT_EQ(checkNewElement(tree, tree.first(), parameter("", "v")), noParameter);
    EXPECT_EQ(checkNewElement(tree, tree.first(), parameter("n", "v")), std::nullopt);
    header.headerName = "h";
    EXPECT_EQ(checkNewElement(tree, nullptr, header), unexpected);
    EXPECT_EQ(checkNewElement(tree, tree.last(), header), unexpected);
    SectionTree empty;
    EXPECT_EQ(addNewElement(empty, nullptr, parameter("n", "v"), PlacementAnswer::Yes).message, unexpected);
    NewElementAnswers none;
    const CreateResult nothing = addNewElement(tree, tree.first(), none, PlacementAnswer::Yes);
    EXPECT_FALSE(nothing);
    EXPECT_FALSE(nothing.message.has_value());
    EXPECT_EQ(tree.size(), newFile(true).size());
}

} // namespace
