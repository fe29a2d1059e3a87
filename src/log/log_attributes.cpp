#include "log/log_attributes.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "log/iso_timestamp.h"

namespace vesk {

namespace {

// Whole numbers are taken from untyped text only when written plainly ("7", not "007" or
// "+7"), so that identifiers keep their spelling.
std::optional<double> plain_whole_number(std::string_view text) {
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    if (std::to_string(value) != text) return std::nullopt;
    return static_cast<double>(value);
}

bool looks_like_date(std::string_view text) {
    return text.size() >= 10 && text[4] == '-' && text[7] == '-';
}

}  // namespace

void AttributeColumn::set(std::size_t row, const ReadAttribute& value) {
    switch (value.type) {
        case AttributeType::untyped:
            set_untyped(row, value.value);
            return;
        case AttributeType::text:
            if (type_ != AttributeType::text && type_ != AttributeType::untyped) become_text();
            type_ = AttributeType::text;
            store_code(row, intern(value.value));
            return;
        default:
            break;
    }
    // Typed numbers, dates and booleans that do not read as their type are kept as text.
    std::optional<double> number;
    if (value.type == AttributeType::boolean) {
        if (const auto b = boolean_of_text(value.value)) number = *b ? 1 : 0;
    } else if (value.type == AttributeType::date) {
        number = iso_minutes(value.value);
    } else {
        number = number_of_text(value.value);
    }
    const bool same_kind =
        type_ == AttributeType::untyped || type_ == value.type ||
        (is_number() && type_ != AttributeType::date &&
         (value.type == AttributeType::integer || value.type == AttributeType::real));
    if (!number || !same_kind) {
        if (type_ != AttributeType::untyped && type_ != AttributeType::text) become_text();
        type_ = AttributeType::text;
        store_code(row, intern(value.value));
        return;
    }
    if (type_ == AttributeType::untyped || value.type == AttributeType::real) type_ = value.type;
    if (type_ == AttributeType::boolean)
        store_code(row, static_cast<std::int32_t>(*number));
    else
        store_number(row, *number);
}

void AttributeColumn::set_untyped(std::size_t row, std::string_view text) {
    if (type_ == AttributeType::untyped || type_ == AttributeType::boolean)
        if (const auto b = boolean_of_text(text)) {
            type_ = AttributeType::boolean;
            store_code(row, *b ? 1 : 0);
            return;
        }
    if (type_ == AttributeType::untyped || type_ == AttributeType::integer ||
        type_ == AttributeType::real) {
        std::optional<double> number = plain_whole_number(text);
        const bool whole = number.has_value();
        if (!number && text.find_first_of(".eE") != std::string_view::npos)
            number = number_of_text(text);
        if (number) {
            if (type_ == AttributeType::untyped || !whole)
                type_ = whole ? AttributeType::integer : AttributeType::real;
            store_number(row, *number);
            return;
        }
    }
    if ((type_ == AttributeType::untyped || type_ == AttributeType::date) && looks_like_date(text))
        if (const auto minutes = iso_minutes(text)) {
            type_ = AttributeType::date;
            store_number(row, *minutes);
            return;
        }
    if (type_ != AttributeType::untyped && type_ != AttributeType::text) become_text();
    type_ = AttributeType::text;
    store_code(row, intern(text));
}

void AttributeColumn::store_code(std::size_t row, std::int32_t code) {
    slots_.set(row, static_cast<std::uint32_t>(code) + 1);
}

void AttributeColumn::store_number(std::size_t row, double value) {
    if (!wide_ && fit_scale(value)) {
        const double scaled = std::round(value * scale_);
        slots_.set(row, static_cast<std::uint32_t>(scaled) + 1);
        return;
    }
    if (!wide_) become_wide();
    while (reals_.size() <= row)
        reals_.emplace_back(NAN);
    reals_[row] = value;
}

bool AttributeColumn::fit_scale(double value) {
    constexpr double kLargestSlot = 4294967294.0;
    if (!(value >= 0)) return false;
    std::uint32_t scale = scale_;
    while (std::round(value * scale) / scale != value) {
        if (scale >= 1000000) return false;
        scale *= 10;
    }
    if (std::round(value * scale) >= kLargestSlot) return false;
    if (scale == scale_) return true;
    // Every stored number is written again at the finer scale, if all still fit.
    const std::uint32_t factor = scale / scale_;
    for (std::size_t r = 0; r < slots_.size(); ++r)
        if (const std::uint32_t slot = slots_.get(r);
            slot != 0 && (static_cast<double>(slot) - 1) * factor >= kLargestSlot)
            return false;
    for (std::size_t r = 0; r < slots_.size(); ++r)
        if (const std::uint32_t slot = slots_.get(r); slot != 0)
            slots_.set(r, (slot - 1) * factor + 1);
    scale_ = scale;
    return true;
}

void AttributeColumn::become_wide() {
    wide_ = true;
    for (std::size_t r = 0; r < slots_.size(); ++r) {
        const std::uint32_t slot = slots_.get(r);
        reals_.emplace_back(slot == 0 ? NAN : static_cast<double>(slot - 1) / scale_);
    }
    slots_ = NarrowSlots();
    scale_ = 1;
}

std::int32_t AttributeColumn::intern(std::string_view text) {
    const auto found = ids_.find(text);
    if (found != ids_.end()) return found->second;
    const auto id = static_cast<std::int32_t>(dictionary_.size());
    dictionary_.emplace_back(text);
    ids_.emplace(dictionary_.back(), id);
    return id;
}

void AttributeColumn::become_text() {
    const std::size_t rows = wide_ ? reals_.size() : slots_.size();
    std::vector<std::string> texts(rows);
    std::vector<bool> present(rows);
    for (std::size_t row = 0; row < rows; ++row) {
        present[row] = has(row);
        if (present[row]) texts[row] = text(row);
    }
    type_ = AttributeType::text;
    wide_ = false;
    reals_ = {};
    slots_ = NarrowSlots();
    scale_ = 1;
    for (std::size_t row = 0; row < rows; ++row)
        if (present[row]) store_code(row, intern(texts[row]));
}

bool AttributeColumn::has(std::size_t row) const {
    if (wide_) return row < reals_.size() && !std::isnan(reals_[row]);
    return slots_.get(row) != 0;
}

std::optional<double> AttributeColumn::number(std::size_t row) const {
    if (!is_number() || !has(row)) return std::nullopt;
    return wide_ ? reals_[row] : static_cast<double>(slots_.get(row) - 1) / scale_;
}

std::int32_t AttributeColumn::code(std::size_t row) const {
    if (is_number() || !has(row)) return -1;
    return static_cast<std::int32_t>(slots_.get(row) - 1);
}

std::string attribute_number_text(AttributeType type, double value) {
    if (type == AttributeType::date) return iso_text(value);
    if (value == std::floor(value) && std::fabs(value) < 1e15)
        return std::to_string(static_cast<std::int64_t>(value));
    char buffer[32];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return error == std::errc() ? std::string(buffer, end) : std::string();
}

std::string AttributeColumn::text(std::size_t row) const {
    if (!has(row)) return {};
    if (is_number()) return number_text(*number(row));
    if (type_ == AttributeType::boolean) return code(row) != 0 ? "true" : "false";
    return dictionary_[static_cast<std::size_t>(code(row))];
}

void AttributeColumn::move_row(std::size_t to, std::size_t from) {
    if (!wide_) {
        slots_.move(to, from);
    } else if (to < reals_.size()) {
        reals_[to] = from < reals_.size() ? reals_[from] : NAN;
    }
}

void AttributeColumn::truncate(std::size_t rows) {
    if (wide_)
        reals_.truncate(rows);
    else
        slots_.truncate(rows);
}

AttributeColumn& LogAttributes::column(std::string_view key, AttributeLevel level) {
    for (AttributeColumn& c : columns_)
        if (c.level() == level && c.key() == key) return c;
    return columns_.emplace_back(std::string(key), level);
}

void LogAttributes::set_event(std::size_t row, const ReadAttribute& value) {
    column(value.key, AttributeLevel::event_level).set(row, value);
}

void LogAttributes::set_case(std::int32_t case_number, const ReadAttribute& value) {
    if (case_number < 0) return;
    column(value.key, AttributeLevel::case_level).set(static_cast<std::size_t>(case_number), value);
}

const AttributeColumn* LogAttributes::find(std::string_view key, AttributeLevel level) const {
    for (const AttributeColumn& c : columns_)
        if (c.level() == level && c.key() == key) return &c;
    return nullptr;
}

const AttributeColumn* LogAttributes::find_any(std::string_view key) const {
    const AttributeColumn* event = find(key, AttributeLevel::event_level);
    return event != nullptr ? event : find(key, AttributeLevel::case_level);
}

void LogAttributes::move_event(std::size_t to, std::size_t from) {
    for (AttributeColumn& c : columns_)
        if (c.level() == AttributeLevel::event_level) c.move_row(to, from);
}

void LogAttributes::truncate_events(std::size_t rows) {
    for (AttributeColumn& c : columns_)
        if (c.level() == AttributeLevel::event_level) c.truncate(rows);
}

}  // namespace vesk
