#pragma once

// Every message box, question, file dialog and confirmation of the program goes through this
// interface. QtPrompts shows real dialogs; the scripted implementation used by the tests answers from
// a queue and records what was asked, so the exact texts, captions, icons and buttons can be checked.

#include "document/Message.h"

#include <QString>

namespace tonvale {

enum PromptButton : int {
    NoButton = 0,
    OkButton = 1,
    YesButton = 2,
    NoButtonAnswer = 4,
    CancelButton = 8,
};
using PromptButtons = int;

struct SaveOriginAnswer {
    bool yes = false;      // "Да"
    bool dontAsk = false;  // "Больше не спрашивать" was ticked
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
    // The confirmation before saving over the original file.
    virtual SaveOriginAnswer confirmSaveOriginal() = 0;
    // The folder-browse dialog: folders only, `folder` selected first; empty when cancelled.
    virtual QString browseFolder(const QString& title, const QString& folder) = 0;
};

} // namespace tonvale
