#include "document/FileIO.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <system_error>

#if defined(_WIN32)
#include <io.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tonvale {

namespace fs = std::filesystem;

bool readWholeFile(const std::string& path, std::string& bytes, std::string& error) {
    std::error_code ec;
    if (fs::is_directory(fs::path(path), ec)) {
        error = std::strerror(EISDIR);
        return false;
    }
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        error = std::strerror(errno);
        return false;
    }
    bytes.clear();
    char buffer[1 << 16];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.append(buffer, got);
    const bool failed = std::ferror(file) != 0;
    const int savedErrno = errno;
    std::fclose(file);
    if (failed) {
        error = std::strerror(savedErrno != 0 ? savedErrno : EIO);
        return false;
    }
    return true;
}

bool writeFileAtomic(const std::string& path, std::string_view bytes, std::string& error) {
    const fs::path target = fs::path(path);
    std::error_code ec;
    if (fs::is_directory(target, ec)) {
        error = std::strerror(EISDIR);
        return false;
    }
    std::random_device seed;
    const std::string suffix = ".tmp" + std::to_string(seed() % 1000000);
    const fs::path temp = target.parent_path() / (".~" + target.filename().string() + suffix);
    std::FILE* file = std::fopen(temp.string().c_str(), "wb");
    if (file == nullptr) {
        error = std::strerror(errno);
        return false;
    }
    bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    int savedErrno = ok ? 0 : errno;
    if (ok && std::fflush(file) != 0) {
        ok = false;
        savedErrno = errno;
    }
#if !defined(_WIN32)
    if (ok && ::fsync(::fileno(file)) != 0) {
        ok = false;
        savedErrno = errno;
    }
    // Keep the permissions of the file being replaced.
    struct stat st {};
    if (ok && ::stat(path.c_str(), &st) == 0)
        ::fchmod(::fileno(file), st.st_mode & 07777);
#endif
    if (std::fclose(file) != 0 && ok) {
        ok = false;
        savedErrno = errno;
    }
    if (ok) {
        fs::rename(temp, target, ec);
        if (ec) {
            ok = false;
            error = ec.message();
        }
    } else {
        error = std::strerror(savedErrno != 0 ? savedErrno : EIO);
    }
    if (!ok)
        fs::remove(temp, ec);
    return ok;
}

} // namespace tonvale
