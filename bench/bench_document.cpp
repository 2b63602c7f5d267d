// SPDX-License-Identifier: MIT
// Loading and writing generated scripts of 1k to 1M lines.
#include "ScriptGenerator.h"
#include "document/Loader.h"
#include "document/Writer.h"

#include <benchmark/benchmark.h>
#include <map>

#if defined(__linux__)
#include <sys/resource.h>
#endif

namespace {

const std::string& script(std::size_t lines) {
    static std::map<std::size_t, std::string> cache;
    auto it = cache.find(lines);
    if (it == cache.end())
        it = cache.emplace(lines, tonvale::bench::generateScript(lines)).first;
    return it->second;
}

void setCounters(benchmark::State& state, const std::string& text) {
    const auto lines = static_cast<double>(state.range(0));
    // Seconds per line, shown with an SI prefix (n = nanoseconds).
    state.counters["per_line"] =
        benchmark::Counter(lines * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}

void BM_Load(benchmark::State& state) {
    const std::string& text = script(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        tonvale::LoadResult result = tonvale::loadScript(text);
        benchmark::DoNotOptimize(result.tree.size());
    }
    setCounters(state, text);
}

void BM_Write(benchmark::State& state) {
    const std::string& text = script(static_cast<std::size_t>(state.range(0)));
    const tonvale::LoadResult loaded = tonvale::loadScript(text);
    for (auto _ : state) {
        tonvale::WriteResult written = tonvale::writeScript(loaded.tree);
        benchmark::DoNotOptimize(written.bytes.data());
    }
    setCounters(state, text);
}

void BM_LoadWrite(benchmark::State& state) {
    const std::string& text = script(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        tonvale::LoadResult result = tonvale::loadScript(text);
        tonvale::WriteResult written = tonvale::writeScript(result.tree);
        benchmark::DoNotOptimize(written.bytes.data());
    }
    setCounters(state, text);
}

// Load, then the canonical text streamed in chunks to a sink that drops them: tonvale-format's work
// without the file system.
void BM_LoadStream(benchmark::State& state) {
    const std::string& text = script(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        tonvale::LoadResult result = tonvale::loadScript(text);
        std::size_t bytes = 0;
        tonvale::streamScript(
            result.tree,
            [&bytes](std::string_view chunk) {
                bytes += chunk.size();
                return true;
            },
            nullptr);
        benchmark::DoNotOptimize(bytes);
    }
    setCounters(state, text);
}

// The floor: a bare pass that splits the lines and counts the braces, as every load must at least do.
void BM_FloorSplitAndCountBraces(benchmark::State& state) {
    const std::string& text = script(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        std::size_t lines = 0;
        std::size_t braces = 0;
        for (char c : text) {
            lines += c == '\n';
            braces += c == '{' || c == '}';
        }
        benchmark::DoNotOptimize(lines + braces);
    }
    setCounters(state, text);
}

// Peak resident memory of the process after loading the 1M-line script and writing it once.
void BM_PeakMemory1M(benchmark::State& state) {
    const std::string& text = script(1000000);
    for (auto _ : state) {
        tonvale::LoadResult result = tonvale::loadScript(text);
        tonvale::WriteResult written = tonvale::writeScript(result.tree);
        benchmark::DoNotOptimize(written.bytes.data());
    }
#if defined(__linux__)
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
#endif
    // The tree's own blocks (nodes, node data, texts, child lists) and its nodes.
    const tonvale::LoadResult loaded = tonvale::loadScript(text);
    state.counters["tree_MB"] = static_cast<double>(loaded.tree.reservedBytes()) / 1e6;
    state.counters["nodes"] = static_cast<double>(loaded.tree.size());
    state.counters["node_bytes"] = static_cast<double>(sizeof(tonvale::Node));
    state.counters["script_MB"] = static_cast<double>(text.size()) / 1e6;
}

} // namespace

BENCHMARK(BM_Load)->Arg(1000)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Write)->Arg(1000)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadWrite)->Arg(1000)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadStream)->Arg(1000)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FloorSplitAndCountBraces)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PeakMemory1M)->Iterations(1)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
