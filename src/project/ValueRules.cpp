// SPDX-License-Identifier: MIT
#include "project/ValueRules.h"

#include "document/Cp1251.h"
#include "document/TextHelpers.h"

#include <charconv>
#include <cmath>

namespace tonvale::project {

namespace {

std::string quoted(std::string_view bytes) {
    return '"' + cp1251ToUtf8(bytes) + '"';
}

std::string subject(std::string_view key, std::string_view value) {
    return cp1251ToUtf8(key) + ' ' + quoted(value);
}

struct Limits {
    double low;
    std::optional<double> high;
    const char* text;
};

std::optional<Limits> limitsOf(KeyValue kind) {
    switch (kind) {
    case KeyValue::Volume:
        return Limits{0, 1, "0..1"};
    case KeyValue::Pitch:
        return Limits{0, 255, "0..255"};
    case KeyValue::Time:
    case KeyValue::Number:
    case KeyValue::Integer:
    case KeyValue::Position:
        return Limits{0, std::nullopt, "negative"};
    default:
        return std::nullopt;
    }
}

bool within(double value, const Limits& limits) {
    return value >= limits.low && (!limits.high || value <= *limits.high);
}

std::optional<ValueFinding> checkRange(KeyValue kind, std::string_view key, std::string_view value,
                                       const NumberRange& range) {
    const Limits limits = *limitsOf(kind);
    if (!within(range.low, limits) || !within(range.high, limits)) {
        const std::string where = limits.high ? std::string(" is outside ") + limits.text : " is negative";
        return ValueFinding{Check::ValueRange, subject(key, value) + where};
    }
    if (range.low > range.high)
        return ValueFinding{Check::ValueRange,
                            subject(key, value) + ": the first number is greater than the second"};
    return std::nullopt;
}

bool isWhole(double value) {
    return std::floor(value) == value;
}

} // namespace

std::optional<double> parseNumber(std::string_view text) {
    text = trim(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty() || text.front() == '+')
        return std::nullopt;
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<NumberRange> parseRange(std::string_view text) {
    const std::size_t comma = text.find(',');
    const std::optional<double> low = parseNumber(text.substr(0, comma));
    if (!low)
        return std::nullopt;
    if (comma == std::string_view::npos)
        return NumberRange{*low, *low};
    const std::optional<double> high = parseNumber(text.substr(comma + 1));
    if (!high)
        return std::nullopt;
    return NumberRange{*low, *high};
}

bool isKnownSoundLevel(std::string_view text) {
    text = trim(text);
    constexpr std::string_view Prefix = "sndlvl_";
    if (text.size() <= Prefix.size() || !sameKey(text.substr(0, Prefix.size()), Prefix))
        return false;
    const std::string_view rest = text.substr(Prefix.size());
    for (std::string_view name : {"none", "norm", "idle", "talking", "static", "gunfire"}) {
        if (sameKey(rest, name))
            return true;
    }
    if (rest.size() < 3 || !sameKey(rest.substr(rest.size() - 2), "db"))
        return false;
    const std::string_view digits = rest.substr(0, rest.size() - 2);
    int level = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), level);
    return error == std::errc() && end == digits.data() + digits.size() && level >= 0 && level <= 255;
}

std::optional<ValueFinding> checkValue(KeyValue kind, std::string_view key, std::string_view value) {
    switch (kind) {
    case KeyValue::Volume:
    case KeyValue::Pitch:
    case KeyValue::Time: {
        const std::optional<NumberRange> range = parseRange(value);
        if (!range)
            return ValueFinding{Check::NotANumber, subject(key, value) + " is not a number or a range"};
        return checkRange(kind, key, value, *range);
    }
    case KeyValue::Position:
        if (sameKey(trim(value), "random"))
            return std::nullopt;
        [[fallthrough]];
    case KeyValue::Number:
    case KeyValue::Integer: {
        const std::optional<double> number = parseNumber(value);
        const bool whole = kind != KeyValue::Number;
        if (!number) {
            const char* expected =
                kind == KeyValue::Position ? " is neither a number nor \"random\"" : " is not a number";
            return ValueFinding{Check::NotANumber, subject(key, value) + expected};
        }
        if (whole && !isWhole(*number))
            return ValueFinding{Check::ValueRange, subject(key, value) + " is not a whole number"};
        return checkRange(kind, key, value, {*number, *number});
    }
    case KeyValue::SoundLevel:
        if (isKnownSoundLevel(value))
            return std::nullopt;
        return ValueFinding{Check::UnknownSoundLevel, subject(key, value) + " names no sound level"};
    default:
        return std::nullopt;
    }
}

} // namespace tonvale::project
