// SPDX-License-Identifier: MIT
#pragma once

// The whole soundscape as a game plays it, gathered from the section tree into plain data: every
// looping sound, every random block with its own ranges and waves, and the sounds of every soundscape
// it references (playsoundscape), with the reference's volume scaling them. The player and the
// renderer work on this data only, so the trees it came from may change or go away afterwards.

#include "document/SectionTree.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tonvale {

// A wave of the mix: the value as the script stores it (quotes removed) and the file found for it.
struct MixWave {
    std::string value;
    std::string path;
};

// A playlooping block. Volumes here already include the scale of the references leading to it.
struct MixLoop {
    MixWave wave;
    float volume = 1.0f; // 0 to 1
    int pitch = 100;     // percent of the wave's own speed
    std::string soundscape;
};

// A playrandom block: after each start, the next wave starts after a delay drawn from the time range.
struct MixRandomBlock {
    std::vector<MixWave> waves;
    std::uint32_t delayMinMs = 10000;
    std::uint32_t delayMaxMs = 10000;
    float volumeMin = 1.0f;
    float volumeMax = 1.0f;
    int pitchMin = 100;
    int pitchMax = 100;
    std::string soundscape;
};

enum class MixProblemKind {
    MissingWave,        // subject: the wave value; the sound is left out
    UndecodableWave,    // subject: the wave value; found by the player, which leaves it out
    SoundscapeNotFound, // subject: the referenced name
    MissingName,        // a playsoundscape block without "name"
    Cycle,              // subject: the chain "A -> B -> A"; the last reference is not followed
    TooDeep,            // subject: the name whose reference was not followed
    TooManySounds,      // the rest of the references and blocks were left out
};

struct MixProblem {
    MixProblemKind kind;
    std::string soundscape; // the soundscape where it was found
    std::string subject;
};

// English text of a problem, as the command-line tool prints it.
std::string describeProblem(const MixProblem& problem);

struct SoundscapeMix {
    std::string name;
    std::vector<MixLoop> loops;
    std::vector<MixRandomBlock> randoms;
    std::vector<std::string> soundscapes; // every soundscape played, the top one first
    std::vector<MixProblem> problems;

    bool hasSounds() const { return !loops.empty() || !randoms.empty(); }
};

// Where a referenced soundscape lives: a top-level node of some tree, or nothing (node nullptr).
struct SoundscapeRef {
    const SectionTree* tree = nullptr;
    const Node* node = nullptr;
};
// Finds a soundscape by name outside the script being played (the project's other scripts).
using SoundscapeLookup = std::function<SoundscapeRef(std::string_view name)>;

// The top-level soundscape named `name` (quotes and case do not matter; the first of equal names).
const Node* findSoundscape(const SectionTree& tree, std::string_view name);
// A soundscape's name as shown in messages: the node's text without its quotes.
std::string soundscapeName(const Node* soundscape);

// Limits that keep a script with runaway references finite.
inline constexpr int MaxReferenceDepth = 32;
inline constexpr std::size_t MaxSoundscapes = 256; // soundscapes expanded, references included
inline constexpr std::size_t MaxLoops = 96;
inline constexpr std::size_t MaxRandomBlocks = 96;

// Gathers the top-level soundscape `soundscape` of `tree`. Inside each block the keys are matched
// without regard to case. A playsoundscape's "name" is looked up first in `tree`, then through
// `lookup`. Values that cannot be read, and values that are missing, take these defaults: volume
// 1 (0.5 when written but unreadable), pitch 100, time 10 s. Ranges are put in order; times are
// at least 0.1 s, volumes 0 to 1, pitches 1 to 400. Waves that are not found are reported and left
// out, and so is a block left without waves. A reference that would close a cycle is reported and
// not followed, so every soundscape of the cycle plays once.
SoundscapeMix gatherSoundscape(const SectionTree& tree, const Node* soundscape, std::string_view soundDir,
                               const SoundscapeLookup& lookup = {});

} // namespace tonvale
