#pragma once
// One subcommand of vesk-cli: its options, their help and their checks are declared once, on
// the CLI11 subcommand; run() then works on the values the parse left in the command.

#include <stdexcept>
#include <string>

namespace CLI {
class App;
}

namespace vesk::cli {

class Console;

enum ExitCode : int {
    kSuccess = 0,
    // A file or process that could not be read or written.
    kFailure = 1,
    kUsage = 2,
    // The run itself succeeded, but a picture could not be made (dot missing or failing).
    kRenderFailure = 3
};

// Wrong use of the command line that the declarations cannot express (options that exclude
// each other); reported like CLI11's own errors, with exit code 2.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class Command {
public:
    virtual ~Command() = default;
    virtual std::string name() const = 0;
    virtual std::string summary() const = 0;
    // Adds the options and the help texts to the command's subcommand.
    virtual void declare(CLI::App& app) = 0;
    // Throws UsageError for bad combinations; other errors reach the caller as exceptions.
    virtual int run(Console& console) = 0;
    // With --format json a failure is also one JSON document on stdout: {"errors": [texts]}.
    virtual bool writes_json() const { return false; }
};

// The message shown for a log or relations file that cannot be read or parsed.
inline constexpr const char* kUnreadableFile = "The specified file could not be read.";

}  // namespace vesk::cli
