// SPDX-License-Identifier: MIT
#include "document/FileIO.h"
#include "document/Loader.h"
#include "testsupport/HostileFiles.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <new>
#include <set>
#include <sys/stat.h>

using namespace tonvale;
using namespace tonvale::testing;
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

// A save whose bytes are produced as they are written: every piece lands in order; a producer that
// gives up, or runs out of memory, leaves the old file as it was and no temporary file behind.
TEST(FileIO, StreamedSaveWritesEveryPieceOrNothing) {
    TempDir dir;
    const fs::path file = dir.path / "a.txt";
    std::ofstream(file) << "old contents";
    const std::string big(200000, 'b');
    FileResult result = saveFile(file.string(), [&big](const std::function<void(std::string_view)>& sink) {
        sink("first,");
        sink("");
        sink(big);
        sink(",last");
        return true;
    });
    ASSERT_TRUE(result) << result.text();
    EXPECT_EQ(slurp(file), "first," + big + ",last");

    const std::string before = slurp(file);
    result = saveFile(file.string(), [](const std::function<void(std::string_view)>& sink) {
        sink("partial");
        return false;
    });
    EXPECT_EQ(result.kind, FileErrorKind::Abandoned);
    result = saveFile(file.string(), [](const std::function<void(std::string_view)>& sink) -> bool {
        sink("partial");
        throw std::bad_alloc();
    });
    EXPECT_EQ(result.kind, FileErrorKind::Abandoned);
    EXPECT_FALSE(result.reason.empty());
    EXPECT_EQ(slurp(file), before);
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

namespace {

std::string contentsOf(const fs::path& p) {
    std::string bytes;
    EXPECT_TRUE(readFile(p.string(), bytes).ok()) << p;
    return bytes;
}

void makePipe(const fs::path& p) {
    ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0) << std::strerror(errno);
}

struct stat statOf(const fs::path& p) {
    struct stat st {};
    EXPECT_EQ(::lstat(p.c_str(), &st), 0) << p;
    return st;
}

std::size_t entries(const fs::path& folder) {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

} // namespace

TEST(FileIO, ReadingRefusesWhatIsNotARegularFileWithoutBlocking) {
    TempDir dir;
    makePipe(dir.path / "pipe.txt");
    fs::create_symlink("/dev/zero", dir.path / "zero.txt");
    struct Case {
        fs::path path;
        const char* what;
    };
    for (const Case& c : {Case{dir.path / "pipe.txt", "a named pipe"}, Case{"/dev/zero", "a device"},
                          Case{dir.path / "zero.txt", "a device"}, Case{dir.path, "a folder"}}) {
        std::string bytes = "old";
        std::string error;
        {
            PipeRelease release((dir.path / "pipe.txt").string());
            EXPECT_FALSE(readWholeFile(c.path.string(), bytes, error)) << c.path;
        }
        EXPECT_EQ(error, std::string("not a regular file but ") + c.what) << c.path;
        const FileResult result = readFile(c.path.string(), bytes);
        EXPECT_EQ(result.kind, FileErrorKind::NotRegularFile) << c.path;
        EXPECT_EQ(result.path, c.path.string());
        EXPECT_EQ(bytes, "");
    }
    // The loader reports it as a file that cannot be read, with the reason.
    PipeRelease release((dir.path / "pipe.txt").string());
    const LoadResult loaded = loadScriptFile((dir.path / "pipe.txt").string());
    EXPECT_EQ(loaded.failure, LoadFailure::ReadError);
    EXPECT_EQ(loaded.readError, "not a regular file but a named pipe");
}

TEST(FileIO, ReadingRefusesFilesOverTheLimit) {
    TempDir dir;
    const fs::path huge = dir.path / "huge.txt";
    std::ofstream(huge).put('x');
    fs::resize_file(huge, MaxScriptBytes + 1); // sparse: takes no room on disk
    std::string bytes;
    std::string error;
    EXPECT_FALSE(readWholeFile(huge.string(), bytes, error));
    EXPECT_EQ(error, "the file is larger than 256 MB");
    EXPECT_EQ(loadScriptFile(huge.string()).readError, "the file is larger than 256 MB");

    const fs::path small = dir.path / "small.txt";
    std::ofstream(small) << "0123456789";
    EXPECT_TRUE(readFile(small.string(), bytes, 10).ok());
    EXPECT_EQ(bytes, "0123456789");
    const FileResult over = readFile(small.string(), bytes, 9);
    EXPECT_EQ(over.kind, FileErrorKind::TooLarge);
    EXPECT_EQ(over.text(), "the file is larger than 9 bytes: " + small.string());
}

TEST(FileIO, SavingThroughSymbolicLinksWritesTheFileAtTheirEnd) {
    TempDir dir;
    fs::create_directory(dir.path / "real");
    const fs::path file = dir.path / "real" / "a.txt";
    std::ofstream(file) << "old";
    fs::create_symlink("real/a.txt", dir.path / "second.txt"); // relative to the link's folder
    fs::create_symlink(dir.path / "second.txt", dir.path / "first.txt");
    std::string error;
    ASSERT_TRUE(writeFileAtomic((dir.path / "first.txt").string(), "new", error)) << error;
    EXPECT_TRUE(fs::is_symlink(dir.path / "first.txt"));
    EXPECT_TRUE(fs::is_symlink(dir.path / "second.txt"));
    EXPECT_EQ(contentsOf(file), "new");
    EXPECT_EQ(entries(dir.path / "real"), 1u);

    // A link whose file does not exist yet: the file is made where the link points.
    fs::create_symlink("real/b.txt", dir.path / "dangling.txt");
    const FileResult made = saveFile((dir.path / "dangling.txt").string(), "b");
    ASSERT_TRUE(made.ok()) << made.text();
    EXPECT_EQ(made.target, (dir.path / "real/b.txt").string());
    EXPECT_TRUE(fs::is_symlink(dir.path / "dangling.txt"));
    EXPECT_EQ(contentsOf(dir.path / "real/b.txt"), "b");

    fs::create_symlink("loop2.txt", dir.path / "loop1.txt");
    fs::create_symlink("loop1.txt", dir.path / "loop2.txt");
    const FileResult loop = saveFile((dir.path / "loop1.txt").string(), "x");
    EXPECT_EQ(loop.code, ELOOP);
}

TEST(FileIO, ReadOnlyFileIsRefusedAndLeftAlone) {
    TempDir dir;
    const fs::path file = dir.path / "a.txt";
    std::ofstream(file) << "old";
    fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    std::string error;
    EXPECT_FALSE(writeFileAtomic(file.string(), "new", error)); // even for root
    EXPECT_EQ(error, "the file is read-only");
    const FileResult result = saveFile(file.string(), "new");
    EXPECT_EQ(result.kind, FileErrorKind::ReadOnly);
    EXPECT_EQ(result.path, file.string());
    EXPECT_EQ(contentsOf(file), "old");
    EXPECT_EQ(statOf(file).st_mode & 07777, 0444u);
    EXPECT_EQ(entries(dir.path), 1u);
}

TEST(FileIO, NamedPipesAndDevicesAreNeverReplaced) {
    TempDir dir;
    const fs::path pipe = dir.path / "pipe.txt";
    makePipe(pipe);
    std::string error;
    {
        PipeRelease release(pipe.string());
        EXPECT_FALSE(writeFileAtomic(pipe.string(), "x", error));
    }
    EXPECT_EQ(error, "not a regular file but a named pipe");
    EXPECT_TRUE(S_ISFIFO(statOf(pipe).st_mode));
    fs::create_symlink("/dev/null", dir.path / "null.txt");
    EXPECT_EQ(saveFile((dir.path / "null.txt").string(), "x").kind, FileErrorKind::NotRegularFile);
    EXPECT_TRUE(fs::is_symlink(dir.path / "null.txt"));
    EXPECT_EQ(entries(dir.path), 2u);
}

TEST(FileIO, ReplacementKeepsModeOwnerAndGroup) {
    TempDir dir;
    const fs::path file = dir.path / "a.txt";
    std::ofstream(file) << "old";
    ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
    if (runningAsRoot()) { // as root, the file of another user
        ASSERT_EQ(::chown(file.c_str(), StrangerUser, StrangerGroup), 0);
    }
    const struct stat before = statOf(file);
    const FileResult result = saveFile(file.string(), "new");
    ASSERT_TRUE(result.ok()) << result.text();
    const struct stat after = statOf(file);
    EXPECT_FALSE(result.inPlace);
    EXPECT_NE(after.st_ino, before.st_ino); // a new file took the old one's place
    EXPECT_EQ(after.st_mode & 07777, 0640u);
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(after.st_gid, before.st_gid);
    EXPECT_EQ(contentsOf(file), "new");
}

// The folder takes no new file, but the file may be written: it is written in place, whether the new
// text is shorter or longer than the old one, and the copy made first is gone afterwards.
TEST(FileIO, FileInAFolderThatTakesNoNewFileIsWrittenInPlace) {
    TempDir dir;
    fs::create_directory(dir.path / "locked");
    fs::create_directory(dir.path / "copies");
    fs::permissions(dir.path / "copies", fs::perms::all);
    const fs::path file = dir.path / "locked" / "a.txt";
    std::ofstream(file) << "old text of medium length";
    const bool root = runningAsRoot();
    if (root) {
        ASSERT_EQ(::chown(file.c_str(), StrangerUser, StrangerGroup), 0); // the folder stays root's
    } else {
        fs::permissions(dir.path / "locked", fs::perms::owner_read | fs::perms::owner_exec);
    }
    const ino_t inode = statOf(file).st_ino;
    auto save = [&](const std::string& bytes) {
        ::setenv("TMPDIR", (dir.path / "copies").c_str(), 1);
        const FileResult result = saveFile(file.string(), bytes);
        ::unsetenv("TMPDIR");
        return result.ok() && result.inPlace ? 0 : 1;
    };
    for (const std::string& text : {std::string("short"), std::string(100000, 'L')}) {
        EXPECT_EQ(root ? runAsUser(StrangerUser, StrangerGroup, [&] { return save(text); }) : save(text), 0);
        EXPECT_EQ(contentsOf(file), text);
        EXPECT_EQ(statOf(file).st_ino, inode);
        EXPECT_EQ(entries(dir.path / "copies"), 0u);
    }
    // Without the copy the file is not touched.
    fs::permissions(dir.path / "copies", fs::perms::owner_read | fs::perms::owner_exec);
    auto refused = [&] {
        ::setenv("TMPDIR", (dir.path / "copies").c_str(), 1);
        const FileResult result = saveFile(file.string(), "lost?");
        ::unsetenv("TMPDIR");
        return !result.ok() && result.code == EACCES && result.path == (dir.path / "copies").string() ? 0 : 1;
    };
    EXPECT_EQ(root ? runAsUser(StrangerUser, StrangerGroup, refused) : refused(), 0);
    EXPECT_EQ(contentsOf(file), std::string(100000, 'L'));
    fs::permissions(dir.path / "locked", fs::perms::owner_all);
    EXPECT_EQ(entries(dir.path / "locked"), 1u);
}

// Another user's file that this user may write: a new file would belong to this user, so the file is
// written in place and keeps its owner.
TEST(FileIO, FileOfAnotherUserIsWrittenInPlace) {
    if (!runningAsRoot())
        GTEST_SKIP() << "needs root to make a file of another user";
    TempDir dir;
    ASSERT_EQ(::chmod(dir.path.c_str(), 0777), 0);
    const fs::path file = dir.path / "a.txt";
    std::ofstream(file) << "old";
    ASSERT_EQ(::chown(file.c_str(), StrangerUser + 1, StrangerGroup + 1), 0);
    ASSERT_EQ(::chmod(file.c_str(), 0666), 0);
    EXPECT_EQ(runAsUser(StrangerUser, StrangerGroup,
                        [&file] {
                            const FileResult result = saveFile(file.string(), "new");
                            return result.ok() && result.inPlace ? 0 : 1;
                        }),
              0);
    EXPECT_EQ(contentsOf(file), "new");
    EXPECT_EQ(statOf(file).st_uid, StrangerUser + 1);
    EXPECT_EQ(statOf(file).st_gid, StrangerGroup + 1);
    EXPECT_EQ(entries(dir.path), 1u);
}

TEST(FileIO, SaveRemovesStaleTemporaryFilesOfTheSameFile) {
    TempDir dir;
    const fs::path file = dir.path / "a.txt";
    std::ofstream(file) << "old";
    const auto old = fs::file_time_type::clock::now() - std::chrono::minutes(5);
    auto temporary = [&](const std::string& name, bool stale) {
        std::ofstream(dir.path / name) << "partial";
        if (stale)
            fs::last_write_time(dir.path / name, old);
    };
    temporary(".~a.txt.tmp123456", true);
    temporary(".~a.txt.tmp42", true);
    temporary(".~a.txt.tmp654321", false); // a save in progress in another process
    temporary(".~b.txt.tmp123456", true);  // another file's
    temporary(".~a.txt.tmp1234567", true); // not a name a save makes
    temporary(".~a.txt.tmpabc", true);
    temporary("~a.txt", true);
    ASSERT_TRUE(saveFile(file.string(), "new").ok());
    std::set<std::string> left;
    for (const auto& entry : fs::directory_iterator(dir.path))
        left.insert(entry.path().filename().string());
    EXPECT_EQ(left, (std::set<std::string>{"a.txt", ".~a.txt.tmp654321", ".~b.txt.tmp123456",
                                           ".~a.txt.tmp1234567", ".~a.txt.tmpabc", "~a.txt"}));
}

TEST(FileIO, FailuresNameThePathAndTheReason) {
    TempDir dir;
    const fs::path missing = dir.path / "missing" / "a.txt";
    const FileResult result = saveFile(missing.string(), "x");
    EXPECT_EQ(result.kind, FileErrorKind::System);
    EXPECT_EQ(result.code, ENOENT);
    EXPECT_EQ(result.path, (dir.path / "missing").string());
    EXPECT_EQ(result.text(missing.string()), std::string(std::strerror(ENOENT)) + ": " + result.path);
    std::string bytes;
    EXPECT_EQ(readFile(missing.string(), bytes).text(missing.string()), std::strerror(ENOENT));
}

TEST(FileIO, StampTellsAChangeByAnotherProgram) {
    TempDir dir;
    const fs::path file = dir.path / "a.txt";
    const FileResult saved = saveFile(file.string(), "text");
    ASSERT_TRUE(saved.ok());
    EXPECT_TRUE(saved.stamp.exists);
    EXPECT_EQ(saved.stamp.size, 4u);
    EXPECT_EQ(saved.stamp, fileStamp(file.string()));
    std::string bytes;
    EXPECT_EQ(readFile(file.string(), bytes).stamp, saved.stamp);
    fs::last_write_time(file, fs::last_write_time(file) + std::chrono::seconds(1)); // same size, other time
    EXPECT_NE(fileStamp(file.string()), saved.stamp);
    fs::remove(file);
    EXPECT_FALSE(fileStamp(file.string()).exists);
}
