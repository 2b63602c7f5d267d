// SPDX-License-Identifier: MIT
#include "SeparatorGuard.h"
#include "audio/SoundscapeAnalysis.h"
#include "audio/Values.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace tonvale;
using namespace tonvale::testing;

TEST(Values, ParamKindIsExactAndCaseSensitive) {
    EXPECT_EQ(parameterKind("\"wave\""), ParameterKind::Wave);
    EXPECT_EQ(parameterKind("\"volume\""), ParameterKind::Volume);
    EXPECT_EQ(parameterKind("\"pitch\""), ParameterKind::Pitch);
    EXPECT_EQ(parameterKind("\"time\""), ParameterKind::Time);
    EXPECT_EQ(parameterKind("\"Wave\""), ParameterKind::None);
    EXPECT_EQ(parameterKind("wave"), ParameterKind::None);
    EXPECT_EQ(parameterKind("\"soundlevel\""), ParameterKind::None);
}

TEST(Values, BlockHeadersAreLowerCasedFirst) {
    EXPECT_EQ(classifyBlockHeader("\"PlayLooping\""), SoundBlock::PlayLooping);
    EXPECT_EQ(classifyBlockHeader("\"playrandom\""), SoundBlock::PlayRandom);
    EXPECT_EQ(classifyBlockHeader("\"RNDWAVE\""), SoundBlock::RndWave);
    EXPECT_EQ(classifyBlockHeader("\"playsoundscape\""), SoundBlock::PlaySoundscape);
    EXPECT_EQ(classifyBlockHeader("playlooping"), SoundBlock::None);
    EXPECT_EQ(classifyBlockHeader("\"next.soundscape\""), SoundBlock::None);
}

TEST(Values, QuoteAndCommaHelpers) {
    EXPECT_EQ(stripQuotes("\"a\"b\"\""), "ab");
    EXPECT_EQ(commaToPoint("0,5,1"), "0.5.1");
}

TEST(Values, Conversions) {
    EXPECT_FLOAT_EQ(percentToVolume(50), 0.5f);
    EXPECT_FLOAT_EQ(tenthsToSeconds(10), 1.0f);
    const std::pair<float, int> volumes[] = {{1.0f, 0}, {0.5f, 50}, {0.0f, 100}, {0.125f, 88}, {0.375f, 62}};
    for (auto [v, pos] : volumes)
        EXPECT_EQ(volumeToPosition(v), pos) << v;
    const std::pair<float, int> times[] = {{0.1f, 3000}, {1.0f, 2991},   {6.0f, 2941}, {10.0f, 2901},
                                           {300.0f, 1},  {400.0f, -999}, {0.0f, 3001}};
    for (auto [t, pos] : times)
        EXPECT_EQ(secondsToTimePosition(t), pos) << t;
    EXPECT_EQ(loopPitchToPosition(100), 160);
    EXPECT_EQ(loopPitchToPosition(250), 10);
    EXPECT_EQ(loopPitchToPosition(9), 251);
    // Kept signed: a pitch above the bar's range clamps to the top, not round to the bottom.
    EXPECT_EQ(loopPitchToPosition(300), -40);
    EXPECT_EQ(randomPitchToPosition(100), 150);
    EXPECT_EQ(randomPitchToPosition(50), 200);
    EXPECT_EQ(randomPitchToPosition(250), 0);
    EXPECT_EQ(secondsToTimePosition(3.0e38f), std::numeric_limits<int>::min());
}

TEST(Values, WholeNumbers) {
    EXPECT_EQ(readWholeNumber("  42"), 42);
    EXPECT_EQ(readWholeNumber("-7"), -7);
    EXPECT_EQ(readWholeNumber("+7"), 7);
    for (const char* bad : {"", " ", "42 ", "4 2", "100.5", "x", "+-1", "-", "99999999999"})
        EXPECT_FALSE(readWholeNumber(bad).has_value()) << bad;
}

TEST(Values, GeneralFormat) {
    EXPECT_EQ(formatGeneral(3.456, 2, '.'), "3.5");
    EXPECT_EQ(formatGeneral(3.456, 2, ','), "3,5");
    EXPECT_EQ(formatGeneral(12.3, 2, '.'), "12");
    EXPECT_EQ(formatGeneral(123.4, 2, ','), "1,2E2");
    EXPECT_EQ(formatGeneral(1.0, 4, '.'), "1");
    EXPECT_EQ(formatGeneral(0.75f, 4, ','), "0,75");
    EXPECT_EQ(formatGeneral(0.1f, 4, '.'), "0.1");
    EXPECT_EQ(formatGeneral(0.0, 4, '.'), "0");
    EXPECT_EQ(formatGeneral(300.0, 5, '.'), "300");
    EXPECT_EQ(formatGeneral(65.5356, 5, '.'), "65.536");
}

