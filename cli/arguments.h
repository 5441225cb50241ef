// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// The one small argument parser every command shares: long options ("--name",
// "--name VALUE" or "--name=VALUE"), positional arguments, "--" to end the options and
// "--help"/"-h" anywhere before it.

#include <map>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace vostrel::cli {

struct OptionSpec {
    std::string_view name;       // without the leading "--"
    std::string_view valueName;  // empty for a flag
    std::string_view help;       // for the command's --help
    // Whether the option may be given more than once; else a second one is an error.
    bool repeatable = false;

    bool takesValue() const { return !valueName.empty(); }
};

struct Arguments {
    // Each option's values in the order given; one, unless it is repeatable.
    std::map<std::string, std::vector<std::string>, std::less<>> values;
    std::set<std::string, std::less<>> flags;
    std::vector<std::string> positionals;
    bool help = false;

    bool has(std::string_view flag) const { return flags.contains(flag); }
    // The option's (first) value.
    std::optional<std::string> value(std::string_view option) const;
    // Every value of a repeatable option, in the order given.
    std::vector<std::string> valuesOf(std::string_view option) const;
};

struct UsageError {
    std::string what;
};

std::variant<Arguments, UsageError> parseArguments(std::span<const std::string> args,
                                                   std::span<const OptionSpec> options);

}  // namespace vostrel::cli
