// SPDX-License-Identifier: MIT
#include "settings/IniFile.h"

#include "document/FileIO.h"
#include "document/TextHelpers.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>

namespace tonvale {

namespace {

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

bool equalsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               auto lower = [](char c) {
                   return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
               };
               return lower(x) == lower(y);
           });
}

// The name of a "[section]" line, or nothing when the line is not one.
std::optional<std::string_view> sectionName(std::string_view line) {
    const std::string_view text = trim(line);
    if (text.size() < 2 || text.front() != '[')
        return std::nullopt;
    const std::size_t close = text.find(']');
    if (close == std::string_view::npos)
        return std::nullopt;
    return trim(text.substr(1, close - 1));
}

struct KeyLine {
    std::string_view key;
    std::string_view value;
};

std::optional<KeyLine> keyLine(std::string_view line) {
    const std::string_view text = trim(line);
    if (text.empty() || text.front() == ';' || text.front() == '[')
        return std::nullopt;
    const std::size_t eq = text.find('=');
    if (eq == std::string_view::npos)
        return std::nullopt;
    return KeyLine{trim(text.substr(0, eq)), trim(text.substr(eq + 1))};
}

} // namespace

void IniFile::parse(std::string_view bytes) {
    m_lines.clear();
    m_byteOrderMark = bytes.starts_with(ByteOrderMark);
    if (m_byteOrderMark)
        bytes.remove_prefix(ByteOrderMark.size());
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string_view::npos)
            end = bytes.size();
        m_lines.emplace_back(bytes.substr(start, end - start));
        if (end < bytes.size() && bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n')
            ++end;
        start = end + 1;
    }
}

std::string IniFile::serialize() const {
    std::string out(m_byteOrderMark ? ByteOrderMark : std::string_view());
    for (const std::string& line : m_lines) {
        out += line;
        out += "\r\n";
    }
    return out;
}

bool IniFile::load(const std::string& path) {
    std::string bytes;
    const FileResult read = readFile(path, bytes);
    m_unreadablePath.clear();
    if (!read) {
        parse({});
        if (read.kind != FileErrorKind::System || read.code != ENOENT) {
            m_unreadablePath = path;
            m_readError = read.text(path);
        }
        return false;
    }
    parse(bytes);
    return true;
}

bool IniFile::save(const std::string& path, std::string& error) const {
    if (!m_unreadablePath.empty() && path == m_unreadablePath) {
        error = "the settings file could not be read (" + m_readError + "), so it is not replaced";
        return false;
    }
    return writeFileAtomic(path, serialize(), error);
}

std::optional<IniFile::Located> IniFile::locate(std::string_view section, std::string_view key) const {
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        const auto name = sectionName(m_lines[i]);
        if (!name || !equalsNoCase(*name, section))
            continue;
        Located found;
        found.sectionLine = i;
        std::size_t j = i + 1;
        for (; j < m_lines.size() && !sectionName(m_lines[j]); ++j) {
            if (found.keyLine)
                continue;
            const auto entry = keyLine(m_lines[j]);
            if (entry && equalsNoCase(entry->key, key))
                found.keyLine = j;
        }
        found.endLine = j;
        return found;
    }
    return std::nullopt;
}

std::optional<std::string> IniFile::value(std::string_view section, std::string_view key) const {
    const auto found = locate(section, key);
    if (!found || !found->keyLine)
        return std::nullopt;
    std::string_view text = keyLine(m_lines[*found->keyLine])->value;
    // A value enclosed in matching quotes is read without them.
    if (text.size() >= 2 && (text.front() == '"' || text.front() == '\'') && text.back() == text.front())
        text = text.substr(1, text.size() - 2);
    return std::string(text.substr(0, MaxValueLength));
}

std::string IniFile::readString(std::string_view section, std::string_view key,
                                std::string_view fallback) const {
    auto found = value(section, key);
    return found ? std::move(*found) : std::string(fallback);
}

std::optional<int> IniFile::parseInteger(std::string_view text) {
    text = trim(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty())
        return std::nullopt;
    long long magnitude = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), magnitude, base);
    if (ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    const long long result = negative ? -magnitude : magnitude;
    // Hexadecimal values up to 0xFFFFFFFF wrap to 32 bits, as the Windows reader does.
    if (base == 16 && result >= 0 && result <= 0xFFFFFFFFLL)
        return static_cast<int>(static_cast<unsigned int>(result));
    if (result < INT_MIN || result > INT_MAX)
        return std::nullopt;
    return static_cast<int>(result);
}

int IniFile::readInteger(std::string_view section, std::string_view key, int fallback) const {
    const auto text = value(section, key);
    if (!text)
        return fallback;
    return parseInteger(*text).value_or(fallback);
}

bool IniFile::readBool(std::string_view section, std::string_view key, bool fallback) const {
    return readInteger(section, key, fallback ? 1 : 0) != 0;
}

void IniFile::writeString(std::string_view section, std::string_view key, std::string_view value) {
    std::string line = std::string(key) + "=" + std::string(value);
    const auto found = locate(section, key);
    if (!found) {
        if (!m_lines.empty() && !trim(m_lines.back()).empty())
            m_lines.emplace_back();
        m_lines.push_back("[" + std::string(section) + "]");
        m_lines.push_back(std::move(line));
        return;
    }
    if (found->keyLine) {
        m_lines[*found->keyLine] = std::move(line);
        return;
    }
    // After the section's last non-blank line.
    std::size_t at = found->endLine;
    while (at > found->sectionLine + 1 && trim(m_lines[at - 1]).empty())
        --at;
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
}

void IniFile::writeInteger(std::string_view section, std::string_view key, int value) {
    writeString(section, key, std::to_string(value));
}

void IniFile::writeBool(std::string_view section, std::string_view key, bool value) {
    writeString(section, key, value ? "1" : "0");
}

} // namespace tonvale
