// SPDX-License-Identifier: MIT
#include "audio/SoundscapeAnalysis.h"

#include "audio/DecimalSeparator.h"
#include "audio/Values.h"
#include "document/BlockKinds.h"
#include "document/SoundPaths.h"
#include "document/TextHelpers.h"

#include <vector>

namespace tonvale {

SoundBlock classifyBlockHeader(std::string_view text) {
    const std::optional<BlockKind> kind = blockKindOf(text, KeywordCase::Ignored);
    if (!kind)
        return SoundBlock::None;
    switch (*kind) {
    case BlockKind::PlayLooping:
        return SoundBlock::PlayLooping;
    case BlockKind::PlayRandom:
        return SoundBlock::PlayRandom;
    case BlockKind::RandomWaves:
        return SoundBlock::RndWave;
    case BlockKind::PlaySoundscape:
        return SoundBlock::PlaySoundscape;
    }
    return SoundBlock::None;
}

void parseRange(std::string_view value, RangeKind kind, RandomRanges& ranges) {
    if (value.empty())
        return;
    const char sep = localeDecimalSeparator();
    std::string s = stripQuotes(value);
    const std::string_view trimmed = trim(s);
    std::string a;
    std::string b;
    const std::size_t comma = trimmed.find(',');
    if (comma != std::string_view::npos) {
        a = pointToSeparator(trimmed.substr(0, comma), sep);
        b = std::string(trim(pointToSeparator(trimmed.substr(comma + 1), sep)));
    } else {
        a = b = pointToSeparator(trimmed, sep);
    }
    switch (kind) {
    case RangeKind::Volume:
        ranges.volumeStart = static_cast<float>(readNumber(a, sep).value_or(0.5));
        ranges.volumeEnd = static_cast<float>(readNumber(b, sep).value_or(0.5));
        break;
    case RangeKind::Time:
        ranges.timeStart = secondsToTimePosition(static_cast<float>(readNumber(a, sep).value_or(10.0)));
        ranges.timeEnd = secondsToTimePosition(static_cast<float>(readNumber(b, sep).value_or(10.0)));
        break;
    case RangeKind::Pitch:
        ranges.pitchStart = static_cast<int>(readWholeNumber(a).value_or(100));
        ranges.pitchEnd = static_cast<int>(readWholeNumber(b).value_or(100));
        break;
    }
}

SoundscapeValueNodes analyseSoundscape(const SectionTree& tree, const Node* selected,
                                       std::string_view soundDir, AudioEngine& audio) {
    SoundscapeValueNodes at;
    if (tree.empty() || selected == nullptr || selected->level() != 0)
        return at;
    audio.releaseAll();
    bool loopWithWave = false;
    std::vector<std::string> waves;
    bool anyRndWave = false;

    const Node* node = tree.next(selected);
    while (node) {
        if (!node->hasChildren()) {
            node = tree.next(node);
            continue;
        }
        const SoundBlock kind = classifyBlockHeader(node->text());
        if (kind == SoundBlock::None)
            break; // the next soundscape, or a block this player does not know
        const int level = node->level();
        const Node* n = tree.next(node);
        switch (kind) {
        case SoundBlock::PlayLooping:
            if (!loopWithWave)
                at.loopBlock = node;
            for (; n && n->level() > level; n = tree.next(n)) {
                const NodeData* data = n->data();
                if (!data)
                    continue;
                switch (parameterKind(n->text())) {
                case ParameterKind::Wave:
                    audio.loopingSound.path = resolveWavePath(soundDir, data->value);
                    at.loopBlock = node;
                    loopWithWave = true;
                    break;
                case ParameterKind::Volume:
                    audio.loopingSound.volume = static_cast<float>(parseLoopVolume(data->value));
                    at.loopVolume = n;
                    break;
                case ParameterKind::Pitch:
                    audio.loopingSound.pitch = parseLoopPitch(data->value);
                    at.loopPitch = n;
                    break;
                default:
                    break;
                }
            }
            break;
        case SoundBlock::PlayRandom:
            at.randomBlock = node;
            for (; n && !n->hasChildren(); n = tree.next(n)) {
                const NodeData* data = n->data();
                if (!data)
                    continue;
                // An empty value changes nothing, so the value shown was not read there.
                const bool read = !data->value.empty();
                switch (parameterKind(n->text())) {
                case ParameterKind::Volume:
                    parseRange(data->value, RangeKind::Volume, audio.randomRanges);
                    if (read)
                        at.randomVolume = n;
                    break;
                case ParameterKind::Pitch:
                    parseRange(data->value, RangeKind::Pitch, audio.randomRanges);
                    if (read)
                        at.randomPitch = n;
                    break;
                case ParameterKind::Time:
                    parseRange(data->value, RangeKind::Time, audio.randomRanges);
                    if (read)
                        at.randomTime = n;
                    break;
                default:
                    break;
                }
            }
            break;
        case SoundBlock::RndWave:
            anyRndWave = true;
            for (; n && n->level() > level; n = tree.next(n)) {
                const NodeData* data = n->data();
                if (data && n->text() == "\"wave\"")
                    waves.push_back(resolveWavePath(soundDir, data->value));
            }
            break;
        case SoundBlock::PlaySoundscape:
        case SoundBlock::None:
            break;
        }
        node = n;
    }
    // Every rndwave block adds to one list; opening it once at the end gives the same channels, in
    // document order, as opening the growing list after each block, and decodes each wave once.
    if (anyRndWave)
        audio.openRandomWaves(waves);
    return at;
}

} // namespace tonvale
