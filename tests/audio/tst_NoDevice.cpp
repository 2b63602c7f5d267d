// SPDX-License-Identifier: MIT
// Runs with a driver list that matches no back-end: the machine has no sound device.

#include "AudioTestHelpers.h"
#include "audio/AudioEngine.h"

#include <gtest/gtest.h>

using namespace tonvale;
using namespace tonvale::testing;

TEST(AudioEngineWithoutDevice, InitFailsWithAMessageAndEverythingElseFailsCleanly) {
    TempFolder dir;
    const std::string path = dir.file("a.wav");
    ASSERT_TRUE(writeWave(path, {.seconds = 0.2}));
    AudioEngine audio;
    EXPECT_TRUE(AudioEngine::versionSupported());
    EXPECT_FALSE(audio.init());
    EXPECT_FALSE(audio.initialised());
    EXPECT_EQ(audio.errorText("Error initializing audio!"),
              "Error initializing audio!\r\n(Error code: " + std::to_string(AudioErrorDevice) + ")");
    EXPECT_FALSE(audio.playFile(path));
    EXPECT_FALSE(audio.openRandomWaves({path}));
    audio.loopingSound.path = path;
    EXPECT_FALSE(audio.openLoop());
    EXPECT_FALSE(audio.setMasterVolume(1.0f));
    EXPECT_FALSE(audio.isPlaying(audio.previewChannel));
    audio.shutdown();
    EXPECT_EQ(audio.liveChannelCount(), 0u);
}
