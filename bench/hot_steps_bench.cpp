// Speed of the hot steps of a run: reading a workflow log, and the net construction on choices
// of growing width (the pair search's hardest shape).

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

#include "log/vesk_logline_reader.h"
#include "log/workflow_log_writer.h"
#include "mining/vesk_task.h"
#include "net/vesk_redisc_build.h"

namespace {

// A log of `cases` cases of 10 entries each over 30 activities, written once per size.
std::string log_file(int cases) {
    const auto path =
        std::filesystem::temp_directory_path() / ("vesk_bench_" + std::to_string(cases) + ".xml");
    if (std::filesystem::exists(path)) return path.string();
    vesk::WorkflowLogWriter writer("WorkFlow_log.dtd", "vesk_bench");
    writer.begin_process("1", "bench");
    std::mt19937 random(7);
    std::uniform_int_distribution<int> activity(0, 29);
    for (int c = 0; c < cases; ++c) {
        writer.begin_instance("case " + std::to_string(c));
        for (int i = 0; i < 10; ++i) {
            vesk::WrittenEntry entry;
            entry.task = "activity " + std::to_string(activity(random));
            entry.kind = i % 2 == 0 ? "start" : "complete";
            entry.date = "04-03-2002";
            entry.time = "15:31:00";
            writer.entry(entry, "");
        }
        writer.end_instance();
    }
    writer.end_process();
    std::ofstream(path, std::ios::binary) << writer.text();
    return path.string();
}

void BM_ReadWorkflowLog(benchmark::State& state) {
    const std::string path = log_file(static_cast<int>(state.range(0)));
    vesk::Tevent_filter filter;
    filter.start = filter.complete = true;
    for (auto _ : state) {
        auto read = vesk::read_process_log(vesk::WorkflowLogFile(path, false), "1", filter);
        benchmark::DoNotOptimize(read);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0) * 10);
}
BENCHMARK(BM_ReadWorkflowLog)->Arg(1000)->Arg(10000);

// A -> (B1 | ... | Bk) -> C, the branches unrelated to each other.
void BM_BuildNetOnAWideChoice(benchmark::State& state) {
    vesk::Towned_tasklist tasks;
    vesk::Ttask* a = tasks.create("A");
    vesk::Ttask* c = tasks.create("C");
    for (int k = 0; k < state.range(0); ++k) {
        vesk::Ttask* b = tasks.create("B" + std::to_string(k));
        a->causal_successors().add(b);
        b->causal_predecessors().add(a);
        b->causal_successors().add(c);
        c->causal_predecessors().add(b);
    }
    a->is_trace_start = true;
    c->is_trace_end = true;
    for (auto _ : state) {
        vesk::Tpetrinet net;
        vesk::Build_net(net, tasks);
        benchmark::DoNotOptimize(net);
    }
}
BENCHMARK(BM_BuildNetOnAWideChoice)->Arg(4)->Arg(16)->Arg(64);

}  // namespace
