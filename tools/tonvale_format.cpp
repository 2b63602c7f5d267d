// SPDX-License-Identifier: MIT
#include "FormatTool.h"

#include <iostream>

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> args(argv + 1, argv + argc);
    return tonvale::runFormatTool(args, std::cout, std::cerr);
}
