#include "FormatTool.h"
#include "document/FileIO.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>

using namespace tonvale;
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
    EXPECT_NE(err.find(broken + ": error: Ошибка. Не найдена одна или несколько"), std::string::npos) << err;
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
    EXPECT_EQ(run({file("one.txt", "soundscapes_manifest{}")}), ExitFailed);
    EXPECT_NE(m_err.str().find("Файл не имеет данных"), std::string::npos);
    EXPECT_EQ(run({}), ExitFailed);
    EXPECT_EQ(run({"--bogus", "x"}), ExitFailed);
    EXPECT_EQ(run({"--tree"}), ExitFailed);
    EXPECT_EQ(run({"a", "b"}), ExitFailed);
    EXPECT_EQ(run({"--help"}), ExitOk);
}

TEST_F(FormatTool, TreeIsExactJsonLines) {
    EXPECT_EQ(
        run({"--tree", file("t.txt", "// \xE4\xEE\xE6\xE4 \xFC\n\"s\"\n{\n\"w\" \"a\\\\b\" // x\n}\n")}),
        ExitOk);
    EXPECT_EQ(
        m_out.str(),
        "{\"level\":0,\"text\":\"\\\"s\\\"\",\"data\":true,\"value\":\"\",\"above\":"
        "\"\\u00E4\\u00EE\\u00E6\\u00E4 "
        "\\u00FC\",\"beside\":\"\",\"image\":0,\"selected\":1}\n"
        "{\"level\":1,\"text\":\"\\\"w\\\"\",\"data\":true,\"value\":\"\\\"a\\\\\\\\b\\\"\",\"above\":\"\","
        "\"beside\":\"x\",\"image\":2,\"selected\":3}\n"
        "{\"level\":0,\"text\":\"\",\"data\":false,\"value\":\"\",\"above\":\"\",\"beside\":\"\",\"image\":4,"
        "\"selected\":4}\n");
}
