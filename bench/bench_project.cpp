// SPDX-License-Identifier: MIT
// The project index and the lint on a generated project: 200 scripts of 500 lines (100,000 lines), a
// manifest listing them, and a sound folder holding every wave they name.
#include "Lint.h"
#include "ScriptGenerator.h"
#include "document/FileIO.h"
#include "project/ProjectChecks.h"

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using namespace tonvale::project;

constexpr int Scripts = 200;
constexpr std::size_t LinesPerScript = 500;

std::string replaceAll(std::string text, std::string_view from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// The generated project on disk, made once and removed at exit.
struct GeneratedProject {
    fs::path root = fs::temp_directory_path() / ("tonvale-bench-project-" + std::to_string(getpid()));
    std::size_t lines = 0;

    GeneratedProject() {
        fs::remove_all(root);
        fs::create_directories(root / "scripts");
        std::string manifest = "soundscapes_manifest\r\n{\r\n";
        std::string error;
        for (int i = 0; i < Scripts; ++i) {
            // Each script's soundscapes get a name of their own; its references follow them.
            const std::string text = replaceAll(tonvale::bench::generateScript(LinesPerScript, 1000 + i),
                                                "\"level", "\"s" + std::to_string(i) + ".level");
            const std::string name = "soundscapes_" + std::to_string(i) + ".txt";
            tonvale::writeFileAtomic((root / "scripts" / name).string(), text, error);
            manifest += "\t\"file\"\t\"scripts/" + name + "\"\r\n";
            lines += static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
        }
        manifest += "}\r\n";
        tonvale::writeFileAtomic((root / "scripts" / "soundscapes_manifest.txt").string(), manifest, error);
        for (const char* folder :
             {"ambient/wind", "ambient/water", "ambient/machines", "ambient/birds", "ambient/atmosphere"}) {
            fs::create_directories(root / "sound" / folder);
            for (int n = 1; n <= 999; ++n)
                std::ofstream(root / "sound" / folder / ("sound_" + std::to_string(n) + ".wav"));
        }
    }
    ~GeneratedProject() {
        std::error_code ec;
        fs::remove_all(root, ec);
    }
    std::string sound() const { return (root / "sound").string(); }
};

const GeneratedProject& generated() {
    static const GeneratedProject project;
    return project;
}

void perLine(benchmark::State& state) {
    state.counters["lines"] = static_cast<double>(generated().lines);
    state.counters["per_line"] =
        benchmark::Counter(static_cast<double>(generated().lines) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// What the window runs in the background: list the project, read and index every script, look up
// every wave.
void BM_IndexProject(benchmark::State& state) {
    const GeneratedProject& project = generated();
    for (auto _ : state) {
        const Project listed = openProjectFolder(project.root.string(), project.sound());
        const ProjectIndex index = buildProjectIndex(listed);
        benchmark::DoNotOptimize(index.scripts().size());
    }
    perLine(state);
}

// What the window runs on its own thread after an index: the checks across files.
// The real-world scripts as one project, read in place: what the window's background build and check
// take for them (no sound folder, so waves are not looked up).
void BM_IndexRealWorld(benchmark::State& state) {
    std::vector<std::string> missing;
    std::size_t problems = 0;
    for (auto _ : state) {
        const Project project = projectFromPaths({TONVALE_REALWORLD}, {}, missing);
        const ProjectIndex index = buildProjectIndex(project);
        problems = checkProject(project, index).size();
    }
    state.counters["problems"] = static_cast<double>(problems);
}

void BM_CheckProject(benchmark::State& state) {
    const GeneratedProject& project = generated();
    const Project listed = openProjectFolder(project.root.string(), project.sound());
    const ProjectIndex index = buildProjectIndex(listed);
    std::size_t problems = 0;
    for (auto _ : state) {
        problems = checkProject(listed, index).size();
        benchmark::DoNotOptimize(problems);
    }
    state.counters["problems"] = static_cast<double>(problems);
}

// One file changed on disk: index it again and put it in place.
void BM_RefreshOneScript(benchmark::State& state) {
    const GeneratedProject& project = generated();
    const Project listed = openProjectFolder(project.root.string(), project.sound());
    ProjectIndex index = buildProjectIndex(listed);
    WaveLookup waves(project.sound());
    const std::string path = listed.scripts[Scripts / 2].path;
    for (auto _ : state)
        index.replace(indexScriptFile(path, &waves));
}

// The lint as the command line runs it, in this process.
void BM_LintInProcess(benchmark::State& state) {
    const GeneratedProject& project = generated();
    int status = 0;
    for (auto _ : state) {
        std::ostringstream out, err;
        status = tonvale::runLint({"--sound-dir", project.sound(), project.root.string()}, out, err);
        benchmark::DoNotOptimize(out.str().size());
    }
    state.counters["exit"] = status;
    perLine(state);
}

// The lint as a process, start to exit.
void BM_LintProcess(benchmark::State& state) {
    const GeneratedProject& project = generated();
    const std::string sound = project.sound();
    const std::string root = project.root.string();
    std::vector<char*> argv{const_cast<char*>(TONVALE_FORMAT_BIN), const_cast<char*>("--lint"),
                            const_cast<char*>("--sound-dir"),      const_cast<char*>(sound.c_str()),
                            const_cast<char*>(root.c_str()),       nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    int status = 0;
    for (auto _ : state) {
        pid_t pid = 0;
        if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
            state.SkipWithError("cannot start tonvale-format");
            break;
        }
        waitpid(pid, &status, 0);
    }
    posix_spawn_file_actions_destroy(&actions);
    state.counters["exit"] = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    perLine(state);
}

} // namespace

BENCHMARK(BM_IndexProject)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_IndexRealWorld)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CheckProject)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RefreshOneScript)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LintInProcess)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LintProcess)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_MAIN();
