#pragma once
// Pieces several subcommands share: the output folder and the warnings after a read.

#include <nlohmann/json.hpp>

#include <filesystem>
#include <string>
#include <vector>

#include "control/read_warnings.h"
#include "control/vesk_util.h"

namespace vesk::cli {

class Console;

// "a,b,,c" at the separator: a, b, an empty part and c.
std::vector<std::string> split_list(const std::string& text, char separator);

// The --out folder, created when missing.
std::filesystem::path output_folder(const std::string& path);

// The warnings as JSON objects: {"kind", "count", "example", "text"}.
nlohmann::json warnings_json(const std::vector<ReadWarning>& warnings);

// One warning per kind of problem the last read of a process forgave, and a closing line that
// says what to do; nothing when the read was clean. Returns the warnings, for the JSON.
std::vector<ReadWarning> report_read_problems(const Tvesk_util& controller,
                                              const std::string& process_id, Console& console);

inline const std::string kDefaultRelationsDtd = "http://localhost/vesk/dtd/WF_relations.dtd";
inline const std::string kDefaultLogDtd = "http://localhost/vesk/dtd/WorkFlow_log.dtd";

}  // namespace vesk::cli
