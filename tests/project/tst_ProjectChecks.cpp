// SPDX-License-Identifier: MIT
#include "document/FileIO.h"
#include "project/ProjectChecks.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <set>

using namespace tonvale;
using namespace tonvale::project;
namespace fs = std::filesystem;

namespace {

const fs::path Fixture = fs::path(TONVALE_PROJECT_FIXTURES) / "project";
const std::string Sound = (Fixture / "sound").string();

std::string scriptPath(const std::string& name) {
    return (Fixture / "scripts" / name).string();
}

// "file:line check" for every problem, the file without its folder.
std::multiset<std::string> summary(const std::vector<Problem>& problems) {
    std::multiset<std::string> out;
    for (const Problem& problem : problems)
        out.insert(fs::path(problem.file).filename().string() + ':' + std::to_string(problem.at.line) + ' ' +
                   std::string(checkInfo(problem.check).name));
    return out;
}

struct Checked {
    Project project;
    ProjectIndex index;
    std::vector<Problem> problems;
};

Checked checkFolder(const CheckOptions& options = {}) {
    Checked checked{openProjectFolder(Fixture.string(), Sound), {}, {}};
    checked.index = buildProjectIndex(checked.project);
    checked.problems = checkProject(checked.project, checked.index, options);
    return checked;
}

} // namespace

TEST(ProjectChecks, FindEveryPlantedProblemOnce) {
    const Checked checked = checkFolder();
    const std::multiset<std::string> expected{
        "soundscapes_broken.txt:1 load-failure",
        "soundscapes_clean.txt:2 duplicate-soundscape",
        "soundscapes_cycle.txt:5 soundscape-cycle",
        "soundscapes_cycle.txt:12 soundscape-cycle",
        "soundscapes_cycle.txt:19 soundscape-cycle",
        "soundscapes_level.txt:3 unknown-key",
        "soundscapes_level.txt:4 load-failure",
        "soundscapes_manifest.txt:10 missing-script",
        "soundscapes_problems.txt:6 missing-wave",
        "soundscapes_problems.txt:13 undefined-soundscape",
        "soundscapes_problems.txt:16 duplicate-soundscape",
        "soundscapes_problems.txt:25 not-a-number",
        "soundscapes_problems.txt:28 value-range",
        "soundscapes_problems.txt:29 value-range",
        "soundscapes_problems.txt:30 value-range",
        "soundscapes_problems.txt:31 unknown-soundlevel",
        "soundscapes_problems.txt:40 block-without-wave",
        "soundscapes_problems.txt:46 block-without-wave",
        "soundscapes_problems.txt:56 unknown-key",
        "soundscapes_problems.txt:61 unclosed-quote",
        "soundscapes_unlisted.txt:1 unlisted-script",
    };
    EXPECT_EQ(summary(checked.problems), expected);
    std::set<Check> found;
    for (const Problem& problem : checked.problems)
        found.insert(problem.check);
    EXPECT_EQ(found.size(), Checks.size()) << "every check has a planted case";
}

TEST(ProjectChecks, CleanScriptsGiveNoProblem) {
    std::vector<std::string> missing;
    const Project project =
        projectFromPaths({scriptPath("soundscapes_clean.txt"), scriptPath("soundscapes_town.txt"),
                          scriptPath("soundscapes_unlisted.txt")},
                         Sound, missing);
    ASSERT_TRUE(missing.empty());
    const ProjectIndex index = buildProjectIndex(project);
    EXPECT_EQ(summary(checkProject(project, index)), std::multiset<std::string>{});
    EXPECT_EQ(index.scripts().size(), 3u);
    for (const ScriptIndex& script : index.scripts()) {
        for (const WaveReference& wave : script.waves)
            EXPECT_EQ(wave.found, true) << wave.value;
    }
}

