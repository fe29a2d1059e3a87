#include "control/mine_run.h"

namespace vesk {

namespace {

void show(const StatusCallback& status, const std::string& text) {
    if (status) status(text);
}

void read_net_file(Tvesk_util& controller, const std::string& path, MessageSink& sink) {
    for (const std::string& warning : controller.read_net(path))
        sink.warning(path + ": " + warning);
}

// The inductive net of the chosen noise, when it is to be chosen.
std::optional<NoiseChoice> inductive_net(Tvesk_util& controller, const NetOptions& net,
                                         const StatusCallback& status) {
    if (!net.choose_noise) {
        controller.make_net_inductive(InductiveOptions{net.noise});
        return std::nullopt;
    }
    NoiseChoice choice = choose_noise(controller, status);
    controller.net().Reset_replay_state();
    return choice;
}

std::optional<NoiseChoice> make_net(Tvesk_util& controller, RelationsInspection& inspection,
                                    const NetOptions& net, MessageSink& sink,
                                    const StatusCallback& status) {
    if (!net.net_file.empty()) {
        read_net_file(controller, net.net_file, sink);
    } else if (net.construction == RelationsInspection::Construction::inductive &&
               net.choose_noise) {
        inspection.apply();
        return inductive_net(controller, net, status);
    } else {
        inspection.make_petrinet(net.split_loops, net.construction, net.combine_places, net.noise);
    }
    return std::nullopt;
}

// The log in memory replayed on the net, as one stage.
void replay_lines(Tvesk_util& controller, MessageSink& sink, const StatusCallback& status,
                  StageTimings* timings) {
    show(status, "Replaying the log");
    begin_stage(timings, "replay");
    controller.replay(false, sink);
}

// The net of a construction or file that needs no relations, on the task list alone.
MineOutcome mine_without_relations(Tvesk_util& controller, const NetOptions& net, bool replay,
                                   MessageSink& sink, const StatusCallback& status,
                                   StageTimings* timings) {
    show(status, "Building the net");
    begin_stage(timings, "net");
    MineOutcome outcome{.replayed = replay, .noise_choice = std::nullopt};
    if (!net.net_file.empty()) {
        read_net_file(controller, net.net_file, sink);
    } else if (net.construction == RelationsInspection::Construction::inductive) {
        outcome.noise_choice = inductive_net(controller, net, status);
    } else {
        throw std::logic_error("this construction is built from relations");
    }
    controller.net().Reset_replay_state();
    if (replay) replay_lines(controller, sink, status, timings);
    end_stage(timings);
    return outcome;
}

}  // namespace

MineOutcome mine_from_log(Tvesk_util& controller, const BuildRelationsRequest& request,
                          const NetOptions& net, bool replay, MessageSink& sink,
                          const StatusCallback& status, StageTimings* timings) {
    build_relations(controller, request, status, timings);
    MineOutcome outcome;
    // Nothing read: no net is made of nothing, and the caller says why from the read's figures.
    if (controller.log().empty()) return outcome;
    if (request.tasks_only)
        return mine_without_relations(controller, net, replay, sink, status, timings);
    RelationsInspection inspection(controller);
    begin_stage(timings, "facts");
    inspection.open_with_task_list();
    show(status, "Building the net");
    begin_stage(timings, "net");
    outcome.noise_choice = make_net(controller, inspection, net, sink, status);
    if (replay) {
        // The log in memory was read with the event types of these relations: the window's
        // replay reads the same lines again, so it is replayed as it is.
        replay_lines(controller, sink, status, timings);
        outcome.replayed = true;
    }
    begin_stage(timings, "facts");
    inspection.close();
    end_stage(timings);
    return outcome;
}

MineOutcome mine_from_relations_file(Tvesk_util& controller, const std::string& relations_path,
                                     bool resolve_externals, const std::optional<ReplayLog>& log,
                                     const NetOptions& net, MessageSink& sink,
                                     const StatusCallback& status, StageTimings* timings) {
    controller.reset();
    if (log) controller.set_case_filter(log->cases);
    RelationsInspection inspection(controller);
    show(status, "Reading relations");
    begin_stage(timings, "relations");
    inspection.open_with_relations_file(relations_path, resolve_externals, sink);
    // The inductive construction needs the lines of the log before the net.
    const bool lines_first =
        log && net.construction == RelationsInspection::Construction::inductive;
    if (lines_first) {
        show(status, "Reading the log");
        controller.load_log_plainly(log->path, resolve_externals, log->options);
        begin_stage(timings, "read");
        controller.set_filter(inspection.event_types_in_use());
        controller.read_process(log->process_id);
    }
    show(status, "Building the net");
    begin_stage(timings, "net");
    MineOutcome outcome;
    outcome.noise_choice = make_net(controller, inspection, net, sink, status);
    if (lines_first && log->replay) {
        replay_lines(controller, sink, status, timings);
        outcome.replayed = true;
    } else if (log && !lines_first) {
        show(status, "Replaying the log");
        controller.load_log_plainly(log->path, resolve_externals, log->options);
        inspection.replay_process(log->process_id, false, sink, timings);
        outcome.replayed = true;
    }
    begin_stage(timings, "facts");
    inspection.close();
    end_stage(timings);
    return outcome;
}

}  // namespace vesk
