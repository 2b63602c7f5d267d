// SPDX-License-Identifier: MIT
#pragma once

// tonvale-render: renders a whole soundscape of a script to a WAV file, with the player the editor
// uses, so a sound designer can share what the soundscape sounds like.

#include <iosfwd>
#include <string>
#include <vector>

namespace tonvale {

enum RenderExit : int { RenderWritten = 0, RenderUsage = 1, RenderNotFound = 2, RenderIoError = 3 };

// What the tool asks of the machine, replaceable in tests.
struct RenderToolContext {
    bool progressOnTerminal = false;        // standard error is a terminal: show the progress there
    std::vector<std::string> settingsFiles; // the program's settings files, tried in order for Sounddir
};

// The settings files an installed or a built program keeps: beside the executable, then in the
// per-user config folder.
RenderToolContext defaultRenderToolContext(const std::string& executable);

// Runs the tool with its arguments (without the program name). The drawn seed goes to `out`; the
// tool's messages and the progress go to `err`.
int runRenderTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                  const RenderToolContext& context);

// The sound folder when none is given: the nearest "sound" folder at or above the script's folder
// (a project keeps scripts/ and sound/ side by side), else the settings' Sounddir when that folder
// exists, else the script's own folder.
std::string defaultSoundFolder(const std::string& script, const std::vector<std::string>& settingsFiles);

} // namespace tonvale
