// SPDX-License-Identifier: MIT
#include "FormatTool.h"

#include <iostream>
#include <new>

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    // The loader's and the writer's messages in the terminal's language: Russian or English.
    tonvale::setToolMessagesEnglish(!tonvale::localeIsRussian());
    tonvale::setToolEndsProcess(true);
    try {
        const std::vector<std::string> args(argv + 1, argv + argc);
        return tonvale::runFormatTool(args, std::cout, std::cerr);
    } catch (const std::bad_alloc&) {
        std::cerr << "tonvale-format: error: out of memory\n";
        return tonvale::ExitFailed;
    }
}
