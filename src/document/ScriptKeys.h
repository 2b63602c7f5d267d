// SPDX-License-Identifier: MIT
#pragma once

// The keys soundscape scripts use, in one table: which block each key belongs to and what its value
// holds. The format itself has no fixed schema (the editor accepts and keeps any key); this table
// tells which keys a game reads, so that checks can point out a key that nothing reads, such as a
// typo, and know which values must be numbers. Keys compare without their double quotes and without
// regard to ASCII case, as games read them.

#include <array>
#include <cstdint>
#include <string_view>

namespace tonvale {

// Where a key stands: the soundscape itself or one of its blocks. A manifest lists script files.
enum class ScriptBlock : std::uint8_t {
    Soundscape,
    PlayLooping,
    PlayRandom,
    RndWave,
    PlaySoundscape,
    PlayEvent,
    Manifest,
    Unknown, // a block no table row opens: its keys are not checked
};

// What a key's value holds.
enum class KeyValue : std::uint8_t {
    Block,      // the key opens a block (the row names the block)
    Volume,     // a number or a range "low,high", each 0..1
    Pitch,      // a number or a range, each 0..255 (percent of the normal rate)
    Time,       // a number or a range of seconds, never negative
    Number,     // one number, never negative
    Integer,    // one whole number, never negative
    Position,   // a whole number or "random"
    SoundLevel, // a sound level name such as "SNDLVL_75dB"
    Wave,       // a wave file, relative to the sound folder
    Soundscape, // the name of a soundscape
    Text,       // anything
};

struct ScriptKey {
    std::string_view key;
    std::uint16_t blocks; // bit (1 << ScriptBlock) for every block the key may stand in
    KeyValue value;
    ScriptBlock opens = ScriptBlock::Unknown; // for KeyValue::Block: the block it opens
};

constexpr std::uint16_t inBlock(ScriptBlock block) {
    return static_cast<std::uint16_t>(1u << static_cast<unsigned>(block));
}

namespace scriptkeys {
constexpr std::uint16_t Soundscape = inBlock(ScriptBlock::Soundscape);
constexpr std::uint16_t Looping = inBlock(ScriptBlock::PlayLooping);
constexpr std::uint16_t Random = inBlock(ScriptBlock::PlayRandom);
constexpr std::uint16_t RndWave = inBlock(ScriptBlock::RndWave);
constexpr std::uint16_t PlaySoundscape = inBlock(ScriptBlock::PlaySoundscape);
constexpr std::uint16_t Event = inBlock(ScriptBlock::PlayEvent);
constexpr std::uint16_t Manifest = inBlock(ScriptBlock::Manifest);
constexpr std::uint16_t Sounds = Looping | Random;
} // namespace scriptkeys

// Every key of the table, gathered from the scripts that games and mods ship.
inline constexpr std::array<ScriptKey, 25> ScriptKeys{{
    {"playlooping", scriptkeys::Soundscape, KeyValue::Block, ScriptBlock::PlayLooping},
    {"playrandom", scriptkeys::Soundscape, KeyValue::Block, ScriptBlock::PlayRandom},
    {"playsoundscape", scriptkeys::Soundscape, KeyValue::Block, ScriptBlock::PlaySoundscape},
    {"playevent", scriptkeys::Soundscape, KeyValue::Block, ScriptBlock::PlayEvent},
    {"rndwave", scriptkeys::Random, KeyValue::Block, ScriptBlock::RndWave},
    {"dsp", scriptkeys::Soundscape, KeyValue::Integer},
    {"dsp_volume", scriptkeys::Soundscape, KeyValue::Number},
    {"dsp_spatial", scriptkeys::Soundscape, KeyValue::Integer},
    {"soundmixer", scriptkeys::Soundscape, KeyValue::Text},
    {"fadetime", scriptkeys::Soundscape, KeyValue::Time},
    {"wave", scriptkeys::Looping | scriptkeys::RndWave, KeyValue::Wave},
    {"volume", scriptkeys::Sounds | scriptkeys::PlaySoundscape | scriptkeys::Event, KeyValue::Volume},
    {"pitch", scriptkeys::Sounds, KeyValue::Pitch},
    {"time", scriptkeys::Random, KeyValue::Time},
    {"attenuation", scriptkeys::Sounds, KeyValue::Number},
    {"soundlevel", scriptkeys::Sounds, KeyValue::SoundLevel},
    {"position", scriptkeys::Sounds | scriptkeys::PlaySoundscape, KeyValue::Position},
    {"origin", scriptkeys::Sounds | scriptkeys::PlaySoundscape, KeyValue::Text},
    {"suppress_on_restore", scriptkeys::Sounds, KeyValue::Integer},
    {"name", scriptkeys::PlaySoundscape, KeyValue::Soundscape},
    {"positionoverride", scriptkeys::PlaySoundscape, KeyValue::Integer},
    {"ambientpositionoverride", scriptkeys::PlaySoundscape, KeyValue::Integer},
    {"event", scriptkeys::Event, KeyValue::Text},
    {"traveler", scriptkeys::Event, KeyValue::Text},
    {"file", scriptkeys::Manifest, KeyValue::Text},
}};

// True when the two keys are the same to a game: equal without regard to ASCII case.
constexpr bool sameKey(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

// The table's row for a key (quotes already removed) standing in `block`, or nullptr when a game
// reads no such key there.
constexpr const ScriptKey* findScriptKey(ScriptBlock block, std::string_view key) {
    for (const ScriptKey& row : ScriptKeys) {
        if ((row.blocks & inBlock(block)) != 0 && sameKey(row.key, key))
            return &row;
    }
    return nullptr;
}

// The keyword that opens a block, as scripts write it ("playlooping"); "soundscape" for the
// soundscape itself.
constexpr std::string_view blockKeyword(ScriptBlock block) {
    switch (block) {
    case ScriptBlock::Soundscape:
        return "soundscape";
    case ScriptBlock::PlayLooping:
        return "playlooping";
    case ScriptBlock::PlayRandom:
        return "playrandom";
    case ScriptBlock::RndWave:
        return "rndwave";
    case ScriptBlock::PlaySoundscape:
        return "playsoundscape";
    case ScriptBlock::PlayEvent:
        return "playevent";
    case ScriptBlock::Manifest:
        return "soundscapes_manifest";
    case ScriptBlock::Unknown:
        break;
    }
    return "block";
}

} // namespace tonvale
