// SPDX-License-Identifier: MIT
#include "FormatTool.h"
#include "document/FileIO.h"
#include "testsupport/HostileFiles.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <sstream>
#include <sys/stat.h>

using namespace tonvale;
using namespace tonvale::testing;
using namespace std::string_literals;
namespace fs = std::filesystem;

namespace {

const std::string Canonical = "\"s\" \r\n\t{\r\n\t\"dsp\"      \"1\"   \r\n\t} \r\n\r\n";
const std::string Messy = "\"s\"\n{\n    \"dsp\" \"1\"\n}\n";

class FormatTool : public ::testing::Test {
  protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() /
                ("tonvale-format-" +
                 std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    std::string file(const std::string& name, const std::string& bytes) {
        const fs::path path = m_dir / name;
        std::string error;
        EXPECT_TRUE(writeFileAtomic(path.string(), bytes, error)) << error;
        return path.string();
    }
    static std::string contents(const std::string& path) {
        std::string bytes, error;
        EXPECT_TRUE(readWholeFile(path, bytes, error)) << error;
        return bytes;
    }
    int run(std::vector<std::string> args) {
        m_out.str({});
        m_err.str({});
        return runFormatTool(args, m_out, m_err);
    }

    fs::path m_dir;
    std::ostringstream m_out;
    std::ostringstream m_err;
};

} // namespace

TEST_F(FormatTool, PrintsTheCanonicalText) {
    EXPECT_EQ(run({file("a.txt", Messy)}), ExitOk);
    EXPECT_EQ(m_out.str(), Canonical);
    EXPECT_EQ(m_err.str(), "");
}

TEST_F(FormatTool, CheckNamesTheFilesThatAreNotCanonical) {
    const std::string good = file("good.txt", Canonical);
    const std::string bad = file("bad.txt", Messy);
    EXPECT_EQ(run({"--check", good}), ExitOk);
    EXPECT_EQ(m_out.str(), "");
    EXPECT_EQ(run({"--check", good, bad}), ExitNotCanonical);
    EXPECT_EQ(m_out.str(), bad + "\n");
    EXPECT_EQ(contents(bad), Messy);
}

TEST_F(FormatTool, WriteRewritesOnlyWhatLoadsCompletely) {
    const std::string messy = file("messy.txt", Messy);
    const std::string broken = file("broken.txt", "\"s\"\n{\n\"a\"\n");
    const std::string levelText = "\"s\"\n{\n\"a\" \"1\"\n}\n\"t\"\n{\n{\n\"b\"\n}\n}\n";
    const std::string truncated = file("level.txt", levelText);
    EXPECT_EQ(run({"--write", messy, broken, truncated}), ExitFailed);
    EXPECT_EQ(contents(messy), Canonical);
    EXPECT_EQ(contents(broken), "\"s\"\n{\n\"a\"\n");
    EXPECT_EQ(contents(truncated), levelText);
    const std::string err = m_err.str();
    EXPECT_NE(err.find(broken + ":2: error: Ошибка. Не найдена одна или несколько"), std::string::npos)
        << err;
    EXPECT_NE(err.find(truncated + ": warning: Error load Level (Load Tree)"), std::string::npos) << err;
    EXPECT_NE(err.find(truncated + ": error: incomplete"), std::string::npos) << err;
    EXPECT_EQ(run({"--write", messy}), ExitOk); // already canonical: left alone
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()), 3);
}

TEST_F(FormatTool, IncompleteDocumentFailsInEveryMode) {
    // Only the part before the level error loads: printing it, checking it or listing its tree would
    // pass that part off as the whole file ("tonvale-format FILE > out && mv out FILE").
    const std::string levelText = "\"s\"\n{\n\"a\" \"1\"\n}\n\"t\"\n{\n{\n\"b\"\n}\n}\n";
    const std::string level = file("level.txt", levelText);
    for (const char* mode : {"", "--check", "--write", "--tree"}) {
        std::vector<std::string> args{level};
        if (*mode != '\0')
            args.insert(args.begin(), mode);
        EXPECT_EQ(run(args), ExitFailed) << mode;
        EXPECT_EQ(m_out.str(), "") << mode;
        EXPECT_NE(m_err.str().find(level + ": error: incomplete"), std::string::npos) << mode << m_err.str();
        EXPECT_EQ(contents(level), levelText) << mode;
    }
}

