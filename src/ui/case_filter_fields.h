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
    // One attribute condition: on the cases (or one of their events) or on the events alone,
    // the key (empty: none), a comparison of kComparisons and the value.
    bool attribute_on_events = false;
    std::string attribute_key = {};
    std::string attribute_comparison = "=";
    std::string attribute_value = {};
    friend bool operator==(const CaseFilterFields&, const CaseFilterFields&) = default;
};

inline constexpr const char* kComparisons[] = {"=", "!=", "<", "<=", ">", ">=", "~"};

// Throws std::invalid_argument naming the box whose text is not what it takes.
CaseFilter case_filter_of(const CaseFilterFields& fields);

}  // namespace vesk
