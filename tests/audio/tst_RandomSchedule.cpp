// SPDX-License-Identifier: MIT
#include "SeparatorGuard.h"
#include "audio/RandomSchedule.h"
#include "audio/RangeBars.h"
#include "audio/Values.h"

#include <deque>
#include <gtest/gtest.h>
#include <set>

using namespace tonvale;
using namespace tonvale::testing;

namespace {

// Answers draws from a queue (index = answer modulo n) and records the bound of every draw.
class ScriptedRandom : public RandomSource {
  public:
    explicit ScriptedRandom(std::deque<int> answers = {}) : m_answers(std::move(answers)) {}
    int below(int n) override {
        bounds.push_back(n);
        int a = 0;
        if (!m_answers.empty()) {
            a = m_answers.front();
            m_answers.pop_front();
        }
        return n > 0 ? a % n : 0;
    }
    std::vector<int> bounds;

  private:
    std::deque<int> m_answers;
};

} // namespace

TEST(RandomSchedule, ListsRunFromStartToEnd) {
    ScriptedRandom random;
    RandomSchedule s(random);
    s.buildTimeList(secondsToTimePosition(1.0f), secondsToTimePosition(6.0f));
    ASSERT_EQ(s.timeList().size(), 51u);
    EXPECT_EQ(s.timeHigh(), 50);
    EXPECT_EQ(s.timeList().front(), 1000u);
    EXPECT_EQ(s.timeList()[1], 1100u);
    EXPECT_EQ(s.timeList().back(), 6000u);

    s.buildTimeList(1, 1); // no "time": both bars at 300 s
    EXPECT_EQ(s.timeList(), std::vector<std::uint32_t>{300000});
    s.buildTimeList(2001, 2001); // 100 s stays exact
    EXPECT_EQ(s.timeList(), std::vector<std::uint32_t>{100000});

    s.buildVolumeList(volumeToPosition(0.5f), volumeToPosition(0.53f));
    EXPECT_EQ(s.volumeHigh(), 3);
    ASSERT_EQ(s.volumeList().size(), 4u);
    EXPECT_DOUBLE_EQ(s.volumeList()[0], 0.5);
    EXPECT_DOUBLE_EQ(s.volumeList()[3], 0.53);

    s.buildPitchList(randomPitchToPosition(50), randomPitchToPosition(50));
    EXPECT_EQ(s.pitchList(), std::vector<int>{50});
    s.buildPitchList(randomPitchToPosition(90), randomPitchToPosition(110));
    EXPECT_EQ(s.pitchList().size(), 21u);
    EXPECT_EQ(s.pitchList().back(), 110);
}

TEST(RandomSchedule, StartDrawsDelayAndVolumeButPlaysNothing) {
    ScriptedRandom random({7, 2});
    RandomSchedule s(random);
    s.buildTimeList(2991, 2941);
    s.buildVolumeList(50, 0);
    s.buildPitchList(150, 150);
    EXPECT_EQ(s.start(), 1700u);
    EXPECT_EQ(random.bounds, (std::vector<int>{51, 51}));
    EXPECT_EQ(s.currentVolume(), 2);
}

TEST(RandomSchedule, FourDrawsInOrderTimeWaveVolumePitch) {
    ScriptedRandom random({3, 1, 10, 20});
    RandomSchedule s(random);
    s.buildTimeList(2991, 2981); // 1.0 .. 2.0 s: 11 entries
    s.buildVolumeList(50, 30);   // 0.5 .. 0.7: 21 entries
    s.buildPitchList(150, 100);  // 100 .. 150: 51 entries
    const auto d = s.next(3);
    ASSERT_TRUE(d.has_value());
    EXPECT_EQ(random.bounds, (std::vector<int>{11, 3, 21, 51}));
    EXPECT_EQ(d->delayMs, 1300u);
    EXPECT_EQ(d->wave, 1);
    EXPECT_DOUBLE_EQ(d->volume, 0.6);
    EXPECT_EQ(d->pitch, 120);
    EXPECT_EQ(s.currentTime(), 3);
    EXPECT_EQ(s.currentWave(), 1);
    EXPECT_EQ(s.currentPitch(), 20);
}

TEST(RandomSchedule, EmptyListsOrNoWavesStopTheRandomPart) {
    ScriptedRandom random;
    RandomSchedule s(random);
    EXPECT_FALSE(s.start().has_value());
    EXPECT_FALSE(s.next(2).has_value());
    s.buildTimeList(10, 20); // unordered bars give no candidates
    EXPECT_TRUE(s.timeList().empty());
    s.buildTimeList(20, 10);
    s.buildVolumeList(0, 0);
    s.buildPitchList(150, 150);
    EXPECT_FALSE(s.next(0).has_value());
    EXPECT_TRUE(s.next(1).has_value());
    EXPECT_TRUE(random.bounds.size() >= 4u);
}

