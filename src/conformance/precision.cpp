#include "conformance/precision.h"

#include <algorithm>
#include <map>
#include <set>

namespace vesk {

namespace {

using Marking = std::vector<std::uint8_t>;

// One prefix of the model projections.
struct Prefix {
    Marking marking;
    std::int64_t cases = 0;
    std::map<std::int32_t, std::size_t> next;
};

bool enabled(const AlignmentNet& net, const Marking& marking, std::int32_t t) {
    const auto& inputs = net.inputs(t);
    return std::all_of(inputs.begin(), inputs.end(), [&marking](std::int32_t p) {
        return marking[static_cast<std::size_t>(p)] > 0;
    });
}

Marking fire(const AlignmentNet& net, Marking marking, std::int32_t t) {
    for (const std::int32_t p : net.inputs(t))
        --marking[static_cast<std::size_t>(p)];
    for (const std::int32_t p : net.outputs(t))
        marking[static_cast<std::size_t>(p)] =
            static_cast<std::uint8_t>(std::min(255, marking[static_cast<std::size_t>(p)] + 1));
    return marking;
}

// The labels of the visible transitions enabled at the marking or after invisible firings;
// false when the bound cut the search short.
bool allowed_labels(const AlignmentNet& net, const Marking& start, std::set<std::int32_t>& labels) {
    std::set<Marking> seen{start};
    std::vector<Marking> waiting{start};
    while (!waiting.empty()) {
        const Marking marking = std::move(waiting.back());
        waiting.pop_back();
        for (std::int32_t t = 0; t < net.transition_count(); ++t) {
            if (!enabled(net, marking, t)) continue;
            if (net.label(t) >= 0) {
                labels.insert(net.label(t));
                continue;
            }
            Marking next = fire(net, marking, t);
            if (seen.size() >= kMaxClosureMarkings) return false;
            if (seen.insert(next).second) waiting.push_back(std::move(next));
        }
    }
    return true;
}

}  // namespace

Precision escaping_edges_precision(const AlignmentNet& net,
                                   const std::vector<AlignedCases>& alignments) {
    std::vector<Prefix> prefixes(1);
    prefixes[0].marking = net.initial_marking();
    for (const AlignedCases& aligned : alignments) {
        if (aligned.alignment == nullptr || !aligned.alignment->aligned()) continue;
        std::size_t at = 0;
        prefixes[0].cases += aligned.cases;
        Marking marking = prefixes[0].marking;
        for (const AlignmentMove& move : aligned.alignment->moves) {
            if (!move.on_model()) continue;
            marking = fire(net, marking, move.transition);
            const std::int32_t label = net.label(move.transition);
            if (label < 0) continue;
            const auto [found, added] = prefixes[at].next.try_emplace(label, prefixes.size());
            const std::size_t child = found->second;
            if (added) prefixes.push_back(Prefix{marking, 0, {}});
            prefixes[child].cases += aligned.cases;
            at = child;
        }
    }
    // Many prefixes end in the same marking (a log of long cases has few distinct ones): the
    // invisible firings are followed once per marking.
    struct Allowed {
        std::set<std::int32_t> labels;
        bool complete = true;
    };
    std::map<Marking, Allowed> allowed_at;
    Precision result;
    for (const Prefix& prefix : prefixes) {
        auto [found, added] = allowed_at.try_emplace(prefix.marking);
        if (added)
            found->second.complete = allowed_labels(net, prefix.marking, found->second.labels);
        const std::set<std::int32_t>& labels = found->second.labels;
        if (!found->second.complete) ++result.prefixes_cut;
        std::int64_t escaping = 0;
        for (const std::int32_t label : labels)
            if (!prefix.next.contains(label)) ++escaping;
        result.escaping += prefix.cases * escaping;
        result.allowed += prefix.cases * static_cast<std::int64_t>(labels.size());
    }
    if (result.allowed > 0)
        result.value =
            1.0 - static_cast<double>(result.escaping) / static_cast<double>(result.allowed);
    return result;
}

}  // namespace vesk
