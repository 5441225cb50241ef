// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "cli/arguments.h"

#include <algorithm>

namespace vostrel::cli {
namespace {

const OptionSpec* findOption(std::span<const OptionSpec> options, std::string_view name) {
    const auto found =
        std::ranges::find_if(options, [name](const OptionSpec& spec) { return spec.name == name; });
    return found == options.end() ? nullptr : &*found;
}

bool isOption(std::string_view arg) { return arg.size() > 1 && arg.front() == '-'; }

// Takes the option at args[i] (advancing i past its value) into `parsed`.
std::optional<UsageError> takeOption(std::span<const std::string> args, std::size_t& i,
                                     std::span<const OptionSpec> options, Arguments& parsed) {
    const std::string_view arg = args[i];
    if (!arg.starts_with("--")) return UsageError{"unknown option '" + std::string(arg) + "'"};
    const std::size_t equals = arg.find('=');
    const std::string_view name = arg.substr(2, equals == std::string_view::npos ? arg.npos : equals - 2);
    const OptionSpec* spec = findOption(options, name);
    if (spec == nullptr) return UsageError{"unknown option '--" + std::string(name) + "'"};
    if (parsed.flags.contains(name) || (parsed.values.contains(name) && !spec->repeatable)) {
        return UsageError{"option '--" + std::string(name) + "' given twice"};
    }
    if (!spec->takesValue()) {
        if (equals != std::string_view::npos) {
            return UsageError{"option '--" + std::string(name) + "' takes no value"};
        }
        parsed.flags.emplace(name);
        return std::nullopt;
    }
    if (equals == std::string_view::npos && i + 1 >= args.size()) {
        return UsageError{"option '--" + std::string(name) + "' needs a value"};
    }
    const std::string value(equals != std::string_view::npos ? arg.substr(equals + 1) : std::string_view(args[++i]));
    parsed.values[std::string(name)].push_back(value);
    return std::nullopt;
}

}  // namespace

std::optional<std::string> Arguments::value(std::string_view option) const {
    const auto found = values.find(option);
    if (found == values.end()) return std::nullopt;
    return found->second.front();
}

std::vector<std::string> Arguments::valuesOf(std::string_view option) const {
    const auto found = values.find(option);
    return found == values.end() ? std::vector<std::string>() : found->second;
}

std::variant<Arguments, UsageError> parseArguments(std::span<const std::string> args,
                                                   std::span<const OptionSpec> options) {
    Arguments parsed;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || !isOption(arg)) {
            parsed.positionals.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--help" || arg == "-h") {
            parsed.help = true;
        } else if (auto error = takeOption(args, i, options, parsed)) {
            return *error;
        }
    }
    return parsed;
}

}  // namespace vostrel::cli
