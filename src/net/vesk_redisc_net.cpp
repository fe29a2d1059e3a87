#include <algorithm>
#include <cstdio>
#include <set>
#include <unordered_map>

#include "base/number_format.h"
#include "base/text_util.h"
#include "net/vesk_redisc.h"

namespace vesk {

namespace {

// Splits "*A*&*B*" (with one "&" appended) into its entries; "" gives one empty entry.
std::vector<std::string> set_entries(std::string_view set) {
    std::vector<std::string> entries;
    const std::string text = std::string(set) + "&";
    std::size_t begin = 0;
    for (std::size_t at = text.find('&'); at != std::string::npos; at = text.find('&', begin)) {
        entries.push_back(text.substr(begin, at - begin));
        begin = at + 1;
    }
    return entries;
}

// Every entry occurs in the set; an argument that was empty imposes nothing.
bool contains_entries(const std::string& set, std::string_view searched,
                      const std::vector<std::string>& entries) {
    if (searched.empty()) return true;
    return std::all_of(entries.begin(), entries.end(), [&](const std::string& entry) {
        return contains_ignoring_case(set, entry);
    });
}

template <typename T>
void erase_owned(std::vector<std::unique_ptr<T>>& list, const T* item) {
    const auto it = std::find_if(list.begin(), list.end(), [item](const std::unique_ptr<T>& owned) {
        return owned.get() == item;
    });
    if (it != list.end()) list.erase(it);
}

}  // namespace

void Tpetrinet::Clear() {
    places_.clear();
    transitions_.clear();
    arcs_.clear();
}

void Tpetrinet::Reset_replay_state() {
    unfired_tasks.clear();
    is_safe = true;
    tokens_left = false;
}

void Tpetrinet::Set_cluster_colour(std::uint32_t colour) {
    char text[8];
    std::snprintf(text, sizeof text, "%02X%02X%02X", colour & 0xFFu, (colour >> 8) & 0xFFu,
                  (colour >> 16) & 0xFFu);
    cluster_colour = text;
}

Tplace* Tpetrinet::Add_place(std::unique_ptr<Tplace> place) {
    if (Tplace* found = Find_place(place->input_set, place->output_set)) return found;
    place->token_time = NO_TOKEN;
    places_.push_back(std::move(place));
    return places_.back().get();
}

Tplace* Tpetrinet::Add_place(std::string input_set, std::string output_set) {
    return Add_place(std::make_unique<Tplace>(std::move(input_set), std::move(output_set)));
}

Tplace* Tpetrinet::Add_new_place(std::string input_set, std::string output_set) {
    places_.push_back(std::make_unique<Tplace>(std::move(input_set), std::move(output_set)));
    return places_.back().get();
}

Tplace* Tpetrinet::Find_place(std::string_view inputs, std::string_view outputs) const {
    const auto input_entries = set_entries(inputs);
    const auto output_entries = set_entries(outputs);
    for (const auto& place : places_) {
        if (contains_entries(place->input_set, inputs, input_entries) &&
            contains_entries(place->output_set, outputs, output_entries))
            return place.get();
    }
    return nullptr;
}

Ttransition* Tpetrinet::Add_transition(std::string name, Ttask* task) {
    if (Ttransition* found = Find_transition(name)) return found;
    transitions_.push_back(std::make_unique<Ttransition>(Ttransition{std::move(name), task}));
    return transitions_.back().get();
}

Ttransition* Tpetrinet::Find_transition(std::string_view name) const {
    for (const auto& transition : transitions_)
        if (transition->name == name) return transition.get();
    return nullptr;
}

Ttransition* Tpetrinet::Transition_of_task(const Ttask* task) const {
    return Find_transition(task != nullptr ? std::string_view(task->name()) : std::string_view());
}

Tarc* Tpetrinet::Add_output_arc(Ttransition* transition, Tplace* place, double weight) {
    if (Tarc* found = Find_arc(transition, place, true)) return found;
    arcs_.push_back(std::make_unique<Tarc>(Tarc{place, transition, true, weight, 1.0}));
    return arcs_.back().get();
}

Tarc* Tpetrinet::Add_new_arc(Tplace* place, Ttransition* transition, bool to_place, double weight) {
    arcs_.push_back(std::make_unique<Tarc>(Tarc{place, transition, to_place, weight, 1.0}));
    return arcs_.back().get();
}

Tarc* Tpetrinet::Add_input_arc(Tplace* place, Ttransition* transition, double weight) {
    if (Tarc* found = Find_arc(transition, place, false)) {
        found->probability += weight;
        return found;
    }
    arcs_.push_back(std::make_unique<Tarc>(Tarc{place, transition, false, weight, 1.0}));
    return arcs_.back().get();
}

Tarc* Tpetrinet::Find_arc(const Ttransition* transition, const Tplace* place, bool to_place) const {
    for (const auto& arc : arcs_)
        if (arc->transition == transition && arc->place == place && arc->to_place == to_place)
            return arc.get();
    return nullptr;
}

Parclist Tpetrinet::Arcs_of_place(const Tplace* place, bool to_place) const {
    Parclist result;
    for (const auto& arc : arcs_)
        if (arc->place == place && arc->to_place == to_place) result.push_back(arc.get());
    return result;
}

Parclist Tpetrinet::Arcs_of_transition(const Ttransition* transition, bool to_place) const {
    Parclist result;
    for (const auto& arc : arcs_)
        if (arc->transition == transition && arc->to_place == to_place) result.push_back(arc.get());
    return result;
}

Tplacelist Tpetrinet::Places_between(const Ttransition* from, const Ttransition* to,
                                     bool strict) const {
    // One pass over the arcs marks each place, then the places are taken in their order.
    enum : unsigned char { from_out = 1, to_in = 2, from_in = 4, to_out = 8 };
    std::unordered_map<const Tplace*, unsigned char> marks;
    for (const auto& arc : arcs_) {
        if (arc->transition == from) marks[arc->place] |= arc->to_place ? from_out : from_in;
        if (arc->transition == to) marks[arc->place] |= arc->to_place ? to_out : to_in;
    }
    Tplacelist result;
    if (marks.empty()) return result;
    for (const auto& place : places_) {
        const auto it = marks.find(place.get());
        if (it == marks.end()) continue;
        const unsigned char m = it->second;
        const bool forward = (m & from_out) && (m & to_in);
        const bool backward = !strict && (m & from_in) && (m & to_out);
        if (forward || backward) result.push_back(place.get());
    }
    return result;
}

Tplace* Tpetrinet::Common_place(const Ttransition* from, const Ttransition* to) const {
    for (const Tarc* arc : Arcs_of_transition(from, true))
        if (Find_arc(to, arc->place, false)) return arc->place;
    return nullptr;
}

Tplace* Tpetrinet::Place_at(std::int32_t index) const {
    if (index < 0 || index >= Place_count()) return nullptr;
    return places_[static_cast<std::size_t>(index)].get();
}

// Both searches remember what they entered, so a cycle of task-less transitions ends them.
bool Tpetrinet::Reaches_place(const Ttransition* transition, const Tplace* place) const {
    std::set<const Ttransition*> entered;
    const auto search = [&](const auto& self, const Ttransition* from) -> bool {
        if (!entered.insert(from).second) return false;
        for (const Tarc* out : Arcs_of_transition(from, true)) {
            if (out->place == place) return true;
            for (const Tarc* next : Arcs_of_place(out->place, false))
                if (next->transition->task == nullptr && self(self, next->transition)) return true;
        }
        return false;
    };
    return search(search, transition);
}

bool Tpetrinet::Reaches_transition(const Tplace* place, const Ttransition* transition) const {
    std::set<const Tplace*> entered;
    const auto search = [&](const auto& self, const Tplace* from) -> bool {
        if (!entered.insert(from).second) return false;
        for (const Tarc* out : Arcs_of_place(from, false)) {
            if (out->transition == transition) return true;
            if (out->transition->task != nullptr) continue;
            for (const Tarc* next : Arcs_of_transition(out->transition, true))
                if (self(self, next->place)) return true;
        }
        return false;
    };
    return search(search, place);
}

void Tpetrinet::Remove_arc(const Tarc* arc) {
    erase_owned(arcs_, arc);
}

void Tpetrinet::Remove_place(const Tplace* place) {
    std::erase_if(arcs_, [place](const std::unique_ptr<Tarc>& arc) { return arc->place == place; });
    erase_owned(places_, place);
}

void Tpetrinet::Remove_transition(const Ttransition* transition) {
    std::erase_if(arcs_, [transition](const std::unique_ptr<Tarc>& arc) {
        return arc->transition == transition;
    });
    erase_owned(transitions_, transition);
}

void Tpetrinet::net_text(std::vector<std::string>& lines) const {
    lines.emplace_back("transitions");
    for (const auto& transition : transitions_)
        lines.push_back(transition->name);
    lines.emplace_back();
    lines.emplace_back("places");
    for (const auto& place : places_)
        lines.push_back(place->input_set + "_" + place->output_set);
    lines.emplace_back();
    lines.emplace_back("rules");
    for (const auto& arc : arcs_) {
        const std::string place = arc->place->input_set + "_" + arc->place->output_set;
        lines.push_back(arc->to_place ? arc->transition->name + "  -->  " + place
                                      : place + "  -->  " + arc->transition->name);
    }
}

void Tpetrinet::timing_text(std::vector<std::string>& lines, char separator) const {
    for (const auto& place : places_) {
        std::string line = place->input_set + "_" + place->output_set + "  : ";
        if (place->sync_time.Mean() != -1.0)
            line += "S:" + format_general(place->sync_time.Mean(), separator);
        if (place->waiting_time.Mean() != -1.0)
            line += "W" + format_general(place->waiting_time.Mean(), separator);
        lines.push_back(line);
    }
}

}  // namespace vesk
