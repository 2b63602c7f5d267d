// SPDX-License-Identifier: MIT
#pragma once

// A platform for tests: the program folder and the writable folder are the test's own folder, and no
// project folder is set, neither in the process environment nor in the system-wide file.

#include "settings/Platform.h"

#include <QString>

namespace tonvale {

inline void isolatePlatform(Platform& platform, const QString& folder) {
    platform.setProgramFolder(folder);
    platform.setWritableFolder(folder);
    platform.setEnvironmentFile(folder + QStringLiteral("/environment"));
    platform.setEnvironmentLookup([](const QString&) { return false; });
}

} // namespace tonvale
