// SPDX-License-Identifier: MIT
// Writes the sample project's wave files into the folder given on the command line.

#include "SampleSounds.h"

#include <iostream>

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::cerr << "usage: make_sample_sounds SOUND_FOLDER\n";
        return 2;
    }
    std::string error;
    if (!tonvale::writeSampleSounds(argv[1], error)) {
        std::cerr << "make_sample_sounds: " << error << '\n';
        return 1;
    }
    return 0;
}
