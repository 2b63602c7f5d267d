// SPDX-License-Identifier: MIT
#include "project/ValueRules.h"

#include <gtest/gtest.h>

using namespace tonvale;
using namespace tonvale::project;

namespace {

struct ValueCase {
    KeyValue kind;
    const char* value;
    std::optional<Check> expected;
};

} // namespace

TEST(ValueRules, JudgesEveryKindOfValue) {
    const ValueCase cases[] = {
        {KeyValue::Volume, "0.5", std::nullopt},
        {KeyValue::Volume, ".5", std::nullopt},
        {KeyValue::Volume, "0.9, 1.0", std::nullopt},
        {KeyValue::Volume, " 1 ", std::nullopt},
        {KeyValue::Volume, "1.01", Check::ValueRange},
        {KeyValue::Volume, "-0.1", Check::ValueRange},
        {KeyValue::Volume, "1,0.5", Check::ValueRange},
        {KeyValue::Volume, "loud", Check::NotANumber},
        {KeyValue::Volume, "0.5,", Check::NotANumber},
        {KeyValue::Volume, "0,5,1", Check::NotANumber},
        {KeyValue::Volume, "0.5f", Check::NotANumber},
        {KeyValue::Volume, "", Check::NotANumber},
        {KeyValue::Volume, "nan", Check::NotANumber},
        {KeyValue::Volume, "++1", Check::NotANumber},
        {KeyValue::Pitch, "255", std::nullopt},
        {KeyValue::Pitch, "90,110", std::nullopt},
        {KeyValue::Pitch, "256", Check::ValueRange},
        {KeyValue::Pitch, "110,90", Check::ValueRange},
        {KeyValue::Time, "13, 35", std::nullopt},
        {KeyValue::Time, "1e2", std::nullopt},
        {KeyValue::Time, "-1,5", Check::ValueRange},
        {KeyValue::Number, "2.5", std::nullopt},
        {KeyValue::Number, "0,5", Check::NotANumber},
        {KeyValue::Integer, "17", std::nullopt},
        {KeyValue::Integer, "6.5", Check::ValueRange},
        {KeyValue::Integer, "six", Check::NotANumber},
        {KeyValue::Position, "random", std::nullopt},
        {KeyValue::Position, "RANDOM", std::nullopt},
        {KeyValue::Position, "3", std::nullopt},
        {KeyValue::Position, "left", Check::NotANumber},
        {KeyValue::SoundLevel, "SNDLVL_75dB", std::nullopt},
        {KeyValue::SoundLevel, "SNDLVL_140db", std::nullopt},
        {KeyValue::SoundLevel, "sndlvl_norm", std::nullopt},
        {KeyValue::SoundLevel, "SNDLVL_GUNFIRE", std::nullopt},
        {KeyValue::SoundLevel, "SNDLVL75dB", Check::UnknownSoundLevel},
        {KeyValue::SoundLevel, "SNDLVL_300dB", Check::UnknownSoundLevel},
        {KeyValue::SoundLevel, "SNDLVL_dB", Check::UnknownSoundLevel},
        {KeyValue::SoundLevel, "75", Check::UnknownSoundLevel},
        {KeyValue::Text, "anything at all", std::nullopt},
        {KeyValue::Wave, "", std::nullopt},
    };
    for (const ValueCase& c : cases) {
        const std::optional<ValueFinding> finding = checkValue(c.kind, "key", c.value);
        EXPECT_EQ(finding ? std::optional<Check>(finding->check) : std::nullopt, c.expected)
            << "kind " << static_cast<int>(c.kind) << " value \"" << c.value << "\"";
    }
}

TEST(ValueRules, MessagesNameTheKeyTheValueAndTheRule) {
    EXPECT_EQ(checkValue(KeyValue::Volume, "volume", "5")->message, "volume \"5\" is outside 0..1");
    EXPECT_EQ(checkValue(KeyValue::Time, "time", "30,10")->message,
              "time \"30,10\": the first number is greater than the second");
    EXPECT_EQ(checkValue(KeyValue::Number, "attenuation", "-1")->message, "attenuation \"-1\" is negative");
    // Script bytes are Windows-1251; messages are UTF-8.
    EXPECT_EQ(checkValue(KeyValue::Pitch, "pitch", "\xE2\xFB\xF1\xEE\xEA\xE8\xE9")->message,
              "pitch \"высокий\" is not a number or a range");
}

TEST(ValueRules, ParseRangeGivesBothEnds) {
    const std::optional<NumberRange> range = parseRange(" 0.25 ,\t1 ");
    ASSERT_TRUE(range);
    EXPECT_DOUBLE_EQ(range->low, 0.25);
    EXPECT_DOUBLE_EQ(range->high, 1.0);
    EXPECT_DOUBLE_EQ(parseRange("7")->high, 7.0);
}
