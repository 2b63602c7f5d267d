// SPDX-License-Identifier: MIT
#pragma once

// The one converter between script bytes and Unicode for display. Most scripts are single-byte
// Windows-1251 text; every one of the 256 byte values maps to a distinct character and back (0x98,
// undefined in Windows-1251, maps to U+0098). A character without a byte becomes "?". Scripts whose
// bytes are UTF-8 are shown as UTF-8 (see ScriptEncoding below).

#include <string>
#include <string_view>

namespace tonvale {

char16_t cp1251ToUnicode(unsigned char byte);
char unicodeToCp1251(char32_t c);
std::u16string cp1251ToUtf16(std::string_view bytes);
std::string utf16ToCp1251(std::u16string_view text);
std::string cp1251ToUtf8(std::string_view bytes);
std::string utf8ToCp1251(std::string_view text);

// ---- The script's encoding ----
// A script is shown as UTF-8 when its bytes are valid UTF-8 and hold non-ASCII bytes (a UTF-8
// byte-order mark is such bytes), as Windows-1251 otherwise. Either way its bytes are never converted: the
// encoding decides only how they are shown and how typed text becomes bytes.
enum class ScriptEncoding { Windows1251, Utf8 };
inline constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";
bool startsWithByteOrderMark(std::string_view bytes);
bool isValidUtf8(std::string_view bytes);
ScriptEncoding detectEncoding(std::string_view bytes);
// The same, except that bytes that are all ASCII keep `asciiOnly`: text
// that lost its last non-ASCII character still belongs to a document of that encoding.
ScriptEncoding detectEncoding(std::string_view bytes, ScriptEncoding asciiOnly);
// "UTF-8" or "Windows-1251", for the status bar.
std::string_view encodingName(ScriptEncoding encoding);
// Script bytes to Unicode and back. A byte-order mark is an ordinary character here (U+FEFF), so text
// shown whole comes back as the same bytes. In UTF-8, a byte that is not part of valid UTF-8 is shown
// as its Windows-1251 character; a character that has no byte in Windows-1251 becomes "?".
std::u16string scriptToUtf16(std::string_view bytes, ScriptEncoding encoding);
std::string utf16ToScript(std::u16string_view text, ScriptEncoding encoding);
// The program's own texts (UTF-8) as script bytes, and script bytes as UTF-8 for messages.
std::string utf8ToScript(std::string_view text, ScriptEncoding encoding);
std::string scriptToUtf8(std::string_view bytes, ScriptEncoding encoding);

} // namespace tonvale
