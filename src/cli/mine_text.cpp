#include "cli/mine_text.h"

#include <cstdio>

#include "base/number_format.h"
#include "cli/console.h"

namespace vesk::cli {

namespace {

std::string figure(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.4f", value);
    return text;
}

}  // namespace

void print_mine_text(Tvesk_util& controller, bool replayed, std::optional<double> noise,
                     Console& console) {
    std::ostream& out = console.out();
    Tpetrinet& net = controller.net();
    out << "Net: " << net.transitions().size() << " transitions, " << net.places().size()
        << " places, " << net.arcs().size() << " arcs\n";
    const NetStructure structure = controller.structure();
    const std::vector<std::string> findings =
        structure_findings(structure, visible_transitions(net));
    if (findings.empty())
        out << "Structure: a workflow net, every node on a path from the start to the end place\n";
    for (std::size_t i = 0; i < findings.size(); ++i)
        out << (i == 0 ? "Structure: " : "  ") << findings[i] << '\n';
    if (!findings.empty()) out << "Hint: " << kStructureHint << '\n';
    // Activities the filter took out are said by name: no figure would show that they are gone.
    if (const std::string left_out = left_out_line(controller.left_out()); !left_out.empty())
        out << left_out << '\n';
    if (!replayed) return;
    const std::int32_t cases = controller.cases_in_log();
    const CaseFilterResult& kept = controller.case_filter_result();
    if (!controller.case_filter().keeps_everything())
        out << "Case filter: kept " << kept_cases_text(kept) << '\n';
    out << "Replayed: " << controller.log().size() << " events of " << cases << " cases\n";
    if (controller.case_count() > kept.total)
        out << "Not replayed: " << controller.case_count() - kept.total << " of the process's "
            << controller.case_count()
            << " instances (left out for abort or withdraw events, or without events of the "
               "types read)\n";
    out << "Unfired tasks:";
    if (net.unfired_tasks.empty()) out << " none";
    // A long list would bury the rest of the summary; the JSON keeps every name.
    constexpr std::int32_t kUnfiredShown = 20;
    for (std::int32_t i = 0; i < net.unfired_tasks.count() && i < kUnfiredShown; ++i)
        out << "\n  " << net.unfired_tasks.get(i)->name();
    if (net.unfired_tasks.count() > kUnfiredShown)
        out << "\n  and " << net.unfired_tasks.count() - kUnfiredShown << " more";
    // Inductive nets are sound: a place that held two tokens says where the replay forced its
    // way, not that the net is unsafe.
    if (controller.process_tree())
        out << "\nDuring replay a place held more than one token: " << (net.is_safe ? "no" : "yes")
            << '\n';
    else
        out << "\nSafe: " << (net.is_safe ? "yes" : "no") << '\n';
    out << "Tokens left: " << (net.tokens_left ? "yes" : "no") << '\n';
    const TStoch_var& flow = controller.flow_time();
    out << "Flow time (minutes): observations " << flow.Nr_of_observations() << ", mean "
        << figure(flow.Mean()) << ", variance " << figure(flow.Variance()) << ", minimum "
        << figure(flow.Minimum()) << ", maximum " << figure(flow.Maximum()) << '\n';
    if (!controller.token_counts()) return;
    const TokenCounts& counts = *controller.token_counts();
    const std::string note = free_firing_note(structure);
    out << fitness_line(counts) << (note.empty() ? "" : "; " + note) << '\n';
    // The unfired tasks and misfits of a filtered construction are the behaviour it left out
    // on purpose: said, so that they do not read as a broken net.
    if (noise && *noise > 0 && counts.fitting_cases < counts.cases)
        out << "Note: noise " << format_general(*noise, '.') << " leaves infrequent behaviour out "
            << "of the net, so " << grouped_number(counts.cases - counts.fitting_cases)
            << (counts.cases - counts.fitting_cases == 1 ? " case does" : " cases do")
            << " not fit it exactly; --noise 0 makes a net that fits every case\n";
}

}  // namespace vesk::cli
