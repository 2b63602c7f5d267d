// SPDX-License-Identifier: MIT
#pragma once

// The options that tonvale answers itself, before any window exists: --help and --version, and
// --lang, which picks the interface language for one run.

#include <iosfwd>
#include <optional>
#include <string>

namespace tonvale {

// When the arguments ask for the help or the version, prints it to `out` and returns the exit status;
// otherwise returns nothing and the program starts. Other arguments are left to Qt.
std::optional<int> answerInfoOptions(int argc, char** argv, std::ostream& out);

// The same, printing to standard output.
std::optional<int> answerInfoOptions(int argc, char** argv);

// `--lang ru|en` or `--lang=ru|en`: the language of this run ("ru" or "en"; empty when the option is
// not given). A missing or unknown language sets `error` to the message to print.
struct LanguageOption {
    std::string code;
    std::string error;
};
LanguageOption languageOption(int argc, char** argv);

} // namespace tonvale
