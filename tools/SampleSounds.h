// SPDX-License-Identifier: MIT
#pragma once

// The wave files of the bundled sample project, made from code: noise and tone loops and one-shots,
// mono and stereo, at 22,050 and 44,100 Hz. The build writes them into its own sample sound folder,
// so the repository holds no audio and no sound made by anyone else.

#include <string>
#include <vector>

namespace tonvale {

struct SampleSound {
    std::string name; // relative to the sound folder, "/" between folders
    int sampleRate = 44100;
    int channels = 1;
    double seconds = 1.0;
    bool loop = false; // the end runs into the start without a click
};

// Every wave the sample scripts name.
const std::vector<SampleSound>& sampleSounds();

// Renders the frames of one sound, interleaved, in -1..1. Deterministic: the same sound gives the
// same samples on every run.
std::vector<float> renderSampleSound(const SampleSound& sound);

// Writes every sample sound below `soundFolder` as 16-bit PCM WAV, creating folders on the way.
// Returns false and an error text when a file cannot be written.
bool writeSampleSounds(const std::string& soundFolder, std::string& error);

} // namespace tonvale
