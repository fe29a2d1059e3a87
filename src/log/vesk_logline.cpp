#include "log/vesk_logline.h"

#include <algorithm>
#include <array>
#include <stdexcept>

namespace vesk {

namespace {

const std::array<std::string, 8>& event_names() {
    static const std::array<std::string, 8> names = {"schedule", "start", "withdraw", "suspend",
                                                     "resume",   "abort", "complete", "normal"};
    return names;
}

bool fits_16_bits(std::int32_t value) {
    return value >= 0 && value <= 0xFFFF;
}

bool is_leap_year(std::int32_t year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

std::int32_t days_in_month(std::int32_t month, std::int32_t year) {
    static constexpr std::array<std::int32_t, 12> days = {31, 28, 31, 30, 31, 30,
                                                          31, 31, 30, 31, 30, 31};
    return month == 2 && is_leap_year(year) ? 29 : days[static_cast<std::size_t>(month - 1)];
}

}  // namespace

const std::string& event_type_name(EventType type) {
    return event_names()[static_cast<std::size_t>(type)];
}

EventType event_type_of(std::string_view name) {
    const auto& names = event_names();
    for (std::size_t i = 0; i + 1 < names.size(); ++i)
        if (names[i] == name) return static_cast<EventType>(i);
    return EventType::normal;
}

Tpartner_names& Tpartner_names::operator=(const Tpartner_names& other) {
    if (this != &other)
        names_ = other.names_ ? std::make_unique<std::vector<std::string>>(*other.names_) : nullptr;
    return *this;
}

void Tpartner_names::assign(const std::string& name) {
    names_ = std::make_unique<std::vector<std::string>>(1, name);
}

void Tpartner_names::add(const std::string& name) {
    if (!names_) names_ = std::make_unique<std::vector<std::string>>();
    if (std::find(names_->begin(), names_->end(), name) == names_->end()) names_->push_back(name);
}

const std::vector<std::string>& Tpartner_names::names() const {
    static const std::vector<std::string> none;
    return names_ ? *names_ : none;
}

bool is_valid_date(const Tdate& d) {
    if (!fits_16_bits(d.day) || !fits_16_bits(d.month) || !fits_16_bits(d.year)) return false;
    if (d.year < 1 || d.year > 9999 || d.month < 1 || d.month > 12) return false;
    return d.day >= 1 && d.day <= days_in_month(d.month, d.year);
}

bool is_valid_time(const Ttime& t) {
    if (!fits_16_bits(t.hour) || !fits_16_bits(t.minute) || !fits_16_bits(t.second)) return false;
    return t.hour <= 23 && t.minute <= 59 && t.second <= 59;
}

Tlog_line::Tlog_line(std::string name, std::int32_t case_number)
    : Tlog_line(std::make_shared<const std::string>(std::move(name)), case_number) {}

Tlog_line::Tlog_line(Name name, std::int32_t case_number)
    : name_(std::move(name)), case_number_(case_number) {}

void Tlog_line::set_name(std::string name) {
    name_ = std::make_shared<const std::string>(std::move(name));
}

void Tlog_line::set_name(Name name) {
    name_ = std::move(name);
}

Tdate Tlog_line::date() const {
    return {day_, month_, year_};
}

void Tlog_line::set_date(const Tdate& date) {
    if (!is_valid_date(date)) throw std::invalid_argument("Invalid date");
    day_ = static_cast<std::uint16_t>(date.day);
    month_ = static_cast<std::uint16_t>(date.month);
    year_ = static_cast<std::uint16_t>(date.year);
}

Ttime Tlog_line::time() const {
    return {hour_, minute_, second_, millisecond_};
}

void Tlog_line::set_time(const Ttime& time) {
    if (!is_valid_time(time)) throw std::invalid_argument("Invalid time");
    hour_ = static_cast<std::uint16_t>(time.hour);
    minute_ = static_cast<std::uint16_t>(time.minute);
    second_ = static_cast<std::uint16_t>(time.second);
    millisecond_ = time.millisecond;
}

}  // namespace vesk
