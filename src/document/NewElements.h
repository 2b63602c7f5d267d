// SPDX-License-Identifier: MIT
#pragma once

// Creating elements: a new top-level soundscape, the playlooping, playrandom and playsoundscape
// blocks of the templates, and the header or parameter of the new-element dialog. The window asks
// its questions and passes the answers in; each function checks what it is given, changes the tree
// through the SectionTree (reporting to a TreeObserver, see Edits.h) and returns what it created and
// the message to show when it created nothing.

#include "document/Cp1251.h"
#include "document/Edits.h"
#include "document/Message.h"
#include "document/SectionTree.h"
#include "document/Templates.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tonvale {

// Captions, messages and default texts of the creating commands (UTF-8).
namespace newtext {
inline constexpr std::string_view NewFileCaption = "Новый файл";
inline constexpr std::string_view NewFileName = "soundscapes_myfile";
inline constexpr std::string_view AutoBlocksQuestion = "Создать блоки автоматически?";
inline constexpr std::string_view SoundscapeCaption = "Новый soundscape";
inline constexpr std::string_view SoundscapePromptCaption = "Новый soundscape (название)";
inline constexpr std::string_view OpenOrCreateFile = "Откройте или создайте soundscape файл";
inline constexpr std::string_view DuplicateName = "Секция с таким названием уже имеется";
inline constexpr std::string_view NewCaption = "Новый";
inline constexpr std::string_view NoHeaderName = "Не введено имя заголовка в секции";
inline constexpr std::string_view NoParameterName = "Не введено наименование параметра (переменной)";
inline constexpr std::string_view PlacementQuestion = "Переместить в начало?";
inline constexpr std::string_view PlacementCaption = "Новая секция";
inline constexpr std::string_view ParameterDefault = "Параметр";
inline constexpr std::string_view ValueDefault = "Значение";
} // namespace newtext

// ---- Block keywords ----

// 1 for "playlooping", 2 "playrandom", 3 "rndwave", 4 "playsoundscape" (quotes included, exact
// comparison), -1 for the empty text, 0 for any other text.
int blockKind(std::string_view text);
bool isBlockKeyword(std::string_view text);
// The parameter names the new-element dialog suggests under a node of this block kind, quoted.
std::vector<std::string> suggestedParameters(int kind);

// ---- New soundscape ----

// True when a top-level node has the stored name, comparing the letters A to Z without regard to
// case and every other byte exactly.
bool sectionNameExists(const SectionTree& tree, std::string_view storedName);

struct CreateResult {
    Node* node = nullptr;         // the new node, nullptr when nothing was created
    const Node* parent = nullptr; // its parent (nullptr: the top level)
    int row = -1;
    std::optional<Message> message; // to show when nothing was created (none for an empty answer)
    explicit operator bool() const { return node != nullptr; }
};

// Adds a soundscape named by the input box's answer just before the end marker, with empty data and
// the header images. The answer is normalised (see normalizeName); an answer that is empty once
// normalised adds nothing and needs no message.
CreateResult createSoundscape(SectionTree& tree, std::string_view answer, TreeObserver* observer = nullptr);

// ---- New blocks ----

// Adds the block of the template as the last child of the selected soundscape. Nothing is added
// (the result is empty) when no node is selected, the tree is empty, or the selected node is not a
// top-level node other than the end marker.
CreateResult createLoopingBlock(SectionTree& tree, Node* selected, TreeObserver* observer = nullptr);
CreateResult createRandomBlock(SectionTree& tree, Node* selected, TreeObserver* observer = nullptr);
CreateResult createSoundscapeBlock(SectionTree& tree, Node* selected, TreeObserver* observer = nullptr);
CreateResult createBlock(SectionTree& tree, Node* selected, BlockKind kind, TreeObserver* observer = nullptr);
// The message of a block command whose block could not be added.
Message blockFailureMessage(BlockKind kind);

// ---- The new-element dialog ----

enum class NewElementMode { None = 0, Header = 1, Parameter = 2 };

// The dialog's fields, as script bytes in the script's encoding, starting as the dialog starts.
struct NewElementAnswers {
    NewElementAnswers() = default;
    // The default texts in the encoding of the open script (a UTF-8 script must not get
    // Windows-1251 bytes, which would make it read as Windows-1251 next time).
    explicit NewElementAnswers(ScriptEncoding textEncoding)
        : encoding(textEncoding), parameterName(utf8ToScript(newtext::ParameterDefault, textEncoding)),
          value(utf8ToScript(newtext::ValueDefault, textEncoding)) {}

    ScriptEncoding encoding = ScriptEncoding::Windows1251;
    NewElementMode mode = NewElementMode::None;
    std::string headerName;                                              // the header's name
    std::string parameterName = utf8ToCp1251(newtext::ParameterDefault); // the parameter's name
    std::string value = utf8ToCp1251(newtext::ValueDefault);             // the value
    std::string commentBeside;                                           // the beside comment
    std::vector<std::string> commentLines;                               // the comment lines above

    // The value field got the focus: it empties while it still holds the default text.
    void enterValue();
};

// The message that stops the command before anything is asked, or none when it may go on.
std::optional<Message> checkNewElement(const SectionTree& tree, const Node* selected,
                                       const NewElementAnswers& answers);
// Whether the command asks "Переместить в начало?" once checkNewElement passed: in parameter mode.
bool asksPlacement(const NewElementAnswers& answers);

// Creates the header (appended as the last child) or the parameter (first child on Yes, last on No;
// nothing on Cancel) under the selected node, with the normalised name and value and the comments of
// the dialog, then reassigns the images.
CreateResult addNewElement(SectionTree& tree, Node* selected, const NewElementAnswers& answers,
                           PlacementAnswer placement, TreeObserver* observer = nullptr);

} // namespace tonvale
