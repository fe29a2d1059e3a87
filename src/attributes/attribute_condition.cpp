#include "attributes/attribute_condition.h"

#include <cmath>

#include "base/text_util.h"
#include "log/iso_timestamp.h"

namespace vesk {

namespace {

constexpr std::string_view kOperatorCharacters = "=!<>~";

// Reads a quoted or plain part up to one of `stops` (outside quotes) or the end.
std::string read_part(std::string_view text, std::size_t& at, std::string_view stops,
                      std::string_view whole) {
    while (at < text.size() && text[at] == ' ')
        ++at;
    if (at < text.size() && text[at] == '"') {
        std::string part;
        for (++at;; ++at) {
            if (at >= text.size())
                throw AttributeConditionError("\"" + std::string(whole) +
                                              "\": a quote is not closed");
            if (text[at] == '"') {
                if (at + 1 < text.size() && text[at + 1] == '"') {
                    part += '"';
                    ++at;
                    continue;
                }
                ++at;
                break;
            }
            part += text[at];
        }
        while (at < text.size() && text[at] == ' ')
            ++at;
        if (at < text.size() && stops.find(text[at]) == std::string_view::npos)
            throw AttributeConditionError("\"" + std::string(whole) +
                                          "\": text after a closing quote");
        return part;
    }
    const std::size_t begin = at;
    while (at < text.size() && stops.find(text[at]) == std::string_view::npos)
        ++at;
    return trimmed(text.substr(begin, at - begin));
}

Comparison read_comparison(std::string_view text, std::size_t& at, const std::string& part) {
    const auto next = [&](char c) { return at + 1 < text.size() && text[at + 1] == c; };
    if (at >= text.size())
        throw AttributeConditionError("\"" + part + "\": no comparison (=, !=, <, <=, >, >=, ~)");
    const char c = text[at];
    Comparison comparison = Comparison::equal;
    std::size_t length = 1;
    if (c == '!' && next('=')) {
        comparison = Comparison::not_equal, length = 2;
    } else if (c == '<') {
        comparison = next('=') ? Comparison::less_equal : Comparison::less;
        length = next('=') ? 2 : 1;
    } else if (c == '>') {
        comparison = next('=') ? Comparison::greater_equal : Comparison::greater;
        length = next('=') ? 2 : 1;
    } else if (c == '~') {
        comparison = Comparison::contains;
    } else if (c != '=') {
        throw AttributeConditionError("\"" + part + "\": \"" + std::string(1, c) +
                                      "\" is no comparison (=, !=, <, <=, >, >=, ~)");
    }
    at += length;
    return comparison;
}

const char* comparison_text(Comparison c) {
    switch (c) {
        case Comparison::equal:
            return "=";
        case Comparison::not_equal:
            return "!=";
        case Comparison::less:
            return "<";
        case Comparison::less_equal:
            return "<=";
        case Comparison::greater:
            return ">";
        case Comparison::greater_equal:
            return ">=";
        case Comparison::contains:
            return "~";
    }
    return "=";
}

bool is_ordering(Comparison c) {
    return c == Comparison::less || c == Comparison::less_equal || c == Comparison::greater ||
           c == Comparison::greater_equal;
}

bool compare(double a, Comparison c, double b) {
    switch (c) {
        case Comparison::equal:
            return a == b;
        case Comparison::not_equal:
            return a != b;
        case Comparison::less:
            return a < b;
        case Comparison::less_equal:
            return a <= b;
        case Comparison::greater:
            return a > b;
        case Comparison::greater_equal:
            return a >= b;
        case Comparison::contains:
            break;
    }
    return false;
}

std::string quoted_if_needed(const std::string& text) {
    if (!text.empty() && text.find_first_of(",\"=!<>~") == std::string::npos &&
        text.front() != ' ' && text.back() != ' ')
        return text;
    std::string out = "\"";
    for (const char c : text)
        out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

}  // namespace

std::vector<AttributeCondition> parse_conditions(std::string_view expression) {
    std::vector<AttributeCondition> conditions;
    std::size_t at = 0;
    const std::string whole(expression);
    while (true) {
        const std::size_t begin = at;
        AttributeCondition condition;
        condition.key = read_part(expression, at, std::string(kOperatorCharacters) + ",", whole);
        const std::string part = whole.substr(begin, expression.find(',', at) - begin);
        if (condition.key.empty())
            throw AttributeConditionError("\"" + part +
                                          "\": no attribute key before the comparison");
        condition.comparison = read_comparison(expression, at, part);
        condition.value = read_part(expression, at, ",", whole);
        if (is_ordering(condition.comparison) && condition.value.empty())
            throw AttributeConditionError("\"" + part + "\": no value after the comparison");
        conditions.push_back(std::move(condition));
        if (at >= expression.size()) break;
        ++at;  // the ","
    }
    return conditions;
}

std::string condition_text(const AttributeCondition& condition) {
    return quoted_if_needed(condition.key) + comparison_text(condition.comparison) +
           quoted_if_needed(condition.value);
}

ConditionSet::ConditionSet(const std::vector<AttributeCondition>& conditions,
                           const LogAttributes& log, Prefer prefer) {
    for (const AttributeCondition& condition : conditions) {
        const AttributeColumn* case_column = log.find(condition.key, AttributeLevel::case_level);
        const AttributeColumn* event_column = log.find(condition.key, AttributeLevel::event_level);
        const AttributeColumn* column = prefer == Prefer::case_level
                                            ? (case_column ? case_column : event_column)
                                            : (event_column ? event_column : case_column);
        if (column == nullptr)
            throw AttributeConditionError("\"" + condition_text(condition) +
                                          "\": the log has no attribute \"" + condition.key + "\"");
        Check check = check_of(condition, *column);
        (column->level() == AttributeLevel::case_level ? case_checks_ : event_checks_)
            .push_back(std::move(check));
    }
}

ConditionSet::Check ConditionSet::check_of(const AttributeCondition& condition,
                                           const AttributeColumn& column) {
    Check check;
    check.column = &column;
    check.comparison = condition.comparison;
    check.text = condition.value;
    const std::string where = "\"" + condition_text(condition) + "\": ";
    if (condition.comparison == Comparison::contains) return check;
    if (column.is_number()) {
        const std::optional<double> number = column.type() == AttributeType::date
                                                 ? iso_minutes(condition.value)
                                                 : number_of_text(condition.value);
        if (!number)
            throw AttributeConditionError(where + "\"" + column.key() + "\" holds " +
                                          (column.type() == AttributeType::date
                                               ? "dates: expected YYYY-MM-DD[THH:MM[:SS]]"
                                               : "numbers: expected a number") +
                                          ", not \"" + condition.value + "\"");
        check.number = *number;
        return check;
    }
    if (is_ordering(condition.comparison)) {
        // Numbers written as text (declared strings, untyped files) still compare as numbers;
        // values that are no number never meet the condition.
        const std::optional<double> bound = number_of_text(condition.value);
        bool any_number = false;
        for (const std::string& value : column.dictionary()) {
            const std::optional<double> number = number_of_text(value);
            any_number = any_number || number.has_value();
            check.codes.push_back(number && bound &&
                                  compare(*number, condition.comparison, *bound));
        }
        if (!bound || !any_number || column.type() == AttributeType::boolean)
            throw AttributeConditionError(
                where + "\"" + column.key() + "\" holds " + attribute_type_name(column.type()) +
                " values" + (any_number ? "" : " that are no numbers") +
                (bound ? "" : ", and \"" + condition.value + "\" is no number") +
                ": use =, != or ~");
        return check;
    }
    if (column.type() == AttributeType::boolean) {
        const auto wanted = boolean_of_text(condition.value);
        if (!wanted)
            throw AttributeConditionError(where + "\"" + column.key() +
                                          "\" holds true or false, not \"" + condition.value +
                                          "\"");
        check.codes = {*wanted == false, *wanted == true};
    } else {
        for (const std::string& value : column.dictionary())
            check.codes.push_back(value == condition.value);
    }
    if (condition.comparison == Comparison::not_equal) check.codes.flip();
    return check;
}

bool ConditionSet::Check::holds(std::size_t row) const {
    if (!column->has(row)) return false;
    if (comparison == Comparison::contains) return contains_ignoring_case(column->text(row), text);
    if (const auto value = column->number(row)) return compare(*value, comparison, number);
    const auto code = static_cast<std::size_t>(column->code(row));
    return code < codes.size() && codes[code];
}

bool ConditionSet::case_holds(std::int32_t case_number) const {
    for (const Check& check : case_checks_)
        if (!check.holds(static_cast<std::size_t>(case_number))) return false;
    return true;
}

bool ConditionSet::event_holds(std::size_t row) const {
    for (const Check& check : event_checks_)
        if (!check.holds(row)) return false;
    return true;
}

}  // namespace vesk
