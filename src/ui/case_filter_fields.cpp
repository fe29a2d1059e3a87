#include "ui/case_filter_fields.h"

#include <charconv>
#include <stdexcept>

#include "base/text_util.h"

namespace vesk {

namespace {

std::vector<std::string> names_in(const std::string& text) {
    std::vector<std::string> names;
    std::size_t from = 0;
    while (from <= text.size()) {
        const std::size_t comma = std::min(text.find(',', from), text.size());
        std::string name = trimmed(std::string_view(text).substr(from, comma - from));
        if (!name.empty()) names.push_back(std::move(name));
        from = comma + 1;
    }
    return names;
}

template <typename Number>
std::optional<Number> number_in(const std::string& box, const std::string& text, Number low,
                                Number high, const char* what) {
    const std::string value = trimmed(text);
    if (value.empty()) return std::nullopt;
    Number number{};
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
    if (error != std::errc() || end != value.data() + value.size() || number < low || number > high)
        throw std::invalid_argument(box + " takes " + what + ", not \"" + value + "\"");
    return number;
}

std::optional<double> moment_in(const std::string& box, const std::string& text, bool end_of_day) {
    const std::string value = trimmed(text);
    if (value.empty()) return std::nullopt;
    const std::optional<double> minute = filter_minute(value, end_of_day);
    if (!minute)
        throw std::invalid_argument(
            box + " takes a date (YYYY-MM-DD, or YYYY-MM-DD HH:MM), not \"" + value + "\"");
    return minute;
}

Comparison comparison_in(const std::string& text) {
    const std::pair<std::string_view, Comparison> known[] = {
        {"=", Comparison::equal},   {"!=", Comparison::not_equal},
        {"<", Comparison::less},    {"<=", Comparison::less_equal},
        {">", Comparison::greater}, {">=", Comparison::greater_equal},
        {"~", Comparison::contains}};
    for (const auto& [spelling, comparison] : known)
        if (text == spelling) return comparison;
    throw std::invalid_argument("Attribute comparison takes =, !=, <, <=, >, >= or ~, not \"" +
                                text + "\"");
}

}  // namespace

CaseFilter case_filter_of(const CaseFilterFields& fields) {
    CaseFilter filter;
    filter.top_variants = number_in<std::int64_t>("Top variants", fields.top_variants, 1, INT64_MAX,
                                                  "a whole number from 1");
    filter.variant_coverage = number_in<double>("Variant coverage", fields.variant_coverage, 0.0,
                                                100.0, "a percentage from 0 to 100");
    filter.start_activities = names_in(fields.starts_with);
    filter.end_activities = names_in(fields.ends_with);
    filter.from_minute = moment_in("From", fields.from, false);
    filter.to_minute = moment_in("To", fields.to, true);
    const std::string key = trimmed(fields.attribute_key);
    if (key.empty()) return filter;
    const AttributeCondition condition{key, comparison_in(fields.attribute_comparison),
                                       trimmed(fields.attribute_value)};
    const bool ordering = condition.comparison != Comparison::equal &&
                          condition.comparison != Comparison::not_equal &&
                          condition.comparison != Comparison::contains;
    if (ordering && condition.value.empty())
        throw std::invalid_argument("Attribute value takes a number or a date for " +
                                    fields.attribute_comparison);
    (fields.attribute_on_events ? filter.event_where : filter.case_where).push_back({condition});
    return filter;
}

}  // namespace vesk
