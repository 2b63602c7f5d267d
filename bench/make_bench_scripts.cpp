// SPDX-License-Identifier: MIT
// Writes the scripts the process benchmarks of scripts/bench.sh run tonvale-format on: the generated
// script of LINES lines and the script nested DEPTH levels deep.
#include "ScriptGenerator.h"

#include <cstdlib>
#include <fstream>
#include <iostream>

namespace {

bool writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file) {
        std::cerr << path << ": cannot write the file\n";
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::cerr << "Usage: make_bench_scripts LINES SCRIPT DEPTH DEEP_SCRIPT\n";
        return 2;
    }
    const auto lines = static_cast<std::size_t>(std::strtoull(argv[1], nullptr, 10));
    const auto depth = static_cast<std::size_t>(std::strtoull(argv[3], nullptr, 10));
    const bool ok = writeFile(argv[2], tonvale::bench::generateScript(lines)) &&
                    writeFile(argv[4], tonvale::bench::generateDeepScript(depth));
    return ok ? 0 : 1;
}
