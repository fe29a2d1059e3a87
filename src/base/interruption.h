#pragma once
// What a stopping signal (Ctrl-C, SIGTERM, SIGHUP) leaves behind. A command-line run installs
// the handler once; the code that starts programs or writes files says, for as long as it
// does, what is under way. On a signal the handler passes it on to the programs' process
// groups, removes half-written files, says which export folder was left incomplete, and then
// ends the process as the signal would have.
//
// The watches live in fixed slots of process-wide state: a signal handler can reach nothing
// else. A watch that finds no free slot is simply not seen by the handler.

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <string_view>

namespace vesk {

// Installs the handler for SIGINT, SIGTERM and SIGHUP. program_name begins its one message.
void install_interruption_handler(std::string_view program_name);

// While it lives, a stopping signal is passed on to this process group.
class ChildGroupWatch {
public:
    explicit ChildGroupWatch(pid_t group);
    ~ChildGroupWatch();
    ChildGroupWatch(const ChildGroupWatch&) = delete;
    ChildGroupWatch& operator=(const ChildGroupWatch&) = delete;

private:
    int slot_;
};

// What a watched path is: a file the signal removes, or a folder whose export the signal says
// did not finish (so that its files may be this run's and an earlier run's side by side).
enum class WatchedPath : std::uint8_t { temporary_file, export_folder };

// While it lives, a stopping signal deals with the path as its kind says.
template <WatchedPath kind>
class PathWatch {
public:
    explicit PathWatch(const std::filesystem::path& path);
    ~PathWatch();
    PathWatch(const PathWatch&) = delete;
    PathWatch& operator=(const PathWatch&) = delete;

private:
    int slot_;
};

using TemporaryFileWatch = PathWatch<WatchedPath::temporary_file>;
using ExportWatch = PathWatch<WatchedPath::export_folder>;

}  // namespace vesk
