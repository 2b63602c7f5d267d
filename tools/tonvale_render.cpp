// SPDX-License-Identifier: MIT
#include "RenderTool.h"

#include <iostream>
#include <unistd.h>

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> args(argv + 1, argv + argc);
    tonvale::RenderToolContext context = tonvale::defaultRenderToolContext(argc > 0 ? argv[0] : "");
    context.progressOnTerminal = ::isatty(STDERR_FILENO) != 0;
    return tonvale::runRenderTool(args, std::cout, std::cerr, context);
}
