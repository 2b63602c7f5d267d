// SPDX-License-Identifier: MIT
#pragma once

// A seeded generator of realistic soundscape scripts: soundscapes with comments above and beside
// elements, "dsp" parameters, playlooping, playrandom with rndwave lists, playsoundscape references,
// tab indentation and CR LF line ends.

#include <cstddef>
#include <random>
#include <string>

namespace tonvale::bench {

inline std::string generateScript(std::size_t targetLines, unsigned seed = 12345) {
    std::mt19937 rng(seed);
    auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    static const char* folders[] = {"ambient/wind", "ambient/water", "ambient/machines", "ambient/birds",
                                    "ambient/atmosphere"};
    std::string out;
    out.reserve(targetLines * 22);
    std::size_t lines = 0;
    auto line = [&](int tabs, const std::string& text) {
        out.append(static_cast<std::size_t>(tabs), '\t');
        out += text;
        out += "\r\n";
        ++lines;
    };
    auto wave = [&]() {
        return std::string("\"") + folders[pick(0, 4)] + "/sound_" + std::to_string(pick(1, 999)) + ".wav\"";
    };
    for (int section = 0; lines < targetLines; ++section) {
        if (pick(0, 2) == 0)
            line(0, "// soundscape " + std::to_string(section) + ": generated for benchmarks");
        line(0, "\"level" + std::to_string(section / 50) + ".area_" + std::to_string(section) + "\"");
        line(0, "{");
        line(1, "\"dsp\"\t\"" + std::to_string(pick(0, 30)) + "\"");
        const int blocks = pick(1, 4);
        for (int b = 0; b < blocks; ++b) {
            const int kind = pick(0, 5);
            if (kind <= 1) {
                line(1, "\"playlooping\"");
                line(1, "{");
                line(2, "\"volume\"\t\"0." + std::to_string(pick(1, 9)) + "\"");
                line(2, "\"wave\"\t" + wave() + (pick(0, 3) == 0 ? "\t// loop" : ""));
                line(2, "\"pitch\"\t\"" + std::to_string(pick(80, 120)) + "\"");
                line(1, "}");
            } else if (kind <= 4) {
                line(1, "\"playrandom\"");
                line(1, "{");
                line(2,
                     "\"time\"\t\"" + std::to_string(pick(1, 5)) + "," + std::to_string(pick(6, 30)) + "\"");
                line(2, "\"volume\"\t\"0.3,0.8\"");
                line(2, "\"pitch\"\t\"90,110\"");
                if (pick(0, 4) == 0)
                    line(2, "// random one-shots");
                line(2, "\"rndwave\"");
                line(2, "{");
                const int waves = pick(2, 8);
                for (int w = 0; w < waves; ++w)
                    line(3, "\"wave\"\t" + wave());
                line(2, "}");
                line(1, "}");
            } else {
                line(1, "\"playsoundscape\"");
                line(1, "{");
                line(2, "\"name\"\t\"level0.area_" + std::to_string(pick(0, section)) + "\"");
                line(2, "\"volume\"\t\"0.5\"");
                line(1, "}");
            }
        }
        line(0, "}");
    }
    return out;
}

// A script nested `depth` levels deep: an element and the "{" of its block on each level, one
// parameter at the bottom, then every "}" (about 10 bytes a level, CR LF line ends). Its canonical
// text indents every line by its level, so it grows with the square of the depth.
inline std::string generateDeepScript(std::size_t depth) {
    std::string out;
    out.reserve(depth * 10 + 32);
    for (std::size_t i = 0; i < depth; ++i)
        out += "\"n\"\r\n{\r\n";
    out += "\"leaf\"\t\"1\"\r\n";
    for (std::size_t i = 0; i < depth; ++i)
        out += "}\r\n";
    return out;
}

} // namespace tonvale::bench
