#pragma once
// A net read from PNML made into a net of this program, so that a log can be replayed on a
// model it did not mine. Visible transitions are matched to the log's tasks by the rule that
// labels this program's own PNML: the activity, or "activity+event" where an activity has
// several event types; invisible transitions get the skip marker, the initially marked place
// becomes the start place and the finally marked place the end place (a silent step joins them
// where the file marks several).

#include <string>
#include <vector>

#include "formats/pnml_reader.h"
#include "mining/vesk_task.h"
#include "net/vesk_redisc.h"

namespace vesk {

// Replaces the net; the tasks must outlive it. Returns the warnings (labels that match no
// task). Throws PnmlError for arcs between two places or two transitions, or to missing nodes,
// a missing initial marking, more than one token in a place, two transitions of one task.
std::vector<std::string> build_pnml_net(Tpetrinet& net, const PnmlNet& model,
                                        const Ttasklist& tasks);

// The task a label stands for, or null.
Ttask* task_of_label(const std::string& label, const Ttasklist& tasks);

}  // namespace vesk
