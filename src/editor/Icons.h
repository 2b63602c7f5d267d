// SPDX-License-Identifier: MIT
#pragma once

// The program's icons, drawn in code: the five section tree images and the command icons.

#include <QIcon>

namespace tonvale {

enum class IconId {
    NewFile,
    Open,
    Save,
    Settings,
    Comment,
    Player,
    NewElement,
    ChooseFile,
    Find,
    Play,
    Volume,
    Expand,
    Collapse,
    Help,
    Stop,
    NewSoundscape,
    Rename,
    Delete,
    About,
    Undo,
    Redo,
};

QIcon commandIcon(IconId id);
// The tree image of the given index (0..4: header, selected header, parameter, selected parameter,
// end marker). The icon of an unselected image carries the selected image for the selected state.
QIcon treeImage(int index);

} // namespace tonvale
