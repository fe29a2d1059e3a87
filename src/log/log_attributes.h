#pragma once
// The attributes of a log's cases and events, one column per key and level: texts are numbers
// into the column's dictionary of distinct values, numbers stay numbers, so a million events
// with a few attributes cost a few bytes each and no object of their own.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/chunked_vector.h"
#include "base/text_util.h"
#include "log/attribute_values.h"
#include "log/narrow_slots.h"

namespace vesk {

// A number of an attribute of this type as text: dates in ISO 8601 (UTC), other numbers in
// their shortest exact form.
std::string attribute_number_text(AttributeType type, double value);

class AttributeColumn {
public:
    AttributeColumn(std::string key, AttributeLevel level) : key_(std::move(key)), level_(level) {}

    const std::string& key() const { return key_; }
    AttributeLevel level() const { return level_; }
    // untyped while nothing is stored.
    AttributeType type() const { return type_; }
    bool is_number() const {
        return type_ == AttributeType::integer || type_ == AttributeType::real ||
               type_ == AttributeType::date;
    }

    // Stores the value at the row, as its type says or, untyped, as the text reads; a value that
    // does not fit the column's type so far turns the column into text.
    void set(std::size_t row, const ReadAttribute& value);

    bool has(std::size_t row) const;
    // Numbers and dates (minutes since 1970); empty for an absent value or a text column.
    std::optional<double> number(std::size_t row) const;
    // Text and boolean columns: the value's place in dictionary(), or -1 when absent.
    std::int32_t code(std::size_t row) const;
    const std::vector<std::string>& dictionary() const { return dictionary_; }
    // The value as text ("" when absent): numbers in their shortest exact form, dates in ISO.
    std::string text(std::size_t row) const;
    std::string number_text(double value) const { return attribute_number_text(type_, value); }

    void move_row(std::size_t to, std::size_t from);
    void truncate(std::size_t rows);

private:
    void store_code(std::size_t row, std::int32_t code);
    void store_number(std::size_t row, double value);
    // Whether the number fits a slot at the column's scale, raised as far as needed; false
    // when it does not fit at any scale.
    bool fit_scale(double value);
    void become_wide();
    std::int32_t intern(std::string_view text);
    void become_text();
    void set_untyped(std::size_t row, std::string_view text);

    std::string key_;
    AttributeLevel level_;
    AttributeType type_ = AttributeType::untyped;
    // Text and boolean values as their code + 1, and numbers from 0 with at most six decimals
    // as number x scale_ + 1, while they fit; 0 where absent. Amounts and costs such as 236.14
    // take four bytes instead of eight, and read back as the same double.
    NarrowSlots slots_;
    std::uint32_t scale_ = 1;
    // Other numbers and dates; NaN where absent. Used once `wide_` is set.
    ChunkedVector<double, 12> reals_;
    bool wide_ = false;
    std::vector<std::string> dictionary_;
    std::unordered_map<std::string, std::int32_t, TextHash, std::equal_to<>> ids_;
};

// The columns of one log: event rows are the positions of the log's lines, case rows the case
// numbers.
class LogAttributes {
public:
    bool empty() const { return columns_.empty(); }
    const std::vector<AttributeColumn>& columns() const { return columns_; }

    void set_event(std::size_t row, const ReadAttribute& value);
    void set_case(std::int32_t case_number, const ReadAttribute& value);

    const AttributeColumn* find(std::string_view key, AttributeLevel level) const;
    // The event column of the key, else its case column; null when the log has neither.
    const AttributeColumn* find_any(std::string_view key) const;

    void move_event(std::size_t to, std::size_t from);
    void truncate_events(std::size_t rows);

private:
    AttributeColumn& column(std::string_view key, AttributeLevel level);

    std::vector<AttributeColumn> columns_;
};

}  // namespace vesk
