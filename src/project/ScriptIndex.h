// SPDX-License-Identifier: MIT
#pragma once

// The index of one script: the soundscapes it defines, the soundscapes its playsoundscape blocks
// play, the waves it names, and the problems that can be seen in the file alone. Building it reads
// only the script (and the sound folder, to look up waves), keeps no reference to anything, and may
// run on any thread.

#include "document/ScriptKeys.h"
#include "project/Problem.h"
#include "project/ScriptOutline.h"

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tonvale::project {

struct SoundscapeDefinition {
    std::string name; // as written, without quotes (script bytes)
    SourcePosition at;
};

// A playsoundscape block's "name".
struct SoundscapeReference {
    std::string target;     // as written, without quotes
    SourcePosition at;      // where the name stands
    std::string soundscape; // the soundscape whose block it is
    SourcePosition soundscapeAt;
};

struct WaveReference {
    std::string value; // as written, without quotes
    SourcePosition at;
    std::string soundscape;
    SourcePosition soundscapeAt;
    ScriptBlock block = ScriptBlock::Unknown; // the block the "wave" key stands in
    std::optional<bool> found;                // unknown when no sound folder was given
};

struct ScriptIndex {
    std::string path;
    std::vector<SoundscapeDefinition> soundscapes;
    std::vector<SoundscapeReference> references;
    std::vector<WaveReference> waves;
    std::vector<Problem> problems; // the problems of this file alone, in file order
    int lineCount = 0;
};

// Finds wave files in one sound folder with the core's resolver, remembering each answer: a project
// names the same wave many times. Not shared between threads.
class WaveLookup {
  public:
    explicit WaveLookup(std::string soundFolder) : m_folder(std::move(soundFolder)) {}
    const std::string& folder() const { return m_folder; }
    bool exists(std::string_view storedValue);

  private:
    std::string m_folder;
    std::unordered_map<std::string, bool> m_known;
};

// Indexes script bytes; `waves` (may be nullptr) looks up the wave files.
ScriptIndex indexScript(const std::string& path, std::string_view bytes, WaveLookup* waves);
// Reads the file and indexes it; a file that cannot be read gives a load-failure problem.
ScriptIndex indexScriptFile(const std::string& path, WaveLookup* waves);

} // namespace tonvale::project
