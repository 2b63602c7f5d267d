// Runs with a driver list that matches no back-end: the machine has no sound device.

#include "AudioTestHelpers.h"

#include "audio/PlayingWav.h"

#include <gtest/gtest.h>

using namespace tonvale;
using namespace tonvale::testing;

TEST(PlayingWavWithoutDevice, InitFailsWithAMessageAndEverythingElseFailsCleanly) {
    TempFolder dir;
    const std::string path = dir.file("a.wav");
    ASSERT_TRUE(writeWave(path, {.seconds = 0.2}));
    PlayingWav audio;
    EXPECT_TRUE(PlayingWav::AudioVersionOk());
    EXPECT_FALSE(audio.AudioInit());
    EXPECT_FALSE(audio.initialised());
    EXPECT_EQ(audio.AudioErrorText("Error initializing audio!"),
              "Error initializing audio!\r\n(Error code: " + std::to_string(AudioErrorDevice) + ")");
    EXPECT_FALSE(audio.PlayWaveFile(path));
    EXPECT_FALSE(audio.OpenPlayList({path}));
    audio.LoopSound.FileName = path;
    EXPECT_FALSE(audio.OpenLoopSound());
    EXPECT_FALSE(audio.SetMasterVolume(1.0f));
    EXPECT_FALSE(audio.IsChannelPlaying(audio.PreviewChannel));
    audio.AudioFree();
    EXPECT_EQ(audio.liveChannelCount(), 0u);
}
