#pragma once

// The one converter between script bytes and Unicode for display. Scripts are single-byte
// Windows-1251 text; every one of the 256 byte values maps to a distinct character and back (0x98,
// undefined in Windows-1251, maps to U+0098). A character without a byte becomes "?".

#include <string>
#include <string_view>

namespace tonvale {

char16_t cp1251ToUnicode(unsigned char byte);
char unicodeToCp1251(char32_t c);
std::u16string cp1251ToUtf16(std::string_view bytes);
std::string utf16ToCp1251(std::u16string_view text);
std::string cp1251ToUtf8(std::string_view bytes);
std::string utf8ToCp1251(std::string_view text);

} // namespace tonvale
