// The PNML reader, the net made from it, and a short replay on it (the invisible search with a
// small bound, so that no input can hold a run up).

#include <cstdint>
#include <string>

#include "formats/pnml_net.h"
#include "formats/pnml_reader.h"
#include "fuzz_input_file.h"
#include "net/sequence_replay.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static vesk::fuzz::InputFile file(".pnml");
    const std::string& path = file.write(data, size);
    vesk::Towned_tasklist tasks;
    for (const char* name : {"a_complete", "b_complete", "a_start"})
        tasks.create(name);
    vesk::Tpetrinet net;
    try {
        (void)vesk::build_pnml_net(net, vesk::read_pnml(path), tasks);
    } catch (const std::exception&) {
        return 0;
    }
    vesk::Tloglist log;
    for (const char* name : {"a_start", "a_complete", "b_complete", "a_complete"})
        log.emplace_back(name, 0);
    log.emplace_back("b_complete", 1);
    vesk::SilentSink sink;
    (void)vesk::SequenceReplay(net, log, tasks, sink, 2000).Replay(false);
    return 0;
}
