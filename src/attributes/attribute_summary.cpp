#include "attributes/attribute_summary.h"

#include <algorithm>
#include <numeric>
#include <unordered_map>

namespace vesk {

namespace {

// Counts per value of one column over the rows that carry it.
class ValueTally {
public:
    explicit ValueTally(const AttributeColumn& column) : column_(column) {}

    void add(std::size_t row) {
        if (const auto number = column_.number(row)) {
            numbers_.push_back(*number);
            if (number_counts_[*number]++ == 0) number_order_.push_back(*number);
        } else if (column_.has(row)) {
            const auto code = column_.code(row);
            if (code_counts_.size() <= static_cast<std::size_t>(code))
                code_counts_.resize(static_cast<std::size_t>(code) + 1, 0);
            if (code_counts_[static_cast<std::size_t>(code)]++ == 0) code_order_.push_back(code);
        }
    }

    void fill(AttributeSummary& summary, std::size_t top_count) {
        std::vector<ValueCount> values;
        for (const std::int32_t code : code_order_) {
            const std::string text = column_.type() == AttributeType::boolean
                                         ? (code != 0 ? "true" : "false")
                                         : column_.dictionary()[static_cast<std::size_t>(code)];
            values.push_back({text, code_counts_[static_cast<std::size_t>(code)]});
        }
        // Numbers are counted as numbers and written once per distinct value.
        for (const double number : number_order_)
            values.push_back({column_.number_text(number), number_counts_.at(number)});
        summary.distinct = static_cast<std::int64_t>(values.size());
        std::stable_sort(
            values.begin(), values.end(),
            [](const ValueCount& a, const ValueCount& b) { return a.count > b.count; });
        if (values.size() > top_count) values.resize(top_count);
        summary.top = std::move(values);
        add_text_numbers();
        if (numbers_.empty()) return;
        std::sort(numbers_.begin(), numbers_.end());
        summary.min = numbers_.front();
        summary.max = numbers_.back();
        const std::size_t n = numbers_.size();
        summary.median = n % 2 == 1 ? numbers_[n / 2] : (numbers_[n / 2 - 1] + numbers_[n / 2]) / 2;
    }

private:
    // A text column whose every value reads as a number (amounts declared as strings) has a
    // range too.
    void add_text_numbers() {
        if (column_.type() != AttributeType::text || code_order_.empty()) return;
        std::vector<std::pair<double, std::int64_t>> counted;
        for (const std::int32_t code : code_order_) {
            const auto number =
                number_of_text(column_.dictionary()[static_cast<std::size_t>(code)]);
            if (!number) return;
            counted.emplace_back(*number, code_counts_[static_cast<std::size_t>(code)]);
        }
        for (const auto& [number, count] : counted)
            numbers_.insert(numbers_.end(), static_cast<std::size_t>(count), number);
    }

    const AttributeColumn& column_;
    std::vector<std::int64_t> code_counts_;
    std::vector<std::int32_t> code_order_;
    std::unordered_map<double, std::int64_t> number_counts_;
    std::vector<double> number_order_;
    std::vector<double> numbers_;
};

AttributeSummary summary_of(const Tloglist& lines, const AttributeColumn& column,
                            std::size_t top_count) {
    AttributeSummary summary;
    summary.key = column.key();
    summary.level = column.level();
    summary.type = column.type();
    ValueTally tally(column);
    for (std::size_t begin = 0; begin < lines.size();) {
        const std::size_t end = lines.case_end(begin);
        const auto case_number = static_cast<std::size_t>(lines[begin].case_number());
        if (column.level() == AttributeLevel::case_level) {
            if (column.has(case_number)) {
                ++summary.cases;
                summary.events += static_cast<std::int64_t>(end - begin);
                tally.add(case_number);
            }
        } else {
            bool carried = false;
            for (std::size_t row = begin; row < end; ++row) {
                if (!column.has(row)) continue;
                carried = true;
                ++summary.events;
                tally.add(row);
            }
            summary.cases += carried ? 1 : 0;
        }
        begin = end;
    }
    tally.fill(summary, top_count);
    return summary;
}

}  // namespace

std::vector<AttributeSummary> summarize_attributes(const Tloglist& lines, std::size_t top_count) {
    std::vector<AttributeSummary> result;
    for (const AttributeLevel level : {AttributeLevel::case_level, AttributeLevel::event_level})
        for (const AttributeColumn& column : lines.attributes().columns())
            if (column.level() == level) {
                AttributeSummary summary = summary_of(lines, column, top_count);
                if (summary.cases > 0) result.push_back(std::move(summary));
            }
    return result;
}

}  // namespace vesk
