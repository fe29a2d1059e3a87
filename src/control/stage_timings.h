#pragma once
// How long each stage of a run took, wall clock and processor time, for `--timings`.

#include <chrono>
#include <ctime>
#include <string>
#include <vector>

namespace vesk {

class StageTimings {
public:
    struct Stage {
        std::string name;
        double wall_seconds = 0;
        double cpu_seconds = 0;
    };

    // Ends the stage that runs, if any, and starts this one; a stage begun again adds to its
    // earlier time.
    void begin(const std::string& name);
    // Ends the stage that runs, if any.
    void end();
    const std::vector<Stage>& stages() const { return stages_; }

private:
    std::vector<Stage> stages_;
    bool running_ = false;
    std::size_t current_ = 0;
    std::chrono::steady_clock::time_point wall_start_;
    std::clock_t cpu_start_ = 0;
};

// The calls for runs that may or may not be timed.
inline void begin_stage(StageTimings* timings, const std::string& name) {
    if (timings != nullptr) timings->begin(name);
}
inline void end_stage(StageTimings* timings) {
    if (timings != nullptr) timings->end();
}

}  // namespace vesk
