#include "control/vesk_util.h"

#include "base/number_format.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include "base/file_util.h"
#include "discovery/inductive_miner.h"
#include "discovery/tree_net.h"
#include "formats/pnml_net.h"
#include "formats/vesk_html_writer.h"
#include "formats/vesk_pnml_writer.h"
#include "formats/vesk_task_relations_file.h"
#include "mining/vesk_task_build.h"
#include "mining/vesk_task_overlap.h"
#include "net/sequence_replay.h"
#include "net/vesk_redisc_build.h"
#include "net/vesk_redisc_replay.h"

namespace vesk {

std::string process_list_entry(const LogProcess& process) {
    return process.id + (process.description ? " (" + *process.description + ")" : " (none)");
}

std::string process_id_of_entry(const std::string& entry) {
    return entry.substr(0, entry.find(' '));
}

std::string relations_file_base_name(const std::string& log_path, const std::string& process_id) {
    return file_name_part(log_path) + " " + file_name_safe(process_id) + " relations";
}

std::string export_base_name(const std::string& log_path, const std::string& process_id) {
    return file_name_part(log_path) + " " + file_name_safe(process_id) + " ";
}

void Tvesk_util::new_net() {
    net_ = std::make_unique<Tpetrinet>();
    net_->Set_cluster_colour(0xFFFFFF);
}

void Tvesk_util::reset() {
    // The net refers to the tasks, so it goes first.
    new_net();
    loops_.one_loop.free_all();
    loops_.two_loop.free_all();
    loops_.copies.free_all();
    main_tasks_.free_all();
    log_.clear();
    case_count_ = -1;
    process_description_.clear();
    read_diagnostics_ = {};
    case_filter_result_ = {};
    token_counts_.reset();
    conformance_.reset();
}

void Tvesk_util::load_log(const std::string& file_name, bool resolve_externals,
                          const EventLogOptions& options) {
    reset();
    log_file_ = WorkflowLogFile(file_name, resolve_externals, options);
}

void Tvesk_util::load_log_plainly(const std::string& file_name, bool resolve_externals,
                                  const EventLogOptions& options) {
    log_file_ = WorkflowLogFile(file_name, resolve_externals, options);
    case_count_ = -1;
}

std::vector<LogProcess> Tvesk_util::processes(std::vector<std::string>* refused) const {
    return log_file_.list_processes(refused);
}

ProcessCounts Tvesk_util::count_process(const std::string& id) const {
    ProcessCounts counts;
    const ProcessHeader header = log_file_.read_process(id, [&counts](const LogEntryFields& e) {
        ++counts.events;
        ++counts.kinds[e.event_kind.value_or("")];
    });
    counts.cases = header.case_count;
    return counts;
}

std::vector<std::string> Tvesk_util::sampled_attribute_keys(const std::string& process_id,
                                                            std::int64_t entries) const {
    struct Enough {};
    std::vector<std::string> keys;
    const auto note = [&keys](const std::vector<ReadAttribute>& attributes) {
        for (const ReadAttribute& attribute : attributes)
            if (std::find(keys.begin(), keys.end(), attribute.key) == keys.end())
                keys.push_back(attribute.key);
    };
    std::int64_t seen = 0;
    try {
        log_file_.read_process(process_id, [&](const LogEntryFields& entry) {
            note(entry.case_attributes);
            note(entry.attributes);
            if (++seen >= entries) throw Enough{};
        });
    } catch (const Enough&) {
        // The sample is complete.
    }
    return keys;
}

std::vector<std::string> Tvesk_util::list_processes(std::vector<std::string>* refused) const {
    std::vector<std::string> entries;
    for (const LogProcess& process : processes(refused))
        entries.push_back(process_list_entry(process));
    return entries;
}

std::int32_t Tvesk_util::cases_in_log() const {
    std::int32_t cases = 0;
    std::int32_t previous = -1;
    for (const Tlog_line& line : log_) {
        if (line.case_number() == previous) continue;
        previous = line.case_number();
        cases = checked_add(cases, 1);
    }
    return cases;
}

void Tvesk_util::read_process(const std::string& process_id) {
    conformance_.reset();
    ProcessLog read = read_process_log(log_file_, process_id, filter_, progress_);
    const CaseFilterResult kept = filter_cases(read.lines, case_filter_);
    log_ = std::move(read.lines);
    case_filter_result_ = kept;
    case_count_ = read.case_count;
    process_description_ = std::move(read.description);
    read_diagnostics_ = std::move(read.diagnostics);
}

void Tvesk_util::build_task_list() {
    vesk::build_task_list(log_, main_tasks_, kRelationsMemoryBudget, progress_);
}

void Tvesk_util::build_tasks_only() {
    vesk::build_tasks_only(log_, main_tasks_);
}

void Tvesk_util::overlap_parallel(const std::string& start_type, const std::string& stop_type) {
    vesk::overlap_parallel(log_, main_tasks_, start_type, stop_type);
}

std::filesystem::path Tvesk_util::write_relations(const std::filesystem::path& folder,
                                                  const std::string& file_name,
                                                  const std::string& dtd_location) {
    return write_relations_file(main_tasks_, folder, file_name, dtd_location, decimal_separator_);
}

void Tvesk_util::relations_text(std::vector<std::string>& lines) {
    for (Ttask* task : main_tasks_) {
        lines.emplace_back();
        lines.push_back(task->name() + "  " + std::to_string(task->loop_length));
        lines.push_back("  < " + task->name_list(NameList::predecessors));
        lines.push_back("  > " + task->name_list(NameList::successors));
        lines.push_back(" -> " + task->name_list(NameList::causal_successors));
        lines.push_back(" <- " + task->name_list(NameList::causal_predecessors));
        lines.push_back(" || " + task->name_list(NameList::parallel));
        if (task->loop_length == 2) {
            lines.emplace_back("two loop with:");
            for (const Ttask* partner : task->tasks_in_two_loop)
                lines.push_back("    " + partner->name());
        }
    }
}

}  // namespace vesk

