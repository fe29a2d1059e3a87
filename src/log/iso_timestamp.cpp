#include "log/iso_timestamp.h"

#include <date/date.h>

#include <chrono>
#include <cmath>
#include <cstdio>

namespace vesk {

namespace {

using Milliseconds = std::chrono::duration<long long, std::milli>;

struct Parsed {
    date::local_time<Milliseconds> wall;
    std::chrono::minutes offset{0};
};

bool digits(std::string_view text, std::size_t at, std::size_t count, int& value) {
    if (at + count > text.size()) return false;
    value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        const char c = text[i];
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

// The common form by position: millions of events are read, and a stream per timestamp would
// cost more than the rest of an event.
std::optional<Parsed> parse_fixed(std::string_view t) {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    if (t.size() < 19 || t[4] != '-' || t[7] != '-' || (t[10] != 'T' && t[10] != ' ') ||
        t[13] != ':' || t[16] != ':')
        return std::nullopt;
    if (!digits(t, 0, 4, year) || !digits(t, 5, 2, month) || !digits(t, 8, 2, day) ||
        !digits(t, 11, 2, hour) || !digits(t, 14, 2, minute) || !digits(t, 17, 2, second))
        return std::nullopt;
    std::size_t at = 19;
    long long millis = 0;
    if (at < t.size() && (t[at] == '.' || t[at] == ',')) {
        ++at;
        int scale = 100, count = 0;
        while (at < t.size() && t[at] >= '0' && t[at] <= '9') {
            millis += (t[at] - '0') * scale;
            scale /= 10;
            ++at;
            ++count;
        }
        if (count == 0) return std::nullopt;
    }
    std::chrono::minutes offset{0};
    if (at < t.size()) {
        if (t[at] == 'Z' && at + 1 == t.size()) {
            ++at;
        } else if (t[at] == '+' || t[at] == '-') {
            int oh = 0, om = 0;
            const bool colon = at + 3 < t.size() && t[at + 3] == ':';
            if (!digits(t, at + 1, 2, oh) || !digits(t, at + (colon ? 4 : 3), 2, om))
                return std::nullopt;
            const std::size_t end = at + (colon ? 6 : 5);
            if (end != t.size() || oh > 23 || om > 59) return std::nullopt;
            offset = std::chrono::minutes((t[at] == '-' ? -1 : 1) * (oh * 60 + om));
            at = end;
        } else {
            return std::nullopt;
        }
    }
    const date::year_month_day ymd{date::year(year), date::month(static_cast<unsigned>(month)),
                                   date::day(static_cast<unsigned>(day))};
    if (!ymd.ok() || hour > 23 || minute > 59 || second > 60) return std::nullopt;
    Parsed parsed;
    parsed.wall = date::local_days(ymd) + std::chrono::hours(hour) + std::chrono::minutes(minute) +
                  std::chrono::seconds(second) + Milliseconds(millis);
    parsed.offset = offset;
    return parsed;
}

// The shorter ISO 8601 spellings (a date alone, minutes without seconds) made into the common
// form. The date library's stream parser is not used on untrusted text: on some malformed
// offsets it negates the smallest duration (undefined behaviour).
std::optional<Parsed> parse_short(std::string_view text) {
    std::string full(text);
    if (full.size() == 10) {
        full += "T00:00:00";
    } else if (full.size() >= 16 && (full[10] == 'T' || full[10] == ' ') &&
               (full.size() == 16 || full[16] == 'Z' || full[16] == '+' || full[16] == '-')) {
        full.insert(16, ":00");
    } else {
        return std::nullopt;
    }
    return parse_fixed(full);
}

std::optional<Parsed> parse_any(std::string_view iso) {
    std::optional<Parsed> parsed = parse_fixed(iso);
    if (!parsed) parsed = parse_short(iso);
    return parsed;
}

}  // namespace

std::optional<double> iso_minutes(std::string_view iso) {
    const std::optional<Parsed> parsed = parse_any(iso);
    if (!parsed) return std::nullopt;
    const auto moment = parsed->wall - parsed->offset;
    return std::chrono::duration<double, std::ratio<60>>(moment.time_since_epoch()).count();
}

std::optional<LogTimestamp> log_timestamp(std::string_view iso, bool local_time) {
    const std::optional<Parsed> parsed = parse_any(iso);
    if (!parsed) return std::nullopt;
    // The wall-clock time minus its offset is the same moment in UTC.
    const auto moment = local_time ? parsed->wall : parsed->wall - parsed->offset;
    const auto day = date::floor<date::days>(moment);
    const date::year_month_day ymd{day};
    const int year = static_cast<int>(ymd.year());
    if (year < 1 || year > 9999) return std::nullopt;
    const date::hh_mm_ss<Milliseconds> clock{moment - day};
    char date_text[16], time_text[16];
    std::snprintf(date_text, sizeof date_text, "%02u-%02u-%04d", static_cast<unsigned>(ymd.day()),
                  static_cast<unsigned>(ymd.month()), year);
    std::snprintf(time_text, sizeof time_text, "%02d:%02d:%02d.%03d",
                  static_cast<int>(clock.hours().count()),
                  static_cast<int>(clock.minutes().count()),
                  static_cast<int>(std::min<long long>(clock.seconds().count(), 59)),
                  static_cast<int>(clock.subseconds().count()));
    return LogTimestamp{date_text, time_text};
}

}  // namespace vesk

namespace vesk {

std::string iso_text(double minutes) {
    const auto millis = Milliseconds(static_cast<long long>(std::llround(minutes * 60000.0)));
    const date::sys_time<Milliseconds> moment{millis};
    const auto day = date::floor<date::days>(moment);
    const date::year_month_day ymd{day};
    const date::hh_mm_ss<Milliseconds> clock{moment - day};
    char text[48];
    const int ms = static_cast<int>(clock.subseconds().count());
    const int n = std::snprintf(
        text, sizeof text, "%04d-%02u-%02uT%02d:%02d", static_cast<int>(ymd.year()),
        static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()),
        static_cast<int>(clock.hours().count()), static_cast<int>(clock.minutes().count()));
    std::string result(text, static_cast<std::size_t>(n));
    const int seconds = static_cast<int>(clock.seconds().count());
    if (seconds != 0 || ms != 0) {
        std::snprintf(text, sizeof text, ":%02d", seconds);
        result += text;
    }
    if (ms != 0) {
        std::snprintf(text, sizeof text, ".%03d", ms);
        result += text;
    }
    return result + "Z";
}

}  // namespace vesk
