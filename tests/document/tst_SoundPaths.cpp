// Stored wave values and the files they name.
#include "document/Cp1251.h"
#include "document/SoundPaths.h"

#include <gtest/gtest.h>

#include <set>

using namespace tonvale;

namespace {

TEST(SleshPos, ModeZeroMakesSlashesModeOneBackslashesOthersNothing) {
    struct Case {
        const char* text;
        int mode;
        const char* expected;
    };
    const Case cases[] = {
        {"a\\b/c", 0, "a/b/c"},   {"a\\b/c", 1, "a\\b\\c"}, {"a\\b/c", 2, "a\\b/c"}, {"a\\b/c", -1, "a\\b/c"},
        {"plain.wav", 0, "plain.wav"}, {"plain.wav", 1, "plain.wav"}, {"", 0, ""}, {"", 1, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SleshPos(c.text, c.mode), c.expected) << c.text << " mode " << c.mode;
}

TEST(SeLPathFromAbs, CutsAfterTheFirstSoundAndTheCharacterAfterIt) {
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\game\\sound\\ambient\\wind.wav", "ambient\\wind.wav"},
        {"/home/u/game/sound/ambient/wind.wav", "ambient/wind.wav"},
        {"D:\\music\\wind.wav", "D:\\music\\wind.wav"},        // no "sound": the whole path
        {"C:\\game\\sounds\\wind.wav", "\\wind.wav"},          // a longer folder name: cut after its sixth character
        {"C:\\game\\Sound\\wind.wav", "C:\\game\\Sound\\wind.wav"},  // case-sensitive
        {"/x/sound", ""},
        {"/x/sound/", ""},
        {"sound", ""},
        {"", ""},
    };
    for (const auto& [path, expected] : cases)
        EXPECT_EQ(SeLPathFromAbs(path), expected) << path;
}

TEST(StoredWaveValue, RelativeToTheSoundsFolderWithSlashesInQuotes) {
    struct Case {
        const char* soundsFolder;
        const char* chosen;
        const char* expected;
    };
    const Case cases[] = {
        {"/home/u/game/sound", "/home/u/game/sound/ambient/wind.wav", "\"ambient/wind.wav\""},
        {"/home/u/game/sound/", "/home/u/game/sound/ambient/wind.wav", "\"ambient/wind.wav\""},
        {"C:\\game\\sound", "C:\\game\\sound\\ambient\\wind.wav", "\"ambient/wind.wav\""},
        // Outside the sounds folder: the cut after the first "sound", else the full path.
        {"/home/u/game/sound", "/media/music/wind.wav", "\"/media/music/wind.wav\""},
        {"C:\\game\\sound", "D:\\music\\wind.wav", "\"D:/music/wind.wav\""},
        {"/home/u/game/sound", "/home/u/game/sounds/wind.wav", "\"/wind.wav\""},
        {"/opt/other/sound", "/home/u/game/sound/a/b.wav", "\"a/b.wav\""},
        // Inside the sounds folder the folder's own path does not matter, even when it holds "sound".
        {"/home/soundguy/game/sound", "/home/soundguy/game/sound/a/b.wav", "\"a/b.wav\""},
        {"/home/u/audio", "/home/u/audio/wind.wav", "\"wind.wav\""},
        {"", "/home/u/game/sound/wind.wav", "\"wind.wav\""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(storedWaveValue(c.soundsFolder, c.chosen), c.expected) << c.chosen;
}

TEST(StoredWaveValue, NamesOfTheFileSystemBecomeScriptBytes) {
#if !defined(_WIN32)
    EXPECT_EQ(storedWaveValue("/g/sound", "/g/sound/лес/ветер.wav"), "\"" + utf8ToCp1251("лес/ветер.wav") + "\"");
    EXPECT_EQ(wavePath("/g/sound", "\"" + utf8ToCp1251("лес/ветер.wav") + "\""), "/g/sound/лес/ветер.wav");
#endif
}

TEST(WavePath, EitherSlashSeparatesFoldersAndQuotesGo) {
    const std::string sep(1, NativeSeparator);
    const std::string expected = "/game/sound" + sep + "ambient" + sep + "wind.wav";
    // Playback hints before the name are not part of the file's name.
    for (const char* value : {"\"ambient/wind.wav\"", "\"ambient\\wind.wav\"", "ambient/wind.wav", "\"ambient/\"wind.wav",
                              "\")ambient/wind.wav\"", "\"~)ambient\\wind.wav\"", "\"#ambient/wind.wav\""})
        EXPECT_EQ(wavePath("/game/sound", value), expected) << value;
    EXPECT_EQ(wavePath("/game/sound/", "\"ambient/wind.wav\""), expected);
    EXPECT_EQ(wavePath("\"/game/sound\"", "\"ambient/wind.wav\""), expected);
}

TEST(WaveChooserFolder, OpensInTheValuesFolderWhenItExists) {
    const std::string sep(1, NativeSeparator);
    const std::string ambient = "/game/sound" + sep + "ambient" + sep;
    const std::set<std::string> folders = {ambient, "/game/sound" + sep};
    auto exists = [&folders](const std::string& path) { return folders.count(path) != 0; };
    EXPECT_EQ(waveChooserFolder("/game/sound", "\"ambient/wind.wav\"", exists), ambient);
    EXPECT_EQ(waveChooserFolder("/game/sound", "\"ambient\\wind.wav\"", exists), ambient);
    EXPECT_EQ(waveChooserFolder("/game/sound", " \" ambient/wind.wav \" ", exists), ambient);
    EXPECT_EQ(waveChooserFolder("/game/sound", "\"(ambient/wind.wav\"", exists), ambient);
    EXPECT_EQ(waveChooserFolder("/game/sound", "\"(ambient/wind.wav\"", exists), ambient);
    EXPECT_EQ(waveChooserFolder("/game/sound", "\"gone/wind.wav\"", exists), "/game/sound");
    EXPECT_EQ(waveChooserFolder("/game/sound", "\"\"", exists), "/game/sound");
    EXPECT_EQ(waveChooserFolder("/game/sound", "", exists), "/game/sound");
    EXPECT_EQ(waveChooserFolder("/game/sound", "\"wind.wav\"", exists), "/game/sound" + sep);
    EXPECT_EQ(waveChooserFolder("/game/sound", "\"ambient/wind.wav\"", nullptr), "/game/sound");
}

} // namespace
