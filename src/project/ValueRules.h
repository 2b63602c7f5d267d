// SPDX-License-Identifier: MIT
#pragma once

// The rules for values that must be numbers, ranges or sound levels. Numbers use "." as the decimal
// point and may omit the leading zero (".5"); a range is two numbers joined by "," with optional
// blanks ("0.9, 1.0"). Values are script bytes without their double quotes.

#include "document/ScriptKeys.h"
#include "project/Problem.h"

#include <optional>
#include <string>
#include <string_view>

namespace tonvale::project {

std::optional<double> parseNumber(std::string_view text);

struct NumberRange {
    double low = 0;
    double high = 0;
};
// One number (low = high) or two joined by ",".
std::optional<NumberRange> parseRange(std::string_view text);

// True for "SNDLVL_NONE", "SNDLVL_NORM", "SNDLVL_IDLE", "SNDLVL_TALKING", "SNDLVL_STATIC",
// "SNDLVL_GUNFIRE" and "SNDLVL_<n>dB" with n from 0 to 255, without regard to case.
bool isKnownSoundLevel(std::string_view text);

struct ValueFinding {
    Check check;
    std::string message; // UTF-8
};

// What is wrong with `value` (of the key `key`, both as written, without quotes) for a value of
// kind `kind`; nothing when it is fine or the kind has no rule.
std::optional<ValueFinding> checkValue(KeyValue kind, std::string_view key, std::string_view value);

} // namespace tonvale::project