// The readers on a "." and on a "," locale.
class SeparatorTest : public ::testing::TestWithParam<char> {
  protected:
    SeparatorGuard guard{GetParam()};
    char sep() const { return GetParam(); }
};

TEST_P(SeparatorTest, NumbersInTheLocaleNotation) {
    EXPECT_DOUBLE_EQ(*readNumber(withSeparator(" 0.5 ", sep())), 0.5);
    EXPECT_DOUBLE_EQ(*readNumber(withSeparator(".5", sep())), 0.5);
    EXPECT_DOUBLE_EQ(*readNumber(withSeparator("5.", sep())), 5.0);
    EXPECT_DOUBLE_EQ(*readNumber(withSeparator("-1.5e2", sep())), -150.0);
    for (const char* bad : {"", ".", "abc", "1.2.3", "1e", "--1", "1 2"})
        EXPECT_FALSE(readNumber(withSeparator(bad, sep())).has_value()) << bad;
    // The other separator is not a decimal point in this locale.
    EXPECT_FALSE(readNumber(sep() == '.' ? "0,5" : "0.5").has_value());
}

TEST_P(SeparatorTest, LoopVolumeAndPitch) {
    EXPECT_DOUBLE_EQ(parseLoopVolume("\"0.5\""), 0.5);
    EXPECT_DOUBLE_EQ(parseLoopVolume("\".9\""), 0.9);
    EXPECT_DOUBLE_EQ(parseLoopVolume("\"\t1.0\r\""), 1.0);
    EXPECT_DOUBLE_EQ(parseLoopVolume("\"abc\""), 0.5);
    EXPECT_DOUBLE_EQ(parseLoopVolume(""), 0.5);
    EXPECT_EQ(parseLoopPitch("\"100\""), 100);
    EXPECT_EQ(parseLoopPitch("\" 90 \""), 90);
    EXPECT_EQ(parseLoopPitch("\"100.5\""), 100);
    EXPECT_EQ(parseLoopPitch("\"x\""), 100);
}

struct RangeCase {
    const char* value;
    RangeKind kind;
    int start; // pitch or time position, or volume × 1000
    int end;
    int endOnCommaLocale; // where the locale matters
};

TEST_P(SeparatorTest, Ranges) {
    const RangeCase cases[] = {
        {"\"0.5,1.0\"", RangeKind::Volume, 500, 1000, 1000},
        {"\"0.9, 1.0\"", RangeKind::Volume, 900, 1000, 1000},
        {"\".5\"", RangeKind::Volume, 500, 500, 500},
        {"\"x,0.25\"", RangeKind::Volume, 500, 250, 250},
        {"\"1,6\"", RangeKind::Time, 2991, 2941, 2941},
        {"\"5\"", RangeKind::Time, 2951, 2951, 2951},
        {"\"0\"", RangeKind::Time, 3001, 3001, 3001},
        {"\"abc\"", RangeKind::Time, 2901, 2901, 2901},
        {"\"1,2,3\"", RangeKind::Time, 2991, 2901, 2978}, // b = "2,3": 2.3 s only on a "," locale
        {"\"90,110\"", RangeKind::Pitch, 90, 110, 110},
        {"\"x\"", RangeKind::Pitch, 100, 100, 100},
        {"\"90 ,110\"", RangeKind::Pitch, 100, 110, 110},
        {"\"85, 105\"", RangeKind::Pitch, 85, 105, 105},
    };
    for (const RangeCase& c : cases) {
        RandomRanges r;
        parseRange(c.value, c.kind, r);
        const int end = sep() == ',' ? c.endOnCommaLocale : c.end;
        switch (c.kind) {
        case RangeKind::Volume:
            EXPECT_EQ(std::lround(r.volumeStart * 1000), c.start) << c.value;
            EXPECT_EQ(std::lround(r.volumeEnd * 1000), end) << c.value;
            break;
        case RangeKind::Time:
            EXPECT_EQ(r.timeStart, c.start) << c.value;
            EXPECT_EQ(r.timeEnd, end) << c.value;
            break;
        case RangeKind::Pitch:
            EXPECT_EQ(r.pitchStart, c.start) << c.value;
            EXPECT_EQ(r.pitchEnd, end) << c.value;
            break;
        }
    }
    RandomRanges untouched;
    untouched.volumeStart = 0.3f;
    parseRange("", RangeKind::Volume, untouched);
    EXPECT_FLOAT_EQ(untouched.volumeStart, 0.3f);
}

INSTANTIATE_TEST_SUITE_P(Locales, SeparatorTest, ::testing::Values('.', ','), [](const auto& p) {
    return p.param == '.' ? std::string("Point") : std::string("Comma");
});
