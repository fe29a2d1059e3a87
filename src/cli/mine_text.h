#pragma once
// The text summary of a mining run: the net and its structure, and after a replay what it
// found, the flow time and the fitness.

#include <optional>

#include "control/mine_run.h"

namespace vesk::cli {

class Console;

// noise: the inductive construction's, which the summary explains when cases do not fit.
void print_mine_text(Tvesk_util& controller, bool replayed, std::optional<double> noise,
                     Console& console);

}  // namespace vesk::cli
