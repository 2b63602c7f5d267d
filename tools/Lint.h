// SPDX-License-Identifier: MIT
#pragma once

// tonvale-format --lint: the project checks for build pipelines. Problems are printed like a
// compiler's ("file:line:column: error: message [check-name]") or as JSON.

#include <iosfwd>
#include <string>
#include <vector>

namespace tonvale {

enum LintExit : int { LintClean = 0, LintErrors = 1, LintUsage = 2 };

// Runs the lint with the arguments after "--lint". Problems go to `out`, the summary and usage
// messages to `err`. Returns 1 when an error was found, 0 otherwise, 2 for a usage error.
int runLint(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace tonvale
