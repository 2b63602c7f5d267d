// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tonvale {

// Reading document values into numbers and the conversions between values and the player panel's
// bar positions. Document numbers use "." and join the two ends of a range with ","; the readers
// turn "." into the locale's decimal separator first, so they read what the user would type.

enum class ParameterKind { None, Wave, Volume, Pitch, Time };

// Kind of a parameter node by its text, compared exactly ("wave" with its quotes).
ParameterKind parameterKind(std::string_view text);

std::string stripQuotes(std::string_view text);
std::string commaToPoint(std::string_view text);
// Every "." replaced by `separator`.
std::string pointToSeparator(std::string_view text, char separator);

// A decimal number in the notation with `separator` (optional sign, digits, separator and digits,
// optional exponent), blanks before and after ignored. Nothing when the text is not one.
std::optional<double> readNumber(std::string_view text, char separator);
std::optional<double> readNumber(std::string_view text); // locale's separator
// Optional sign and decimal digits up to the end, blanks before ignored; nothing otherwise.
std::optional<std::int64_t> readWholeNumber(std::string_view text);

double parseLoopVolume(std::string_view value); // 0.5 when unreadable
int parseLoopPitch(std::string_view value);     // 100 when unreadable

// Conversions between values and bar positions.
float percentToVolume(int n);
float tenthsToSeconds(int n);
int volumeToPosition(float v);
int secondsToTimePosition(float t);
int loopPitchToPosition(std::int64_t p);
int randomPitchToPosition(std::int64_t p);

// The general number format: at most `digits` significant digits, trailing zeros dropped, no
// separator for whole numbers, exponent form (1,2E2) when the integer part has more digits.
std::string formatGeneral(double value, int digits, char separator);
std::string formatGeneral(double value, int digits); // locale's separator

} // namespace tonvale
