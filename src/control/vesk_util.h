#pragma once
// The mining controller: owns the log of the chosen process and its task list, and gives every
// front end the same entry points for a run.

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/message_sink.h"
#include "base/number_format.h"
#include "base/progress.h"
#include "conformance/conformance_check.h"
#include "discovery/inductive_miner.h"
#include "discovery/process_tree.h"
#include "formats/vesk_dot_writer.h"
#include "log/vesk_logline_reader.h"
#include "log/vesk_loglist.h"
#include "log/xml_log_stream.h"
#include "mining/vesk_task.h"
#include "net/net_structure.h"
#include "net/short_loop_transitions.h"
#include "net/vesk_redisc.h"
#include "net/vesk_token_fitness.h"
#include "process_map/case_filter.h"
#include "process_map/process_map.h"

namespace vesk {

// "1 (order handling)", or "2 (none)" for a process without description.
std::string process_list_entry(const LogProcess& process);
// The process id of a process list entry: its text up to the first blank.
std::string process_id_of_entry(const std::string& entry);
// "log.xml 1 relations": the name (without ".xml") under which a process's relations are saved.
// Path separators in the process id become "_" (here and in the export's names).
std::string relations_file_base_name(const std::string& log_path, const std::string& process_id);
// "Fitness: 0.9091 (tokens produced 11, ...); cases fitting exactly: 2 of 3".
std::string fitness_line(const TokenCounts& counts);
// "Left out as infrequent: A_ACTIVATED_complete (2,246 events), ..."; empty for none.
std::string left_out_line(const std::vector<LeftOutActivity>& left_out);
// "log.xml 1 ": the start of the names of an export's files.
std::string export_base_name(const std::string& log_path, const std::string& process_id);

// What one process of a log holds: its cases, its entries and their event kinds as the log
// names them ("" for none).
struct ProcessCounts {
    std::int32_t cases = 0;
    std::int64_t events = 0;
    std::map<std::string, std::int64_t> kinds;
};

class Tvesk_util {
public:
    // The separator of every figure the controller writes or lists; the front ends pass the
    // user's (locale_decimal_separator), so that nothing below reads the environment.
    explicit Tvesk_util(char decimal_separator = '.') : decimal_separator_(decimal_separator) {
        new_net();
    }
    Tvesk_util(const Tvesk_util&) = delete;
    Tvesk_util& operator=(const Tvesk_util&) = delete;

    // Discards the log and the task list.
    void reset();

    void set_filter(const Tevent_filter& filter) { filter_ = filter; }
    // Told how reading a process and replaying it go on; none by default.
    void set_progress(ProgressCallback progress) { progress_ = std::move(progress); }
    const ProgressCallback& progress() const { return progress_; }
    const Tevent_filter& filter() const { return filter_; }
    // The cases every later read keeps; all by default.
    void set_case_filter(const CaseFilter& filter) { case_filter_ = filter; }
    const CaseFilter& case_filter() const { return case_filter_; }
    // The cases the last read kept of those it read.
    const CaseFilterResult& case_filter_result() const { return case_filter_result_; }

    // Resets, then remembers the log file and how to parse it.
    // XES and MXML logs are read as the options say.
    void load_log(const std::string& file_name, bool resolve_externals,
                  const EventLogOptions& options = {});
    // Remembers the log file without a reset, so that relations and net stay (for a replay).
    void load_log_plainly(const std::string& file_name, bool resolve_externals,
                          const EventLogOptions& options = {});
    // Entries as the process list shows them; throws for an unreadable file. `refused`, when
    // given, receives the external entities the read refused to load.
    std::vector<std::string> list_processes(std::vector<std::string>* refused = nullptr) const;
    // The processes with their ids and descriptions apart.
    std::vector<LogProcess> processes(std::vector<std::string>* refused = nullptr) const;
    // Reads the whole process once to count it; nothing of the controller changes.
    ProcessCounts count_process(const std::string& id) const;
    // Replaces the log with the process's lines that pass the event filter, of the cases the
    // case filter keeps. A failed read leaves the log as it was.
    void read_process(const std::string& process_id);
    void build_task_list();
    // The tasks without their relations (build_tasks_only).
    void build_tasks_only();
    // The process map of the log in memory.
    ProcessMap process_map(const StepOptions& options) const {
        return build_process_map(log_, options);
    }
    // The overlap refinement on the log and the main task list; the types must differ.
    void overlap_parallel(const std::string& start_type, const std::string& stop_type);

    // Writes folder/file_name.xml from the main task list; returns the path written.
    std::filesystem::path write_relations(const std::filesystem::path& folder,
                                          const std::string& file_name,
                                          const std::string& dtd_location);
    // Separator of the figures in written files and listings.
    char decimal_separator() const { return decimal_separator_; }

