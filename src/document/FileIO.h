#pragma once

#include <string>
#include <string_view>

namespace tonvale {

// Reads a whole file as bytes. On failure returns false and a description of the system error.
bool readWholeFile(const std::string& path, std::string& bytes, std::string& error);

// Writes a file without ever leaving it truncated: the bytes go to a temporary file beside the
// target, which is flushed and then renamed over it. On any failure the target is untouched and the
// temporary file is removed.
bool writeFileAtomic(const std::string& path, std::string_view bytes, std::string& error);

} // namespace tonvale
