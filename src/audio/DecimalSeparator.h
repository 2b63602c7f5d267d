// SPDX-License-Identifier: MIT
#pragma once

namespace tonvale {

// The locale's decimal separator, as a platform seam: numbers on screen and numbers typed by the
// user use it. The window layer installs the toolkit's locale; tests install "." or ",".
using DecimalSeparatorProvider = char (*)();

char localeDecimalSeparator();
// Installs a provider; nullptr restores the default (the C library's current locale).
void setDecimalSeparatorProvider(DecimalSeparatorProvider provider);

} // namespace tonvale