TEST_F(FormatTool, FailuresHaveTheirExitStatus) {
    EXPECT_EQ(run({(m_dir / "missing.txt").string()}), ExitIoError);
    EXPECT_NE(m_err.str().find("cannot read the file"), std::string::npos);
    EXPECT_EQ(run({file("one.txt", "soundscapes_manifest")}), ExitFailed);
    EXPECT_NE(m_err.str().find("Ошибка. Не найдена"), std::string::npos);
    EXPECT_EQ(run({}), ExitFailed);
    EXPECT_EQ(run({"--bogus", "x"}), ExitFailed);
    EXPECT_EQ(run({"--tree"}), ExitFailed);
    EXPECT_EQ(run({"a", "b"}), ExitFailed);
    EXPECT_EQ(run({"--help"}), ExitOk);
}

TEST_F(FormatTool, TreeIsExactJsonLines) {
    EXPECT_EQ(
        run({"--tree", file("t.txt", "// \xE4\xEE\xE6\xE4 \xFC\n//two\n\"s\"\n{\n\"w\" \"a\\\\b\" // x\n"
                                     "\"e\" {}\n//off\n}\n// end\n\n")}),
        ExitOk);
    EXPECT_EQ(
        m_out.str(),
        "{\"level\":0,\"key\":\"\\\"s\\\"\",\"value\":\"\",\"above\":[\" \\u00E4\\u00EE\\u00E6\\u00E4 "
        "\\u00FC\",\"two\"],\"beside\":\"\",\"trailing\":[\"off\"],\"block\":true}\n"
        "{\"level\":1,\"key\":\"\\\"w\\\"\",\"value\":\"\\\"a\\\\\\\\b\\\"\",\"above\":[],\"beside\":\" "
        "x\",\"trailing\":[],\"block\":false}\n"
        "{\"level\":1,\"key\":\"\\\"e\\\"\",\"value\":\"\",\"above\":[],\"beside\":\"\",\"trailing\":[],"
        "\"block\":true}\n"
        "{\"level\":0,\"key\":\"\",\"value\":\"\",\"above\":[\" end\"],\"beside\":\"\",\"trailing\":[],"
        "\"block\":false}\n");
}

TEST_F(FormatTool, BraceMessageNamesTheLine) {
    const std::string broken = file("broken.txt", "\"s\"\n{\n\t\"a\" \"1\"\n\"t\" {\n\t\"b\" \"2\"\n}\n");
    EXPECT_EQ(run({broken}), ExitFailed);
    EXPECT_EQ(m_err.str(),
              broken + ":2: error: Ошибка. Не найдена одна или несколько открывающих(закрывающих) фигурных "
                       "скобок. Или файл непригоден для загрузки в программу. Строка 2: открывающая скобка "
                       "«{» не закрыта. (Загрузка файла)\n");
    EXPECT_EQ(run({"--tree", broken}), ExitFailed);
    EXPECT_NE(m_err.str().find(broken + ":2: error:"), std::string::npos);
}

// On a terminal that is not Russian the loader's message is English, with the same line.
TEST_F(FormatTool, BraceMessageInEnglish) {
    const std::string broken = file("broken.txt", "\"s\"\n{\n\t\"a\" \"1\"\n}\n}\n");
    setToolMessagesEnglish(true);
    const int status = run({broken});
    setToolMessagesEnglish(false);
    EXPECT_EQ(status, ExitFailed);
    EXPECT_EQ(m_err.str(), broken +
                               ":5: error: Error. One or more opening (closing) braces are missing. Or the "
                               "file cannot be loaded into the program. Line 5: closing brace \"}\" without "
                               "an opening one. (Loading the File)\n");
}

