#pragma once
// Command-line arguments of one subcommand: positionals and --options.

#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace vesk::cli {

// Wrong use of the command line; reported with the usage text and exit code 2.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct OptionSpec {
    std::set<std::string> with_value;  // --name VALUE or --name=VALUE
    std::set<std::string> flags;       // --name
    std::set<std::string> repeatable;  // options that may occur more than once
};

class ParsedArgs {
public:
    ParsedArgs(const std::vector<std::string>& args, const OptionSpec& allowed);

    const std::vector<std::string>& positionals() const { return positionals_; }
    bool has(const std::string& name) const { return values_.count(name) > 0; }
    std::optional<std::string> value(const std::string& name) const;
    std::vector<std::string> values(const std::string& name) const;

private:
    std::vector<std::string> positionals_;
    std::multimap<std::string, std::string> values_;
};

std::vector<std::string> split_list(const std::string& text, char separator);

}  // namespace vesk::cli
