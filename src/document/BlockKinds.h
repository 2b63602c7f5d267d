// SPDX-License-Identifier: MIT
#pragma once

// The kinds of blocks a soundscape holds, in one table: the keyword each is written with in a script
// (quotes included) and the parameters the new-element dialog suggests under it.

#include <array>
#include <optional>
#include <string_view>

namespace tonvale {

enum class BlockKind { PlayLooping, PlayRandom, RandomWaves, PlaySoundscape };

struct BlockKindInfo {
    BlockKind kind;
    std::string_view keyword;                  // as written in a script, quotes included
    std::array<std::string_view, 7> suggested; // parameters offered under the block, empty ones unused
};

inline constexpr std::array<BlockKindInfo, 4> BlockKinds = {{
    {BlockKind::PlayLooping,
     "\"playlooping\"",
     {"\"wave\"", "\"volume\"", "\"pitch\"", "\"attenuation\"", "\"position\""}},
    {BlockKind::PlayRandom,
     "\"playrandom\"",
     {"\"time\"", "\"volume\"", "\"pitch\"", "\"attenuation\"", "\"rndwave\"", "\"position\"",
      "\"soundlevel\""}},
    {BlockKind::RandomWaves, "\"rndwave\"", {"\"wave\""}},
    {BlockKind::PlaySoundscape,
     "\"playsoundscape\"",
     {"\"name\"", "\"volume\"", "\"position\"", "\"positionoverride\"", "\"ambientpositionoverride\""}},
}};

enum class KeywordCase { Exact, Ignored };

// The kind of block whose keyword the text is; letters A to Z compared without regard to case when
// asked (the player reads scripts as games do), every other byte exactly.
inline std::optional<BlockKind> blockKindOf(std::string_view text,
                                            KeywordCase letterCase = KeywordCase::Exact) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    for (const BlockKindInfo& info : BlockKinds) {
        if (info.keyword.size() != text.size())
            continue;
        bool same = true;
        for (std::size_t i = 0; same && i < text.size(); ++i)
            same = letterCase == KeywordCase::Exact ? text[i] == info.keyword[i]
                                                    : lower(text[i]) == info.keyword[i];
        if (same)
            return info.kind;
    }
    return std::nullopt;
}

inline const BlockKindInfo& blockKindInfo(BlockKind kind) {
    return BlockKinds[static_cast<std::size_t>(kind)];
}

} // namespace tonvale
