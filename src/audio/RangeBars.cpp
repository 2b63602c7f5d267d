// SPDX-License-Identifier: MIT
#include "audio/RangeBars.h"

#include "audio/Values.h"

#include <algorithm>

namespace tonvale {

const std::array<BarSpec, 9>& playerBars() {
    static const std::array<BarSpec, 9> bars = {{
        {BarLoopVolume, 0, 100, 100, 10, 5, 4, "0"},
        {BarLoopPitch, 10, 251, 160, 1, 10, 3, "100"},
        {BarTimeStart, 1, 3000, 3000, 10, 100, 5, "0.1"},
        {BarTimeEnd, 1, 3000, 3000, 10, 100, 5, "0.1"},
        {BarVolumeStart, 0, 100, 100, 10, 5, 4, "0"},
        {BarVolumeEnd, 0, 100, 100, 10, 5, 4, "0"},
        {BarPitchStart, 0, 200, 200, 10, 10, 3, "100"},
        {BarPitchEnd, 0, 200, 200, 10, 10, 3, "100"},
        {BarMasterVolume, 0, 100, 100, 10, 5, 4, "0"},
    }};
    return bars;
}

const BarSpec& barSpec(int tag) {
    const auto& bars = playerBars();
    return bars[static_cast<std::size_t>(std::clamp(tag, 1, 9) - 1)];
}

int clampPosition(int tag, int position) {
    const BarSpec& shape = barSpec(tag);
    return std::clamp(position, shape.min, shape.max);
}

std::string barValueText(int tag, int position) {
    switch (tag) {
    case BarLoopPitch:
        return std::to_string(260 - position);
    case BarPitchStart:
    case BarPitchEnd:
        return std::to_string(250 - position);
    case BarTimeStart:
    case BarTimeEnd:
        return formatGeneral(tenthsToSeconds(3001 - position), 4);
    default:
        return formatGeneral(percentToVolume(100 - position), 4);
    }
}

int endAfterStartMoved(int startPos, int endPos) {
    return startPos <= endPos ? startPos : endPos;
}

int startAfterEndMoved(int startPos, int endPos) {
    return endPos >= startPos ? endPos : startPos;
}

int partnerBar(int tag) {
    switch (tag) {
    case BarTimeStart:
        return BarTimeEnd;
    case BarTimeEnd:
        return BarTimeStart;
    case BarVolumeStart:
        return BarVolumeEnd;
    case BarVolumeEnd:
        return BarVolumeStart;
    case BarPitchStart:
        return BarPitchEnd;
    case BarPitchEnd:
        return BarPitchStart;
    default:
        return 0;
    }
}

bool isStartBar(int tag) {
    return tag == BarTimeStart || tag == BarVolumeStart || tag == BarPitchStart;
}

int pressEditPosition(int tag, std::string_view text) {
    switch (tag) {
    case BarLoopPitch: {
        const auto v = readWholeNumber(text).value_or(150);
        const BarSpec& shape = barSpec(tag);
        if (v < shape.min)
            return shape.max;
        if (v > shape.max)
            return shape.min;
        return loopPitchToPosition(v);
    }
    case BarTimeStart:
    case BarTimeEnd:
        return secondsToTimePosition(static_cast<float>(readNumber(text).value_or(1.0)));
    case BarVolumeStart:
    case BarVolumeEnd:
        return volumeToPosition(static_cast<float>(readNumber(text).value_or(0.0)));
    case BarPitchStart:
    case BarPitchEnd:
        return randomPitchToPosition(readWholeNumber(text).value_or(150));
    default: // loop volume, master volume
        return volumeToPosition(static_cast<float>(readNumber(text).value_or(0.5)));
    }
}

} // namespace tonvale
