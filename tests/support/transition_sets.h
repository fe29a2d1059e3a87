#pragma once
// A net as sets: each place as the names of the transitions before it and after it, so that a
// net drawn by hand can be written down in a test and compared.

#include <map>
#include <set>
#include <string>
#include <utility>

#include "net/vesk_redisc.h"

namespace vesk::test {

using PlaceSets = std::pair<std::set<std::string>, std::set<std::string>>;

inline std::set<PlaceSets> transition_sets(const Tpetrinet& net) {
    std::map<const Tplace*, PlaceSets> sets;
    for (const auto& place : net.places())
        sets[place.get()];
    for (const auto& arc : net.arcs()) {
        const std::string name = arc->transition->task != nullptr ? arc->transition->task->name()
                                                                  : arc->transition->name;
        auto& [before, after] = sets[arc->place];
        (arc->to_place ? before : after).insert(name);
    }
    std::set<PlaceSets> result;
    for (const auto& [place, pair] : sets)
        result.insert(pair);
    return result;
}

}  // namespace vesk::test
