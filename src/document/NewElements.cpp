// SPDX-License-Identifier: MIT
#include "document/NewElements.h"

#include <array>

namespace tonvale {

namespace {

char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalsLatinNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (asciiLower(a[i]) != asciiLower(b[i]))
            return false;
    }
    return true;
}

Message message(std::string_view text, std::string_view caption, MessageIcon icon) {
    return {std::string(text), std::string(caption), icon};
}

Message unexpected(std::string_view caption) {
    return message(edittext::Unexpected, caption, MessageIcon::Error);
}

void setHeaderImages(SectionTree& tree, Node* node, TreeObserver* observer) {
    if (node->image() == ImageHeader && node->selectedImage() == ImageHeaderSelected)
        return;
    if (observer != nullptr)
        observer->aboutToChange(node);
    tree.setImages(node, ImageHeader, ImageHeaderSelected);
    if (observer != nullptr)
        observer->changed(node);
}

// Inserts a childless node with data and images under `parent` at `row`, bracketed for the observer.
Node* insertWithData(SectionTree& tree, Node* parent, int row, std::string text, NodeData data, int image,
                     TreeObserver* observer) {
    if (observer != nullptr)
        observer->aboutToInsert(parent, row, 1);
    Node* node = tree.insert(parent, row, std::move(text));
    tree.ensureData(node) = std::move(data);
    tree.setImages(node, image, image + 1);
    if (observer != nullptr)
        observer->inserted(parent, row, 1);
    return node;
}

} // namespace

int blockKind(std::string_view text) {
    if (text.empty())
        return -1;
    const std::optional<BlockKind> kind = blockKindOf(text);
    return kind ? static_cast<int>(*kind) + 1 : 0;
}

bool isBlockKeyword(std::string_view text) {
    return blockKind(text) > 0;
}

std::vector<std::string> suggestedParameters(int kind) {
    if (kind == 0)
        return {"\"dsp\"", "\"soundmixer\""};
    if (kind < 1 || kind > static_cast<int>(BlockKinds.size()))
        return {};
    std::vector<std::string> names;
    for (std::string_view name : BlockKinds[static_cast<std::size_t>(kind - 1)].suggested) {
        if (!name.empty())
            names.emplace_back(name);
    }
    return names;
}

bool sectionNameExists(const SectionTree& tree, std::string_view storedName) {
    for (const Node* node : tree.topLevel()) {
        if (equalsLatinNoCase(node->text(), storedName))
            return true;
    }
    return false;
}

CreateResult createSoundscape(SectionTree& tree, std::string_view answer, TreeObserver* observer) {
    CreateResult result;
    const std::string name = normalizeName(answer);
    if (name == "\"\"")
        return result;
    if (sectionNameExists(tree, name)) {
        result.message = message(newtext::DuplicateName, newtext::SoundscapeCaption, MessageIcon::Warning);
        return result;
    }
    if (tree.empty()) {
        result.message = unexpected(newtext::SoundscapeCaption);
        return result;
    }
    const int row = static_cast<int>(tree.topLevel().size()) - 1;
    // A soundscape is a block from the start, even before it has children: it shows as a header and
    // is written with its braces.
    NodeData data;
    data.block = true;
    result.node = insertWithData(tree, nullptr, row, name, std::move(data), ImageHeader, observer);
    result.row = row;
    return result;
}

CreateResult createBlock(SectionTree& tree, Node* selected, BlockKind kind, TreeObserver* observer) {
    CreateResult result;
    if (selected == nullptr || tree.empty() || selected->level() != 0 || tree.isEndMarker(selected))
        return result;
    const int row = selected->childCount();
    if (observer != nullptr)
        observer->aboutToInsert(selected, row, 1);
    result.node = addBlockFromTemplate(tree, selected, blockTemplate(kind));
    if (observer != nullptr)
        observer->inserted(selected, row, 1);
    result.parent = selected;
    result.row = row;
    settleLine(tree, selected, observer);
    setHeaderImages(tree, selected, observer);
    return result;
}

CreateResult createLoopingBlock(SectionTree& tree, Node* selected, TreeObserver* observer) {
    return createBlock(tree, selected, BlockKind::PlayLooping, observer);
}

CreateResult createRandomBlock(SectionTree& tree, Node* selected, TreeObserver* observer) {
    return createBlock(tree, selected, BlockKind::PlayRandom, observer);
}

CreateResult createSoundscapeBlock(SectionTree& tree, Node* selected, TreeObserver* observer) {
    return createBlock(tree, selected, BlockKind::PlaySoundscape, observer);
}

Message blockFailureMessage(BlockKind kind) {
    switch (kind) {
    case BlockKind::PlayLooping:
        return message("Ошибка создания блока playlooping", "Новый блок playlooping", MessageIcon::Error);
    case BlockKind::PlayRandom:
        return message("Ошибка создания блока playrandom", "Новый блок playrandom", MessageIcon::Error);
    case BlockKind::RandomWaves:
        return message("Ошибка создания блока rndwave", "Новый блок rndwave", MessageIcon::Error);
    case BlockKind::PlaySoundscape:
        break;
    }
    return message("Ошибка создания блока playsoundscape\"", "Новый блок playsoundscape\"",
                   MessageIcon::Error);
}

void NewElementAnswers::enterValue() {
    if (value == utf8ToScript(newtext::ValueDefault, encoding))
        value.clear();
}

std::optional<Message> checkNewElement(const SectionTree& tree, const Node* selected,
                                       const NewElementAnswers& answers) {
    switch (answers.mode) {
    case NewElementMode::None:
        return std::nullopt;
    case NewElementMode::Header:
        if (answers.headerName.empty())
            return message(newtext::NoHeaderName, newtext::NewCaption, MessageIcon::Error);
        break;
    case NewElementMode::Parameter:
        if (answers.parameterName.empty())
            return message(newtext::NoParameterName, newtext::NewCaption, MessageIcon::Error);
        break;
    }
    // A new element under the end marker would put nodes after it.
    if (tree.empty() || selected == nullptr || tree.isEndMarker(selected))
        return unexpected(newtext::NewCaption);
    return std::nullopt;
}

bool asksPlacement(const NewElementAnswers& answers) {
    return answers.mode == NewElementMode::Parameter;
}

CreateResult addNewElement(SectionTree& tree, Node* selected, const NewElementAnswers& answers,
                           PlacementAnswer placement, TreeObserver* observer) {
    CreateResult result;
    if (answers.mode == NewElementMode::None)
        return result;
    result.message = checkNewElement(tree, selected, answers);
    if (result.message)
        return result;
    const bool header = answers.mode == NewElementMode::Header;
    if (!header && placement == PlacementAnswer::Cancel)
        return result;
    NodeData data;
    data.value = header ? std::string() : normalizeName(answers.value);
    data.commentsAbove = joinCommentLines(answers.commentLines);
    // A header opens a block from the start, so it is written with its braces even while empty.
    data.block = header;
    std::string name = normalizeName(header ? answers.headerName : answers.parameterName);
    data.commentBeside = besideComment(name, data.value, answers.commentBeside);
    const int row = !header && placement == PlacementAnswer::Yes ? 0 : selected->childCount();
    result.node = insertWithData(tree, selected, row, std::move(name), std::move(data),
                                 header ? ImageHeader : ImageParameter, observer);
    result.parent = selected;
    result.row = row;
    settleLine(tree, selected, observer);
    refreshImages(tree, observer);
    return result;
}

} // namespace tonvale
