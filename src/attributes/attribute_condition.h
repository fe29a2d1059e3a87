#pragma once
// Conditions on attributes, as analysts write them: "AMOUNT_REQ>20000", "product=Value 3",
// "org:resource~SUPPORT", several joined by "," meaning all of them.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/attribute_errors.h"
#include "log/log_attributes.h"

namespace vesk {

enum class Comparison { equal, not_equal, less, less_equal, greater, greater_equal, contains };

struct AttributeCondition {
    std::string key;
    Comparison comparison = Comparison::equal;
    std::string value;
    friend bool operator==(const AttributeCondition&, const AttributeCondition&) = default;
};

// KEY=VALUE, KEY!=VALUE, KEY<N, KEY<=N, KEY>N, KEY>=N, KEY~TEXT, joined by ",". A key or value
// in double quotes may hold ",", the operators and blanks ("" is a quote); blanks around an
// unquoted part are dropped. Throws AttributeConditionError.
std::vector<AttributeCondition> parse_conditions(std::string_view expression);

// "KEY>=VALUE", quoted where needed, as parse_conditions reads it back.
std::string condition_text(const AttributeCondition& condition);

// Conditions made ready for one log's columns: a condition holds only where its attribute has a
// value. Throws AttributeConditionError for a key the log does not have, or a comparison its
// values cannot take (a number against a text attribute, a value that is no number or date).
class ConditionSet {
public:
    enum class Prefer { case_level, event_level };

    ConditionSet(const std::vector<AttributeCondition>& conditions, const LogAttributes& log,
                 Prefer prefer);

    // Whether the case's own conditions hold for case number `case_number`, and whether the
    // event at `row` of that case satisfies the event conditions.
    bool case_holds(std::int32_t case_number) const;
    bool event_holds(std::size_t row) const;
    bool has_event_conditions() const { return !event_checks_.empty(); }

private:
    struct Check {
        const AttributeColumn* column = nullptr;
        Comparison comparison = Comparison::equal;
        double number = 0;
        std::string text;
        // Text and boolean columns: whether each dictionary entry (or false, true) satisfies it.
        std::vector<bool> codes;
        bool holds(std::size_t row) const;
    };
    static Check check_of(const AttributeCondition& condition, const AttributeColumn& column);

    std::vector<Check> case_checks_;
    std::vector<Check> event_checks_;
};

}  // namespace vesk
