#pragma once
// The alignments of a run as text and as JSON.

#include <nlohmann/json.hpp>

#include <string>

#include "control/vesk_util.h"

namespace vesk::cli {

class Console;

// The figures, the activities with most deviations and the most costly variants.
void print_conformance_text(const ConformanceResult& result, double seconds, Console& console);

// {"alignments": {...}, "precision": P, "f_score": H} merged into the document.
void add_conformance_json(const ConformanceResult& result, nlohmann::json& document);

// A variant's alignment in one row: "a +b -c d" (+ only in the log, - only in the net;
// invisible transitions left out).
std::string alignment_row(const ConformanceResult& result, const Alignment& alignment);

}  // namespace vesk::cli
