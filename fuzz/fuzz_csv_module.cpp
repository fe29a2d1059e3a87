// The csv module's parser: whatever it accepts, the log it makes must be one the workflow log
// reader reads.

#include <cstdint>
#include <sstream>
#include <string>

#include "csv_module.h"
#include "fuzz_input_file.h"
#include "log/vesk_logline_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static vesk::fuzz::InputFile file(".xml");
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    std::string xml;
    try {
        xml = vesk::tools::csv_to_workflow_log(in, "in.csv", "WorkFlow_log.dtd");
    } catch (const vesk::tools::CsvInputError&) {
        return 0;
    }
    const std::string& path =
        file.write(reinterpret_cast<const std::uint8_t*>(xml.data()), xml.size());
    vesk::EventLogOptions options;
    options.attributes = vesk::AttributeChoice::all();
    const vesk::WorkflowLogFile log(path, false, options);
    try {
        for (const vesk::LogProcess& process : log.list_processes())
            (void)vesk::read_process_log(log, process.id, vesk::Tevent_filter{});
    } catch (const std::exception&) {
        __builtin_trap();  // the module wrote a log that cannot be read
    }
    return 0;
}
