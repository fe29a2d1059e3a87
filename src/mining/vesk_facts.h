#pragma once
// Facts: stated relations between two tasks that can be switched on and off, checked for
// contradictions and applied back onto the tasks.

#include <cstdint>
#include <string>
#include <vector>

#include "mining/vesk_relation_kinds.h"
#include "mining/vesk_task.h"

namespace vesk {

struct Tfact {
    Tfact(Ttask* task1, std::int32_t distance, double certainty, Trelation_kind kind, Ttask* task2)
        : task1(task1), task2(task2), kind(kind), certainty(certainty), distance(distance) {}

    bool visited = false;  // work mark of the erroneous-set search
    bool used = false;     // switched on
    Ttask* task1;
    Ttask* task2;
    Trelation_kind kind;
    double certainty;
    std::int32_t distance;
};

using TintArray = std::vector<std::int32_t>;
using TintMatrix = std::vector<TintArray>;

// Whether fact b contradicts the earlier fact a.
bool facts_conflict(const Tfact& a, const Tfact& b);

class Tfactslist {
public:
    explicit Tfactslist(Ttasklist& tasks) : tasks_(&tasks) {}

    Ttasklist& task_list() const { return *tasks_; }
    std::int32_t add(const Tfact& fact);
    // Null outside 0..count-1.
    Tfact* get(std::int32_t position);
    const Tfact* get(std::int32_t position) const;
    std::int32_t count() const { return static_cast<std::int32_t>(facts_.size()); }
    void swap(std::int32_t a, std::int32_t b);
    static std::string_view kind_name(const Tfact& fact) { return relation_file_name(fact.kind); }

    // Appends the relations the tasks carry: causal, parallel, long-distance and direct
    // successions (with their relative frequency as certainty).
    void build_from_tasks();
    // Clears the relations of the tasks, then gives them exactly the relations of the used facts.
    void apply_to_tasks(const Ttasklist& tasks) const;
    void mark_all_used();
    // By task1 name (letters compared case-blind first), then task2 name.
    void sort();
    // Positions of the facts with task1 == task, then of those with task2 == task.
    TintArray facts_of_task(const Ttask* task) const;
    // Groups of used facts that contradict each other, in the order found.
    TintMatrix erroneous_sets();

    const std::vector<Tfact>& facts() const { return facts_; }

private:
    void quicksort(std::int32_t first, std::int32_t last);

    Ttasklist* tasks_;
    std::vector<Tfact> facts_;
};

// "A_complete   ->   B_complete": the fact as a fact list shows it.
std::string fact_text(const Tfact& fact);

}  // namespace vesk
