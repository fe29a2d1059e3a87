#pragma once
// The in-memory audit trail of one process: one line per kept event, grouped by case.

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

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

// The names of a line's two-loop partners. Few lines have any, so a line without them carries
// only an empty pointer: that keeps logs of millions of lines small.
class Tpartner_names {
public:
    Tpartner_names() = default;
    Tpartner_names(const Tpartner_names& other) { *this = other; }
    Tpartner_names& operator=(const Tpartner_names& other);
    Tpartner_names(Tpartner_names&&) noexcept = default;
    Tpartner_names& operator=(Tpartner_names&&) noexcept = default;

    // Exactly this one name from now on.
    void assign(const std::string& name);
    // Adds the name unless it is there already.
    void add(const std::string& name);
    const std::vector<std::string>& names() const;
    bool empty() const { return !names_ || names_->empty(); }
    auto begin() const { return names().begin(); }
    auto end() const { return names().end(); }

private:
    std::unique_ptr<std::vector<std::string>> names_;
};

bool is_valid_date(const Tdate& date);
bool is_valid_time(const Ttime& time);

class Tlog_line {
public:
    // Lines of a log share their name text: a log of millions of lines names only a few tasks.
    using Name = std::shared_ptr<const std::string>;

    Tlog_line(std::string name, std::int32_t case_number);
    Tlog_line(Name name, std::int32_t case_number);

    std::int32_t case_number() const { return case_number_; }
    const std::string& name() const { return *name_; }
    const Name& shared_name() const { return name_; }
    void set_name(std::string name);
    void set_name(Name name);

    Tevent event() const { return Tevent{event_type_name(event_)}; }
    EventType event_type() const { return event_; }
    void set_event(const Tevent& event) { event_ = event_type_of(event.name); }
    void set_event_type(EventType type) { event_ = type; }

    Tdate date() const;
    // Throws std::invalid_argument and keeps the stored date when the date is not a valid one.
    void set_date(const Tdate& date);
    Ttime time() const;
    // Throws std::invalid_argument and keeps the stored time when hour, minute or second are out
    // of range; the millisecond is stored as it is.
    void set_time(const Ttime& time);

    // Set by the reader's loop step; kNone while nothing repeats.
    std::int32_t loop_length = kNone;
    // Names of the lines between this line and its repetition two positions away.
    Tpartner_names two_loop_partners;

private:
    Name name_;
    std::int32_t case_number_;
    std::int32_t millisecond_ = 0;
    // Validated components fit 16 bits; storing them so keeps big logs small.
    std::uint16_t day_ = 0, month_ = 0, year_ = 0;
    std::uint16_t hour_ = 0, minute_ = 0, second_ = 0;
    EventType event_ = EventType::normal;
};

// Owns its lines; cases are contiguous and in ascending case number.
using Tloglist = std::deque<Tlog_line>;

}  // namespace vesk
