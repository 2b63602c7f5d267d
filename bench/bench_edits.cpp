// SPDX-License-Identifier: MIT
// Structural edits in a generated 100,000-line script: deleting a soundscape and moving one by drag
// and drop under another; and the save after an edit, canonical and keeping the file's layout. Only the edit
// is timed (manual time); loading the script for each iteration is not. "then_order" variants also pay for
// the first pre-order query after the edit, which the next save or absolute-index lookup triggers.
#include "ScriptGenerator.h"
#include "document/Edits.h"
#include "document/Layout.h"
#include "document/Loader.h"

#include <benchmark/benchmark.h>
#include <chrono>

namespace {

constexpr std::size_t Lines = 100000;

const std::string& script() {
    static const std::string text = tonvale::bench::generateScript(Lines);
    return text;
}

template <typename Edit> void timeEdit(benchmark::State& state, bool withOrder, Edit edit) {
    for (auto _ : state) {
        tonvale::LoadResult loaded = tonvale::loadScript(script());
        tonvale::SectionTree& tree = loaded.tree;
        tree.preorder(); // the loaded document's order is already known, as after a load in the window
        const auto start = std::chrono::steady_clock::now();
        edit(tree);
        if (withOrder)
            benchmark::DoNotOptimize(tree.preorder().size());
        const auto stop = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(stop - start).count());
    }
    state.counters["nodes"] = static_cast<double>(tonvale::loadScript(script()).tree.size());
}

void deleteMiddle(tonvale::SectionTree& tree) {
    const auto& top = tree.topLevel();
    const tonvale::DeleteResult result = tonvale::deleteNode(tree, top[top.size() / 2]);
    benchmark::DoNotOptimize(result.selectAfter);
}

// Drags the soundscape in the middle onto the first one (Yes: it becomes its first child).
void moveMiddleToFirst(tonvale::SectionTree& tree) {
    const auto& top = tree.topLevel();
    const tonvale::MoveResult result =
        tonvale::moveNode(tree, top[top.size() / 2], top.front(), tonvale::PlacementAnswer::Yes);
    benchmark::DoNotOptimize(result.newRow);
}

// Drags the first soundscape onto the last one before the end marker (No: it becomes its last child).
void moveFirstToLast(tonvale::SectionTree& tree) {
    const auto& top = tree.topLevel();
    const tonvale::MoveResult result =
        tonvale::moveNode(tree, top.front(), top[top.size() - 2], tonvale::PlacementAnswer::No);
    benchmark::DoNotOptimize(result.newRow);
}

void BM_DeleteSoundscape(benchmark::State& state) {
    timeEdit(state, state.range(0) != 0, deleteMiddle);
}
void BM_MoveSoundscapeMiddleToFirst(benchmark::State& state) {
    timeEdit(state, state.range(0) != 0, moveMiddleToFirst);
}
void BM_MoveSoundscapeFirstToLast(benchmark::State& state) {
    timeEdit(state, state.range(0) != 0, moveFirstToLast);
}

// Saving after one changed value: the canonical text against the file's own layout, which also reads
// its source and its result back to check them.
void BM_SaveAfterOneEdit(benchmark::State& state) {
    const bool keepLayout = state.range(0) != 0;
    tonvale::LoadResult loaded = tonvale::loadScript(script());
    tonvale::keepSource(loaded.tree, script());
    for (tonvale::Node* node : loaded.tree.preorder()) {
        if (node->data() != nullptr && !node->data()->value.empty()) {
            tonvale::setNodeValue(loaded.tree, node, "\"0.35\"");
            break;
        }
    }
    for (auto _ : state) {
        if (keepLayout)
            benchmark::DoNotOptimize(tonvale::writeKeepingLayout(loaded.tree).write.bytes.size());
        else
            benchmark::DoNotOptimize(tonvale::writeScript(loaded.tree).bytes.size());
    }
}

} // namespace

BENCHMARK(BM_SaveAfterOneEdit)
    ->ArgName("keep_layout")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(10)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeleteSoundscape)
    ->ArgName("then_order")
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Iterations(30)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MoveSoundscapeMiddleToFirst)
    ->ArgName("then_order")
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Iterations(30)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MoveSoundscapeFirstToLast)
    ->ArgName("then_order")
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Iterations(30)
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