    Towned_tasklist& main_task_list() { return main_tasks_; }
    const Tloglist& log() const { return log_; }
    // What the last read of a process forgave (unknown kinds, default dates and times).
    const ReadDiagnostics& read_diagnostics() const { return read_diagnostics_; }
    // The cases that the log holds after filtering (dropped cases do not count).
    std::int32_t cases_in_log() const;
    const std::string& log_file_name() const { return log_file_.path(); }
    // The attribute keys of the process's first `entries` entries (the log's, as far as its
    // options read attributes), in order of appearance: cheap enough for a window to offer.
    std::vector<std::string> sampled_attribute_keys(const std::string& process_id,
                                                    std::int64_t entries = 5000) const;
    std::int32_t case_count() const { return case_count_; }
    const std::string& process_description() const { return process_description_; }

    // The debug listing of the task list, appended to `lines`.
    void relations_text(std::vector<std::string>& lines);

    // Short loops around a construction; finish must follow prepare with the same split.
    void prepare_short_loops(bool split);
    void make_net(bool split);
    void make_net_2(bool combine_places, bool split);
    // The inductive construction on the log in memory (the task list names the transitions'
    // tasks). Throws when no log is in memory.
    void make_net_inductive(const InductiveOptions& options);
    // The process tree of the last inductive construction; empty after any other.
    const std::string& process_tree_text() const { return process_tree_text_; }
    // That tree and the activity names its ids index; no tree after any other construction.
    const std::optional<ProcessTree>& process_tree() const { return process_tree_; }
    const std::vector<std::string>& process_tree_names() const { return process_tree_names_; }
    // The log's activities the inductive construction left out as infrequent; empty after any
    // other construction.
    const std::vector<LeftOutActivity>& left_out() const { return left_out_; }
    void finish_short_loops(bool split);
    // Replaces the net with the one of a PNML file, its transitions matched to the task list's
    // tasks by their labels; returns the warnings. Throws XmlReadError or PnmlError.
    std::vector<std::string> read_net(const std::string& pnml_path);
    // Replays the whole log on the net in one pass: the timing figures and the token counts.
    // Findings are recorded in the net, and with show_messages each also goes to the sink once.
    void replay(bool show_messages, MessageSink& sink);
    // The net and the controller as before any replay: no figures, findings or token counts.
    void forget_replay();
    // The token-based fitness of the last replay; empty before one.
    const std::optional<TokenCounts>& token_counts() const { return token_counts_; }
    // Aligns the log in memory on the net. The result lasts until the net or the log changes.
    // Throws ConformanceError for a net whose end cannot be reached.
    const ConformanceResult& check_conformance(const ConformanceOptions& options);
    const std::optional<ConformanceResult>& conformance() const { return conformance_; }

    struct PlaceFigures {
        const TStoch_var* sync_time = nullptr;
        const TStoch_var* waiting_time = nullptr;
        const TStoch_var* sojourn_time = nullptr;
    };
    // All three absent for an index outside the places.
    PlaceFigures place_figures(std::int32_t index) const;
    const TStoch_var& flow_time() const { return net_->flow_time; }
    // What the net lacks to be a workflow net, checked afresh.
    NetStructure structure() const { return check_structure(*net_); }
    Tpetrinet& net() { return *net_; }
    void net_text(std::vector<std::string>& lines) const { net_->net_text(lines); }

    // Exports, in the order an export makes them. base is "log.xml 1 ": the dot files add "low"
    // and "high" to it, the text net ".tpn".
    void set_cluster_colour(std::uint32_t colour) { net_->Set_cluster_colour(colour); }
    // Returns the paths written.
    std::vector<std::filesystem::path> write_low_dot(const std::filesystem::path& folder,
                                                     const std::string& base,
                                                     bool write_probabilities);
    void set_export_options(const ExportFlags& flags) { export_flags_ = flags; }
    void write_high_dot(const std::filesystem::path& folder, const std::string& base);
    void write_text_net(const std::filesystem::path& folder, const std::string& base);
    // The net as PNML, beside the other files; returns the path written.
    std::filesystem::path write_pnml(const std::filesystem::path& folder, const std::string& base);
    // The timing listing of the net, then the fitness of the last replay.
    void timing_text(std::vector<std::string>& lines) const;

private:
    void new_net();
    void clear_process_tree();

    Tevent_filter filter_;
    CaseFilter case_filter_;
    CaseFilterResult case_filter_result_;
    std::unique_ptr<Tpetrinet> net_ = std::make_unique<Tpetrinet>();
    ShortLoopLists loops_;
    Towned_tasklist main_tasks_;
    Tloglist log_;
    WorkflowLogFile log_file_;
    std::int32_t case_count_ = -1;
    std::string process_description_;
    ReadDiagnostics read_diagnostics_;
    std::optional<TokenCounts> token_counts_;
    std::optional<ConformanceResult> conformance_;
    char decimal_separator_;
    ExportFlags export_flags_;
    std::string process_tree_text_;
    std::optional<ProcessTree> process_tree_;
    std::vector<std::string> process_tree_names_;
    std::vector<LeftOutActivity> left_out_;
    ProgressCallback progress_;
};

}  // namespace vesk
