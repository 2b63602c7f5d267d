// SPDX-License-Identifier: MIT
#include "editor/QtText.h"

#include "document/Cp1251.h"

#include <QTextDocument>

namespace tonvale {

namespace {
ScriptEncoding g_shownEncoding = ScriptEncoding::Windows1251;
} // namespace

void setShownEncoding(ScriptEncoding encoding) {
    g_shownEncoding = encoding;
}

ScriptEncoding shownEncoding() {
    return g_shownEncoding;
}

QString scriptToQString(std::string_view scriptBytes) {
    const std::u16string wide = scriptToUtf16(scriptBytes, g_shownEncoding);
    return QString(reinterpret_cast<const QChar*>(wide.data()), static_cast<qsizetype>(wide.size()));
}

std::string qstringToScript(const QString& text) {
    return utf16ToScript(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                             static_cast<std::size_t>(text.size())),
                         g_shownEncoding);
}

QString documentText(const QTextDocument& document) {
    // The raw text keeps no-break spaces, which the plain-text form turns into blanks; only the
    // document's own line separators become line breaks.
    QString text = document.toRawText();
    QChar* chars = text.data();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = chars[i].unicode();
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator || c == 0xFDD0 || c == 0xFDD1)
            chars[i] = QLatin1Char('\n');
    }
    return text;
}

std::string qstringToScriptUnits(const QString& text) {
    std::string bytes(static_cast<std::size_t>(text.size()), '?');
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text.at(i).unicode();
        if (!QChar::isSurrogate(unit))
            bytes[static_cast<std::size_t>(i)] = unicodeToCp1251(unit);
    }
    return bytes;
}

} // namespace tonvale
