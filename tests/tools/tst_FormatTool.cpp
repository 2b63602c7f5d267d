#include "FormatTool.h"
#include "document/FileIO.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>

using namespace tonvale;
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
    EXPECT_NE(err.find(truncated + ": error: not rewritten"), std::string::npos) << err;
    EXPECT_EQ(run({"--write", messy}), ExitOk); // already canonical: left alone
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()), 3);
}

TEST_F(FormatTool, LevelErrorIsAWarningWhenPrinting) {
    EXPECT_EQ(run({file("level.txt", "\"s\"\n{\n\"a\" \"1\"\n}\n\"t\"\n{\n{\n\"b\"\n}\n}\n")}), ExitOk);
    EXPECT_NE(m_err.str().find("warning: Error load Level"), std::string::npos);
    EXPECT_EQ(m_out.str(), "\"s\" \r\n\t{\r\n\t\"a\"      \"1\"   \r\n\t} \r\n\"t\"\r\n");
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