TEST(ProjectChecks, TheProjectKnowsWhatTheManifestListsAndWhatIsThere) {
    const Project project = openProjectFolder(Fixture.string(), Sound);
    ASSERT_EQ(project.manifests.size(), 1u);
    std::vector<std::string> rows;
    for (const ProjectScript& script : project.scripts)
        rows.push_back(fs::path(script.path).filename().string() +
                       (script.present ? " present" : " missing") +
                       (script.listed ? " listed" : " unlisted"));
    // The editor's "~" save copy is no script of the project.
    EXPECT_EQ(rows, (std::vector<std::string>{
                        "soundscapes_broken.txt present listed", "soundscapes_clean.txt present listed",
                        "soundscapes_cycle.txt present listed", "soundscapes_gone.txt missing listed",
                        "soundscapes_level.txt present listed", "soundscapes_problems.txt present listed",
                        "soundscapes_town.txt present listed", "soundscapes_unlisted.txt present unlisted"}));
}

TEST(ProjectChecks, DuplicatesNameEveryOtherPlace) {
    const Checked checked = checkFolder();
    std::vector<const Problem*> duplicates;
    for (const Problem& problem : checked.problems) {
        if (problem.check == Check::DuplicateSoundscape)
            duplicates.push_back(&problem);
    }
    ASSERT_EQ(duplicates.size(), 2u);
    EXPECT_EQ(duplicates[0]->message, "soundscape \"clean.street\" is also defined at " +
                                          scriptPath("soundscapes_problems.txt") + ":16");
    EXPECT_EQ(duplicates[1]->message,
              "soundscape \"CLEAN.street\" is also defined at " + scriptPath("soundscapes_clean.txt") + ":2");
    ASSERT_EQ(duplicates[0]->related.size(), 1u);
    EXPECT_EQ(duplicates[0]->related[0], (RelatedPlace{scriptPath("soundscapes_problems.txt"), {16, 1}}));
    EXPECT_EQ(duplicates[1]->soundscape, "CLEAN.street");
}

TEST(ProjectChecks, ACycleIsNamedLinkByLink) {
    const Checked checked = checkFolder();
    std::vector<std::string> messages;
    for (const Problem& problem : problemsOfFile(checked.problems, scriptPath("soundscapes_cycle.txt")))
        messages.push_back(problem.message);
    EXPECT_EQ(messages,
              (std::vector<std::string>{"soundscape \"cycle.a\" plays itself: cycle.a -> cycle.b -> cycle.a",
                                        "soundscape \"cycle.b\" plays itself: cycle.b -> cycle.a -> cycle.b",
                                        "soundscape \"cycle.self\" plays itself: cycle.self -> cycle.self"}));
}

TEST(ProjectChecks, ALongCycleAndItsSideBranches) {
    // a -> b -> c -> d -> a, with e -> a and b -> e: only the references on a cycle are reported.
    std::string bytes;
    auto soundscape = [&bytes](const std::string& name, std::vector<std::string> plays) {
        bytes += '"' + name + "\"\n{\n";
        for (const std::string& target : plays)
            bytes += "\"playsoundscape\"\n{\n\"name\" \"" + target + "\"\n}\n";
        bytes += "}\n";
    };
    soundscape("a", {"b"});
    soundscape("b", {"c", "f"});
    soundscape("c", {"d"});
    soundscape("d", {"a"});
    soundscape("e", {"a"});
    soundscape("f", {});
    ProjectIndex index;
    index.replace(indexScript("x.txt", bytes, nullptr));
    CheckOptions options;
    options.disable(Check::BlockWithoutWave);
    const std::vector<Problem> problems = checkProject({}, index, options);
    std::vector<std::string> messages;
    for (const Problem& problem : problems)
        messages.push_back(problem.message);
    EXPECT_EQ(messages, (std::vector<std::string>{"soundscape \"a\" plays itself: a -> b -> c -> d -> a",
                                                  "soundscape \"b\" plays itself: b -> c -> d -> a -> b",
                                                  "soundscape \"c\" plays itself: c -> d -> a -> b -> c",
                                                  "soundscape \"d\" plays itself: d -> a -> b -> c -> d"}));
}

TEST(ProjectChecks, DisabledChecksAreLeftOut) {
    CheckOptions options;
    for (Check check :
         {Check::DuplicateSoundscape, Check::SoundscapeCycle, Check::ValueRange, Check::UnlistedScript})
        options.disable(check);
    const Checked checked = checkFolder(options);
    for (const Problem& problem : checked.problems) {
        EXPECT_TRUE(options.enabled(problem.check)) << problem.message;
    }
    EXPECT_EQ(checked.problems.size(), 21u - 2 - 3 - 3 - 1);
}

