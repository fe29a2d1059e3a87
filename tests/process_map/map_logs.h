#pragma once
// Small logs for the process map's tests: lines given as case, task-event name and moment.

#include <string>
#include <vector>

#include "control/map_run.h"
#include "log/vesk_loglist.h"

namespace vesk::test {

struct GivenLine {
    std::int32_t case_number;
    std::string name;
    // "2024-03-01 10:15[:30]"
    std::string moment = "2024-01-01 00:00";
};

inline Tloglist map_log(const std::vector<GivenLine>& lines_given) {
    Tloglist lines;
    for (const GivenLine& given : lines_given) {
        Tlog_line& line = lines.emplace_back(given.name, given.case_number);
        const std::string& m = given.moment;
        line.set_date(
            {std::stoi(m.substr(8, 2)), std::stoi(m.substr(5, 2)), std::stoi(m.substr(0, 4))});
        line.set_time({std::stoi(m.substr(11, 2)), std::stoi(m.substr(14, 2)),
                       m.size() > 16 ? std::stoi(m.substr(17, 2)) : 0, 0});
        line.set_event({given.name.substr(given.name.rfind('_') + 1)});
    }
    return lines;
}

// Two digits, zero first.
inline std::string two_digits(std::size_t value) {
    return (value < 10 ? "0" : "") + std::to_string(value);
}

// Each letter of a word a line "<letter>_complete", a word a case on a day of its own (1
// January 2024 for the first), an hour between lines.
inline Tloglist letter_log(const std::vector<std::string>& words) {
    std::vector<GivenLine> lines_given;
    for (std::size_t c = 0; c < words.size(); ++c) {
        const std::string day = std::to_string(2024 + c / 336) + "-" + two_digits(1 + c / 28 % 12) +
                                "-" + two_digits(1 + c % 28);
        for (std::size_t i = 0; i < words[c].size(); ++i)
            lines_given.push_back({static_cast<std::int32_t>(c),
                                   std::string(1, words[c][i]) + "_complete",
                                   day + " " + two_digits(i) + ":00"});
    }
    return map_log(lines_given);
}

// The map of the only process of a log file, complete events read.
inline ProcessMap map_of_file(const std::string& path, const UsedEvents& events = {}) {
    Tvesk_util controller;
    controller.load_log(path, false);
    BuildRelationsRequest request;
    request.process_id = controller.processes().front().id;
    request.events = apply_event_choice(events);
    return read_process_map(controller, request);
}

}  // namespace vesk::test
