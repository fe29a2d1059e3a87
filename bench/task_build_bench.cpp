// Speed of the log-to-tasks hand-off on generated logs of growing case length.

#include <benchmark/benchmark.h>

#include <random>

#include "log/vesk_logline_reader.h"
#include "mining/vesk_task_build.h"

namespace {

vesk::Tloglist make_lines(int cases, int case_length, int activities) {
    std::mt19937 random(42);
    std::uniform_int_distribution<int> activity(0, activities - 1);
    vesk::Tloglist log;
    for (int c = 0; c < cases; ++c)
        for (int i = 0; i < case_length; ++i)
            log.emplace_back("activity " + std::to_string(activity(random)) + "_complete", c);
    return log;
}

void BM_LoopInformation(benchmark::State& state) {
    const auto lines = make_lines(1000, static_cast<int>(state.range(0)), 30);
    for (auto _ : state) {
        auto copy = lines;
        vesk::compute_loop_information(copy);
        benchmark::DoNotOptimize(copy);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<long>(lines.size()));
}
BENCHMARK(BM_LoopInformation)->Arg(10)->Arg(100)->Arg(1000);

void BM_BuildTaskList(benchmark::State& state) {
    auto lines = make_lines(1000, static_cast<int>(state.range(0)), 30);
    vesk::compute_loop_information(lines);
    vesk::Towned_tasklist tasks;
    for (auto _ : state) {
        vesk::build_task_list(lines, tasks);
        benchmark::DoNotOptimize(tasks);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<long>(lines.size()));
}
BENCHMARK(BM_BuildTaskList)->Arg(10)->Arg(100)->Arg(1000);

}  // namespace

BENCHMARK_MAIN();
