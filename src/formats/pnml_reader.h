#pragma once
// Reading a place/transition net from PNML, as this program and the common tools write it:
// places with their initial marking, transitions with their labels, arcs of weight one, and the
// final marking where the file gives one. Invisible transitions are known by the toolspecific
// mark activity="$invisible$", by this program's own mark, or by having no label.

#include <cstdint>
#include <string>
#include <vector>

#include "base/read_errors.h"

namespace vesk {

// A PNML file that cannot be used as a net; what() names the file and the element.
class PnmlError : public LogFormatError {
public:
    using LogFormatError::LogFormatError;
};

struct PnmlNet {
    struct Place {
        std::string id;
        std::string name;
        std::int64_t initial_tokens = 0;
    };
    struct Transition {
        std::string id;
        std::string label;  // empty for an invisible transition
        // The task this program wrote beside the label, if any.
        std::string task;
        bool invisible = false;
    };
    struct Arc {
        std::string id;
        std::string source;
        std::string target;
    };
    std::string name;
    std::vector<Place> places;
    std::vector<Transition> transitions;
    std::vector<Arc> arcs;
    // Place ids with their tokens; empty when the file gives no final marking.
    std::vector<std::pair<std::string, std::int64_t>> final_marking;
};

// Throws XmlReadError for a file that is not well-formed XML, PnmlError for one that is not a
// net this program can replay on.
PnmlNet read_pnml(const std::string& path);

}  // namespace vesk
