#include "control/stage_timings.h"

namespace vesk {

void StageTimings::begin(const std::string& name) {
    end();
    // A stage met again (the facts, made and applied back) adds to its first time.
    current_ = stages_.size();
    for (std::size_t i = 0; i < stages_.size(); ++i)
        if (stages_[i].name == name) current_ = i;
    if (current_ == stages_.size()) stages_.push_back({name, 0, 0});
    running_ = true;
    wall_start_ = std::chrono::steady_clock::now();
    cpu_start_ = std::clock();
}

void StageTimings::end() {
    if (!running_) return;
    running_ = false;
    Stage& stage = stages_[current_];
    stage.wall_seconds +=
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wall_start_).count();
    stage.cpu_seconds += static_cast<double>(std::clock() - cpu_start_) / CLOCKS_PER_SEC;
}

}  // namespace vesk
