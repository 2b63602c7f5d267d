// SPDX-License-Identifier: MIT
#pragma once

#include "document/Cp1251.h"

#include <QString>
#include <string>
#include <string_view>

namespace tonvale {

// UTF-8 literals and generated texts of the audio windows.
inline QString qs(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}
// Script bytes (Windows-1251) for display.
inline QString fromScript(std::string_view bytes) {
    const std::u16string text = cp1251ToUtf16(bytes);
    return QString::fromStdU16String(text);
}
// Text typed into a number box (digits and the separator) as bytes for the document.
inline std::string toBytes(const QString& text) {
    return text.toStdString();
}

} // namespace tonvale
