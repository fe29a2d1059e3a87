// Conversion module "csv": see csv_module.h for the input it reads. The log is written whole
// or not at all; bad input is refused with its line and column.
//
// csv2xml [OPTIONS] INPUT XML DTD_URL YES|NO

#include <fstream>
#include <iostream>
#include <vector>

#include "base/file_util.h"
#include "csv_module.h"

namespace {

constexpr const char* kUsage =
    "usage: csv2xml [OPTIONS] INPUT XML DTD_URL YES|NO\n"
    "  --delimiter=C         , ; or tab (default: found from the first line)\n"
    "  --case=NAME --activity=NAME --timestamp=NAME --start=NAME --lifecycle=NAME\n"
    "                        the columns, when the header's names are not the usual ones\n"
    "  --day-first, --month-first   how to read dates such as 03/04/2020\n"
    "  --sort                order the events of a case by their timestamps\n"
    "  --lifecycle-into-name a non-standard lifecycle value becomes part of the name\n"
    "  --local-time          keep timestamps as written instead of converting them to UTC\n";

bool take_value(const std::string& arg, const char* name, std::string& value) {
    const std::string prefix = std::string(name) + "=";
    if (!arg.starts_with(prefix)) return false;
    value = arg.substr(prefix.size());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    vesk::tools::CsvOptions options;
    std::size_t at = 0;
    for (; at < args.size() && args[at].starts_with("--"); ++at) {
        const std::string& arg = args[at];
        std::string delimiter;
        if (arg == "--help") {
            std::cout << kUsage;
            return 0;
        } else if (take_value(arg, "--delimiter", delimiter)) {
            if (delimiter == "tab" || delimiter == "\\t") {
                options.delimiter = '\t';
            } else if (delimiter.size() == 1) {
                options.delimiter = delimiter[0];
            } else {
                std::cerr << "csv2xml: --delimiter takes one character\n";
                return 2;
            }
        } else if (take_value(arg, "--case", options.case_column) ||
                   take_value(arg, "--activity", options.activity_column) ||
                   take_value(arg, "--timestamp", options.timestamp_column) ||
                   take_value(arg, "--start", options.start_column) ||
                   take_value(arg, "--lifecycle", options.lifecycle_column)) {
        } else if (arg == "--day-first") {
            options.date_order = vesk::tools::CsvOptions::DateOrder::day_first;
        } else if (arg == "--month-first") {
            options.date_order = vesk::tools::CsvOptions::DateOrder::month_first;
        } else if (arg == "--sort") {
            options.sort = true;
        } else if (arg == "--lifecycle-into-name") {
            options.lifecycle_into_name = true;
        } else if (arg == "--local-time") {
            options.local_time = true;
        } else {
            std::cerr << "csv2xml: unknown option " << arg << '\n' << kUsage;
            return 2;
        }
    }
    if (args.size() - at != 4) {
        std::cerr << kUsage;
        return 2;
    }
    const std::string& input = args[at];
    try {
        std::ifstream in(input, std::ios::binary);
        if (!in) throw std::runtime_error("cannot be read");
        std::vector<std::string> notes;
        const std::string log =
            vesk::tools::csv_to_workflow_log(in, input, args[at + 2], options, &notes);
        for (const std::string& note : notes)
            std::cerr << "csv2xml: " << input << ": " << note << '\n';
        vesk::write_file_atomically(args[at + 1], log);
        return 0;
    } catch (const std::exception& error) {
        std::cerr << "csv2xml: " << input << ": " << error.what() << '\n';
        return 1;
    }
}
