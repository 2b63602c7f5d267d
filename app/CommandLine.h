// SPDX-License-Identifier: MIT
#pragma once

// The options that tonvale answers itself, before any window exists: --help and --version.

#include <iosfwd>
#include <optional>

namespace tonvale {

// When the arguments ask for the help or the version, prints it to `out` and returns the exit status;
// otherwise returns nothing and the program starts. Other arguments are left to Qt.
std::optional<int> answerInfoOptions(int argc, char** argv, std::ostream& out);

// The same, printing to standard output.
std::optional<int> answerInfoOptions(int argc, char** argv);

} // namespace tonvale
