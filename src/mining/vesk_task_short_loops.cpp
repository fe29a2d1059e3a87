#include "mining/vesk_task_short_loops.h"

#include <string>

#include <vector>

namespace vesk {

namespace {

void make_mutual_cause(Ttask* t, Ttask* u) {
    t->causal_successors().add(u);
    t->causal_predecessors().add(u);
    t->parallel().remove(u);
}

void remove_short_loops(Towned_tasklist& tasks, ShortLoopLists& loops) {
    for (std::int32_t i = 0; i < tasks.count();) {
        Ttask* t = tasks.get(i);
        if (t->loop_length == 1) {
            loops.one_loop.adopt(tasks.release(t));
            for (Ttask* other : tasks) {
                other->causal_successors().remove(t);
                other->causal_predecessors().remove(t);
                other->parallel().remove(t);
            }
            continue;  // the next task moved into position i
        }
        if (t->loop_length == 2) {
            for (Ttask* u : t->tasks_in_two_loop) {
                make_mutual_cause(t, u);
                make_mutual_cause(u, t);
            }
        }
        ++i;
    }
}

void put_short_loops_back(Towned_tasklist& tasks, ShortLoopLists& loops) {
    while (!loops.one_loop.empty()) {
        Ttask* t = loops.one_loop.get(0);
        tasks.adopt(loops.one_loop.release(t));
        for (Ttask* s : t->causal_successors())
            s->causal_predecessors().add(t);
        for (Ttask* p : t->causal_predecessors())
            p->causal_successors().add(t);
        for (Ttask* q : t->parallel())
            q->parallel().add(t);
    }
    for (Ttask* t : tasks) {
        if (t->loop_length != 2) continue;
        for (Ttask* u : t->tasks_in_two_loop) {
            for (auto [x, y] : {std::pair{t, u}, std::pair{u, t}}) {
                x->causal_successors().remove(y);
                x->causal_predecessors().remove(y);
                x->parallel().add(y);
            }
        }
    }
}

Ttask* make_copy(ShortLoopLists& loops, const char* prefix, const Ttask& t, std::int32_t length) {
    Ttask* copy = loops.copies.create(prefix + t.name());
    copy->loop_length = length;
    return copy;
}

void link_succession(Ttask* from, Ttask* to) {
    from->record_successor(to);
    to->record_predecessor(from);
}

void replace_in(Ttasklist& list, Ttask* old_task, Ttask* new_task) {
    list.remove(old_task);
    list.add(new_task);
}

// Long-distance relations of t move to its copies at the given offsets.
void move_long_relations(Ttask* t, const TTaskArray& copies, const std::vector<int>& to_offsets,
                         const std::vector<int>& from_offsets) {
    const Ttasklist& successors = t->long_successors();
    for (std::int32_t i = 0; i < successors.count(); ++i) {
        Ttask* u = successors.get(i);
        const std::int32_t d = successors.value(i);
        for (std::size_t k = 0; k < copies.size(); ++k) {
            const std::int32_t at = checked_add(d, to_offsets[k]);
            copies[k]->add_long_successor(u, at);
            u->add_long_predecessor(copies[k], at);
        }
        u->long_predecessors().remove(t);
    }
    const Ttasklist& predecessors = t->long_predecessors();
    for (std::int32_t i = 0; i < predecessors.count(); ++i) {
        Ttask* u = predecessors.get(i);
        const std::int32_t d = predecessors.value(i);
        for (std::size_t k = 0; k < copies.size(); ++k) {
            const std::int32_t at = checked_add(d, from_offsets[k]);
            copies[k]->add_long_predecessor(u, at);
            u->add_long_successor(copies[k], at);
        }
        u->long_successors().remove(t);
    }
}

// The chain of copies starts and ends cases where the task did: without this a loop task that
// begins or ends a case would lose its arc from the start place or to the end place.
void copy_trace_flags(const Ttask& t, Ttask* first, Ttask* last) {
    first->is_trace_start = t.is_trace_start;
    last->is_trace_end = t.is_trace_end;
}

void split_one_loop(Ttask* t, ShortLoopLists& loops) {
    Ttask* c1 = make_copy(loops, "&%$1loop1$%&", *t, 3);
    Ttask* c2 = make_copy(loops, "&%$1loop2$%&", *t, 3);
    Ttask* c3 = make_copy(loops, "&%$1loop3$%&", *t, 3);
    copy_trace_flags(*t, c1, c3);
    link_succession(c1, c2);
    link_succession(c2, c3);
    link_succession(c3, c1);
    for (Ttask* s : t->causal_successors()) {
        c3->record_successor(s);
        replace_in(s->causal_predecessors(), t, c3);
    }
    for (Ttask* p : t->causal_predecessors()) {
        c1->record_predecessor(p);
        replace_in(p->causal_successors(), t, c1);
    }
    for (Ttask* q : t->parallel()) {
        for (Ttask* c : {c1, c2, c3}) {
            c->record_successor(q);
            c->record_predecessor(q);
        }
        if (q == t) continue;
        for (Ttask* c : {c1, c2, c3})
            q->parallel().add(c);
        q->parallel().remove(t);
    }
    for (Ttask* c : {c1, c2, c3})
        c->derive_parallel();
    move_long_relations(t, {c1, c2, c3}, {2, 1, 0}, {0, 1, 2});
}

void split_two_loop(Ttask* t, ShortLoopLists& loops) {
    Ttask* c1 = make_copy(loops, "&%$2loop1$%&", *t, 4);
    Ttask* c2 = make_copy(loops, "&%$2loop2$%&", *t, 4);
    copy_trace_flags(*t, c1, c2);
    link_succession(c1, c2);
    for (Ttask* s : t->causal_successors()) {
        c2->record_successor(s);
        replace_in(s->causal_predecessors(), t, c2);
    }
    for (Ttask* p : t->causal_predecessors()) {
        c1->record_predecessor(p);
        replace_in(p->causal_successors(), t, c1);
    }
    for (Ttask* q : t->parallel()) {
        if (t->tasks_in_two_loop.find_by_name(q->name()) != nullptr) {
            c2->record_successor(q);
            q->causal_predecessors().add(c2);
            c1->record_predecessor(q);
            q->causal_successors().add(c1);
        } else {
            for (Ttask* c : {c1, c2}) {
                c->record_successor(q);
                c->record_predecessor(q);
            }
            q->parallel().remove(t);
            q->parallel().add(c1);
            q->parallel().add(c2);
        }
    }
    for (Ttask* c : {c1, c2})
        c->derive_parallel();
    move_long_relations(t, {c1, c2}, {2, 1}, {0, 1});
}

Ttask* copy_named(const ShortLoopLists& loops, const char* prefix, const std::string& name) {
    return loops.copies.find_by_name(prefix + name);
}

void share_long_relations(Ttask* from, Ttask* to) {
    to->long_successors().add_all(from->long_successors());
    to->long_predecessors().add_all(from->long_predecessors());
}

void split_short_loops(Towned_tasklist& tasks, ShortLoopLists& loops) {
    for (std::int32_t i = 0; i < tasks.count();) {
        Ttask* t = tasks.get(i);
        if (t->loop_length != 1 && t->loop_length != 2) {
            ++i;
            continue;
        }
        const bool one = t->loop_length == 1;
        one ? split_one_loop(t, loops) : split_two_loop(t, loops);
        const std::int32_t first_copy = loops.copies.count() - (one ? 3 : 2);
        (one ? loops.one_loop : loops.two_loop).adopt(tasks.release(t));
        for (std::int32_t k = first_copy; k < loops.copies.count(); ++k)
            tasks.add(loops.copies.get(k));
    }
    for (Ttask* x : tasks) {
        const TstringTuple parts = x->split_name();
        if (parts.raw_name == parts.activity) continue;
        const std::string plain = parts.plain_name;
        if (x->name() == "&%$2loop1$%&" + plain) {
            share_long_relations(x, copy_named(loops, "&%$2loop2$%&", plain));
        } else if (x->name() == "&%$1loop1$%&" + plain) {
            share_long_relations(x, copy_named(loops, "&%$1loop2$%&", plain));
            share_long_relations(x, copy_named(loops, "&%$1loop3$%&", plain));
        }
    }
}

// The copied tasks take the place of their copies in the main list and in every relation.
void merge_copies(Towned_tasklist& tasks, ShortLoopLists& loops) {
    for (Towned_tasklist* list : {&loops.one_loop, &loops.two_loop})
        while (!list->empty())
            tasks.adopt(list->release(list->get(0)));
    tasks.remove_all(loops.copies);

    for (Ttask* x : tasks) {
        for (Ttask* c : loops.copies) {
            Ttask* copied = tasks.find_by_name(c->split_name().plain_name);
            if (copied == nullptr) continue;
            for (Ttasklist* list :
                 {&x->causal_successors(), &x->causal_predecessors(), &x->parallel()}) {
                if (!list->contains(c)) continue;
                list->remove(c);
                list->add(copied);
            }
            for (Ttasklist* list : {&x->long_successors(), &x->long_predecessors()}) {
                const std::int32_t at = list->index_of(c);
                if (at < 0) continue;
                const std::int32_t d = list->value(at);
                list->remove(c);
                list->add_with_value(copied, d);
            }
        }
    }
    detach_tasks(loops.copies, tasks);
    loops.copies.free_all();
}

}  // namespace

void prepare_short_loops(Towned_tasklist& tasks, ShortLoopLists& loops, bool split) {
    loops.one_loop.free_all();
    loops.two_loop.free_all();
    loops.copies.free_all();
    split ? split_short_loops(tasks, loops) : remove_short_loops(tasks, loops);
}

void restore_short_loop_tasks(Towned_tasklist& tasks, ShortLoopLists& loops, bool split) {
    split ? merge_copies(tasks, loops) : put_short_loops_back(tasks, loops);
}

}  // namespace vesk
