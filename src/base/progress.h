#pragma once
// How far a long step has come, for a progress bar and a status line.

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

namespace vesk {

struct Progress {
    std::string step;
    std::int64_t done = 0;
    // 0 when the end is not known beforehand (reading a file event by event).
    std::int64_t total = 0;
    // The share of the step done (0 to 1) where it is known apart from the counts (the bytes
    // of the file read); negative when not.
    double share = -1;
    // What done counts: "events", "cases".
    std::string unit;
};

// A progress callback may throw Cancelled to stop the step where it stands; the step then fails
// as on any other error, keeping nothing half made.
using ProgressCallback = std::function<void(const Progress&)>;

class Cancelled : public std::runtime_error {
public:
    Cancelled() : std::runtime_error("cancelled") {}
};

// Steps report every this many events or cases: often enough for a window to keep painting,
// rarely enough to cost nothing.
inline constexpr std::int64_t kProgressEvery = 20000;

}  // namespace vesk
