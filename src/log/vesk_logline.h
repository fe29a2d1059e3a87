#pragma once
// The in-memory audit trail of one process: one line per kept event, grouped by case.

#include <cstdint>
#include <string>
#include <string_view>

#include "base/int32_checked.h"

namespace vesk {

// The event type of a log line; any name outside the vocabulary is "normal".
struct Tevent {
    std::string name = "normal";
};

// Event types in the order they are recognised.
enum class EventType : std::uint8_t {
    schedule,
    start,
    withdraw,
    suspend,
    resume,
    abort,
    complete,
    normal
};

const std::string& event_type_name(EventType type);
// Exact, case-sensitive match against the seven names; anything else is normal.
EventType event_type_of(std::string_view name);

struct Tdate {
    std::int32_t day = 0;
    std::int32_t month = 0;
    std::int32_t year = 0;
    friend bool operator==(const Tdate&, const Tdate&) = default;
};

struct Ttime {
    std::int32_t hour = 0;
    std::int32_t minute = 0;
    std::int32_t second = 0;
    std::int32_t millisecond = 0;
    friend bool operator==(const Ttime&, const Ttime&) = default;
};

bool is_valid_date(const Tdate& date);
bool is_valid_time(const Ttime& time);

// One event of the log in 28 bytes: the name is an id into the names of the list that holds the
// line (see Tloglist), date and time are packed, and the two-loop partners sit in a table of
// that list, as few lines have any. Logs of tens of millions of lines are held in memory.
class Tlog_line {
public:
    Tlog_line(std::int32_t name_id, std::int32_t case_number)
        : name_id_(name_id), case_number_(case_number) {}

    std::int32_t name_id() const { return name_id_; }
    std::int32_t case_number() const { return case_number_; }

    Tevent event() const { return Tevent{event_type_name(event_type())}; }
    EventType event_type() const { return static_cast<EventType>(date_event_ & 7u); }
    void set_event(const Tevent& event) { set_event_type(event_type_of(event.name)); }
    void set_event_type(EventType type);

    Tdate date() const;
    // Throws std::invalid_argument and keeps the stored date when the date is not a valid one.
    void set_date(const Tdate& date);
    Ttime time() const;
    // Throws std::invalid_argument and keeps the stored time when hour, minute or second are out
    // of range; the millisecond is stored as it is.
    void set_time(const Ttime& time);

    // Set by the reader's loop step; kNone while nothing repeats.
    std::int32_t loop_length = kNone;
    // Where the list keeps the names between this line and its repetition two positions away;
    // kNone for none.
    std::int32_t two_loop_partners = kNone;

private:
    std::int32_t name_id_;
    std::int32_t case_number_;
    std::int32_t millisecond_ = 0;
    // Bits 0-2 the event type, then day (5), month (4) and year (14); the default line is
    // normal and dated 0-0-0, as before any date is set.
    std::uint32_t date_event_ = static_cast<std::uint32_t>(EventType::normal);
    // Second (6 bits), minute (6) and hour (5).
    std::uint32_t clock_ = 0;
};

static_assert(sizeof(Tlog_line) <= 32, "log lines are meant to stay small");

}  // namespace vesk
