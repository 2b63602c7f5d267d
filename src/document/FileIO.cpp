// SPDX-License-Identifier: MIT
#include "document/FileIO.h"

#include "document/BlockMemory.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <filesystem>
#include <new>
#include <random>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace tonvale {

namespace fs = std::filesystem;

namespace {

// Temporary files of a save that was killed are removed by a later save once they are this old; a
// younger one may belong to a save running right now in another process.
constexpr auto StaleTemporaryAge = std::chrono::minutes(1);
constexpr int MaxLinkHops = 40;

FileResult systemError(int code, std::string path) {
    FileResult result;
    result.kind = FileErrorKind::System;
    result.code = code;
    result.path = std::move(path);
    result.reason = std::strerror(code);
    return result;
}

FileResult programError(FileErrorKind kind, std::string path, std::string reason) {
    FileResult result;
    result.kind = kind;
    result.path = std::move(path);
    result.reason = std::move(reason);
    return result;
}

FileResult notRegular(std::string path, mode_t mode) {
    const char* what = S_ISDIR(mode)                    ? "a folder"
                       : S_ISFIFO(mode)                 ? "a named pipe"
                       : S_ISCHR(mode) || S_ISBLK(mode) ? "a device"
                       : S_ISSOCK(mode)                 ? "a socket"
                                                        : "a special file";
    return programError(FileErrorKind::NotRegularFile, std::move(path),
                        std::string("not a regular file but ") + what);
}

FileResult tooLarge(std::string path, std::uint64_t maxBytes) {
    const std::string limit = maxBytes % (1 << 20) == 0 ? std::to_string(maxBytes >> 20) + " MB"
                                                        : std::to_string(maxBytes) + " bytes";
    return programError(FileErrorKind::TooLarge, std::move(path), "the file is larger than " + limit);
}

FileStamp stampOf(const struct stat& st) {
    FileStamp stamp;
    stamp.exists = true;
    stamp.size = static_cast<std::uint64_t>(st.st_size);
    stamp.modifiedNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    stamp.device = static_cast<std::uint64_t>(st.st_dev);
    stamp.inode = static_cast<std::uint64_t>(st.st_ino);
    return stamp;
}

// A file descriptor closed on every path.
class Descriptor {
  public:
    explicit Descriptor(int fd = -1) : m_fd(fd) {}
    ~Descriptor() { reset(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }
    void reset(int fd = -1) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }
    // Closes the descriptor and reports the error of the close (a write may only fail there).
    int close() {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0 ? 0 : errno;
    }

  private:
    int m_fd;
};

int openRetrying(const std::string& path, int flags, mode_t mode = 0) {
    int fd = -1;
    do
        fd = ::open(path.c_str(), flags | O_CLOEXEC, mode);
    while (fd < 0 && errno == EINTR);
    return fd;
}

// Writes every byte at `offset`; returns 0 or the error number.
int writeAll(int fd, std::string_view bytes, off_t offset) {
    while (!bytes.empty()) {
        const std::size_t chunk = std::min<std::size_t>(bytes.size(), std::size_t{1} << 30);
        const ssize_t n = ::pwrite(fd, bytes.data(), chunk, offset);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
        offset += n;
    }
    return 0;
}

std::string randomDigits(std::mt19937& rng) {
    std::string digits = std::to_string(std::uniform_int_distribution<int>(0, 999999)(rng));
    return std::string(6 - digits.size(), '0') + digits;
}

// Creates "PREFIXNNNNNN" in `folder`, exclusively; returns the descriptor or -1 with errno set.
int createUnique(const fs::path& folder, const std::string& prefix, mode_t mode, std::string& temp,
                 int access = O_WRONLY) {
    std::mt19937 rng(std::random_device{}());
    int fd = -1;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = (folder / (prefix + randomDigits(rng))).string();
        fd = openRetrying(temp, access | O_CREAT | O_EXCL, mode);
        if (fd >= 0 || errno != EEXIST)
            break;
    }
    return fd;
}

void syncFolder(const fs::path& folder) {
    Descriptor fd(openRetrying(folder.string(), O_RDONLY | O_DIRECTORY));
    if (fd.get() >= 0)
        ::fsync(fd.get());
}

// The temporary files of a save of NAME are ".~NAME.tmpNNNNNN" beside it.
std::string temporaryPrefix(const fs::path& target) {
    return ".~" + target.filename().string() + ".tmp";
}