TEST(ToolLocale, RussianOnlyForARussianLocale) {
    struct Case {
        const char* all;
        const char* messages;
        const char* lang;
        bool russian;
    };
    const Case cases[] = {{"", "", "ru_RU.UTF-8", true},
                          {"", "", "en_GB.UTF-8", false},
                          {"", "ru_RU.UTF-8", "en_US", true},
                          {"C", "ru_RU.UTF-8", "ru_RU", false},
                          {"", "", "", false}};
    const char* names[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    std::vector<std::optional<std::string>> saved;
    for (const char* name : names)
        saved.push_back(std::getenv(name) ? std::optional<std::string>(std::getenv(name)) : std::nullopt);
    for (const Case& c : cases) {
        setenv("LC_ALL", c.all, 1);
        setenv("LC_MESSAGES", c.messages, 1);
        setenv("LANG", c.lang, 1);
        EXPECT_EQ(localeIsRussian(), c.russian) << c.all << "|" << c.messages << "|" << c.lang;
    }
    for (std::size_t i = 0; i < saved.size(); ++i) {
        if (saved[i])
            setenv(names[i], saved[i]->c_str(), 1);
        else
            unsetenv(names[i]);
    }
}

TEST_F(FormatTool, NothingAfterANulByteIsLost) {
    const std::string bytes = "\"s\"\r\n{\r\n\t\"a\"\0\"1\"  // x\0y\r\n\0\r\n\t\"b\" \"2\"\r\n}\r\n"s;
    const std::string path = file("nul.txt", bytes);
    EXPECT_EQ(run({path}), ExitOk);
    const std::string expected =
        "\"s\" \r\n\t{\r\n\t\"a\"      \"1\"    // x\0y\r\n\t\"b\"      \"2\"   \r\n\t} \r\n\r\n"s;
    EXPECT_EQ(m_out.str(), expected);
    EXPECT_EQ(run({"--write", path}), ExitOk);
    EXPECT_EQ(contents(path), expected);
}

TEST_F(FormatTool, HelpAndVersionGoToStandardOutput) {
    struct Case {
        std::vector<std::string> args;
        std::string firstLine;
    };
    const Case cases[] = {
        {{"--help"}, "Usage: tonvale-format FILE            print FILE in canonical form"},
        {{"-h"}, "Usage: tonvale-format FILE            print FILE in canonical form"},
        {{"--version"}, "tonvale-format " TONVALE_EXPECTED_VERSION},
        {{"--version", "a.txt"}, "tonvale-format " TONVALE_EXPECTED_VERSION},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(run(c.args), ExitOk) << c.args[0];
        const std::string out = m_out.str();
        EXPECT_EQ(out.substr(0, out.find('\n')), c.firstLine);
        EXPECT_EQ(m_err.str(), "") << c.args[0];
    }
    EXPECT_EQ(run({"--version"}), ExitOk);
    EXPECT_EQ(m_out.str(), "tonvale-format " TONVALE_EXPECTED_VERSION "\n");
}

// Named pipes, devices, folders and files far larger than any script: refused at once with the reason,
// in every mode, never read until memory runs out and never waited on.
TEST_F(FormatTool, InputsThatAreNotScriptsFailAtOnce) {
    const fs::path pipe = m_dir / "pipe.txt";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", m_dir / "zero.txt");
    const fs::path huge = m_dir / "huge.txt";
    std::ofstream(huge).put('"');
    fs::resize_file(huge, MaxScriptBytes + 1); // sparse: takes no room on disk
    const std::vector<std::pair<fs::path, std::string>> cases{
        {pipe, "not a regular file but a named pipe"},
        {"/dev/zero", "not a regular file but a device"},
        {m_dir / "zero.txt", "not a regular file but a device"},
        {m_dir, "not a regular file but a folder"},
        {huge, "the file is larger than 256 MB"}};
    for (const auto& [path, reason] : cases) {
        for (const char* mode : {"", "--check", "--write"}) {
            std::vector<std::string> args{path.string()};
            if (*mode != '\0')
                args.insert(args.begin(), mode);
            PipeRelease release(pipe.string());
            EXPECT_EQ(run(args), ExitIoError) << path << ' ' << mode;
            EXPECT_EQ(m_err.str(), path.string() + ": error: cannot read the file: " + reason + "\n");
        }
    }
    struct stat st {};
    EXPECT_TRUE(::stat(pipe.c_str(), &st) == 0 && S_ISFIFO(st.st_mode));
    EXPECT_EQ(fs::file_size(huge), MaxScriptBytes + 1);
}

TEST_F(FormatTool, WriteGoesThroughLinksAndLeavesReadOnlyFilesAlone) {
    const std::string target = file("target.txt", Messy);
    fs::create_symlink("target.txt", m_dir / "link.txt");
    ::chmod(target.c_str(), 0640);
    EXPECT_EQ(run({"--write", (m_dir / "link.txt").string()}), ExitOk) << m_err.str();
    EXPECT_TRUE(fs::is_symlink(m_dir / "link.txt"));
    EXPECT_EQ(contents(target), Canonical);
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);

    const std::string locked = file("locked.txt", Messy);
    ::chmod(locked.c_str(), 0444);
    EXPECT_EQ(run({"--write", locked}), ExitIoError);
    EXPECT_EQ(m_err.str(), locked + ": error: cannot write the file: the file is read-only\n");
    EXPECT_EQ(contents(locked), Messy);
}

TEST_F(FormatTool, WriteRemovesTheTemporaryFilesOfAKilledSave) {
    const std::string messy = file("messy.txt", Messy);
    const fs::path stale = m_dir / ".~messy.txt.tmp123456";
    std::ofstream(stale) << "part of a save";
    fs::last_write_time(stale, fs::file_time_type::clock::now() - std::chrono::hours(1));
    EXPECT_EQ(run({"--write", messy}), ExitOk);
    EXPECT_EQ(contents(messy), Canonical);
    EXPECT_FALSE(fs::exists(stale));
}
