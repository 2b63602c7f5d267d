// SPDX-License-Identifier: MIT
#include "document/Cp1251.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <unordered_map>

namespace tonvale {

namespace {

// Unicode of the bytes 0x80 to 0xBF; 0x98, which Windows-1251 leaves undefined, maps to U+0098 so that
// every byte survives the round trip.
constexpr std::array<char16_t, 64> HighTable = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039, 0x040A,
    0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x0098, 0x2122,
    0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6,
    0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456,
    0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
};

const std::unordered_map<char16_t, unsigned char>& reverseTable() {
    static const std::unordered_map<char16_t, unsigned char> table = [] {
        std::unordered_map<char16_t, unsigned char> map;
        for (unsigned b = 0x80; b < 0xC0; ++b)
            map.emplace(HighTable[b - 0x80], static_cast<unsigned char>(b));
        return map;
    }();
    return table;
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

// Length of the valid UTF-8 sequence at `at` (overlong forms, surrogates and code points above
// U+10FFFF excluded), 0 when there is none; the code point goes to `c`.
std::size_t utf8Sequence(std::string_view text, std::size_t at, char32_t& c) {
    const auto lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80) {
        c = lead;
        return 1;
    }
    const std::size_t length = (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
    if (length == 0 || at + length > text.size())
        return 0;
    c = length == 2 ? (lead & 0x1F) : length == 3 ? (lead & 0x0F) : (lead & 0x07);
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[at + k]);
        if ((next & 0xC0) != 0x80)
            return 0;
        c = (c << 6) | (next & 0x3F);
    }
    constexpr char32_t Smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < Smallest[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return 0;
    return length;
}

void appendUtf16(std::u16string& out, char32_t c) {
    if (c < 0x10000) {
        out.push_back(static_cast<char16_t>(c));
        return;
    }
    c -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
}

} // namespace

char16_t cp1251ToUnicode(unsigned char byte) {
    if (byte < 0x80)
        return byte;
    if (byte >= 0xC0)
        return static_cast<char16_t>(0x0410 + (byte - 0xC0));
    return HighTable[byte - 0x80];
}

char unicodeToCp1251(char32_t c) {
    if (c < 0x80)
        return static_cast<char>(c);
    if (c >= 0x0410 && c <= 0x044F)
        return static_cast<char>(0xC0 + (c - 0x0410));
    if (c <= 0xFFFF) {
        const auto& table = reverseTable();
        if (auto it = table.find(static_cast<char16_t>(c)); it != table.end())
            return static_cast<char>(it->second);
    }
    return '?';
}

std::u16string cp1251ToUtf16(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    for (char b : bytes)
        out.push_back(cp1251ToUnicode(static_cast<unsigned char>(b)));
    return out;
}

std::string utf16ToCp1251(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            ++i; // a character outside the basic plane has no byte
            c = 0x10000;
        }
        out.push_back(unicodeToCp1251(c));
    }
    return out;
}

std::string cp1251ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (char b : bytes)
        appendUtf8(out, cp1251ToUnicode(static_cast<unsigned char>(b)));
    return out;
}

std::string utf8ToCp1251(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = lead < 0x80           ? 1
                             : (lead >> 5) == 0x6  ? 2
                             : (lead >> 4) == 0xE  ? 3
                             : (lead >> 3) == 0x1E ? 4
                                                   : 0;
        if (length == 0 || i + length > text.size()) {
            out.push_back('?');
            ++i;
            continue;
        }
        char32_t c = length == 1   ? lead
                     : length == 2 ? (lead & 0x1F)
                     : length == 3 ? (lead & 0x0F)
                                   : (lead & 0x07);
        bool valid = true;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            valid = valid && (next & 0xC0) == 0x80;
            c = (c << 6) | (next & 0x3F);
        }
        out.push_back(valid ? unicodeToCp1251(c) : '?');
        i += valid ? length : 1;
    }
    return out;
}

bool startsWithByteOrderMark(std::string_view bytes) {
    return bytes.starts_with(ByteOrderMark);
}

bool isValidUtf8(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        char32_t c = 0;
        const std::size_t length = utf8Sequence(bytes, i, c);
        if (length == 0)
            return false;
        i += length;
    }
    return true;
}

namespace {

// True when no byte has its high bit set; eight bytes at a time.
bool allAscii(std::string_view bytes) {
    constexpr std::uint64_t HighBits = 0x8080808080808080u;
    std::size_t i = 0;
    for (; i + 32 <= bytes.size(); i += 32) {
        std::uint64_t words[4];
        std::memcpy(words, bytes.data() + i, sizeof words);
        if (((words[0] | words[1] | words[2] | words[3]) & HighBits) != 0)
            return false;
    }
    return std::none_of(bytes.begin() + static_cast<std::ptrdiff_t>(i), bytes.end(),
                        [](char b) { return static_cast<unsigned char>(b) >= 0x80; });
}

} // namespace

ScriptEncoding detectEncoding(std::string_view bytes, ScriptEncoding asciiOnly) {
    if (allAscii(bytes))
        return asciiOnly;
    return isValidUtf8(bytes) ? ScriptEncoding::Utf8 : ScriptEncoding::Windows1251;
}

ScriptEncoding detectEncoding(std::string_view bytes) {
    return detectEncoding(bytes, ScriptEncoding::Windows1251);
}

std::string_view encodingName(ScriptEncoding encoding) {
    return encoding == ScriptEncoding::Utf8 ? "UTF-8" : "Windows-1251";
}

std::u16string scriptToUtf16(std::string_view bytes, ScriptEncoding encoding) {
    if (encoding == ScriptEncoding::Windows1251)
        return cp1251ToUtf16(bytes);
    std::u16string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        char32_t c = 0;
        const std::size_t length = utf8Sequence(bytes, i, c);
        if (length == 0) {
            out.push_back(cp1251ToUnicode(static_cast<unsigned char>(bytes[i])));
            ++i;
            continue;
        }
        appendUtf16(out, c);
        i += length;
    }
    return out;
}

std::string utf16ToScript(std::u16string_view text, ScriptEncoding encoding) {
    if (encoding == ScriptEncoding::Windows1251)
        return utf16ToCp1251(text);
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = '?'; // half of a pair
        }
        appendUtf8(out, c);
    }
    return out;
}

std::string utf8ToScript(std::string_view text, ScriptEncoding encoding) {
    if (encoding == ScriptEncoding::Windows1251)
        return utf8ToCp1251(text);
    return utf16ToScript(scriptToUtf16(text, ScriptEncoding::Utf8), ScriptEncoding::Utf8);
}

std::string scriptToUtf8(std::string_view bytes, ScriptEncoding encoding) {
    if (encoding == ScriptEncoding::Windows1251)
        return cp1251ToUtf8(bytes);
    return utf16ToScript(scriptToUtf16(bytes, ScriptEncoding::Utf8), ScriptEncoding::Utf8);
}

} // namespace tonvale
