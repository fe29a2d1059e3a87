// Conversion modules "xes" and "mxml": an XES or MXML log, gzipped or not, becomes an XML
// workflow log with the same processes, cases and events that opening it directly gives.
//
// eventlog2xml [--classifier NAME] [--lifecycle-into-name] [--local-time] INPUT XML DTD_URL YES|NO

#include <iostream>
#include <string>
#include <vector>

#include "base/file_util.h"
#include "event_log_module.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    vesk::EventLogOptions options;
    std::size_t at = 0;
    for (; at < args.size() && args[at].starts_with("--"); ++at) {
        if (args[at] == "--classifier" && at + 1 < args.size())
            options.classifier = args[++at];
        else if (args[at].starts_with("--classifier="))
            options.classifier = args[at].substr(13);
        else if (args[at] == "--lifecycle-into-name")
            options.lifecycle_into_name = true;
        else if (args[at] == "--local-time")
            options.local_time = true;
        else
            break;
    }
    if (args.size() - at != 4) {
        std::cerr << "usage: eventlog2xml [--classifier NAME] [--lifecycle-into-name] "
                     "[--local-time] INPUT XML DTD_URL YES|NO\n";
        return 2;
    }
    const std::string& input = args[at];
    const bool resolve = args[at + 3] == "YES" || args[at + 3] == "yes" || args[at + 3] == "Yes";
    try {
        vesk::write_file_atomically(args[at + 1], vesk::tools::event_log_to_workflow_log(
                                                      input, resolve, options, args[at + 2]));
        return 0;
    } catch (const std::exception& error) {
        std::cerr << "eventlog2xml: " << input << ": " << error.what() << '\n';
        return 1;
    }
}
