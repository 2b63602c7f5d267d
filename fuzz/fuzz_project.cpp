// SPDX-License-Identifier: MIT
// Index and check any bytes as a one-script project: never crash, never hang, and every place named
// lies inside the script.
#include "project/ProjectChecks.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

void expectInside(tonvale::project::SourcePosition at, int lineCount, const char* what) {
    if (at.line < 1 || at.line > std::max(lineCount, 1) || at.column < 1) {
        std::fprintf(stderr, "%s at %d:%d lies outside a script of %d lines\n", what, at.line, at.column,
                     lineCount);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    using namespace tonvale::project;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    ProjectIndex index;
    index.replace(indexScript("fuzz.txt", input, nullptr));
    const ScriptIndex& script = index.scripts().front();
    for (const SoundscapeDefinition& definition : script.soundscapes)
        expectInside(definition.at, script.lineCount, "a soundscape");
    for (const SoundscapeReference& reference : script.references)
        expectInside(reference.at, script.lineCount, "a reference");
    for (const WaveReference& wave : script.waves)
        expectInside(wave.at, script.lineCount, "a wave");
    for (const Problem& problem : checkProject({}, index))
        expectInside(problem.at, script.lineCount, "a problem");
    return 0;
}
