// SPDX-License-Identifier: MIT
#include "audio/DecimalSeparator.h"
#include "audiopanel/AudioHost.h"

#include <QLocale>

namespace tonvale {

namespace {

char fromQLocale() {
    const QString point = QLocale().decimalPoint();
    if (point.size() == 1 && point.at(0).unicode() < 0x80)
        return static_cast<char>(point.at(0).unicode());
    return '.';
}

} // namespace

void installLocaleDecimalSeparator() {
    setDecimalSeparatorProvider(&fromQLocale);
}

} // namespace tonvale
