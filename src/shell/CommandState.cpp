// SPDX-License-Identifier: MIT
#include "shell/CommandState.h"

namespace tonvale {

bool commandEnabled(CommandId id, const WindowState& s) {
    const bool element = s.documentLoaded && s.nodeSelected && !s.endMarkerSelected;
    const bool soundscape = element && s.selectedLevel == 0;
    switch (id) {
    case CommandId::Save:
        return s.saveOffered;
    case CommandId::ExpandAll:
    case CommandId::CollapseAll:
        return s.documentLoaded;
    case CommandId::NewSoundscape:
        // Without a file on disk the command still runs to say that a file must be opened first.
        return !s.onTextTab && (s.fileOnDisk || (s.documentLoaded && s.nodeSelected));
    case CommandId::Rename:
    case CommandId::Delete:
    case CommandId::Comments:
        return element && !s.onTextTab;
    case CommandId::NewLoopingBlock:
    case CommandId::NewRandomBlock:
    case CommandId::NewSoundscapeBlock:
        return soundscape && !s.onTextTab;
    case CommandId::PlayerPanel:
        return soundscape && s.selectedHasChildren;
    case CommandId::NewElement:
    case CommandId::GridNewElement:
        return !s.onTextTab && s.gridAllowsNewElement;
    case CommandId::ChooseWave:
    case CommandId::GridChooseWave:
        return !s.onTextTab && s.gridWaveCell;
    case CommandId::Find:
        return s.onTextTab || s.gridHasCurrentRow;
    case CommandId::GridFind:
        return !s.onTextTab && s.gridHasCurrentRow;
    case CommandId::GoToDefinition:
        // The command finds the name itself: the grid's current "name" row of a playsoundscape block,
        // or the selected element inside one.
        return element && !s.onTextTab;
    case CommandId::FindReferences:
        return soundscape && !s.onTextTab;
    case CommandId::PlayWave:
        return s.previewPlaying || (!s.onTextTab && s.playableWave);
    case CommandId::Undo:
        // On the text tab the editor's own undo works.
        return !s.onTextTab && s.canUndo;
    case CommandId::Redo:
        return !s.onTextTab && s.canRedo;
    case CommandId::NewFile:
    case CommandId::Open:
    case CommandId::SaveAs:
    case CommandId::Exit:
    case CommandId::Settings:
    case CommandId::FindAgain:
    case CommandId::About:
    case CommandId::Help:
    case CommandId::MasterVolume:
    case CommandId::EditParameter:
    case CommandId::OpenList:
    case CommandId::ProjectPanel:
    case CommandId::ProblemsPanel:
        return true;
    case CommandId::Count:
        break;
    }
    return false;
}

} // namespace tonvale
