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

// While it lives, a stopping signal removes this file.
class TemporaryFileWatch {
public:
    explicit TemporaryFileWatch(const std::filesystem::path& file);
    ~TemporaryFileWatch();
    TemporaryFileWatch(const TemporaryFileWatch&) = delete;
    TemporaryFileWatch& operator=(const TemporaryFileWatch&) = delete;

private:
    int slot_;
};

// While it lives, a stopping signal says that the export into this folder did not finish, so
// that its files may be this run's and an earlier run's side by side.
class ExportWatch {
public:
    explicit ExportWatch(const std::filesystem::path& folder);
    ~ExportWatch();
    ExportWatch(const ExportWatch&) = delete;
    ExportWatch& operator=(const ExportWatch&) = delete;

private:
    int slot_;
};

}  // namespace vesk
