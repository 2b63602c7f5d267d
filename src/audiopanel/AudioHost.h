// SPDX-License-Identifier: MIT
#pragma once

#include "document/Message.h"

namespace tonvale {

// What the audio windows need from the main window: its message boxes, the master volume setting
// GenVol (0 = full volume, 100 = silence; saved at exit), and the news that the player's Apply
// changed the document (the window refreshes its grid and marks the document modified).
class AudioHost {
  public:
    virtual ~AudioHost() = default;
    virtual void showMessage(const Message& message) = 0;
    virtual int masterVolumeSetting() const = 0;
    virtual void setMasterVolumeSetting(int value) = 0;
    virtual void documentChanged() = 0;
};

// Installs the toolkit locale's decimal separator as the one the value readers use.
void installLocaleDecimalSeparator();

} // namespace tonvale
