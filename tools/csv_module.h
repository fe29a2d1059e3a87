#pragma once
// The csv conversion module's work apart from its program, so that tests and the fuzzer call it.
//
// Input: RFC 4180 records (fields in double quotes may hold the delimiter, quotes doubled and
// line breaks), comma, semicolon or tab as delimiter (found from the first line unless given),
// UTF-8 with or without a byte-order mark. The first record names the columns: the case
// ("case id", "case:concept:name", ...), the activity ("activity", "concept:name", "task"), the
// timestamp ("timestamp", "time:timestamp", "complete timestamp", "end time"), a start timestamp
// ("start timestamp", "start time") and the lifecycle ("lifecycle", "lifecycle:transition",
// "event"), or options name them. A row with a start and an end timestamp gives a start and a
// complete event. Without a header that names a case and an activity, rows are read as
// "case,task,event,date,time" (date DD-MM-YYYY, time HH:MM[:SS]), the module's first format.
// Events are grouped per case in the order cases first appear; with sort, stable-sorted by
// timestamp within a case. Timestamps are ISO 8601, or day-first and month-first dates
// (D/M/YYYY, D-M-YYYY, D.M.YYYY with an optional time); a date that reads both ways is an error
// unless the order is chosen.

#include <istream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace vesk::tools {

// Input that would give a wrong or unreadable log; what() names the line and column or the row.
class CsvInputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct CsvOptions {
    std::optional<char> delimiter;
    // Column names that override the header's own (compared without regard to case).
    std::string case_column, activity_column, timestamp_column, start_column, lifecycle_column;
    enum class DateOrder { unknown, day_first, month_first } date_order = DateOrder::unknown;
    bool sort = false;
    bool lifecycle_into_name = false;
    bool local_time = false;
};

// The whole XML workflow log; `input_name` becomes the process's description. Throws
// CsvInputError. With notes, what each column of the header was taken for is added to them.
std::string csv_to_workflow_log(std::istream& in, const std::string& input_name,
                                const std::string& dtd_url, const CsvOptions& options = {},
                                std::vector<std::string>* notes = nullptr);

}  // namespace vesk::tools