fs::path folderOf(const fs::path& file) {
    return file.has_parent_path() ? file.parent_path() : fs::path(".");
}

// Follows a chain of symbolic links to the path of the file at its end (which may not exist yet).
FileResult followLinks(const std::string& path, std::string& target) {
    fs::path current(path);
    for (int hops = 0;; ++hops) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0) {
            const int error = errno;
            if (error == ENOENT)
                break;
            return systemError(error, current.string());
        }
        if (!S_ISLNK(st.st_mode))
            break;
        if (hops == MaxLinkHops)
            return systemError(ELOOP, path);
        std::error_code ec;
        const fs::path next = fs::read_symlink(current, ec);
        if (ec)
            return systemError(ec.value(), current.string());
        current = next.is_absolute() ? next : current.parent_path() / next;
    }
    target = current.string();
    return {};
}

bool mayWrite(const std::string& path, int& error) {
    if (::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0)
        return true;
    error = errno;
    return false;
}

FileResult abandoned(std::string path) {
    return programError(FileErrorKind::Abandoned, std::move(path), "the text to save could not be made");
}

// What the producer of a save wrote into a file: its size, whether it produced every byte and the
// first error of a write (after which the rest is not written).
struct Produced {
    off_t size = 0;
    bool complete = false;
    int error = 0;
};

Produced produceInto(int fd, const SaveProducer& produce) {
    Produced produced;
    try {
        produced.complete = produce([&produced, fd](std::string_view piece) {
            if (produced.error == 0 && !piece.empty()) {
                produced.error = writeAll(fd, piece, produced.size);
                produced.size += static_cast<off_t>(piece.size());
            }
        });
    } catch (const std::exception&) {
        produced.complete = false; // out of memory on the way, most likely: the save is abandoned
    }
    return produced;
}

// Copies `size` bytes of one file over the start of another; returns 0 or the error number.
int copyContents(int from, int to, off_t size) {
    std::string buffer(std::size_t{1} << 16, '\0');
    for (off_t at = 0; at < size;) {
        const ssize_t n =
            ::pread(from, buffer.data(),
                    std::min<std::size_t>(buffer.size(), static_cast<std::size_t>(size - at)), at);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : EIO;
        if (const int error = writeAll(to, std::string_view(buffer.data(), static_cast<std::size_t>(n)), at);
            error != 0)
            return error;
        at += n;
    }
    return 0;
}

// Writes a new file beside the target and renames it over the target. `tryInPlace` is set when the
// failure means the folder cannot take the new file, or the new file could not get the old owner.
FileResult saveThroughTemporary(const std::string& target, const SaveProducer& produce,
                                const struct stat* old, bool& tryInPlace) {
    tryInPlace = false;
    const fs::path targetPath(target);
    const fs::path folder = folderOf(targetPath);
    std::string temp;
    // A new file gets the usual permissions (less the umask); a replacement gets the old file's below,
    // before any byte is written.
    Descriptor fd(createUnique(folder, temporaryPrefix(targetPath), old ? 0600 : 0666, temp));
    if (fd.get() < 0) {
        const int error = errno;
        tryInPlace = error == EACCES || error == EPERM;
        return systemError(error, folder.string());
    }
    auto fail = [&](int error, const std::string& path) {
        fd.reset();
        ::unlink(temp.c_str());
        return systemError(error, path);
    };
    if (old != nullptr) {
        struct stat made {};
        if (::fstat(fd.get(), &made) != 0) {
            const int error = errno;
            return fail(error, temp);
        }
        if ((made.st_uid != old->st_uid || made.st_gid != old->st_gid) &&
            ::fchown(fd.get(), old->st_uid, old->st_gid) != 0) {
            const int error = errno;
            tryInPlace = true;
            return fail(error, target);
        }
        if (::fchmod(fd.get(), old->st_mode & 07777) != 0) {
            const int error = errno;
            return fail(error, temp);
        }
    }
    const Produced produced = produceInto(fd.get(), produce);
    if (!produced.complete) {
        fd.reset();
        ::unlink(temp.c_str());
        return abandoned(target);
    }
    if (produced.error != 0)
        return fail(produced.error, target);
    if (::fsync(fd.get()) != 0) {
        const int error = errno;
        return fail(error, target);
    }
    if (const int error = fd.close(); error != 0) {
        ::unlink(temp.c_str());
        return systemError(error, target);
    }
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        const int error = errno;
        ::unlink(temp.c_str());
        return systemError(error, target);
    }
    syncFolder(folder);
    return {};
}

