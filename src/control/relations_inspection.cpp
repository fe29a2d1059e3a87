#include "control/relations_inspection.h"

#include <filesystem>

#include "formats/vesk_task_relations_file.h"

namespace vesk {

void RelationsInspection::open_with_task_list() {
    facts_ = std::make_unique<Tfactslist>(controller_.main_task_list());
    prepare();
}

void check_relations_file(const std::string& path, bool resolve_externals) {
    Towned_tasklist tasks;
    Tfactslist facts(tasks);
    XmlDocument document;
    document.set_resolve_externals(resolve_externals);
    SilentSink unheard;
    read_relations_file(tasks, document, path, facts, unheard);
}

std::optional<RelationsSource> relations_source_of(const std::string& relations_file) {
    const std::filesystem::path file(relations_file);
    const std::string name = file.filename().string();
    const std::string suffix = " relations.xml";
    if (!name.ends_with(suffix)) return std::nullopt;
    const std::string stem = name.substr(0, name.size() - suffix.size());
    // Log names and process ids may hold blanks: every split is tried, the longest log name
    // first.
    for (std::size_t blank = stem.rfind(' '); blank != std::string::npos && blank > 0;
         blank = stem.rfind(' ', blank - 1)) {
        const std::filesystem::path log = file.parent_path() / stem.substr(0, blank);
        const std::string process = stem.substr(blank + 1);
        std::error_code error;
        if (!std::filesystem::is_regular_file(log, error)) continue;
        try {
            Tvesk_util probe;
            probe.load_log_plainly(log.string(), false);
            for (const LogProcess& found : probe.processes())
                if (found.id == process) return RelationsSource{log.string(), process};
        } catch (const std::exception&) {
            // Not a log Vesk reads: no source.
        }
    }
    return std::nullopt;
}

void RelationsInspection::open_with_relations_file(const std::string& path, bool resolve_externals,
                                                   MessageSink& sink) {
    Towned_tasklist& tasks = controller_.main_task_list();
    facts_ = std::make_unique<Tfactslist>(tasks);
    relations_xml_.set_resolve_externals(resolve_externals);
    clear_relations(tasks);
    read_relations_file(tasks, relations_xml_, path, *facts_, sink);
    prepare();
}

void RelationsInspection::close() {
    if (!facts_) return;
    apply();
    facts_.reset();
    erroneous_sets_.clear();
}

void RelationsInspection::prepare() {
    facts_->build_from_tasks();
    facts_->mark_all_used();
    facts_->sort();
    check_relations();
}

}  // namespace vesk

namespace vesk {

void RelationsInspection::make_petrinet(bool split, Construction construction, bool combine_places,
                                        double noise) {
    Towned_tasklist& tasks = controller_.main_task_list();
    clear_relations(tasks);
    facts_->apply_to_tasks(tasks);
    if (construction == Construction::inductive) {
        controller_.make_net_inductive(InductiveOptions{noise});
        controller_.net().Reset_replay_state();
        return;
    }
    controller_.prepare_short_loops(split);
    try {
        if (construction == Construction::alpha)
            controller_.make_net(split);
        else
            controller_.make_net_2(combine_places, split);
    } catch (...) {
        controller_.finish_short_loops(split);
        throw;
    }
    controller_.finish_short_loops(split);
    controller_.net().Reset_replay_state();
}

Tevent_filter RelationsInspection::event_types_in_use() const {
    Tevent_filter filter;
    const auto note = [&filter](const Ttask* task) {
        const std::string event = task->split_name().event;
        filter.schedule = filter.schedule || event == "schedule";
        filter.start = filter.start || event == "start";
        filter.suspend = filter.suspend || event == "suspend";
        filter.resume = filter.resume || event == "resume";
        filter.complete = filter.complete || event == "complete";
        filter.withdraw = filter.withdraw || event == "withdraw";
        filter.abort = filter.abort || event == "abort";
    };
    for (const Tfact& fact : facts_->facts()) {
        note(fact.task1);
        note(fact.task2);
    }
    return filter;
}

void RelationsInspection::read_process(const std::string& process_id) {
    controller_.set_filter(event_types_in_use());
    controller_.read_process(process_id);
}

void RelationsInspection::replay_process(const std::string& process_id, bool show_messages,
                                         MessageSink& sink, StageTimings* timings) {
    begin_stage(timings, "read");
    controller_.set_filter(event_types_in_use());
    controller_.read_process(process_id);
    begin_stage(timings, "replay");
    controller_.replay(show_messages, sink);
}

}  // namespace vesk
