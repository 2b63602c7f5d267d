// SPDX-License-Identifier: MIT
#pragma once

// The soundscape the whole-soundscape benchmarks play: two loops, three random blocks of 20 waves
// each and one nested soundscape (with a loop and a random block of its own), with waves made in a
// temporary folder.

#include "AudioTestHelpers.h"
#include "audio/SoundscapeMix.h"
#include "document/Loader.h"

#include <string>

namespace tonvale::bench {

// Writes the waves into `sounds` and returns the script ("bench.main" plays "bench.nested").
inline std::string writeBenchSoundscape(const testing::TempFolder& sounds) {
    using testing::writeWave;
    writeWave(sounds.file("loop_noise.wav"), {.frequency = 0, .seconds = 8, .channels = 2});
    writeWave(sounds.file("loop_hum.wav"), {.frequency = 110, .seconds = 4});
    writeWave(sounds.file("nested_loop.wav"), {.frequency = 220, .seconds = 4, .sampleRate = 22050});
    for (int i = 0; i < 20; ++i)
        writeWave(
            sounds.file("r" + std::to_string(i) + ".wav"),
            {.frequency = 200.0 + 40 * i, .seconds = 1.0 + 0.05 * i, .sampleRate = i % 2 ? 22050 : 44100});

    auto randomBlock = [](const char* time, const char* volume, const char* pitch) {
        std::string block = std::string("\t\"playrandom\"\n\t{\n\t\t\"time\"\t\"") + time +
                            "\"\n\t\t\"volume\"\t\"" + volume + "\"\n\t\t\"pitch\"\t\"" + pitch +
                            "\"\n\t\t\"rndwave\"\n\t\t{\n";
        for (int i = 0; i < 20; ++i)
            block += "\t\t\t\"wave\"\t\"r" + std::to_string(i) + ".wav\"\n";
        return block + "\t\t}\n\t}\n";
    };
    std::string script =
        "\"bench.main\"\n{\n"
        "\t\"playlooping\"\n\t{\n\t\t\"wave\"\t\"loop_noise.wav\"\n\t\t\"volume\"\t\"0.4\"\n\t}\n"
        "\t\"playlooping\"\n\t{\n\t\t\"wave\"\t\"loop_hum.wav\"\n\t\t\"volume\"\t\"0.3\"\n"
        "\t\t\"pitch\"\t\"95\"\n\t}\n";
    script += randomBlock("0.5,2", "0.3,0.8", "80,120");
    script += randomBlock("1,3", "0.2,0.6", "90,110");
    script += randomBlock("0.2,1", "0.1,0.4", "100");
    script += "\t\"playsoundscape\"\n\t{\n\t\t\"name\"\t\"bench.nested\"\n\t\t\"volume\"\t\"0.5\"\n\t}\n}\n";
    script += "\"bench.nested\"\n{\n\t\"playlooping\"\n\t{\n\t\t\"wave\"\t\"nested_loop.wav\"\n\t}\n";
    script += randomBlock("2,4", "0.5,1", "70,130") + "}\n";
    return script;
}

inline SoundscapeMix makeBenchSoundscape(const testing::TempFolder& sounds) {
    const LoadResult doc = loadScript(writeBenchSoundscape(sounds));
    return gatherSoundscape(doc.tree, findSoundscape(doc.tree, "bench.main"), sounds.path());
}

} // namespace tonvale::bench
