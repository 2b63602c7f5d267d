// SPDX-License-Identifier: MIT
#pragma once

#include "audio/AudioEngine.h"
#include "document/SectionTree.h"

#include <string>
#include <string_view>

namespace tonvale {

// Kind of a block header by its lower-cased text.
enum class SoundBlock { None, PlayLooping, PlayRandom, RndWave, PlaySoundscape };
SoundBlock classifyBlockHeader(std::string_view text);

enum class RangeKind { Volume, Time, Pitch };

// Reads a playrandom value ("0.5,1.0" or "5") into two fields of `ranges`. An empty value changes
// nothing; unreadable ends take the kind's default (volume 0.5, time 10 s, pitch 100).
void parseRange(std::string_view value, RangeKind kind, RandomRanges& ranges);

// Where the values the analysis kept were read: the parameter node of each value (nullptr when the
// value is a default), and the blocks a missing parameter belongs in (the last playlooping block
// that names a wave, else the last playlooping block; the last playrandom block).
struct SoundscapeValueNodes {
    const Node* loopBlock = nullptr;
    const Node* loopVolume = nullptr;
    const Node* loopPitch = nullptr;
    const Node* randomBlock = nullptr;
    const Node* randomTime = nullptr;
    const Node* randomVolume = nullptr;
    const Node* randomPitch = nullptr;
};

// Gathers the sounds of the top-level soundscape `selected`: releases every channel, then fills
// loop (file, volume, pitch), randomRanges and randomWaves (one channel per wave that opens, in
// document order) from its playlooping, playrandom and rndwave blocks, and tells where each value
// was read. Does nothing unless `selected` is a top-level node of `tree`. Wave values are relative
// to `soundDir`.
SoundscapeValueNodes analyseSoundscape(const SectionTree& tree, const Node* selected,
                                       std::string_view soundDir, AudioEngine& audio);

} // namespace tonvale
