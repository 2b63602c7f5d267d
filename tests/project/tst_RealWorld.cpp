// SPDX-License-Identifier: MIT
// The real-world scripts, read in place, checked as one project.
#include "document/FileIO.h"
#include "document/TextHelpers.h"
#include "project/ProjectChecks.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <iostream>
#include <map>

using namespace tonvale;
using namespace tonvale::project;
namespace fs = std::filesystem;

namespace {

struct RealWorld {
    Project project;
    ProjectIndex index;
    std::vector<Problem> problems;
};

const RealWorld* realWorld() {
    static const RealWorld checked = [] {
        RealWorld out;
        std::vector<std::string> missing;
        if (fs::is_directory(TONVALE_REALWORLD))
            out.project = projectFromPaths({TONVALE_REALWORLD}, {}, missing);
        out.index = buildProjectIndex(out.project);
        out.problems = checkProject(out.project, out.index);
        return out;
    }();
    return checked.index.scripts().empty() ? nullptr : &checked;
}

std::vector<std::string> linesOf(const std::string& path) {
    std::string bytes, error;
    EXPECT_TRUE(readWholeFile(path, bytes, error)) << error;
    std::vector<std::string> lines;
    for (std::string_view line : splitLines(bytes))
        lines.emplace_back(line);
    return lines;
}

// The text at a place must be `text`, with or without its opening quote.
void expectAt(const std::vector<std::string>& lines, SourcePosition at, const std::string& text,
              const std::string& where) {
    ASSERT_GE(at.line, 1) << where;
    ASSERT_LE(static_cast<std::size_t>(at.line), lines.size()) << where;
    const std::string& line = lines[static_cast<std::size_t>(at.line - 1)];
    ASSERT_GE(at.column, 1) << where;
    std::string_view rest = std::string_view(line).substr(std::min(line.size(), std::size_t(at.column - 1)));
    if (rest.starts_with('"'))
        rest.remove_prefix(1);
    const std::string firstLine = text.substr(0, text.find_first_of("\r\n"));
    EXPECT_TRUE(rest.starts_with(firstLine))
        << where << ": expected \"" << firstLine << "\" in \"" << line << "\"";
}

bool has(const std::vector<Problem>& problems, const std::string& file, int line, Check check) {
    return std::any_of(problems.begin(), problems.end(), [&](const Problem& problem) {
        return fs::path(problem.file).filename() == file && problem.at.line == line && problem.check == check;
    });
}

} // namespace

TEST(RealWorld, EveryPlaceTheIndexNamesHoldsWhatItNames) {
    const RealWorld* real = realWorld();
    if (real == nullptr)
        GTEST_SKIP() << "no real-world scripts beside the project";
    std::size_t places = 0;
    for (const ScriptIndex& script : real->index.scripts()) {
        const std::vector<std::string> lines = linesOf(script.path);
        const std::string name = fs::path(script.path).filename().string();
        for (const SoundscapeDefinition& definition : script.soundscapes)
            expectAt(lines, definition.at, definition.name, name + " soundscape");
        for (const SoundscapeReference& reference : script.references) {
            expectAt(lines, reference.at, reference.target, name + " reference");
            expectAt(lines, reference.soundscapeAt, reference.soundscape, name + " reference's soundscape");
        }
        for (const WaveReference& wave : script.waves)
            expectAt(lines, wave.at, wave.value, name + " wave");
        for (const Problem& problem : script.problems)
            ASSERT_LE(static_cast<std::size_t>(problem.at.line), std::max<std::size_t>(lines.size(), 1))
                << name;
        places += script.soundscapes.size() + script.references.size() + script.waves.size();
    }
    EXPECT_GT(places, 1500u);
}

TEST(RealWorld, FindsTheFaultsTheseFilesReallyHave) {
    const RealWorld* real = realWorld();
    if (real == nullptr)
        GTEST_SKIP() << "no real-world scripts beside the project";
    const auto& p = real->problems;
    EXPECT_TRUE(has(p, "rw24.txt", 61, Check::BlockWithoutWave)); // "name" where "wave" belongs
    EXPECT_TRUE(has(p, "rw24.txt", 63, Check::UnknownKey));
    EXPECT_TRUE(has(p, "rw26.txt", 121, Check::BlockWithoutWave)); // an rndwave list of bare paths
    EXPECT_TRUE(has(p, "rw26.txt", 151, Check::UnclosedQuote));
    EXPECT_TRUE(has(p, "rw20.txt", 26, Check::UnknownSoundLevel)); // "SNDLVL75dB"
    EXPECT_TRUE(has(p, "rw20.txt", 335, Check::UnknownKey));       // "soundscaope"
    EXPECT_TRUE(has(p, "rw10.txt", 736, Check::ValueRange));       // volume "1,0.5"
    EXPECT_TRUE(has(p, "rw34.txt", 57, Check::LoadFailure));       // cut off inside a soundscape
    EXPECT_TRUE(has(p, "rw40.txt", 1, Check::LoadFailure));        // everything commented out
    EXPECT_TRUE(has(p, "rw04.txt", 214, Check::DuplicateSoundscape));
    // Braces on the headers' lines: the soundscapes are there, with their references.
    const std::vector<ProjectPlace> defined = real->index.definitions("Revo.A2_End.InsideArea");
    ASSERT_EQ(defined.size(), 1u);
    EXPECT_EQ(defined[0].at, (SourcePosition{1, 1}));
    // Manifests under other names define no soundscape.
    EXPECT_TRUE(real->index.definitions("soundscapes_manifest").empty());
}

TEST(RealWorld, CountsByCheck) {
    const RealWorld* real = realWorld();
    if (real == nullptr)
        GTEST_SKIP() << "no real-world scripts beside the project";
    std::size_t soundscapes = 0, references = 0, waves = 0;
    for (const ScriptIndex& script : real->index.scripts()) {
        soundscapes += script.soundscapes.size();
        references += script.references.size();
        waves += script.waves.size();
    }
    std::map<std::string_view, std::size_t> byCheck;
    for (const Problem& problem : real->problems)
        ++byCheck[checkInfo(problem.check).name];
    std::cout << real->index.scripts().size() << " scripts, " << soundscapes << " soundscapes, " << references
              << " playsoundscape references, " << waves << " wave references\n";
    for (const auto& [name, count] : byCheck)
        std::cout << "  " << name << ": " << count << '\n';
    EXPECT_EQ(real->index.scripts().size(), 21u);
    EXPECT_EQ(byCheck.count("soundscape-cycle"), 0u);
}
