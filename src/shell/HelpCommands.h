// SPDX-License-Identifier: MIT
#pragma once

// The "Помощь" menu's commands: the About box and the help file.

namespace tonvale {

class Platform;
class Prompts;

void showAbout(Prompts& prompts);
// Opens the help file beside the program with the desktop, or says that it is missing.
void showHelp(const Platform& platform, Prompts& prompts);

} // namespace tonvale