// Writes over the file itself: first a flushed copy of the bytes in the temporary folder, then the
// bytes from the start of the file, then the file cut to their length.
FileResult saveInPlace(const std::string& target, const SaveProducer& produce) {
    std::error_code ec;
    const fs::path copyFolder = fs::temp_directory_path(ec);
    if (ec) {
        const char* named = std::getenv("TMPDIR");
        return systemError(ec.value(), named != nullptr ? named : "/tmp");
    }
    std::string copy;
    // Read back below: the copy is made once, then copied over the file.
    Descriptor copyFd(createUnique(copyFolder, "tonvale-" + fs::path(target).filename().string() + "-", 0600,
                                   copy, O_RDWR));
    if (copyFd.get() < 0) {
        const int error = errno;
        return systemError(error, copyFolder.string());
    }
    const Produced produced = produceInto(copyFd.get(), produce);
    if (!produced.complete) {
        copyFd.reset();
        ::unlink(copy.c_str());
        return abandoned(target);
    }
    int error = produced.error;
    if (error == 0 && ::fsync(copyFd.get()) != 0)
        error = errno;
    if (error != 0) {
        copyFd.reset();
        ::unlink(copy.c_str());
        return systemError(error, copy);
    }

    // Not blocking: if a named pipe took the file's place since it was looked at, this fails.
    Descriptor fd(openRetrying(target, O_WRONLY | O_NONBLOCK));
    struct stat now {};
    if (fd.get() < 0 || ::fstat(fd.get(), &now) != 0) {
        error = errno;
        ::unlink(copy.c_str());
        return systemError(error, target);
    }
    if (!S_ISREG(now.st_mode)) {
        ::unlink(copy.c_str());
        return notRegular(target, now.st_mode);
    }
    const auto oldSize = static_cast<off_t>(now.st_size);
    const off_t newSize = produced.size;
    if (newSize > oldSize) {
        // Claim the room first, so that a full disk fails before a byte of the file is changed.
        error = ::posix_fallocate(fd.get(), 0, newSize);
        if (error != 0 && error != EOPNOTSUPP && error != EINVAL) {
            if (::ftruncate(fd.get(), oldSize) != 0) {
                // The file keeps its contents but may have grown: the copy has what was to be saved.
                FileResult result = systemError(error, target);
                result.copyPath = copy;
                return result;
            }
            ::unlink(copy.c_str());
            return systemError(error, target);
        }
    }
    error = copyContents(copyFd.get(), fd.get(), newSize);
    copyFd.reset();
    if (error == 0 && ::ftruncate(fd.get(), newSize) != 0)
        error = errno;
    if (error == 0 && ::fsync(fd.get()) != 0)
        error = errno;
    if (const int closeError = fd.close(); error == 0)
        error = closeError;
    if (error != 0) {
        FileResult result = systemError(error, target);
        result.copyPath = copy;
        return result;
    }
    ::unlink(copy.c_str());
    return {};
}

// ".~NAME.tmp" followed by one to six digits: the temporary files saves of NAME make.
bool isTemporaryOf(const std::string& entry, const std::string& prefix) {
    if (entry.size() <= prefix.size() || entry.size() > prefix.size() + 6 || !entry.starts_with(prefix))
        return false;
    return std::all_of(entry.begin() + static_cast<std::ptrdiff_t>(prefix.size()), entry.end(),
                       [](char c) { return c >= '0' && c <= '9'; });
}

void removeStaleTemporaries(const std::string& target) {
    const fs::path targetPath(target);
    const std::string prefix = temporaryPrefix(targetPath);
    const auto now = fs::file_time_type::clock::now();
    std::error_code ec;
    for (fs::directory_iterator it(folderOf(targetPath), ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code entryError;
        if (!isTemporaryOf(it->path().filename().string(), prefix) || !it->is_regular_file(entryError) ||
            it->is_symlink(entryError))
            continue;
        const auto written = it->last_write_time(entryError);
        if (!entryError && now - written > StaleTemporaryAge)
            fs::remove(it->path(), entryError);
    }
}

} // namespace

