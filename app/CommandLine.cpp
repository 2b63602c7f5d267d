// SPDX-License-Identifier: MIT
#include "CommandLine.h"

#include "TonvaleVersion.h"

#include <iostream>
#include <string_view>

namespace tonvale {

namespace {

constexpr const char* Help =
    "Usage: tonvale [QT-OPTION]...\n"
    "Edit soundscape scripts and listen to their waves.\n"
    "\n"
    "  -h, --help     print this help and exit\n"
    "      --version  print the version and exit\n"
    "\n"
    "Other options go to Qt, for example -platform NAME or -style NAME.\n"
    "The settings are kept in tnv.ini in ~/.config/tonvale/ ($XDG_CONFIG_HOME/tonvale/).\n";

} // namespace

std::optional<int> answerInfoOptions(int argc, char** argv, std::ostream& out) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg(argv[i]);
        if (arg == "--")
            break;
        if (arg == "--help" || arg == "-h") {
            out << Help;
        } else if (arg == "--version") {
            out << "tonvale " << ProgramVersion << '\n';
        } else {
            continue;
        }
        out.flush();
        return out.good() ? 0 : 1;
    }
    return std::nullopt;
}

std::optional<int> answerInfoOptions(int argc, char** argv) {
    return answerInfoOptions(argc, argv, std::cout);
}

} // namespace tonvale
