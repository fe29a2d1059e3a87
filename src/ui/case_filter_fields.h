#pragma once
// The case filter as the main window's text boxes hold it, read into the filter Build relations
// applies. Empty boxes filter nothing.

#include <string>

#include "control/vesk_util.h"

namespace vesk {

struct CaseFilterFields {
    // A whole number from 1.
    std::string top_variants = {};
    // A percentage, 0 to 100.
    std::string variant_coverage = {};
    // Activity names, separated by commas.
    std::string starts_with = {};
    std::string ends_with = {};
    // YYYY-MM-DD or YYYY-MM-DD HH:MM[:SS]; a bare To date includes that day.
    std::string from = {};
    std::string to = {};
    friend bool operator==(const CaseFilterFields&, const CaseFilterFields&) = default;
};

// Throws std::invalid_argument naming the box whose text is not what it takes.
CaseFilter case_filter_of(const CaseFilterFields& fields);

}  // namespace vesk
