// SPDX-License-Identifier: MIT
// Stored wave values and the files they name.
#include "document/Cp1251.h"
#include "document/SoundPaths.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <set>

using namespace tonvale;

namespace {

TEST(ConvertSlashes, ModeZeroMakesSlashesModeOneBackslashesOthersNothing) {
    struct Case {
        const char* text;
        int mode;
        const char* expected;
    };
    const Case cases[] = {
        {"a\\b/c", 0, "a/b/c"},
        {"a\\b/c", 1, "a\\b\\c"},
        {"a\\b/c", 2, "a\\b/c"},
        {"a\\b/c", -1, "a\\b/c"},
        {"plain.wav", 0, "plain.wav"},
        {"plain.wav", 1, "plain.wav"},
        {"", 0, ""},
        {"", 1, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(convertSlashes(c.text, c.mode), c.expected) << c.text << " mode " << c.mode;
}

TEST(PathAfterSoundFolder, CutsAfterTheFirstSoundAndTheCharacterAfterIt) {
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\game\\sound\\ambient\\wind.wav", "ambient\\wind.wav"},
        {"/home/u/game/sound/ambient/wind.wav", "ambient/wind.wav"},
        {"D:\\music\\wind.wav", "D:\\music\\wind.wav"}, // no "sound": the whole path
        {"C:\\game\\sounds\\wind.wav", "\\wind.wav"},   // a longer folder name: cut after its sixth character
        {"C:\\game\\Sound\\wind.wav", "C:\\game\\Sound\\wind.wav"}, // case-sensitive
        {"/x/sound", ""},
        {"/x/sound/", ""},
        {"sound", ""},
        {"", ""},
    };
    for (const auto& [path, expected] : cases)
        EXPECT_EQ(pathAfterSoundFolder(path), expected) << path;
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
    EXPECT_EQ(storedWaveValue("/g/sound", "/g/sound/лес/ветер.wav"),
              "\"" + utf8ToCp1251("лес/ветер.wav") + "\"");
    EXPECT_EQ(wavePath("/g/sound", "\"" + utf8ToCp1251("лес/ветер.wav") + "\""), "/g/sound/лес/ветер.wav");
#endif
}

TEST(WavePath, EitherSlashSeparatesFoldersAndQuotesGo) {
    const std::string sep(1, NativeSeparator);
    const std::string expected = "/game/sound" + sep + "ambient" + sep + "wind.wav";
    // Playback hints before the name are not part of the file's name.
    for (const char* value :
         {"\"ambient/wind.wav\"", "\"ambient\\wind.wav\"", "ambient/wind.wav", "\"ambient/\"wind.wav",
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

// Stored values resolved against real files: hints before the name and a different case.
class FindWaveFile : public ::testing::Test {
  protected:
    void SetUp() override {
        m_root = std::filesystem::temp_directory_path() /
                 ("tonvale-waves-" + std::to_string(std::random_device{}()));
        for (const char* name :
             {"ambient/wind.wav", "Weather/Rain.WAV", ")odd.wav", "music/theme.mp3", "Лес/Ветер.wav"})
            touch(name);
        std::filesystem::create_directories(m_root / "empty");
    }
    void TearDown() override { std::filesystem::remove_all(m_root); }

    void touch(const std::string& relative) {
        const std::filesystem::path path = m_root / relative;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path) << "RIFF";
    }
    std::string folder() const { return m_root.string(); }
    std::string at(const std::string& relative) const {
        return (m_root / std::filesystem::path(relative)).string();
    }

    std::filesystem::path m_root;
};

TEST_F(FindWaveFile, TriesTheNameAsWrittenThenWithoutHintsThenWithoutRegardToCase) {
    struct Case {
        std::string value;
        std::string expected; // relative to the sounds folder; empty: not found
    };
    const std::vector<Case> cases = {
        {"\"ambient/wind.wav\"", "ambient/wind.wav"},
        {"\"ambient\\wind.wav\"", "ambient/wind.wav"},
        {"ambient/wind.wav", "ambient/wind.wav"},
        {"\")ambient/wind.wav\"", "ambient/wind.wav"},
        {"\"~)ambient\\wind.wav\"", "ambient/wind.wav"},
        {"\" #ambient/wind.wav\"", "ambient/wind.wav"},
        {"\"weather/rain.wav\"", "Weather/Rain.WAV"},
        {"\"*WEATHER\\RAIN.wav\"", "Weather/Rain.WAV"},
        {"\")odd.wav\"", ")odd.wav"}, // a file whose name really starts with a hint character
        {"\"" + utf8ToCp1251("лес/ветер.wav") + "\"", "Лес/Ветер.wav"},
        {"\"(" + utf8ToCp1251("ЛЕС/ВЕТЕР.WAV") + "\"", "Лес/Ветер.wav"},
        {"\"ambient/gone.wav\"", ""},
        {"\"gone/wind.wav\"", ""},
        {"\"ambient\"", ""}, // a folder is not a wave
        {"\"empty\"", ""},
        {"\")\"", ""},
        {"\"\"", ""},
        {"", ""},
    };
    for (const Case& c : cases) {
        const std::optional<std::string> found = findWaveFile(folder(), c.value);
        if (c.expected.empty()) {
            EXPECT_FALSE(found.has_value()) << c.value << " -> " << found.value_or("");
            EXPECT_EQ(resolveWavePath(folder(), c.value), wavePath(folder(), c.value)) << c.value;
        } else {
            ASSERT_TRUE(found.has_value()) << c.value;
            EXPECT_TRUE(std::filesystem::equivalent(*found, at(c.expected))) << c.value << " -> " << *found;
            EXPECT_EQ(resolveWavePath(folder(), c.value), *found);
        }
    }
}

TEST_F(FindWaveFile, EveryHintCharacterAloneOrInPairsIsSkipped) {
    for (char first : WaveHintCharacters) {
        for (const std::string& prefix :
             {std::string(1, first), std::string(1, first) + ')', std::string("~") + first}) {
            const std::string value = "\"" + prefix + "music/theme.mp3\"";
            ASSERT_TRUE(findWaveFile(folder(), value).has_value()) << value;
            EXPECT_TRUE(std::filesystem::equivalent(*findWaveFile(folder(), value), at("music/theme.mp3")))
                << value;
        }
    }
}

TEST_F(FindWaveFile, FindsACaseVariantAmongThousandsOfFiles) {
    for (int i = 0; i < 3000; ++i)
        touch("big/wave" + std::to_string(i) + ".wav");
    touch("big/Target.Wav");
    const std::optional<std::string> found = findWaveFile(folder(), "\"BIG/target.wav\"");
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(std::filesystem::path(*found).filename(), "Target.Wav");
    EXPECT_FALSE(findWaveFile(folder(), "\"big/missing.wav\"").has_value());
}

TEST_F(FindWaveFile, TheChooserOpensInTheResolvedFolder) {
    const std::string sep(1, NativeSeparator);
    EXPECT_EQ(waveChooserFolder(folder(), "\"ambient/new.wav\""), at("ambient") + sep);
    EXPECT_EQ(waveChooserFolder(folder(), "\")ambient/new.wav\""), at("ambient") + sep);
    EXPECT_EQ(waveChooserFolder(folder(), "\"*WEATHER/new.wav\""), at("Weather") + sep);
    EXPECT_EQ(waveChooserFolder(folder(), "\"gone/new.wav\""), folder());
    EXPECT_EQ(waveChooserFolder(folder(), "\"\""), folder());
    // A folder that no longer exists: the sounds folder itself, also when that is gone too.
    EXPECT_EQ(waveChooserFolder(folder() + "/missing", "\"ambient/new.wav\""), folder() + "/missing");
}