TEST(ProjectIndex, FindsDefinitionsAndReferencesAcrossFilesWithoutRegardToCase) {
    const Checked checked = checkFolder();
    const std::vector<ProjectPlace> definitions = checked.index.definitions("Clean.Street");
    ASSERT_EQ(definitions.size(), 2u);
    EXPECT_EQ(definitions[0].file, scriptPath("soundscapes_clean.txt"));
    EXPECT_EQ(definitions[0].at, (SourcePosition{2, 1}));
    const std::vector<ProjectPlace> references = checked.index.references("clean.yard");
    ASSERT_EQ(references.size(), 1u);
    EXPECT_EQ(references[0].file, scriptPath("soundscapes_town.txt"));
    EXPECT_EQ(references[0].at, (SourcePosition{8, 28}));
    EXPECT_EQ(references[0].soundscape, "town.square");
    EXPECT_TRUE(checked.index.definitions("nowhere.at_all").empty());
}

TEST(ProjectIndex, ReplacingOneFileRefreshesTheProjectsProblems) {
    Checked checked = checkFolder();
    const std::string cycle = scriptPath("soundscapes_cycle.txt");
    // The window indexes the edited document and puts it in place of the file's index.
    checked.index.replace(indexScript(cycle, "\"cycle.a\"\n{\n}\n\"Nowhere.At_All\"\n{\n}\n", nullptr));
    const std::vector<Problem> problems = checkProject(checked.project, checked.index);
    EXPECT_TRUE(problemsOfFile(problems, cycle).empty());
    EXPECT_EQ(summary(problemsOfFile(problems, scriptPath("soundscapes_problems.txt")))
                  .count("soundscapes_problems.txt:13 undefined-soundscape"),
              0u);
    EXPECT_EQ(checked.index.definitions("cycle.b").size(), 0u);
    checked.index.remove(cycle);
    EXPECT_EQ(checked.index.script(cycle), nullptr);
    EXPECT_FALSE(checked.index.isDefined("cycle.a"));
}

TEST(ProjectIndex, ReportsProgressAndStopsWhenAsked) {
    const Project project = openProjectFolder(Fixture.string(), Sound);
    std::vector<std::size_t> steps;
    const ProjectIndex all = buildProjectIndex(project, [&steps](std::size_t done, std::size_t total) {
        steps.push_back(done);
        EXPECT_EQ(total, 8u);
        return true;
    });
    EXPECT_EQ(steps, (std::vector<std::size_t>{1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(all.scripts().size(), 7u); // the missing script is listed, not indexed
    const ProjectIndex part =
        buildProjectIndex(project, [](std::size_t done, std::size_t) { return done < 2; });
    EXPECT_EQ(part.scripts().size(), 2u);
}

TEST(ProjectFromPaths, SearchesFoldersAndFindsTheSoundFolderBesideTheManifest) {
    std::vector<std::string> missing;
    const Project project =
        projectFromPaths({(Fixture / "scripts").string(), (Fixture / "nothing-here").string()}, {}, missing);
    EXPECT_EQ(missing, std::vector<std::string>{(Fixture / "nothing-here").string()});
    EXPECT_EQ(fs::path(project.soundFolder).lexically_normal(), fs::path(Sound).lexically_normal());
    ASSERT_EQ(project.manifests.size(), 1u);
    EXPECT_EQ(project.scripts.size(), 8u);
}

TEST(ProjectFromPaths, AManifestNamedByARelativePathFindsItsScripts) {
    struct CurrentFolder {
        fs::path saved = fs::current_path();
        ~CurrentFolder() { fs::current_path(saved); }
    } restore;
    fs::current_path(Fixture / "scripts");
    std::vector<std::string> missing;
    const Project project = projectFromPaths({"soundscapes_manifest.txt"}, {}, missing);
    ASSERT_EQ(project.manifests.size(), 1u);
    ASSERT_EQ(project.manifests[0].entries.size(), 7u);
    EXPECT_EQ(project.manifests[0].entries[0].path, "../scripts/soundscapes_clean.txt");
    EXPECT_TRUE(project.manifests[0].entries[0].present);
    EXPECT_EQ(project.soundFolder, "../sound");
}
