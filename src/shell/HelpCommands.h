// SPDX-License-Identifier: MIT
#pragma once

// The "Помощь" menu's commands: the About box and the user guide.

#include <QString>

class QWidget;

namespace tonvale {

class Prompts;

// The user guide built into the program.
inline const QString UserGuide = QStringLiteral(":/help/user-guide.md");

void showAbout(Prompts& prompts);
// Shows the user guide in the help window (one for the whole run, a child of `parent`), or says that
// the guide is missing.
void showHelp(QWidget* parent, Prompts& prompts, const QString& guide = UserGuide);

} // namespace tonvale
