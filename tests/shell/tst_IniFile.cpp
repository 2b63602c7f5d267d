// SPDX-License-Identifier: MIT
#include "document/FileIO.h"
#include "settings/IniFile.h"
#include "testsupport/HostileFiles.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <sys/stat.h>

using tonvale::IniFile;
namespace fs = std::filesystem;

namespace {
IniFile parsed(const std::string& text) {
    IniFile ini;
    ini.parse(text);
    return ini;
}
} // namespace

TEST(IniFile, SectionsAndKeysMatchWithoutRegardToCase) {
    const IniFile ini = parsed("[OPTIONS]\r\nsaved=2\r\n[lastf]\r\nF01=C:\\a.txt\r\n");
    EXPECT_EQ(ini.readInteger("Options", "Saved", 1), 2);
    EXPECT_EQ(ini.readString("LastF", "f01", ""), "C:\\a.txt");
}

TEST(IniFile, ValuesAreRawAndTrimmedAndQuotesDropped) {
    const IniFile ini = parsed("[Options]\nCurdir =  C:\\game\\dir  \nSomeText=\"quoted text\"\nEmpty=\n");
    EXPECT_EQ(ini.readString("Options", "Curdir", "x"), "C:\\game\\dir");
    EXPECT_EQ(ini.readString("Options", "SomeText", "x"), "quoted text");
    EXPECT_EQ(ini.readString("Options", "Empty", "x"), "");
    EXPECT_EQ(ini.readString("Options", "Missing", "x"), "x");
    EXPECT_EQ(ini.readString("Nowhere", "Curdir", "d"), "d");
}

TEST(IniFile, LongValuesAreCutTo2047Characters) {
    const IniFile ini = parsed("[Options]\nLastFile=" + std::string(5000, 'a') + "\n");
    EXPECT_EQ(ini.readString("Options", "LastFile", "").size(), 2047u);
}

struct IntegerCase {
    const char* text;
    std::optional<int> value;
};
class IniInteger : public ::testing::TestWithParam<IntegerCase> {};

TEST_P(IniInteger, ParsesAsTheProfileReaderDoes) {
    EXPECT_EQ(IniFile::parseInteger(GetParam().text), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IniInteger,
    ::testing::Values(IntegerCase{"12", 12}, IntegerCase{" -3 ", -3}, IntegerCase{"0x1F", 31},
                      IntegerCase{"0X10", 16}, IntegerCase{"0xFFFFFFFF", -1}, IntegerCase{"", std::nullopt},
                      IntegerCase{"12abc", std::nullopt}, IntegerCase{"0x", std::nullopt},
                      IntegerCase{"abc", std::nullopt}, IntegerCase{"99999999999", std::nullopt}),
    [](const ::testing::TestParamInfo<IntegerCase>& param) { return "case" + std::to_string(param.index); });

TEST(IniFile, NonIntegerYieldsTheDefaultAndBoolIsNonZero) {
    const IniFile ini = parsed("[Options]\nFontS=big\nSaveOriginFile=7\nOff=0\n");
    EXPECT_EQ(ini.readInteger("Options", "FontS", 8), 8);
    EXPECT_TRUE(ini.readBool("Options", "SaveOriginFile", false));
    EXPECT_FALSE(ini.readBool("Options", "Off", true));
}

TEST(IniFile, UpdatesInPlaceAndKeepsEverythingElse) {
    IniFile ini = parsed(
        "; my settings\r\n[Options]\r\nSAVED=1\r\ngarbage line\r\nUnknown=keep\r\n\r\n[Other]\r\nx=1\r\n");
    ini.writeInteger("Options", "Saved", 2);
    ini.writeString("Options", "FontS", "10");
    ini.writeString("LastF", "f01", "/tmp/a.txt");
    EXPECT_EQ(ini.serialize(),
              "; my settings\r\n[Options]\r\nSaved=2\r\ngarbage line\r\nUnknown=keep\r\nFontS=10\r\n\r\n"
              "[Other]\r\nx=1\r\n\r\n[LastF]\r\nf01=/tmp/a.txt\r\n");
}

TEST(IniFile, EmptyTextIsWrittenAsKeyWithNothingAfterTheSign) {
    IniFile ini;
    ini.writeString("Options", "LastFile", "");
    EXPECT_EQ(ini.serialize(), "[Options]\r\nLastFile=\r\n");
}

TEST(IniFile, ByteOrderMarkIsSkippedAndKept) {
    IniFile ini = parsed("\xEF\xBB\xBF[Options]\r\nSaved=2\r\n");
    EXPECT_EQ(ini.readInteger("Options", "Saved", 1), 2);
    ini.writeInteger("Options", "FontS", 10); // into the existing section, not a second one
    EXPECT_EQ(ini.serialize(), "\xEF\xBB\xBF[Options]\r\nSaved=2\r\nFontS=10\r\n");
    EXPECT_EQ(parsed("[Options]\r\n").serialize(), "[Options]\r\n");
}

// A settings file that is a named pipe, a device or a folder is not waited on, read or replaced, and
// neither is one too large to read; one that is missing is made.
TEST(IniFile, OnlyARegularFileIsReadAndReplaced) {
    const fs::path dir = fs::temp_directory_path() / "tonvale-inifile-special";
    fs::remove_all(dir);
    fs::create_directories(dir / "folder.ini");
    const fs::path pipe = dir / "pipe.ini";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", dir / "zero.ini");
    const fs::path huge = dir / "huge.ini";
    { std::ofstream(huge) << "[Options]\r\n"; }
    fs::resize_file(huge, tonvale::MaxScriptBytes + 1); // sparse: takes no room on disk
    const std::pair<fs::path, const char*> cases[] = {{pipe, "not a regular file but a named pipe"},
                                                      {dir / "zero.ini", "not a regular file but a device"},
                                                      {dir / "folder.ini", "not a regular file but a folder"},
                                                      {huge, "the file is larger than 256 MB"}};
    for (const auto& [path, reason] : cases) {
        IniFile ini;
        {
            tonvale::testing::PipeRelease release(pipe.string());
            EXPECT_FALSE(ini.load(path.string())) << path;
        }
        ini.writeInteger("Options", "Saved", 2);
        std::string error;
        EXPECT_FALSE(ini.save(path.string(), error)) << path;
        EXPECT_EQ(error,
                  std::string("the settings file could not be read (") + reason + "), so it is not replaced");
    }
    EXPECT_TRUE(fs::is_fifo(pipe));
    EXPECT_TRUE(fs::is_symlink(dir / "zero.ini"));
    EXPECT_EQ(fs::file_size(huge), tonvale::MaxScriptBytes + 1);
    IniFile fresh;
    EXPECT_FALSE(fresh.load((dir / "new.ini").string()));
    fresh.writeInteger("Options", "Saved", 2);
    std::string error;
    EXPECT_TRUE(fresh.save((dir / "new.ini").string(), error)) << error;
    fs::remove_all(dir);
}
