#include "cli/conformance_output.h"

#include <algorithm>
#include <cmath>

#include "base/number_format.h"
#include "cli/console.h"

namespace vesk::cli {

namespace {

constexpr std::size_t kActivitiesShown = 10;
constexpr std::size_t kVariantsShown = 5;

std::string figure(double value) {
    return format_fixed4(value, '.');
}

std::string count(std::int64_t value) {
    return grouped_number(value);
}

nlohmann::json moves_json(const ConformanceResult& result, const Alignment& alignment) {
    nlohmann::json moves = nlohmann::json::array();
    for (const AlignmentMove& move : alignment.moves) {
        nlohmann::json entry = {{"log", nullptr}, {"model", nullptr}};
        if (move.on_log()) entry["log"] = result.net.display_name(move.log_label);
        if (move.on_model()) {
            const std::int32_t label = result.net.label(move.transition);
            if (label >= 0) {
                entry["model"] = result.net.display_name(label);
            } else {
                entry["model"] = result.net.transition_name(move.transition);
                entry["invisible"] = true;
            }
        }
        moves.push_back(std::move(entry));
    }
    return moves;
}

}  // namespace

std::string alignment_row(const ConformanceResult& result, const Alignment& alignment) {
    std::string row;
    for (const AlignmentMove& move : alignment.moves) {
        std::string text;
        if (move.synchronous())
            text = result.net.display_name(move.log_label);
        else if (move.on_log())
            text = "+" + result.net.display_name(move.log_label);
        else if (result.net.label(move.transition) >= 0)
            text = "-" + result.net.display_name(result.net.label(move.transition));
        else
            continue;
        if (!row.empty()) row += "  ";
        row += text;
    }
    return row;
}

void print_conformance_text(const ConformanceResult& result, double seconds, Console& console) {
    std::ostream& out = console.out();
    const auto variants = static_cast<std::int64_t>(result.variants.size());
    out << "Alignments: " << count(variants - result.variants_not_aligned) << " of "
        << count(variants) << " variants (" << count(result.cases - result.cases_not_aligned)
        << " of " << count(result.cases) << " cases) aligned in "
        << format_general(std::round(seconds * 10.0) / 10.0, '.')
        << " s; the net's cheapest run costs " << result.cheapest_run << '\n';
    if (result.variants_not_aligned > 0)
        out << "Not aligned: " << count(result.variants_not_aligned) << " variants ("
            << count(result.cases_not_aligned)
            << " cases) reached the bound of states (--max-states) and are left out of the "
               "figures\n";
    out << "Alignment fitness: " << figure(result.fitness) << " (cases fitting "
        << count(result.cases_fitting) << ", variants fitting " << count(result.variants_fitting)
        << ")\n";
    out << "Precision: " << figure(result.precision.value)
        << " (escaping edges); F-score: " << figure(result.f_score) << '\n';
    if (result.precision.prefixes_cut > 0)
        out << "Note: at " << count(result.precision.prefixes_cut)
            << " prefixes the invisible firings were cut short; precision may be overstated\n";
    const auto activities = by_deviations(result);
    if (!activities.empty() &&
        activities.front()->log_moves + activities.front()->model_moves > 0) {
        out << "Most deviations (activity: synchronous, happened where the net does not allow "
               "it, skipped):\n";
        for (std::size_t i = 0; i < activities.size() && i < kActivitiesShown; ++i) {
            const ActivityMoves& moves = *activities[i];
            if (moves.log_moves + moves.model_moves == 0) break;
            out << "  " << result.net.display_name(moves.label) << ": " << count(moves.synchronous)
                << ", " << count(moves.log_moves) << ", " << count(moves.model_moves) << '\n';
        }
    }
    std::vector<const VariantAlignment*> costly = by_cost(result);
    std::erase_if(costly, [](const VariantAlignment* variant) {
        return !variant->alignment.aligned() || variant->alignment.cost == 0;
    });
    if (costly.empty()) return;
    out << "Most costly variants (+ only in the log, - only in the net):\n";
    for (std::size_t i = 0; i < costly.size() && i < kVariantsShown; ++i)
        out << "  cost " << costly[i]->alignment.cost << ", " << count(costly[i]->cases)
            << (costly[i]->cases == 1 ? " case: " : " cases: ")
            << alignment_row(result, costly[i]->alignment) << '\n';
}

void add_conformance_json(const ConformanceResult& result, nlohmann::json& document) {
    nlohmann::json variants = nlohmann::json::array();
    for (const VariantAlignment& variant : result.variants) {
        nlohmann::json activities = nlohmann::json::array();
        for (const std::int32_t label : variant.trace)
            activities.push_back(result.net.display_name(label));
        nlohmann::json entry = {{"activities", std::move(activities)},
                                {"cases", variant.cases},
                                {"aligned", variant.alignment.aligned()}};
        if (variant.alignment.aligned()) {
            entry["cost"] = variant.alignment.cost;
            entry["fitness"] = variant.fitness;
            entry["moves"] = moves_json(result, variant.alignment);
        }
        variants.push_back(std::move(entry));
    }
    nlohmann::json activity_list = nlohmann::json::array();
    for (const ActivityMoves* moves : by_deviations(result))
        activity_list.push_back({{"activity", result.net.display_name(moves->label)},
                                 {"synchronous", moves->synchronous},
                                 {"log_moves", moves->log_moves},
                                 {"model_moves", moves->model_moves}});
    document["alignments"] = {{"fitness", result.fitness},
                              {"cases", result.cases},
                              {"cases_fitting", result.cases_fitting},
                              {"cases_not_aligned", result.cases_not_aligned},
                              {"variants", result.variants.size()},
                              {"variants_fitting", result.variants_fitting},
                              {"variants_not_aligned", result.variants_not_aligned},
                              {"cheapest_run", result.cheapest_run},
                              {"variant_list", std::move(variants)},
                              {"activity_list", std::move(activity_list)}};
    document["precision"] = result.precision.value;
    document["f_score"] = result.f_score;
}

}  // namespace vesk::cli
