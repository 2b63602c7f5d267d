#include "audio/SoundscapeAnalysis.h"

#include "audio/DecimalSeparator.h"
#include "audio/Values.h"
#include "document/SoundPaths.h"
#include "document/TextHelpers.h"

#include <vector>

namespace tonvale {

SoundBlock classifyBlockHeader(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    if (lower == "\"playlooping\"")
        return SoundBlock::PlayLooping;
    if (lower == "\"playrandom\"")
        return SoundBlock::PlayRandom;
    if (lower == "\"rndwave\"")
        return SoundBlock::RndWave;
    if (lower == "\"playsoundscape\"")
        return SoundBlock::PlaySoundscape;
    return SoundBlock::None;
}

void ParseRange(std::string_view value, RangeKind kind, TPlayRandRanges& ranges) {
    if (value.empty())
        return;
    const char sep = localeDecimalSeparator();
    std::string s = StripQuotes(value);
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
        ranges.VolStart = static_cast<float>(readNumber(a, sep).value_or(0.5));
        ranges.VolEnd = static_cast<float>(readNumber(b, sep).value_or(0.5));
        break;
    case RangeKind::Time:
        ranges.TimeStartPos = SecondsToTimePos(static_cast<float>(readNumber(a, sep).value_or(10.0)));
        ranges.TimeEndPos = SecondsToTimePos(static_cast<float>(readNumber(b, sep).value_or(10.0)));
        break;
    case RangeKind::Pitch:
        ranges.PitchStart = static_cast<int>(readWholeNumber(a).value_or(100));
        ranges.PitchEnd = static_cast<int>(readWholeNumber(b).value_or(100));
        break;
    }
}

void AnalyseSS(const SectionTree& tree, const Node* selected, std::string_view soundDir, PlayingWav& audio) {
    if (tree.empty() || selected == nullptr || selected->level() != 0)
        return;
    audio.ReleaseAllSounds();
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
            break;  // the next soundscape, or a block this player does not know
        const int level = node->level();
        const Node* n = tree.next(node);
        switch (kind) {
        case SoundBlock::PlayLooping:
            for (; n && n->level() > level; n = tree.next(n)) {
                const TNodeData* data = n->data();
                if (!data)
                    continue;
                switch (ParamKind(n->text())) {
                case ParamKindValue::Wave:
                    audio.LoopSound.FileName = resolveWavePath(soundDir, data->Value);
                    break;
                case ParamKindValue::Volume:
                    audio.LoopSound.Volume = static_cast<float>(ParseLoopVolume(data->Value));
                    break;
                case ParamKindValue::Pitch:
                    audio.LoopSound.Pitch = ParseLoopPitch(data->Value);
                    break;
                default:
                    break;
                }
            }
            break;
        case SoundBlock::PlayRandom:
            for (; n && !n->hasChildren(); n = tree.next(n)) {
                const TNodeData* data = n->data();
                if (!data)
                    continue;
                switch (ParamKind(n->text())) {
                case ParamKindValue::Volume:
                    ParseRange(data->Value, RangeKind::Volume, audio.RandRanges);
                    break;
                case ParamKindValue::Pitch:
                    ParseRange(data->Value, RangeKind::Pitch, audio.RandRanges);
                    break;
                case ParamKindValue::Time:
                    ParseRange(data->Value, RangeKind::Time, audio.RandRanges);
                    break;
                default:
                    break;
                }
            }
            break;
        case SoundBlock::RndWave:
            anyRndWave = true;
            for (; n && n->level() > level; n = tree.next(n)) {
                const TNodeData* data = n->data();
                if (data && n->text() == "\"wave\"")
                    waves.push_back(resolveWavePath(soundDir, data->Value));
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
        audio.OpenPlayList(waves);
}

} // namespace tonvale
