// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace tonvale {

// The nine bars of the player panel as plain rules: their ranges, the value each position shows,
// the start/end ordering of the three ranges, and what an edit box's text sets its bar to. The
// panel's widgets only carry these out. Positions grow downwards: Min shows the largest value.
enum PlayerBarTag : int {
    BarLoopVolume = 1,
    BarLoopPitch = 2,
    BarTimeStart = 3,
    BarTimeEnd = 4,
    BarVolumeStart = 5,
    BarVolumeEnd = 6,
    BarPitchStart = 7,
    BarPitchEnd = 8,
    BarMasterVolume = 9,
};

struct BarSpec {
    int tag;
    int min;
    int max;
    int initial;
    int pageSize;
    int tickSpacing;
    int editMaxLength;
    const char* editInitial; // with "." standing for the locale's separator
};

const std::array<BarSpec, 9>& playerBars();
const BarSpec& barSpec(int tag);

int clampPosition(int tag, int position);

// The text the bar's edit box shows for `position`, in the general number format with the locale's
// separator (volumes and seconds with at most 4 significant digits, pitches whole).
std::string barValueText(int tag, int position);

// Range ordering. After the start bar moved, the end bar stands where the returned position says,
// and the other way round: start <= end in value, equal allowed.
int endAfterStartMoved(int startPos, int endPos);
int startAfterEndMoved(int startPos, int endPos);
// The partner of a range bar (3<->4, 5<->6, 7<->8), 0 for the others.
int partnerBar(int tag);
bool isStartBar(int tag);

// The bar position an edit box's text asks for (before the bar clamps it): numbers in the locale's
// notation, a default where the text is not a number.
int pressEditPosition(int tag, std::string_view text);

} // namespace tonvale
