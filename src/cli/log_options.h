#pragma once
// The options of every command that reads a process from a log, declared once: LOG,
// --process, --events, --overlap and --external-dtd.

#include <optional>
#include <string>
#include <vector>

#include "cli/case_filter_options.h"
#include "control/build_relations.h"
#include "control/read_warnings.h"

namespace CLI {
class App;
class Option;
}  // namespace CLI

namespace vesk::cli {

class Console;

struct ProcessRead {
    BuildRelationsRequest request;
    std::vector<ReadWarning> warnings;
};

class LogReadOptions {
public:
    // With log_required false, LOG may be left out (another source stands in for it).
    void declare(CLI::App& app, bool log_required);

    bool has_log() const { return !log_.empty(); }
    const std::string& log() const { return log_; }
    bool has_process() const { return !process_.empty(); }
    const std::string& process() const { return process_; }
    bool resolve_externals() const { return external_dtd_; }
    // How an XES or MXML log is read, with the attributes --attributes, the command's need and
    // the case filter's conditions ask for.
    EventLogOptions event_log_options() const;
    // What the command reads of the attributes when --attributes is not given (default none).
    void set_attribute_need(AttributeChoice need) { attribute_need_ = std::move(need); }
    // Whether --events or --overlap were given.
    bool asks_for_events() const;
    // The cases kept of those read.
    CaseFilter case_filter() const { return cases_.filter(); }

    // The request for Build relations: the rules of the "Used events" boxes applied (changes
    // are noted on the console) and the overlap variants checked against the types read.
    // Without --process, a log of exactly one process gives that process (the controller has
    // the log loaded); any other log is a usage error.
    BuildRelationsRequest request(Console& console, const Tvesk_util& controller) const;
    // Loads LOG into the controller and reads the process through the case filter, with the
    // read's warnings told on the console.
    ProcessRead read(Tvesk_util& controller, Console& console) const;

    static constexpr const char* kHelp =
        "--events takes a comma-separated list of schedule, start, suspend, complete, withdraw, "
        "abort (default complete). Suspend brings resume with it; withdraw needs schedule and "
        "complete; abort needs schedule or start, and complete; complete is added when neither "
        "schedule nor start is read. A case holding an abort or withdraw event that is not "
        "read is left out whole.\n"
        "LOG may be an XML workflow log, an XES log or an MXML log, gzipped or not (told by its "
        "document element). An XES log is one process, named by its concept:name with blanks as "
        "\"_\" (or by the file name); each trace is a case, each of its events an entry named by "
        "concept:name (or --classifier), of the kind its lifecycle:transition gives (compared "
        "without regard to case; ate_abort and pi_abort are abort; other transitions give no "
        "kind; an event without one is a complete event), at its time:timestamp, converted to "
        "UTC unless --local-time; a complete event with a start_timestamp date is also a start "
        "event at that time. MXML keeps its processes and event types. Nested attributes, "
        "events outside traces and all other attributes are "
        "ignored.";

private:
    std::string log_;
    std::string process_;
    std::string events_ = "complete";
    std::vector<std::string> overlaps_;
    bool external_dtd_ = false;
    EventLogOptions event_log_;
    std::string attributes_;
    AttributeChoice attribute_need_;
    CaseFilterOptions cases_;
    CLI::Option* events_option_ = nullptr;
    CLI::Option* overlap_option_ = nullptr;
};

// Describes --external-dtd in every command that reads XML.
inline constexpr const char* kExternalDtdHelp =
    "load the DTD that the file's DOCTYPE names, for attribute defaults: only a local file "
    "named relative to the file; every other external entity and every network address is "
    "refused with a warning";

}  // namespace vesk::cli
