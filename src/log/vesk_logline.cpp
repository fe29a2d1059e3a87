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

bool is_valid_date(const Tdate& d) {
    if (!fits_16_bits(d.day) || !fits_16_bits(d.month) || !fits_16_bits(d.year)) return false;
    if (d.year < 1 || d.year > 9999 || d.month < 1 || d.month > 12) return false;
    return d.day >= 1 && d.day <= days_in_month(d.month, d.year);
}

bool is_valid_time(const Ttime& t) {
    if (!fits_16_bits(t.hour) || !fits_16_bits(t.minute) || !fits_16_bits(t.second)) return false;
    return t.hour <= 23 && t.minute <= 59 && t.second <= 59;
}

void Tlog_line::set_event_type(EventType type) {
    date_event_ = (date_event_ & ~7u) | static_cast<std::uint32_t>(type);
}

Tdate Tlog_line::date() const {
    return {static_cast<std::int32_t>((date_event_ >> 3) & 31u),
            static_cast<std::int32_t>((date_event_ >> 8) & 15u),
            static_cast<std::int32_t>(date_event_ >> 12)};
}

void Tlog_line::set_date(const Tdate& date) {
    if (!is_valid_date(date)) throw std::invalid_argument("Invalid date");
    date_event_ = (date_event_ & 7u) | static_cast<std::uint32_t>(date.day) << 3 |
                  static_cast<std::uint32_t>(date.month) << 8 |
                  static_cast<std::uint32_t>(date.year) << 12;
}

Ttime Tlog_line::time() const {
    return {static_cast<std::int32_t>(clock_ >> 12), static_cast<std::int32_t>((clock_ >> 6) & 63u),
            static_cast<std::int32_t>(clock_ & 63u), millisecond_};
}

void Tlog_line::set_time(const Ttime& time) {
    if (!is_valid_time(time)) throw std::invalid_argument("Invalid time");
    clock_ = static_cast<std::uint32_t>(time.hour) << 12 |
             static_cast<std::uint32_t>(time.minute) << 6 | static_cast<std::uint32_t>(time.second);
    millisecond_ = time.millisecond;
}

}  // namespace vesk
