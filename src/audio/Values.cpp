// SPDX-License-Identifier: MIT
#include "audio/Values.h"

#include "audio/DecimalSeparator.h"
#include "document/Cp1251.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace tonvale {

namespace {

bool isBlankOrControl(char c) {
    return static_cast<unsigned char>(c) <= 32;
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && isBlankOrControl(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlankOrControl(s.back()))
        s.remove_suffix(1);
    return s;
}

// A 64-bit signed value clamped into int.
int clampToInt(double v) {
    if (std::isnan(v))
        return 0;
    if (v >= static_cast<double>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (v <= static_cast<double>(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return static_cast<int>(v);
}

} // namespace

ParameterKind parameterKind(std::string_view text) {
    if (text == "\"wave\"")
        return ParameterKind::Wave;
    if (text == "\"volume\"")
        return ParameterKind::Volume;
    if (text == "\"pitch\"")
        return ParameterKind::Pitch;
    if (text == "\"time\"")
        return ParameterKind::Time;
    return ParameterKind::None;
}

std::string stripQuotes(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != '"')
            out += c;
    return out;
}

std::string commaToPoint(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c == ',')
            c = '.';
    return out;
}

std::string pointToSeparator(std::string_view text, char separator) {
    std::string out(text);
    for (char& c : out)
        if (c == '.')
            c = separator;
    return out;
}

std::optional<double> readNumber(std::string_view text, char separator) {
    // Blanks only (not other control characters) are ignored around a number.
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    std::string plain; // the same number in the notation from_chars reads
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-')
            plain += '-';
        ++i;
    }
    std::size_t digits = 0;
    for (; i < text.size() && isDigit(text[i]); ++i, ++digits)
        plain += text[i];
    if (i < text.size() && text[i] == separator) {
        plain += '.';
        for (++i; i < text.size() && isDigit(text[i]); ++i, ++digits)
            plain += text[i];
    }
    if (digits == 0)
        return std::nullopt;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        plain += 'e';
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            plain += text[i++];
        std::size_t expDigits = 0;
        for (; i < text.size() && isDigit(text[i]); ++i, ++expDigits)
            plain += text[i];
        if (expDigits == 0)
            return std::nullopt;
    }
    if (i != text.size())
        return std::nullopt;
    double value = 0.0;
    const auto res = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (res.ec != std::errc() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<double> readNumber(std::string_view text) {
    return readNumber(text, localeDecimalSeparator());
}

std::optional<std::int64_t> readWholeNumber(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    bool plus = false;
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        plus = true;
    }
    if (text.empty() || !(isDigit(text.front()) || (!plus && text.front() == '-' && text.size() > 1)))
        return std::nullopt;
    std::int64_t value = 0;
    const auto res = std::from_chars(text.data(), text.data() + text.size(), value);
    if (res.ec != std::errc() || res.ptr != text.data() + text.size())
        return std::nullopt;
    if (value > std::numeric_limits<std::int32_t>::max() || value < std::numeric_limits<std::int32_t>::min())
        return std::nullopt;
    return value;
}

double parseLoopVolume(std::string_view value) {
    const char sep = localeDecimalSeparator();
    const std::string s = pointToSeparator(stripQuotes(value), sep);
    return readNumber(trimBlanks(s), sep).value_or(0.5);
}

int parseLoopPitch(std::string_view value) {
    std::string s(value);
    for (char& c : s)
        if (c == '"')
            c = ' ';
    const auto n = readWholeNumber(trimBlanks(s));
    return n ? static_cast<int>(*n) : 100;
}

float percentToVolume(int n) {
    return static_cast<float>(n / 100.0);
}

float tenthsToSeconds(int n) {
    return static_cast<float>(n / 10.0);
}

int volumeToPosition(float v) {
    const double pos = std::nearbyint((static_cast<double>(v) - 1.0) * -100.0); // ties to even
    return clampToInt(pos);
}

int secondsToTimePosition(float t) {
    const float tenths = static_cast<float>(static_cast<double>(t) * 10.0);
    return clampToInt(std::trunc(3001.0 - static_cast<double>(tenths)));
}

int loopPitchToPosition(std::int64_t p) {
    return clampToInt(260.0 - static_cast<double>(p));
}

int randomPitchToPosition(std::int64_t p) {
    return clampToInt(250.0 - static_cast<double>(p));
}

std::string formatGeneral(double value, int digits, char separator) {
    if (!std::isfinite(value))
        return "0";
    if (value == 0.0)
        return "0";
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, digits);
    std::string s(buf, res.ptr);
    // to_chars writes "1.2e+02"; the program writes "1,2E2" (with the locale's separator).
    std::string out;
    const std::size_t e = s.find('e');
    std::string mantissa = s.substr(0, e);
    for (char& c : mantissa)
        if (c == '.')
            c = separator;
    out = mantissa;
    if (e != std::string::npos) {
        std::string_view exp(s);
        exp.remove_prefix(e + 1);
        bool negative = false;
        if (!exp.empty() && (exp.front() == '+' || exp.front() == '-')) {
            negative = exp.front() == '-';
            exp.remove_prefix(1);
        }
        while (exp.size() > 1 && exp.front() == '0')
            exp.remove_prefix(1);
        out += 'E';
        if (negative)
            out += '-';
        out += exp;
    }
    return out;
}

std::string formatGeneral(double value, int digits) {
    return formatGeneral(value, digits, localeDecimalSeparator());
}

} // namespace tonvale
