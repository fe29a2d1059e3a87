#pragma once
// What the relations inspector does with the relations, apart from its window: the facts list
// made from a task list or read from a relations file, its contradictions, and writing the
// switched-on facts back into the task list.

#include <memory>
#include <optional>
#include <string>

#include "base/message_sink.h"
#include "control/stage_timings.h"
#include "control/vesk_util.h"
#include "mining/vesk_facts.h"
#include "xml/xml_document.h"

namespace vesk {

// Reads a relations file into lists of its own, so that one that cannot be read is refused
// before anything changes. Throws as reading it for the inspector would.
void check_relations_file(const std::string& path, bool resolve_externals);

// The log and process a relations file was written from, as its name says ("LOG PROCESS
// relations.xml", written beside or into the log's folder): the log beside the relations file
// whose processes include PROCESS. Empty when the name says nothing or the log is not there.
struct RelationsSource {
    std::string log;
    std::string process;
};
std::optional<RelationsSource> relations_source_of(const std::string& relations_file);

class RelationsInspection {
public:
    explicit RelationsInspection(Tvesk_util& controller) : controller_(controller) {}

    // Facts from the relations the controller's main task list carries, all switched on.
    void open_with_task_list();
    // Facts read from a relations file into the controller's (reset) main task list, all
    // switched on. Throws when the file cannot be read.
    void open_with_relations_file(const std::string& path, bool resolve_externals,
                                  MessageSink& sink);

    // Recomputes the erroneous sets of the switched-on facts.
    void check_relations() { erroneous_sets_ = facts_->erroneous_sets(); }
    const TintMatrix& erroneous_sets() const { return erroneous_sets_; }
    Tfactslist& facts() { return *facts_; }

    // Gives the task list exactly the relations of the switched-on facts.
    void apply() { facts_->apply_to_tasks(controller_.main_task_list()); }
    // Closing the inspector: the task list takes the facts, so that what comes after (the
    // debug listing, the export) sees the relations as the inspector left them. The facts are
    // dropped; opening again builds them anew.
    void close();
    bool is_open() const { return facts_ != nullptr; }

    // Applies the facts and builds the controller's net from them, with short loops set aside
    // (or split) around the construction; the task list is restored even when it fails.
    // The inductive construction works on the log in memory, not on the facts: short loops
    // and the split switch do not concern it.
    enum class Construction { alpha, second, inductive };
    void make_petrinet(bool split, Construction construction = Construction::alpha,
                       bool combine_places = true, double noise = 0.2);

    // The event types that occur in the facts' tasks: a log is replayed with exactly these.
    Tevent_filter event_types_in_use() const;
    // Reads the process of the controller's log with those event types.
    void read_process(const std::string& process_id);
    // Reads the process of the controller's log with those event types and replays it; with
    // timings, as the stages "read" and "replay".
    void replay_process(const std::string& process_id, bool show_messages, MessageSink& sink,
                        StageTimings* timings = nullptr);

private:
    void prepare();

    Tvesk_util& controller_;
    std::unique_ptr<Tfactslist> facts_;
    TintMatrix erroneous_sets_;
    XmlDocument relations_xml_;
};

}  // namespace vesk
