#include "cli/cli_args.h"

namespace vesk::cli {

ParsedArgs::ParsedArgs(const std::vector<std::string>& args, const OptionSpec& allowed) {
    bool options_ended = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (options_ended || arg.size() < 2 || arg.rfind("--", 0) != 0) {
            positionals_.push_back(arg);
            continue;
        }
        if (arg == "--") {
            options_ended = true;
            continue;
        }
        std::string name = arg.substr(2);
        std::optional<std::string> inline_value;
        if (const auto eq = name.find('='); eq != std::string::npos) {
            inline_value = name.substr(eq + 1);
            name.erase(eq);
        }
        if (allowed.flags.count(name) > 0) {
            if (inline_value) throw UsageError("--" + name + " takes no value");
            values_.emplace(name, "");
        } else if (allowed.with_value.count(name) > 0) {
            if (!inline_value) {
                if (i + 1 >= args.size()) throw UsageError("--" + name + " needs a value");
                inline_value = args[++i];
            }
            values_.emplace(name, *inline_value);
        } else {
            throw UsageError("unknown option --" + name);
        }
        if (values_.count(name) > 1 && allowed.repeatable.count(name) == 0)
            throw UsageError("--" + name + " given more than once");
    }
}

std::optional<std::string> ParsedArgs::value(const std::string& name) const {
    const auto it = values_.find(name);
    if (it == values_.end()) return std::nullopt;
    return it->second;
}

std::vector<std::string> ParsedArgs::values(const std::string& name) const {
    std::vector<std::string> result;
    const auto [first, last] = values_.equal_range(name);
    for (auto it = first; it != last; ++it)
        result.push_back(it->second);
    return result;
}

std::vector<std::string> split_list(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string::size_type begin = 0;
    while (true) {
        const auto end = text.find(separator, begin);
        parts.push_back(text.substr(begin, end - begin));
        if (end == std::string::npos) return parts;
        begin = end + 1;
    }
}

}  // namespace vesk::cli