namespace vesk {

void Tvesk_util::clear_process_tree() {
    process_tree_text_.clear();
    process_tree_.reset();
    process_tree_names_.clear();
    left_out_.clear();
}

void Tvesk_util::prepare_short_loops(bool split) {
    vesk::prepare_short_loops(main_tasks_, loops_, split);
}

void Tvesk_util::make_net(bool split) {
    conformance_.reset();
    clear_process_tree();
    net_->skip_rule = SkipRule::one_pass;
    Build_net(*net_, main_tasks_);
    if (!split) Add_loop_tasks(*net_, loops_.one_loop);
}

void Tvesk_util::make_net_2(bool combine_places, bool split) {
    conformance_.reset();
    clear_process_tree();
    net_->skip_rule = SkipRule::one_pass;
    Build_net_2(*net_, main_tasks_, combine_places);
    if (!split) Add_loop_tasks(*net_, loops_.one_loop);
}

void Tvesk_util::make_net_inductive(const InductiveOptions& options) {
    conformance_.reset();
    if (log_.empty())
        throw std::runtime_error(
            "The inductive construction works on the log's lines: build the relations from a log, "
            "or read the process, first.");
    const VariantLog variants = variants_of(log_);
    const ProcessTree tree =
        mine_tree(variants.traces, static_cast<std::int32_t>(variants.names.size()), options);
    clear_process_tree();
    if (variants.tasks_of.empty())
        build_tree_net(*net_, tree, variants.names, main_tasks_);
    else
        build_tree_net(*net_, task_tree(tree, variants), variants.task_names, main_tasks_);
    process_tree_text_ = tree_text(tree, variants.names);
    process_tree_ = tree;
    process_tree_names_ = variants.names;
    left_out_ = left_out_activities(tree, variants);
}

std::vector<std::string> Tvesk_util::read_net(const std::string& pnml_path) {
    conformance_.reset();
    const PnmlNet model = read_pnml(pnml_path);
    clear_process_tree();
    new_net();
    try {
        return build_pnml_net(*net_, model, main_tasks_);
    } catch (const PnmlError& error) {
        new_net();  // nothing half made stays
        throw PnmlError(pnml_path + ": " + error.what());
    }
}

void Tvesk_util::finish_short_loops(bool split) {
    restore_short_loops(main_tasks_, loops_, *net_, split);
}

void Tvesk_util::forget_replay() {
    token_counts_.reset();
    conformance_.reset();
    net_->flow_time.Clear();
    for (const auto& place : net_->places()) {
        place->sync_time.Clear();
        place->waiting_time.Clear();
        place->sojourn_time.Clear();
    }
    net_->Reset_replay_state();
}

void Tvesk_util::replay(bool show_messages, MessageSink& sink) {
    // Findings of an earlier replay on the same net are not this one's.
    forget_replay();
    if (net_->skip_rule == SkipRule::shortest_sequence) {
        SequenceReplay replay(*net_, log_, main_tasks_, sink);
        replay.set_progress(progress_);
        token_counts_ = replay.Replay(show_messages);
        return;
    }
    Treplay replay(*net_, log_, main_tasks_, sink);
    replay.set_progress(progress_);
    token_counts_ = replay.Replay(show_messages);
}

const ConformanceResult& Tvesk_util::check_conformance(const ConformanceOptions& options) {
    ConformanceOptions with_progress = options;
    if (!with_progress.progress) with_progress.progress = progress_;
    conformance_.emplace(vesk::check_conformance(*net_, log_, with_progress));
    return *conformance_;
}

std::string fitness_line(const TokenCounts& counts) {
    char text[200];
    std::snprintf(text, sizeof text,
                  "Fitness: %.4f (tokens produced %lld, consumed %lld, missing %lld, remaining "
                  "%lld); cases fitting exactly: %d of %d",
                  counts.fitness(), static_cast<long long>(counts.produced),
                  static_cast<long long>(counts.consumed), static_cast<long long>(counts.missing),
                  static_cast<long long>(counts.remaining), counts.fitting_cases, counts.cases);
    std::string line = text;
    // A search that gave up decides nothing: said beside the figure it lowers.
    if (counts.undecided_cases > 0)
        line += "; cases undecided (search bound reached, counted as not fitting): " +
                std::to_string(counts.undecided_cases);
    return line;
}

std::string left_out_line(const std::vector<LeftOutActivity>& left_out) {
    if (left_out.empty()) return {};
    std::string line = "Left out as infrequent: ";
    for (std::size_t i = 0; i < left_out.size(); ++i)
        line += (i > 0 ? ", " : "") + left_out[i].name + " (" + grouped_number(left_out[i].events) +
                (left_out[i].events == 1 ? " event)" : " events)");
    return line;
}

void Tvesk_util::timing_text(std::vector<std::string>& lines) const {
    net_->timing_text(lines, decimal_separator_);
    if (token_counts_) lines.push_back(fitness_line(*token_counts_));
}

Tvesk_util::PlaceFigures Tvesk_util::place_figures(std::int32_t index) const {
    const Tplace* place = net_->Place_at(index);
    if (place == nullptr) return {};
    return {&place->sync_time, &place->waiting_time, &place->sojourn_time};
}

}  // namespace vesk

namespace vesk {

std::vector<std::filesystem::path> Tvesk_util::write_low_dot(const std::filesystem::path& folder,
                                                             const std::string& base,
                                                             bool write_probabilities) {
    return Write_dot_low(*net_, folder, base + "low", process_description_, true,
                         write_probabilities, decimal_separator_);
}

void Tvesk_util::write_high_dot(const std::filesystem::path& folder, const std::string& base) {
    Write_dot_high(*net_, folder, base + "high", process_description_, export_flags_,
                   decimal_separator_);
}

std::filesystem::path Tvesk_util::write_pnml(const std::filesystem::path& folder,
                                             const std::string& base) {
    return Write_pnml(*net_, folder, base, process_description_);
}

void Tvesk_util::write_text_net(const std::filesystem::path& folder, const std::string& base) {
    Write_tpn(*net_, folder, base);
}

}  // namespace vesk
