// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace tonvale {

// Scripts larger than this are not read: real scripts are well under a megabyte, and a larger file is
// most likely not a script at all.
inline constexpr std::uint64_t MaxScriptBytes = std::uint64_t{256} << 20;

enum class FileErrorKind {
    None,
    System,         // the system refused: `code` holds its error number
    NotRegularFile, // a folder, named pipe, device or socket: never read from, never replaced
    TooLarge,       // larger than the limit of the read
    ReadOnly,       // the file may not be written: it is left as it is (a copy under another name may be)
    Abandoned,      // the bytes to save could not all be produced: the file is left as it is
};

// What a file looked like on disk: enough to notice that another program changed or replaced it.
struct FileStamp {
    bool exists = false;
    std::uint64_t size = 0;
    std::int64_t modifiedNs = 0; // modification time, nanoseconds since the epoch
    std::uint64_t device = 0;
    std::uint64_t inode = 0;

    bool operator==(const FileStamp&) const = default;
};

// The outcome of reading or saving a file. On failure `path` names the file or folder the failure
// concerns (for a save through a symbolic link, the file the link leads to) and `reason` says why,
// in the system's words or, for the kinds the program detects itself, in the program's.
struct FileResult {
    FileErrorKind kind = FileErrorKind::None;
    int code = 0; // the system's error number for FileErrorKind::System
    std::string path;
    std::string reason;

    // Filled by saveFile.
    std::string target;   // the file that was (or would have been) written: symbolic links followed
    bool inPlace = false; // written over the file itself rather than through a temporary file
    // Set when a save over the file itself failed after it had started: the file may be damaged, and
    // this flushed copy holds every byte that was to be saved.
    std::string copyPath;

    FileStamp stamp; // the file after a successful read or save

    bool ok() const { return kind == FileErrorKind::None; }
    explicit operator bool() const { return ok(); }

    // "reason", followed by the path when it is not `requestedPath` and by the copy when there is one.
    std::string text(std::string_view requestedPath = {}) const;
};

// Reads a whole regular file as bytes. Anything else (a folder, a named pipe, a device) is refused
// without being opened for reading, so nothing blocks or reads forever; a file larger than
// `maxBytes` is refused before it is read.
FileResult readFile(const std::string& path, std::string& bytes, std::uint64_t maxBytes = MaxScriptBytes);

// Saves bytes to a file without ever leaving it truncated or the old file lost:
// - a symbolic link stays a link and its target file is written;
// - a file without write permission is refused (FileErrorKind::ReadOnly) and left alone;
// - the bytes go to a temporary file beside the target (".~NAME.tmpNNNNNN"), which gets the old
//   file's owner, group and mode, is flushed to disk and renamed over the target; a hard link to the
//   old file therefore keeps the old contents;
// - when the folder does not accept a new file, or the old owner cannot be given to one, but the file
//   itself may be written, the bytes are written over the file in place, after a flushed copy of them
//   was made in the system's temporary folder; the copy is removed once the file is flushed;
// - on success, temporary files of the same target left by a save that was killed (older than a
//   minute) are removed.
// Folders, named pipes and devices are never replaced (FileErrorKind::NotRegularFile).
FileResult saveFile(const std::string& path, std::string_view bytes);

// Hands the bytes of a save to `sink`, piece by piece; false when they could not all be produced.
using SaveProducer = std::function<bool(const std::function<void(std::string_view)>& sink)>;
// The same save, with bytes that are produced as they are written, so that a large text never needs
// to be held in memory: the pieces go straight to the temporary file (or, for a save in place, to the
// flushed copy, which is then copied over the file). When the producer returns false, nothing is
// replaced (FileErrorKind::Abandoned).
FileResult saveFile(const std::string& path, const SaveProducer& produce);

// The file's stamp now (following symbolic links); `exists` is false when there is no such file.
FileStamp fileStamp(const std::string& path);

// The same as readFile (with the script limit) and saveFile, with the failure as text (FileResult::text).
bool readWholeFile(const std::string& path, std::string& bytes, std::string& error);
bool writeFileAtomic(const std::string& path, std::string_view bytes, std::string& error);

} // namespace tonvale
