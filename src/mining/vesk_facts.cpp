#include "mining/vesk_facts.h"

#include <algorithm>
#include <array>
#include <map>
#include <utility>

namespace vesk {

namespace {

using KindSet = std::uint16_t;  // bit k set: kind k conflicts

constexpr KindSet kinds(std::initializer_list<int> list) {
    KindSet set = 0;
    for (int k : list)
        set = static_cast<KindSet>(set | (1u << k));
    return set;
}

// Row ka: the kinds of a later fact on the same (task1, task2) that contradict a fact of kind ka.
constexpr std::array<KindSet, kRelationKindCount> kSamePair = {
    kinds({}),        kinds({4, 6}), kinds({3, 4, 6}), kinds({2, 4, 7}), kinds({2, 3, 8}),
    kinds({1, 2, 3}), kinds({2}),    kinds({3}),       kinds({4})};

// The same for a later fact on the swapped pair; kinds 0 and 6 have no row.
constexpr std::array<KindSet, kRelationKindCount> kSwappedPair = {
    kinds({}),  kinds({2, 4}), kinds({1, 2, 3, 4}), kinds({2, 4, 7}), kinds({1, 2, 3}),
    kinds({3}), kinds({}),     kinds({3}),          kinds({4})};
constexpr std::array<bool, kRelationKindCount> kHasSwappedRow = {false, true,  true, true, true,
                                                                 true,  false, true, true};

bool contains(KindSet set, Trelation_kind kind) {
    return (set >> static_cast<int>(kind)) & 1u;
}

unsigned char lower_ascii(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u >= 'A' && u <= 'Z' ? static_cast<unsigned char>(u - 'A' + 'a') : u;
}

// Byte order on unsigned characters, a prefix first; optionally with A to Z lower-cased.
int compare_bytes(const std::string& a, const std::string& b, bool lower = false) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char ca = lower ? lower_ascii(a[i]) : static_cast<unsigned char>(a[i]);
        const unsigned char cb = lower ? lower_ascii(b[i]) : static_cast<unsigned char>(b[i]);
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

// Whether fact a sorts after fact b.
bool sorts_after(const Tfact& a, const Tfact& b) {
    const std::string& a1 = a.task1->name();
    const std::string& b1 = b.task1->name();
    const int lower = compare_bytes(a1, b1, true);
    if (lower != 0) return lower > 0;
    const int exact = compare_bytes(a1, b1);
    if (exact != 0) return exact > 0;
    return compare_bytes(a.task2->name(), b.task2->name()) > 0;
}

}  // namespace

bool facts_conflict(const Tfact& a, const Tfact& b) {
    bool result = false;
    const auto ka = static_cast<std::size_t>(a.kind);
    if (a.task1 == b.task1 && a.task2 == b.task2) result = contains(kSamePair[ka], b.kind);
    if (a.task1 == b.task2 && a.task2 == b.task1 && kHasSwappedRow[ka])
        result = contains(kSwappedPair[ka], b.kind);
    return result;
}

std::int32_t Tfactslist::add(const Tfact& fact) {
    facts_.push_back(fact);
    return checked_int32(facts_.size() - 1);
}

Tfact* Tfactslist::get(std::int32_t position) {
    if (position < 0 || position >= count()) return nullptr;
    return &facts_[static_cast<std::size_t>(position)];
}

const Tfact* Tfactslist::get(std::int32_t position) const {
    if (position < 0 || position >= count()) return nullptr;
    return &facts_[static_cast<std::size_t>(position)];
}

void Tfactslist::swap(std::int32_t a, std::int32_t b) {
    std::swap(facts_.at(static_cast<std::size_t>(a)), facts_.at(static_cast<std::size_t>(b)));
}

void Tfactslist::build_from_tasks() {
    std::int32_t largest = 0;
    for (const Ttask* task : *tasks_)
        for (const Tfreq& entry : task->successor_counts())
            largest = std::max(largest, entry.count);
    const double m = largest;
    for (Ttask* a : *tasks_) {
        for (Ttask* b : a->causal_successors())
            add(Tfact(a, 0, 1.0, Trelation_kind::caus, b));
        for (Ttask* b : a->parallel())
            add(Tfact(a, 0, 1.0, Trelation_kind::par, b));
        const Ttasklist& long_successors = a->long_successors();
        for (std::int32_t i = 0; i < long_successors.count(); ++i)
            add(Tfact(a, long_successors.value(i), 1.0, Trelation_kind::long_succ,
                      long_successors.get(i)));
        for (const Tfreq& entry : a->successor_counts())
            add(Tfact(a, 1, entry.count / m, Trelation_kind::succ, entry.task));
    }
}

void Tfactslist::apply_to_tasks(const Ttasklist& tasks) const {
    clear_relations(tasks);
    for (const Tfact& fact : facts_) {
        if (!fact.used) continue;
        Ttask* a = fact.task1;
        Ttask* b = fact.task2;
        switch (fact.kind) {
            case Trelation_kind::long_succ:
                a->add_long_successor(b, fact.distance);
                b->add_long_predecessor(a, fact.distance);
                break;
            case Trelation_kind::succ:
                a->add_long_successor(b, 1);
                b->add_long_predecessor(a, 1);
                a->record_successor(b);
                b->record_predecessor(a);
                break;
            case Trelation_kind::caus:
                a->causal_successors().add(b);
                b->causal_predecessors().add(a);
                a->add_long_successor(b, 1);
                b->add_long_predecessor(a, 1);
                break;
            case Trelation_kind::par:
                a->parallel().add(b);
                b->parallel().add(a);
                a->add_long_successor(b, 1);
                b->add_long_predecessor(a, 1);
                b->add_long_successor(a, 1);
                a->add_long_predecessor(b, 1);
                break;
            default:
                break;
        }
    }
}

void Tfactslist::mark_all_used() {
    for (Tfact& fact : facts_)
        fact.used = true;
}

void Tfactslist::sort() {
    quicksort(0, count() - 1);
}

// Quicksort with the first fact as pivot. The order it leaves among facts with equal names is
// part of the result (it decides which of two contradicting facts counts as the earlier one), so
// the partition must stay exactly this one. Recursing into the smaller side only keeps the stack
// shallow on already sorted lists.
void Tfactslist::quicksort(std::int32_t first, std::int32_t last) {
    while (first < last) {
        std::int32_t i = first;
        const Tfact pivot = facts_[static_cast<std::size_t>(first)];
        for (std::int32_t j = first + 1; j <= last; ++j) {
            if (sorts_after(pivot, facts_[static_cast<std::size_t>(j)])) {
                ++i;
                swap(i, j);
            }
        }
        swap(first, i);
        if (i - first < last - i) {
            quicksort(first, i - 1);
            first = i + 1;
        } else {
            quicksort(i + 1, last);
            last = i - 1;
        }
    }
}

TintArray Tfactslist::facts_of_task(const Ttask* task) const {
    TintArray positions;
    for (std::int32_t i = 0; i < count(); ++i)
        if (facts_[static_cast<std::size_t>(i)].task1 == task) positions.push_back(i);
    for (std::int32_t i = 0; i < count(); ++i)
        if (facts_[static_cast<std::size_t>(i)].task2 == task) positions.push_back(i);
    return positions;
}

// Only facts on the same two tasks can conflict, so the search looks within those groups.
TintMatrix Tfactslist::erroneous_sets() {
    for (Tfact& fact : facts_)
        fact.visited = false;
    std::map<std::pair<const Ttask*, const Ttask*>, TintArray> same_tasks;
    for (std::int32_t i = 0; i < count(); ++i) {
        const Tfact& fact = facts_[static_cast<std::size_t>(i)];
        if (!fact.used) continue;
        same_tasks[std::minmax<const Ttask*>(fact.task1, fact.task2)].push_back(i);
    }
    TintMatrix sets;
    for (std::int32_t i = 0; i < count(); ++i) {
        const Tfact& fact = facts_[static_cast<std::size_t>(i)];
        if (!fact.used) continue;
        const TintArray& group = same_tasks[std::minmax<const Ttask*>(fact.task1, fact.task2)];
        const auto later = std::upper_bound(group.begin(), group.end(), i);
        const auto conflict = std::find_if(later, group.end(), [&](std::int32_t j) {
            return facts_conflict(fact, facts_[static_cast<std::size_t>(j)]);
        });
        if (conflict == group.end()) continue;
        TintArray set = {i, *conflict};
        for (const std::int32_t k : group)
            if (k != i && k != *conflict) set.push_back(k);
        const bool seen = std::any_of(set.begin(), set.end(), [this](std::int32_t k) {
            return facts_[static_cast<std::size_t>(k)].visited;
        });
        if (seen) continue;
        for (const std::int32_t k : set)
            facts_[static_cast<std::size_t>(k)].visited = true;
        sets.push_back(std::move(set));
    }
    return sets;
}

std::string fact_text(const Tfact& fact) {
    return fact.task1->name() + std::string(relation_symbol(fact.kind)) + fact.task2->name();
}

}  // namespace vesk
