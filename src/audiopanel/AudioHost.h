// SPDX-License-Identifier: MIT
#pragma once

#include "document/Message.h"

#include <functional>
#include <string>

namespace tonvale {

class TreeObserver;

// What the audio windows need from the main window: its message boxes, the master volume setting
// GenVol (0 = full volume, 100 = silence; saved at exit), and the news that the player's Apply
// changed the document (the window refreshes its grid and marks the document modified), the file a
// rendered soundscape is saved to, and the edits of the document (the window's tree follows them).
class AudioHost {
  public:
    virtual ~AudioHost() = default;
    // Text and caption are the Russian source texts; the host shows them in the interface language.
    virtual void showMessage(const Message& message) = 0;
    virtual int masterVolumeSetting() const = 0;
    virtual void setMasterVolumeSetting(int value) = 0;
    virtual void documentChanged() = 0;
    // Asks where a rendered soundscape goes (a save dialog for WAV files, `suggestedName` proposed);
    // the path as the file system names it, empty when cancelled.
    virtual std::string renderFileName(const std::string& suggestedName) = 0;
    // Runs `edit`, which changes the document through its edit functions reporting to `observer`.
    virtual void editDocument(const std::function<void(TreeObserver* observer)>& edit) { edit(nullptr); }
};

// Installs the toolkit locale's decimal separator as the one the value readers use.
void installLocaleDecimalSeparator();

} // namespace tonvale
