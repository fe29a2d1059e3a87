#pragma once
// ISO 8601 timestamps of XES and MXML logs as the workflow log writes dates and times.

#include <optional>
#include <string>
#include <string_view>

namespace vesk {

struct LogTimestamp {
    std::string date;  // DD-MM-YYYY
    std::string time;  // HH:MM:SS.fff
};

// "2010-12-30T14:32:00.000+01:00", with or without fraction and offset ("Z", "+01:00", "+0100").
// By default the time is converted to UTC, so durations across changes of the offset stay
// right; with local_time the wall-clock time is kept as written. A timestamp without offset is
// taken as written. Empty when the text is not such a timestamp or its year is outside 1..9999.
std::optional<LogTimestamp> log_timestamp(std::string_view iso, bool local_time);

// The same timestamps as minutes since 1970 in UTC (a timestamp without offset taken as UTC).
std::optional<double> iso_minutes(std::string_view iso);

// Minutes since 1970 as "2012-01-31T14:05:30Z" (seconds and milliseconds shown when present).
std::string iso_text(double minutes);

}  // namespace vesk
