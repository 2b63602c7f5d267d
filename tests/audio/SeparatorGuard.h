// SPDX-License-Identifier: MIT
#pragma once

#include "audio/DecimalSeparator.h"

#include <string>

namespace tonvale::testing {

// Installs "." or "," as the locale's decimal separator for one test.
class SeparatorGuard {
  public:
    explicit SeparatorGuard(char separator) {
        s_separator = separator;
        setDecimalSeparatorProvider(&current);
    }
    ~SeparatorGuard() { setDecimalSeparatorProvider(nullptr); }
    SeparatorGuard(const SeparatorGuard&) = delete;
    SeparatorGuard& operator=(const SeparatorGuard&) = delete;

  private:
    static char current() { return s_separator; }
    static inline char s_separator = '.';
};

// The same text with "." written as the separator under test.
inline std::string withSeparator(std::string text, char separator) {
    for (char& c : text)
        if (c == '.')
            c = separator;
    return text;
}

} // namespace tonvale::testing