std::string FileResult::text(std::string_view requestedPath) const {
    std::string out = reason;
    if (!path.empty() && path != requestedPath)
        out += ": " + path;
    if (!copyPath.empty())
        out += "; the bytes to be saved are in " + copyPath;
    return out;
}

FileResult readFile(const std::string& path, std::string& bytes, std::uint64_t maxBytes) {
    bytes.clear();
    // Look before opening: opening a named pipe or a device may block or have effects of its own.
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        const int error = errno;
        return systemError(error, path);
    }
    if (!S_ISREG(st.st_mode))
        return notRegular(path, st.st_mode);
    if (static_cast<std::uint64_t>(st.st_size) > maxBytes)
        return tooLarge(path, maxBytes);
    // Not blocking: if a named pipe took the file's place in between, the open still returns.
    Descriptor fd(openRetrying(path, O_RDONLY | O_NONBLOCK));
    if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0) {
        const int error = errno;
        return systemError(error, path);
    }
    if (!S_ISREG(st.st_mode))
        return notRegular(path, st.st_mode);
    if (static_cast<std::uint64_t>(st.st_size) > maxBytes)
        return tooLarge(path, maxBytes);
    try {
        // Read straight into the text, sized from the file; a file that grows meanwhile is followed
        // up to the limit.
        const auto limit = static_cast<std::size_t>(std::min<std::uint64_t>(maxBytes, SIZE_MAX - 1));
        // One byte more than the file has, so the end of the file is seen without growing.
        const std::size_t size = std::min(static_cast<std::size_t>(st.st_size), limit) + 1;
        reserveLarge(bytes, size);
        bytes.resize(size);
        std::size_t got = 0;
        for (;;) {
            if (got == bytes.size())
                bytes.resize(std::min(got + (std::size_t{1} << 16), limit + 1));
            const ssize_t n = ::read(fd.get(), bytes.data() + got, bytes.size() - got);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                const int error = errno;
                bytes.clear();
                return systemError(error, path);
            }
            if (n == 0)
                break;
            got += static_cast<std::size_t>(n);
            if (got > limit) { // it grew while being read
                bytes.clear();
                return tooLarge(path, maxBytes);
            }
        }
        bytes.resize(got);
    } catch (const std::bad_alloc&) {
        bytes.clear();
        bytes.shrink_to_fit();
        return systemError(ENOMEM, path);
    }
    FileResult result;
    result.stamp = stampOf(st);
    return result;
}

FileResult saveFile(const std::string& path, std::string_view bytes) {
    return saveFile(path, [bytes](const std::function<void(std::string_view)>& sink) {
        sink(bytes);
        return true;
    });
}

FileResult saveFile(const std::string& path, const SaveProducer& produce) {
    std::string target;
    if (FileResult followed = followLinks(path, target); !followed)
        return followed;
    FileResult result;
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    int error = errno;
    if (!exists && error != ENOENT) {
        result = systemError(error, target);
    } else if (exists && !S_ISREG(old.st_mode)) {
        result = notRegular(target, old.st_mode);
    } else if (exists && ((old.st_mode & 0222) == 0 || !mayWrite(target, error))) {
        // Write permission bits cleared say "do not change this file", even to a user who could.
        result = (old.st_mode & 0222) == 0 || error == EACCES || error == EPERM
                     ? programError(FileErrorKind::ReadOnly, target, "the file is read-only")
                     : systemError(error, target);
    } else {
        bool tryInPlace = false;
        result = saveThroughTemporary(target, produce, exists ? &old : nullptr, tryInPlace);
        if (!result && tryInPlace && exists) {
            result = saveInPlace(target, produce);
            result.inPlace = true;
        }
    }
    result.target = target;
    if (result) {
        removeStaleTemporaries(target);
        result.stamp = fileStamp(target);
    }
    return result;
}

FileStamp fileStamp(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return {};
    return stampOf(st);
}

bool readWholeFile(const std::string& path, std::string& bytes, std::string& error) {
    const FileResult result = readFile(path, bytes);
    if (!result)
        error = result.text(path);
    return result.ok();
}

bool writeFileAtomic(const std::string& path, std::string_view bytes, std::string& error) {
    const FileResult result = saveFile(path, bytes);
    if (!result)
        error = result.text(path);
    return result.ok();
}

} // namespace tonvale
