// SPDX-License-Identifier: MIT
#include "audio/DecimalSeparator.h"

#include <atomic>
#include <clocale>

namespace tonvale {

namespace {

char fromCLocale() {
    const std::lconv* conv = std::localeconv();
    return conv && conv->decimal_point && conv->decimal_point[0] ? conv->decimal_point[0] : '.';
}

std::atomic<DecimalSeparatorProvider> g_provider{&fromCLocale};

} // namespace

char localeDecimalSeparator() {
    return g_provider.load()();
}

void setDecimalSeparatorProvider(DecimalSeparatorProvider provider) {
    g_provider.store(provider ? provider : &fromCLocale);
}

} // namespace tonvale
