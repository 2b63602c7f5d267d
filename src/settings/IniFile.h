// SPDX-License-Identifier: MIT
#pragma once

// A settings file with the Windows profile-file conventions: "[section]" lines and "key=value"
// lines, sections and keys matched without regard to case, values stored raw (no escaping), every
// other line (comments, unknown sections and keys, garbage) kept as it was. An existing key is updated
// in place; a new key goes after the last entry of its section; a new section goes at the end.
// Reading takes at most 2047 characters of a value; integers may be written "0x..." in hexadecimal.
// A UTF-8 byte-order mark at the start of the file is skipped when reading and written back.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tonvale {

class IniFile {
  public:
    static constexpr std::size_t MaxValueLength = 2047;

    void parse(std::string_view bytes);
    std::string serialize() const;

    // Reads a file; a missing or unreadable file gives an empty profile (every key takes its default).
    // Only a regular file is read: a named pipe or a device is refused without blocking.
    bool load(const std::string& path);
    // Writes through a temporary file beside the target, so a failure never leaves it truncated. A file
    // that exists but could not be read by `load` is not replaced: its contents would be lost.
    bool save(const std::string& path, std::string& error) const;

    std::optional<std::string> value(std::string_view section, std::string_view key) const;
    std::string readString(std::string_view section, std::string_view key, std::string_view fallback) const;
    int readInteger(std::string_view section, std::string_view key, int fallback) const;
    bool readBool(std::string_view section, std::string_view key, bool fallback) const;

    void writeString(std::string_view section, std::string_view key, std::string_view value);
    void writeInteger(std::string_view section, std::string_view key, int value);
    void writeBool(std::string_view section, std::string_view key, bool value);

    // Parses an integer as the profile reader does: decimal, or hexadecimal after "0x"/"0X".
    static std::optional<int> parseInteger(std::string_view text);

  private:
    struct Located {
        std::size_t sectionLine = 0; // index of the "[section]" line
        std::size_t endLine = 0;     // one past the section's last line
        std::optional<std::size_t> keyLine;
    };
    std::optional<Located> locate(std::string_view section, std::string_view key) const;

    std::vector<std::string> m_lines;
    bool m_byteOrderMark = false;
    std::string m_unreadablePath; // the file `load` found but could not read
    std::string m_readError;
};

} // namespace tonvale
