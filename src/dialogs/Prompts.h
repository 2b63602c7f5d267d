// SPDX-License-Identifier: MIT
#pragma once

// Every message box, question, file dialog and confirmation of the program goes through this
// interface. QtPrompts shows real dialogs; the scripted implementation used by the tests answers from
// a queue and records what was asked, so the exact texts, captions, icons and buttons can be checked.

#include "document/Message.h"
#include "document/NewElements.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <string>
#include <vector>

namespace tonvale {

enum PromptButton : int {
    NoButton = 0,
    OkButton = 1,
    YesButton = 2,
    NoButtonAnswer = 4,
    CancelButton = 8,
};
using PromptButtons = int;

// The comments dialog's fields on OK, in the script's code page: the comment beside the element and
// the lines of the comments above it.
struct CommentAnswers {
    std::string beside;
    std::vector<std::string> aboveLines;
};

// The Save As dialog of a script: the file chosen (empty: cancelled) and whether the script's own layout
// is kept in it.
struct SaveAsAnswer {
    QString path;
    bool keepLayout = false;
};

struct SaveOriginAnswer {
    bool yes = false;     // "Да"
    bool dontAsk = false; // "Больше не спрашивать" was ticked
};

class Prompts {
  public:
    virtual ~Prompts() = default;

    // A modal message box; returns the button pressed (Cancel or the default when it is closed).
    virtual PromptButton message(const QString& text, const QString& caption, MessageIcon icon,
                                 PromptButtons buttons = OkButton, PromptButton defaultButton = OkButton) = 0;
    // File dialogs; an empty result means cancelled. `filter` is in Qt's form, "TXT (*.txt)".
    virtual QString openFile(const QString& title, const QString& folder, const QString& filter) = 0;
    virtual QString saveFile(const QString& title, const QString& folder, const QString& filter,
                             const QString& defaultSuffix, const QString& fileName = {}) = 0;
    // Save As for the script: a save dialog with "Сохранять оформление файла", ticked as `keepLayout`
    // says, and offered only when `layoutOffered` (the document was loaded from a text).
    virtual SaveAsAnswer saveScriptAs(const QString& title, const QString& folder, const QString& filter,
                                      const QString& defaultSuffix, bool keepLayout, bool layoutOffered) = 0;
    // The confirmation before saving over the original file.
    virtual SaveOriginAnswer confirmSaveOriginal() = 0;
    // The input box: the text entered, nothing when it is cancelled.
    virtual std::optional<QString> inputText(const QString& caption, const QString& prompt,
                                             const QString& initial) = 0;
    // The new-element dialog: its fields when it closes with "Создать", nothing when cancelled.
    virtual std::optional<NewElementAnswers> newElement(const QString& caption,
                                                        const QStringList& suggestedNames) = 0;
    // The comments dialog over a node's comments (script bytes): the new ones on OK, nothing on Cancel.
    virtual std::optional<CommentAnswers> editComments(const QString& caption, const std::string& beside,
                                                       const std::string& commentsAbove) = 0;
    // The folder-browse dialog: folders only, `folder` selected first; empty when cancelled.
    virtual QString browseFolder(const QString& title, const QString& folder) = 0;
};

} // namespace tonvale