TEST(RandomSchedule, SeededDrawsStayInsideTheLists) {
    ClockSeededRandom random(12345);
    RandomSchedule s(random);
    s.buildTimeList(2991, 2941);
    s.buildVolumeList(50, 0);
    s.buildPitchList(200, 0);
    std::set<int> waves;
    std::set<std::uint32_t> delays;
    for (int i = 0; i < 2000; ++i) {
        const auto d = s.next(5);
        ASSERT_TRUE(d.has_value());
        ASSERT_GE(d->delayMs, 1000u);
        ASSERT_LE(d->delayMs, 6000u);
        ASSERT_GE(d->volume, 0.5);
        ASSERT_LE(d->volume, 1.0);
        ASSERT_GE(d->pitch, 50);
        ASSERT_LE(d->pitch, 250);
        waves.insert(d->wave);
        delays.insert(d->delayMs);
    }
    EXPECT_EQ(waves.size(), 5u);   // every wave comes up, the one just played included
    EXPECT_EQ(delays.size(), 51u); // and every delay
}

TEST(RandomSchedule, TextsAndTheWaitingTextAfterARangeWasNarrowed) {
    SeparatorGuard comma(',');
    ScriptedRandom random({50, 0, 20, 0});
    RandomSchedule s(random);
    s.buildTimeList(2991, 2941);
    s.buildVolumeList(50, 30);
    s.buildPitchList(150, 150);
    const auto d = s.next(1);
    ASSERT_TRUE(d.has_value());
    EXPECT_EQ(RandomSchedule::playingText("a.wav", *d),
              " [a.wav] Volume = 0,7. Pitch = 100; Ожидание... через 6 сек.");
    EXPECT_EQ(s.waitingText(), " Ожидание... через 6 сек. Volume = 0,7. Pitch = 100");
    // Narrowed while waiting: the indices lie beyond the new lists and read their last entries.
    s.buildTimeList(2991, 2986);
    s.buildVolumeList(50, 50);
    EXPECT_EQ(s.waitingText(), " Ожидание... через 1,5 сек. Volume = 0,5. Pitch = 100");
}

TEST(RangeBars, BarTable) {
    EXPECT_EQ(barSpec(BarLoopPitch).min, 10);
    EXPECT_EQ(barSpec(BarLoopPitch).max, 251);
    EXPECT_EQ(barSpec(BarTimeStart).min, 1);
    EXPECT_EQ(barSpec(BarTimeEnd).max, 3000);
    EXPECT_EQ(barSpec(BarPitchEnd).max, 200);
    for (const BarSpec& shape : playerBars())
        EXPECT_EQ(clampPosition(shape.tag, shape.initial), shape.initial);
    EXPECT_EQ(clampPosition(BarTimeStart, -999), 1);                      // a 400 s time shows 300 s
    EXPECT_EQ(clampPosition(BarTimeStart, 3001), 3000);                   // a 0 s time shows 0.1 s
    EXPECT_EQ(clampPosition(BarLoopPitch, loopPitchToPosition(300)), 10); // pitch 250, the top
}

TEST(RangeBars, RangesStayOrdered) {
    // Start moved past the end (start value above end value): the end follows.
    EXPECT_EQ(endAfterStartMoved(40, 60), 40);
    EXPECT_EQ(endAfterStartMoved(60, 60), 60);
    EXPECT_EQ(endAfterStartMoved(70, 60), 60);
    // End moved past the start: the start follows.
    EXPECT_EQ(startAfterEndMoved(50, 60), 60);
    EXPECT_EQ(startAfterEndMoved(50, 40), 50);
    EXPECT_EQ(partnerBar(BarVolumeEnd), BarVolumeStart);
    EXPECT_EQ(partnerBar(BarLoopVolume), 0);
    EXPECT_TRUE(isStartBar(BarPitchStart));
}

TEST(RangeBars, ValueTexts) {
    for (char sep : {'.', ','}) {
        SeparatorGuard guard(sep);
        EXPECT_EQ(barValueText(BarLoopVolume, 50), withSeparator("0.5", sep));
        EXPECT_EQ(barValueText(BarVolumeStart, 100), "0");
        EXPECT_EQ(barValueText(BarMasterVolume, 0), "1");
        EXPECT_EQ(barValueText(BarTimeStart, 3000), withSeparator("0.1", sep));
        EXPECT_EQ(barValueText(BarTimeEnd, 1), "300");
        EXPECT_EQ(barValueText(BarLoopPitch, 160), "100");
        EXPECT_EQ(barValueText(BarPitchStart, 200), "50");
    }
}

TEST(RangeBars, PressEditPositions) {
    for (char sep : {'.', ','}) {
        SeparatorGuard guard(sep);
        const struct {
            int tag;
            const char* text;
            int position;
        } cases[] = {
            {BarLoopVolume, "0.25", 75}, {BarLoopVolume, "", 50},       {BarLoopVolume, "x", 50},
            {BarLoopPitch, "300", 10},   {BarLoopPitch, "5", 251},      {BarLoopPitch, "100", 160},
            {BarLoopPitch, "", 110},     {BarTimeStart, "1.5", 2986},   {BarTimeEnd, "", 2991},
            {BarVolumeStart, "", 100},   {BarVolumeEnd, "1", 0},        {BarPitchStart, "80", 170},
            {BarPitchEnd, "", 100},      {BarMasterVolume, "0.75", 25},
        };
        for (const auto& c : cases)
            EXPECT_EQ(pressEditPosition(c.tag, withSeparator(c.text, sep)), c.position)
                << c.tag << " '" << c.text << "' " << sep;
    }
}
