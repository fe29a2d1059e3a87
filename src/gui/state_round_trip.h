#pragma once
// The road of every window handler: the controls into the logic's state, the command, the
// state back into the controls. Showing the state sets controls whose signals would run
// handlers again; those are passed over while it shows.

#include <functional>
#include <utility>

class StateRoundTrip {
public:
    StateRoundTrip(std::function<void()> read_controls, std::function<void()> show_controls)
        : read_controls_(std::move(read_controls)), show_controls_(std::move(show_controls)) {}

    template <typename Command>
    void run(Command&& command) {
        if (showing_) return;
        read_controls_();
        command();
        show();
    }

    void show() {
        struct Showing {
            bool& flag;
            explicit Showing(bool& f) : flag(f) { flag = true; }
            ~Showing() { flag = false; }
        } showing(showing_);
        show_controls_();
    }

private:
    std::function<void()> read_controls_;
    std::function<void()> show_controls_;
    bool showing_ = false;
};
