// SPDX-License-Identifier: MIT
#pragma once

// Which of the main window's commands are available is a function of the window's state alone:
// the window gathers a WindowState whenever something changes (selection, tab, grid cell, modified
// flag, preview) and every command's enabled flag follows from it here, in one place.

namespace tonvale {

enum class CommandId {
    NewFile,
    Open,
    Save,
    SaveAs,
    Exit,
    Settings,
    ExpandAll,
    CollapseAll,
    NewSoundscape,
    Rename,
    Delete,
    NewLoopingBlock,
    NewRandomBlock,
    NewSoundscapeBlock,
    Comments,
    NewElement,
    ChooseWave,
    Find,
    FindAgain,
    PlayerPanel,
    About,
    Help,
    GridNewElement,
    GridChooseWave,
    GridFind,
    PlayWave,
    MasterVolume,
    EditParameter,
    OpenList,
    Undo,
    Redo,
    ProjectPanel,
    ProblemsPanel,
    GoToDefinition,
    FindReferences,
    Count
};

struct WindowState {
    bool documentLoaded = false; // the tree holds nodes
    bool fileOnDisk = false;     // the current file exists
    bool saveOffered = false;    // the document may be saved (set by the file commands)
    bool onTextTab = false;
    bool nodeSelected = false;
    bool endMarkerSelected = false;
    int selectedLevel = -1; // 0 for a soundscape
    bool selectedHasChildren = false;
    bool gridHasCurrentRow = false; // the grid lists rows and one is current
    bool gridAllowsNewElement = false;
    bool gridWaveCell = false; // the current cell is the value of a "wave" row
    bool playableWave = false; // ... and its file is found
    bool previewPlaying = false;
    bool canUndo = false; // the history has a step to take back, or to make again
    bool canRedo = false;
};

bool commandEnabled(CommandId id, const WindowState& state);

} // namespace tonvale
