// SPDX-License-Identifier: MIT
#include "document/Templates.h"

#include "document/Cp1251.h"

namespace tonvale {

namespace {

std::string templateComment() {
    return utf8ToCp1251(
        "//soundscapes_myfile. Создана секция по умолчанию \"myfile.defsection\".Чтобы изменить "
        "ее название выберите из главного меню \"Правка\" -> \"Изменить\".");
}

} // namespace

std::vector<std::string> shortNewFileLines() {
    return {templateComment(), std::string(DefaultSectionName), "\t{", "\t}"};
}

void appendDefaultBlocks(std::vector<std::string>& lines) {
    lines.push_back(templateComment());
    lines.insert(lines.end(), {
                                  std::string(DefaultSectionName),
                                  "\t{",
                                  "\t\"dsp\"\t\"0\"",
                                  "\t\"playlooping\"",
                                  "\t\t{",
                                  "\t\t\"volume\"\t\"0.5\"",
                                  "\t\t\"wave\"\t\"wave file name\"",
                                  "\t\t\"pitch\"\t\"100\"",
                                  "\t\t}",
                                  "\t\"playrandom\"",
                                  "\t\t{",
                                  "\t\t\"time\"\t\"1,6\"",
                                  "\t\t\"volume\"\t\"0.5,1.0\"",
                                  "\t\t\"pitch\"\t\"100\"",
                                  "\t\t\"rndwave\"",
                                  "\t\t\t{",
                                  "\t\t\t\"wave\"\t\"first wave file name\"",
                                  "\t\t\t\"wave\"\t\"second wave file name\"",
                                  "\t\t\t}",
                                  "\t}",
                                  "}",
                              });
}

std::string newFileBytes(bool withBlocks) {
    std::vector<std::string> lines;
    if (withBlocks)
        appendDefaultBlocks(lines);
    else
        lines = shortNewFileLines();
    std::string out;
    for (const std::string& line : lines) {
        out += line;
        out += "\r\n";
    }
    return out;
}

const BlockTemplate& blockTemplate(BlockKind kind) {
    static const BlockTemplate playLooping{"\"playlooping\"",
                                           {{1, "\"wave\"", "\"wav file name\""},
                                            {1, "\"volume\"", "\"0.5\""},
                                            {1, "\"pitch\"", "\"100\""},
                                            {1, "\"attenuation\"", "\"0\""}}};
    static const BlockTemplate playRandom{"\"playrandom\"",
                                          {{1, "\"time\"", "\"1,5\""},
                                           {1, "\"volume\"", "\"0.35, 0.5\""},
                                           {1, "\"pitch\"", "\"100,100\""},
                                           {1, "\"attenuation\"", "\"0\""},
                                           {1, "\"position\"", "\"random\""},
                                           {1, "\"soundlevel\"", "\"SNDLVL_140db\""},
                                           {1, "\"rndwave\"", ""},
                                           {2, "\"wave\"", "\"first wav file name\""},
                                           {2, "\"wave\"", "\"second wav file name\""},
                                           {2, "\"wave\"", "\"third wav file name\""}}};
    static const BlockTemplate playSoundscape{"\"playsoundscape\"",
                                              {{1, "\"name\"", "\"soundscape name\""},
                                               {1, "\"volume\"", "\"0.5\""},
                                               {1, "\"position\"", "\"0\""},
                                               {1, "\"positionoverride\"", "\"0\""},
                                               {1, "\"ambientpositionoverride\"", "\"1\""}}};
    // A list of random waves stands inside a playrandom block; on its own it holds one wave.
    static const BlockTemplate randomWaves{"\"rndwave\"", {{1, "\"wave\"", "\"wav file name\""}}};
    switch (kind) {
    case BlockKind::PlayLooping:
        return playLooping;
    case BlockKind::PlayRandom:
        return playRandom;
    case BlockKind::RandomWaves:
        return randomWaves;
    case BlockKind::PlaySoundscape:
        break;
    }
    return playSoundscape;
}

Node* addBlockFromTemplate(SectionTree& tree, Node* soundscape, const BlockTemplate& block) {
    Node* blockNode = tree.append(soundscape, std::string(block.keyword));
    tree.ensureData(blockNode);
    Node* list = nullptr;
    for (const TemplateEntry& entry : block.entries) {
        Node* parent = entry.depth == 1 ? blockNode : list;
        Node* node = tree.append(parent, std::string(entry.key));
        tree.ensureData(node).value = std::string(entry.value);
        if (entry.value.empty()) {
            list = node;
            tree.setImages(node, ImageHeader, ImageHeaderSelected);
        } else {
            tree.setImages(node, ImageParameter, ImageParameterSelected);
        }
    }
    tree.setImages(blockNode, ImageHeader, ImageHeaderSelected);
    return blockNode;
}

} // namespace tonvale
