// SPDX-License-Identifier: MIT
// Which commands the window offers, as a function of its state, without a window.

#include "shell/CommandState.h"

#include <gtest/gtest.h>

namespace tonvale {
namespace {

WindowState soundscapeSelected() {
    WindowState s;
    s.documentLoaded = true;
    s.fileOnDisk = true;
    s.nodeSelected = true;
    s.selectedLevel = 0;
    s.selectedHasChildren = true;
    return s;
}

struct Case {
    const char* name;
    WindowState state;
    std::vector<CommandId> enabled; // among the commands that depend on the state
};

const std::vector<CommandId> Dependent = {
    CommandId::Save,           CommandId::ExpandAll,
    CommandId::CollapseAll,    CommandId::NewSoundscape,
    CommandId::Rename,         CommandId::Delete,
    CommandId::Comments,       CommandId::NewLoopingBlock,
    CommandId::NewRandomBlock, CommandId::NewSoundscapeBlock,
    CommandId::PlayerPanel,    CommandId::NewElement,
    CommandId::GridNewElement, CommandId::ChooseWave,
    CommandId::GridChooseWave, CommandId::Find,
    CommandId::GridFind,       CommandId::PlayWave,
    CommandId::GoToDefinition, CommandId::FindReferences,
};

std::vector<Case> cases() {
    using enum CommandId;
    std::vector<Case> list;
    list.push_back({"nothing open", WindowState{}, {}});

    WindowState s = soundscapeSelected();
    list.push_back({"soundscape with blocks selected",
                    s,
                    {ExpandAll, CollapseAll, NewSoundscape, Rename, Delete, Comments, NewLoopingBlock,
                     NewRandomBlock, NewSoundscapeBlock, PlayerPanel, GoToDefinition, FindReferences}});

    s.selectedHasChildren = false;
    list.push_back({"empty soundscape: no player panel",
                    s,
                    {ExpandAll, CollapseAll, NewSoundscape, Rename, Delete, Comments, NewLoopingBlock,
                     NewRandomBlock, NewSoundscapeBlock, GoToDefinition, FindReferences}});

    s = soundscapeSelected();
    s.selectedLevel = 2;
    s.saveOffered = true;
    s.gridHasCurrentRow = true;
    s.gridAllowsNewElement = true;
    s.gridWaveCell = true;
    s.playableWave = true;
    list.push_back({"block parameter with a found wave, modified",
                    s,
                    {Save, ExpandAll, CollapseAll, NewSoundscape, Rename, Delete, Comments, NewElement,
                     GridNewElement, ChooseWave, GridChooseWave, Find, GridFind, PlayWave, GoToDefinition}});

    s = soundscapeSelected();
    s.endMarkerSelected = true;
    s.selectedHasChildren = false;
    list.push_back({"end marker selected", s, {ExpandAll, CollapseAll, NewSoundscape}});

    s = soundscapeSelected();
    s.onTextTab = true;
    s.gridHasCurrentRow = true;
    s.gridWaveCell = true;
    s.playableWave = true;
    s.previewPlaying = true;
    list.push_back({"text tab: tree and grid commands off, find and a playing preview's stop on",
                    s,
                    {ExpandAll, CollapseAll, PlayerPanel, Find, PlayWave}});

    s = WindowState{};
    s.fileOnDisk = true;
    list.push_back({"file on disk but nothing loaded: new soundscape explains", s, {NewSoundscape}});
    return list;
}

TEST(CommandState, EnabledCommandsFollowTheWindowState) {
    for (const Case& c : cases()) {
        for (CommandId id : Dependent) {
            const bool expected = std::find(c.enabled.begin(), c.enabled.end(), id) != c.enabled.end();
            EXPECT_EQ(commandEnabled(id, c.state), expected)
                << c.name << ", command " << static_cast<int>(id);
        }
    }
}

TEST(CommandState, FileAndHelpCommandsAreAlwaysOffered) {
    for (const Case& c : cases()) {
        for (CommandId id : {CommandId::NewFile, CommandId::Open, CommandId::SaveAs, CommandId::Exit,
                             CommandId::Settings, CommandId::About, CommandId::Help, CommandId::FindAgain,
                             CommandId::MasterVolume, CommandId::ProjectPanel, CommandId::ProblemsPanel})
            EXPECT_TRUE(commandEnabled(id, c.state)) << c.name;
    }
}

} // namespace
} // namespace tonvale
