#include "document/FileIO.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

using namespace tonvale;
namespace fs = std::filesystem;

namespace {

struct TempDir {
    fs::path path;
    TempDir() {
        path = fs::temp_directory_path() /
               ("tonvale-fileio-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(path);
        fs::create_directories(path);
    }
    ~TempDir() { fs::remove_all(path); }
};

std::string slurp(const fs::path& p) {
    std::string bytes, error;
    EXPECT_TRUE(readWholeFile(p.string(), bytes, error)) << error;
    return bytes;
}

} // namespace

TEST(FileIO, AtomicWriteReplacesTheFileAndLeavesNoTemporary) {
    TempDir dir;
    const fs::path file = dir.path / "soundscapes_a.txt";
    std::ofstream(file) << "old contents";
    std::string error;
    ASSERT_TRUE(writeFileAtomic(file.string(), std::string("new\0bytes\r\n", 11), error)) << error;
    EXPECT_EQ(slurp(file), std::string("new\0bytes\r\n", 11));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), fs::directory_iterator()), 1);
}

TEST(FileIO, FailedWriteLeavesTheTargetUntouched) {
    TempDir dir;
    std::string error;
    EXPECT_FALSE(writeFileAtomic((dir.path / "missing" / "a.txt").string(), "x", error));
    EXPECT_FALSE(error.empty());

    const fs::path folder = dir.path / "folder.txt";
    fs::create_directory(folder);
    EXPECT_FALSE(writeFileAtomic(folder.string(), "x", error));
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), fs::directory_iterator()), 1);
}

TEST(FileIO, ReadingAMissingFileOrAFolderFails) {
    TempDir dir;
    std::string bytes, error;
    EXPECT_FALSE(readWholeFile((dir.path / "nope.txt").string(), bytes, error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(readWholeFile(dir.path.string(), bytes, error));
}
