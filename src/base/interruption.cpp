#include "base/interruption.h"

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>

namespace vesk {

namespace {

constexpr std::size_t kPathBytes = 4096;

// A path the handler may read: `claimed` reserves the slot, `ready` says the text is whole.
struct PathSlot {
    std::atomic<bool> claimed{false};
    std::atomic<bool> ready{false};
    char path[kPathBytes] = {};
};

std::array<std::atomic<pid_t>, 16> watched_groups{};
using PathSlots = std::array<PathSlot, 32>;
PathSlots temporary_files;
PathSlots export_folders;
char message_prefix[64] = "";

int claim(PathSlots& slots, const std::filesystem::path& path) {
    const std::string& text = path.native();
    if (text.size() >= kPathBytes) return -1;
    for (std::size_t i = 0; i < slots.size(); ++i) {
        bool expected = false;
        if (!slots[i].claimed.compare_exchange_strong(expected, true)) continue;
        std::memcpy(slots[i].path, text.c_str(), text.size() + 1);
        slots[i].ready.store(true, std::memory_order_release);
        return static_cast<int>(i);
    }
    return -1;
}

void release(PathSlots& slots, int slot) {
    if (slot < 0) return;
    slots[static_cast<std::size_t>(slot)].ready.store(false, std::memory_order_release);
    slots[static_cast<std::size_t>(slot)].claimed.store(false, std::memory_order_release);
}

PathSlots& slots_of(WatchedPath kind) {
    return kind == WatchedPath::temporary_file ? temporary_files : export_folders;
}

// Only async-signal-safe calls from here on.
void say(const char* text) {
    std::size_t left = std::strlen(text);
    while (left > 0) {
        const ssize_t written = ::write(STDERR_FILENO, text, left);
        if (written <= 0) return;
        text += written;
        left -= static_cast<std::size_t>(written);
    }
}

extern "C" void on_stopping_signal(int signal_number) {
    for (const auto& group : watched_groups)
        if (const pid_t id = group.load(std::memory_order_acquire); id > 0)
            ::kill(-id, signal_number);
    for (const PathSlot& slot : temporary_files)
        if (slot.ready.load(std::memory_order_acquire)) ::unlink(slot.path);
    for (const PathSlot& slot : export_folders)
        if (slot.ready.load(std::memory_order_acquire)) {
            say(message_prefix);
            say("stopped before the export into ");
            say(slot.path);
            say(" was complete: the files there may be this run's and an earlier run's side by "
                "side\n");
        }
    // The handler was reset on entry; the signal ends the process once this returns.
    ::raise(signal_number);
}

}  // namespace

void install_interruption_handler(std::string_view program_name) {
    const std::size_t length = std::min(program_name.size(), sizeof message_prefix - 3);
    std::memcpy(message_prefix, program_name.data(), length);
    std::memcpy(message_prefix + length, ": ", 3);
    struct sigaction action {};
    action.sa_handler = on_stopping_signal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND;
    for (const int signal_number : {SIGINT, SIGTERM, SIGHUP}) {
        // A signal the caller chose to ignore (nohup, say) stays ignored.
        struct sigaction before {};
        ::sigaction(signal_number, nullptr, &before);
        if (before.sa_handler != SIG_IGN) ::sigaction(signal_number, &action, nullptr);
    }
}

ChildGroupWatch::ChildGroupWatch(pid_t group) : slot_(-1) {
    for (std::size_t i = 0; i < watched_groups.size(); ++i) {
        pid_t expected = 0;
        if (watched_groups[i].compare_exchange_strong(expected, group)) {
            slot_ = static_cast<int>(i);
            return;
        }
    }
}

ChildGroupWatch::~ChildGroupWatch() {
    if (slot_ >= 0) watched_groups[static_cast<std::size_t>(slot_)].store(0);
}

template <WatchedPath kind>
PathWatch<kind>::PathWatch(const std::filesystem::path& path)
    : slot_(claim(slots_of(kind), path)) {}

template <WatchedPath kind>
PathWatch<kind>::~PathWatch() {
    release(slots_of(kind), slot_);
}

template class PathWatch<WatchedPath::temporary_file>;
template class PathWatch<WatchedPath::export_folder>;

}  // namespace vesk
