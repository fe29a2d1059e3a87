#pragma once
// One subcommand of vesk-cli.

#include <ostream>
#include <string>
#include <vector>

namespace vesk::cli {

struct Streams {
    std::ostream& out;
    std::ostream& err;
};

enum ExitCode : int { kSuccess = 0, kFailure = 1, kUsage = 2 };

class Command {
public:
    virtual ~Command() = default;
    virtual std::string name() const = 0;
    virtual std::string summary() const = 0;
    virtual std::string usage() const = 0;
    // Throws UsageError for bad arguments; other errors reach the caller as exceptions.
    virtual int run(const std::vector<std::string>& args, Streams io) const = 0;
};

// The message shown for a log or relations file that cannot be read or parsed.
inline constexpr const char* kUnreadableFile = "The specified file could not be read.";

}  // namespace vesk::cli
