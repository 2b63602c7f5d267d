// SPDX-License-Identifier: MIT
#include "CommandLine.h"

#include "TonvaleVersion.h"

#include <iostream>
#include <string_view>

namespace tonvale {

namespace {

constexpr const char* Help =
    "Usage: tonvale [--lang ru|en] [QT-OPTION]...\n"
    "Edit soundscape scripts and listen to their waves.\n"
    "\n"
    "      --lang LANG  show the interface in LANG (ru: Russian, en: English) for this run;\n"
    "                   the settings dialog keeps a language for every run (default ru)\n"
    "  -h, --help       print this help and exit\n"
    "      --version    print the version and exit\n"
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

LanguageOption languageOption(int argc, char** argv) {
    LanguageOption option;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg(argv[i]);
        if (arg == "--")
            break;
        std::string_view value;
        if (arg == "--lang") {
            if (i + 1 >= argc) {
                option.error = "tonvale: --lang needs a language: ru or en";
                return option;
            }
            value = argv[++i];
        } else if (arg.starts_with("--lang=")) {
            value = arg.substr(7);
        } else {
            continue;
        }
        if (value != "ru" && value != "en") {
            option.code.clear();
            option.error = "tonvale: unknown language \"" + std::string(value) + "\" (use ru or en)";
            return option;
        }
        option.code = value;
    }
    return option;
}

} // namespace tonvale
