#include "cli/mine_json.h"

#include <cmath>
#include <unordered_map>

#include "cli/cli_common.h"

namespace vesk::cli {

namespace {

nlohmann::json number_or_null(double value) {
    return std::isfinite(value) ? nlohmann::json(value) : nlohmann::json(nullptr);
}

nlohmann::json figures_json(const TStoch_var& figures) {
    if (figures.Nr_of_observations() == 0) return {{"observations", 0}};
    return {{"observations", figures.Nr_of_observations()},
            {"mean", number_or_null(figures.Mean())},
            {"variance", number_or_null(figures.Variance())},
            {"minimum", number_or_null(figures.Minimum())},
            {"maximum", number_or_null(figures.Maximum())}};
}

// The net itself: its transitions, and its places with the transitions on either side and the
// figures of the replay.
void add_net_json(const Tpetrinet& net, nlohmann::json& out) {
    nlohmann::json transitions = nlohmann::json::array();
    for (const auto& transition : net.transitions()) {
        nlohmann::json entry = {{"name", transition->name},
                                {"visible", transition->task != nullptr}};
        if (transition->task != nullptr) {
            const TstringTuple parts = transition->task->split_name();
            entry["activity"] = parts.activity;
            entry["event"] = parts.event;
            entry["occurrences"] = transition->occurrences;
        }
        transitions.push_back(entry);
    }
    // The transitions on either side of every place, in one pass over the arcs.
    std::unordered_map<const Tplace*, std::pair<nlohmann::json, nlohmann::json>> sides;
    for (const auto& arc : net.arcs()) {
        auto& [inputs, outputs] = sides[arc->place];
        (arc->to_place ? inputs : outputs).push_back(arc->transition->name);
    }
    const auto names = [](const nlohmann::json& list) {
        return list.is_null() ? nlohmann::json::array() : list;
    };
    nlohmann::json places = nlohmann::json::array();
    for (const auto& place : net.places()) {
        const auto& [inputs, outputs] = sides[place.get()];
        places.push_back({{"name", place->input_set + "  " + place->output_set},
                          {"input_transitions", names(inputs)},
                          {"output_transitions", names(outputs)},
                          {"waiting", figures_json(place->waiting_time)},
                          {"synchronisation", figures_json(place->sync_time)},
                          {"sojourn", figures_json(place->sojourn_time)}});
    }
    out["transition_list"] = transitions;
    out["place_list"] = places;
}

nlohmann::json structure_json(const NetStructure& s, const Tpetrinet& net) {
    return {{"workflow_net", s.workflow_net()},
            {"transitions_without_input", s.without_input},
            {"transitions_without_output", s.without_output},
            {"transitions_without_arcs", s.without_arcs},
            {"places_without_input", s.places_without_input},
            {"places_without_output", s.places_without_output},
            {"start_place_without_output", s.start_without_output},
            {"end_place_without_input", s.end_without_input},
            {"transitions_off_path", s.transitions_off_path},
            {"places_off_path", s.places_off_path},
            {"findings", structure_findings(s, visible_transitions(net))}};
}

template <typename T>
nlohmann::json value_or_null(const std::optional<T>& value) {
    return value ? nlohmann::json(*value) : nlohmann::json(nullptr);
}

}  // namespace

std::vector<std::string> listing(Tvesk_util& controller, const std::string& show) {
    std::vector<std::string> lines;
    if (show == "relations") controller.relations_text(lines);
    if (show == "net") controller.net_text(lines);
    if (show == "timing") controller.timing_text(lines);
    if (show == "tree" && !controller.process_tree_text().empty())
        lines.push_back(controller.process_tree_text());
    return lines;
}

namespace {

// {"op": "seq", "children": [{"activity": "a"}, {"op": "tau"}]}: the tree for a script.
nlohmann::json tree_json(const ProcessTree& tree, const std::vector<std::string>& names) {
    switch (tree.kind()) {
        case ProcessTree::Kind::activity:
            return {{"activity", names.at(static_cast<std::size_t>(tree.activity_id()))}};
        case ProcessTree::Kind::silent:
            return {{"op", "tau"}};
        case ProcessTree::Kind::sequence:
        case ProcessTree::Kind::choice:
        case ProcessTree::Kind::parallel:
        case ProcessTree::Kind::loop:
            break;
    }
    const char* op = tree.kind() == ProcessTree::Kind::sequence   ? "seq"
                     : tree.kind() == ProcessTree::Kind::choice   ? "xor"
                     : tree.kind() == ProcessTree::Kind::parallel ? "and"
                                                                  : "loop";
    nlohmann::json children = nlohmann::json::array();
    for (const ProcessTree& child : tree.children())
        children.push_back(tree_json(child, names));
    return {{"op", op}, {"children", std::move(children)}};
}

}  // namespace

nlohmann::json summary_json(Tvesk_util& controller, const MineSummary& summary,
                            const MineSource& source) {
    Tpetrinet& net = controller.net();
    nlohmann::json result = {{"relations", value_or_null(source.relations)},
                             {"log", value_or_null(source.log)},
                             {"process", value_or_null(source.process)},
                             {"events", value_or_null(source.events)}};
    result["net"] = {{"transitions", net.transitions().size()},
                     {"places", net.places().size()},
                     {"arcs", net.arcs().size()}};
    add_net_json(net, result["net"]);
    result["tree"] = controller.process_tree_text().empty()
                         ? nlohmann::json(nullptr)
                         : nlohmann::json(controller.process_tree_text());
    result["process_tree"] = controller.process_tree() ? tree_json(*controller.process_tree(),
                                                                   controller.process_tree_names())
                                                       : nlohmann::json(nullptr);
    result["structure"] = structure_json(controller.structure(), net);
    result["noise_choice"] = nullptr;
    if (const std::optional<NoiseChoice>& choice = summary.noise_choice) {
        nlohmann::json grid = nlohmann::json::array();
        const auto figures_json = [](const NoiseFigures& figures) {
            return nlohmann::json{{"fitness", figures.fitness},
                                  {"precision", figures.precision},
                                  {"f_score", figures.f_score},
                                  {"variants_not_aligned", figures.variants_not_aligned}};
        };
        for (const NoiseTrial& trial : choice->trials) {
            nlohmann::json row = figures_json(trial.figures);
            row["noise"] = trial.noise;
            row["repeats"] = repeat_weight_name(trial.repeats);
            row["activities_left_out"] = trial.activities_left_out;
            row["every_variant"] =
                trial.every_variant ? figures_json(*trial.every_variant) : nlohmann::json(nullptr);
            grid.push_back(row);
        }
        result["noise_choice"] = {{"chosen", choice->chosen},
                                  {"chosen_repeats", repeat_weight_name(choice->chosen_repeats)},
                                  {"grid", grid},
                                  {"variants_measured", choice->variants_measured},
                                  {"variants", choice->variants},
                                  {"cases_measured", choice->cases_measured},
                                  {"cases", choice->cases},
                                  {"trial_max_states", choice->trial_max_states}};
    }
    result["left_out"] = nullptr;
    if (controller.process_tree()) {
        result["left_out"] = nlohmann::json::array();
        for (const LeftOutActivity& activity : controller.left_out())
            result["left_out"].push_back({{"name", activity.name}, {"events", activity.events}});
    }
    result["replay"] = nullptr;
    result["flow_time_minutes"] = nullptr;
    if (summary.replayed) {
        nlohmann::json unfired = nlohmann::json::array();
        for (const Ttask* task : net.unfired_tasks)
            unfired.push_back(task->name());
        result["replay"] = {{"events", controller.log().size()},
                            {"cases", controller.cases_in_log()},
                            {"process_instances", controller.case_count()},
                            {"unfired_tasks", unfired},
                            {"safe", net.is_safe},
                            {"tokens_left", net.tokens_left}};
        if (!controller.case_filter().keeps_everything())
            result["replay"]["case_filter"] = {{"kept", controller.case_filter_result().kept},
                                               {"total", controller.case_filter_result().total}};
        if (const auto& counts = controller.token_counts())
            result["replay"]["fitness"] = {{"fitness", counts->fitness()},
                                           {"produced", counts->produced},
                                           {"consumed", counts->consumed},
                                           {"missing", counts->missing},
                                           {"remaining", counts->remaining},
                                           {"cases", counts->cases},
                                           {"fitting_cases", counts->fitting_cases},
                                           {"undecided_cases", counts->undecided_cases}};
        const TStoch_var& flow = controller.flow_time();
        if (flow.Nr_of_observations() > 0)
            result["flow_time_minutes"] = {{"observations", flow.Nr_of_observations()},
                                           {"mean", number_or_null(flow.Mean())},
                                           {"variance", number_or_null(flow.Variance())},
                                           {"minimum", number_or_null(flow.Minimum())},
                                           {"maximum", number_or_null(flow.Maximum())}};
    }
    result["files"] = summary.files;
    result["warnings"] = summary.warning_list.size();
    result["warning_list"] = warnings_json(summary.warning_list);
    result["errors"] = summary.errors;
    return result;
}

}  // namespace vesk::cli
